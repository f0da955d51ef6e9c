#include "shell/appstate.h"

#include "numfmt/numfmt.h"
#include "shell/statuslocation.h"

namespace tavisol {

namespace {
AppState g_state;
LocationDisplay g_display;
EstimateChangeHook g_changeHook;

void TellEstimateChange() {
    if (g_changeHook)
        g_changeHook();
}
} // namespace

AppState &appState() { return g_state; }

void ResetAppState() { g_state = AppState{}; }

void SetLocationDisplay(LocationDisplay display) { g_display = std::move(display); }

const LocationDisplay &locationDisplay() { return g_display; }

void SetEstimateChangeHook(EstimateChangeHook hook) { g_changeHook = std::move(hook); }

void MarkEstimatesStale(RecalcMarks marks) {
    if (marks != RecalcMarks::None)
        g_state.ResultsRecalcPending = true;
    if (marks == RecalcMarks::Both)
        g_state.WorkbenchRecalcPending = true;
    TellEstimateChange();
}

bool LongitudeAccepted(double longitude) { return longitude >= -180 && longitude <= 180; }

bool LatitudeAccepted(double latitude) { return latitude >= -90 && latitude <= 90; }

bool AltitudeAccepted(double altitude) {
    const float stored = RoundToDecimals(numfmt::toSingle(altitude), 0);
    return stored >= LowestAltitude && stored <= HighestAltitude;
}

std::string SetCurrentLocation(const std::string &name, float longitude, float latitude,
                               float altitude, RecalcMarks marks) {
    AppState &s = g_state;
    if (!LongitudeAccepted(longitude) || !LatitudeAccepted(latitude) || !AltitudeAccepted(altitude))
        return s.LocationName;
    s.CurLongitude = longitude;
    s.CurLatitude = latitude;
    s.CurElevation = altitude;
    std::string shown = name;
    NormalizeLocation(shown, s.CurLongitude, s.CurLatitude, s.CurElevation);
    s.LocationName = shown;
    if (g_display)
        g_display(s.LocationName, s.CurLongitude, s.CurLatitude, s.CurElevation);
    MarkEstimatesStale(marks);
    return s.LocationName;
}

BusyGuard::BusyGuard() : owns_(!g_state.Busy) {
    if (owns_)
        g_state.Busy = true;
}

BusyGuard::~BusyGuard() {
    if (!owns_)
        return;
    g_state.Busy = false;
    // A window that waited for the run to end may compute now.
    TellEstimateChange();
}

} // namespace tavisol
