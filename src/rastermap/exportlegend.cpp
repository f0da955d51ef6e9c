#include "rastermap/exportlegend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
#include "rastermap/exportgrid.h"
#include "rastermap/rastererror.h"
#include "rastermap/rasterimage.h"
#include "worldmap/shapefile.h"

namespace tavisol::rastermap {

namespace fs = std::filesystem;

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

struct VariableStyle {
    const char *Unit;
    int Decimals;  // at least this many in the names
    std::vector<Rgb> Ramp;
};

// Temperatures from cold blue to hot red, precipitation from dry yellow to
// deep blue, vapour pressure from pale to sea green-blue, evapotranspiration
// from yellow to red, wind from pale to dark purple, sunshine from dull grey
// to bright orange.
const VariableStyle &StyleOf(int variable) {
    static const std::vector<Rgb> temperature{{49, 54, 149},   {69, 117, 180},  {116, 173, 209}, {171, 217, 233},
                                              {255, 255, 191}, {254, 224, 144}, {253, 174, 97},  {244, 109, 67},
                                              {215, 48, 39},   {165, 0, 38}};
    static const std::array<VariableStyle, 8> styles{{
        {"\u00b0C", 1, temperature},
        {"\u00b0C", 1, temperature},
        {"\u00b0C", 1, temperature},
        {"mm", 0, {{255, 255, 204}, {199, 233, 180}, {127, 205, 187}, {65, 182, 196}, {29, 145, 192}, {34, 94, 168}, {12, 44, 132}}},
        {"hPa", 1, {{247, 252, 240}, {204, 235, 197}, {168, 221, 181}, {123, 204, 196}, {67, 162, 202}, {8, 104, 172}}},
        {"mm", 0, {{255, 255, 178}, {254, 217, 118}, {254, 178, 76}, {253, 141, 60}, {240, 59, 32}, {189, 0, 38}}},
        {"m/s", 1, {{242, 240, 247}, {218, 218, 235}, {188, 189, 220}, {158, 154, 200}, {117, 107, 177}, {84, 39, 143}}},
        {"", 2, {{82, 82, 82}, {150, 150, 150}, {255, 237, 160}, {254, 217, 118}, {254, 178, 76}, {255, 140, 0}}},
    }};
    return styles[static_cast<std::size_t>(std::clamp(variable, 0, 7))];
}

// Colour at t (0..1) along the ramp.
Rgb RampAt(const std::vector<Rgb> &ramp, double t) {
    const double x = std::clamp(t, 0.0, 1.0) * static_cast<double>(ramp.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x), ramp.size() - 2);
    const double f = x - static_cast<double>(i);
    auto mix = [f](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
    };
    return {mix(ramp[i].r, ramp[i + 1].r), mix(ramp[i].g, ramp[i + 1].g), mix(ramp[i].b, ramp[i + 1].b)};
}

// Decimals that show x exactly (up to 4).
int DecimalsToShow(double x) {
    for (int d = 0; d < 4; ++d) {
        const double scaled = x * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, std::fabs(scaled))) return d;
    }
    return 4;
}

std::string ValueText(double v, int decimals, const std::string &unit) {
    if (std::fabs(v) < 1e-9) v = 0;  // no "-0.0"
    std::string text = numfmt::forcedPointFixed(v, decimals);
    if (!unit.empty()) text += " " + unit;
    return text;
}

} // namespace

std::vector<LegendRecord> ExportLegend(int variable, const std::vector<std::uint8_t> &cells) {
    const VariableStyle &style = StyleOf(variable);
    const ClassEntry classes = ClassTable[static_cast<std::size_t>(std::clamp(variable, 0, 7))];
    int low = 251, high = -1;
    for (const std::uint8_t c : cells)
        if (c <= 250) {
            low = std::min<int>(low, c);
            high = std::max<int>(high, c);
        }
    // The narrowest round run of classes that gives at most 20 records.
    int width = 251;
    for (int w : {1, 5, 10, 25, 50, 125, 251})
        if (high < 0 || high / w - low / w + 1 <= 20) {
            width = w;
            break;
        }
    const double above = classes.Offset + 251 * classes.Scale;
    const int decimals = std::max({style.Decimals, DecimalsToShow(width * classes.Scale),
                                   DecimalsToShow(classes.Offset), DecimalsToShow(above)});

    std::vector<LegendRecord> records;
    if (high >= 0) {
        const int firstRun = low / width, lastRun = high / width;
        for (int run = firstRun; run <= lastRun; ++run) {
            LegendRecord r;
            r.First = run * width;
            r.Last = std::min(r.First + width - 1, 250);
            const double from = classes.Offset + r.First * classes.Scale;
            const double to = classes.Offset + (r.Last + 1) * classes.Scale;
            r.Name = ValueText(from, decimals, "") + " - " + ValueText(to, decimals, style.Unit);
            const double t = lastRun == firstRun ? 0.5 : static_cast<double>(run - firstRun) / (lastRun - firstRun);
            const Rgb c = RampAt(style.Ramp, t);
            r.Red = c.r;
            r.Green = c.g;
            r.Blue = c.b;
            records.push_back(r);
        }
    }
    const Rgb first = style.Ramp.front(), last = style.Ramp.back();
    records.push_back({253, 253, first.r, first.g, first.b, "Below " + ValueText(classes.Offset, decimals, style.Unit)});
    records.push_back({254, 254, last.r, last.g, last.b, "Above " + ValueText(above, decimals, style.Unit)});
    records.push_back({255, 255, 255, 255, 255, "No data"});
    return records;
}

