#include "maker.h"

#include "climate.h"
#include "geo.h"
#include "marble.h"
#include "real48.h"
#include "textout.h"
#include "tiling.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace demodata {

namespace {

constexpr int kRasterCols = 4320;
constexpr int kRasterRows = 2160;
constexpr double kSearchRadiusKm = 1005.0; // the engine's default 1000 km, and a little

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Everything read from the sources once.
struct Sources {
    GreyImage relief;
    GreyImage tempJuly, tempDec, precipJuly, precipDec;
    std::vector<GeoRing> land, lakes, countries;
    std::vector<City> cities;
    std::vector<WeatherStation> weather;
};

bool loadSources(const MakerOptions& o, Sources* s, QString* error)
{
    const QString d = o.marbleDir;
    const QString maps = d + QStringLiteral("/maps/earth/");
    return readReliefMosaic(maps + QStringLiteral("srtm"), o.subset ? 0 : 2, &s->relief, error) &&
           readGreyImage(maps + QStringLiteral("temp-july/temp-july.jpg"), &s->tempJuly, error) &&
           readGreyImage(maps + QStringLiteral("temp-dec/temp-dec.jpg"), &s->tempDec, error) &&
           readGreyImage(maps + QStringLiteral("precip-july/precip-july.jpg"), &s->precipJuly, error) &&
           readGreyImage(maps + QStringLiteral("precip-dec/precip-dec.jpg"), &s->precipDec, error) &&
           readShapeFile(d + QStringLiteral("/naturalearth/ne_50m_land.pn2"), &s->land, error) &&
           readShapeFile(d + QStringLiteral("/naturalearth/ne_50m_lakes.pn2"), &s->lakes, error) &&
           readShapeFile(d + QStringLiteral("/naturalearth/ne_50m_admin_0_countries.pn2"), &s->countries, error) &&
           readCityCache(d + QStringLiteral("/placemarks/cityplacemarks.cache"), &s->cities, error) &&
           readWeatherStations(d + QStringLiteral("/weather/bbc-stations.xml"), &s->weather, error);
}

// The globe at 1/12 degree, as the elevation raster lays it out: cell (row, col)
// stands for the point the lookup rounds to it, longitude -180 + (col + 1) / 12,
// latitude 90 - (row + 1) / 12.
struct Globe {
    std::vector<float> height;      // metres, land never below 0
    std::vector<std::uint8_t> land; // 1 land, 0 water
    static std::size_t index(int row, int col) { return static_cast<std::size_t>(row) * kRasterCols + col; }
    static int colOf(double lon) { return std::clamp(static_cast<int>(std::lround((lon + 180) * 12)) - 1, 0, kRasterCols - 1); }
    static int rowOf(double lat) { return std::clamp(static_cast<int>(std::lround((90 - lat) * 12)) - 1, 0, kRasterRows - 1); }
    bool isLand(double lon, double lat) const { return land[index(rowOf(lat), colOf(lon))] != 0; }
};

Globe buildGlobe(const Sources& s)
{
    Globe g;
    std::vector<double> rowLat(kRasterRows);
    std::vector<double> colLon(kRasterCols);
    for (int r = 0; r < kRasterRows; ++r)
        rowLat[static_cast<std::size_t>(r)] = 90.0 - (r + 1) / 12.0;
    for (int c = 0; c < kRasterCols; ++c)
        colLon[static_cast<std::size_t>(c)] = std::min(-180.0 + (c + 1) / 12.0, 179.99999);
    g.land = fillRings({&s.land}, rowLat, colLon);
    const std::vector<std::uint8_t> lake = fillRings({&s.lakes}, rowLat, colLon);
    for (std::size_t i = 0; i < g.land.size(); ++i)
        g.land[i] = g.land[i] && !lake[i];
    g.height.resize(g.land.size());
    const GreyTable metres = tableOf(reliefMetres);
    for (int r = 0; r < kRasterRows; ++r)
        for (int c = 0; c < kRasterCols; ++c) {
            const double h = sampleGlobal(s.relief, colLon[static_cast<std::size_t>(c)], rowLat[static_cast<std::size_t>(r)], metres);
            g.height[Globe::index(r, c)] = static_cast<float>(g.land[Globe::index(r, c)] ? std::max(h, 0.0) : h);
        }
    return g;
}

QByteArray elevationRaster(const Globe& g)
{
    QByteArray raw(kRasterCols * kRasterRows, '\0');
    for (std::size_t i = 0; i < g.land.size(); ++i) {
        int b = 255;
        if (g.land[i])
            b = std::clamp(static_cast<int>(std::lround((g.height[i] + 40.0) / 20.0)), 0, 254);
        raw[static_cast<qsizetype>(i)] = static_cast<char>(b);
    }
    return raw;
}

QString countryName(const QString& code)
{
    const QLocale::Territory t = QLocale::codeToTerritory(code);
    if (t == QLocale::AnyTerritory)
        return code;
    QString name = QLocale::territoryToString(t);
    // The locale tables run words together in a few names ("UnitedStates").
    QString spaced;
    for (int i = 0; i < name.size(); ++i) {
        if (i > 0 && name[i].isUpper() && name[i - 1].isLower())
            spaced += QLatin1Char(' ');
        spaced += name[i];
    }
    return spaced;
}

struct Station {
    QString name;
    QString country;
    double lon = 0;
    double lat = 0;
    std::uint64_t key = 0; // seeds the noise and the choices
    int altitude = 9999;   // as written
    StationNormals normals{};
};

// Real places: the weather stations first, then gazetteer towns by population
// where no station stands within 8 km.
std::vector<Station> chooseStations(const Sources& s, std::size_t target)
{
    std::vector<Station> out;
    std::unordered_map<long long, std::vector<std::size_t>> grid; // 0.5 degree buckets
    auto bucket = [](double lon, double lat) {
        return static_cast<long long>(std::floor((lat + 90) * 2)) * 1000 + static_cast<long long>(std::floor((lon + 180) * 2));
    };
    auto tooClose = [&](double lon, double lat, double km) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const auto it = grid.find(bucket(lon + dx * 0.5, lat + dy * 0.5));
                if (it == grid.end())
                    continue;
                for (std::size_t k : it->second)
                    if (greatCircleKm(lon, lat, out[k].lon, out[k].lat) < km)
                        return true;
            }
        return false;
    };
    auto add = [&](const QString& name, const QString& country, double lon, double lat) {
        Station st;
        st.name = name;
        st.country = country;
        st.lon = std::round(lon * 1000) / 1000;
        st.lat = std::round(lat * 1000) / 1000;
        grid[bucket(st.lon, st.lat)].push_back(out.size());
        out.push_back(std::move(st));
    };
    for (const WeatherStation& w : s.weather)
        if (!tooClose(w.longitude, w.latitude, 1.0) && std::abs(w.latitude) < 89.9)
            add(w.name, w.country, w.longitude, w.latitude);
    std::vector<const City*> towns;
    for (const City& c : s.cities)
        if (!c.name.isEmpty() && !c.countryCode.isEmpty())
            towns.push_back(&c);
    std::stable_sort(towns.begin(), towns.end(), [](const City* a, const City* b) {
        if (a->population != b->population)
            return a->population > b->population;
        return a->name < b->name;
    });
    for (const City* c : towns) {
        if (out.size() >= target)
            break;
        if (!tooClose(c->longitude, c->latitude, 8.0))
            add(c->name, countryName(c->countryCode), c->longitude, c->latitude);
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i].key = mix64(0x7A5150ULL + i);
    return out;
}

