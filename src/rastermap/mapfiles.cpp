#include "rastermap/mapfiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "engine/data_files.h"
#include "numfmt/numfmt.h"
#include "numfmt/textread.h"
#include "rastermap/rastererror.h"
#include "worldmap/shapefile.h"

namespace tavisol::rastermap {

namespace fs = std::filesystem;

namespace {

std::string trimBlanks(const std::string &s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

std::vector<std::string> splitAt(const std::string &s, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = s.find(sep, start);
        parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return parts;
}

// A title and a record for each of the 256 classes, each far shorter than a
// kilobyte: no colour legend is larger.
constexpr std::size_t MaxLegendBytes = 257 * 1024;

} // namespace

namespace {

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The map's file with the given extension (lower case): the exact name when it
// exists, else the first of the folder, by name, whose extension differs only
// in case ("Up.IMG" for "Up" and ".img"); the exact name when there is none.
fs::path mapFile(const fs::path &folder, const std::string &mapName, const std::string &ext) {
    const fs::path exact = folder / (mapName + ext);
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;
    std::optional<fs::path> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (file.size() != mapName.size() + ext.size() || file.compare(0, mapName.size(), mapName) != 0 ||
            lowerAscii(file.substr(mapName.size())) != ext)
            continue;
        if (!found || it->path() < *found)
            found = it->path();
    }
    return found ? *found : exact;
}

} // namespace

MapPaths PathsOfMap(const fs::path &folder, const std::string &mapName) {
    return {mapFile(folder, mapName, ".img"), mapFile(folder, mapName, ".clr"), mapFile(folder, mapName, ".cty"),
            mapFile(folder, mapName, ".bnd")};
}

bool HasImageExtension(const fs::path &file) {
    const std::string name = file.filename().string();
    return name.size() >= 4 && lowerAscii(name.substr(name.size() - 4)) == ".img";
}

std::vector<std::string> ListRasterMaps(const fs::path &folder) {
    std::vector<std::string> names;
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return names;
    fs::directory_iterator it(folder, ec);
    if (ec)
        throw RasterError("Cannot read the folder " + folder.string() + ": " + ec.message());
    for (const fs::directory_entry &entry : it) {
        const std::string file = entry.path().filename().string();
        if (!HasImageExtension(entry.path()) || !entry.is_regular_file(ec)) continue;
        // Listed only when the window can load it: the image under the map's
        // name and the three companions, their extensions in any case.
        const std::string name = file.substr(0, file.find('.'));
        const MapPaths p = PathsOfMap(folder, name);
        if (fs::exists(p.Img, ec) && fs::exists(p.Clr, ec) && fs::exists(p.Cty, ec) && fs::exists(p.Bnd, ec))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<std::string> ReadListFields(const std::string &text) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto atLineEnd = [&](std::size_t k) { return k < n && (text[k] == '\r' || text[k] == '\n'); };
    auto skipLineEnd = [&](std::size_t &k) {
        if (k < n && text[k] == '\r') ++k;
        if (k < n && text[k] == '\n') ++k;
    };
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= n) break;
        if (atLineEnd(i)) {  // an empty line (or blanks only) holds no field
            skipLineEnd(i);
            continue;
        }
        std::string field;
        if (text[i] == '"') {
            ++i;
            while (i < n && text[i] != '"' && !atLineEnd(i)) field += text[i++];
            if (i < n && text[i] == '"') ++i;
            while (i < n && text[i] != ',' && !atLineEnd(i)) ++i;  // the rest up to the separator is dropped
        } else {
            while (i < n && text[i] != ',' && !atLineEnd(i)) field += text[i++];
        }
        if (i < n && text[i] == ',') ++i;
        else skipLineEnd(i);
        fields.push_back(field);
    }
    return fields;
}

