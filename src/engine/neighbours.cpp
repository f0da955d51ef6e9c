#include <algorithm>

#include "engine/engine.h"
#include "engine/precision.h"

namespace tavisol::engine {

using detail::Add;
using detail::Checked;
using detail::HasAltitude;

namespace {

// A station this far or farther never enters the candidate list.
constexpr Single FarthestNeighbour = 20000;

int FoundCount(const EngineState &state) { return std::clamp<int>(state.NeighbourCount, 0, MaxNeighbours); }

// A chosen station as neighbour record k; the rest of the record is filled later.
void CopyNeighbour(StationRecord &n, const StationRecord &st, Single distance) {
    n.Longitude = st.Longitude;
    n.Latitude = st.Latitude;
    n.Altitude = st.Altitude;
    n.Distance = distance;
    for (int m = 1; m <= 12; ++m)
        n.Values[m] = st.Values[m];
    n.Name = st.Name;
    n.Country = st.Country;
}

// Stations held, whatever a caller wrote into the count.
int LoadedCount(const EngineState &state) {
    const int held = std::max(0, static_cast<int>(state.Stations.size()) - 1);
    return std::clamp<int>(state.StationCount, 0, held);
}

void SetActiveFlagsAndDoubled(EngineState &state) {
    const int found = FoundCount(state);
    for (int k = 1; k <= MaxNeighbours; ++k)
        state.Neighbours[k].Active = k <= found ? 1 : 0;
    state.CurWarnings.Doubled = False;
    for (int j = 2; j <= found; ++j) {
        StationRecord &nj = state.Neighbours[j];
        if (nj.Active == 1) {
            for (int i = 1; i <= j - 1; ++i) {
                const StationRecord &ni = state.Neighbours[i];
                if (ni.Longitude == nj.Longitude && ni.Latitude == nj.Latitude) {
                    nj.Active = 0;
                    state.CurWarnings.Doubled = True;
                }
            }
        }
        state.DoEvents();
    }
}

void CountActive(EngineState &state) {
    int active = 0;
    for (int k = 1; k <= MaxNeighbours; ++k)
        active += state.Neighbours[k].Active;
    state.ActiveCount = static_cast<Integer>(active);
    int withAltitude = 0;
    const int found = FoundCount(state);
    for (int k = 1; k <= found; ++k) {
        const StationRecord &n = state.Neighbours[k];
        if (HasAltitude(n.Altitude))
            withAltitude += n.Active;
        state.DoEvents();
    }
    state.ActiveWithAltCount = static_cast<Integer>(withAltitude);
}

// The criterion that left no neighbour, given whether some station lies
// within reach of the distance limits: the altitude window alone can then
// have turned it away.
NoNeighbourCause CauseOfNoNeighbour(const EngineState &state, bool someWithinReach) {
    if (state.StationCount <= 0)
        return NoNeighbourCause::NoStation;
    return someWithinReach ? NoNeighbourCause::AltitudeWindow : NoNeighbourCause::Distance;
}

void LoadCurrentVariable(EngineState &state) {
    switch (state.CurrentVariable) {
    case 0: LoadTemperatureTiles(state); break;
    case 3: LoadPrecipitationTiles(state); break;
    default:
        for (const std::string &name : StationFileNames(state.CurrentVariable, state.CalcLatitude, state.CalcLongitude))
            LoadStationFile(state, name);
        break;
    }
}

// The plain steps: every station copied into the state and measured.
void PrepareNeighboursPlainly(EngineState &state) {
    state.StationCount = 0;
    LoadCurrentVariable(state);
    const int loaded = LoadedCount(state);
    for (int s = 1; s <= loaded; ++s) {
        StationRecord &st = state.Stations[static_cast<std::size_t>(s)];
        st.Distance = GreatCircleDistance(state.CalcLongitude, state.CalcLatitude, st.Longitude, st.Latitude,
                                          state.ZeroTolerance);
        state.DoEvents();
    }
    SelectNearestStations(state);
    if (state.NeighbourCount > 0)
        return;
    bool someWithinReach = false;
    for (int s = 1; s <= loaded && !someWithinReach; ++s) {
        const Single d = state.Stations[static_cast<std::size_t>(s)].Distance;
        someWithinReach = !(d > state.MaxDistance) && d < FarthestNeighbour;
    }
    state.WhyNoNeighbour = CauseOfNoNeighbour(state, someWithinReach);
}

// The station files of the run, shared with the reader, searched through
// their indexes. Selects the same neighbours in the same order as the plain
// steps: the same files in the same order, the same failures, the same
// distances and the same tie rule.
void PrepareNeighboursFromFiles(EngineState &state) {
    state.StationCount = 0;
    state.Stations.clear();
    DataFiles &files = state.Files ? *state.Files : *DefaultDataFiles();
    std::vector<IndexedStationFile> loaded;
    for (const std::string &name : StationFileNames(state.CurrentVariable, state.CalcLatitude, state.CalcLongitude)) {
        IndexedStationFile f = files.ReadIndexedStationFile(
            state.DataFolder / name, static_cast<std::size_t>(MaxStationRecords - state.StationCount));
        state.StationCount = static_cast<Integer>(state.StationCount + static_cast<int>(f.records->size()));
        loaded.push_back(std::move(f));
        state.DoEvents();
    }
    const auto search = [&loaded](const NearestQuery &query, NearestList &list) {
        const bool indexed = StationIndex::Usable(query);
        int first = 1;
        for (const IndexedStationFile &f : loaded) {
            if (indexed && f.index)
                f.index->Search(query, first, list);
            else
                ScanStations(*f.records, first, query, list);
            first += static_cast<int>(f.records->size());
        }
    };
    const NearestQuery query = NearestQuery::Of(state);
    NearestList list(query);
    search(query, list);
    state.NeighbourCount = static_cast<Integer>(list.Count());
    if (list.Count() == 0) {
        // The nearest station of any altitude tells whether the window was all that turned them away.
        NearestQuery anyAltitude = query;
        anyAltitude.altitudeWindow = false;
        anyAltitude.wanted = 1;
        NearestList nearest(anyAltitude);
        search(anyAltitude, nearest);
        state.WhyNoNeighbour = CauseOfNoNeighbour(state, nearest.Count() > 0);
    }
    for (int k = 1; k <= list.Count(); ++k) {
        int position = list[k - 1].position;
        std::size_t file = 0;
        while (position > static_cast<int>(loaded[file].records->size()))
            position -= static_cast<int>(loaded[file++].records->size());
        const StationRecord &st = (*loaded[file].records)[static_cast<std::size_t>(position - 1)];
        CopyNeighbour(state.Neighbours[k], st, list[k - 1].distance);
        state.DoEvents();
    }
}

} // namespace

void PrepareNeighbours(EngineState &state) {
    state.WhyNoNeighbour = NoNeighbourCause::None;
    if (state.PlainSteps)
        PrepareNeighboursPlainly(state);
    else
        PrepareNeighboursFromFiles(state);
    const int found = FoundCount(state);
    for (int k = 1; k <= found; ++k) {
        StationRecord &n = state.Neighbours[k];
        n.Direction = Azimuth(state.CalcLongitude, state.CalcLatitude, n.Longitude, n.Latitude);
        n.Compass = CompassLetters(n.Direction);
        state.DoEvents();
    }
}

void SelectNearestStations(EngineState &state) {
    // The list never holds more than 20 entries, whatever the setting says.
    const int wanted = std::clamp<int>(state.MaxStations, 1, MaxNeighbours);
    Single distance[MaxNeighbours + 1];
    int station[MaxNeighbours + 1];
    for (int k = 1; k <= wanted; ++k) {
        distance[k] = FarthestNeighbour;
        station[k] = 0;
    }
    const NearestQuery query = NearestQuery::Of(state);
    const int loaded = LoadedCount(state);
    for (int s = 1; s <= loaded; ++s) {
        const StationRecord &st = state.Stations[static_cast<std::size_t>(s)];
        const Single d = st.Distance;
        if (!OutsideAltitudeWindow(query, st.Altitude) && !(d > state.MaxDistance) && d < distance[wanted]) {
            int k = 1;
            while (!(d < distance[k]))
                ++k;
            for (int i = wanted; i > k; --i) {
                distance[i] = distance[i - 1];
                station[i] = station[i - 1];
            }
            distance[k] = d;
            station[k] = s;
        }
        state.DoEvents();
    }
    int found = 0;
    while (found < wanted && station[found + 1] != 0)
        ++found;
    state.NeighbourCount = static_cast<Integer>(found);
    for (int k = 1; k <= found; ++k) {
        const StationRecord &st = state.Stations[static_cast<std::size_t>(station[k])];
        CopyNeighbour(state.Neighbours[k], st, st.Distance);
        state.DoEvents();
    }
}

void MarkDoubledStations(EngineState &state) {
    SetActiveFlagsAndDoubled(state);
    CountActive(state);
}

void MarkDoubledStationsAndShow(EngineState &state) {
    SetActiveFlagsAndDoubled(state);
    WorkbenchSelection &wb = state.Workbench;
    const int found = FoundCount(state);
    for (int k = 1; k <= MaxNeighbours; ++k)
        wb.Check[k] = state.Neighbours[k].Active;
    wb.activesFrameVisible = true;
    for (int k = 1; k <= MaxNeighbours; ++k)
        wb.CheckVisible[k] = k <= found;
}

void ReadWorkbenchSelection(EngineState &state) {
    for (int k = 1; k <= MaxNeighbours; ++k)
        state.Neighbours[k].Active = state.Workbench.Check[k] == 1 ? 1 : 0;
    CountActive(state);
}

void CompleteNeighbourRecords(EngineState &state) {
    StationRecord &sum = state.NeighbourSummary();
    sum.Latitude = 0;
    sum.Longitude = 0;
    sum.Altitude = 0;
    sum.Direction = 0;
    sum.Distance = 0;
    for (int m = 1; m <= 13; ++m)
        sum.Values[m] = 0;
    for (int k = 1; k <= MaxNeighbours; ++k)
        state.Neighbours[k].Values[13] = 0;

    const int found = FoundCount(state);
    if (state.ActiveCount != 0) {
        for (int k = 1; k <= found; ++k) {
            const StationRecord &n = state.Neighbours[k];
            if (n.Active == 1) {
                Add(sum.Latitude, n.Latitude);
                Add(sum.Longitude, n.Longitude);
                Add(sum.Distance, n.Distance);
                for (int m = 1; m <= 12; ++m)
                    Add(sum.Values[m], n.Values[m]);
                if (HasAltitude(n.Altitude))
                    Add(sum.Altitude, n.Altitude);
            }
            state.DoEvents();
        }
        const double active = state.ActiveCount;
        sum.Longitude = Checked(sum.Longitude / active);
        sum.Latitude = Checked(sum.Latitude / active);
        sum.Distance = Checked(sum.Distance / active);
        for (int m = 1; m <= 12; ++m)
            sum.Values[m] = Checked(sum.Values[m] / active);
        sum.Altitude = state.ActiveWithAltCount != 0 ? Checked(sum.Altitude / state.ActiveWithAltCount) : Missing;
        sum.Direction = Azimuth(state.CalcLongitude, state.CalcLatitude, sum.Longitude, sum.Latitude);
        sum.Compass = CompassLetters(sum.Direction);
    }
    for (int k = 1; k <= found; ++k) {
        StationRecord &n = state.Neighbours[k];
        for (int m = 1; m <= 12; ++m)
            Add(n.Values[13], n.Values[m] / 12.0);
    }
    for (int m = 1; m <= 12; ++m) {
        Add(sum.Values[13], sum.Values[m] / 12.0);
        state.DoEvents();
    }
}

} // namespace tavisol::engine
