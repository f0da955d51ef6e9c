#include "report/reportinput.h"

#include "results/storedresults.h"

namespace tavisol::report {

ReportInput InputFromEngine(const engine::EngineState &state) {
    ReportInput in;
    in.Variable = state.CurrentVariable;
    in.CalcLatitude = state.CalcLatitude;
    in.CalcLongitude = state.CalcLongitude;
    in.CalcAltitude = state.CalcAltitude;
    in.Result = state.CurResult;
    in.Warnings = state.CurWarnings;
    in.Neighbours = state.Neighbours;
    in.NeighbourCount = state.NeighbourCount;
    return in;
}

ReportInput InputFromStored(const results::StoredVariable &stored, engine::Integer variable) {
    ReportInput in;
    in.Variable = variable;
    in.CalcLatitude = stored.CalcLatitude;
    in.CalcLongitude = stored.CalcLongitude;
    in.CalcAltitude = stored.CalcAltitude;
    in.Result = stored.Result;
    in.Warnings = stored.Warnings;
    in.Neighbours = stored.Neighbours;
    in.NeighbourCount = stored.NeighbourCount;
    return in;
}

} // namespace tavisol::report
