#pragma once

// What the estimate of a result window is computed from, and whether the
// estimate a window shows is still the one for them. Both result windows (the
// location results window and the workbench) keep one EstimateCurrency, so
// that every change reaches them by one rule, whichever window or dialog made
// it. No Qt.

#include <optional>
#include <string>

#include "engine/state.h"

namespace tavisol {

struct EstimateInputs {
    float Longitude = 0, Latitude = 0, Altitude = 0;  // the current location
    engine::EngineSettings Settings;                    // the settings in force
    // Names, sizes and time stamps of the data folder's files: a run that
    // failed for a missing or bad file is worth repeating once it changed.
    std::string DataFiles;
    bool operator==(const EstimateInputs &) const = default;
};

// The inputs as they stand now.
EstimateInputs CurrentEstimateInputs();

class EstimateCurrency {
public:
    // pendingMark: the window's recompute mark in AppState, which the writers
    // of the location and the settings set.
    explicit EstimateCurrency(bool *pendingMark) : mark_(pendingMark) {}

    // A run is due: the window was marked, never ran, or an input changed
    // since its last run, finished or failed. A failed run is not repeated
    // for the same inputs.
    bool Stale() const;
    // A run starts: its inputs are taken now and the mark is cleared, so that
    // a change while it lets events through makes the window stale again.
    EstimateInputs Start();
    // The run ended. A failed one keeps its message for the window to show.
    void Finish(bool ok, std::string failure = {});

    // The last run failed, and with what message; empty when it did not.
    bool Failed() const { return failed_; }
    const std::string &Failure() const { return failure_; }

private:
    bool *mark_;
    std::optional<EstimateInputs> last_;
    bool failed_ = false;
    std::string failure_;
};

} // namespace tavisol
