#pragma once

// The contents of one flexible grid as plain data: its fixed header row
// (row 0), its fixed label column (column 0) and the texts, alignments and
// looks of its cells. The window copies a model into its table widget; the
// tests read the model. No Qt.

#include <string>
#include <string_view>
#include <vector>

namespace tavisol::results {

enum class CellAlign {
    Default,     // as the grid leaves it (left, vertically centred)
    Center,      // centred both ways
    LeftCenter,  // left, vertically centred
    Right,       // right, vertically centred
};

enum class CellLook {
    Normal,  // the grid's normal cell colours
    Fixed,   // the colours of the header cells
};

struct GridCell {
    std::string text;
    CellAlign align = CellAlign::Default;
    CellLook look = CellLook::Normal;

    bool operator==(const GridCell &) const = default;
};

// A grid's layout text parsed: "^|A|B;|r1|r2". The part before ";" holds the
// header texts of row 0 from column 0 on, the part after it the labels of
// column 0 from row 0 on, both separated by "|". A leading "^", "<" or ">"
// of a header sets the alignment of its column and is not shown.
struct GridLayout {
    std::vector<std::string> headers;        // one per column
    std::vector<CellAlign> columnAlign;      // one per column
    std::vector<std::string> rowLabels;      // one per row, row 0 included
};

GridLayout ParseGridLayout(std::string_view layout);

class GridModel {
public:
    GridModel() = default;
    GridModel(int rows, int columns);
    // Rows and columns as the layout gives them, with the header row and the
    // label column written. Cell (0, 0) takes the header of column 0 (the
    // label of row 0 when that header is empty).
    explicit GridModel(const GridLayout &layout);

    int rows() const { return rows_; }
    int columns() const { return columns_; }

    GridCell &cell(int row, int column);
    const GridCell &cell(int row, int column) const;
    const std::string &text(int row, int column) const { return cell(row, column).text; }

    // Sets text and alignment of a cell.
    void set(int row, int column, std::string text, CellAlign align);

    // Alignment of the label column (column 0) as the layout set it.
    CellAlign labelAlign() const { return labelAlign_; }
    void setLabelAlign(CellAlign align) { labelAlign_ = align; }

    bool operator==(const GridModel &) const = default;

private:
    int rows_ = 0;
    int columns_ = 0;
    CellAlign labelAlign_ = CellAlign::Default;
    std::vector<GridCell> cells_;
};

} // namespace tavisol::results
