#pragma once

// A child window of the main window that shows an estimate of the current
// location (the location results window, the workbench). Whenever such a
// window is the main window's current child, the main window keeps its
// estimate up to date: on its activation, after every change of the location
// or the settings (whichever window or dialog made it), and when a run that
// held the busy mark ends.

namespace tavisol {

class EstimateView {
public:
    // A run is due now (EstimateCurrency::Stale) and none of the window's own
    // is going.
    virtual bool EstimateDue() const = 0;
    // Computes the estimate for the inputs in force and shows it.
    virtual void ComputeEstimate() = 0;

protected:
    ~EstimateView() = default;
};

} // namespace tavisol
