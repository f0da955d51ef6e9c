// The fast path (kept station files, index search, azimuths once per pair)
// against the plain steps, on a fixture made to stress the selection; files
// changed or removed on disk; the kept elevation raster; several threads.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "fixture.h"
#include "identity.h"

namespace tavisol::engine::testing {
namespace {

using namespace std::chrono_literals;

// Points of the fixture stay inside one set of mean-temperature tiles.
constexpr float CentreLon = 12.483f;
constexpr float CentreLat = 41.9f;

// A later modification time than the file had, whatever the clock's step:
// a change of the same size must be told apart without waiting.
void StampLater(const std::filesystem::path &file, std::filesystem::file_time_type before) {
    std::filesystem::last_write_time(file, before + 1s);
}

Station At(double lat, double lon, double alt, const std::string &name, double base) {
    Station s;
    s.lat = lat;
    s.lon = lon;
    s.alt = alt;
    s.name = name;
    for (int m = 0; m < 12; ++m)
        s.values[static_cast<std::size_t>(m)] = base + 8 * std::sin(m * 0.52) + 0.01 * name.size();
    return s;
}

// Stations that make the selection's corner cases: rings of stations at
// equal distances from the centre, stations stacked on one spot, the same
// stations in two tiles, altitudes 9999 and at the altitude window's bounds,
// a few far away and one at the centre's antipode.
std::vector<Station> StressStations(std::mt19937 &rng, int salt) {
    std::vector<Station> out;
    std::uniform_real_distribution<double> u(-1, 1);
    int n = 0;
    auto name = [&] { return "S" + std::to_string(salt) + "_" + std::to_string(n++); };
    for (double r : {0.0, 0.01, 0.3, 1.0, 2.5, 6.0}) // rings: mirror images east and west are equally far
        for (double a : {0.0, 0.7, 1.9}) {
            const double dlat = r * std::cos(a), dlon = r * std::sin(a);
            out.push_back(At(CentreLat + dlat, CentreLon + dlon, 9999, name(), 10 + r));
            out.push_back(At(CentreLat + dlat, CentreLon - dlon, 500, name(), 11 + r));
        }
    for (int i = 0; i < 4; ++i) // one spot, four stations
        out.push_back(At(CentreLat + 0.5, CentreLon + 0.5, i == 0 ? 9999 : 200.0 * i, name(), 12 + i));
    for (int i = 0; i < 60; ++i) {
        const double alt = i % 7 == 0 ? 9999 : (i % 5 == 0 ? 300 : (i % 3 == 0 ? 1500 : 1000 + 900 * u(rng)));
        out.push_back(At(CentreLat + 5 * u(rng), CentreLon + 7 * u(rng), alt, name(), 15 + 3 * u(rng)));
    }
    out.push_back(At(-CentreLat, CentreLon - 180, 10, name(), 20)); // antipode
    out.push_back(At(CentreLat + 0.2, CentreLon + 360.0 * 27778, 10, name(), 21)); // written many turns away
    out.push_back(At(CentreLat + 0.2, CentreLon + 720, 10, name(), 21));
    out.push_back(At(180 - CentreLat - 0.3, CentreLon + 180, 10, name(), 22)); // over the pole
    out.push_back(At(-30, -60, 10, name(), 25));
    return out;
}

class StressFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 rng(7);
        const auto a = StressStations(rng, 1);
        const auto b = StressStations(rng, 2);
        std::vector<Station> both = a;
        both.insert(both.end(), b.begin(), b.end());
        const auto tiles = TileFileNames(0, CentreLat, CentreLon);
        // The same stations in the first two tiles (doubled), others in the third, the fourth empty.
        folder.Write(tiles[0], StationFile(a));
        folder.Write(tiles[1], StationFile(both));
        folder.Write(tiles[2], StationFile(b));
        folder.Write(tiles[3], "");
        for (const auto &f : TileFileNames(3, CentreLat, CentreLon))
            folder.Write(f, StationFile(both));
        for (const char *f : {"max.txt", "min.txt", "vap.txt", "pet.txt", "windsp.txt"})
            folder.Write(f, StationFile(both));
        folder.Write("sufr.txt", StationFile(a));
        for (const Station &s : both)
            stations.push_back(s);
    }
    TempFolder folder{"tavisol_fast"};
    std::vector<Station> stations;
};

