#include "results/gridmodel.h"

#include <stdexcept>

#include "numfmt/textread.h"

namespace tavisol::results {

GridLayout ParseGridLayout(std::string_view layout) {
    GridLayout g;
    const std::size_t semicolon = layout.find(';');
    const std::string_view columnPart = layout.substr(0, semicolon);
    g.headers = numfmt::SplitAt(columnPart, '|');
    g.columnAlign.assign(g.headers.size(), CellAlign::Default);
    for (std::size_t c = 0; c < g.headers.size(); ++c) {
        std::string &h = g.headers[c];
        if (h.empty())
            continue;
        switch (h.front()) {
        case '^': g.columnAlign[c] = CellAlign::Center; h.erase(0, 1); break;
        case '<': g.columnAlign[c] = CellAlign::LeftCenter; h.erase(0, 1); break;
        case '>': g.columnAlign[c] = CellAlign::Right; h.erase(0, 1); break;
        default: break;
        }
    }
    if (semicolon != std::string_view::npos)
        g.rowLabels = numfmt::SplitAt(layout.substr(semicolon + 1), '|');
    else
        g.rowLabels = {std::string()};
    return g;
}

GridModel::GridModel(int rows, int columns)
    : rows_(rows), columns_(columns), cells_(static_cast<std::size_t>(rows * columns)) {
    if (rows < 0 || columns < 0)
        throw std::invalid_argument("grid size");
}

GridModel::GridModel(const GridLayout &layout)
    : GridModel(static_cast<int>(layout.rowLabels.size()), static_cast<int>(layout.headers.size())) {
    for (int c = 0; c < columns_; ++c)
        cell(0, c).text = layout.headers[static_cast<std::size_t>(c)];
    for (int r = 1; r < rows_; ++r)
        cell(r, 0).text = layout.rowLabels[static_cast<std::size_t>(r)];
    if (rows_ > 0 && columns_ > 0 && cell(0, 0).text.empty())
        cell(0, 0).text = layout.rowLabels.front();
    if (!layout.columnAlign.empty())
        labelAlign_ = layout.columnAlign.front();
}

GridCell &GridModel::cell(int row, int column) {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_)
        throw std::out_of_range("grid cell");
    return cells_[static_cast<std::size_t>(row * columns_ + column)];
}

const GridCell &GridModel::cell(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_)
        throw std::out_of_range("grid cell");
    return cells_[static_cast<std::size_t>(row * columns_ + column)];
}

void GridModel::set(int row, int column, std::string text, CellAlign align) {
    GridCell &c = cell(row, column);
    c.text = std::move(text);
    c.align = align;
}

} // namespace tavisol::results
