#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/engine.h"
#include "engine/precision.h"

namespace tavisol::engine {

using detail::Add;
using detail::Checked;
using detail::HasAltitude;
using detail::S;

namespace {

int FoundCount(const EngineState &state) { return std::clamp<int>(state.NeighbourCount, 0, MaxNeighbours); }

} // namespace

void EstimateWarnings(EngineState &state) {
    WarningFlags &w = state.CurWarnings;
    w.High = False;
    w.Low = False;
    w.Lonely = False;
    w.Strange = False;
    w.Hit = False;
    w.Few = False;
    NeighbourAltitudeRange(state);
    if (state.CalcAltitude > state.NeighbourMaxAlt)
        w.High = True;
    if (state.CalcAltitude < state.NeighbourMinAlt)
        w.Low = True;
    LonelinessTest(state);
    DetectStrangeData(state);
    if (state.ActiveCount < 10 || state.ActiveWithAltCount < 3)
        w.Few = True;
    const StationRecord &first = state.Neighbours[1];
    if (state.IdwPower > 0.001f && first.Distance < state.MinDistance && state.ActiveCount > 1 && first.Active == 1)
        w.Hit = True;
}

void NeighbourAltitudeRange(EngineState &state) {
    state.NeighbourMaxAlt = -9999;
    state.NeighbourMinAlt = 999999;
    const int found = FoundCount(state);
    for (int k = 1; k <= found; ++k) {
        const StationRecord &n = state.Neighbours[k];
        if (n.Active == 1 && HasAltitude(n.Altitude)) {
            if (n.Altitude < state.NeighbourMinAlt)
                state.NeighbourMinAlt = n.Altitude;
            if (n.Altitude > state.NeighbourMaxAlt)
                state.NeighbourMaxAlt = n.Altitude;
        }
        state.DoEvents();
    }
}

void LonelinessTest(EngineState &state) {
    WarningFlags &w = state.CurWarnings;
    w.Lonely = True;
    const StationRecord &mean = state.NeighbourSummary();
    const Single d0 =
        GreatCircleDistance(state.CalcLongitude, state.CalcLatitude, mean.Longitude, mean.Latitude, state.ZeroTolerance);
    const int found = FoundCount(state);
    for (int k = 1; k <= found; ++k) {
        const StationRecord &n = state.Neighbours[k];
        if (n.Active == 1 &&
            GreatCircleDistance(n.Longitude, n.Latitude, mean.Longitude, mean.Latitude, state.ZeroTolerance) > d0) {
            w.Lonely = False;
            break;
        }
        state.DoEvents();
    }
}

void DetectStrangeData(EngineState &state) {
    if (state.ActiveWithAltCount < 10)
        return;
    const int found = FoundCount(state);
    std::vector<int> taken;
    for (int k = 1; k <= found; ++k) {
        const StationRecord &n = state.Neighbours[k];
        if (n.Active == 1 && HasAltitude(n.Altitude))
            taken.push_back(k);
    }
    const double n = state.ActiveWithAltCount;
    const EstimateResult &r = state.CurResult;

    // Values moved to the point with the estimate's gradients.
    Single corrected[MaxNeighbours + 1][13] = {};
    for (int m = 1; m <= 12; ++m) {
        for (int k : taken) {
            const StationRecord &nb = state.Neighbours[k];
            corrected[k][m] = Checked(static_cast<double>(nb.Values[m]) +
                                      (static_cast<double>(state.CalcAltitude) - nb.Altitude) * r.VertGrad[m] +
                                      (static_cast<double>(state.CalcLongitude) - nb.Longitude) * r.LonGradDeg[m] +
                                      (static_cast<double>(state.CalcLatitude) - nb.Latitude) * r.LatGradDeg[m]);
        }
        state.DoEvents();
    }
    Single largest[13] = {};
    int farthest[13] = {};
    for (int m = 1; m <= 12; ++m) {
        Single sum = 0;
        for (int k : taken)
            Add(sum, corrected[k][m]);
        const Single mu = Checked(sum / n);
        for (int k : taken) {
            const Single deviation = S(std::fabs(static_cast<double>(corrected[k][m]) - mu));
            if (deviation > largest[m]) {
                largest[m] = deviation;
                farthest[m] = k;
            }
        }
    }
    const Single q = SidakQuantile(static_cast<Single>(n), 0.9f);
    for (int m = 1; m <= 12; ++m) {
        Single sum = 0;
        for (int k : taken)
            if (k != farthest[m])
                Add(sum, corrected[k][m]);
        const Single mu = Checked(sum / (n - 1));
        Single squares = 0;
        for (int k : taken) {
            if (k != farthest[m]) {
                const double dev = static_cast<double>(corrected[k][m]) - mu;
                Add(squares, dev * dev);
            }
        }
        const Single s = S(std::sqrt(squares / (n - 1)));
        const Single z = s == 0 ? 0.0f : Checked(static_cast<double>(largest[m]) / s);
        if (q < z) {
            WarningFlags &w = state.CurWarnings;
            w.StrangeMonth = static_cast<Integer>(m);
            w.StrangeStation = static_cast<Integer>(farthest[m]);
            w.Strange = True;
            return;
        }
        state.DoEvents();
    }
}

Single SidakQuantile(Single n, Single confidence) {
    struct Row {
        Single threshold;
        Single q;
    };
    static constexpr Row table[] = {
        {0.9999f, 3.7119f}, {0.9998f, 3.54f},  {0.9997f, 3.432f}, {0.9996f, 3.353f}, {0.9995f, 3.291f},
        {0.9994f, 3.239f},  {0.9993f, 3.195f}, {0.9992f, 3.156f}, {0.9991f, 3.121f}, {0.999f, 3.09f},
        {0.998f, 2.878f},   {0.997f, 2.748f},  {0.996f, 2.652f},  {0.995f, 2.576f},  {0.994f, 2.512f},
        {0.993f, 2.457f},   {0.992f, 2.409f},  {0.991f, 2.366f},  {0.99f, 2.326f},   {0.985f, 2.17f},
        {0.98f, 2.054f},    {0.975f, 1.96f},   {0.97f, 1.881f},   {0.965f, 1.812f},  {0.96f, 1.751f},
        {0.955f, 1.695f},   {0.95f, 1.645f},   {0.925f, 1.44f},   {0.9f, 1.282f},
    };
    const Single p =
        S((1 + std::exp(std::log(static_cast<double>(confidence)) * (1 / static_cast<double>(n)))) * 0.5);
    for (const Row &row : table)
        if (row.threshold < p)
            return row.q;
    return 0;
}

} // namespace tavisol::engine
