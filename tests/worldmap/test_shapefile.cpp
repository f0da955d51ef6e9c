#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "worldmap/shapefile.h"

namespace {

using namespace tavisol::worldmap;

// 720 x 360: two pixels per degree.
constexpr float W = 720;
constexpr float H = 360;

ShapeReadResult boundaries(const std::string &text) { return ReadShapeText(text, ShapeKind::Boundaries, W, H); }
ShapeReadResult capitals(const std::string &text) { return ReadShapeText(text, ShapeKind::Capitals, W, H); }

std::vector<MapPoint> PointsOf(const ShapeSet &shapes, std::size_t shape) {
    const std::span<const MapPoint> p = shapes.points(shape);
    return {p.begin(), p.end()};
}

TEST(ShapeText, HeadersStartShapesAndPointsFollowInFileOrder) {
    const ShapeReadResult r = boundaries(
        "\"Italy\",\"ITA\",3\r\n"
        "12.5,41.9\r\n"
        "13,42.5,ignored,fields\r\n"
        "\"Korea, Republic of\",2\r\n"
        "127,37.5\r\n"
        "\"NoComma\r\n");
    ASSERT_TRUE(r.ok()) << r.Error;
    ASSERT_EQ(r.Shapes.size(), 3u);
    // The name is everything before the first comma, quotation marks kept,
    // so a name with a comma inside its quotes is cut there.
    EXPECT_EQ(r.Shapes.name(0), "\"Italy\"");
    EXPECT_EQ(r.Shapes.name(1), "\"Korea");
    EXPECT_EQ(r.Shapes.name(2), "\"NoComma");
    // The header's point count is not used: a shape has the points that follow it.
    ASSERT_EQ(r.Shapes.points(0).size(), 2u);
    EXPECT_EQ(r.Shapes.points(0)[0], (MapPoint{385, 96}));  // Int(192.5 * 2), Int(48.1 * 2)
    EXPECT_EQ(r.Shapes.points(0)[1], (MapPoint{386, 95}));
    EXPECT_EQ(r.Shapes.points(1).size(), 1u);
    EXPECT_EQ(r.Shapes.points(2).size(), 0u);
}

TEST(ShapeText, EmptyInputAndSkippedLines) {
    const ShapeReadResult empty = boundaries("");
    EXPECT_TRUE(empty.ok());
    ASSERT_EQ(empty.Shapes.size(), 0u);

    // Empty lines and lines of one field are skipped; a header with blanks in
    // front is a point line, and a field without a number reads as 0.
    const ShapeReadResult r = capitals(
        "\"A\"\n"
        "\n"
        "15\n"
        "  \"B\",45\n"
        " 1 0 \t, -4 5x\n"
        "abc,def\n");
    ASSERT_TRUE(r.ok()) << r.Error;
    ASSERT_EQ(r.Shapes.size(), 1u);
    ASSERT_EQ(r.Shapes.points(0).size(), 3u);
    EXPECT_EQ(r.Shapes.points(0)[0], (MapPoint{360, 90}));   // lon 0, lat 45
    EXPECT_EQ(r.Shapes.points(0)[1], (MapPoint{380, 270}));  // lon 10, lat -45
    EXPECT_EQ(r.Shapes.points(0)[2], (MapPoint{360, 180}));  // 0, 0
}

TEST(ShapeText, LineEndsOfEveryKindGiveTheSameShapes) {
    const std::string lf = "\"A\",1\n10,10\n20,20\n\"B\",1\n-30.25,-60.75";
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    const ShapeReadResult a = boundaries(lf);
    const ShapeReadResult b = boundaries(crlf + "\r\n");
    const ShapeReadResult c = boundaries(cr);
    ASSERT_EQ(a.Shapes.size(), 2u);
    for (const ShapeReadResult *r : {&b, &c}) {
        ASSERT_EQ(r->Shapes.size(), a.Shapes.size());
        for (std::size_t i = 0; i < a.Shapes.size(); ++i) {
            EXPECT_EQ(r->Shapes.name(i), a.Shapes.name(i));
            EXPECT_EQ(PointsOf(r->Shapes, i), PointsOf(a.Shapes, i));
        }
    }
    EXPECT_EQ(a.Shapes.points(1)[0], (MapPoint{299, 301}));  // Int(299.5), Int(301.5)
}

TEST(ShapeText, ByteOrderMarkBeforeTheFirstHeader) {
    const ShapeReadResult r = capitals("\xEF\xBB\xBF\"Rome\",1\r\n0,0\r\n");
    ASSERT_TRUE(r.ok()) << r.Error;
    ASSERT_EQ(r.Shapes.size(), 1u);
    EXPECT_EQ(r.Shapes.name(0), "\"Rome\"");
    EXPECT_EQ(r.Shapes.points(0).size(), 1u);
}

TEST(ShapeText, CtrlZEndsTheText) {
    const ShapeReadResult r = capitals("\"A\",1\r\n10,10\r\n\x1A\r\n20,20\r\n");
    ASSERT_TRUE(r.ok()) << r.Error;
    ASSERT_EQ(r.Shapes.size(), 1u);
    EXPECT_EQ(r.Shapes.points(0).size(), 1u);
}

TEST(ShapeText, BoundaryPointsOnTheLastKeptPixelAreDropped) {
    const ShapeReadResult r = boundaries(
        "\"A\"\n"
        "-180,90\n"      // pixel (0, 0): the last kept point starts there
        "10,10\n"
        "10.2,9.9\n"     // same pixel (380, 160)
        "10.6,10\n"
        "\"B\"\n"
        "10.7,9.9\n"     // same pixel as the last of A: dropped across the header
        "11,10\n");
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.Shapes.size(), 2u);
    EXPECT_EQ(PointsOf(r.Shapes, 0), (std::vector<MapPoint>{{380, 160}, {381, 160}}));
    EXPECT_EQ(PointsOf(r.Shapes, 1), (std::vector<MapPoint>{{382, 160}}));
}

