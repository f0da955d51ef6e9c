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

void ClearResultAndNeighbours(EngineState &state) {
    state.CurResult = EstimateResult{};
    for (StationRecord &n : state.Neighbours)
        n = StationRecord{};
}

bool RunLocationResultsChain(EngineState &state, Integer variable) {
    state.CurrentVariable = variable;
    ClearResultAndNeighbours(state);
    PrepareNeighbours(state);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
    const bool estimated = EstimateLocation(state);
    EstimateWarnings(state);
    return estimated;
}

bool RunBatchChain(EngineState &state) {
    PrepareNeighbours(state);
    MarkDoubledStations(state);
    CompleteNeighbourRecords(state);
    if (!EstimateLocation(state))
        return false;
    NeighbourAltitudeRange(state);
    EstimateWarnings(state);
    return true;
}

bool RunRasterExportChain(EngineState &state) {
    PrepareNeighbours(state);
    MarkDoubledStationsAndShow(state);
    ReadWorkbenchSelection(state);
    CompleteNeighbourRecords(state);
    return EstimateLocation(state);
}

bool Calculate(EngineState &state) {
    const bool estimated = RunRasterExportChain(state);
    if (state.ActiveCount == 0)
        state.ShowMessage(NoNeighboursMessage);
    return estimated;
}

bool RunWorkbenchReestimate(EngineState &state) {
    ReadWorkbenchSelection(state);
    return EstimateLocation(state);
}

} // namespace tavisol::engine
