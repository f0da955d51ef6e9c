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

} // namespace

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

std::string CatalogueBaseName(std::string_view fileName) {
    const auto slash = fileName.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = base.find('.');
    if (dot != std::string_view::npos) base = base.substr(0, dot);
    return std::string(base);
}

namespace detail {

void WriteLines(numfmt::TextFileWriter& out, const std::vector<std::string>& lines) {
    for (const auto& line : lines) out.writeLine(line);
}

void WriteLines(const std::filesystem::path& file, bool append, const std::vector<std::string>& lines) {
    numfmt::TextFileWriter out(file, append ? numfmt::TextFileWriter::Mode::Append
                                            : numfmt::TextFileWriter::Mode::Replace);
    if (out.failed()) throw numfmt::TextFileError(out.error());
    WriteLines(out, lines);
    out.commitOrThrow();
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

std::string Quoted(std::string_view text) {
    std::string s;
    s.reserve(text.size() + 2);
    s += '"';
    s += text;
    s += '"';
    return s;
}

} // namespace detail
} // namespace tavisol::exports
