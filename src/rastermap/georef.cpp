#include "rastermap/georef.h"

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"
#include "rastermap/rastererror.h"
#include "rastermap/wholenumbers.h"

namespace tavisol::rastermap {

namespace {

double floor3(double v) { return std::floor(v * 1000.0) / 1000.0; }

Real48Rec toReal(double v, const Real48Conversions &conv) {
    if (v == 0.0)
        return Real48Rec{};
    return conv.ToReal48(v);
}

} // namespace

double HeaderReal(const Real48Rec &value, const Real48Conversions &conv) {
    return floor3(conv.ToDouble(value));
}

Georeference SetHeaderDoubleValues(const ImageHeader &h, const Real48Conversions &conv) {
    Georeference g;
    g.CentreLon = HeaderReal(h.CentreLongitude, conv);
    g.CentreLat = HeaderReal(h.CentreLatitude, conv);
    g.CentreCol = HeaderReal(h.CentreColumn, conv);
    g.CentreRow = HeaderReal(h.CentreRow, conv);
    g.CellWidth = HeaderReal(h.CellWidth, conv);
    g.CellHeight = HeaderReal(h.CellHeight, conv);
    return g;
}

void LonLatToPixel(const Georeference &g, float lon, float lat, std::int16_t &col, std::int16_t &row) {
    const auto dLon = static_cast<float>(lon - g.CentreLon);
    const auto dLat = static_cast<float>(lat - g.CentreLat);
    const double c = dLon / g.CellWidth + g.CentreCol;
    const double r = g.CentreRow - dLat / g.CellHeight;
    col = ToInt16(c);
    row = ToInt16(r);
}

void PixelToLonLat(const Georeference &g, std::int16_t col, std::int16_t row, float &lon, float &lat) {
    const auto a = static_cast<float>((col - g.CentreCol) * g.CellWidth);
    const auto b = static_cast<float>((g.CentreRow - row) * g.CellHeight);
    lon = static_cast<float>(floor3(a + g.CentreLon));
    lat = static_cast<float>(floor3(b + g.CentreLat));
}

bool IsInsideRect(const Georeference &g, int columns, int rows, float lon, float lat) {
    const auto dLon = static_cast<float>(lon - g.CentreLon);
    const auto dLat = static_cast<float>(lat - g.CentreLat);
    const double c = numfmt::roundHalfEven(dLon / g.CellWidth + g.CentreCol);
    const double r = numfmt::roundHalfEven(g.CentreRow - dLat / g.CellHeight);
    // A point whose index is not a number at all (a cell size of 0) is outside.
    return c >= 0 && c <= columns - 1 && r >= 0 && r <= rows - 1;
}

std::string Utf8ToWindows1252(const std::string &s) {
    static const char32_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t cp = 0;
        int len = 1;
        if (b < 0x80) cp = b;
        else if ((b >> 5) == 6) { cp = b & 0x1F; len = 2; }
        else if ((b >> 4) == 14) { cp = b & 0x0F; len = 3; }
        else if ((b >> 3) == 30) { cp = b & 0x07; len = 4; }
        else { out += '?'; ++i; continue; }
        if (i + static_cast<std::size_t>(len) > s.size()) { out += '?'; break; }
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
        i += static_cast<std::size_t>(len);
        char c = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) c = static_cast<char>(cp);
        else
            for (int k = 0; k < 32; ++k)
                if (high[k] != 0 && high[k] == cp) c = static_cast<char>(0x80 + k);
        out += c;
    }
    return out;
}

ImageHeader GetNewHeader(const NewHeaderInput &in, const ImageHeader &map, const Real48Conversions &conv) {
    const int d = in.Decimals;
    float centreLon = (in.LonEnd - in.LonStart) / 2.0f + in.LonStart;
    float centreLat = (in.LatStart - in.LatEnd) / 2.0f + in.LatEnd;
    centreLon = numfmt::roundDecimals(centreLon, d);
    centreLat = numfmt::roundDecimals(centreLat, d);
    const float centreCol = static_cast<float>(in.Columns) / 2.0f;
    const float centreRow = static_cast<float>(in.Rows) / 2.0f;
    auto cellWidth = static_cast<float>(std::fabs(centreLon - in.LonStart) / std::fabs(centreCol));
    auto cellHeight = static_cast<float>(std::fabs(in.LatStart - centreLat) / std::fabs(centreRow));
    cellWidth = numfmt::roundDecimals(cellWidth, d);
    cellHeight = numfmt::roundDecimals(cellHeight, d);

    ImageHeader h;  // reserved bytes stay zero
    h.Rows = static_cast<std::int16_t>(in.Rows);
    h.Columns = static_cast<std::int16_t>(in.Columns);
    h.Carry183 = map.Carry183;
    h.Carry22 = map.Carry22;
    h.Carry168 = map.Carry168;
    h.CarryReal156 = map.CarryReal156;
    h.CarryReal162 = map.CarryReal162;

    std::string title = Utf8ToWindows1252("Marovel/Tavisol-" + in.VariableText + "-" + in.MonthText);
    if (title.size() > 79)
        title.resize(79);
    h.Title.fill(' ');
    std::copy(title.begin(), title.end(), h.Title.begin());

    h.CentreLongitude = toReal(centreLon, conv);
    h.CentreLatitude = toReal(centreLat, conv);
    h.CentreColumn = toReal(centreCol, conv);
    h.CentreRow = toReal(centreRow, conv);
    h.CellWidth = toReal(cellWidth, conv);
    h.CellHeight = toReal(cellHeight, conv);
    h.ClassScale = toReal(in.ClassScale, conv);
    h.ClassOffset = toReal(in.ClassOffset, conv);
    return h;
}

} // namespace tavisol::rastermap
