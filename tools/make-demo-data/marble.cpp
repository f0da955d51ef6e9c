#include "marble.h"

#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QXmlStreamReader>

#include <cmath>

namespace demodata {

namespace {

constexpr quint32 kCacheMagic = 0x31415926;
constexpr qint32 kCacheVersion = 13;
constexpr double kDeg = 57.29577951308232;

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

// The placemark cache: a magic number and a version, then records of name,
// longitude, latitude and altitude (radians, radians, metres), feature code,
// description, country code, state, area, population and three bytes of display
// hints, all big-endian with UTF-16 strings.
bool readCityCache(const QString& path, std::vector<City>* out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open %1").arg(path));
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_4_2);
    quint32 magic = 0;
    qint32 version = 0;
    in >> magic >> version;
    if (magic != kCacheMagic || version != kCacheVersion)
        return fail(error, QStringLiteral("%1 is not a placemark cache of version 13").arg(path));
    out->clear();
    while (!in.atEnd()) {
        City c;
        QString description;
        QString state;
        double lon = 0;
        double lat = 0;
        double area = 0;
        quint8 hint[3];
        in >> c.name >> lon >> lat >> c.altitude >> c.role >> description >> c.countryCode >> state >> area
            >> c.population;
        if (in.readRawData(reinterpret_cast<char*>(hint), 3) != 3 || in.status() != QDataStream::Ok)
            return fail(error, QStringLiteral("%1 ends in the middle of a record").arg(path));
        c.longitude = lon * kDeg;
        c.latitude = lat * kDeg;
        if (c.latitude < -90 || c.latitude > 90 || c.longitude < -181 || c.longitude > 181)
            return fail(error, QStringLiteral("%1: position out of range").arg(path));
        out->push_back(std::move(c));
    }
    return true;
}

bool readWeatherStations(const QString& path, std::vector<WeatherStation>* out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open %1").arg(path));
    QXmlStreamReader xml(&file);
    out->clear();
    WeatherStation cur;
    bool hasPoint = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto tag = xml.name();
            if (tag == QLatin1String("Station")) {
                cur = WeatherStation{};
                hasPoint = false;
            } else if (tag == QLatin1String("name")) {
                cur.name = xml.readElementText().trimmed();
            } else if (tag == QLatin1String("Country")) {
                cur.country = xml.readElementText().trimmed();
            } else if (tag == QLatin1String("coordinates")) {
                const QStringList parts = xml.readElementText().split(',');
                bool okLon = false;
                bool okLat = false;
                if (parts.size() >= 2) {
                    cur.longitude = parts[0].trimmed().toDouble(&okLon);
                    cur.latitude = parts[1].trimmed().toDouble(&okLat);
                }
                hasPoint = okLon && okLat && std::abs(cur.latitude) <= 90 && std::abs(cur.longitude) <= 180;
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("Station")) {
            if (hasPoint && !cur.name.isEmpty())
                out->push_back(cur);
        }
    }
    if (xml.hasError())
        return fail(error, QStringLiteral("%1: %2").arg(path, xml.errorString()));
    return true;
}

