// The fast path against the plain steps on the demo data: random points over
// the globe and near stations, all eight variables, the three chains, with
// settings drawn at random for every point.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>

#include "identity.h"

namespace tavisol::engine::testing {
namespace {

// The sanitizer build makes the smaller demo set (the full one takes a minute
// there) and compares half the points; an optimised build compares 2000
// points of all eight variables on the full set.
#ifdef NDEBUG
constexpr const char *MakerOptions = "";
constexpr int PointsPerPart = 250;
#else
constexpr const char *MakerOptions = "--subset ";
constexpr int PointsPerPart = 125;
#endif

// The demo data of this build tree, made once (by the first test program
// that needs it; the others wait for it) and kept for later runs: any demo
// data serves the comparison.
class DemoData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::filesystem::path program = TAVISOL_BIN_DIR "/../tests/demo_identity_data";
        std::filesystem::create_directories(program);
        const int lock = ::open((program / "lock").c_str(), O_CREAT | O_RDWR, 0644);
        ::flock(lock, LOCK_EX);
        const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 \"" TAVISOL_BIN_DIR "/make-demo-data\" ") +
                                    MakerOptions + "\"" + program.string() + "\" > \"" +
                                    (program / "maker.log").string() + "\" 2>&1";
        made = std::system(command.c_str()) == 0;
        ::flock(lock, LOCK_UN);
        ::close(lock);
        data = program / "TavisolData";
    }
    void SetUp() override { ASSERT_TRUE(made) << "make-demo-data failed, see " << data.parent_path() / "maker.log"; }
    static std::filesystem::path Data() { return data; }

    // Compares `points` points of all eight variables, from a seed.
    void ComparePoints(unsigned seed, int points) {
        StatePair pair(Data());
        // Station positions to put points on and beside.
        PlainDataFiles plain;
        const auto near = plain.ReadStationFile(Data() / "max.txt", MaxStationRecords);
        ASSERT_FALSE(near->empty());
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-1, 1);
        std::uniform_int_distribution<std::size_t> anyStation(0, near->size() - 1);
        for (int point = 0; point < points; ++point) {
            DrawSettings(rng, pair);
            const StationRecord &s = (*near)[anyStation(rng)];
            double lon = 180 * u(rng), lat = 89 * u(rng);
            switch (point % 4) {
            case 0: lon = s.Longitude, lat = s.Latitude; break;
            case 1: lon = s.Longitude + 0.02 * u(rng), lat = s.Latitude + 0.02 * u(rng); break;
            case 2: lon = s.Longitude + 3 * u(rng), lat = std::clamp(s.Latitude + 2 * u(rng), -89.0, 89.0); break;
            default: break;
            }
            const Single alt = static_cast<Single>(point % 3 == 0 ? s.Altitude : 1500 * (1 + u(rng)));
            const Chain chain = static_cast<Chain>(point % 3);
            for (Integer v = 0; v < 8; ++v) {
                const std::string diff =
                    CompareAt(pair, chain, v, static_cast<Single>(lon), static_cast<Single>(lat), alt);
                ASSERT_EQ(diff, "") << "point " << point << " at " << lon << ", " << lat << ", variable " << v;
            }
        }
    }

    // Walks rows of cells as a raster export does, from a station's place,
    // so that the fast state reuses the leave-one-out weights of the cells
    // before; every cell against the plain steps.
    void CompareWalk(unsigned seed, int rows, int columns, double step) {
        StatePair pair(Data());
        PlainDataFiles plain;
        const auto near = plain.ReadStationFile(Data() / "max.txt", MaxStationRecords);
        ASSERT_FALSE(near->empty());
        std::mt19937 rng(seed);
        std::uniform_int_distribution<std::size_t> anyStation(0, near->size() - 1);
        DrawSettings(rng, pair);
        pair.plain.ShadowOn = pair.fast.ShadowOn = 1;
        pair.plain.MaxStations = pair.fast.MaxStations = 20;
        pair.plain.MaxDistance = pair.fast.MaxDistance = 2000;
        pair.plain.AltWindowOn = pair.fast.AltWindowOn = 0;
        const StationRecord &start = (*near)[anyStation(rng)];
        const auto before = pair.fast.LeaveOneOut.counts();
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column) {
                const double lon = start.Longitude + step * column;
                const double lat = std::clamp(start.Latitude - step * row, -89.0, 89.0);
                const std::string diff = CompareAt(pair, Chain::RasterExport, 0, static_cast<Single>(lon),
                                                   static_cast<Single>(lat), 0);
                ASSERT_EQ(diff, "") << "cell " << row << ", " << column << " at " << lon << ", " << lat;
            }
        const auto after = pair.fast.LeaveOneOut.counts();
        // Both ways were taken: weights reused and weights formed anew.
        EXPECT_GT(after.hits - before.hits, 1000);
        EXPECT_GT(after.misses - before.misses, 1000);
    }

    static std::filesystem::path data;
    static bool made;
};

std::filesystem::path DemoData::data;
bool DemoData::made = false;

// Eight parts with their own seeds, run side by side.
TEST_F(DemoData, FastPathGivesThePlainResultsPart1) { ComparePoints(101, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart2) { ComparePoints(202, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart3) { ComparePoints(303, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart4) { ComparePoints(404, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart5) { ComparePoints(505, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart6) { ComparePoints(606, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart7) { ComparePoints(707, PointsPerPart); }
TEST_F(DemoData, FastPathGivesThePlainResultsPart8) { ComparePoints(808, PointsPerPart); }

// Consecutive cells share most neighbours: weights kept from the cell
// before, reordered shadows and new neighbours give the plain results.
TEST_F(DemoData, RasterWalkReusingLeaveOneOutWeightsGivesThePlainResults) {
    CompareWalk(11, 6, 40, 0.05);
    CompareWalk(12, 4, 30, 0.01);
}

} // namespace
} // namespace tavisol::engine::testing
