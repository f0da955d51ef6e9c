#include "engine/station_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavisol::engine {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int LeafSize = 8;
// A distance of 20000 km or more never enters the list.
constexpr Single NoStation = 20000;

// Beyond two turns the distance's Single radians drift from these by more
// than metres; such stations are measured every time.
bool Bounded(Single degrees) { return std::isfinite(degrees) && std::fabs(degrees) <= 720; }

bool UnitVector(Single lon, Single lat, double v[3]) {
    if (!Bounded(lon) || !Bounded(lat))
        return false;
    const double rLon = static_cast<double>(lon) * Pi / 180.0;
    const double rLat = static_cast<double>(lat) * Pi / 180.0;
    v[0] = std::cos(rLat) * std::cos(rLon);
    v[1] = std::cos(rLat) * std::sin(rLon);
    v[2] = std::sin(rLat);
    return true;
}

} // namespace

NearestQuery NearestQuery::Of(const EngineState &state) {
    NearestQuery q;
    q.longitude = state.CalcLongitude;
    q.latitude = state.CalcLatitude;
    q.maxDistance = state.MaxDistance;
    q.altitudeWindow = state.AltWindowOn == 1;
    q.minAltitude = state.MinAltitude;
    q.maxAltitude = state.MaxAltitude;
    q.zeroTolerance = state.ZeroTolerance;
    q.wanted = std::clamp<int>(state.MaxStations, 1, MaxNeighbours);
    return q;
}

NearestList::NearestList(const NearestQuery &query) : query_(query) {}

void NearestList::Offer(Single distance, int position) {
    if (distance > query_.maxDistance || !(distance < NoStation))
        return;
    auto before = [](Single d, int p, const Entry &e) { return d < e.distance || (d == e.distance && p < e.position); };
    if (count_ == query_.wanted && !before(distance, position, entries_[count_ - 1]))
        return;
    int k = 0;
    while (k < count_ && !before(distance, position, entries_[k]))
        ++k;
    const int last = std::min(count_, query_.wanted - 1);
    for (int i = last; i > k; --i)
        entries_[i] = entries_[i - 1];
    entries_[k] = {distance, position};
    count_ = std::min(count_ + 1, query_.wanted);
}

Single NearestList::Reach() const {
    if (count_ == query_.wanted)
        return entries_[count_ - 1].distance;
    return std::min(query_.maxDistance, NoStation);
}

bool OutsideAltitudeWindow(const NearestQuery &query, Single altitude) {
    return query.altitudeWindow &&
           (altitude == Missing || altitude > query.maxAltitude || altitude < query.minAltitude);
}

void ScanStations(const StationList &stations, int firstPosition, const NearestQuery &query, NearestList &list) {
    const GeoPoint point = GeoPointOf(query.longitude, query.latitude);
    int position = firstPosition;
    for (const StationRecord &st : stations) {
        if (!OutsideAltitudeWindow(query, st.Altitude))
            list.Offer(GreatCircleDistance(point, GeoPointOf(st.Longitude, st.Latitude), query.zeroTolerance),
                       position);
        ++position;
    }
}

StationIndex::StationIndex(const StationList &stations) {
    entries_.reserve(stations.size());
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const StationRecord &st = stations[i];
        Entry e{};
        e.geo = GeoPointOf(st.Longitude, st.Latitude);
        e.altitude = st.Altitude;
        e.position = static_cast<int>(i);
        if (UnitVector(st.Longitude, st.Latitude, e.v))
            entries_.push_back(e);
        else
            loose_.push_back(e);
    }
    if (!entries_.empty()) {
        nodes_.reserve(2 * entries_.size() / LeafSize + 2);
        Build(0, static_cast<int>(entries_.size()));
    }
}

