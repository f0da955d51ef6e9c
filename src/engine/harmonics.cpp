#include <cmath>

#include "engine/engine.h"
#include "engine/precision.h"

namespace tavisol::engine {

using detail::Checked;
using detail::S;

namespace {

constexpr double Pi = 3.1415926535;
constexpr double MonthDays[13] = {0, 31, 28.25, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr double YearDays = 365.25;
constexpr double CommonMonth = 30.4375;

} // namespace

void FitHarmonics(EngineState &state) {
    EstimateResult &r = state.CurResult;
    double t[13];
    t[1] = 31.0 / 2 / YearDays;
    for (int m = 2; m <= 12; ++m)
        t[m] = t[m - 1] + (MonthDays[m - 1] + MonthDays[m]) / 2 / YearDays;

    // Totals are brought to a common month so that short February does not look dry.
    const bool totals = state.CurrentVariable == 3 || state.CurrentVariable == 5;
    double y[13];
    double mean = 0;
    for (int m = 1; m <= 12; ++m) {
        y[m] = totals ? r.Best[m] / MonthDays[m] * CommonMonth : static_cast<double>(r.Best[m]);
        mean += y[m];
    }
    mean /= 12;
    r.Harmonics[13] = Checked(mean);
    for (int m = 1; m <= 12; ++m)
        y[m] -= mean;

    for (int k = 1; k <= 6; ++k) {
        const double period = 1.0 / k;
        double ys = 0, ss = 0, yc = 0, cc = 0;
        for (int m = 1; m <= 12; ++m) {
            const double s = std::sin(2 * Pi * t[m] / period);
            const double c = std::cos(2 * Pi * t[m] / period);
            ys += y[m] * s;
            ss += s * s;
            yc += y[m] * c;
            cc += c * c;
        }
        double a = ys / ss;
        // Monthly means smooth a harmonic by sin(x)/x; undo it.
        a = a / period * Pi / 12 / std::sin(Pi / 12 / period);
        double b = 0; // the sixth cosine cannot be told apart from the monthly sampling
        if (k < 6)
            b = yc / cc / period * Pi / 12 / std::sin(Pi / 12 / period);
        r.Harmonics[k] = Checked(a);
        r.Harmonics[k + 6] = Checked(b);
    }
}

Single IntegrateHarmonics(const EstimateResult &r, Single t0, Single t1) {
    if (t1 == t0) {
        // An empty interval: the value of the cycle at that time.
        double f = r.Harmonics[13];
        for (int k = 1; k <= 6; ++k)
            f += r.Harmonics[k] * std::sin(2 * Pi * k * t0) + r.Harmonics[k + 6] * std::cos(2 * Pi * k * t0);
        return S(f);
    }
    Single sum = 0;
    for (int k = 1; k <= 6; ++k) {
        const double omega = S(2 * Pi / (1.0 / k));
        const double a = r.Harmonics[k];
        const double b = r.Harmonics[k + 6];
        sum = S(sum + (a * (std::cos(omega * t0) - std::cos(omega * t1)) + b * (std::sin(omega * t1) - std::sin(omega * t0))) /
                          omega);
    }
    return S(sum / (static_cast<double>(t1) - t0) + r.Harmonics[13]);
}

} // namespace tavisol::engine
