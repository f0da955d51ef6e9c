#pragma once

// Pieces that the report file and the printed report share: level choice,
// unit texts, the applied-methods and warning lines, and the tables whose
// lines are the same in both. Internal to the report library. No Qt.

#include <string>
#include <vector>

#include "calendar/confidence.h"
#include "numfmt/numfmt.h"
#include "numfmt/printline.h"
#include "numfmt/textfile.h"
#include "report/reportinput.h"
#include "report/series.h"

namespace tavisol::report::parts {

inline constexpr const char *Indent = "     ";

enum class Medium { File, Printer };

struct Level {
    engine::Single Z = ConfidenceFactor90;  // no level chosen
    std::string LowLabel;
    std::string HighLabel;
};
// Factor and Low/High heads of the chosen level; the heads differ between
// the file and the printed page.
Level ChooseLevel(const ReportOptions &options, Medium medium);

// "°C ", "mm ", "hPa", "m/s", "1" (" " for the sunshine fraction of the
// location results window's reports).
std::string UnitText(engine::Integer variable, ReportKind kind);
// Unit of the dekadal, daily and threshold tables: per dekade / per day for
// the amounts (3 and 5).
std::string SeriesUnit(engine::Integer variable, ReportKind kind, const char *per);

// Variable caption; a variable out of 0..7 throws std::invalid_argument.
std::string VariableCaption(engine::Integer variable);

// Applied-methods lines, each with the indent in front.
std::vector<std::string> MethodLines(const AppliedMethods &methods, const engine::WarningFlags &warnings,
                                     Medium medium, const numfmt::Locale &loc);
// Warning lines (Low, High, Lonely, Strange), each with the indent in front.
std::vector<std::string> WarningLines(const engine::WarningFlags &warnings);

// Best, low and high of month entry i (1..13), each clamped; low and high
// formed from the unclamped best.
struct Triple {
    engine::Single Best = 0, Low = 0, High = 0;
};
Triple MonthlyTriple(const ReportInput &in, int i, engine::Single z);

// Rows of the dekadal (37), daily (368) and threshold (101) tables: label
// cell and three value cells, right-aligned in 15 each.
std::vector<std::string> DekadalRows(const ReportInput &in, engine::Single z, const numfmt::Locale &loc);
std::vector<std::string> DailyRows(const ReportInput &in, engine::Single z, Medium medium,
                                   const numfmt::Locale &loc);
std::vector<std::string> ThresholdRows(const ReportInput &in, engine::Single z, Medium medium,
                                       const numfmt::Locale &loc);

// Station table: header line, then (after the caller's blank line) one row
// per neighbour and the mean row.
std::string StationHeader();
std::vector<std::string> StationRows(const ReportInput &in, const numfmt::Locale &loc);
// The station names and countries as StationRows writes them (their first
// characters), each known by its whole text.
std::vector<numfmt::NameInText> StationNames(const ReportInput &in);
// Observation table: header, one row per neighbour, the mean row. Each is a
// print line that may span several physical lines.
numfmt::PrintLine ObservationHeader(const numfmt::Locale &loc);
std::vector<numfmt::PrintLine> ObservationRows(const ReportInput &in, const numfmt::Locale &loc);

// Neighbour count kept to the records the array holds.
int RowCount(const ReportInput &in);

// R(w, s) and N2 / N0 shorthands.
std::string R(int width, const std::string &s);
std::string N2(engine::Single v, const numfmt::Locale &loc);
std::string N0(engine::Single v, const numfmt::Locale &loc);

} // namespace tavisol::report::parts

namespace tavisol::report::parts {

// One column of the monthly table: width, head, units cell, and the cell of
// month entry i (1..13).
struct MonthlyColumn {
    int Width = 10;
    std::string Header;
    std::string Unit;
    std::vector<std::string> Cells;  // 1..13 (0 unused)
};
// The ticked columns in their fixed order, with the widths and heads of the
// file or of the printed page (the file splits the gradient direction into
// degrees and compass text; the page joins them in one column of 13).
std::vector<MonthlyColumn> MonthlyColumns(const ReportInput &in, const ReportOptions &options, const Level &level,
                                          ReportKind kind, Medium medium, const numfmt::Locale &loc);

} // namespace tavisol::report::parts
