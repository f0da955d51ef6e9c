// Map list, colour legend, shape files, colour components, legend rows.
#include <gtest/gtest.h>

#include "fixture.h"
#include "rastermap/mapfiles.h"

namespace tavisol::rastermap {
namespace {

using testing::TempFolder;

TEST(MapList, OnlyMapsThatCanBeLoaded) {
    TempFolder f;
    // x.y.img would be loaded as x.img, which is not there.
    for (const char *n : {"a.img", "a.clr", "a.cty", "a.bnd", "b.img", "b.clr", "x.y.img", "x.clr", "x.cty", "x.bnd"})
        f.Write(n, "");
    EXPECT_EQ(ListRasterMaps(f.path()), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(ListRasterMaps(f.path() / "none").empty());
    const MapPaths p = PathsOfMap(f.path(), "x");
    EXPECT_EQ(p.Bnd, f.path() / "x.bnd");
    EXPECT_EQ(p.Img, f.path() / "x.img");
}

TEST(MapList, ExtensionsInAnyCase) {
    TempFolder f;
    for (const char *n : {"Up.IMG", "Up.CLR", "Up.Cty", "Up.bnd", "up.img", "up.clr", "up.cty", "up.bnd", "Lo.IMG",
                          "lo.clr", "Lo.clr", "Lo.CTY"})
        f.Write(n, "");
    // "Lo" lacks its boundaries; "lo.clr" belongs to no listed map.
    EXPECT_EQ(ListRasterMaps(f.path()), (std::vector<std::string>{"Up", "up"}));
    const MapPaths upper = PathsOfMap(f.path(), "Up");
    EXPECT_EQ(upper.Img, f.path() / "Up.IMG");
    EXPECT_EQ(upper.Clr, f.path() / "Up.CLR");
    EXPECT_EQ(upper.Cty, f.path() / "Up.Cty");
    EXPECT_EQ(upper.Bnd, f.path() / "Up.bnd");
    EXPECT_EQ(PathsOfMap(f.path(), "up").Img, f.path() / "up.img");
    EXPECT_EQ(PathsOfMap(f.path(), "Lo").Clr, f.path() / "Lo.clr");
}

TEST(ListFields, CommasLineEndsQuotesAndBlanks) {
    EXPECT_EQ(ReadListFields("first, second\r\n  \"a,b\" , c\n\nlast"),
              (std::vector<std::string>{"first", "second", "a,b", "c", "last"}));
}

class Legend : public ::testing::Test {
protected:
    TempFolder f;
    ColorTable table;
    ColorEntry black;
};

TEST_F(Legend, RecordSetsItsClassRangeAndTheFixedEntries) {
    table[30].Name = "Kept";
    table[30].Red = 7;
    table[255].Name = "Old";
    f.Write("m.clr", "Header line\r\n0\t9\t255\t0\t0\t  Water  \r\n10\t20\t1\t2\t3\tLand\r\n");
    EXPECT_FALSE(LoadColorTable(f.path() / "m.clr", table, black, black));
    for (int k = 0; k <= 9; ++k) {
        EXPECT_EQ(table[k].Name, "Water");
        EXPECT_EQ(table[k].Red, 255);
        EXPECT_EQ(table[k].Green, 0);
        EXPECT_EQ(table[k].Blue, 0);
    }
    EXPECT_EQ(table[20].Blue, 3);
    EXPECT_EQ(table[30].Name, "Kept");
    EXPECT_EQ(table[30].Red, 7);
    EXPECT_EQ(table[255].Name, "Old");
    EXPECT_EQ(table[253].Name, "Capitals");
    EXPECT_EQ(table[254].Name, "Boundaries");
    EXPECT_EQ(table[254].Red + table[254].Green + table[254].Blue, 0);
}

TEST_F(Legend, FirstAboveLastSetsNothingAndNumbersRoundHalfEven) {
    f.Write("m.clr", "h\r\n5\t4\t1\t1\t1\tNone\r\n2.5\t3.5\t0.5\t1.5\t254.5\tR\r\n");
    EXPECT_FALSE(LoadColorTable(f.path() / "m.clr", table, black, black));
    EXPECT_TRUE(table[5].Name.empty());
    EXPECT_TRUE(table[1].Name.empty());
    EXPECT_EQ(table[2].Name, "R");
    EXPECT_EQ(table[4].Name, "R");
    EXPECT_EQ(table[4].Red, 0);
    EXPECT_EQ(table[4].Green, 2);
    EXPECT_EQ(table[4].Blue, 254);
}

TEST_F(Legend, FailuresStopAtTheRecordAndLeaveFixedEntriesUnset) {
    f.Write("comma.clr", "h\r\n0\t1\t2\t3\t4\tA\r\n5\t6\t7,8\t9\t10\tB\r\n");
    const auto err = LoadColorTable(f.path() / "comma.clr", table, black, black);
    ASSERT_TRUE(err);
    EXPECT_NE(err->find("six parts"), std::string::npos) << *err;
    EXPECT_EQ(table[0].Name, "A");
    EXPECT_TRUE(table[5].Name.empty());
    EXPECT_TRUE(table[254].Name.empty());

    f.Write("range.clr", "h\r\n0\t300\t2\t3\t4\tA\r\n");
    const auto err2 = LoadColorTable(f.path() / "range.clr", table, black, black);
    ASSERT_TRUE(err2);
    EXPECT_NE(err2->find("outside 0..255"), std::string::npos);

    const auto err3 = LoadColorTable(f.path() / "missing.clr", table, black, black);
    ASSERT_TRUE(err3);
    EXPECT_NE(err3->find("File not found"), std::string::npos);
}

TEST(Shapes, ReadsNamesAndEveryPointInDegrees) {
    TempFolder f;
    f.Write("s.bnd", "\"One\",\"x\",2\r\n10.5,20.25\r\n10.5,20.25\n\n7\r\"Two\"\r-1e1, 3 ,9\r\n\"Three\"");
    const ShapeReadResult r = ReadShapes(f.path() / "s.bnd");
    EXPECT_FALSE(r.Error);
    ASSERT_EQ(r.Shapes.size(), 3u);
    EXPECT_EQ(r.Shapes.name(0), "\"One\"");
    ASSERT_EQ(r.Shapes.points(0).size(), 2u);  // a repeated point is kept
    EXPECT_FLOAT_EQ(r.Shapes.points(0)[1].X, 10.5f);
    EXPECT_FLOAT_EQ(r.Shapes.points(0)[1].Y, 20.25f);
    ASSERT_EQ(r.Shapes.points(1).size(), 1u);
    EXPECT_FLOAT_EQ(r.Shapes.points(1)[0].X, -10.0f);
    EXPECT_FLOAT_EQ(r.Shapes.points(1)[0].Y, 3.0f);
    EXPECT_TRUE(r.Shapes.points(2).empty());

    // Events go through by the text walked: a megabyte of blank lines lets
    // them through a few times, not a million.
    f.Write("blank.bnd", "\"A\"\r\n1,1\r\n" + std::string(1 << 20, '\n') + "2,2");
    int stretches = 0;
    const ShapeReadResult blank = ReadShapes(f.path() / "blank.bnd", [&] { ++stretches; });
    ASSERT_EQ(blank.Shapes.size(), 1u);
    EXPECT_EQ(blank.Shapes.points(0).size(), 2u);
    EXPECT_GE(stretches, 1);
    EXPECT_LE(stretches, 64);
}

TEST(Shapes, PointBeforeFirstNameStopsKeepingWhatWasRead) {
    TempFolder f;
    f.Write("bad.cty", "1,2\r\n");
    const ShapeReadResult r = ReadShapes(f.path() / "bad.cty");
    ASSERT_TRUE(r.Error);
    EXPECT_NE(r.Error->find("line 1"), std::string::npos);
    EXPECT_TRUE(ReadShapes(f.path() / "none.cty").Error.has_value());
}

TEST_F(Legend, ByteOrderMarkMeansUtf8Names) {
    f.Write("utf8.clr", "\xEF\xBB\xBF" "Legend\r\n0\t1\t2\t3\t4\tFor\xC3\xAAt\r\n");
    EXPECT_FALSE(LoadColorTable(f.path() / "utf8.clr", table, black, black));
    EXPECT_EQ(table[1].Name, "For\u00eat");
    f.Write("ansi.clr", "Legend\r\n0\t1\t2\t3\t4\tFor\xEAt\r\n");
    EXPECT_FALSE(LoadColorTable(f.path() / "ansi.clr", table, black, black));
    EXPECT_EQ(table[1].Name, "For\u00eat");
}

TEST_F(Legend, CtrlZEndsTheLegend) {
    f.Write("z.clr", "Legend\r\n0\t1\t2\t3\t4\tA\r\n\x1A");
    EXPECT_FALSE(LoadColorTable(f.path() / "z.clr", table, black, black));
    EXPECT_EQ(table[1].Name, "A");
    EXPECT_EQ(table[254].Name, "Boundaries");
}

TEST_F(Legend, MessagesQuoteTheRecordShortAndVisibly) {
    using namespace std::string_literals;
    f.Write("q.clr", "Legend\r\n0\t1\t2\t3\t4\tA\r\n1\0" "2\t"s + std::string(300, 'x') + "\r\n");
    const auto err = LoadColorTable(f.path() / "q.clr", table, black, black);
    ASSERT_TRUE(err);
    EXPECT_EQ(*err, "Colour legend q.clr, record 2 \"1\u24002\u2409" + std::string(76, 'x') +
                        "\u2026\": six parts separated by TAB are needed.");
    f.Write("r.clr", "Legend\r\n0\t1\t2\t3\t4\tA\r\n5\t6\t7\t8\t999\xE9\tB\r\n");
    const auto err2 = LoadColorTable(f.path() / "r.clr", table, black, black);
    ASSERT_TRUE(err2);
    EXPECT_EQ(*err2, "Colour legend r.clr, record 2 \"5\u24096\u24097\u24098\u2409999\u00e9\u2409B\": part 5 "
                     "(blue) \"999\u00e9\" is outside 0..255.");
}

TEST(Shapes, ByteOrderMarkBeforeTheFirstName) {
    TempFolder f;
    f.Write("m.cty", "\xEF\xBB\xBF\"Rome\",1\r\n12.5,41.9\r\n");
    const ShapeReadResult r = ReadShapes(f.path() / "m.cty");
    ASSERT_FALSE(r.Error) << *r.Error;
    ASSERT_EQ(r.Shapes.size(), 1u);
    EXPECT_EQ(r.Shapes.name(0), "\"Rome\"");
    ASSERT_EQ(r.Shapes.points(0).size(), 1u);
}

TEST(Colours, SplitColourNamesDigitPairsFromTheLeft) {
    EXPECT_EQ(SplitColour(0xFF, "BLUE"), 255);
    EXPECT_EQ(SplitColour(0xFF, "RED"), 0);
    EXPECT_EQ(SplitColour(0xFF, "red"), 0);
    EXPECT_EQ(SplitColour(0x123456, "RED"), 0x12);
    EXPECT_EQ(SplitColour(0x123456, "GREEN"), 0x34);
}

TEST(Colours, LegendRowsOnePerRunOfNames) {
    ColorTable t;
    t[0].Name = t[1].Name = t[2].Name = "A";
    t[3].Name = "B";
    t[5].Name = "A";
    t[254].Name = "Boundaries";
    const auto rows = LegendRows(t);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Class, 0);
    EXPECT_EQ(rows[1].Name, "B");
    EXPECT_EQ(rows[2].Class, 5);
    EXPECT_EQ(rows[3].Name, "Boundaries");
}

} // namespace
} // namespace tavisol::rastermap
