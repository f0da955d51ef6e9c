#pragma once

// What the estimate report reads, as plain data. The windows that own it fill
// these structs at the moment of writing or printing: the workbench (or the
// location results window) the estimate, the settings dialog its fields as
// they stand, the output dialog its check boxes and level options. No Qt.

#include <array>
#include <string>

#include "calendar/confidence.h"
#include "engine/state.h"
#include "shell/settingsfields.h"

namespace tavisol::results {
struct StoredVariable;
}

namespace tavisol::report {

// The settings dialog's fields, as the report describes the methods.
using AppliedMethods = dialogs::SettingsFields;

// The output dialog's choices. The workbench's dialog has every box; the
// location results window's dialog has no Dek/Day/Thr boxes (leave them
// false; its reports ignore them anyway).
struct ReportOptions {
    // Monthly columns.
    bool Best = false;      // ChkBest
    bool High = false;      // ChkHigh: the Low and High columns
    bool Error = false;     // ChkError
    bool Bias = false;      // ChkBias
    bool Slope = false;     // ChkSlope
    bool LongGrad = false;  // ChkLongGrad
    bool LatGrad = false;   // ChkLatGrad
    bool DirGrad = false;   // ChkDirGrad
    bool AbsGrad = false;   // ChkAbsGrad
    bool ExplVar = false;   // ChkExplVar
    // Sections.
    bool Dekadal = false;       // chkDek (workbench only)
    bool Daily = false;         // chkDay (workbench only)
    bool Threshold = false;     // chkThr (workbench only)
    bool Stations = false;      // chkStat
    bool Observations = false;  // chkObs
    // The chosen level (OptLev90/95/99). None: factor 1.645 and blank
    // Low/High heads.
    ConfidenceLevel Level = ConfidenceLevel::None;

    bool AnyMonthly() const {
        return Best || High || Error || Bias || Slope || LongGrad || LatGrad || DirGrad || AbsGrad || ExplVar;
    }
    bool AnySection() const { return Dekadal || Daily || Threshold || Stations || Observations; }
    bool AnyOutput() const { return AnyMonthly() || AnySection(); }
};

// One variable's estimate at its computation point.
struct ReportInput {
    engine::Integer Variable = 0;  // CurrentVariable, 0..7
    engine::Single CalcLatitude = 0;
    engine::Single CalcLongitude = 0;
    engine::Single CalcAltitude = 0;
    engine::EstimateResult Result;  // entries 1..13
    engine::WarningFlags Warnings;
    // 1..NeighbourCount the neighbours, 21 the record of means; 0 unused.
    std::array<engine::StationRecord, 22> Neighbours;
    engine::Integer NeighbourCount = 0;  // 0..20
};

// The engine's state as the workbench's last estimate left it.
ReportInput InputFromEngine(const engine::EngineState &state);
// A variable's stored copies of the location results window, with that
// variable's own neighbour count and computation point.
ReportInput InputFromStored(const results::StoredVariable &stored, engine::Integer variable);

// Which of the four reports: the workbench's full one, or the location
// results window's reduced one (no dekadal, daily or threshold sections,
// blank unit for the sunshine fraction).
enum class ReportKind { Workbench, Location };

} // namespace tavisol::report
