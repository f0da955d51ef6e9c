#include "rastermap/georef.h"

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
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

ImageHeader GetNewHeader(const NewHeaderInput &in, const ImageHeader &map, const Real48Conversions &conv) {
    const int d = in.Decimals;
    // The centre of an odd number of cells lies half a cell off the grid: one
    // decimal more than the resolution's keeps it exact, so that column 0 and
    // row 0 stay at the region's corner.
    const double centreLon =
        numfmt::roundDecimals(static_cast<double>((in.LonEnd - in.LonStart) / 2.0f + in.LonStart), d + 1);
    const double centreLat =
        numfmt::roundDecimals(static_cast<double>((in.LatStart - in.LatEnd) / 2.0f + in.LatEnd), d + 1);
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

    std::string title = numfmt::utf8ToCp1252("Marovel/Tavisol-" + in.VariableText + "-" + in.MonthText);
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