TEST_F(StressFixture, FastPathGivesThePlainResultsFieldByField) {
    StatePair pair(folder.path());
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> u(-1, 1);
    std::uniform_int_distribution<std::size_t> anyStation(0, stations.size() - 1);
    struct {
        int doubled = 0, hit = 0, none = 0, short_ = 0, tie = 0, lastAtLimit = 0;
    } seen;
    for (int point = 0; point < 2000; ++point) {
        DrawSettings(rng, pair);
        // The point: the centre, a station's own place, beside one, or anywhere near.
        double lon = CentreLon, lat = CentreLat;
        const Station &s = stations[anyStation(rng)];
        switch (point % 4) {
        case 0: break;
        case 1: lon = s.lon, lat = s.lat; break;
        case 2: lon = s.lon + 0.01 * u(rng), lat = s.lat + 0.01 * u(rng); break;
        default: lon = CentreLon + 8 * u(rng), lat = CentreLat + 4 * u(rng); break;
        }
        if (TileFileNames(0, static_cast<float>(lat), static_cast<float>(lon)) != TileFileNames(0, CentreLat, CentreLon))
            lon = CentreLon, lat = CentreLat;
        const Single flon = static_cast<Single>(lon), flat = static_cast<Single>(lat);
        // Limits placed exactly on a station's distance or altitude.
        const Station &t = stations[anyStation(rng)];
        const Single exact = GreatCircleDistance(flon, flat, static_cast<Single>(t.lon), static_cast<Single>(t.lat));
        if (point % 5 == 1)
            pair.plain.MaxDistance = pair.fast.MaxDistance = exact;
        if (point % 7 == 2)
            pair.plain.MinDistance = pair.fast.MinDistance = exact;
        if (point % 3 == 0 && t.alt != 9999) {
            pair.plain.AltWindowOn = pair.fast.AltWindowOn = 1;
            const Single bound = static_cast<Single>(t.alt);
            (point % 2 ? pair.plain.MinAltitude : pair.plain.MaxAltitude) = bound;
            (point % 2 ? pair.fast.MinAltitude : pair.fast.MaxAltitude) = bound;
        }
        const Integer variable = static_cast<Integer>(point % 8);
        const Chain chain = static_cast<Chain>(point % 3);
        const Single alt = static_cast<Single>(point % 2 ? 0 : 900 * (1 + u(rng)));
        const std::string diff = CompareAt(pair, chain, variable, flon, flat, alt);
        ASSERT_EQ(diff, "") << "point " << point << " at " << lon << ", " << lat << ", variable " << variable;
        const EngineState &f = pair.fast;
        seen.doubled += f.CurWarnings.Doubled == True;
        seen.hit += f.NeighbourCount > 1 && f.Neighbours[1].Distance < f.MinDistance;
        seen.none += f.NeighbourCount == 0;
        seen.short_ += f.NeighbourCount > 0 && f.NeighbourCount < std::clamp<int>(f.MaxStations, 1, 20);
        for (int k = 2; k <= f.NeighbourCount; ++k)
            if (f.Neighbours[k].Distance == f.Neighbours[k - 1].Distance &&
                f.Neighbours[k].Longitude != f.Neighbours[k - 1].Longitude) {
                ++seen.tie;
                break;
            }
        seen.lastAtLimit += f.NeighbourCount > 0 && f.Neighbours[f.NeighbourCount].Distance == f.MaxDistance;
    }
    // The cases the fixture is made for did occur.
    EXPECT_GT(seen.doubled, 50);
    EXPECT_GT(seen.hit, 50);
    EXPECT_GT(seen.none, 5);
    EXPECT_GT(seen.short_, 50);
    EXPECT_GT(seen.tie, 50);
    EXPECT_GT(seen.lastAtLimit, 10);
}

