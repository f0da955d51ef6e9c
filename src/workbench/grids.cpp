#include "workbench/grids.h"

#include <algorithm>
#include <array>

#include "calendar/calendar.h"
#include "engine/geodesy.h"
#include "numfmt/numfmt.h"
#include "results/gridmodel.h"

namespace tavisol::workbench {

using engine::EngineState;
using engine::Integer;
using engine::Missing;
using numfmt::formatMask;

namespace {

void Put(GridCell &cell, CellLook look, CellAlign align, std::string text) {
    cell.look = look;
    cell.align = align;
    cell.text = std::move(text);
}

// A cell of a result table: centred, fixed colours on the marked rows.
void MarkResultCell(GridCell &cell, bool marked) {
    cell.align = CellAlign::Center;
    cell.look = marked ? CellLook::Fixed : CellLook::Normal;
}

} // namespace

GridTable::GridTable(int rows, int cols, int fixedRows, int fixedCols) : FixedRows(fixedRows), FixedCols(fixedCols) {
    SetShape(rows, cols);
}

void GridTable::SetShape(int rows, int cols) {
    std::vector<GridCell> cells(static_cast<std::size_t>(rows * cols));
    for (int r = 0; r < rows && r < rows_; ++r)
        for (int c = 0; c < cols && c < cols_; ++c)
            cells[static_cast<std::size_t>(r * cols + c)] = std::move(At(r, c));
    cells_ = std::move(cells);
    rows_ = rows;
    cols_ = cols;
    WidthChars.resize(static_cast<std::size_t>(cols), 0);
    WidthTwips.resize(static_cast<std::size_t>(cols), 0);
    Centred.resize(static_cast<std::size_t>(cols), false);
}

void GridTable::SetFormatString(std::string_view layout) {
    // The layout string of the location results' grids; without a ';' the
    // table keeps its rows.
    const results::GridLayout parsed = results::ParseGridLayout(layout);
    const bool labelled = layout.find(';') != std::string_view::npos;
    const int rows = labelled ? static_cast<int>(parsed.rowLabels.size()) : rows_;
    SetShape(rows, static_cast<int>(parsed.headers.size()));
    for (int c = 0; c < cols_; ++c) {
        const std::size_t k = static_cast<std::size_t>(c);
        Centred[k] = parsed.columnAlign[k] == results::CellAlign::Center;
        WidthChars[k] = static_cast<int>(numfmt::charCount(parsed.headers[k]));
        WidthTwips[k] = 0;
        if (rows_ > 0)
            At(0, c).text = parsed.headers[k];
    }
    if (labelled)
        for (int r = 1; r < rows_; ++r)
            At(r, 0).text = parsed.rowLabels[static_cast<std::size_t>(r)];
}

// ---- Neighbour tables -------------------------------------------------------

const std::string_view StationGridLayout =
    "^|Longitude [°]|Latitude [°]|Altitude [m]|Distance [km]|Direction|Direction|Station Name        |Country Name         ";
const std::string_view ObservationGridLayout =
    "^| January | February |  March  |  April  |   May   |  June   |  July   | August | September | October | November | December | Annual | Weight";
const std::string_view NeighbourRowLabels = ";|1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17|18|19|20|Mean";

void MarkActiveRow(GridCell &cell, Integer active) {
    if (active == 0)
        cell.look = CellLook::Inactive;
    else if (active == 1)
        cell.look = CellLook::Normal;
}

namespace {

// Columns 1..8 of a station row. The mean row always shows its direction and
// has no names; a neighbour without a direction shows none.
std::array<std::string, 9> StationTexts(const engine::StationRecord &n, bool meanRow, const numfmt::Locale &loc) {
    const bool noDir = !meanRow && n.Direction == Missing;
    return {
        "",
        formatMask(n.Longitude, "###0.00", loc),
        formatMask(n.Latitude, "##0.00", loc),
        formatMask(n.Altitude, "###0", loc),
        formatMask(n.Distance, "####.0", loc),
        noDir ? std::string() : formatMask(n.Direction, "##0", loc),
        noDir ? std::string() : n.Compass,
        meanRow ? std::string() : n.Name,
        meanRow ? std::string() : n.Country,
    };
}

} // namespace

void FillStationGrid(const EngineState &state, const numfmt::Locale &loc, GridTable &grid) {
    grid.SetFormatString(std::string(StationGridLayout) + std::string(NeighbourRowLabels));
    const int found = std::min<int>(state.NeighbourCount, engine::MaxNeighbours);
    for (int k = 1; k <= found; ++k) {
        const engine::StationRecord &n = state.Neighbours[k];
        const std::array<std::string, 9> texts = StationTexts(n, false, loc);
        for (int c = 1; c <= 8; ++c) {
            GridCell &cell = grid.At(k, c);
            MarkActiveRow(cell, n.Active);
            cell.align = c >= 7 ? CellAlign::LeftCenter : CellAlign::Center;
            cell.text = texts[c];
        }
    }
    for (int k = found + 1; k <= 20; ++k)
        for (int c = 1; c <= 8; ++c)
            grid.At(k, c).text.clear();
    const std::array<std::string, 9> mean = StationTexts(state.NeighbourSummary(), true, loc);
    for (int c = 1; c <= 8; ++c)
        Put(grid.At(21, c), CellLook::Fixed, CellAlign::Center, mean[c]);
}

void FillObservationGrid(const EngineState &state, const numfmt::Locale &loc, GridTable &grid) {
    grid.SetFormatString(std::string(ObservationGridLayout) + std::string(NeighbourRowLabels));
    const int found = std::min<int>(state.NeighbourCount, engine::MaxNeighbours);
    for (int k = 1; k <= found; ++k) {
        const engine::StationRecord &n = state.Neighbours[k];
        for (int c = 1; c <= 14; ++c) {
            GridCell &cell = grid.At(k, c);
            MarkActiveRow(cell, n.Active);
            cell.align = CellAlign::Center;
            cell.text = c <= 13 ? formatMask(n.Values[static_cast<std::size_t>(c)], "###0.00", loc)
                                : formatMask(n.Weight, "0.0000", loc);
        }
    }
    for (int k = found + 1; k <= 20; ++k)
        for (int c = 1; c <= 14; ++c)
            grid.At(k, c).text.clear();
    const engine::StationRecord &m = state.NeighbourSummary();
    for (int c = 1; c <= 13; ++c)
        Put(grid.At(21, c), CellLook::Fixed, CellAlign::Center,
            formatMask(m.Values[static_cast<std::size_t>(c)], "###0.00", loc));
    GridCell &w = grid.At(21, 14);
    w.look = CellLook::Fixed;
    w.align = CellAlign::Center;
}

// ---- Result tables ----------------------------------------------------------------

const std::string_view ResultGridLayout =
    "^| Best    | Low   | High  | Std. Error |  Bias  | Vert. Grad. | Long. Grad. | Lat. Grad. | Grad. Direc. | "
    "Grad. Direc. | Abs(Grad.) | Exp. Var.(Alt. Corr.) "
    ";|Unit|January|February|March|April|May|June|July|August|September|October|November|December|Mean";

std::string ShortUnit(Integer variable) {
    switch (variable) {
    case 0:
    case 1:
    case 2: return "°C";
    case 3:
    case 5: return "mm";
    case 4: return "hPa";
    case 6: return "m/s";
    default: return " ";
    }
}

std::string MonthlyUnit(Integer variable, int column) {
    if (variable < 0 || variable > 7 || column == 10 || column == 12 || column < 1 || column > 12)
        return "";
    if (column == 9)
        return "Degrees";
    std::string base;
    switch (variable) {
    case 0:
    case 1:
    case 2: base = "°C"; break;
    case 3:
    case 5: base = "mm"; break;
    case 4: base = "hPa"; break;
    case 6: base = "m/s"; break;
    default: base = ""; break;
    }
    if (column <= 5)
        return base.empty() ? "" : "[" + base + "]";
    const std::string per = base.empty() ? "1" : base;
    if (column == 6)
        return "[" + per + "/100m]";
    return "[" + per + "/100km]";  // columns 7, 8 and 11
}

std::string DayLabel(int dayOfYear) {
    const calendar::DayOfMonth dm = calendar::CalendarDay(dayOfYear);
    return std::to_string(dm.day) + "." + std::to_string(dm.month) + " (" + std::to_string(dayOfYear) + ")";
}

std::string DekadLabel(int dekad) {
    static constexpr const char *months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return std::string(" ") + months[(dekad - 1) / 3] + " " + std::to_string((dekad - 1) % 3 + 1) + " ";
}

void BlankCells(GridTable &grid, int fromRow, int fromCol) {
    for (int r = std::max(0, fromRow); r < grid.Rows(); ++r)
        for (int c = std::max(0, fromCol); c < grid.Cols(); ++c)
            grid.At(r, c).text.clear();
}

void BlankResultGrids(ResultGrids &grids) {
    BlankCells(grids.Results, 1, 1);
    BlankCells(grids.Dekad, 1, 1);
    BlankCells(grids.Day, 1, 1);
    if (grids.Day.Rows() > 369) {
        grids.Day.At(368, 0).text = "Min: ";
        grids.Day.At(369, 0).text = "Max: ";
    }
    BlankCells(grids.Thres, 2, 0);
    if (grids.Thres.Rows() > 1)
        grids.Thres.At(1, 0).text.clear();
}

bool BandShown(const EngineState &state, Single z) {
    return z != 0 && state.ActiveCount >= 6 && state.CurWarnings.Hit != engine::True;
}

namespace {

void FillMonthly(const EngineState &state, Single z, bool band, const numfmt::Locale &loc, GridTable &g) {
    g.SetFormatString(ResultGridLayout);
    const Integer var = state.CurrentVariable;
    if (var >= 0 && var <= 7)
        for (int c = 1; c <= 12; ++c) {
            GridCell &cell = g.At(1, c);
            MarkResultCell(cell, true);
            if (c != 10 && c != 12)
                cell.text = MonthlyUnit(var, c);
        }
    g.FixedRows = 2;
    const engine::EstimateResult &r = state.CurResult;
    const bool errors = state.ActiveCount >= 6 && state.CurWarnings.Hit != engine::True;
    const bool vertical = state.ActiveWithAltCount >= 3;
    const bool horizontal = state.ActiveCount >= 6;
    for (int i = 1; i <= 13; ++i) {
        Single best = r.Best[i];
        Single low = static_cast<Single>(best - static_cast<double>(z) * r.StdErr[i]);
        Single high = static_cast<Single>(best + static_cast<double>(z) * r.StdErr[i]);
        engine::ClampToRange(best, var);
        engine::ClampToRange(low, var);
        engine::ClampToRange(high, var);
        const int row = i + 1;
        for (int c = 1; c <= 12; ++c) {
            GridCell &cell = g.At(row, c);
            MarkResultCell(cell, row == 1 || row == 14);
            cell.text.clear();
            switch (c) {
            case 1: cell.text = formatMask(best, "###0.00", loc); break;
            case 2: if (band) cell.text = formatMask(low, "###0.00", loc); break;
            case 3: if (band) cell.text = formatMask(high, "###0.00", loc); break;
            case 4: if (errors) cell.text = formatMask(r.StdErr[i], "###0.00", loc); break;
            case 5: if (errors) cell.text = formatMask(r.Bias[i], "##0.00", loc); break;
            case 6:
                if (vertical)
                    cell.text = formatMask(static_cast<Single>(r.VertGrad[i] * 100.0), "##0.00", loc);
                break;
            case 7: if (horizontal) cell.text = formatMask(r.LonGrad[i], "##0.00", loc); break;
            case 8: if (horizontal) cell.text = formatMask(r.LatGrad[i], "##0.00", loc); break;
            case 9: if (horizontal) cell.text = formatMask(r.DirGrad[i], "##0.00", loc); break;
            case 10: if (horizontal) cell.text = r.DirGradText[i]; break;
            case 11: if (horizontal) cell.text = formatMask(r.AbsGrad[i], "##0.00", loc); break;
            case 12: if (vertical) cell.text = formatMask(r.ExplVar[i], "##0.00", loc); break;
            default: break;
            }
        }
    }
}

void FillDekadal(const EngineState &state, bool band, const WorkbenchSeries &s, const numfmt::Locale &loc,
                 GridTable &g) {
    std::string layout = "^|  Best  |  Low  |  High  ;|dekade |";
    for (int k = 1; k <= 36; ++k)
        layout += DekadLabel(k) + "|";
    layout += " Mean";
    g.SetFormatString(layout);
    g.FixedRows = 2;
    const Integer var = state.CurrentVariable;
    for (int c = 1; c <= 3; ++c)
        Put(g.At(1, c), CellLook::Fixed, CellAlign::Center, ShortUnit(var));
    Single sb = 0, sl = 0, sh = 0;
    for (int k = 1; k <= 37; ++k) {
        Single best, low, high;
        if (k <= 36) {
            best = s.Dekad.best[k];
            low = s.Dekad.low[k];
            high = s.Dekad.high[k];
            sb += best;
            sl += low;
            sh += high;
        } else {
            best = sb / 36;
            low = sl / 36;
            high = sh / 36;
        }
        engine::ClampToRange(best, var);
        engine::ClampToRange(low, var);
        engine::ClampToRange(high, var);
        const int row = k + 1;
        const Single v[4] = {0, best, low, high};
        for (int c = 1; c <= 3; ++c) {
            GridCell &cell = g.At(row, c);
            MarkResultCell(cell, row == 38);
            cell.text.clear();
            if (c == 1 || band)
                cell.text = formatMask(v[c], "###0.00", loc);
        }
    }
}

void FillDaily(const EngineState &state, bool band, const WorkbenchSeries &s, const numfmt::Locale &loc,
               GridTable &g) {
    for (int c = 0; c < 4; ++c)
        g.WidthTwips[static_cast<std::size_t>(c)] = 880;
    const char *heads[4] = {"", "Best", "Low ", "High"};
    const Integer var = state.CurrentVariable;
    for (int c = 1; c <= 3; ++c) {
        Put(g.At(0, c), CellLook::Fixed, CellAlign::Center, heads[c]);
        Put(g.At(1, c), CellLook::Fixed, CellAlign::Center, ShortUnit(var));
    }
    Put(g.At(1, 0), CellLook::Fixed, CellAlign::Center, "Day");
    Single sb = 0, sl = 0, sh = 0;
    Single minimum = 9999, maximum = -9999;
    Single minDay = 0, maxDay = 0;
    const DailyArrays &a = s.Daily;
    for (int d = 1; d <= 368; ++d) {
        Single best, low, high;
        std::string label;
        if (d <= 365) {
            best = a.best[d];
            low = a.low[d];
            high = a.high[d];
            sb += best;
            sl += low;
            sh += high;
            if (best < minimum) {
                minimum = best;
                minDay = static_cast<Single>(d);
            }
            if (best > maximum) {
                maximum = best;
                maxDay = static_cast<Single>(d);
            }
            label = DayLabel(d);
        } else if (d == 366) {
            best = sb / 365;
            low = sl / 365;
            high = sh / 365;
            label = "Mean";
        } else if (d == 367) {
            const auto day = static_cast<std::size_t>(minDay);
            best = minimum;
            low = a.low[day];
            high = a.high[day];
            label = "Min: " + std::to_string(static_cast<int>(minDay));
        } else {
            const auto day = static_cast<std::size_t>(maxDay);
            best = maximum;
            low = a.low[day];
            high = a.high[day];
            label = "Max: " + std::to_string(static_cast<int>(maxDay));
        }
        engine::ClampToRange(best, var);
        engine::ClampToRange(low, var);
        engine::ClampToRange(high, var);
        const int row = d + 1;
        const bool marked = row >= 367;
        Put(g.At(row, 0), CellLook::Fixed, CellAlign::Center, label);
        const Single v[4] = {0, best, low, high};
        for (int c = 1; c <= 3; ++c) {
            GridCell &cell = g.At(row, c);
            MarkResultCell(cell, marked);
            cell.text.clear();
            if (c == 1 || band)
                cell.text = formatMask(v[c], "###0.00", loc);
        }
    }
}

void FillThresholds(const EngineState &state, Single z, bool band, const WorkbenchSeries &s,
                    const numfmt::Locale &loc, GridTable &g) {
    for (int c = 0; c < 4; ++c)
        g.WidthTwips[static_cast<std::size_t>(c)] = 880;
    const char *heads[4] = {"Threshold", "Best", "Low ", "High"};
    for (int c = 0; c <= 3; ++c)
        Put(g.At(0, c), CellLook::Fixed, CellAlign::Center, heads[c]);
    Put(g.At(1, 0), CellLook::Fixed, CellAlign::Center, ShortUnit(state.CurrentVariable));
    for (int c = 1; c <= 3; ++c)
        Put(g.At(1, c), CellLook::Fixed, CellAlign::Center, "Days");
    const DailyArrays &a = s.SortedDaily;
    const Single lowest = z != 0 ? a.low[1] : a.best[1];
    const Single highest = z != 0 ? a.high[365] : a.best[365];
    for (int i = 1; i <= 101; ++i) {
        const Single t = static_cast<Single>(lowest + (i - 1) / 100.0 * (static_cast<double>(highest) - lowest));
        int nb = 0, nl = 0, nh = 0;
        for (int d = 1; d <= 365; ++d) {
            nb += a.best[d] >= t;
            nl += a.low[d] >= t;
            nh += a.high[d] >= t;
        }
        const int row = i + 1;
        Put(g.At(row, 0), CellLook::Fixed, CellAlign::Center, numfmt::formatNumber(t, 2, loc));
        const int counts[4] = {0, nb, nl, nh};
        for (int c = 1; c <= 3; ++c) {
            GridCell &cell = g.At(row, c);
            cell.look = CellLook::Normal;
            cell.align = CellAlign::Center;
            cell.text.clear();
            if (c == 1 || band)
                cell.text = formatMask(counts[c], "###0", loc);
        }
    }
}

} // namespace

void FillResultGrids(const EngineState &state, Single zOption, const WorkbenchSeries &series,
                     const numfmt::Locale &loc, ResultGrids &grids) {
    Single z = zOption;
    if (state.CurWarnings.Hit == engine::True)
        z = 0;
    const bool band = BandShown(state, z);
    FillMonthly(state, z, band, loc, grids.Results);
    FillDekadal(state, band, series, loc, grids.Dekad);
    FillDaily(state, band, series, loc, grids.Day);
    FillThresholds(state, z, band, series, loc, grids.Thres);
}

} // namespace tavisol::workbench