void computeNormals(const Sources& s, const Globe& g, std::vector<Station>* stations)
{
    const GreyTable metres = tableOf(reliefMetres);
    const GreyTable temp = tableOf(temperatureCelsius);
    const GreyTable rain = tableOf(precipitationMm);
    for (Station& st : *stations) {
        ClimateInputs in;
        in.latitude = st.lat;
        in.longitude = st.lon;
        in.altitude = std::max(sampleGlobal(s.relief, st.lon, st.lat, metres), 0.0);
        double sum = 0;
        int n = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx, ++n)
                sum += std::max(sampleGlobal(s.relief, st.lon + dx * 0.125, st.lat + dy * 0.125, metres), 0.0);
        in.cellAltitude = sum / n;
        in.julyTemp = sampleGlobal(s.tempJuly, st.lon, st.lat, temp);
        in.decemberTemp = sampleGlobal(s.tempDec, st.lon, st.lat, temp);
        in.julyPrecip = sampleGlobal(s.precipJuly, st.lon, st.lat, rain);
        in.decemberPrecip = sampleGlobal(s.precipDec, st.lon, st.lat, rain);
        const int r0 = Globe::rowOf(st.lat);
        const int c0 = Globe::colOf(st.lon);
        for (int dr = -3; dr <= 3 && !in.nearWater; ++dr)
            for (int dc = -3; dc <= 3; ++dc) {
                const int r = std::clamp(r0 + dr, 0, kRasterRows - 1);
                const int c = (c0 + dc + kRasterCols) % kRasterCols;
                if (!g.land[Globe::index(r, c)]) {
                    in.nearWater = true;
                    break;
                }
            }
        const std::uint64_t h = mix64(st.key ^ 0x0DDULL);
        Oddity odd = Oddity::None;
        if (h % 331 == 0)
            odd = (h >> 20) % 2 ? Oddity::WarmMonth : Oddity::WetMonth;
        st.normals = modelNormals(in, st.key, odd, static_cast<int>((h >> 8) % 12) + 1);
        st.altitude = mix64(st.key ^ 0xA17ULL) % 173 == 0 ? 9999 : static_cast<int>(std::lround(in.altitude));
    }
}

