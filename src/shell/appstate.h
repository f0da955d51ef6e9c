#pragma once

// Program-wide state of the shell: the current location, the output format, the
// busy mark and the recompute marks of the two result windows. Plain data without
// Qt, so the engine's callers, the writers and the tests reach it directly.

#include <functional>
#include <string>

namespace tavisol {

// Output-format codes of OutputFormat.
enum OutputFormatCode : int {
    FormatTavisol = 1,
    FormatQuorrel = 2,
    FormatLgsInput = 3,
    FormatLgsOutput = 4,
    FormatKetlo = 5,
    FormatVistrel = 6,
    FormatFurrowin = 7,
};

struct AppState {
    // Current location. After every change through SetCurrentLocation the
    // coordinates hold values rounded to 0.01 degree and the altitude whole metres.
    std::string LocationName;   // UTF-8
    float CurLongitude = 0.0F;  // degrees, east positive
    float CurLatitude = 0.0F;   // degrees, north positive
    float CurElevation = 0.0F;  // metres

    int OutputFormat = FormatTavisol;

    // True while an engine run is going; see BusyGuard.
    bool Busy = false;

    // The program is ending: a long run stops at its next abort check
    // without asking.
    bool Ending = false;

    // Recompute-on-activation marks of the location results window (ResultsWindow)
    // and of the workbench (WorkbenchWindow). The window clears its own mark when it
    // has recomputed.
    bool ResultsRecalcPending = false;
    bool WorkbenchRecalcPending = false;
};

// The one program-wide instance.
AppState &appState();

// Back to the values of a program that has not started yet (tests).
void ResetAppState();

// Which windows a change of the current location marks for recomputation.
enum class RecalcMarks {
    Both,        // every ordinary writer of the location
    ResultsOnly, // the workbench's station map: it recomputes itself at once
    None,
};

// The locations the program puts in force: longitude -180..180, latitude
// -90..90, altitude -350..8848 m once rounded to whole metres as it is stored.
// A value that is no number is outside.
inline constexpr int LowestAltitude = -350;
inline constexpr int HighestAltitude = 8848;
bool LongitudeAccepted(double longitude);
bool LatitudeAccepted(double latitude);
bool AltitudeAccepted(double altitude);

// The protocol every writer of the current location follows: stores the new
// location, rounds it (0.01 degree, whole metres), gives a location without a
// name its generated name, stores that in LocationName, shows it in the main
// window's status bar and marks the result windows. Returns the stored name.
// A location outside the ranges above is never put in force: nothing changes.
// Writers store through dialogs::StoreLocation, which says why.
std::string SetCurrentLocation(const std::string &name, float longitude, float latitude,
                               float altitude, RecalcMarks marks = RecalcMarks::Both);

// Marks the result windows for recomputation without a change of location (the
// settings dialog's OK, a change of the settings in force) and tells the hook
// below.
void MarkEstimatesStale(RecalcMarks marks = RecalcMarks::Both);

// Told after every change of what an estimate is computed from (the current
// location, the settings in force) and whenever the busy mark is released: the
// main window then brings the estimate its current child shows up to date.
// Without a main window (tests, start-up) nothing is told.
using EstimateChangeHook = std::function<void()>;
void SetEstimateChangeHook(EstimateChangeHook hook);

// The main window shows each change of the location through this sink; without
// a main window (tests, start-up) nothing is shown.
using LocationDisplay =
    std::function<void(const std::string &name, float longitude, float latitude, float altitude)>;
void SetLocationDisplay(LocationDisplay display);
const LocationDisplay &locationDisplay();

// Holds the busy mark for the life of one engine run. A run whose guard does not
// own the mark must not start: another run is going (possibly further up the
// call stack, through events let through by the engine's loops).
class BusyGuard {
public:
    BusyGuard();
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    bool owns() const { return owns_; }
    explicit operator bool() const { return owns_; }

private:
    bool owns_;
};

} // namespace tavisol
