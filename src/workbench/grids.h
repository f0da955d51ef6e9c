#pragma once

// The workbench's six tables as data: the two neighbour tables and the four
// result tables. A fill rewrites the cells it is responsible for and leaves the
// rest as they stood, as the window's grids keep their contents between fills.

#include <string>
#include <string_view>
#include <vector>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "workbench/series.h"

namespace tavisol::workbench {

// How a cell is coloured: Normal the window colours, Fixed the fixed-cell
// (button face) colours, Inactive red text on the window colour.
enum class CellLook { Normal, Fixed, Inactive };
enum class CellAlign { Default, Center, LeftCenter };

struct GridCell {
    std::string text;  // UTF-8
    CellLook look = CellLook::Normal;
    CellAlign align = CellAlign::Default;
};

class GridTable {
public:
    GridTable() = default;
    GridTable(int rows, int cols, int fixedRows, int fixedCols);

    // Changes the shape; cells inside the new shape keep their contents.
    void SetShape(int rows, int cols);
    // Heads separated by "|", then after ";" the row labels from row 0 on,
    // read as the location results' grids read them (results::ParseGridLayout):
    // a leading "^" centres its column. Sets the shape, row 0, column 0 and
    // the column widths (the head's length in characters).
    void SetFormatString(std::string_view layout);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    int FixedRows = 1;
    int FixedCols = 1;

    GridCell &At(int row, int col) { return cells_[static_cast<std::size_t>(row * cols_ + col)]; }
    const GridCell &At(int row, int col) const { return cells_[static_cast<std::size_t>(row * cols_ + col)]; }
    const std::string &Text(int row, int col) const { return At(row, col).text; }

    // Column widths: in characters of the head (from the format string), or
    // in twips when set so; 0 = not set.
    std::vector<int> WidthChars;
    std::vector<int> WidthTwips;
    std::vector<bool> Centred;  // column centred by "^"

private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<GridCell> cells_;
};

// ---- Neighbour tables -------------------------------------------------------

extern const std::string_view StationGridLayout;
extern const std::string_view ObservationGridLayout;
extern const std::string_view NeighbourRowLabels;

// Gives the cell the colours of a neighbour's Active flag: 0 inactive, 1
// active, any other value leaves the cell unchanged.
void MarkActiveRow(GridCell &cell, engine::Integer active);

void FillStationGrid(const engine::EngineState &state, const numfmt::Locale &loc, GridTable &grid);
void FillObservationGrid(const engine::EngineState &state, const numfmt::Locale &loc, GridTable &grid);

// ---- Result tables ----------------------------------------------------------------

struct ResultGrids {
    GridTable Results{15, 13, 2, 1};  // grdResults
    GridTable Dekad{39, 4, 2, 1};     // grdDekad
    GridTable Day{370, 4, 2, 1};      // GrdDay
    GridTable Thres{103, 4, 2, 1};    // grdThres
};

extern const std::string_view ResultGridLayout;

// Unit texts of a variable: the short one of the dekadal, daily and threshold
// tables ("°C", "mm", ...), and the unit row of the monthly table, columns 1..12.
std::string ShortUnit(engine::Integer variable);
std::string MonthlyUnit(engine::Integer variable, int column);

// The row label of a day of the year: "28.2 (59)".
std::string DayLabel(int dayOfYear);
// The dekad labels " Jan 1 " .. " Dec 3 ".
std::string DekadLabel(int dekad);

// Whether the tables show the confidence band: a factor, 6 or more active
// neighbours and no hit.
bool BandShown(const engine::EngineState &state, Single z);

// Empties the cells from (fromRow, fromCol) on; heads and labels before them stay.
void BlankCells(GridTable &grid, int fromRow, int fromCol);
// The four tables without any value: their heads and fixed labels only (no
// unit, no threshold, no day of the minimum or maximum), for a run that
// produced no estimate.
void BlankResultGrids(ResultGrids &grids);

// Rewrites the four tables from the engine's result and the series as they
// stand. zOption is the factor of the selected confidence option; a hit drops
// it to 0.
void FillResultGrids(const engine::EngineState &state, Single zOption, const WorkbenchSeries &series,
                     const numfmt::Locale &loc, ResultGrids &grids);

} // namespace tavisol::workbench
