#pragma once

// What the export writers read: plain copies of the estimate, the location
// and the caller's choices, so that the writers never reach into a window.
// Strings are UTF-8; the files are written in Windows-1252 with CR LF.

#include <array>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "numfmt/printline.h"
#include "numfmt/textfile.h"

namespace tavisol::exports {

using engine::Integer;
using engine::Single;

// A position: degrees east, degrees north, metres.
struct ExportPoint {
    Single Longitude = 0;
    Single Latitude = 0;
    Single Altitude = 0;
};

// One variable's estimate at one location: what the standard table and the
// Ketlo file read (LocationName, CalcLongitude/-Latitude/-Altitude,
// CurrentVariable, CurResult).
struct VariableExport {
    std::string LocationName;
    ExportPoint Calc;
    Integer Variable = 0;           // 0..7
    engine::EstimateResult Result;  // Best(1..13) is read
    // False when the engine found no estimate (no active neighbour): the
    // writers then refuse the variable rather than write its zeros.
    bool HasEstimate = true;
};

// All eight variables' estimates at one location (the location results
// window's stored result blocks): what the Tillwick and Furrowin writers read.
struct LocationExport {
    std::string LocationName;
    ExportPoint Calc;      // CalcLongitude, CalcLatitude, CalcAltitude
    ExportPoint Current;   // CurLongitude, CurLatitude, CurElevation (Furrowin catalogue)
    std::array<engine::EstimateResult, 8> Results;  // index = variable
    // Which variables have an estimate; the writers refuse a location whose
    // needed variables lack one. Callers that know say so.
    std::array<bool, 8> HasEstimate{true, true, true, true, true, true, true, true};
};

// The variables each location format reads: the Tillwick files rainfall and
// PET; the Furrowin files the temperatures, wind, sunshine and PET (.PEN) and
// rainfall and PET (.CLI).
inline constexpr std::array<Integer, 2> TillwickVariables{3, 5};
inline constexpr std::array<Integer, 6> FurrowinVariables{1, 2, 3, 5, 6, 7};

// Of `needed`, the variables without an estimate in `input`.
std::vector<Integer> WithoutEstimate(const LocationExport& input, std::span<const Integer> needed);

// A writer asked to write a variable that has no estimate.
class MissingEstimateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Lower-case names of the variables for messages ("wind speed").
std::string_view VariableShortName(Integer variable);
// Names joined as a reader says them: "a", "a and b", "a, b and c".
std::string VariableNameList(std::span<const Integer> variables);

// "There is no estimate of <variables> at <location>."
std::string NoEstimateText(std::span<const Integer> variables, const std::string &locationName);

// How a file writer opens its file and in which regional form it writes the
// few numbers that follow the user's locale.
struct ExportOptions {
    bool WriteHeader = true;
    bool Append = false;  // false: the file is created or emptied
    numfmt::Locale Locale = numfmt::Locale::english();
};

// Lines a printer draws one below the other in its current font. The writers
// start and end no page: whoever starts the print job ends it.
using PrintLines = std::vector<numfmt::PrintLine>;

// Row label of the standard table and the Ketlo file ("Temp_mean_mly", ...).
std::string_view ElementName(Integer variable);
// Ketlo element code ("E203", ...).
std::string_view ElementCode(Integer variable);

// The estimate the engine holds now, for the one-variable writers.
VariableExport MakeVariableExport(const engine::EngineState& state, std::string locationName);

// The forms in which the writers put a location's (or a catalogue's) name
// into their lines, as it stands and between quotes, each known as `name`.
std::vector<numfmt::NameInText> NameForms(const std::string& name);

// The file name without folder ("/" or "\") and without extension (from its
// first "."): "C:\data\rome.lst" and "/data/rome.lst" give "rome".
std::string CatalogueBaseName(std::string_view fileName);

} // namespace tavisol::exports
