#pragma once

// Georeference of a raster image: the header's centre and cell size floored to
// 0.001 degree, and the transforms between cells and degrees. Differences are
// single precision, divisions double precision, as the files were made with.

#include <cstdint>
#include <string>

#include "rastermap/rasterimage.h"

namespace tavisol::rastermap {

struct Georeference {
    double CentreLon = 0;
    double CentreLat = 0;
    double CentreCol = 0;
    double CentreRow = 0;
    double CellWidth = 0;
    double CellHeight = 0;
};

// A converted header real cut down to three decimals (towards minus infinity).
double HeaderReal(const Real48Rec &value, const Real48Conversions &conv);

// The six header reals, converted and floored to 0.001.
Georeference SetHeaderDoubleValues(const ImageHeader &header, const Real48Conversions &conv);

// The cell under a point, each index rounded half to even. Throws RasterError
// ("Overflow") when an index leaves the 16-bit range.
void LonLatToPixel(const Georeference &geo, float lon, float lat, std::int16_t &col, std::int16_t &row);

// The point of a cell, floored to 0.001 degree.
void PixelToLonLat(const Georeference &geo, std::int16_t col, std::int16_t row, float &lon, float &lat);

// True when the point falls on a cell of a map of the given size.
bool IsInsideRect(const Georeference &geo, int columns, int rows, float lon, float lat);

// What the header of an export is built from.
struct NewHeaderInput {
    float LonStart = 0;   // west
    float LonEnd = 0;     // east
    float LatStart = 0;   // north
    float LatEnd = 0;     // south
    int Decimals = 0;     // decimals of the resolution
    int Columns = 0;
    int Rows = 0;
    std::string VariableText;  // UTF-8, the variable list's text
    std::string MonthText;     // UTF-8, the month list's text
    double ClassScale = 0;
    double ClassOffset = 0;
};

// The header of an exported image: the region's centre to one decimal more
// than the resolution has, the cell size to its decimals, the carried bytes of the loaded map, the title
// "Marovel/Tavisol-<variable>-<month>" (cut to 79, blank-padded to 80).
ImageHeader GetNewHeader(const NewHeaderInput &in, const ImageHeader &loadedMap, const Real48Conversions &conv);

} // namespace tavisol::rastermap
