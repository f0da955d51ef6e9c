#include "engine/engine.h"

namespace tavisol::engine {

const EngineMessage NoNeighboursMessage = {
    "There are no neighbouring stations that satisfy the selection   criteria.",
    "No calculation can be done with 0 neighbours",
    MessageIcon::Critical,
};

const EngineMessage TwoStationsMessage = {
    "No Sence of two different Stations at the same location.\nYou must uncheck at least one of them",
    "Two Stations at the same Location",
    MessageIcon::Critical,
};

namespace {

// An overflow deep in the arithmetic says only "Overflow"; the user needs to
// know which variable, point and station data gave it.
template <class Chain>
bool NamingTheData(EngineState &state, const Chain &chain) {
    try {
        return chain();
    } catch (const EngineError &e) {
        if (e.kind() != ErrorKind::Overflow)
            throw;
        throw EngineError(ErrorKind::Overflow, DescribeStationOverflow(state));
    }
}

} // namespace

void ClearResultAndNeighbours(EngineState &state) {
    state.CurResult = EstimateResult{};
    for (StationRecord &n : state.Neighbours)
        n = StationRecord{};
}

bool RunLocationResultsChain(EngineState &state, Integer variable) {
    return NamingTheData(state, [&] {
        state.CurrentVariable = variable;
        ClearResultAndNeighbours(state);
        PrepareNeighbours(state);
        MarkDoubledStations(state);
        CompleteNeighbourRecords(state);
        const bool estimated = EstimateLocation(state);
        EstimateWarnings(state);
        return estimated;
    });
}

bool RunBatchChain(EngineState &state) {
    return NamingTheData(state, [&] {
        PrepareNeighbours(state);
        MarkDoubledStations(state);
        CompleteNeighbourRecords(state);
        if (!EstimateLocation(state))
            return false;
        NeighbourAltitudeRange(state);
        EstimateWarnings(state);
        return true;
    });
}

bool RunRasterExportChain(EngineState &state) {
    return NamingTheData(state, [&] {
        PrepareNeighbours(state);
        MarkDoubledStationsAndShow(state);
        ReadWorkbenchSelection(state);
        CompleteNeighbourRecords(state);
        return EstimateLocation(state);
    });
}

bool Calculate(EngineState &state) {
    const bool estimated = RunRasterExportChain(state);
    if (state.ActiveCount == 0)
        state.ShowMessage(NoNeighboursMessage);
    return estimated;
}

bool RunWorkbenchReestimate(EngineState &state) {
    return NamingTheData(state, [&] {
        ReadWorkbenchSelection(state);
        return EstimateLocation(state);
    });
}

} // namespace tavisol::engine
