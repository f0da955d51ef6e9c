#pragma once

// Names and lines of the files a batch run writes: the run name, the run's
// information file, and per variable the _INFO file, the summary lines and
// the output files of the ticked outputs. Numbers follow the user's regional
// settings entirely (decimal sign and digit grouping); nothing is clamped.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/confidence.h"
#include "engine/state.h"
#include "numfmt/numfmt.h"

namespace tavisol::batch {

// A moment of the system clock, as the run name shows it.
struct DateTime {
    int Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
};

// "Tavisol 09122026_063005": day, month, year, then hours, minutes, seconds.
std::string BatchRunPrefix(const DateTime &now);

// "_Temp", "_Tmax", "_Tmin", "_Prec", "_Vap", "_PET", "_Wind", "_Sun".
std::string_view VariableSuffix(int variable);

// The ten output boxes of the list window, in their order.
enum class Output { Best, High, Error, Bias, Slope, ExplVar, AbsGrad, DirGrad, LongGrad, LatGrad };
inline constexpr int OutputCount = 10;

// The twelve files of the ten outputs, in the order they are written.
enum class OutputFile {
    Best, Low, High, StdErr, Bias, VertGrad, VertExplVar, AbsGrad, DirecGrad, DirecGradString, LongGrad, LatGrad
};
inline constexpr int OutputFileCount = 12;

Output BoxOfFile(OutputFile file);
std::string_view FileSuffix(OutputFile file); // "_Best.tvs", ...
// The title line of a new file, with the variable's caption.
std::string FileTitle(OutputFile file, int variable);

// Column head of an output file: three TABs, "Long.", "Lat.", "Alt." in 8,
// the months and "Annual" in 10 (6 and 7 in the compass-text file).
std::string OutputColumnHead(OutputFile file);

// The three head lines of the run's _INFORMATION.tvs file.
std::vector<std::string> InformationHead(const std::string &prefix);
// The one head line of a variable's new _INFO.tvs file.
std::string InfoHead();

// The texts an estimate gives to every line of its location.
struct LocationFields {
    std::string PointLabel;     // "ST-Lon13.01-Lat41.99-Alt-17"
    std::string Fields;         // the thirteen number fields, lon 2/8 to max alt 0/10
    std::string Correction;     // seven blanks and A/G/S or X each
    std::string Warnings;       // three blanks and the warning words
    std::string Summary;        // the summary line
};
// Reads the engine state after the estimate of a location (the state's own
// settings are the ones in force).
LocationFields MakeLocationFields(const engine::EngineState &state, const numfmt::Locale &loc);

std::string PointLabel(float lon, float lat, float alt, const numfmt::Locale &loc);
std::string CorrectionField(const engine::EngineState &state);
std::string WarningField(const engine::EngineState &state);

// A value with `decimals` decimals in the regional form, right-aligned in
// `width`; a text as wide or wider is written whole after one blank, so
// that it stays apart from the field before it.
std::string NumberField(float value, int decimals, int width, const numfmt::Locale &loc);
// The point's longitude and latitude (2 decimals) and altitude (none), 8 wide
// each: the first columns of every line about a location.
std::string PointFields(const engine::EngineState &state, const numfmt::Locale &loc);

// "_INFO" line: label, blank, fields, three blanks, correction, warnings.
std::string InfoLine(const LocationFields &f);
// "_INFORMATION" line: prefix and suffix, fields, correction, warnings.
std::string InformationLine(const std::string &prefix, int variable, const LocationFields &f);

// The level of the list window's own-format files: with no 90 % or 95 %
// option set they take the 99 % factor, as files of earlier versions do.
constexpr ConfidenceLevel RunConfidenceLevel(bool p90, bool p95) {
    return p90 ? ConfidenceLevel::P90 : p95 ? ConfidenceLevel::P95 : ConfidenceLevel::P99;
}

// The thirteen values (months, annual) of an output file.
std::array<float, 13> OutputValues(OutputFile file, const engine::EstimateResult &r, ConfidenceLevel level);
// Its data line: label, two blanks, lon 2/8, lat 2/8, alt 0/8, thirteen
// values 3/10 (compass texts right-aligned in 6).
std::string OutputDataLine(OutputFile file, const engine::EngineState &state, const std::string &label,
                           ConfidenceLevel level, const numfmt::Locale &loc);

} // namespace tavisol::batch
