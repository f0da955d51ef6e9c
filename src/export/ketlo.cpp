#include "export/ketlo.h"

#include <array>

#include "export/text_output.h"

namespace tavisol::exports {

namespace {

constexpr std::array<std::string_view, 18> kColumns = {
    "STN-NAME", "Lon", "Lat", "Alt", "ELEMENT-CODE", "JAN", "FEB", "MAR", "APR",
    "MAY",      "JUN", "JUL", "AUG", "SEP",          "OCT", "NOV", "DEC", "ELEMENT",
};

} // namespace

std::vector<std::string> KetloLines(const VariableExport& in, bool writeHeader) {
    detail::CheckVariable(in.Variable);
    detail::RequireEstimate(in);
    std::vector<std::string> lines;
    if (writeHeader) {
        std::string columns;
        for (auto name : kColumns) {
            if (!columns.empty()) columns += ',';
            columns += detail::Quoted(name);
        }
        lines.emplace_back(" ");
        lines.push_back(std::move(columns));
        lines.emplace_back(" ");
    }
    std::string row = detail::Quoted(in.LocationName);
    row += ',' + numfmt::forcedPoint(in.Calc.Longitude, "0##.00");
    row += ',' + numfmt::forcedPoint(in.Calc.Latitude, "####.00");
    row += ',' + numfmt::forcedPoint(in.Calc.Altitude, "####.0");
    row += ',';
    row += ElementCode(in.Variable);
    for (int m = 1; m <= 12; ++m)
        row += ',' + numfmt::forcedPointFixed(detail::Clamped(in.Result.Best[static_cast<std::size_t>(m)], in.Variable), 2);
    row += ',' + detail::Quoted(ElementName(in.Variable));
    lines.push_back(std::move(row));
    return lines;
}

numfmt::ChangedNames Ketlo(const std::filesystem::path& file, const VariableExport& input,
                           const ExportOptions& options) {
    return detail::WriteLines(file, options.Append, KetloLines(input, options.WriteHeader),
                              NameForms(input.LocationName));
}

void Ketlo(numfmt::TextFileWriter& out, const VariableExport& input, bool writeHeader) {
    detail::WriteLines(out, KetloLines(input, writeHeader), NameForms(input.LocationName));
}

PrintLines PrintKetlo(const VariableExport& input, bool writeHeader) {
    return detail::ToPrintLines(KetloLines(input, writeHeader), numfmt::Locale::english());
}

} // namespace tavisol::exports