std::optional<std::string> LoadColorTable(const fs::path &clrPath, ColorTable &table, const ColorEntry &fixedA,
                                          const ColorEntry &fixedB) {
    std::string bytes;
    if (auto err = numfmt::ReadWholeFile(clrPath, MaxLegendBytes, bytes,
                                         numfmt::LargerThanAny("colour legend", clrPath, MaxLegendBytes)))
        return err;
    const numfmt::FileText text = numfmt::TextOfFile(bytes);
    auto toUtf8 = [&text](const std::string &raw) { return text.utf8 ? raw : engine::Windows1252ToUtf8(raw); };
    const std::vector<std::string> fields = ReadListFields(std::string(text.text));
    const std::string file = clrPath.filename().string();
    // A legend names its classes; without a record it would leave the table
    // as the last map left it.
    if (fields.size() < 2)
        return "Colour legend " + file + " holds no class record after its title.";
    for (std::size_t f = 1; f < fields.size(); ++f) {
        const std::vector<std::string> parts = splitAt(fields[f], '\t');
        const std::string where = "Colour legend " + file + ", record " + std::to_string(f) + " " +
                                  numfmt::QuoteFileText(fields[f], text.utf8);
        if (parts.size() < 6)
            return where + ": six parts separated by TAB are needed.";
        static const char *const partNames[5] = {"first class", "last class", "red", "green", "blue"};
        int v[5];
        for (int k = 0; k < 5; ++k) {
            const std::string part = trimBlanks(parts[static_cast<std::size_t>(k)]);
            const double x = numfmt::roundHalfEven(numfmt::val(part));
            if (!(x >= 0 && x <= 255))
                return where + ": part " + std::to_string(k + 1) + " (" + partNames[k] + ") " +
                       numfmt::QuoteFileText(part, text.utf8) + " is outside 0..255.";
            v[k] = static_cast<int>(x);
        }
        const std::string name = toUtf8(trimBlanks(parts[5]));
        for (int k = v[0]; k <= v[1]; ++k) {
            ColorEntry &e = table[static_cast<std::size_t>(k)];
            e.Red = static_cast<std::uint8_t>(v[2]);
            e.Green = static_cast<std::uint8_t>(v[3]);
            e.Blue = static_cast<std::uint8_t>(v[4]);
            e.Name = name;
        }
    }
    ColorEntry &b = table[BoundariesClass];
    b.Red = fixedA.Red;
    b.Green = fixedA.Green;
    b.Blue = fixedA.Blue;
    b.Name = "Boundaries";
    ColorEntry &c = table[CapitalsClass];
    c.Red = fixedB.Red;
    c.Green = fixedB.Green;
    c.Blue = fixedB.Blue;
    c.Name = "Capitals";
    return std::nullopt;
}

ShapeReadResult ReadShapes(const fs::path &path, const std::function<void()> &doEvents) {
    worldmap::ShapeReadResult read = worldmap::ReadShapeFile(path, worldmap::ShapeKind::Degrees, 0, 0, doEvents);
    ShapeReadResult result;
    result.Shapes = std::move(read.Shapes);
    if (!read.ok()) result.Error = std::move(read.Error);
    return result;
}

std::uint8_t SplitColour(std::int32_t colour, const std::string &key) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(colour));
    const std::string s = hex;
    std::size_t pos;
    if (key == "RED") pos = 0;
    else if (key == "GREEN") pos = 2;
    else if (key == "BLUE") pos = 4;
    else return 0;
    if (pos + 2 > s.size()) return 0;
    unsigned part = 0;
    std::from_chars(s.data() + pos, s.data() + pos + 2, part, 16);
    return static_cast<std::uint8_t>(part);
}

std::vector<LegendRow> LegendRows(const ColorTable &table) {
    std::vector<LegendRow> rows;
    std::string previous;
    for (int k = 0; k < 256; ++k) {
        const std::string &name = table[static_cast<std::size_t>(k)].Name;
        if (!name.empty() && name != previous)
            rows.push_back({k, name});
        previous = name;
    }
    return rows;
}

} // namespace tavisol::rastermap
