#include "export/export_input.h"

#include <stdexcept>

#include "engine/geodesy.h"
#include "export/text_output.h"

namespace tavisol::exports {

namespace {

constexpr std::array<std::string_view, 8> kElementNames = {
    "Temp_mean_mly",    "Temp_mean_max",    "Temp_mean_min", "Precip_Total_mly",
    "Vap_Pr._mean_mly", "Pot._Eva._mly",    "Wind_sp.mean_mly", "Sunsh_fract._mly",
};

constexpr std::array<std::string_view, 8> kElementCodes = {
    "E203", "E201", "E202", "E208", "E298", "E294", "E297", "E296",
};

constexpr std::array<std::string_view, 8> kShortNames = {
    "mean temperature", "maximum temperature",          "minimum temperature", "precipitation",
    "vapour pressure",  "potential evapotranspiration", "wind speed",          "sunshine fraction",
};

} // namespace

std::vector<Integer> WithoutEstimate(const LocationExport& input, std::span<const Integer> needed) {
    std::vector<Integer> missing;
    for (Integer v : needed) {
        detail::CheckVariable(v);
        if (!input.HasEstimate[static_cast<std::size_t>(v)]) missing.push_back(v);
    }
    return missing;
}

std::string_view VariableShortName(Integer variable) {
    detail::CheckVariable(variable);
    return kShortNames[static_cast<std::size_t>(variable)];
}

std::string VariableNameList(std::span<const Integer> variables) {
    std::string list;
    for (std::size_t i = 0; i < variables.size(); ++i) {
        if (i > 0) list += i + 1 == variables.size() ? " and " : ", ";
        list += VariableShortName(variables[i]);
    }
    return list;
}

std::string NoEstimateText(std::span<const Integer> variables, const std::string &locationName) {
    return "There is no estimate of " + VariableNameList(variables) + " at " + locationName + ".";
}

std::string_view ElementName(Integer variable) {
    detail::CheckVariable(variable);
    return kElementNames[static_cast<std::size_t>(variable)];
}

std::string_view ElementCode(Integer variable) {
    detail::CheckVariable(variable);
    return kElementCodes[static_cast<std::size_t>(variable)];
}

VariableExport MakeVariableExport(const engine::EngineState& state, std::string locationName) {
    VariableExport v;
    v.LocationName = std::move(locationName);
    v.Calc = {state.CalcLongitude, state.CalcLatitude, state.CalcAltitude};
    v.Variable = state.CurrentVariable;
    v.Result = state.CurResult;
    return v;
}

std::vector<numfmt::NameInText> NameForms(const std::string& name) {
    std::vector<numfmt::NameInText> forms{{name, name}};
    if (std::string quoted = detail::InQuotes(name); quoted != name) forms.push_back({std::move(quoted), name});
    return forms;
}

std::string CatalogueBaseName(std::string_view fileName) {
    const auto slash = fileName.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = base.find('.');
    if (dot != std::string_view::npos) base = base.substr(0, dot);
    return std::string(base);
}

namespace detail {

void WriteLines(numfmt::TextFileWriter& out, const std::vector<std::string>& lines,
                std::span<const numfmt::NameInText> names) {
    for (const auto& line : lines) out.writeLine(line, names);
}

numfmt::ChangedNames WriteLines(const std::filesystem::path& file, bool append, const std::vector<std::string>& lines,
                                std::span<const numfmt::NameInText> names) {
    numfmt::TextFileWriter out(file, append ? numfmt::TextFileWriter::Mode::Append
                                            : numfmt::TextFileWriter::Mode::Replace);
    if (out.failed()) throw numfmt::TextFileError(out.error());
    WriteLines(out, lines, names);
    out.commitOrThrow();
    return out.changedNames();
}

PrintLines ToPrintLines(const std::vector<std::string>& lines, const numfmt::Locale& locale) {
    PrintLines printed;
    printed.reserve(lines.size());
    for (const auto& line : lines) {
        numfmt::PrintLine p(locale);
        p.text(line);
        printed.push_back(std::move(p));
    }
    return printed;
}

void CheckVariable(Integer variable) {
    if (variable < 0 || variable > 7)
        throw std::out_of_range("Variable index " + std::to_string(variable) + " out of range");
}

Single Clamped(Single value, Integer variable) {
    return engine::ClampToRange(value, variable);
}

std::string InQuotes(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    // A quote inside would end the field early: readers get an apostrophe.
    for (char c : text) s += c == '"' ? '\'' : c;
    return s;
}

std::string Quoted(std::string_view text) { return '"' + InQuotes(text) + '"'; }

void RequireEstimates(const LocationExport& input, std::span<const Integer> needed, std::string_view whoNeeds) {
    const std::vector<Integer> missing = WithoutEstimate(input, needed);
    if (!missing.empty())
        throw MissingEstimateError(std::string(whoNeeds) + " " + VariableNameList(needed) +
                                   "; there is no estimate of " + VariableNameList(missing) + " at " +
                                   input.LocationName + ".");
}

void RequireEstimate(const VariableExport& input) {
    if (!input.HasEstimate)
        throw MissingEstimateError(NoEstimateText(std::span(&input.Variable, 1), input.LocationName));
}

} // namespace detail
} // namespace tavisol::exports
