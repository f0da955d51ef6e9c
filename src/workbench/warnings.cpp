#include "workbench/warnings.h"

namespace tavisol::workbench {

namespace {

std::string Join(std::initializer_list<const char *> lines) {
    std::string text;
    bool first = true;
    for (const char *l : lines) {
        if (!first)
            text += '\r';
        text += l;
        first = false;
    }
    return text;
}

} // namespace

const char *WarningCaption(WarningKind kind) {
    switch (kind) {
    case WarningKind::Low: return "Low";
    case WarningKind::High: return "High";
    case WarningKind::Lonely: return "Lonely";
    case WarningKind::Doubled: return "Doubled";
    case WarningKind::Strange: return "Strange";
    case WarningKind::Few: return "Few";
    case WarningKind::Hit: return "Hit";
    }
    return "";
}

const char *WarningControlName(WarningKind kind) {
    switch (kind) {
    case WarningKind::Low: return "CmdLow";
    case WarningKind::High: return "CmdHigh";
    case WarningKind::Lonely: return "CmdLonely";
    case WarningKind::Doubled: return "CmdDoubled";
    case WarningKind::Strange: return "CmdStrange";
    case WarningKind::Few: return "CmdFew";
    case WarningKind::Hit: return "CmdHit";
    }
    return "";
}

bool WarningRaised(const engine::WarningFlags &f, WarningKind kind) {
    engine::Integer v = 0;
    switch (kind) {
    case WarningKind::Low: v = f.Low; break;
    case WarningKind::High: v = f.High; break;
    case WarningKind::Lonely: v = f.Lonely; break;
    case WarningKind::Doubled: v = f.Doubled; break;
    case WarningKind::Strange: v = f.Strange; break;
    case WarningKind::Few: v = f.Few; break;
    case WarningKind::Hit: v = f.Hit; break;
    }
    return v == engine::True;
}

WarningExplanation ExplainWarning(WarningKind kind, const engine::WarningFlags &flags) {
    switch (kind) {
    case WarningKind::Low:
        return {"Altitude Warning", Join({"The lowest neighbour is higher than the altitude you gave.",
                                          "The estimate is an extrapolation rather than an interpolation!", "",
                                          " Please verify station altitude on the map."})};
    case WarningKind::High:
        return {"Altitude Warning", Join({"The highest neighbor is lower than the altitude you gave.",
                                          "The estimate is an extrapolation rather than an interpolation!", "",
                                          "Please verify station altitude on the map."})};
    case WarningKind::Lonely:
        return {"Loneliness Warning",
                Join({"The selected location is separated from the group of neighbours.",
                      "The estimate is an extrapolation rather than an interpolation!", "",
                      "Please verify station distribution on the map."})};
    case WarningKind::Doubled:
        return {"Double Location Warning", Join({"Some of the selected stations are too close to each other.",
                                                 "Double locations are skipped and inactivated!"})};
    case WarningKind::Strange: {
        // A warning block without strange data holds month 0: blanks stand
        // for the month name then, rather than reading outside the names.
        const int m = flags.StrangeMonth;
        const std::string month = m >= 1 && m <= 12 ? std::string(engine::MonthNames[static_cast<std::size_t>(m)])
                                                    : std::string(12, ' ');
        const std::string line2 = "Strange looking data are detected in " + month + " at Station Nr. " +
                                  std::to_string(flags.StrangeStation);
        return {"Strange Data!", Join({"At least one of the neighbouring stations provides strange data.",
                                       line2.c_str(), "",
                                       "Please verify altitude distribution for the respective months."})};
    }
    case WarningKind::Few:
        return {"Few Neighbours Warning",
                Join({"There are not enough activated neighbours to provide full performance.", "",
                      "Less than 10 active stations with given altitude: No Detection of Strange Data.",
                      "Less than  6 active stations: No Error Estimation, No Climate Gradient Correction.",
                      "Less than  3 active stations: No Shadow Correction.",
                      "Less than  3 active stations with given Altitude: No Altitude Correction.",
                      "Only 1 active station:  Nearest Neighbour Approximation.", "",
                      "Try a less severe set of constraints."})};
    case WarningKind::Hit:
        return {"Station too close to existing   stations!",
                Join({"The coordinates you gave are very close to a station (< 100m).",
                      "Inverse Distance Averaging would give this station a nearly infinite weight. ",
                      "This would cause numerical problems.", "Nearest Neighbour Approximation is used instead.",
                      "", "There are 4 ways to avoid this problem:", "", " 1. Choose another but close location.",
                      " 2. Check only the nearest station (then nearest neighbour approximation is applied).",
                      " 3. Set the power exponent to Zero (then pure averaging is applied).",
                      " 4. Uncheck the nearest station"})};
    }
    return {};
}

WarningPanel PanelFor(const engine::WarningFlags &flags, int *beeps) {
    WarningPanel p;
    int n = 0;
    for (std::size_t i = 0; i < WarningOrder.size(); ++i) {
        const bool raised = WarningRaised(flags, WarningOrder[i]);
        p.enabled[i] = raised;
        if (raised) {
            p.visible = true;
            ++n;
        }
    }
    if (beeps)
        *beeps = n;
    return p;
}

} // namespace tavisol::workbench