TEST(ShapeText, CapitalsKeepEveryPointUnrounded) {
    const ShapeReadResult r = capitals("\"Rome\"\n12.5,41.9\n12.5,41.9\n-180,90\n");
    ASSERT_EQ(r.Shapes.size(), 1u);
    ASSERT_EQ(r.Shapes.points(0).size(), 3u);
    EXPECT_FLOAT_EQ(r.Shapes.points(0)[0].X, 385.0F);
    EXPECT_FLOAT_EQ(r.Shapes.points(0)[0].Y, 96.2F);
    EXPECT_EQ(r.Shapes.points(0)[1], r.Shapes.points(0)[0]);
    EXPECT_EQ(r.Shapes.points(0)[2], MapPoint{});
}

TEST(ShapeText, EdgesOfTheProjection) {
    const ShapeReadResult r = capitals("\"E\"\n180,-90\n0,100\n200,0\n-190,-100\n");
    ASSERT_EQ(r.Shapes.points(0).size(), 4u);
    EXPECT_EQ(r.Shapes.points(0)[0], (MapPoint{W, H}));     // one past the last column and row
    EXPECT_EQ(r.Shapes.points(0)[1], (MapPoint{360, 20}));  // 100 N mirrored about the top edge
    EXPECT_EQ(r.Shapes.points(0)[2], (MapPoint{760, 180})); // beyond 180: outside the bitmap
    EXPECT_EQ(r.Shapes.points(0)[3], (MapPoint{-20, 380}));
}

TEST(ShapeText, MalformedInputStopsWithAClearErrorAndKeepsWhatWasRead) {
    const ShapeReadResult before = boundaries("\r\n5,5\r\n\"A\"\r\n1,1\r\n");
    EXPECT_FALSE(before.ok());
    EXPECT_EQ(before.Error, "line 2: a point comes before the first shape header.");
    EXPECT_EQ(before.Shapes.size(), 0u);

    const ShapeReadResult overflow = capitals("\"A\"\n1,1\n2,2\n1e400,0\n3,3\n\"B\"\n");
    EXPECT_EQ(overflow.Error, "line 4: a coordinate is out of range.");
    ASSERT_EQ(overflow.Shapes.size(), 1u);
    EXPECT_EQ(overflow.Shapes.points(0).size(), 2u);
}

// Events are let through by the text walked, not per line: a megabyte of
// blank lines lets them through a few times, not a million.
TEST(ShapeText, EventsGoThroughByTheTextWalked) {
    int stretches = 0;
    const ShapeReadResult r = ReadShapeText("\"A\"\n1,1\n" + std::string(1 << 20, '\n') + "2,2",
                                            ShapeKind::Boundaries, W, H, [&] { ++stretches; });
    ASSERT_EQ(r.Shapes.size(), 1u);
    EXPECT_EQ(r.Shapes.points(0).size(), 2u);
    EXPECT_GE(stretches, 1);
    EXPECT_LE(stretches, 64);
}

TEST(ShapeFile, ReadsAFileAndNamesItInErrors) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tavisol_shapes_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path good = dir / "WorldCap.bna";
    const std::filesystem::path bad = dir / "Worad1.bna";
    std::ofstream(good, std::ios::binary) << "\"Rome\",\"Italy\",1\r\n12.5,41.9\r\n";
    std::ofstream(bad, std::ios::binary) << "12.5,41.9\r\n";

    const ShapeReadResult r = ReadShapeFile(good, ShapeKind::Capitals, W, H);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.Shapes.size(), 1u);

    EXPECT_EQ(ReadShapeFile(bad, ShapeKind::Boundaries, W, H).Error,
              "Worad1.bna, line 1: a point comes before the first shape header.");
    const ShapeReadResult missing = ReadShapeFile(dir / "none.bna", ShapeKind::Boundaries, W, H);
    EXPECT_EQ(missing.Error, "File not found: " + (dir / "none.bna").string());
    EXPECT_EQ(missing.Shapes.size(), 0u);
    // A folder in place of the file is no file either.
    EXPECT_FALSE(ReadShapeFile(dir, ShapeKind::Boundaries, W, H).ok());
    std::filesystem::remove_all(dir);
}

} // namespace