// The compact shape files: a version byte, a 32-bit count, a colour-field flag,
// then records. A record of kind 4 heads a multi-part shape (id, optional colour
// byte, number of parts) whose parts follow without colour bytes; any other record
// is one ring or line: kind, id, optional colour byte, the number of anchor nodes,
// and per anchor its latitude and longitude (16-bit, 1/120 degree), a 16-bit count
// and that many byte pairs, each a point as an offset from its anchor.
bool readShapeFile(const QString& path, std::vector<GeoRing>* out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open %1").arg(path));
    const QByteArray data = file.readAll();
    const auto* d = reinterpret_cast<const std::uint8_t*>(data.constData());
    const std::size_t n = static_cast<std::size_t>(data.size());
    if (n < 6)
        return fail(error, QStringLiteral("%1 is too short").arg(path));
    const bool colourField = d[5] != 0;
    std::size_t p = 6;
    auto u32 = [&](std::size_t at) {
        return (std::uint32_t{d[at]} << 24) | (std::uint32_t{d[at + 1]} << 16) | (std::uint32_t{d[at + 2]} << 8) |
               d[at + 3];
    };
    auto s16 = [&](std::size_t at) { return static_cast<std::int16_t>((d[at] << 8) | d[at + 1]); };
    auto readRing = [&](bool withColour, GeoRing* ring) {
        if (p + 9 + (withColour ? 1 : 0) > n)
            return false;
        ring->flag = d[p];
        ring->id = u32(p + 1);
        p += 5 + (withColour ? 1 : 0);
        const std::uint32_t anchors = u32(p);
        p += 4;
        for (std::uint32_t a = 0; a < anchors; ++a) {
            if (p + 6 > n)
                return false;
            const int lat = s16(p);
            const int lon = s16(p + 2);
            const int count = (d[p + 4] << 8) | d[p + 5];
            p += 6;
            if (p + 2 * static_cast<std::size_t>(count) > n)
                return false;
            ring->lat.push_back(lat / 120.0);
            ring->lon.push_back(lon / 120.0);
            for (int k = 0; k < count; ++k, p += 2) {
                ring->lat.push_back((lat + static_cast<std::int8_t>(d[p])) / 120.0);
                ring->lon.push_back((lon + static_cast<std::int8_t>(d[p + 1])) / 120.0);
            }
        }
        return true;
    };
    out->clear();
    while (p < n) {
        if (d[p] == 4) {
            if (p + 6 + (colourField ? 1 : 0) > n)
                return fail(error, QStringLiteral("%1 ends in a record").arg(path));
            p += 5 + (colourField ? 1 : 0);
            const int parts = d[p++];
            for (int k = 0; k < parts; ++k) {
                GeoRing ring;
                if (!readRing(false, &ring))
                    return fail(error, QStringLiteral("%1 ends in a record").arg(path));
                out->push_back(std::move(ring));
            }
        } else {
            GeoRing ring;
            if (!readRing(colourField, &ring))
                return fail(error, QStringLiteral("%1 ends in a record").arg(path));
            out->push_back(std::move(ring));
        }
    }
    return true;
}

bool readGreyImage(const QString& path, GreyImage* out, QString* error)
{
    QImage img;
    if (!img.load(path))
        return fail(error, QStringLiteral("cannot read the image %1").arg(path));
    img = img.convertToFormat(QImage::Format_Grayscale8);
    out->width = img.width();
    out->height = img.height();
    out->pixels.resize(static_cast<std::size_t>(out->width) * out->height);
    for (int y = 0; y < out->height; ++y) {
        const uchar* line = img.constScanLine(y);
        std::copy(line, line + out->width, out->pixels.begin() + static_cast<std::ptrdiff_t>(y) * out->width);
    }
    return true;
}

bool readReliefMosaic(const QString& srtmDir, int level, GreyImage* out, QString* error)
{
    const int rows = 1 << level;
    const int cols = 2 * rows;
    int tile = 0;
    out->pixels.clear();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QString path = QStringLiteral("%1/%2/%3/%4_%5.jpg")
                                     .arg(srtmDir)
                                     .arg(level)
                                     .arg(r, 6, 10, QLatin1Char('0'))
                                     .arg(r, 6, 10, QLatin1Char('0'))
                                     .arg(c, 6, 10, QLatin1Char('0'));
            GreyImage t;
            if (!readGreyImage(path, &t, error))
                return false;
            if (tile == 0) {
                tile = t.width;
                out->width = tile * cols;
                out->height = tile * rows;
                out->pixels.assign(static_cast<std::size_t>(out->width) * out->height, 0);
            }
            if (t.width != tile || t.height != tile)
                return fail(error, QStringLiteral("%1: unexpected tile size").arg(path));
            for (int y = 0; y < tile; ++y)
                std::copy(t.pixels.begin() + static_cast<std::ptrdiff_t>(y) * tile,
                          t.pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * tile,
                          out->pixels.begin() +
                              static_cast<std::ptrdiff_t>(r * tile + y) * out->width + c * tile);
        }
    }
    return true;
}

} // namespace demodata