// Share of the stations that each variable's collection holds (percent).
constexpr std::array<int, 8> kShare = {88, 45, 45, 100, 30, 22, 26, 18};
constexpr std::array<int, 8> kDecimals = {1, 1, 1, 1, 2, 1, 1, 2};

// The collections are nested, as at real networks: a station that measures
// sunshine also measures wind, vapour pressure, the extremes and the mean.
bool inCollection(const Station& st, int var)
{
    const auto rank = static_cast<int>(mix64(st.key ^ 0x5EEDULL) % 100);
    return rank < kShare[static_cast<std::size_t>(var)];
}

QByteArray stationLine(const Station& st, int var)
{
    StationLine line;
    line.latitude = st.lat;
    line.longitude = st.lon;
    line.altitude = st.altitude;
    line.values = st.normals[static_cast<std::size_t>(var)];
    line.name = st.name;
    line.country = st.country;
    return formatStationLine(line, kDecimals[static_cast<std::size_t>(var)]);
}

bool writeFile(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
    return true;
}

bool writeTiles(const QString& dir, const QString& prefix, int var, const TileBounds& bounds,
                const std::vector<Station>& stations, MakerReport* report, QString* error)
{
    std::vector<const Station*> members;
    std::vector<double> lon;
    std::vector<double> lat;
    for (const Station& st : stations)
        if (inCollection(st, var)) {
            members.push_back(&st);
            lon.push_back(st.lon);
            lat.push_back(st.lat);
        }
    const TileLayout layout = layoutTiles(bounds, lon, lat, kSearchRadiusKm);
    std::array<QByteArray, kFileCount> text;
    for (std::size_t k = 0; k < members.size(); ++k) {
        const QByteArray line = stationLine(*members[k], var);
        for (int f = 0; f < kFileCount; ++f)
            if (layout.filesOfStation[k] >> f & 1)
                text[static_cast<std::size_t>(f)] += line;
    }
    for (int f = 0; f < kFileCount; ++f)
        if (!writeFile(dir + QLatin1Char('/') + tileFileName(prefix, f), text[static_cast<std::size_t>(f)], error))
            return false;
    if (layout.largestRun > 30000)
        return fail(error, QStringLiteral("%1 tiles: a point would read %2 records").arg(prefix).arg(layout.largestRun));
    report->lines << QStringLiteral("%1 tiles: %2 stations, %3 records in 38 files, at most %4 read at one point, "
                                    "%5 unavoidable doubles")
                         .arg(prefix)
                         .arg(members.size())
                         .arg(std::accumulate(layout.recordsPerFile.begin(), layout.recordsPerFile.end(), 0))
                         .arg(layout.largestRun)
                         .arg(layout.doubledPairs);
    return true;
}

