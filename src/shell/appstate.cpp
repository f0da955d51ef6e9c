#include "shell/appstate.h"

#include "shell/statuslocation.h"

namespace tavisol {

namespace {
AppState g_state;
LocationDisplay g_display;
} // namespace

AppState &appState() { return g_state; }

void ResetAppState() { g_state = AppState{}; }

void SetLocationDisplay(LocationDisplay display) { g_display = std::move(display); }

const LocationDisplay &locationDisplay() { return g_display; }

std::string SetCurrentLocation(const std::string &name, float longitude, float latitude,
                               float altitude, RecalcMarks marks) {
    AppState &s = g_state;
    s.CurLongitude = longitude;
    s.CurLatitude = latitude;
    s.CurElevation = altitude;
    std::string shown = name;
    NormalizeLocation(shown, s.CurLongitude, s.CurLatitude, s.CurElevation);
    s.LocationName = shown;
    if (g_display)
        g_display(s.LocationName, s.CurLongitude, s.CurLatitude, s.CurElevation);
    if (marks != RecalcMarks::None)
        s.ResultsRecalcPending = true;
    if (marks == RecalcMarks::Both)
        s.WorkbenchRecalcPending = true;
    return s.LocationName;
}

BusyGuard::BusyGuard() : owns_(!g_state.Busy) {
    if (owns_)
        g_state.Busy = true;
}

BusyGuard::~BusyGuard() {
    if (owns_)
        g_state.Busy = false;
}

} // namespace tavisol