std::string LegendFileText(const std::string &title, const std::vector<LegendRecord> &records) {
    // A comma would end the title field and start a record of its own.
    std::string head = title;
    std::replace(head.begin(), head.end(), ',', ' ');
    std::string text = head + "\r\n";
    for (const LegendRecord &r : records)
        text += std::to_string(r.First) + "\t" + std::to_string(r.Last) + "\t" + std::to_string(r.Red) + "\t" +
                std::to_string(r.Green) + "\t" + std::to_string(r.Blue) + "\t" + r.Name + "\r\n";
    return text;
}

fs::path ExportImagePath(const fs::path &typed, const fs::path &mapImage) {
    if (typed.has_extension()) return typed;
    fs::path image = typed;
    image += mapImage.has_extension() ? mapImage.extension() : fs::path(".img");
    return image;
}

MapPaths ExportCompanionPaths(const fs::path &image) {
    const std::string file = image.filename().string();
    return PathsOfMap(image.parent_path(), file.substr(0, file.find('.')));
}

namespace {

bool Exists(const fs::path &path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace

ExportFiles PlanExportFiles(const fs::path &image) {
    ExportFiles files{image, ExportCompanionPaths(image), std::nullopt, std::nullopt};
    const MapPaths &own = files.Beside;
    const std::string file = image.filename().string();
    const std::size_t dot = file.find('.');
    const std::string mapName = file.substr(0, dot);
    // Another image of the map: the list loads that one, beside this legend.
    std::error_code ec;
    const bool otherImage = Exists(own.Img) && !(Exists(image) && fs::equivalent(own.Img, image, ec));
    const std::string refused = "Cannot save the raster image as " + file + ": ";
    const std::string otherLegend = "write that map's legend " + own.Clr.filename().string();
    if (!HasImageExtension(image))
        files.Refusal = refused + "a map's image ends in \".img\". Choose another name.";
    else if (dot == 0 || dot != file.size() - 4)
        files.Refusal = refused + "a map's name ends at its first \".\", so it would " +
                        (otherImage ? "belong to the map " + mapName + " and " + otherLegend
                                    : std::string("not be listed as a map")) +
                        ". Choose a name without \".\".";
    else if (otherImage)
        files.Refusal = refused + "the map " + mapName + " already has the image " + own.Img.filename().string() +
                        ", and the export would " + otherLegend + ". Choose another name.";
    else if (!Exists(image) && Exists(own.Clr))
        files.Question = own.Clr.filename().string() + " already exists.\rDo you want to replace it?";
    return files;
}

std::vector<std::string> WriteExportFiles(const ExportFiles &files, const ImageHeader &header,
                                          const std::vector<std::uint8_t> &cells, const std::string &title,
                                          int variable, const MapPaths &loadedMap) {
    const HeaderBytes head = SerializeHeader(header);
    const auto bytes = [](const auto &v) {
        return std::string_view(reinterpret_cast<const char *>(v.data()), v.size());
    };
    // The legend describes the image just written, also over an earlier one.
    const std::string legend = numfmt::utf8ToCp1252(LegendFileText(title, ExportLegend(variable, cells)));
    rastermap::WriteWholeFiles({{files.Image, {bytes(head), bytes(cells)}}, {files.Beside.Clr, {legend}}});
    std::vector<std::string> notCopied;
    std::string missing;
    for (const auto &[from, to, what] : {std::tuple{loadedMap.Cty, files.Beside.Cty, "capitals"},
                                         std::tuple{loadedMap.Bnd, files.Beside.Bnd, "boundaries"}}) {
        if (Exists(to)) continue;
        std::string copy;
        std::optional<std::string> why = worldmap::ReadShapeFileBytes(from, copy);
        if (!why)
            if (const auto failure = numfmt::WriteWholeFile(to, {copy})) why = failure->reason();
        if (!why) continue;
        const std::string name = to.filename().string();
        notCopied.push_back("The map's " + std::string(what) + " were not copied to " + name + ": " + *why);
        missing += (missing.empty() ? "" : " and ") + name;
    }
    if (!missing.empty()) {
        const std::string file = files.Image.filename().string();
        notCopied.push_back("The map list shows " + file.substr(0, file.find('.')) + " once " + missing +
                            (notCopied.size() > 1 ? " are" : " is") + " beside it.");
    }
    return notCopied;
}

} // namespace tavisol::rastermap