// --- world bitmap -------------------------------------------------------------

struct Rgb {
    double r, g, b;
};

Rgb mixRgb(const Rgb& a, const Rgb& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Mid tones, so that white lines and black dots stand out on land.
Rgb landColour(double h)
{
    static const std::vector<std::pair<double, Rgb>> ramp = {
        {0, {96, 132, 84}}, {300, {122, 146, 92}}, {800, {150, 150, 100}}, {1800, {160, 136, 100}},
        {3200, {146, 118, 96}}, {5000, {168, 162, 158}}};
    if (h <= ramp.front().first)
        return ramp.front().second;
    for (std::size_t i = 1; i < ramp.size(); ++i)
        if (h <= ramp[i].first)
            return mixRgb(ramp[i - 1].second, ramp[i].second, (h - ramp[i - 1].first) / (ramp[i].first - ramp[i - 1].first));
    return ramp.back().second;
}

Rgb seaColour(double depth)
{
    const double t = std::sqrt(std::clamp(depth, 0.0, 6000.0) / 6000.0);
    return mixRgb({112, 162, 212}, {28, 58, 128}, t);
}

QByteArray bmp24(int w, int h, const std::vector<std::uint8_t>& rgb)
{
    const int stride = (w * 3 + 3) & ~3;
    const int dataSize = stride * h;
    QByteArray out(54 + dataSize, '\0');
    auto put16 = [&](int at, int v) {
        out[at] = static_cast<char>(v & 0xff);
        out[at + 1] = static_cast<char>((v >> 8) & 0xff);
    };
    auto put32 = [&](int at, int v) {
        put16(at, v & 0xffff);
        put16(at + 2, (v >> 16) & 0xffff);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < h; ++y) {
        char* row = out.data() + 54 + static_cast<std::ptrdiff_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
            row[x * 3] = static_cast<char>(rgb[i + 2]);
            row[x * 3 + 1] = static_cast<char>(rgb[i + 1]);
            row[x * 3 + 2] = static_cast<char>(rgb[i]);
        }
    }
    return out;
}

QByteArray worldBitmap(const Sources& s, const Globe& g)
{
    constexpr int w = 2160;
    constexpr int h = 1080;
    const GreyTable metres = tableOf(reliefMetres);
    std::vector<double> height(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            height[static_cast<std::size_t>(y) * w + x] =
                sampleGlobal(s.relief, -180 + (x + 0.5) / 6, 90 - (y + 0.5) / 6, metres);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double lon = -180 + (x + 0.5) / 6;
            const double lat = 90 - (y + 0.5) / 6;
            const double hv = height[static_cast<std::size_t>(y) * w + x];
            Rgb c;
            if (g.isLand(lon, lat)) {
                // Light from the north-west.
                const auto at = [&](int xx, int yy) {
                    xx = (xx + w) % w;
                    yy = std::clamp(yy, 0, h - 1);
                    return std::max(height[static_cast<std::size_t>(yy) * w + xx], 0.0);
                };
                const double slope = at(x - 1, y - 1) - at(x + 1, y + 1);
                const double shade = std::clamp(1.0 + slope / 2500.0, 0.72, 1.28);
                c = landColour(std::max(hv, 0.0));
                c = {c.r * shade, c.g * shade, c.b * shade};
            } else {
                c = seaColour(-hv);
            }
            const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
            rgb[i] = static_cast<std::uint8_t>(std::clamp(c.r, 0.0, 235.0));
            rgb[i + 1] = static_cast<std::uint8_t>(std::clamp(c.g, 0.0, 235.0));
            rgb[i + 2] = static_cast<std::uint8_t>(std::clamp(c.b, 0.0, 235.0));
        }
    return bmp24(w, h, rgb);
}

