#pragma once

// Checks a table of cells of a grid at once: each cell's row, column and the
// text it must hold. A failure names the cell.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace tavisol::testsupport {

struct CellText {
    int row;
    int column;
    std::string text;
};

template <class Grid>
void ExpectCellTexts(const Grid &grid, std::initializer_list<CellText> cells) {
    for (const CellText &c : cells) {
        SCOPED_TRACE("cell (" + std::to_string(c.row) + ", " + std::to_string(c.column) + ")");
        if constexpr (requires { grid.Text(c.row, c.column); })
            EXPECT_EQ(grid.Text(c.row, c.column), c.text);
        else
            EXPECT_EQ(grid.text(c.row, c.column), c.text);
    }
}

} // namespace tavisol::testsupport
