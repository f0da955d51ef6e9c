#pragma once
// Geography helpers: the calibrations of the source images, sampling, polygon
// filling and distances.
#include "marble.h"

#include <cstdint>
#include <array>
#include <vector>

namespace demodata {

constexpr double kEarthRadiusKm = 6370.997;

double greatCircleKm(double lon1, double lat1, double lon2, double lat2);

// Calibrations of the grey source images (see tools/README.md).
double reliefMetres(double grey);        // relief tiles: grey -> metres (sea floor negative)
double temperatureCelsius(double grey);  // temperature climatologies
double precipitationMm(double grey);     // precipitation climatologies, mm per month

// A calibration tabled for the 256 greys.
using GreyTable = std::array<double, 256>;
GreyTable tableOf(double (*calibrate)(double grey));

// Bilinear value of an equirectangular grey image covering the globe, after mapping
// each grey through the table; longitudes wrap, latitudes clamp.
double sampleGlobal(const GreyImage& img, double lon, double lat, const GreyTable& table);

// Fill of shapes over a grid of sample points (each shape, the rings of one id,
// even-odd with its holes; the shapes united): row r lies at rowLat[r],
// column c at colLon[c] (both monotone: latitudes falling, longitudes rising).
// Returns one byte per sample, 1 inside.
std::vector<std::uint8_t> fillRings(const std::vector<const std::vector<GeoRing>*>& ringSets,
                                    const std::vector<double>& rowLat, const std::vector<double>& colLon);

} // namespace demodata
