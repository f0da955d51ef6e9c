#pragma once

// The decisions of the two output dialogs and the save and print dispatch by
// output format, without Qt. The dialogs copy their boxes into these structs;
// the dispatch picks the writer of the format in force and calls it on the
// stored copies of the location results window or on the workbench's state.

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "calendar/confidence.h"
#include "engine/state.h"
#include "export/export_input.h"
#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
#include "report/printscript.h"
#include "report/reportinput.h"
#include "results/storedresults.h"
#include "shell/dialoglogic.h"

namespace tavisol::outdlg {

inline constexpr int VariableBoxCount = 8;
using VariableTicks = std::array<bool, VariableBoxCount>;  // chkMean .. chkSun, index = variable

// ---- Enabling by output format ---------------------------------------------------

// What EnableForFormat(format) of the location results window's output dialog does.
struct ResultsOutputFormatRule {
    bool Best = false;              // value of ChkBest
    bool OutputsEnabled = true;     // ChkBest, the other output boxes and the levels
    bool VariablesEnabled = true;   // the eight variable boxes
    VariableTicks Variables{};      // values of the variable boxes
};
ResultsOutputFormatRule ResultsOutputRuleFor(int format);

// What EnableForFormat(format) of the workbench's output dialog does.
struct WorkbenchOutputFormatRule {
    bool Best = false;          // value of ChkBest
    bool Enabled = true;        // the fifteen output boxes and the levels
};
WorkbenchOutputFormatRule WorkbenchOutputRuleFor(int format);

// Formats the workbench cannot save or print (Tillwick and Furrowin).
bool WorkbenchRefusesFormat(int format);

// ---- Levels ---------------------------------------------------------------------

using Level = ConfidenceLevel;

// ChkHigh of the results dialog after a click: a newly ticked box with no
// level chosen selects 90 %; anything else keeps the level.
Level ResultsOutputLevelAfterHighClick(Level current, bool nowTicked);

// A level user of the workbench's dialog (ChkHigh, chkDay, chkDek, chkThr)
// after a click: ticked with no level, the workbench's level, else 90 %;
// cleared with the other three clear, no level.
Level WorkbenchOutputLevelAfterClick(Level current, bool nowTicked, bool othersTicked, Level workbench);

// ---- Selection checks -------------------------------------------------------------

// The level options of a dialog, in and out of the report's options.
report::ReportOptions WithLevel(report::ReportOptions options, Level level);

// At least one variable and at least one output box ticked (ChkBest ..
// ChkLatGrad, chkStat, chkObs; the levels do not count).
bool ResultsOutputHasSelection(const VariableTicks &variables, const report::ReportOptions &outputs);
// Any of the fifteen output boxes ticked.
bool WorkbenchOutputHasSelection(const report::ReportOptions &outputs);

inline constexpr const char *NothingSelectedTitle = "Nothing selected!";
inline constexpr const char *NothingToSaveText = "Please select at least one desired output and one desired variable";
inline constexpr const char *NothingToPrintText = "You should select something to print.";
inline constexpr const char *WorkbenchFormatText = "You Cannot use this Format in WorkBench Mode";
inline constexpr const char *SavedText = "Data Saved Correctly";

// Filter of the save dialog (description|pattern).
std::string ResultsOutputSaveFilter(int format);
std::string WorkbenchOutputSaveFilter(int format);


// ---- Dispatch -----------------------------------------------------------------------

// Everything a save or print reads besides the estimate.
struct OutputRequest {
    int Format = 1;                  // OutputFormat
    VariableTicks Variables{};       // results dialog only
    report::ReportOptions Options;   // the dialog's output boxes and level
    report::AppliedMethods Methods;  // settings dialog's fields
    numfmt::Locale Locale = numfmt::Locale::english();
    std::string LocationName;        // current location
    exports::ExportPoint Current;    // CurLongitude, CurLatitude, CurElevation
};

struct DispatchOutcome {
    bool ok = true;
    std::string error;  // for a message box when !ok
    // Ticked variables left out of a saved file for want of an estimate.
    std::vector<int> LeftOut;
    // Names the files hold with "?".
    numfmt::ChangedNames Changed;
};

// The message after a save that went well: "Data Saved Correctly", or what
// was left out of the file; then the names written with "?".
std::string SavedMessage(const DispatchOutcome &outcome);

// Puts a stored variable back into the results window's engine state; the
// dispatch calls it with the variable that the state is to hold afterwards.
using LeaveVariable = std::function<void(int variable)>;

// The ticked variables in the order the dispatch visits them (0 .. 7).
std::vector<int> TickedVariables(const VariableTicks &ticks);

// One variable's stored copy as the one-variable writers read it.
exports::VariableExport StoredVariableExport(const results::LocationResults &stored, int variable,
                                             const std::string &locationName);
// All eight stored copies as the Tillwick and Furrowin writers read them.
exports::LocationExport StoredLocationExport(const results::LocationResults &stored, const std::string &locationName,
                                             const exports::ExportPoint &current);

// Why a save or print of the stored copies in the requested format would
// write nothing for want of estimates (every ticked variable of a
// per-variable format lacks one, or a variable the Tillwick or Furrowin files
// read does); empty when it would write. The dialog asks it before the file
// or the printer, the dispatch again before it writes.
std::string NothingToWriteReason(const results::LocationResults &stored, const OutputRequest &request);
// The variables of such a refusal: the ticked ones of a per-variable format,
// or those the Tillwick or Furrowin files read, that have no estimate.
std::vector<int> RequestedWithoutEstimate(const results::LocationResults &stored, const OutputRequest &request);

// Save of the location results window's output dialog (the dialog's own
// direct calls for formats 3, 4, 7 and SaveResults for the rest):
//   1 own report, one per ticked variable, the file replaced;
//   2, 5 standard table / Ketlo file, header above the first ticked variable,
//     one row per ticked variable, the file replaced;
//   3, 4 Tillwick input / output of the location, with header, the file replaced;
//   7 Furrowin catalogue (new, not a list run) with the .PEN and .CLI files
//     beside it;
//   6 and any other code: the file is left empty.
// A file is written whole or not at all. A variable without an estimate is
// never written: formats 1, 2 and 5 leave it out (DispatchOutcome::LeftOut;
// when every ticked variable lacks one, nothing is written and !ok); formats
// 3, 4 and 7 are not written when a variable they read lacks one (!ok).
// On success `leave` gets the variable the engine state holds after the
// writers: the last one written, or 5 for formats 3, 4 and 7 (none when
// nothing was written).
DispatchOutcome SaveLocationResults(const std::filesystem::path &file, const results::LocationResults &stored,
                                    const OutputRequest &request, const LeaveVariable &leave = {});

// What one print command puts on the printer, as one document.
struct PrintJob {
    enum class Kind { Nothing, Lines, LocationReports, WorkbenchReport };
    Kind What = Kind::Nothing;
    exports::PrintLines Lines;                // Lines
    std::vector<report::ReportInput> Reports; // LocationReports (one per page group), WorkbenchReport (one)
    report::AppliedMethods Methods;
    report::ReportOptions Options;
    numfmt::Locale Locale = numfmt::Locale::english();
    // What was left out of the print (or why nothing is printed) for want of
    // estimates; empty when everything asked for is printed.
    std::string Notice;
};

// Print of the location results window: format 1 the reports of the ticked
// variables, each from a new page; 2 and 5 the table / Ketlo lines of the
// ticked variables, header with the first; 3, 4, 7 the location's Tillwick
// or Furrowin lines whatever is ticked; 6 and others nothing. Variables
// without an estimate are left out as for the save (Notice says so). Throws
// what the writers throw (a print then ends silently). `leave` as for the save.
PrintJob LocationPrintJob(const results::LocationResults &stored, const OutputRequest &request,
                          const LeaveVariable &leave = {});

// Save of the workbench: 1 its full report, 2 the standard table, 5 the
// Ketlo file, each with header into a new file; any other format writes
// nothing and creates no file.
DispatchOutcome SaveWorkbenchResults(const std::filesystem::path &file, const engine::EngineState &state,
                                     const OutputRequest &request);
// Print of the workbench: 1 its full report, 2 / 5 the table / Ketlo lines
// with header; anything else nothing.
PrintJob WorkbenchPrintJob(const engine::EngineState &state, const OutputRequest &request);

// The printer operations of a list of print lines: a fixed-pitch font, then
// one print statement per line.
inline const report::PrintFont LinesFont{"Courier", 10, false};
report::PrintScript LinesScript(const exports::PrintLines &lines, double fontSize = LinesFont.Size);
// The same for a page: where the widest line does not fit the page's width
// in LinesFont, the font is made smaller for this print, down to
// MinLinesFontSize; lines still too wide continue on the next line, broken
// between fields (report::LayOut).
inline constexpr double MinLinesFontSize = 6;
report::PrintScript FittedLinesScript(const exports::PrintLines &lines, const report::PageSize &page,
                                      const report::FontMeasure &measure);

} // namespace tavisol::outdlg
