#include "rastermap/exportgrid.h"

#include <cmath>
#include <cstdlib>

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "rastermap/rastererror.h"

namespace tavisol::rastermap {

bool &AbortExport() {
    static bool flag = false;
    return flag;
}

const std::array<ClassEntry, 8> ClassTable = {{
    {0.4, -50}, {0.4, -50}, {0.4, -50}, {8, 0}, {0.2, 0}, {2, 0}, {0.1, 0}, {0.004, 0},
}};

const std::array<double, 17> Resolutions = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.3,
                                            0.4,   0.5,   0.6,   0.7,  0.8,  0.9,  1,   2};

const std::array<const char *, 13> MonthChoices = {"Average", "January", "February", "March",    "April",
                                                   "May",     "June",    "July",     "August",   "September",
                                                   "October", "November", "December"};

std::uint8_t ClassOfValue(float value, const ClassEntry &e) {
    const double t = std::floor((static_cast<double>(value) - e.Offset) / e.Scale);
    if (t < 0) return 253;
    if (t <= 250) return static_cast<std::uint8_t>(t);
    return 254;
}

int ExportMonthOf(const std::string &text, int current) {
    for (int k = 0; k < 13; ++k)
        if (text == MonthChoices[static_cast<std::size_t>(k)])
            return k == 0 ? 13 : k;
    return current;
}

int DecimalsOf(const std::string &text) {
    std::string s = text;
    for (char &c : s)
        if (c == ',') c = '.';
    const std::size_t p = s.find('.');
    return p == std::string::npos ? 0 : static_cast<int>(s.size() - p - 1);
}

