#pragma once

// The texts and ticks of the settings dialog. While the dialog lives they are
// the record of the methods in force, which the estimate reports describe (by
// what the dialog shows, not by the engine's settings). The defaults are the
// dialog's initial contents, the engine's defaults.

#include <string>

namespace tavisol::dialogs {

struct SettingsFields {
    std::string MaxDist = "1000";  // km
    std::string MaxStat = "20";
    std::string PowExp = "1";
    std::string MinDist = "0.1";   // km (hit radius)
    std::string Shad = "1";        // 0 = no shadow correction
    std::string MinHigh = "-350";  // m
    std::string MaxHigh = "8848";  // m
    bool AltCorr = true;
    bool GradCorr = true;
    bool NeighbAlt = false;        // the altitude window

    bool operator==(const SettingsFields &) const = default;
};

} // namespace tavisol::dialogs
