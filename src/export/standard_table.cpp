#include "export/standard_table.h"

#include <array>

#include "export/text_output.h"

namespace tavisol::exports {

namespace {

constexpr std::array<std::string_view, 13> kColumnLabels = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC", "YEAR",
};

std::vector<std::string> Lines(const VariableExport& in, bool writeHeader, const numfmt::Locale& loc,
                               bool printed) {
    detail::CheckVariable(in.Variable);
    detail::RequireEstimate(in);
    std::vector<std::string> lines;
    if (writeHeader) {
        const std::string lat = numfmt::formatMask(in.Calc.Latitude, printed ? "###.00" : "##0.00", loc);
        const std::string lon = numfmt::formatMask(in.Calc.Longitude, printed ? "####.00" : "###0.00", loc);
        const std::string alt = numfmt::formatMask(in.Calc.Altitude, printed ? "####" : "###0", loc);
        lines.emplace_back(" ");
        lines.push_back("Station Name = " + in.LocationName + ", Latitude" + " = " + lat + "°, " +
                        " Longitude" + " = " + lon + "°, " + " Altitude" + " = " + alt + " m");
        std::string columns(24, ' ');
        for (auto label : kColumnLabels) {
            columns += "       ";
            columns += label;
            columns += ' ';
        }
        lines.push_back(std::move(columns));
        lines.emplace_back(" ");
    }
    std::string row = numfmt::padRight(ElementName(in.Variable), 25);
    for (int i = 1; i <= 13; ++i) {
        const Single v = detail::Clamped(in.Result.Best[static_cast<std::size_t>(i)], in.Variable);
        const std::string text = printed ? numfmt::formatNumber(v, 2, loc) : numfmt::forcedPointFixed(v, 2);
        row += numfmt::rightAlignCut(text, 10);
        row += ' ';
    }
    lines.push_back(std::move(row));
    return lines;
}

} // namespace

std::vector<std::string> StandardTableLines(const VariableExport& input, bool writeHeader,
                                            const numfmt::Locale& locale) {
    return Lines(input, writeHeader, locale, false);
}

numfmt::ChangedNames formatStandard(const std::filesystem::path& file, const VariableExport& input,
                                    const ExportOptions& options) {
    return detail::WriteLines(file, options.Append, Lines(input, options.WriteHeader, options.Locale, false),
                              NameForms(input.LocationName));
}

void formatStandard(numfmt::TextFileWriter& out, const VariableExport& input, bool writeHeader,
                    const numfmt::Locale& locale) {
    detail::WriteLines(out, Lines(input, writeHeader, locale, false), NameForms(input.LocationName));
}

PrintLines PrintformatStandard(const VariableExport& input, bool writeHeader, const numfmt::Locale& locale) {
    return detail::ToPrintLines(Lines(input, writeHeader, locale, true), locale);
}

} // namespace tavisol::exports
