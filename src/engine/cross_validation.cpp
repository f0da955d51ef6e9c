#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/engine.h"
#include "engine/geodesy.h"
#include "engine/precision.h"

namespace tavisol::engine {

using detail::Add;
using detail::Checked;
using detail::HasAltitude;
using detail::S;

namespace {

constexpr double pi = 3.1415926535;

// A station's position by the exact bits of its coordinates.
std::uint64_t PositionKey(const StationRecord &station) {
    return std::uint64_t{std::bit_cast<std::uint32_t>(station.Longitude)} << 32 |
           std::bit_cast<std::uint32_t>(station.Latitude);
}

std::uint32_t Bits(Single value) { return std::bit_cast<std::uint32_t>(value); }

struct PairKey {
    std::uint64_t left = 0, other = 0;
    bool operator==(const PairKey &) const = default;
};

struct PairKeyHash {
    std::size_t operator()(const PairKey &key) const {
        std::uint64_t h = key.left * 0x9E3779B97F4A7C15ull ^ (key.other + 0x632BE59BD9B4E019ull);
        h ^= h >> 31;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
        return static_cast<std::size_t>(h);
    }
};

// What one left-out station and one other station give, each part valid only
// for the settings it was computed with.
struct PairTerms {
    bool hasDistance = false;
    std::uint32_t zeroTolerance = 0;
    Single distance = 0;

    bool hasWeight = false;  // needs hasDistance
    std::uint32_t idwPower = 0;
    Single weight = 0;       // before any shadow factor

    bool hasDirection = false;
    Single direction = 0;    // from the left-out station to the other one

    // The shadow factors of the stations listed, in the order last applied,
    // for one shadow coefficient (each a pure function of the three places).
    bool hasFactors = false;  // needs hasDistance
    std::uint32_t shadowCoef = 0;
    int shadowingCount = 0;
    std::uint64_t shadowing[MaxNeighbours] = {};
    double factor[MaxNeighbours] = {};
    // The weight after the first 1, 2, ... of those factors in that order;
    // needs hasWeight and hasFactors.
    bool hasShadowed = false;
    Single shadowed[MaxNeighbours] = {};
};

// Open addressing in slots allocated once, so that estimates that find
// nothing to reuse (points far apart) pay no allocation per pair.
class PairSlots {
public:
    static constexpr std::size_t Capacity = 4096;  // a power of 2

    PairSlots() : keys_(Capacity), epochs_(Capacity, 0), terms_(Capacity) {}

    std::size_t size() const { return size_; }
    void clear() {
        ++epoch_;
        size_ = 0;
    }
    PairTerms *Find(const PairKey &key) {
        for (std::size_t i = PairKeyHash{}(key) & (Capacity - 1);; i = (i + 1) & (Capacity - 1)) {
            if (epochs_[i] != epoch_)
                return nullptr;
            if (keys_[i] == key)
                return &terms_[i];
        }
    }
    // Not yet there; the table is less than full.
    PairTerms &Insert(const PairKey &key) {
        std::size_t i = PairKeyHash{}(key) & (Capacity - 1);
        while (epochs_[i] == epoch_)
            i = (i + 1) & (Capacity - 1);
        epochs_[i] = epoch_;
        keys_[i] = key;
        ++size_;
        return terms_[i];
    }

private:
    std::vector<PairKey> keys_;
    std::vector<std::uint32_t> epochs_;  // a slot is taken when it holds the current epoch
    std::vector<PairTerms> terms_;
    std::uint32_t epoch_ = 1;
    std::size_t size_ = 0;
};

} // namespace

// Two generations: when the newer one is half full it becomes the older one,
// so the pairs of the last few estimates stay at hand and memory stays
// bounded.
struct LeaveOneOutMemo::Table {
    static constexpr std::size_t Generation = PairSlots::Capacity / 2;
    std::unique_ptr<PairSlots> newer = std::make_unique<PairSlots>(), older = std::make_unique<PairSlots>();
    Counts counts;

    // Called before a step looks anything up, so that references it holds
    // stay valid for the whole step (at most 20 x 19 pairs are added).
    void MakeRoom() {
        if (newer->size() < Generation)
            return;
        std::swap(newer, older);
        newer->clear();
    }

