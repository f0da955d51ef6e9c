#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include <sys/stat.h>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using ::testing::HasSubstr;
using testing::TempFolder;

constexpr std::int64_t Columns = 4320;
constexpr std::int64_t Rows = 2160;

std::int64_t Position(int row, int col) { return col + (row - 1) * Columns; }

// A raster whose bytes are all 100 (1960 m) except a few marked cells.
class ElevationRaster : public ::testing::Test {
protected:
    void SetUp() override {
        bytes_.assign(static_cast<std::size_t>(Columns * Rows), 100);
    }
    void Set(std::int64_t position, unsigned char value) { bytes_[static_cast<std::size_t>(position - 1)] = value; }
    void Write() {
        std::ofstream out(folder_.path() / "10k8b.raw", std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    }
    Integer Elevation(float lon, float lat, Integer &isWater) {
        return GetElevation(folder_.path(), lon, lat, isWater);
    }

    TempFolder folder_;
    std::vector<unsigned char> bytes_;
};

TEST(ElevationPosition, CellRoundingAtTheEdges) {
    EXPECT_EQ(ElevationBytePosition(180, -90), Columns * Rows); // the last byte of the file
    EXPECT_EQ(ElevationBytePosition(180, 0), Position(1080, 4320)); // the last byte of a row
    EXPECT_EQ(ElevationBytePosition(-179.95f, 0), Position(1080, 1));
    EXPECT_EQ(ElevationBytePosition(-179.97f, 0), Position(1080, 0)); // the last byte of the row above
    EXPECT_EQ(ElevationBytePosition(0, 89.95f), Position(1, 2160));
    EXPECT_EQ(ElevationBytePosition(-179.875f, 0), Position(1080, 2)); // 1.5
    EXPECT_EQ(ElevationBytePosition(-179.625f, 0), Position(1080, 4)); // 4.5: halves go to the even cell
    EXPECT_EQ(ElevationBytePosition(12.483f, 41.9f), Position(577, 2310));
}

TEST(ElevationPosition, PolarRowsAndWrappedLongitudesStayInTheFile) {
    EXPECT_EQ(ElevationBytePosition(0, 89.97f), Position(1, 2160)); // row 0 is limited to row 1
    EXPECT_EQ(ElevationBytePosition(0, 90), Position(1, 2160));
    EXPECT_EQ(ElevationBytePosition(0, -90), Position(2160, 2160));
    EXPECT_EQ(ElevationBytePosition(-180, 90), Columns);              // position 0: last byte of the first row
    EXPECT_EQ(ElevationBytePosition(-179.97f, 89.99f), Columns);
    EXPECT_EQ(ElevationBytePosition(190, 0), ElevationBytePosition(-170, 0));
    EXPECT_EQ(ElevationBytePosition(-190, 0), ElevationBytePosition(170, 0));
    EXPECT_EQ(ElevationBytePosition(540, 0), ElevationBytePosition(180, 0));
    for (float lat = -90; lat <= 90; lat += 0.5f) {
        for (float lon = -180; lon <= 180; lon += 7.5f) {
            const std::int64_t p = ElevationBytePosition(lon, lat);
            ASSERT_GE(p, 1);
            ASSERT_LE(p, Columns * Rows);
        }
    }
}

TEST(ElevationPosition, HugeAndNonFiniteCoordinatesAreSafe) {
    // 10000000 degrees is 27777 turns and 280 degrees east: -80.
    EXPECT_EQ(ElevationBytePosition(1e7f, 0), ElevationBytePosition(-80, 0));
    EXPECT_EQ(ElevationBytePosition(-1e7f, 0), ElevationBytePosition(80, 0));
    EXPECT_EQ(ElevationBytePosition(-540, 0), ElevationBytePosition(-180, 0));
    for (const float lon : {1e20f, -1e20f, 1e36f, -1e36f, 3.4028235e38f, -3.4028235e38f, 2.5e9f}) {
        for (const float lat : {0.0f, 1e36f, -3.4028235e38f}) {
            const std::int64_t p = ElevationBytePosition(lon, lat);
            EXPECT_GE(p, 1) << lon << " " << lat;
            EXPECT_LE(p, Columns * Rows) << lon << " " << lat;
        }
    }
    for (const float bad : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_THROW(ElevationBytePosition(bad, 0), EngineError);
        EXPECT_THROW(ElevationBytePosition(0, bad), EngineError);
    }
}

TEST_F(ElevationRaster, LandWaterAndBounds) {
    Set(Position(1080, 2160), 255);
    Set(Position(1080, 2161), 0);
    Set(Position(1080, 2162), 254);
    Set(Columns * Rows, 7);
    Set(Position(1079, 4320), 9);
    Write();
    Integer water = -5;
    EXPECT_EQ(Elevation(0, 0, water), 0);
    EXPECT_EQ(water, 1); // one, not minus one
    EXPECT_EQ(Elevation(1.0f / 12, 0, water), -40);
    EXPECT_EQ(water, 0);
    EXPECT_EQ(Elevation(2.0f / 12, 0, water), 5040);
    EXPECT_EQ(Elevation(180, -90, water), 7 * 20 - 40);
    EXPECT_EQ(Elevation(-180, 0, water), 9 * 20 - 40);
    EXPECT_EQ(Elevation(10, 10, water), 1960);
    // The altitude alone: water reads 0 like any other altitude.
    EXPECT_EQ(GetElevation(folder_.path(), 0, 0), 0);
    EXPECT_EQ(GetElevation(folder_.path(), 2.0f / 12, 0), 5040);
}

TEST_F(ElevationRaster, NothingIsKeptBetweenCalls) {
    Write();
    Integer water = 0;
    EXPECT_EQ(Elevation(0, 0, water), 1960);
    Set(Position(1080, 2160), 3);
    Write();
    EXPECT_EQ(Elevation(0, 0, water), 20);
}

TEST_F(ElevationRaster, MissingRasterFailsNamingIt) {
    Integer water = 0;
    try {
        Elevation(0, 0, water);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
        EXPECT_THAT(e.what(), HasSubstr("10k8b.raw"));
    }
}

TEST_F(ElevationRaster, ARasterOfAnyOtherSizeFails) {
    const std::filesystem::path raster = folder_.path() / "10k8b.raw";
    Write();
    Integer water = 0;
    // Shorter, one byte longer, and a 2 GB file of zeros (-40 m everywhere).
    for (const std::uintmax_t size : {std::uintmax_t{100}, std::uintmax_t{Columns * Rows + 1}, std::uintmax_t{2} << 30}) {
        std::filesystem::resize_file(raster, size);
        try {
            Elevation(0, 0, water);
            ADD_FAILURE() << "no failure at " << size;
        } catch (const EngineError &e) {
            EXPECT_EQ(e.kind(), ErrorKind::BadRasterRead);
            EXPECT_EQ(std::string(e.what()), "The elevation raster " + raster.string() + " is " + std::to_string(size) +
                                                 " bytes long; it must be 9331200 bytes, one for each of its 4320 x 2160 cells");
        }
    }
}

TEST_F(ElevationRaster, PointsOfAStrangeGeoreferenceStayInTheFile) {
    // A map whose cells lie 1e22 degrees off: the wrap of the longitude used
    // to land before the start of the raster.
    // -1e22 as a Single is -9999999778196308361216, 176 degrees west of a whole turn.
    EXPECT_EQ(ElevationBytePosition(-1e22f, 0), Position(1080, 48));
    Set(Position(1080, 48), 3);
    Write();
    Integer water = 0;
    for (const float lon : {-1e22f, 1e22f, 3e38f, -3e38f})
        EXPECT_NO_THROW(Elevation(lon, 0, water)) << lon;
    EXPECT_EQ(Elevation(-1e22f, 0, water), 20);
}

TEST_F(ElevationRaster, AnUnreadableRasterSaysWhy) {
    const std::filesystem::path raster = folder_.path() / "10k8b.raw";
    std::filesystem::create_directories(raster);
    Integer water = 0;
    try {
        Elevation(0, 0, water);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read the file " + raster.string() + ": it is a folder, not a file");
    }
    // A pipe is not waited for.
    std::filesystem::remove(raster);
    ASSERT_EQ(::mkfifo(raster.c_str(), 0644), 0);
    try {
        Elevation(0, 0, water);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read the file " + raster.string() + ": it is not a regular file");
    }
}

} // namespace
} // namespace tavisol::engine
