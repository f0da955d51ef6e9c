#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/precision.h"

namespace tavisol::engine {

using detail::Add;
using detail::Checked;
using detail::HasAltitude;
using detail::S;

void CrossValidateNeighbours(EngineState &state) {
    constexpr double pi = 3.1415926535;
    const int found = std::clamp<int>(state.NeighbourCount, 0, MaxNeighbours);
    const EstimateResult &result = state.CurResult;
    auto &nb = state.Neighbours;
    // Leave-one-out estimate minus own value, per station and month.
    Single residual[MaxNeighbours + 1][13] = {};
    // Each neighbour's terms of the distance, converted once.
    GeoPoint geo[MaxNeighbours + 1];
    AzimuthPoint place[MaxNeighbours + 1];
    for (int j = 1; j <= found; ++j) {
        geo[j] = GeoPointOf(nb[j].Longitude, nb[j].Latitude);
        place[j] = AzimuthPointOf(nb[j].Longitude, nb[j].Latitude);
    }

    for (int k = 1; k <= found; ++k) {
        const StationRecord &left = nb[k];
        if (left.Active != 1)
            continue;
        Single w[MaxNeighbours + 1] = {};
        Single d[MaxNeighbours + 1] = {};
        // Direction from the left-out station to each other one, once per
        // pair rather than once per triple below.
        Single direction[MaxNeighbours + 1] = {};
        const bool once = !state.PlainSteps && state.ShadowOn == 1;
        for (int j = 1; j <= found; ++j) {
            const StationRecord &other = nb[j];
            if (j != k && other.Active == 1) {
                if (other.Longitude == left.Longitude && other.Latitude == left.Latitude) {
                    state.ShowMessage(TwoStationsMessage);
                    return;
                }
                d[j] = state.PlainSteps ? GreatCircleDistance(left.Longitude, left.Latitude, other.Longitude,
                                                              other.Latitude, state.ZeroTolerance)
                                        : GreatCircleDistance(geo[k], geo[j], state.ZeroTolerance);
                if (once)
                    direction[j] = Azimuth(place[k], place[j]);
                w[j] = d[j] != 0 ? Checked(std::pow(static_cast<double>(d[j]), -static_cast<double>(state.IdwPower)))
                                 : 0.0f;
            }
            state.DoEvents();
        }
        if (state.ShadowOn == 1) {
            for (int j = 1; j <= found; ++j) {
                if (j != k && nb[j].Active == 1) {
                    for (int l = 1; l <= found; ++l) {
                        if (l == j || l == k || nb[l].Active != 1 || !(d[l] < d[j]))
                            continue;
                        const Single al = once ? direction[l]
                                               : Azimuth(left.Longitude, left.Latitude, nb[l].Longitude, nb[l].Latitude);
                        const Single aj = once ? direction[j]
                                               : Azimuth(left.Longitude, left.Latitude, nb[j].Longitude, nb[j].Latitude);
                        const Single c = S(std::cos((static_cast<double>(aj) - al) * pi / 180.0));
                        // The factor is part of the weight's formula: only the weight is a Single.
                        const double f = 1.0 - static_cast<double>(state.ShadowCoef) *
                                                   (1.0 - static_cast<double>(d[l]) / d[j]) *
                                                   (1.0 - (1.0 - static_cast<double>(c)) * 0.5);
                        w[j] = S(static_cast<double>(w[j]) * f);
                    }
                }
                state.DoEvents();
            }
        }
        Single sum = 0;
        for (int j = 1; j <= found; ++j)
            Add(sum, w[j]);
        if (sum == 0) // no weight left for this station: no error estimate at all
            return;
        for (int j = 1; j <= found; ++j)
            w[j] = S(static_cast<double>(w[j]) / sum);

        for (int m = 1; m <= 12; ++m) {
            Single estimate = 0;
            for (int j = 1; j <= found; ++j) {
                if (j == k)
                    continue;
                const StationRecord &other = nb[j];
                // Either station without altitude: no altitude term.
                const double altitudeTerm =
                    HasAltitude(left.Altitude) && HasAltitude(other.Altitude)
                        ? (static_cast<double>(left.Altitude) - other.Altitude) * result.VertGrad[m]
                        : 0.0;
                const double moved = static_cast<double>(other.Values[m]) + altitudeTerm +
                                     (static_cast<double>(left.Longitude) - other.Longitude) * result.LonGradDeg[m] +
                                     (static_cast<double>(left.Latitude) - other.Latitude) * result.LatGradDeg[m];
                Add(estimate, static_cast<double>(w[j]) * moved);
            }
            residual[k][m] = Checked(static_cast<double>(estimate) - left.Values[m]);
        }
        state.DoEvents();
    }

    EstimateResult &r = state.CurResult;
    for (int m = 1; m <= 12; ++m) {
        int n = 0;
        for (int k = 1; k <= found; ++k)
            n += nb[k].Active == 1 ? 1 : 0;
        Single sum = 0;
        for (int k = 1; k <= found; ++k)
            if (nb[k].Active == 1)
                Add(sum, residual[k][m]);
        r.Bias[m] = Checked(static_cast<double>(sum) / n);
        Single squares = 0;
        for (int k = 1; k <= found; ++k) {
            if (nb[k].Active == 1) {
                const double dev = static_cast<double>(residual[k][m]) - r.Bias[m];
                Add(squares, dev * dev);
            }
        }
        r.StdErr[m] = Checked(std::sqrt(static_cast<double>(squares) / n)); // divisor n, not n - 1
        r.Best[m] = Checked(static_cast<double>(r.Best[m]) - r.Bias[m]);
        if (r.Best[m] < 0 && state.CurrentVariable >= 3)
            r.Best[m] = 0;
    }
}

} // namespace tavisol::engine
