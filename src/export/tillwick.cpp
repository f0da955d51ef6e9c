#include "export/tillwick.h"

#include "export/text_output.h"

namespace tavisol::exports {

namespace {

constexpr Integer kRain = 3;
constexpr Integer kPet = 5;

std::string Position(const LocationExport& in) {
    return detail::Quoted(in.LocationName) + ',' + numfmt::forcedPoint(in.Calc.Longitude, "###.00") + ',' +
           numfmt::forcedPoint(in.Calc.Latitude, "####.00") + ',' + numfmt::forcedPoint(in.Calc.Altitude, "####.0");
}

engine::Months13 Clamped(const LocationExport& in, Integer variable) {
    engine::Months13 v{};
    for (std::size_t m = 1; m <= 12; ++m)
        v[m] = detail::Clamped(in.Results[static_cast<std::size_t>(variable)].Best[m], variable);
    return v;
}

std::string DateField(Single v) {
    return v == NoValue ? std::string("-999") : numfmt::forcedPoint(v, "##.00");
}

} // namespace

engine::Months13 SeasonRainfall(const LocationExport& input) { return Clamped(input, kRain); }
engine::Months13 SeasonPet(const LocationExport& input) { return Clamped(input, kPet); }

std::vector<std::string> TillwickInputLines(const LocationExport& in, bool writeHeader) {
    detail::RequireEstimates(in, TillwickVariables, "The Tillwick input file needs");
    std::vector<std::string> lines;
    if (writeHeader) {
        std::string columns = ",\"Lon\",\"Lat\",\"Alt\"";
        for (const char* letter : {"R", "E"})
            for (int m = 1; m <= 12; ++m) columns += ',' + detail::Quoted(letter + std::to_string(m));
        lines.emplace_back(" Rainfall and PET");
        lines.push_back(std::move(columns));
        lines.emplace_back(" ");
    }
    std::string row = Position(in);
    for (Integer variable : {kRain, kPet}) {
        const engine::Months13 values = Clamped(in, variable);
        // Whole millimetres, halves to the even neighbour.
        for (std::size_t m = 1; m <= 12; ++m) row += ',' + std::to_string(numfmt::clng(values[m]));
    }
    lines.push_back(std::move(row));
    return lines;
}

numfmt::ChangedNames TillwickInput(const std::filesystem::path& file, const LocationExport& input,
                                   const ExportOptions& options) {
    return detail::WriteLines(file, options.Append, TillwickInputLines(input, options.WriteHeader),
                              NameForms(input.LocationName));
}

void TillwickInput(numfmt::TextFileWriter& out, const LocationExport& input, bool writeHeader) {
    detail::WriteLines(out, TillwickInputLines(input, writeHeader), NameForms(input.LocationName));
}

PrintLines PrintTillwickInput(const LocationExport& input) {
    return detail::ToPrintLines(TillwickInputLines(input, true), numfmt::Locale::english());
}

GrowingSeasons LocationSeasons(const LocationExport& input) {
    GrowingSeasons seasons;
    seasons.Calculate(SeasonRainfall(input), SeasonPet(input));
    return seasons;
}

std::vector<std::string> TillwickOutputLines(const LocationExport& in, bool writeHeader,
                                             const numfmt::Locale& loc) {
    detail::RequireEstimates(in, TillwickVariables, "The Tillwick output file needs");
    const GrowingSeasons seasons = LocationSeasons(in);
    std::vector<std::string> lines;
    if (writeHeader) {
        std::string columns;
        for (const char* name : {"Lon", "Lat", "Alt", "SeasTot", "Nr", "Type", "LGS", "BegSd.m", "begSJul",
                                 "EndSd.m", "BegHd.m", "EndHd.m"})
            columns += ',' + detail::Quoted(name);
        lines.emplace_back(" Length of growing season with F= .5");
        lines.push_back(std::move(columns));
    }
    const std::string position = Position(in);
    const int count = static_cast<int>(seasons.SeasonCount);
    for (int s = 1; s <= count; ++s) {
        auto cell = [&](int column) { return seasons.Cell(s, column); };
        std::string row = position;
        row += ',' + numfmt::general(seasons.SeasonCount, loc);
        row += ',' + numfmt::general(s, loc);
        row += ',' + numfmt::general(cell(ColSeasonType), loc);
        row += ',' + numfmt::general(cell(ColLength), loc);
        row += ',' + DateField(cell(ColSeasonBegin));
        row += ',' + numfmt::general(cell(ColBeginDay), loc);
        row += ',' + DateField(cell(ColSeasonEnd));
        row += ',' + DateField(cell(ColHumidBegin));
        row += ',' + DateField(cell(ColHumidEnd));
        lines.push_back(std::move(row));
    }
    return lines;
}

numfmt::ChangedNames TillwickOutput(const std::filesystem::path& file, const LocationExport& input,
                                    const ExportOptions& options) {
    return detail::WriteLines(file, options.Append, TillwickOutputLines(input, options.WriteHeader, options.Locale),
                              NameForms(input.LocationName));
}

void TillwickOutput(numfmt::TextFileWriter& out, const LocationExport& input, bool writeHeader,
                    const numfmt::Locale& locale) {
    detail::WriteLines(out, TillwickOutputLines(input, writeHeader, locale), NameForms(input.LocationName));
}

PrintLines PrintTillwickOutput(const LocationExport& input, const numfmt::Locale& locale) {
    return detail::ToPrintLines(TillwickOutputLines(input, true, locale), locale);
}

} // namespace tavisol::exports