bool IsNumeric(const std::string &text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (b == e) return false;
    const std::string s = text.substr(b, e - b);
    bool digit = false;
    for (char c : s)
        if (c >= '0' && c <= '9') digit = true;
        else if (c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E') return false;
    if (!digit) return false;
    char *end = nullptr;
    std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size();
}

MapExtent ExtentOf(const Georeference &geo, int columns, int rows) {
    MapExtent x;
    PixelToLonLat(geo, 0, 0, x.West, x.North);
    PixelToLonLat(geo, static_cast<std::int16_t>(columns - 1), static_cast<std::int16_t>(rows - 1), x.East, x.South);
    return x;
}

namespace {
std::string whole(double v) { return numfmt::forcedPoint(std::floor(v), "0"); }
} // namespace

std::optional<std::string> ValidateExport(const ExportInputs &in, const MapExtent &x, float &resolution) {
    const auto r = static_cast<float>(numfmt::valCommaAsPoint(in.Resolution));
    if (!(r >= 0.001 && r <= 2.0f && r != 0.0f))
        return std::string("Resolution in decimal degrees must be in the range (2,0.001)  ");
    const double lonStart = numfmt::val(in.LonStart);
    const double lonEnd = numfmt::val(in.LonEnd);
    const double latStart = numfmt::val(in.LatStart);
    const double latEnd = numfmt::val(in.LatEnd);
    if (!(lonStart >= x.West) || !IsNumeric(in.LonStart))
        return "Start Longitude must be in the range (" + whole(x.West + 1.0) + ";" + whole(x.East) + ")  ";
    if (!(lonEnd > lonStart) || lonEnd > x.East || !IsNumeric(in.LonEnd))
        return "End Longitude must be in the range (" + in.LonStart + ";" + whole(x.East) + ")  ";
    if (!(latEnd > x.South) || !IsNumeric(in.LatEnd))
        return "End Latitude must be in the range (" + whole(x.South) + ";" + whole(x.North) + ")  ";
    if (!(latStart > latEnd) || latStart > x.North || !IsNumeric(in.LatStart))
        return "Start Latitude must be in the range (" + in.LatEnd + ";" + whole(x.North) + ")  ";
    resolution = r;
    return std::nullopt;
}

int SnapRegionTexts(const std::string &resolutionText, std::array<std::string, 4> &region) {
    std::string s = resolutionText;
    for (char &c : s)
        if (c == ',') c = '.';
    const int d = DecimalsOf(s);
    const auto v = static_cast<float>(numfmt::val(s));
    if (v == 0) return d;
    for (std::string &t : region)
        t = numfmt::forcedPointFixed(numfmt::val(t), d);
    const numfmt::Locale point = numfmt::Locale::english();
    for (std::string &t : region) {
        const auto x = static_cast<float>(numfmt::val(t));
        const float snapped = std::floor(x / v) * v;
        t = numfmt::general(snapped, point);
    }
    return d;
}

std::pair<int, int> ExportGridSize(const ExportRegion &g) {
    const float cols = (g.LonEnd - g.LonStart) / g.Resolution;
    const float rows = (g.LatStart - g.LatEnd) / g.Resolution;
    const double c = numfmt::roundHalfEven(cols);
    const double r = numfmt::roundHalfEven(rows);
    if (!(c >= 1 && r >= 1))
        throw RasterError("The region holds no whole cell at this resolution.");
    if (c > MaxExportCells || r > MaxExportCells)
        throw RasterError("The region needs more than " + std::to_string(MaxExportCells) +
                          " cells in a row or a column at this resolution.");
    return {static_cast<int>(c), static_cast<int>(r)};
}

std::string WorkingText(float lon, float lat) {
    return "Working on Lon: " + numfmt::forcedPoint(lon, "###0.0###") +
           " - Lat: " + numfmt::forcedPoint(lat, "###0.0###");
}

bool RunExportGrid(const ExportRegion &g, int columns, int rows, const ClassEntry &classes, const ExportMap &map,
                   const ExportCallbacks &cb, std::vector<std::uint8_t> &cells) {
    cells.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
    double progress = 0;
    const double progressMax = static_cast<double>(columns) * rows / 100.0;
    int r = 0;
    for (float lat = g.LatStart; lat >= g.LatEnd; lat -= g.Resolution) {
        if (r > rows - 1) break;
        int c = 0;
        for (float lon = g.LonStart; lon <= g.LonEnd; lon += g.Resolution) {
            if (c > columns - 1) break;
            if (cb.DoEvents) cb.DoEvents();
            if (AbortExport()) {
                if (!cb.ConfirmAbort || cb.ConfirmAbort())
                    return false;
                AbortExport() = false;
            }
            std::int16_t mc = 0, mr = 0;
            LonLatToPixel(map.Geo, lon, lat, mc, mr);
            if (cb.ShowCell) cb.ShowCell(lon, lat);
            if (mc < 0 || mr < 0 || mc > map.Image->U1() || mr > map.Image->U2())
                throw RasterError("The point Lon " + numfmt::forcedPoint(lon, "###0.0###") + ", Lat " +
                                  numfmt::forcedPoint(lat, "###0.0###") + " lies outside the loaded map.");
            std::uint8_t cls = NoDataClass;
            if (map.Image->At(mc, mr) != NoDataClass)
                cls = ClassOfValue(cb.Estimate ? cb.Estimate(lon, lat) : 0.0f, classes);
            cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c)] = cls;
            if (progressMax - 0.01 > progress) {
                progress += 0.01;
                if (cb.Progress) cb.Progress(progress);
            }
            if (cb.DoEvents) cb.DoEvents();
            ++c;
        }
        ++r;
        if (cb.DoEvents) cb.DoEvents();
    }
    return true;
}

float EstimateAtPoint(engine::EngineState &state, float lon, float lat, int variable, int month) {
    state.CurrentVariable = static_cast<engine::Integer>(variable);
    state.CalcLongitude = lon;
    state.CalcLatitude = lat;
    engine::Integer water = 0;
    state.CalcAltitude = engine::GetElevation(state.DataFolder, lon, lat, water);
    float value = 0;
    try {
        if (engine::RunRasterExportChain(state))
            value = state.CurResult.Best[static_cast<std::size_t>(month)];
    } catch (const std::exception &) {
        value = 0;
    }
    return value;
}

} // namespace tavisol::rastermap
