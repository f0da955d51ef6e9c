#pragma once

// The system's own text report of an estimate (".tvs"): title, location,
// variable, applied methods, warnings, the chosen tables, closing line. Lines
// end in CR LF, text in Windows-1252. No Qt.
//
// A report reaches the disk whole or not at all: the text is built first and
// written in one go, and a failed write leaves the file as it was before.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
#include "report/reportinput.h"

namespace tavisol::results {
struct LocationResults;
}

namespace tavisol::report {

// The lines of one report, without line ends (UTF-8). Workbench: every
// section the options tick; Location: no dekadal, daily or threshold section
// and a blank sunshine unit. Throws std::invalid_argument for a variable
// outside 0..7.
std::vector<std::string> BuildReportLines(const ReportInput &input, const AppliedMethods &methods,
                                          const ReportOptions &options, ReportKind kind,
                                          const numfmt::Locale &locale);

struct WriteOutcome {
    bool ok = true;
    std::string error;  // for a message box when !ok
    numfmt::ChangedNames Changed; // the station names and countries written with "?"
};

// The workbench's save: the file is replaced by the one report.
WriteOutcome WriteReportFile(const std::filesystem::path &path, const ReportInput &input,
                             const AppliedMethods &methods, const ReportOptions &options,
                             const numfmt::Locale &locale);

// The location results window's save: one reduced report per input, one
// after the other, replacing the file as a whole.
WriteOutcome WriteLocationReports(const std::filesystem::path &path, const std::vector<ReportInput> &inputs,
                                  const AppliedMethods &methods, const ReportOptions &options,
                                  const numfmt::Locale &locale);

// Inputs of the ticked variables (0..7, in variable order) from the location
// results window's stored copies, each with its own neighbour count and point.
std::vector<ReportInput> LocationInputs(const results::LocationResults &stored, const std::array<bool, 8> &variables);

} // namespace tavisol::report