TEST_F(StressFixture, DoubledStationsFromTwoTilesAreFoundTogetherAndTheLaterIsSwitchedOff) {
    StatePair pair(folder.path());
    ASSERT_EQ(CompareAt(pair, Chain::LocationResults, 0, CentreLon, CentreLat, 17), "");
    const EngineState &s = pair.fast;
    EXPECT_EQ(s.CurWarnings.Doubled, True);
    EXPECT_EQ(s.Neighbours[1].Distance, 0.0f);
    EXPECT_EQ(s.Neighbours[2].Distance, 0.0f);
    EXPECT_EQ(s.Neighbours[2].Active, 0);
}

// Index bound: the engine's rounded distance stays within the margin of the
// distance the index derives from unit vectors, however near or opposite.
TEST(StationIndex, RoundedDistanceStaysWithinTheMargin) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-1, 1);
    double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const Single lon1 = static_cast<Single>(180 * u(rng)), lat1 = static_cast<Single>(90 * u(rng));
        Single lon2, lat2;
        const double scale = std::pow(10.0, -6 * std::abs(u(rng)));
        if (i % 3 == 0) { // near
            lon2 = static_cast<Single>(lon1 + 2 * scale * u(rng));
            lat2 = static_cast<Single>(lat1 + scale * u(rng));
        } else if (i % 3 == 1) { // near the antipode
            lon2 = static_cast<Single>(lon1 + 180 + 2 * scale * u(rng));
            lat2 = static_cast<Single>(-lat1 + scale * u(rng));
        } else {
            lon2 = static_cast<Single>(180 * u(rng));
            lat2 = static_cast<Single>(90 * u(rng));
        }
        auto unit = [](Single lon, Single lat, double v[3]) {
            const double pi = 3.14159265358979323846;
            const double a = lon * pi / 180, b = lat * pi / 180;
            v[0] = std::cos(b) * std::cos(a), v[1] = std::cos(b) * std::sin(a), v[2] = std::sin(b);
        };
        double p[3], q[3];
        unit(lon1, lat1, p);
        unit(lon2, lat2, q);
        const double dot = std::clamp(p[0] * q[0] + p[1] * q[1] + p[2] * q[2], -1.0, 1.0);
        const double chordKm = 6370.997 * std::acos(dot);
        worst = std::max(worst, std::abs(GreatCircleDistance(lon1, lat1, lon2, lat2) - chordKm));
    }
    EXPECT_LT(worst, StationIndex::MarginKm / 3) << "worst difference " << worst << " km";
}

// ---- Files changed on disk ------------------------------------------------------

std::string OneStationFile(const std::string &name, double lat = CentreLat, double value = 10) {
    return StationFile({At(lat, CentreLon, 100, name, value)});
}

std::string ErrorOf(DataFiles &files, const std::filesystem::path &file) {
    try {
        files.ReadStationFile(file, MaxStationRecords);
    } catch (const EngineError &e) {
        return e.what();
    }
    return "";
}

std::string ChainError(EngineState &state) {
    try {
        RunLocationResultsChain(state, 1);
    } catch (const EngineError &e) {
        return e.what();
    }
    return "";
}

TEST(CachingDataFiles, ChangedFileIsReadAgainAndAMissingOrBadOneFailsEveryTime) {
    TempFolder folder("tavisol_cache");
    auto files = std::make_shared<CachingDataFiles>(0ms);
    EngineState state = MakeState(folder, CentreLat, CentreLon, 17);
    state.Files = files;
    folder.Write("max.txt", OneStationFile("First"));
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "First");
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(files->StationFilesParsed(), 1u) << "an unchanged file is read once";

    folder.Write("max.txt", OneStationFile("Second longer"));
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "Second longer");

    // Same size, later time stamp.
    const auto stamped = std::filesystem::last_write_time(folder.path() / "max.txt");
    folder.Write("max.txt", OneStationFile("Third  longer"));
    StampLater(folder.path() / "max.txt", stamped);
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "Third  longer");

    PlainDataFiles plain;
    const auto file = folder.path() / "max.txt";
    std::filesystem::remove(file);
    const std::string missing = ErrorOf(plain, file);
    ASSERT_NE(missing, "");
    EXPECT_EQ(ChainError(state), missing);
    EXPECT_EQ(ChainError(state), missing);

    folder.Write("max.txt", OneStationFile("Back"));
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "Back");

    folder.Write("max.txt", OneStationFile("Bad") + "1,2,x\r\n");
    const std::string bad = ErrorOf(plain, file);
    ASSERT_NE(bad, "");
    const std::size_t parsed = files->StationFilesParsed();
    EXPECT_EQ(ChainError(state), bad);
    EXPECT_EQ(ChainError(state), bad);
    EXPECT_EQ(files->StationFilesParsed(), parsed + 2) << "a bad file is never kept";
}

