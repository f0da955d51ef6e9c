#pragma once
// Readers of the geography that the marble-qt-data package installs.
#include <QString>

#include <cstdint>
#include <vector>

namespace demodata {

struct City {
    QString name;
    double longitude = 0; // degrees
    double latitude = 0;
    double altitude = 0;  // metres, as the gazetteer gives it
    QString role;         // feature code: PPLC marks a national capital
    QString countryCode;  // ISO 3166 alpha-2
    qint64 population = 0;
};

struct WeatherStation {
    QString name;
    QString country;
    double longitude = 0;
    double latitude = 0;
};

// One ring or line of a Natural Earth shape file: longitude/latitude pairs.
struct GeoRing {
    std::uint32_t id = 0;
    int flag = 0; // 0 line, 2 outer ring, 3 hole
    std::vector<double> lon;
    std::vector<double> lat;
};

// A grey image (one byte per pixel), row by row from the north-west corner.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Each reader returns false and sets *error when the file is missing or malformed.
bool readCityCache(const QString& path, std::vector<City>* out, QString* error);
bool readWeatherStations(const QString& path, std::vector<WeatherStation>* out, QString* error);
bool readShapeFile(const QString& path, std::vector<GeoRing>* out, QString* error);
bool readGreyImage(const QString& path, GreyImage* out, QString* error);

// The relief tiles of one level stitched into one equirectangular image.
bool readReliefMosaic(const QString& srtmDir, int level, GreyImage* out, QString* error);

} // namespace demodata