// --- boundaries and capitals --------------------------------------------------

bool pointInRing(const GeoRing& r, double lon, double lat)
{
    bool in = false;
    const std::size_t n = r.lon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        if ((r.lat[i] > lat) != (r.lat[j] > lat)) {
            const double x = r.lon[j] + (lat - r.lat[j]) * (r.lon[i] - r.lon[j]) / (r.lat[i] - r.lat[j]);
            if (lon < x)
                in = !in;
        }
    }
    return in;
}

struct NamedRing {
    QString name;
    QString code;
    const GeoRing* ring = nullptr;
};

// Natural Earth's country shapes carry no names here: each shape takes the country
// that most gazetteer towns inside it belong to.
std::vector<NamedRing> nameCountries(const Sources& s)
{
    struct Box {
        double lon0 = 1e9, lon1 = -1e9, lat0 = 1e9, lat1 = -1e9;
    };
    std::vector<Box> boxes(s.countries.size());
    for (std::size_t k = 0; k < s.countries.size(); ++k) {
        const GeoRing& r = s.countries[k];
        for (std::size_t i = 0; i < r.lon.size(); ++i) {
            boxes[k].lon0 = std::min(boxes[k].lon0, r.lon[i]);
            boxes[k].lon1 = std::max(boxes[k].lon1, r.lon[i]);
            boxes[k].lat0 = std::min(boxes[k].lat0, r.lat[i]);
            boxes[k].lat1 = std::max(boxes[k].lat1, r.lat[i]);
        }
    }
    std::map<std::uint32_t, std::map<QString, int>> votes;
    for (const City& c : s.cities)
        for (std::size_t k = 0; k < s.countries.size(); ++k) {
            const GeoRing& r = s.countries[k];
            const Box& b = boxes[k];
            if (r.flag == 3 || c.longitude < b.lon0 || c.longitude > b.lon1 || c.latitude < b.lat0 || c.latitude > b.lat1)
                continue;
            if (pointInRing(r, c.longitude, c.latitude)) {
                ++votes[r.id][c.countryCode];
                break;
            }
        }
    std::vector<NamedRing> out;
    for (std::size_t k = 0; k < s.countries.size(); ++k) {
        const GeoRing& r = s.countries[k];
        if (r.lon.size() < 2)
            continue;
        QString code;
        const auto it = votes.find(r.id);
        if (it != votes.end()) {
            int best = 0;
            for (const auto& [cc, n] : it->second)
                if (n > best) {
                    best = n;
                    code = cc;
                }
        } else if (boxes[k].lat1 < -60) {
            code = QStringLiteral("AQ");
        } else {
            // No town inside: the nearest town's country.
            double bestKm = 1e9;
            for (const City& c : s.cities) {
                const double km = greatCircleKm(r.lon[0], r.lat[0], c.longitude, c.latitude);
                if (km < bestKm) {
                    bestKm = km;
                    code = c.countryCode;
                }
            }
        }
        out.push_back({countryName(code), code, &r});
    }
    return out;
}

QByteArray shapeHeader(const QString& name, const QString& second, int count)
{
    return '"' + toWindows1252(name) + "\",\"" + toWindows1252(second) + "\"," + QByteArray::number(count) + "\r\n";
}

QByteArray pointLine(double lon, double lat) { return fixed(lon, 4) + ',' + fixed(lat, 4) + "\r\n"; }