TEST(CachingDataFiles, FileChangedWithinTheSettleTimeIsReadEveryTime) {
    TempFolder folder("tavisol_cache");
    auto files = std::make_shared<CachingDataFiles>(); // the program's settle time
    EngineState state = MakeState(folder, CentreLat, CentreLon, 17);
    state.Files = files;
    folder.Write("max.txt", OneStationFile("Alpha"));
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "Alpha");
    // At once, same size: the time stamps may not tell, the settle time does.
    folder.Write("max.txt", OneStationFile("Gamma"));
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(state.Neighbours[1].Name, "Gamma");
    // Unchanged since, but still within the settle time: a rewrite inside one
    // time-stamp step would look the same, so the file is read again.
    const std::size_t parsed = files->StationFilesParsed();
    RunLocationResultsChain(state, 1);
    EXPECT_EQ(files->StationFilesParsed(), parsed + 1);
}

// A batch run's worker checks each file once per step of its run.
TEST(CachingDataFiles, SteppedViewReadsAChangedFileAtTheNextStep) {
    TempFolder folder("tavisol_cache");
    SteppedDataFiles view(std::make_shared<CachingDataFiles>(0ms));
    const auto file = folder.path() / "max.txt";
    auto name = [&] { return view.ReadStationFile(file, MaxStationRecords)->front().Name; };
    folder.Write("max.txt", OneStationFile("First"));
    EXPECT_EQ(name(), "First");
    folder.Write("max.txt", OneStationFile("Second longer"));
    EXPECT_EQ(name(), "First") << "one check per step";
    view.NextStep();
    EXPECT_EQ(name(), "Second longer");

    std::filesystem::remove(file);
    view.NextStep();
    PlainDataFiles plain;
    ASSERT_NE(ErrorOf(plain, file), "");
    EXPECT_EQ(ErrorOf(view, file), ErrorOf(plain, file));
    EXPECT_EQ(ErrorOf(view, file), ErrorOf(plain, file));

    testsupport::WriteElevationRaster(folder.path(), 7, {{{10.0f, 45.0f}, 100}});
    EXPECT_EQ(GetElevation(view, folder.path(), 10.0f, 45.0f), GetElevation(plain, folder.path(), 10.0f, 45.0f));
    const auto stamped = std::filesystem::last_write_time(folder.path() / ElevationRasterName);
    testsupport::WriteElevationRaster(folder.path(), 7, {{{10.0f, 45.0f}, 50}});
    StampLater(folder.path() / ElevationRasterName, stamped);
    view.NextStep();
    EXPECT_EQ(GetElevation(view, folder.path(), 10.0f, 45.0f), 50 * 20 - 40);

    // What the step's check cannot give goes to the shared reader, which
    // fails as the plain one: more records than a run allows, a raster gone.
    folder.Write("max.txt", OneStationFile("A") + OneStationFile("B"));
    view.NextStep();
    EXPECT_EQ(view.ReadStationFile(file, MaxStationRecords)->size(), 2u);
    const auto tooMany = [&](DataFiles &files) {
        try {
            files.ReadStationFile(file, 1);
        } catch (const EngineError &e) {
            return std::string(e.what());
        }
        return std::string();
    };
    ASSERT_NE(tooMany(plain), "");
    EXPECT_EQ(tooMany(view), tooMany(plain));
    std::filesystem::remove(folder.path() / ElevationRasterName);
    view.NextStep();
    const auto noRaster = [&](DataFiles &files) {
        try {
            GetElevation(files, folder.path(), 10.0f, 45.0f);
        } catch (const EngineError &e) {
            return std::string(e.what());
        }
        return std::string();
    };
    ASSERT_NE(noRaster(plain), "");
    EXPECT_EQ(noRaster(view), noRaster(plain));
}