int StationIndex::Build(int begin, int end) {
    const int index = static_cast<int>(nodes_.size());
    nodes_.emplace_back();
    Node node{};
    node.begin = begin;
    node.end = end;
    for (int d = 0; d < 3; ++d) {
        node.lo[d] = std::numeric_limits<double>::infinity();
        node.hi[d] = -std::numeric_limits<double>::infinity();
    }
    for (int i = begin; i < end; ++i)
        for (int d = 0; d < 3; ++d) {
            node.lo[d] = std::min(node.lo[d], entries_[static_cast<std::size_t>(i)].v[d]);
            node.hi[d] = std::max(node.hi[d], entries_[static_cast<std::size_t>(i)].v[d]);
        }
    if (end - begin > LeafSize) {
        int axis = 0;
        for (int d = 1; d < 3; ++d)
            if (node.hi[d] - node.lo[d] > node.hi[axis] - node.lo[axis])
                axis = d;
        const int middle = begin + (end - begin) / 2;
        std::nth_element(entries_.begin() + begin, entries_.begin() + middle, entries_.begin() + end,
                         [axis](const Entry &a, const Entry &b) { return a.v[axis] < b.v[axis]; });
        node.left = Build(begin, middle);
        node.right = Build(middle, end);
    }
    nodes_[static_cast<std::size_t>(index)] = node;
    return index;
}

bool StationIndex::Usable(const NearestQuery &query) {
    // The margin covers the distance's rounding as long as only points whose
    // cosine rounds to exactly 1 or -1 take the tolerance's shortcut.
    return Bounded(query.longitude) && Bounded(query.latitude) && !std::isnan(query.maxDistance) &&
           query.zeroTolerance <= 1e-7f;
}

// One search: the point, its unit vector and the smallest dot product that a
// station may have with it and still rank among the nearest.
struct IndexSearch {
    const StationIndex &index;
    const NearestQuery &query;
    NearestList &list;
    int firstPosition;
    GeoPoint point;
    double q[3];
    double minDot = -2;
    Single reach = -1;

    void UpdateMinDot() {
        const Single r = list.Reach();
        if (r == reach)
            return;
        reach = r;
        const double angle = (static_cast<double>(r) + StationIndex::MarginKm) / EarthRadius;
        if (angle < 0)
            minDot = 2; // nothing can be near enough
        else if (angle >= Pi)
            minDot = -2;
        else
            minDot = std::cos(angle);
    }

    // The largest dot product with the point of any unit vector in the box.
    double MaxDot(const StationIndex::Node &n) const {
        double c2 = 0;
        for (int d = 0; d < 3; ++d) {
            const double gap = q[d] < n.lo[d] ? n.lo[d] - q[d] : (q[d] > n.hi[d] ? q[d] - n.hi[d] : 0.0);
            c2 += gap * gap;
        }
        return 1.0 - c2 / 2.0;
    }

    void Measure(const StationIndex::Entry &e) {
        if (OutsideAltitudeWindow(query, e.altitude))
            return;
        list.Offer(GreatCircleDistance(point, e.geo, query.zeroTolerance), firstPosition + e.position);
        UpdateMinDot();
    }

    void Visit(int nodeIndex) {
        const StationIndex::Node &n = index.nodes_[static_cast<std::size_t>(nodeIndex)];
        if (n.left < 0) {
            for (int i = n.begin; i < n.end; ++i) {
                const StationIndex::Entry &e = index.entries_[static_cast<std::size_t>(i)];
                const double dot = q[0] * e.v[0] + q[1] * e.v[1] + q[2] * e.v[2];
                if (dot >= minDot)
                    Measure(e);
            }
            return;
        }
        const StationIndex::Node &left = index.nodes_[static_cast<std::size_t>(n.left)];
        const StationIndex::Node &right = index.nodes_[static_cast<std::size_t>(n.right)];
        const double leftDot = MaxDot(left);
        const double rightDot = MaxDot(right);
        const bool leftFirst = leftDot >= rightDot;
        const int first = leftFirst ? n.left : n.right;
        const int second = leftFirst ? n.right : n.left;
        const double firstDot = leftFirst ? leftDot : rightDot;
        const double secondDot = leftFirst ? rightDot : leftDot;
        if (firstDot >= minDot)
            Visit(first);
        if (secondDot >= minDot)
            Visit(second);
    }
};

void StationIndex::Search(const NearestQuery &query, int firstPosition, NearestList &list) const {
    IndexSearch search{*this, query, list, firstPosition, GeoPointOf(query.longitude, query.latitude), {}, -2, -1};
    UnitVector(query.longitude, query.latitude, search.q);
    search.UpdateMinDot();
    for (const Entry &e : loose_)
        search.Measure(e);
    if (!nodes_.empty() && search.MaxDot(nodes_[0]) >= search.minDot)
        search.Visit(0);
}

} // namespace tavisol::engine