struct Extent {
    double lon0 = -180, lon1 = 180, lat0 = -90, lat1 = 90;
    bool contains(double lon, double lat) const { return lon >= lon0 && lon <= lon1 && lat >= lat0 && lat <= lat1; }
};

// Boundary shapes, cut to the runs of points inside the extent.
QByteArray boundaryFile(const std::vector<NamedRing>& rings, const Extent& e)
{
    QByteArray out;
    for (const NamedRing& nr : rings) {
        const GeoRing& r = *nr.ring;
        std::vector<std::size_t> run;
        auto flush = [&]() {
            if (run.size() >= 2) {
                out += shapeHeader(nr.name, nr.code, static_cast<int>(run.size()));
                for (std::size_t i : run)
                    out += pointLine(r.lon[i], r.lat[i]);
            }
            run.clear();
        };
        const std::size_t n = r.lon.size();
        for (std::size_t k = 0; k <= n; ++k) {
            const std::size_t i = k % n; // close the ring
            // Natural Earth closes shapes along the date line and the South Pole's
            // parallel; those edges are no boundaries.
            const bool seam = std::abs(r.lon[i]) >= 179.99 || r.lat[i] <= -89.99;
            if (e.contains(r.lon[i], r.lat[i]) && !seam)
                run.push_back(i);
            else
                flush();
        }
        flush();
    }
    return out;
}

QByteArray capitalFile(const Sources& s, const Extent& e)
{
    std::vector<const City*> caps;
    for (const City& c : s.cities)
        if (c.role == QLatin1String("PPLC") && e.contains(c.longitude, c.latitude))
            caps.push_back(&c);
    std::stable_sort(caps.begin(), caps.end(), [](const City* a, const City* b) { return a->name < b->name; });
    QByteArray out;
    for (const City* c : caps)
        out += shapeHeader(c->name, countryName(c->countryCode), 1) + pointLine(c->longitude, c->latitude);
    return out;
}

// --- raster maps ----------------------------------------------------------------

struct RasterMap {
    QString name;
    QString title;
    double lonWest, latNorth, cell;
    int cols, rows;
};

constexpr int kReliefClasses = 20;
constexpr double kClassStep = 250.0;

// A hypsometric legend: neighbouring classes must be told apart on the map.
Rgb classColour(int k)
{
    if (k == 0)
        return {112, 162, 212};
    static const std::vector<std::pair<double, Rgb>> ramp = {
        {0, {70, 150, 80}}, {500, {160, 200, 110}}, {1000, {235, 225, 140}}, {1750, {215, 160, 90}},
        {2750, {160, 100, 60}}, {4000, {200, 190, 185}}, {5000, {250, 250, 250}}};
    const double h = (k - 1) * kClassStep + kClassStep / 2;
    for (std::size_t i = 1; i < ramp.size(); ++i)
        if (h <= ramp[i].first)
            return mixRgb(ramp[i - 1].second, ramp[i].second, (h - ramp[i - 1].first) / (ramp[i].first - ramp[i - 1].first));
    return ramp.back().second;
}

void putInt16(QByteArray* b, int at, int v)
{
    (*b)[at] = static_cast<char>(v & 0xff);
    (*b)[at + 1] = static_cast<char>((v >> 8) & 0xff);
}

void putReal(QByteArray* b, int at, double v)
{
    const Real48Bytes r = encodeReal48(v);
    for (int i = 0; i < 6; ++i)
        (*b)[at + i] = static_cast<char>(r[static_cast<std::size_t>(i)]);
}

