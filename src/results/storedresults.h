#pragma once

// The location results window's own copies of its last estimate run: for each
// of the eight variables the engine's result block, its 21 neighbour records,
// its warning flags, and what a reader needs to restore the engine exactly as
// it stood after that variable (neighbour count, counts, computation point).
// Every grid, chart, report and export of the window reads these copies, never
// the engine's live state. No Qt.

#include <array>
#include <functional>
#include <string>

#include "engine/state.h"

namespace tavisol::results {

inline constexpr int VariableCount = 8;

// One variable's copy, taken right after its engine run.
struct StoredVariable {
    engine::EstimateResult Result;
    // 1..20 the neighbours, 21 the record of means; element 0 unused. Record
    // 21's Active holds the number of records 1..20 whose Active is 1.
    std::array<engine::StationRecord, 22> Neighbours;
    engine::WarningFlags Warnings;

    engine::Integer NeighbourCount = 0;
    engine::NoNeighbourCause WhyNoNeighbour = engine::NoNeighbourCause::None;
    engine::Integer ActiveCount = 0;
    engine::Integer ActiveWithAltCount = 0;
    engine::Single NeighbourMaxAlt = 0;
    engine::Single NeighbourMinAlt = 0;
    // The computation point of the run.
    engine::Single CalcLongitude = 0;
    engine::Single CalcLatitude = 0;
    engine::Single CalcAltitude = 0;

    // Whether the engine produced an estimate (some neighbour was active).
    bool Estimated = false;
    // Whether the run reached and finished this variable; false after a run
    // that failed before it, and before the first run.
    bool Computed = false;
};

// The copies of all eight variables, index 0..7 as the engine's variables.
struct LocationResults {
    std::array<StoredVariable, VariableCount> Variables;

    StoredVariable &operator[](int v) { return Variables.at(static_cast<std::size_t>(v)); }
    const StoredVariable &operator[](int v) const { return Variables.at(static_cast<std::size_t>(v)); }

    const engine::EstimateResult &StoredResult(int v) const { return (*this)[v].Result; }
    const std::array<engine::StationRecord, 22> &StoredNeighbours(int v) const { return (*this)[v].Neighbours; }
    const engine::WarningFlags &StoredWarnings(int v) const { return (*this)[v].Warnings; }
    // Number of active neighbours of a variable, as record 21 holds it.
    engine::Integer ActiveNeighbours(int v) const { return (*this)[v].Neighbours[engine::SummaryRecord].Active; }

    // True when every variable was computed by one finished run.
    bool AllComputed() const;
    // Whether variable v holds an estimate of the last run: computed, with an
    // active neighbour. The pages show no values for any other variable.
    bool HasEstimate(int v) const { return (*this)[v].Computed && (*this)[v].Estimated; }
};

// Empties every copy (result block, 21 neighbour records, warnings, counts,
// point, marks), as at the start of a run.
void ClearResults(LocationResults &results);

// Copies the engine's state after a variable's run into slot v, with record
// 21's Active set to the active count of records 1..20.
void StoreVariable(LocationResults &results, int v, const engine::EngineState &state, bool estimated);

// Record 21's Active of every slot := the number of records 1..20 whose Active
// is exactly 1.
void CountActiveNeighbours(LocationResults &results);

// Puts slot v back into an engine state: CurrentVariable, CurResult, the 21
// neighbour records, CurWarnings, the neighbour count (and why it is 0) and counts, the
// altitude range and the computation point. The settings, the station array
// and the callbacks of the state are left as they are.
void RestoreVariable(const LocationResults &results, int v, engine::EngineState &state);

// Progress of a run: called with the variable about to be computed (0..7).
using RunProgress = std::function<void(int variable)>;

struct RunOutcome {
    bool ok = true;
    std::string error;        // the failure's description when !ok
    int failedVariable = -1;  // the variable whose run failed
};

// The estimate of all eight variables at one point on the given engine state
// (whose settings, data folder and callbacks the caller has set): clears the
// copies, then for each variable reports progress, runs the engine's chain of
// the location results window and stores the copy; finally counts the active
// neighbours. A failure stops the run at once: the variable that failed and
// those after it keep their cleared copies, and the error is returned. After
// the run the state holds variable 7 as CurrentVariable.
RunOutcome RunLocationEstimate(LocationResults &results, engine::EngineState &state, engine::Single longitude,
                            engine::Single latitude, engine::Single altitude, const RunProgress &progress = {});

} // namespace tavisol::results
