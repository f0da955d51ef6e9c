#pragma once

// The workbench's warning panel: which of the seven buttons are enabled after
// a refresh, and the explanation each button shows.

#include <array>
#include <string>

#include "engine/state.h"

namespace tavisol::workbench {

// The buttons in the order the panel tests them.
enum class WarningKind { Low, High, Lonely, Doubled, Strange, Few, Hit };
inline constexpr int WarningCount = 7;
inline constexpr std::array<WarningKind, 7> WarningOrder = {WarningKind::Low,     WarningKind::High,
                                                            WarningKind::Lonely,  WarningKind::Doubled,
                                                            WarningKind::Strange, WarningKind::Few,
                                                            WarningKind::Hit};

// Caption of a button ("High", ...) and its control name ("CmdHigh", ...).
const char *WarningCaption(WarningKind kind);
const char *WarningControlName(WarningKind kind);

// Whether the flag of a warning is raised (only True = -1 counts).
bool WarningRaised(const engine::WarningFlags &flags, WarningKind kind);

// The message box of a button: exclamation icon, OK button. Lines are joined by
// a single carriage return.
struct WarningExplanation {
    std::string title;
    std::string text;
};
WarningExplanation ExplainWarning(WarningKind kind, const engine::WarningFlags &flags);

// State of the panel after ShowWarnings.
struct WarningPanel {
    bool visible = false;                 // framWarn
    std::array<bool, WarningCount> enabled{};  // in WarningOrder
};

// The panel for the flags; beeps = the number of raised warnings (one beep each).
WarningPanel PanelFor(const engine::WarningFlags &flags, int *beeps = nullptr);

} // namespace tavisol::workbench
