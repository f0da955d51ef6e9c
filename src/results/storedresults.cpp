#include "results/storedresults.h"

#include <exception>

#include "engine/engine.h"

namespace tavisol::results {

using engine::Integer;
using engine::MaxNeighbours;
using engine::SummaryRecord;

namespace {

Integer CountActive(const std::array<engine::StationRecord, 22> &neighbours) {
    Integer count = 0;
    for (int k = 1; k <= MaxNeighbours; ++k)
        if (neighbours[static_cast<std::size_t>(k)].Active == 1)
            ++count;
    return count;
}

} // namespace

bool LocationResults::AllComputed() const {
    for (const StoredVariable &v : Variables)
        if (!v.Computed)
            return false;
    return true;
}

void ClearResults(LocationResults &results) {
    for (StoredVariable &v : results.Variables)
        v = StoredVariable{};
}

void StoreVariable(LocationResults &results, int v, const engine::EngineState &state, bool estimated) {
    StoredVariable &s = results[v];
    s.Result = state.CurResult;
    s.Neighbours = state.Neighbours;
    s.Warnings = state.CurWarnings;
    s.NeighbourCount = state.NeighbourCount;
    s.WhyNoNeighbour = state.WhyNoNeighbour;
    s.ActiveCount = state.ActiveCount;
    s.ActiveWithAltCount = state.ActiveWithAltCount;
    s.NeighbourMaxAlt = state.NeighbourMaxAlt;
    s.NeighbourMinAlt = state.NeighbourMinAlt;
    s.CalcLongitude = state.CalcLongitude;
    s.CalcLatitude = state.CalcLatitude;
    s.CalcAltitude = state.CalcAltitude;
    s.Neighbours[SummaryRecord].Active = CountActive(s.Neighbours);
    s.Estimated = estimated;
    s.Computed = true;
}

void CountActiveNeighbours(LocationResults &results) {
    for (StoredVariable &v : results.Variables)
        v.Neighbours[SummaryRecord].Active = CountActive(v.Neighbours);
}

void RestoreVariable(const LocationResults &results, int v, engine::EngineState &state) {
    const StoredVariable &s = results[v];
    state.CurrentVariable = static_cast<Integer>(v);
    state.CurResult = s.Result;
    state.Neighbours = s.Neighbours;
    state.CurWarnings = s.Warnings;
    state.NeighbourCount = s.NeighbourCount;
    state.WhyNoNeighbour = s.WhyNoNeighbour;
    state.ActiveCount = s.ActiveCount;
    state.ActiveWithAltCount = s.ActiveWithAltCount;
    state.NeighbourMaxAlt = s.NeighbourMaxAlt;
    state.NeighbourMinAlt = s.NeighbourMinAlt;
    state.CalcLongitude = s.CalcLongitude;
    state.CalcLatitude = s.CalcLatitude;
    state.CalcAltitude = s.CalcAltitude;
}

RunOutcome RunLocationEstimate(LocationResults &results, engine::EngineState &state, engine::Single longitude,
                            engine::Single latitude, engine::Single altitude, const RunProgress &progress) {
    RunOutcome outcome;
    state.CalcLongitude = longitude;
    state.CalcLatitude = latitude;
    state.CalcAltitude = altitude;
    ClearResults(results);
    state.CurResult = engine::EstimateResult{};
    int v = 0;
    try {
        for (v = 0; v < VariableCount; ++v) {
            if (progress)
                progress(v);
            const bool estimated = engine::RunLocationResultsChain(state, static_cast<Integer>(v));
            StoreVariable(results, v, state, estimated);
        }
        CountActiveNeighbours(results);
    } catch (const std::exception &e) {
        outcome.ok = false;
        outcome.error = e.what();
        outcome.failedVariable = v;
    } catch (...) {
        outcome.ok = false;
        outcome.error = "Unknown error";
        outcome.failedVariable = v;
    }
    state.CurrentVariable = VariableCount - 1;
    return outcome;
}

} // namespace tavisol::results
