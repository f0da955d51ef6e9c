#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/precision.h"

namespace tavisol::engine {

using detail::Add;
using detail::Checked;
using detail::HasAltitude;
using detail::S;

namespace {

constexpr double ShadowPi = 3.1415926535;

int FoundCount(const EngineState &state) { return std::clamp<int>(state.NeighbourCount, 0, MaxNeighbours); }

// Value of a neighbour moved to the computation point with the month's
// gradients. A neighbour without altitude gets no altitude term.
double MovedToPoint(const EngineState &state, const StationRecord &n, int m) {
    const EstimateResult &r = state.CurResult;
    const double altitudeTerm =
        HasAltitude(n.Altitude) ? (static_cast<double>(state.CalcAltitude) - n.Altitude) * r.VertGrad[m] : 0.0;
    return static_cast<double>(n.Values[m]) + altitudeTerm +
           (static_cast<double>(state.CalcLongitude) - n.Longitude) * r.LonGradDeg[m] +
           (static_cast<double>(state.CalcLatitude) - n.Latitude) * r.LatGradDeg[m];
}

// Direction of a gradient from its components: the arctangent, then the
// quadrant from the sign of the north-south part. Due east or west is 90 or
// 270 as it stands.
Single GradientDirection(Single lonGrad, Single latGrad, Single latSign, double pi) {
    Single dir = 0;
    if (latGrad != 0 || lonGrad != 0) {
        if (latGrad == 0)
            return lonGrad > 0 ? 90.0f : 270.0f;
        dir = Checked(std::atan(static_cast<double>(lonGrad) / latGrad) * 180.0 / pi);
    }
    if (latSign <= 0)
        dir = S(dir + 180.0);
    else if (dir < 0)
        dir = S(dir + 360.0);
    return dir;
}

} // namespace

bool EstimateLocation(EngineState &state) {
    if (state.ActiveCount == 0)
        return false;
    EstimateResult &r = state.CurResult;
    for (int e = 1; e <= 13; ++e) {
        r.Best[e] = 0;
        r.StdErr[e] = 0;
        r.VertGrad[e] = 0;
        r.ExplVar[e] = 0;
        r.LonGradDeg[e] = 0;
        r.LatGradDeg[e] = 0;
        r.AbsGrad[e] = 0;
        r.Bias[e] = 0;
        r.LonGrad[e] = 0;
        r.LatGrad[e] = 0;
        r.DirGrad[e] = 0;
        r.DirGradText[e] = BlankCompassText;
        state.DoEvents();
    }
    StationRecord &first = state.Neighbours[1];
    if (state.IdwPower > 0.001f && first.Distance < state.MinDistance && first.Active == 1 && state.ActiveCount >= 2) {
        // The point is the first neighbour's own place: take its values.
        for (int m = 1; m <= 12; ++m)
            r.Best[m] = first.Values[m];
        first.Weight = 1;
        for (int k = 2; k <= MaxNeighbours; ++k)
            state.Neighbours[k].Weight = 0;
        if (state.AltCorrOn == 1 && state.ActiveWithAltCount >= 3)
            FitAltitudeGradient(state);
        if (state.GradCorrOn == 1 && state.ActiveCount > 5)
            FitHorizontalGradient(state);
        FinishEstimate(state);
    } else if (state.ActiveCount == 1) {
        for (int k = 1; k <= MaxNeighbours; ++k) {
            StationRecord &n = state.Neighbours[k];
            if (n.Active == 1) {
                for (int m = 1; m <= 12; ++m)
                    r.Best[m] = n.Values[m];
                n.Weight = 1;
            } else {
                n.Weight = 0;
            }
        }
        FinishEstimate(state);
    } else {
        if (state.AltCorrOn == 1 && state.ActiveWithAltCount >= 3)
            FitAltitudeGradient(state);
        if (state.GradCorrOn == 1 && state.ActiveCount > 5)
            FitHorizontalGradient(state);
        InverseDistanceAverage(state);
        FinishEstimate(state);
    }
    return true;
}

void ComputeWeights(EngineState &state) {
    if (state.IdwPower < 0.0001f)
        state.IdwPower = 0;
    const int found = FoundCount(state);
    int unbounded = 0; // first active neighbour whose weight has no bound (distance 0)
    for (int k = 1; k <= found; ++k) {
        StationRecord &n = state.Neighbours[k];
        if (n.Active == 1) {
            n.Weight = S(std::pow(static_cast<double>(n.Distance), -static_cast<double>(state.IdwPower)));
            if (!std::isfinite(n.Weight) && unbounded == 0)
                unbounded = k;
        } else {
            n.Weight = 0;
        }
        state.DoEvents();
    }
    if (unbounded != 0) {
        // A neighbour at the point itself takes the whole weight, as on the hit path.
        for (int k = 1; k <= found; ++k)
            state.Neighbours[k].Weight = k == unbounded ? 1.0f : 0.0f;
        return;
    }
    if (state.ShadowOn == 1 && state.ActiveCount >= 3)
        ApplyShadowCorrection(state);
    Single sum = 0;
    for (int k = 1; k <= found; ++k)
        Add(sum, state.Neighbours[k].Weight);
    if (sum == 0) {
        // Every weight underflowed (a very high power): the limit is the nearest active neighbour.
        bool taken = false;
        for (int k = 1; k <= found; ++k) {
            StationRecord &n = state.Neighbours[k];
            n.Weight = (!taken && n.Active == 1) ? 1.0f : 0.0f;
            taken = taken || n.Active == 1;
        }
        return;
    }
    for (int k = 1; k <= found; ++k) {
        StationRecord &n = state.Neighbours[k];
        n.Weight = S(static_cast<double>(n.Weight) / sum);
    }
}

void ApplyShadowCorrection(EngineState &state) {
    const int found = FoundCount(state);
    Single direction[MaxNeighbours + 1] = {};
    for (int k = 1; k <= found; ++k) {
        const StationRecord &n = state.Neighbours[k];
        direction[k] = Azimuth(state.CalcLongitude, state.CalcLatitude, n.Longitude, n.Latitude);
    }
    for (int i = 1; i <= found; ++i) {
        StationRecord &ni = state.Neighbours[i];
        if (ni.Active == 1) {
            for (int j = 1; j <= found; ++j) {
                const StationRecord &nj = state.Neighbours[j];
                if (j == i || nj.Active != 1 || !(nj.Distance < ni.Distance))
                    continue;
                const Single c = S(std::cos((static_cast<double>(direction[j]) - direction[i]) * ShadowPi / 180.0));
                const Single f = S(1.0 - static_cast<double>(state.ShadowCoef) *
                                             (1.0 - static_cast<double>(nj.Distance) / ni.Distance) *
                                             (1.0 - (1.0 - static_cast<double>(c)) * 0.5));
                ni.Weight = S(static_cast<double>(ni.Weight) * f);
            }
        }
        state.DoEvents();
    }
}

void FitAltitudeGradient(EngineState &state) {
    EstimateResult &r = state.CurResult;
    const int found = FoundCount(state);
    const double n = state.ActiveWithAltCount;
    for (int m = 1; m <= 12; ++m) {
        Single sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        for (int k = 1; k <= found; ++k) {
            const StationRecord &nb = state.Neighbours[k];
            if (nb.Active != 1 || !HasAltitude(nb.Altitude))
                continue;
            const double x = nb.Altitude;
            const double y = nb.Values[m];
            Add(sx, x);
            Add(sy, y);
            Add(sxx, x * x);
            Add(syy, y * y);
            Add(sxy, x * y);
        }
        const double Sx = sx, Sy = sy, Sxx = sxx, Syy = syy, Sxy = sxy;
        const Single dx = Checked(Sx * Sx - n * Sxx);
        if (dx != 0)
            r.VertGrad[m] = Checked((Sx * Sy - n * Sxy) / dx);
        if (n > 2 && S(n * Syy - Sy * Sy) != 0 && S(n * Sxx - Sx * Sx) != 0) {
            const double num = n * Sxy - Sy * Sx;
            r.ExplVar[m] = Checked(num * num / (n * Syy - Sy * Sy) / (n * Sxx - Sx * Sx));
        } else {
            r.ExplVar[m] = 0;
        }
        state.DoEvents();
    }
}

void FitHorizontalGradient(EngineState &state) {
    EstimateResult &r = state.CurResult;
    const int found = FoundCount(state);
    const double n = state.ActiveCount;
    const StationRecord &mean = state.NeighbourSummary();
    for (int m = 1; m <= 12; ++m) {
        Single sx = 0, sy = 0, sz = 0, sxx = 0, syy = 0, sxy = 0, szx = 0, szy = 0;
        for (int k = 1; k <= found; ++k) {
            const StationRecord &nb = state.Neighbours[k];
            if (nb.Active != 1)
                continue;
            const double x = Checked(static_cast<double>(nb.Longitude) - mean.Longitude);
            const double y = Checked(static_cast<double>(nb.Latitude) - mean.Latitude);
            const double altitudeTerm = HasAltitude(nb.Altitude)
                                            ? (static_cast<double>(state.CalcAltitude) - nb.Altitude) * r.VertGrad[m]
                                            : 0.0;
            const double z = Checked(nb.Values[m] + altitudeTerm);
            Add(sx, x);
            Add(sy, y);
            Add(sz, z);
            Add(sxx, x * x);
            Add(syy, y * y);
            Add(sxy, x * y);
            Add(szx, z * x);
            Add(szy, z * y);
        }
        const double Sx = sx, Sy = sy, Sz = sz;
        const double vxx = Checked(n * sxx - Sx * Sx);
        const double vyy = Checked(n * syy - Sy * Sy);
        const double vzx = Checked(n * szx - Sz * Sx);
        const double vzy = Checked(n * szy - Sz * Sy);
        const double vxy = Checked(n * sxy - Sx * Sy);
        // The two normal equations by Cramer's rule; a singular layout (all
        // neighbours on one line) has no plane and keeps both slopes at 0.
        const double det = vxx * vyy - vxy * vxy;
        if (det != 0) {
            r.LatGradDeg[m] = Checked((vzy * vxx - vzx * vxy) / det);
            r.LonGradDeg[m] = Checked((vzx * vyy - vxy * vzy) / det);
        } else {
            r.LatGradDeg[m] = 0;
            r.LonGradDeg[m] = 0;
        }
        state.DoEvents();
    }
}

void InverseDistanceAverage(EngineState &state) {
    ComputeWeights(state);
    EstimateResult &r = state.CurResult;
    const int found = FoundCount(state);
    for (int m = 1; m <= 12; ++m) {
        Single best = 0;
        for (int k = 1; k <= found; ++k) {
            const StationRecord &n = state.Neighbours[k];
            Add(best, static_cast<double>(n.Weight) * MovedToPoint(state, n, m));
        }
        r.Best[m] = best;
        if (r.Best[m] < 0 && state.CurrentVariable >= 3)
            r.Best[m] = 0;
        state.DoEvents();
    }
    if (state.ActiveCount >= state.MinActiveForErrors)
        CrossValidateNeighbours(state);
}

void FinishEstimate(EngineState &state) {
    constexpr Single pi = 3.1415927f;
    constexpr Single earthRadius = 6370.997f;
    EstimateResult &r = state.CurResult;
    r.Best[13] = 0;
    r.StdErr[13] = 0;
    r.Bias[13] = 0;
    r.VertGrad[13] = 0;
    r.AbsGrad[13] = 0;
    r.DirGrad[13] = 0;
    r.ExplVar[13] = 0;
    r.LonGradDeg[13] = 0;
    r.LatGradDeg[13] = 0;
    r.LonGrad[13] = 0;
    r.LatGrad[13] = 0;
    const bool gradients = state.GradCorrOn == 1;
    const double cosLatitude = std::cos(2 * static_cast<double>(state.CalcLatitude) * pi / 360);
    for (int m = 1; m <= 12; ++m) {
        if (gradients) {
            r.LatGrad[m] = Checked(static_cast<double>(r.LatGradDeg[m]) * 360 / 2 / pi / earthRadius * 100);
            r.LonGrad[m] =
                Checked(static_cast<double>(r.LonGradDeg[m]) * 360 / 2 / pi / earthRadius * 100 / cosLatitude);
            if (r.LatGrad[m] != 0 || r.LonGrad[m] != 0)
                r.AbsGrad[m] = Checked(std::sqrt(static_cast<double>(r.LonGrad[m]) * r.LonGrad[m] +
                                                 static_cast<double>(r.LatGrad[m]) * r.LatGrad[m]));
            else
                r.AbsGrad[m] = 0;
            r.DirGrad[m] = GradientDirection(r.LonGrad[m], r.LatGrad[m], r.LatGradDeg[m], pi);
        } else {
            r.AbsGrad[m] = 0;
            r.DirGrad[m] = 0;
            r.LonGrad[m] = 0;
            r.LatGrad[m] = 0;
        }
        Add(r.Best[13], r.Best[m] / 12.0);
        Add(r.StdErr[13], r.StdErr[m] / 12.0);
        Add(r.Bias[13], r.Bias[m] / 12.0);
        Add(r.VertGrad[13], r.VertGrad[m] / 12.0);
        Add(r.AbsGrad[13], r.AbsGrad[m] / 12.0);
        Add(r.ExplVar[13], r.ExplVar[m] / 12.0);
        Add(r.LonGrad[13], r.LonGrad[m] / 12.0);
        Add(r.LatGrad[13], r.LatGrad[m] / 12.0);
        r.DirGradText[m] = gradients ? CompassLetters(r.DirGrad[m]) : BlankCompassText;
        state.DoEvents();
    }
    r.DirGrad[13] = GradientDirection(r.LonGrad[13], r.LatGrad[13], r.LatGrad[13], pi);
    r.DirGradText[13] = CompassLetters(r.DirGrad[13]);
    if (!gradients) {
        r.DirGrad[13] = 0;
        r.DirGradText[13] = BlankCompassText;
    }
    FitHarmonics(state);
}

} // namespace tavisol::engine
