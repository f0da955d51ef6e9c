#pragma once

// Nearest-station search over the station files of a run without measuring
// every station. The exact single-precision distance and the selection rule
// of SelectNearestStations still decide; the index only skips stations that a
// safe bound shows cannot be among the nearest, so the selected neighbours
// and their order are the same as those of the full scan.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/geodesy.h"
#include "engine/state.h"

namespace tavisol::engine {

using StationList = std::vector<StationRecord>;

// What the selection of one run depends on.
struct NearestQuery {
    Single longitude = 0;  // computation point
    Single latitude = 0;
    Single maxDistance = 0;
    bool altitudeWindow = false;
    Single minAltitude = 0;
    Single maxAltitude = 0;
    Single zeroTolerance = 0;
    int wanted = 1;  // 1..20

    static NearestQuery Of(const EngineState &state);
};

// The nearest acceptable stations found so far, ordered by distance and, at
// equal distance, by load position (1-based over all files of the run), as
// the insertion of SelectNearestStations orders them.
class NearestList {
public:
    struct Entry {
        Single distance = 0;
        int position = 0;
    };

    NearestList(const NearestQuery &query);

    // Offers a station that passed the altitude window. Applies the distance
    // limits and keeps it when it ranks among the wanted nearest.
    void Offer(Single distance, int position);
    int Count() const { return count_; }
    const Entry &operator[](int k) const { return entries_[static_cast<std::size_t>(k)]; }
    // No station farther than this can still enter.
    Single Reach() const;

private:
    const NearestQuery &query_;
    Entry entries_[MaxNeighbours];
    int count_ = 0;
};

// Whether the altitude window turns a station away.
bool OutsideAltitudeWindow(const NearestQuery &query, Single altitude);

// Offers every station of one file, first position = the position of its
// first record, as the full scan does.
void ScanStations(const StationList &stations, int firstPosition, const NearestQuery &query, NearestList &list);

// A k-d tree over the stations' unit vectors, built once per station file.
class StationIndex {
public:
    explicit StationIndex(const StationList &stations);

    // Whether a query can be answered through the index (else ScanStations).
    static bool Usable(const NearestQuery &query);
    // Offers every station of the file that can rank among the nearest.
    void Search(const NearestQuery &query, int firstPosition, NearestList &list) const;

    // Largest difference, in km, allowed between the engine's rounded
    // distance and the distance the index computes from unit vectors; the
    // rounding of the cosine to a Single makes up to about 2.2 km.
    static constexpr double MarginKm = 10.0;

private:
    struct Entry {
        double v[3];
        GeoPoint geo;
        Single altitude;
        int position;  // 0-based record of the file
    };
    struct Node {
        double lo[3], hi[3];
        int begin, end;
        int left = -1, right = -1;
    };
    int Build(int begin, int end);
    std::vector<Entry> entries_;
    std::vector<Node> nodes_;
    std::vector<Entry> loose_;  // records far off the usual coordinates: always measured
    friend struct IndexSearch;
};

} // namespace tavisol::engine