QByteArray rasterImage(const Sources& s, const Globe& g, const RasterMap& m)
{
    QByteArray out(512 + m.cols * m.rows, '\0');
    putInt16(&out, 30, m.rows);
    putInt16(&out, 32, m.cols);
    QByteArray title = toWindows1252(m.title).left(79);
    title = title.leftJustified(80, ' ');
    std::copy(title.begin(), title.end(), out.begin() + 38);
    putReal(&out, 120, m.latNorth - m.rows / 2.0 * m.cell);
    putReal(&out, 126, m.lonWest + m.cols / 2.0 * m.cell);
    putReal(&out, 132, m.cols / 2.0);
    putReal(&out, 138, m.rows / 2.0);
    putReal(&out, 144, m.cell);
    putReal(&out, 150, m.cell);
    putReal(&out, 171, kClassStep);
    putReal(&out, 177, -kClassStep);
    const GreyTable metres = tableOf(reliefMetres);
    for (int r = 0; r < m.rows; ++r)
        for (int c = 0; c < m.cols; ++c) {
            const double lon = m.lonWest + c * m.cell;
            const double lat = m.latNorth - r * m.cell;
            int k = 0;
            if (g.isLand(lon, lat)) {
                const double h = std::max(sampleGlobal(s.relief, lon, lat, metres), 0.0);
                k = 1 + std::min(static_cast<int>(h / kClassStep), kReliefClasses - 1);
            }
            out[512 + r * m.cols + c] = static_cast<char>(k);
        }
    return out;
}

QByteArray reliefLegend()
{
    QByteArray out = "Tavisol demo relief classes\r\n";
    auto line = [&](int k, const Rgb& c, const QByteArray& name) {
        out += QByteArray::number(k) + '\t' + QByteArray::number(k) + '\t' + QByteArray::number(std::lround(c.r)) + '\t' +
               QByteArray::number(std::lround(c.g)) + '\t' + QByteArray::number(std::lround(c.b)) + '\t' + name + "\r\n";
    };
    line(0, classColour(0), "Water");
    for (int k = 1; k <= kReliefClasses; ++k) {
        const int lo = static_cast<int>((k - 1) * kClassStep);
        const QByteArray name = k == kReliefClasses ? QByteArray::number(lo) + " m and above"
                                                    : QByteArray::number(lo) + " - " + QByteArray::number(lo + static_cast<int>(kClassStep)) + " m";
        line(k, classColour(k), name);
    }
    line(255, {255, 255, 255}, "No data");
    return out;
}

// --- folders ----------------------------------------------------------------------

// Builds a folder under a temporary name and renames it when complete, so that an
// interrupted run never leaves a folder that looks finished.
bool replaceFolder(const QString& built, const QString& target, QString* error)
{
    QDir dir;
    const QString old = target + QStringLiteral(".old");
    QDir(old).removeRecursively();
    if (QFileInfo::exists(target) && !dir.rename(target, old))
        return fail(error, QStringLiteral("cannot move %1 aside").arg(target));
    if (!dir.rename(built, target))
        return fail(error, QStringLiteral("cannot rename %1 to %2").arg(built, target));
    QDir(old).removeRecursively();
    return true;
}

// Removes a half-built folder when the run fails before renaming it.
class PartialFolder {
public:
    explicit PartialFolder(QString path) : path_(std::move(path)) {}
    PartialFolder(const PartialFolder&) = delete;
    PartialFolder& operator=(const PartialFolder&) = delete;
    ~PartialFolder()
    {
        if (!done_)
            QDir(path_).removeRecursively();
    }
    void done() { done_ = true; }

private:
    QString path_;
    bool done_ = false;
};

bool freshFolder(const QString& path, QString* error)
{
    QDir(path).removeRecursively();
    if (!QDir().mkpath(path))
        return fail(error, QStringLiteral("cannot create %1").arg(path));
    return true;
}

} // namespace