    PairTerms &Find(const PairKey &key) {
        if (PairTerms *terms = newer->Find(key))
            return *terms;
        PairTerms &terms = newer->Insert(key);
        if (const PairTerms *kept = older->Find(key)) {
            terms = *kept;
        } else {
            terms.hasDistance = false;
            terms.hasWeight = false;
            terms.hasDirection = false;
            terms.hasFactors = false;
            terms.hasShadowed = false;
        }
        return terms;
    }
};

LeaveOneOutMemo::LeaveOneOutMemo() = default;
LeaveOneOutMemo::~LeaveOneOutMemo() = default;
LeaveOneOutMemo::LeaveOneOutMemo(const LeaveOneOutMemo &) {}
LeaveOneOutMemo &LeaveOneOutMemo::operator=(const LeaveOneOutMemo &other) {
    if (this != &other)
        table_.reset();
    return *this;
}
LeaveOneOutMemo::LeaveOneOutMemo(LeaveOneOutMemo &&) noexcept = default;
LeaveOneOutMemo &LeaveOneOutMemo::operator=(LeaveOneOutMemo &&) noexcept = default;

LeaveOneOutMemo::Table &LeaveOneOutMemo::table() {
    if (!table_)
        table_ = std::make_unique<Table>();
    return *table_;
}

LeaveOneOutMemo::Counts LeaveOneOutMemo::counts() const { return table_ ? table_->counts : Counts{}; }

void LeaveOneOutMemo::clear() { table_.reset(); }

namespace {

// Two active stations at one place leave no distance to weigh by: the user
// is told, and the errors are not estimated.
bool AtOnePlace(EngineState &state, const StationRecord &left, const StationRecord &other) {
    if (other.Longitude != left.Longitude || other.Latitude != left.Latitude)
        return false;
    state.ShowMessage(TwoStationsMessage);
    return true;
}

// The unnormalised leave-one-out weights of station k, from the memo where
// the same pair, the same shadowing stations in the same order and the same
// settings were seen before, computed as the plain steps do otherwise.
// False after the message on two active stations at one place.
bool MemoisedWeights(EngineState &state, int found, int k, const GeoPoint geo[], const AzimuthPoint place[],
                     const std::uint64_t position[], Single w[], Single d[]) {
    auto &nb = state.Neighbours;
    LeaveOneOutMemo::Table &table = state.LeaveOneOut.table();
    const StationRecord &left = nb[k];
    const std::uint32_t zeroTolerance = Bits(state.ZeroTolerance);
    const std::uint32_t idwPower = Bits(state.IdwPower);
    PairTerms *pair[MaxNeighbours + 1] = {};
    for (int j = 1; j <= found; ++j) {
        const StationRecord &other = nb[j];
        if (j != k && other.Active == 1) {
            if (AtOnePlace(state, left, other))
                return false;
            PairTerms &terms = table.Find({position[k], position[j]});
            pair[j] = &terms;
            if (!terms.hasDistance || terms.zeroTolerance != zeroTolerance) {
                terms.hasWeight = false;
                terms.hasFactors = false;
                terms.hasShadowed = false;
                terms.distance = GreatCircleDistance(geo[k], geo[j], state.ZeroTolerance);
                terms.zeroTolerance = zeroTolerance;
                terms.hasDistance = true;
            }
            d[j] = terms.distance;
            if (!terms.hasWeight || terms.idwPower != idwPower) {
                terms.hasShadowed = false;
                // May throw: before anything of this pair's weight is kept.
                terms.weight =
                    d[j] != 0 ? Checked(std::pow(static_cast<double>(d[j]), -static_cast<double>(state.IdwPower)))
                              : 0.0f;
                terms.idwPower = idwPower;
                terms.hasWeight = true;
            }
            w[j] = terms.weight;
        }
        state.DoEvents();
    }
    if (state.ShadowOn != 1)
        return true;

    const std::uint32_t shadowCoef = Bits(state.ShadowCoef);
    // The other active stations in neighbour order: the candidates to shadow.
    int others[MaxNeighbours];
    int otherCount = 0;
    for (int l = 1; l <= found; ++l)
        if (l != k && nb[l].Active == 1)
            others[otherCount++] = l;
    auto direction = [&](int j) {
        PairTerms &terms = *pair[j];
        if (!terms.hasDirection) {
            terms.direction = Azimuth(place[k], place[j]);
            terms.hasDirection = true;
        }
        return terms.direction;
    };
    for (int j = 1; j <= found; ++j) {
        if (j != k && nb[j].Active == 1) {
            PairTerms &terms = *pair[j];
            if (terms.hasFactors && terms.shadowCoef != shadowCoef) {
                terms.hasFactors = false;
                terms.hasShadowed = false;
            }
            // The stations that shadow j from k, in neighbour order. While
            // they are the ones of the last order, the weight after them is
            // taken as it was; from the first that differs on the products
            // are formed anew, reusing each factor already known.
            const int knownCount = terms.hasFactors ? terms.shadowingCount : 0;
            // Gathered without a branch per station: whether one is nearer
            // to k than j is is anybody's guess.
            int shadowingStations[MaxNeighbours];
            int n = 0;
            const Single dj = d[j];
            for (int i = 0; i < otherCount; ++i) {
                const int l = others[i];
                shadowingStations[n] = l;
                n += static_cast<int>(l != j) & static_cast<int>(d[l] < dj);
            }
            int same = 0;  // length of the prefix equal to the last order
            if (terms.hasShadowed) {
                const int common = std::min(n, knownCount);
                while (same < common && terms.shadowing[same] == position[shadowingStations[same]])
                    ++same;
            }
            const bool unchanged = terms.hasShadowed && same == n && n == knownCount;
            std::uint64_t shadowing[MaxNeighbours];
            double factor[MaxNeighbours];
            Single shadowed[MaxNeighbours];
            Single weight = same > 0 ? terms.shadowed[same - 1] : w[j];
            int next = same;  // where the last order most likely goes on
            for (int t = same; t < n; ++t) {
                const int l = shadowingStations[t];
                double f = 0;
                bool known = false;
                // The stations before `same` are not among those left.
                for (int tried = same; tried < knownCount; ++tried, ++next) {
                    if (next >= knownCount)
                        next = same;
                    if (terms.shadowing[next] == position[l]) {
                        f = terms.factor[next++];
                        known = true;
                        break;
                    }
                }
                if (!known) {
                    const Single al = direction(l);
                    const Single aj = direction(j);
                    const Single c = S(std::cos((static_cast<double>(aj) - al) * pi / 180.0));
                    f = 1.0 - static_cast<double>(state.ShadowCoef) * (1.0 - static_cast<double>(d[l]) / d[j]) *
                                  (1.0 - (1.0 - static_cast<double>(c)) * 0.5);
                }
                weight = S(static_cast<double>(weight) * f);
                shadowing[t] = position[l];
                factor[t] = f;
                shadowed[t] = weight;
            }
            w[j] = weight;
            if (unchanged) {
                ++table.counts.hits;
            } else {
                std::copy(shadowing + same, shadowing + n, terms.shadowing + same);
                std::copy(factor + same, factor + n, terms.factor + same);
                std::copy(shadowed + same, shadowed + n, terms.shadowed + same);
                terms.shadowingCount = n;
                terms.shadowCoef = shadowCoef;
                terms.hasFactors = true;
                terms.hasShadowed = true;
                ++table.counts.misses;
            }
        }
        state.DoEvents();
    }
    return true;
}

// The unnormalised leave-one-out weights of station k by the plain steps:
// inverse distance, then the shadowing of each station by the nearer ones.
// False after the message on two active stations at one place.
bool PlainWeights(EngineState &state, int found, int k, Single w[], Single d[]) {
    const auto &nb = state.Neighbours;
    const StationRecord &left = nb[k];
    for (int j = 1; j <= found; ++j) {
        const StationRecord &other = nb[j];
        if (j != k && other.Active == 1) {
            if (AtOnePlace(state, left, other))
                return false;
            d[j] = GreatCircleDistance(left.Longitude, left.Latitude, other.Longitude, other.Latitude,
                                       state.ZeroTolerance);
            w[j] = d[j] != 0 ? Checked(std::pow(static_cast<double>(d[j]), -static_cast<double>(state.IdwPower)))
                             : 0.0f;
        }
        state.DoEvents();
    }
    if (state.ShadowOn != 1)
        return true;
    for (int j = 1; j <= found; ++j) {
        if (j != k && nb[j].Active == 1) {
            for (int l = 1; l <= found; ++l) {
                if (l == j || l == k || nb[l].Active != 1 || !(d[l] < d[j]))
                    continue;
                const Single al = Azimuth(left.Longitude, left.Latitude, nb[l].Longitude, nb[l].Latitude);
                const Single aj = Azimuth(left.Longitude, left.Latitude, nb[j].Longitude, nb[j].Latitude);
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
    return true;
}

// Station k's leave-one-out estimate minus its own value, month by month, from
// the other stations' values moved by the gradients, by the plain steps.
void PlainResiduals(const EngineState &state, int found, int k, const Single w[], Single residual[13]) {
    const auto &nb = state.Neighbours;
    const EstimateResult &result = state.CurResult;
    const StationRecord &left = nb[k];
    for (int m = 1; m <= 12; ++m) {
        Single estimate = 0;
        for (int j = 1; j <= found; ++j) {
            if (j == k)
                continue;
            const StationRecord &other = nb[j];
            // Either station without altitude: no altitude term.
            const double altitudeTerm = HasAltitude(left.Altitude) && HasAltitude(other.Altitude)
                                            ? (static_cast<double>(left.Altitude) - other.Altitude) * result.VertGrad[m]
                                            : 0.0;
            const double moved = static_cast<double>(other.Values[m]) + altitudeTerm +
                                 (static_cast<double>(left.Longitude) - other.Longitude) * result.LonGradDeg[m] +
                                 (static_cast<double>(left.Latitude) - other.Latitude) * result.LatGradDeg[m];
            Add(estimate, static_cast<double>(w[j]) * moved);
        }
        residual[m] = Checked(static_cast<double>(estimate) - left.Values[m]);
    }
}

// The same sums with the months side by side: each month's terms are still
// added in neighbour order, and an overflow in any month fails the estimate
// all the same.
void SideBySideResiduals(const EngineState &state, int found, int k, const Single w[], Single residual[13]) {
    const auto &nb = state.Neighbours;
    const EstimateResult &result = state.CurResult;
    const StationRecord &left = nb[k];
    Single estimate[13] = {};
    for (int j = 1; j <= found; ++j) {
        if (j == k)
            continue;
        const StationRecord &other = nb[j];
        const bool altitudes = HasAltitude(left.Altitude) && HasAltitude(other.Altitude);
        const double altitudeDifference = static_cast<double>(left.Altitude) - other.Altitude;
        const double lonDifference = static_cast<double>(left.Longitude) - other.Longitude;
        const double latDifference = static_cast<double>(left.Latitude) - other.Latitude;
        const double weight = w[j];
        bool finite = true;
        for (int m = 1; m <= 12; ++m) {
            const double altitudeTerm = altitudes ? altitudeDifference * result.VertGrad[m] : 0.0;
            const double moved = static_cast<double>(other.Values[m]) + altitudeTerm +
                                 lonDifference * result.LonGradDeg[m] + latDifference * result.LatGradDeg[m];
            estimate[m] = S(static_cast<double>(estimate[m]) + weight * moved);
            finite = finite && std::isfinite(estimate[m]);
        }
        if (!finite)
            throw EngineError(ErrorKind::Overflow, "Overflow");
    }
    for (int m = 1; m <= 12; ++m)
        residual[m] = Checked(static_cast<double>(estimate[m]) - left.Values[m]);
}

// Bias and standard error of each month from the active stations' residuals;
// the best estimate is corrected by the bias.
void ErrorsFromResiduals(EngineState &state, int found, const Single residual[][13]) {
    const auto &nb = state.Neighbours;
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

} // namespace

void CrossValidateNeighbours(EngineState &state) {
    const int found = std::clamp<int>(state.NeighbourCount, 0, MaxNeighbours);
    auto &nb = state.Neighbours;
    // Leave-one-out estimate minus own value, per station and month.
    Single residual[MaxNeighbours + 1][13] = {};
    // Each neighbour's terms of the distance and direction, converted once.
    GeoPoint geo[MaxNeighbours + 1];
    AzimuthPoint place[MaxNeighbours + 1];
    std::uint64_t position[MaxNeighbours + 1] = {};
    if (!state.PlainSteps) {
        state.LeaveOneOut.table().MakeRoom();
        for (int j = 1; j <= found; ++j) {
            geo[j] = GeoPointOf(nb[j].Longitude, nb[j].Latitude);
            place[j] = AzimuthPointOf(nb[j].Longitude, nb[j].Latitude);
            position[j] = PositionKey(nb[j]);
        }
    }

    for (int k = 1; k <= found; ++k) {
        if (nb[k].Active != 1)
            continue;
        Single w[MaxNeighbours + 1] = {};
        Single d[MaxNeighbours + 1] = {};
        const bool weighted = state.PlainSteps ? PlainWeights(state, found, k, w, d)
                                               : MemoisedWeights(state, found, k, geo, place, position, w, d);
        if (!weighted)
            return;
        Single sum = 0;
        for (int j = 1; j <= found; ++j)
            Add(sum, w[j]);
        if (sum == 0) // no weight left for this station: no error estimate at all
            return;
        for (int j = 1; j <= found; ++j)
            w[j] = S(static_cast<double>(w[j]) / sum);

        if (state.PlainSteps)
            PlainResiduals(state, found, k, w, residual[k]);
        else
            SideBySideResiduals(state, found, k, w, residual[k]);
        state.DoEvents();
    }
    ErrorsFromResiduals(state, found, residual);
}

} // namespace tavisol::engine