TEST(CachingDataFiles, TooManyRecordsFailAsThePlainReaderFails) {
    TempFolder folder("tavisol_cache");
    folder.Write("max.txt", OneStationFile("A") + OneStationFile("B") + OneStationFile("C"));
    CachingDataFiles files(0ms);
    PlainDataFiles plain;
    const auto file = folder.path() / "max.txt";
    EXPECT_EQ(files.ReadStationFile(file, 3)->size(), 3u);
    std::string expected, got;
    try { plain.ReadStationFile(file, 2); } catch (const EngineError &e) { expected = e.what(); }
    try { files.ReadStationFile(file, 2); } catch (const EngineError &e) { got = e.what(); }
    ASSERT_NE(expected, "");
    EXPECT_EQ(got, expected);
}

TEST(CachingDataFiles, KeptRasterGivesThePlainBytesAndFollowsChanges) {
    TempFolder folder("tavisol_cache");
    testsupport::WriteElevationRaster(folder.path(), 7, {{{10.0f, 45.0f}, 100}, {{-70.0f, -20.0f}, 255}});
    CachingDataFiles files(0ms);
    PlainDataFiles plain;
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> lon(-180, 180), lat(-90, 89.9f);
    for (int i = 0; i < 2000; ++i) {
        const float x = i == 0 ? 10.0f : (i == 1 ? -70.0f : lon(rng));
        const float y = i == 0 ? 45.0f : (i == 1 ? -20.0f : lat(rng));
        Integer w1 = 0, w2 = 0;
        ASSERT_EQ(GetElevation(files, folder.path(), x, y, w1), GetElevation(plain, folder.path(), x, y, w2));
        ASSERT_EQ(w1, w2);
    }
    const auto stamped = std::filesystem::last_write_time(folder.path() / ElevationRasterName);
    testsupport::WriteElevationRaster(folder.path(), 7, {{{10.0f, 45.0f}, 50}});
    StampLater(folder.path() / ElevationRasterName, stamped);
    Integer water = 0;
    EXPECT_EQ(GetElevation(files, folder.path(), 10.0f, 45.0f, water), 50 * 20 - 40);

    const auto raster = folder.path() / ElevationRasterName;
    auto failure = [&](DataFiles &f) {
        try { GetElevation(f, folder.path(), 10.0f, 45.0f, water); } catch (const EngineError &e) { return std::string(e.what()); }
        return std::string();
    };
    for (const std::uintmax_t size : {ElevationRasterBytes + 1, std::uintmax_t{100}}) {
        std::filesystem::resize_file(raster, size);
        ASSERT_NE(failure(plain), "");
        EXPECT_EQ(failure(files), failure(plain));
    }
    std::filesystem::remove(raster);
    EXPECT_EQ(failure(files), failure(plain));
    EXPECT_EQ(failure(files), failure(plain));
}

// Worker threads each own a state and share the program's reader.
TEST_F(StressFixture, ThreadsWithTheirOwnStatesGiveTheSingleThreadResults) {
    std::vector<std::pair<Single, Single>> points;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < 64; ++i)
        points.emplace_back(static_cast<Single>(CentreLon + 8 * u(rng)), static_cast<Single>(CentreLat + 4 * u(rng)));
    auto shared = std::make_shared<CachingDataFiles>(0ms);
    auto run = [&](std::size_t i) {
        EngineState state = MakeState(folder, points[i].second, points[i].first, 300);
        state.Files = shared;
        return RunChain(state, Chain::RasterExport, static_cast<Integer>(i % 8));
    };
    std::vector<ChainOutcome> single;
    for (std::size_t i = 0; i < points.size(); ++i)
        single.push_back(run(i));
    shared->Clear();
    std::vector<ChainOutcome> threaded(points.size());
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&, t] {
            for (std::size_t i = static_cast<std::size_t>(t); i < points.size(); i += 4)
                threaded[i] = run(i);
        });
    for (auto &w : workers)
        w.join();
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(Differences(single[i], threaded[i]), "") << "point " << i;
}

} // namespace
} // namespace tavisol::engine::testing
