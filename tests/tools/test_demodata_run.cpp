// Runs make-demo-data and reads back what it wrote.
#include <gtest/gtest.h>

#include "climate.h"
#include "geo.h"
#include "real48.h"
#include "tiling.h"

#include "engine/engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

using namespace demodata;

namespace {

struct Record {
    double lat = 0, lon = 0, alt = 0;
    std::array<double, 12> v{};
    QByteArray name, country;
};

// The list reading of the station files: fields end at a comma or the line's end;
// a text field that starts with a double quote runs to the next one.
bool parseRecords(const QByteArray& data, std::vector<Record>* out, QString* why)
{
    for (QByteArray line : data.split('\n')) {
        if (line.isEmpty())
            continue;
        if (!line.endsWith('\r')) {
            *why = "line without CR LF";
            return false;
        }
        line.chop(1);
        QList<QByteArray> fields;
        int i = 0;
        while (i <= line.size()) {
            while (i < line.size() && line[i] == ' ')
                ++i;
            if (i < line.size() && line[i] == '"') {
                const int end = line.indexOf('"', i + 1);
                fields << line.mid(i + 1, end - i - 1);
                i = line.indexOf(',', end);
                if (i < 0)
                    break;
                ++i;
            } else {
                int end = line.indexOf(',', i);
                if (end < 0)
                    end = static_cast<int>(line.size());
                fields << line.mid(i, end - i);
                i = end + 1;
            }
        }
        if (fields.size() != 17) {
            *why = QStringLiteral("%1 fields in: %2").arg(fields.size()).arg(QString::fromLatin1(line));
            return false;
        }
        Record r;
        bool ok = true;
        double* nums[3] = {&r.lat, &r.lon, &r.alt};
        for (int k = 0; k < 15 && ok; ++k) {
            const double v = fields[k].toDouble(&ok);
            if (k < 3)
                *nums[k] = v;
            else
                r.v[static_cast<std::size_t>(k - 3)] = v;
        }
        if (!ok) {
            *why = "number field unreadable: " + QString::fromLatin1(line);
            return false;
        }
        r.name = fields[15];
        r.country = fields[16];
        out->push_back(r);
    }
    return true;
}

// One run serves every check below.
QTemporaryDir* dir = nullptr;

QString data(const QString& name) { return dir->path() + "/TavisolData/" + name; }

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<Record> records(const QString& name)
{
    std::vector<Record> out;
    QString why;
    EXPECT_TRUE(parseRecords(read(data(name)), &out, &why)) << name.toStdString() << ": " << why.toStdString();
    return out;
}

// The maker is a separate program built with the same sanitizers; Qt's image
// plugins keep some memory for the life of the process.
int runMaker(const QByteArray& args)
{
    const QByteArray cmd = "ASAN_OPTIONS=detect_leaks=0 \"" TAVISOL_BIN_DIR "/make-demo-data\" " + args + " > \"" +
                           dir->path().toLocal8Bit() + "/log.txt\" 2>&1";
    return std::system(cmd.constData());
}

void WritesBothFoldersCompleteWithEveryFileAPointCanAskFor()
{
    EXPECT_FALSE(QFileInfo::exists(dir->path() + "/TavisolData.partial"));
    EXPECT_FALSE(QFileInfo::exists(dir->path() + "/vistreldata.partial"));
    for (const QString prefix : {"me", "pr"})
        for (int f = 0; f < kFileCount; ++f)
            EXPECT_TRUE(QFileInfo::exists(data(tileFileName(prefix, f)))) << tileFileName(prefix, f).toStdString();
    for (const char* name : {"max.txt", "min.txt", "vap.txt", "pet.txt", "windsp.txt", "sufr.txt", "10k8b.raw",
                             "woma.bmp", "Worad1.bna", "WorldCap.bna"})
        EXPECT_TRUE(QFileInfo::exists(data(name))) << name;
    // 6 x 6 tiles and two polar files per tiled variable, six single files and four more.
    EXPECT_EQ(QDir(dir->path() + "/TavisolData").entryList(QDir::Files).size(), 2 * 38 + 6 + 4);
}

void ElevationRasterHasMountainsWhereTheyAreAndWaterAtSea()
{
    const QByteArray raw = read(data("10k8b.raw"));
    ASSERT_EQ(raw.size(), 4320 * 2160);
    // The cell the engine's lookup reads for a point.
    auto height = [&](double lon, double lat) {
        const long col = std::lround((lon + 180) * 12);
        const long row = std::lround((90 - lat) * 12);
        const int b = static_cast<unsigned char>(raw[static_cast<qsizetype>(col + (row - 1) * 4320 - 1)]);
        return b == 255 ? -1 : b * 20 - 40;
    };
    EXPECT_GT(height(7.0, 45.9), 1500);    // Alps
    EXPECT_GT(height(86.9, 28.0), 3500);   // Himalaya
    EXPECT_GT(height(-68.2, -16.5), 3000); // Altiplano
    EXPECT_LT(height(-5.0, 52.5), 800);    // Wales and England lower
    EXPECT_GE(height(2.3, 48.9), 0);       // Paris is land
    EXPECT_EQ(height(-30, 30), -1);        // Atlantic
    EXPECT_EQ(height(150, 0), -1);         // Pacific
    EXPECT_EQ(height(51, 42), -1);         // Caspian Sea
    EXPECT_EQ(height(-87.5, 47.7), -1);    // Lake Superior
}

void StationFilesHoldRealPlacesInTheRecordFormatWithinTheRunLimit()
{
    std::set<std::pair<long, long>> meanStations;
    std::map<int, int> perFile;
    for (int f = 0; f < kFileCount; ++f) {
        const std::vector<Record> recs = records(tileFileName("me", f));
        perFile[f] = static_cast<int>(recs.size());
        for (const Record& r : recs) {
            meanStations.insert({std::lround(r.lat * 1000), std::lround(r.lon * 1000)});
            EXPECT_FALSE(r.name.isEmpty());
            EXPECT_FALSE(r.country.isEmpty());
            EXPECT_TRUE(r.alt == 9999 || (r.alt >= -40 && r.alt <= 9000)) << r.alt;
        }
    }
    EXPECT_GE(meanStations.size(), 10000u);
    // No point reads more than the station array holds.
    for (double lat = -89; lat <= 89; lat += 4)
        for (double lon = -179; lon <= 179; lon += 6) {
            int n = 0;
            for (int f : filesForPoint(kTemperatureTiles, lon, lat))
                n += perFile[f];
            EXPECT_LE(n, 30000);
        }
    // Points near the south and west edges of their tiles find every station within
    // 1000 km in what they read, and none twice.
    std::vector<std::set<std::pair<long, long>>> inFile(kFileCount);
    for (int f = 0; f < kFileCount; ++f)
        for (const Record& r : records(tileFileName("me", f)))
            inFile[static_cast<std::size_t>(f)].insert({std::lround(r.lat * 1000), std::lround(r.lon * 1000)});
    int near = 0, doubled = 0;
    for (double lat : {-49.9, -2.0, 11.05, 25.05, 37.05, 45.0, 60.5})
        for (double lon : {-137.9, -86.9, -60.9, -15.9, 30.1, 108.1, 12.0}) {
            const std::vector<int> files = filesForPoint(kTemperatureTiles, lon, lat);
            for (const auto& st : meanStations) {
                if (greatCircleKm(lon, lat, st.second / 1000.0, st.first / 1000.0) > 1000)
                    continue;
                int copies = 0;
                for (int f : files)
                    copies += static_cast<int>(inFile[static_cast<std::size_t>(f)].count(st));
                EXPECT_GE(copies, 1) << lon << ',' << lat;
                ++near;
                doubled += copies > 1;
            }
        }
    EXPECT_GT(near, 1000);
    EXPECT_EQ(doubled, 0);
    // The other collections are smaller, as real ones are.
    const std::size_t maxCount = records("max.txt").size();
    EXPECT_GT(maxCount, 2000u);
    EXPECT_LT(maxCount, meanStations.size());
    EXPECT_LT(records("sufr.txt").size(), maxCount);
}

void StationValuesArePhysicallyConsistentAcrossVariables()
{
    using Key = std::pair<long, long>;
    auto byPosition = [&](const QStringList& files) {
        std::map<Key, Record> out;
        for (const QString& f : files)
            for (const Record& r : records(f))
                out[{std::lround(r.lat * 1000), std::lround(r.lon * 1000)}] = r;
        return out;
    };
    QStringList me, pr;
    for (int f = 0; f < kFileCount; ++f) {
        me << tileFileName("me", f);
        pr << tileFileName("pr", f);
    }
    const auto t = byPosition(me), p = byPosition(pr), tx = byPosition({"max.txt"}), tn = byPosition({"min.txt"}),
               vap = byPosition({"vap.txt"}), pet = byPosition({"pet.txt"}), wind = byPosition({"windsp.txt"}),
               sun = byPosition({"sufr.txt"});
    EXPECT_GE(p.size(), 10000u);
    EXPECT_GE(t.size(), 10000u);
    EXPECT_LT(tx.size(), t.size());
    int checked = 0;
    int unknownAltitude = 0;
    for (const auto& [key, mean] : t) {
        unknownAltitude += mean.alt == 9999;
        const auto hi = tx.find(key);
        const auto lo = tn.find(key);
        if (hi == tx.end() || lo == tn.end())
            continue;
        ++checked;
        for (std::size_t m = 0; m < 12; ++m) {
            EXPECT_LE(lo->second.v[m], mean.v[m]) << mean.name.toStdString();
            EXPECT_LE(mean.v[m], hi->second.v[m]) << mean.name.toStdString();
        }
        const auto e = vap.find(key);
        if (e != vap.end()) {
            for (std::size_t m = 0; m < 12; ++m)
                EXPECT_LE(e->second.v[m], saturationVapourPressure(lo->second.v[m] + 0.05) + 1e-9);
        }
    }
    EXPECT_GT(checked, 300);
    EXPECT_GT(unknownAltitude, 0);
    EXPECT_LT(unknownAltitude, static_cast<int>(t.size()) / 50);
    for (const auto* coll : {&p, &vap, &pet, &wind})
        for (const auto& [key, r] : *coll)
            for (double v : r.v)
                EXPECT_GE(v, 0);
    // Sunshine lies in 0..1 and falls as rain rises.
    double sunWet = 0, sunDry = 0;
    int nWet = 0, nDry = 0;
    for (const auto& [key, s] : sun) {
        const auto rain = p.find(key);
        for (std::size_t m = 0; m < 12; ++m) {
            EXPECT_GE(s.v[m], 0);
            EXPECT_LE(s.v[m], 1);
            if (rain == p.end())
                continue;
            if (rain->second.v[m] > 150) {
                sunWet += s.v[m];
                ++nWet;
            } else if (rain->second.v[m] < 30) {
                sunDry += s.v[m];
                ++nDry;
            }
        }
    }
    ASSERT_GT(nWet, 0);
    ASSERT_GT(nDry, 0);
    EXPECT_LT(sunWet / nWet + 0.15, sunDry / nDry);
}

// A plain inverse-distance estimate from the files a point reads (the nearest 20
// stations within 1000 km) stays physically consistent across the variables.
void InverseDistanceEstimatesAreConsistentAtLandPoints()
{
    auto estimate = [&](const QStringList& files, double lon, double lat) {
        std::vector<std::pair<double, const Record*>> near;
        std::vector<Record> all;
        for (const QString& f : files)
            for (const Record& r : records(f))
                all.push_back(r);
        for (const Record& r : all) {
            const double km = greatCircleKm(lon, lat, r.lon, r.lat);
            if (km <= 1000)
                near.push_back({std::max(km, 0.1), &r});
        }
        std::sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        if (near.size() > 20)
            near.resize(20);
        std::array<double, 12> out{};
        double wsum = 0;
        for (const auto& [km, r] : near) {
            wsum += 1 / km;
            for (std::size_t m = 0; m < 12; ++m)
                out[m] += r->v[m] / km;
        }
        EXPECT_GE(near.size(), 5u) << lon << ',' << lat << ' ' << files.join(' ').toStdString();
        for (double& v : out)
            v /= wsum;
        return out;
    };
    auto tiles = [](const TileBounds& b, const QString& prefix, double lon, double lat) {
        QStringList names;
        for (int f : filesForPoint(b, lon, lat))
            names << tileFileName(prefix, f);
        return names;
    };
    const std::vector<std::pair<double, double>> points = {
        {12.5, 41.9}, {36.8, -1.3}, {-105.0, 39.7}, {77.2, 28.6}, {-58.4, -34.6}, {37.6, 55.8}, {151.2, -33.9},
        {-47.9, -15.8}, {2.35, 48.85}, {116.4, 39.9}, {-3.7, 40.4}, {28.0, -26.2}};
    for (const auto& [lon, lat] : points) {
        const auto t = estimate(tiles(kTemperatureTiles, "me", lon, lat), lon, lat);
        const auto p = estimate(tiles(kPrecipitationTiles, "pr", lon, lat), lon, lat);
        const auto tx = estimate({"max.txt"}, lon, lat);
        const auto tn = estimate({"min.txt"}, lon, lat);
        const auto e = estimate({"vap.txt"}, lon, lat);
        const auto pet = estimate({"pet.txt"}, lon, lat);
        const auto w = estimate({"windsp.txt"}, lon, lat);
        const auto sun = estimate({"sufr.txt"}, lon, lat);
        for (std::size_t m = 0; m < 12; ++m) {
            SCOPED_TRACE(testing::Message() << lon << ',' << lat << " month " << m + 1);
            EXPECT_LT(tn[m], t[m]);
            EXPECT_LT(t[m], tx[m]);
            EXPECT_GE(p[m], 0);
            EXPECT_GE(e[m], 0);
            EXPECT_LE(e[m], saturationVapourPressure(tn[m]));
            EXPECT_GE(pet[m], 0);
            EXPECT_GT(w[m], 0);
            EXPECT_GE(sun[m], 0);
            EXPECT_LE(sun[m], 1);
        }
    }
}

// The engine's own eight-variable chain, as the location results window runs
// it, over the made folder: every variable is estimated and the estimates
// agree with each other physically.
void EngineChainIsPhysicallyConsistentAtLandPoints()
{
    namespace eng = tavisol::engine;
    const std::filesystem::path folder = (dir->path() + "/TavisolData").toStdString();
    const std::vector<std::pair<float, float>> points = {
        {12.5F, 41.9F}, {36.8F, -1.3F}, {-105.0F, 39.7F}, {116.4F, 39.9F},
        {-60.0F, -3.1F}, {37.6F, 55.8F}, {-21.9F, 64.1F}, {28.0F, -26.2F}};
    for (const auto& [lon, lat] : points) {
        SCOPED_TRACE(testing::Message() << lon << ',' << lat);
        eng::EngineState state;
        eng::SetInitialValues(state);
        state.DataFolder = folder;
        eng::Integer water = 0;
        state.CalcLongitude = lon;
        state.CalcLatitude = lat;
        state.CalcAltitude = static_cast<float>(eng::GetElevation(folder, lon, lat, water));
        EXPECT_EQ(water, 0) << "a land point";
        std::array<eng::Months13, 8> best{};
        for (eng::Integer v = 0; v < 8; ++v) {
            ASSERT_TRUE(eng::RunLocationResultsChain(state, v)) << "variable " << v;
            EXPECT_GE(state.ActiveCount, 1) << "variable " << v;
            for (int m = 1; m <= 13; ++m) {
                ASSERT_TRUE(std::isfinite(state.CurResult.Best[m]));
                ASSERT_TRUE(std::isfinite(state.CurResult.StdErr[m]));
                best[v][m] = eng::ClampValue(state.CurResult.Best[m], v);
            }
        }
        for (int m = 1; m <= 13; ++m) {
            SCOPED_TRACE(testing::Message() << "month " << m);
            // Estimates of three collections of different stations: allow a little.
            EXPECT_LE(best[2][m], best[0][m] + 0.5F);
            EXPECT_LE(best[0][m], best[1][m] + 0.5F);
            EXPECT_GT(best[1][m] - best[2][m], 1.0F) << "a daily range";
            EXPECT_GT(best[0][m], -70.0F);
            EXPECT_LT(best[1][m], 50.0F);
            EXPECT_LE(best[7][m], 1.0F);
            for (int v = 3; v < 8; ++v)
                EXPECT_GE(best[v][m], 0.0F) << "variable " << v;
        }
        // The annual value of precipitation is the monthly mean.
        EXPECT_GT(best[3][13], 2.0F);
        EXPECT_LT(best[3][13], 600.0F);
    }
}

void WorldBitmapBoundariesAndCapitalsAreReadable()
{
    const QByteArray bmp = read(data("woma.bmp"));
    ASSERT_GT(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24u); // bits per pixel
    const QImage img = QImage::fromData(bmp, "BMP");
    ASSERT_EQ(img.width(), 2160);
    ASSERT_EQ(img.height(), 1080);
    auto pixel = [&](double lon, double lat) {
        return img.pixelColor(static_cast<int>((lon + 180) * 6), static_cast<int>((90 - lat) * 6));
    };
    const QColor sea = pixel(-30, 30);
    EXPECT_GT(sea.blue(), sea.red() + 40);
    const QColor land = pixel(20, 10); // Chad
    EXPECT_LT(land.blue(), land.red());
    EXPECT_LT(land.lightness(), 220); // white lines stand out
    EXPECT_GT(land.lightness(), 60);  // and black dots

    int shapes = 0, points = 0;
    for (const QByteArray& line : read(data("Worad1.bna")).split('\n')) {
        if (line.startsWith('"'))
            ++shapes;
        else if (line.split(',').size() >= 2) {
            ++points;
            const auto f = line.split(',');
            EXPECT_LE(std::abs(f[0].toDouble()), 180.0);
            EXPECT_LE(std::abs(f[1].trimmed().toDouble()), 90.0);
        }
    }
    EXPECT_GT(shapes, 200);
    EXPECT_GT(points, 20000);
    const QByteArray caps = read(data("WorldCap.bna"));
    EXPECT_TRUE(caps.contains("\"Paris\",\"France\",1\r\n2.3"));
    EXPECT_TRUE(caps.contains("\"Canberra\""));
    EXPECT_GT(caps.count("\r\n") / 2, 150);
}

void RasterMapsHaveHeadersThatGiveBackTheirGeoreference()
{
    const QStringList maps = QDir(dir->path() + "/vistreldata").entryList({"*.img"});
    ASSERT_GE(maps.size(), 2);
    for (const QString& img : maps) {
        const QString base = dir->path() + "/vistreldata/" + img.chopped(4);
        for (const char* ext : {".clr", ".cty", ".bnd"})
            EXPECT_TRUE(QFileInfo::exists(base + ext)) << (base + ext).toStdString();
        const QByteArray f = read(base + ".img");
        ASSERT_GT(f.size(), 512);
        auto i16 = [&](int at) { return static_cast<std::int16_t>(static_cast<unsigned char>(f[at]) | (static_cast<unsigned char>(f[at + 1]) << 8)); };
        auto real = [&](int at) {
            Real48Bytes b;
            for (int k = 0; k < 6; ++k)
                b[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(f[at + k]);
            return decodeReal48(b);
        };
        const int rows = i16(30), cols = i16(32);
        ASSERT_GT(rows, 10);
        ASSERT_GT(cols, 10);
        EXPECT_EQ(f.size(), 512 + rows * cols);
        EXPECT_TRUE(f.mid(38, 80).startsWith("Tavisol demo"));
        EXPECT_EQ(f[117], ' ');
        const double cLat = real(120), cLon = real(126), cCol = real(132), cRow = real(138), w = real(144), h = real(150);
        EXPECT_NEAR(cCol, cols / 2.0, 1e-9);
        EXPECT_NEAR(cRow, rows / 2.0, 1e-9);
        EXPECT_GT(w, 0.01);
        EXPECT_NEAR(w, h, 1e-12);
        // Cell sizes and centres survive the program's flooring to 0.001.
        EXPECT_NEAR(std::floor((w + 0.00001) * 1000) / 1000, w, 1e-9);
        const double north = cLat + cRow * h;
        EXPECT_LT(north, 90 - 1.0 / 24);
        EXPECT_GT(cLat - cRow * h, -90);
        EXPECT_GE(cLon - cCol * w, -180);
        EXPECT_LE(cLon + cCol * w, 180);
        EXPECT_NEAR(real(171) + real(177), 0, 1e-9); // class 1 starts at 0 m
        std::set<int> classes;
        for (qsizetype k = 512; k < f.size(); ++k)
            classes.insert(static_cast<unsigned char>(f[k]));
        EXPECT_TRUE(classes.count(0)) << "no water";
        EXPECT_GT(*classes.rbegin(), 8) << "no mountains";

        // Legend: a first field, then one TAB-separated record per class used.
        const QList<QByteArray> legend = read(base + ".clr").split('\n');
        std::set<int> named;
        for (qsizetype k = 1; k < legend.size(); ++k) {
            if (legend[k].trimmed().isEmpty())
                continue;
            EXPECT_FALSE(legend[k].contains(','));
            const QList<QByteArray> parts = legend[k].trimmed().split('\t');
            ASSERT_EQ(parts.size(), 6) << legend[k].toStdString();
            for (int p = 0; p < 5; ++p) {
                const int v = parts[p].toInt();
                EXPECT_GE(v, 0);
                EXPECT_LE(v, 255);
            }
            for (int c = parts[0].toInt(); c <= parts[1].toInt(); ++c)
                named.insert(c);
        }
        for (int c : classes)
            EXPECT_TRUE(named.count(c)) << "class " << c << " has no legend";
    }
}

void LeavesExistingFoldersAlone()
{
    QFile marker(dir->path() + "/TavisolData/mine.txt");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(runMaker("--subset \"" + dir->path().toLocal8Bit() + '"'), 0);
    EXPECT_TRUE(marker.exists());
    EXPECT_NE(runMaker(""), 0); // no folder given
    // Missing sources: a message, and no folder that looks made.
    const QString empty = dir->path() + "/empty";
    ASSERT_TRUE(QDir().mkpath(empty));
    EXPECT_NE(runMaker("--marble-data /nonexistent \"" + empty.toLocal8Bit() + '"'), 0);
    EXPECT_TRUE(read(dir->path() + "/log.txt").contains("cannot"));
    EXPECT_TRUE(QDir(empty).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    marker.remove();
}

TEST(DemoDataRun, WritesCompleteReadableFolders)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    dir = &tmp;
    ASSERT_EQ(runMaker('"' + tmp.path().toLocal8Bit() + '"'), 0) << read(tmp.path() + "/log.txt").toStdString();
    for (auto check : {WritesBothFoldersCompleteWithEveryFileAPointCanAskFor,
                       ElevationRasterHasMountainsWhereTheyAreAndWaterAtSea,
                       StationFilesHoldRealPlacesInTheRecordFormatWithinTheRunLimit,
                       StationValuesArePhysicallyConsistentAcrossVariables,
                       InverseDistanceEstimatesAreConsistentAtLandPoints,
                       EngineChainIsPhysicallyConsistentAtLandPoints,
                       WorldBitmapBoundariesAndCapitalsAreReadable,
                       RasterMapsHaveHeadersThatGiveBackTheirGeoreference, LeavesExistingFoldersAlone})
        check();
    dir = nullptr;
}

} // namespace