bool makeDemoData(const MakerOptions& o, MakerReport* report, QString* error)
{
    const QString dataDir = o.programDir + QStringLiteral("/TavisolData");
    const QString mapDir = o.programDir + QStringLiteral("/vistreldata");
    const bool makeData = o.force || !QFileInfo::exists(dataDir);
    const bool makeMaps = o.force || !QFileInfo::exists(mapDir);
    if (!makeData && !makeMaps) {
        report->lines << QStringLiteral("Both data folders exist; nothing to do.");
        return true;
    }
    if (!QFileInfo(o.programDir).isDir())
        return fail(error, QStringLiteral("%1 is not a folder").arg(o.programDir));

    Sources s;
    if (!loadSources(o, &s, error))
        return false;
    const Globe globe = buildGlobe(s);
    const std::vector<NamedRing> countries = nameCountries(s);

    if (makeData) {
        const QString tmp = dataDir + QStringLiteral(".partial");
        PartialFolder guard(tmp);
        if (!freshFolder(tmp, error))
            return false;
        if (!writeFile(tmp + QStringLiteral("/10k8b.raw"), elevationRaster(globe), error))
            return false;

        std::vector<Station> stations = chooseStations(s, o.subset ? 2500 : 14000);
        computeNormals(s, globe, &stations);
        if (!writeTiles(tmp, QStringLiteral("me"), MeanTemp, kTemperatureTiles, stations, report, error) ||
            !writeTiles(tmp, QStringLiteral("pr"), Precip, kPrecipitationTiles, stations, report, error))
            return false;
        const std::array<std::pair<int, const char*>, 6> single = {{{MaxTemp, "max.txt"},
                                                                    {MinTemp, "min.txt"},
                                                                    {VapourPressure, "vap.txt"},
                                                                    {Evapotranspiration, "pet.txt"},
                                                                    {WindSpeed, "windsp.txt"},
                                                                    {Sunshine, "sufr.txt"}}};
        for (const auto& [var, file] : single) {
            QByteArray text;
            int n = 0;
            for (const Station& st : stations)
                if (inCollection(st, var)) {
                    text += stationLine(st, var);
                    ++n;
                }
            if (!writeFile(tmp + QLatin1Char('/') + QLatin1String(file), text, error))
                return false;
            report->lines << QStringLiteral("%1: %2 stations").arg(QLatin1String(file)).arg(n);
        }

        if (!writeFile(tmp + QStringLiteral("/woma.bmp"), worldBitmap(s, globe), error) ||
            !writeFile(tmp + QStringLiteral("/Worad1.bna"), boundaryFile(countries, Extent{}), error) ||
            !writeFile(tmp + QStringLiteral("/WorldCap.bna"), capitalFile(s, Extent{}), error))
            return false;
        if (!replaceFolder(tmp, dataDir, error))
            return false;
        guard.done();
        report->lines << QStringLiteral("Wrote %1").arg(dataDir);
    }

    if (makeMaps) {
        const QString tmp = mapDir + QStringLiteral(".partial");
        PartialFolder guard(tmp);
        if (!freshFolder(tmp, error))
            return false;
        const std::array<RasterMap, 2> maps = {{
            {QStringLiteral("Europe"), QStringLiteral("Tavisol demo - Europe relief"), -25.0, 72.0, 0.05, 1400, 760},
            {QStringLiteral("Africa"), QStringLiteral("Tavisol demo - Africa relief"), -20.0, 38.0, 0.05, 1500, 1480},
        }};
        for (const RasterMap& m : maps) {
            const Extent e{m.lonWest - 0.5, m.lonWest + m.cols * m.cell + 0.5, m.latNorth - m.rows * m.cell - 0.5, m.latNorth + 0.5};
            const QString base = tmp + QLatin1Char('/') + m.name;
            if (!writeFile(base + QStringLiteral(".img"), rasterImage(s, globe, m), error) ||
                !writeFile(base + QStringLiteral(".clr"), reliefLegend(), error) ||
                !writeFile(base + QStringLiteral(".cty"), capitalFile(s, e), error) ||
                !writeFile(base + QStringLiteral(".bnd"), boundaryFile(countries, e), error))
                return false;
        }
        if (!replaceFolder(tmp, mapDir, error))
            return false;
        guard.done();
        report->lines << QStringLiteral("Wrote %1").arg(mapDir);
    }
    return true;
}

} // namespace demodata
