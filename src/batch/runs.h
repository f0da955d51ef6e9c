#pragma once

// The list window's batch runs without Qt: the run of the own format (one
// file set per ticked variable and output, over every listed location) and
// the run of the export formats (one export file over the listed locations).
// The window hands in its choices, its list and a host that shows messages,
// the progress and the summary; the tests hand in their own.

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "batch/locations.h"
#include "batch/runfiles.h"
#include "engine/state.h"
#include "numfmt/numfmt.h"

namespace tavisol::batch {

// The request of a long export to stop: set by the list window's Cancel while
// a run goes on, answered by the run at its next location, cleared at the end
// of every run.
bool &AbortExport();

// The list window's choices, read anew at every location.
struct BatchChoices {
    std::array<bool, 8> Variables{};          // chkMean .. chkSun
    std::array<bool, OutputCount> Outputs{};  // ChkBest .. ChkLatGrad
    tavisol::ConfidenceLevel ConfidenceLevel = RunConfidenceLevel(false, false);
    bool NewFiles = true; // optNew; else optAppend
    bool UseDem = true;   // OptDem; else OptAlt (the list's altitudes)
    bool Summary = false; // chksum

    bool output(Output o) const { return Outputs[static_cast<std::size_t>(o)]; }
    int TickedVariables() const;
};

// At least one variable and one of the ten outputs ticked.
bool HasBatchSelection(const BatchChoices &choices);

// What a run needs of its window. Every member may be empty.
struct RunHost {
    std::function<BatchChoices()> Choices;
    MessageSink Message;
    std::function<void(double maximum)> ProgressStart; // minimum 0, value 0, shown
    std::function<void(double value)> Progress;
    std::function<void()> ProgressEnd;                  // hidden
    std::function<void(bool busy)> BusyPointer;
    // The summary lines, element 0 unused.
    std::function<void(const std::vector<std::string> &lines)> ShowSummary;
    // Lets window events through once per location.
    std::function<void()> DoEvents;
    // True when the program is ending: the run stops at its next location
    // without asking, as after Yes to its question.
    std::function<bool()> Ending;
    // Altitude from the elevation model; empty = the state's data folder and
    // data files. Called from the worker threads as well.
    ElevationFn Elevation;
    numfmt::Locale Locale = numfmt::Locale::english();
    // Worker threads that compute the estimates ahead of the files; 0
    // computes each estimate on the run's own state when it is written.
    unsigned Workers = 0;
};

enum class RunEnd {
    NothingToDo, // no variable ticked: only the message
    Completed,   // "Data Saved Correctly"
    Aborted,     // the user answered Yes to "Do you want end Export Data ?"
    Failed,      // "Error while Processing Data :" and the description
};

Message EndExportQuestion();
Message DataSavedMessage();
Message NoVariableMessage();
Message ProcessingErrorMessage(const std::string &description);

// Variables whose estimate a format cannot be written without, by index:
// every ticked one for the per-variable formats; precipitation and PET for
// Tillwick; the Furrowin files' elements.
std::array<bool, 8> NeededVariables(int format, const BatchChoices &choices);

// A location left out of a run's files, or written without some variables.
struct SkippedLocation {
    int Location = 0;       // 0-based list position
    std::string Name;       // the entry's text
    std::vector<int> Variables; // without an estimate, in processing order
    // Written with the run's other variables (the formats of per-variable
    // files or rows); else in none of the files.
    bool Partial = false;
};
// Where every location a run left out is listed besides its end message.
enum class SkipListing {
    MessageOnly,     // the message names every one
    InformationFile, // the run information file
    Summary,         // the run summary (formats without an information file)
};
// In place of "Data Saved Correctly": how many of `count` locations were left
// out and which, then how many were written without some variables and
// which, each with the variables that had no estimate (ten locations in all,
// shared by the two groups; the rest counted), then where every one is
// listed.
Message SkippedMessage(const std::vector<SkippedLocation> &skipped, int count, SkipListing listing);
// The same names without a limit, one line each under its group's heading:
// the run summary's list.
std::vector<std::string> SkippedLines(const std::vector<SkippedLocation> &skipped, int count);
// Whether the end message names every one of these locations.
bool MessageNamesEvery(const std::vector<SkippedLocation> &skipped);

// Run of the own format into `folder`. The state holds the settings of the
// run, the data folder and the callbacks. Afterwards it holds the last
// location estimated; AbortExport is clear.
RunEnd RunOwnFormat(engine::EngineState &state, const LocationList &locations, const std::filesystem::path &folder,
                    const DateTime &now, RunHost &host);

// Run of an export format (2 standard table, 3 and 4 Tillwick, 5 Ketlo, 6
// Vistrel, 7 Furrowin) into `outputFile`: the file is written beside it under
// a temporary name and replaces it only when the run completes, so a failed
// or stopped run leaves the old file as it was. The run information file of
// formats 2, 5 and 6 goes into `infoFolder`.
//
// In every format a location where a variable the format needs has no
// estimate is left out (per variable where the format is made of per-variable
// rows), and the end message says which locations were left out and which
// were written without some variables, and which variables; the run
// information file lists every one too, or in the formats without one
// (Tillwick, Furrowin) the run summary, shown for that when the message
// cannot name them all.
RunEnd RunOtherFormat(engine::EngineState &state, int format, const LocationList &locations,
                      const std::filesystem::path &outputFile, const std::filesystem::path &infoFolder,
                      const DateTime &now, RunHost &host);

} // namespace tavisol::batch
