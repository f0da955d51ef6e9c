// Raster image file, georeference and the header of an export.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "fixture.h"
#include "rastermap/georef.h"
#include "rastermap/rastererror.h"
#include "rastermap/rasterimage.h"
#include "rastermap/real48binding.h"
#include "vantrixbind/vantrixbind.h"

namespace tavisol::rastermap {
namespace {

using testing::TempFolder;

class RasterFormat : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::UseBuiltVantrix(); }
    Real48Conversions conv = VantrixConversions();
    TempFolder folder;
};

TEST_F(RasterFormat, HeaderFieldsSitAtTheirOffsets) {
    ImageHeader h;
    h.Rows = 300;
    h.Columns = -2;
    h.Carry22 = {1, 2};
    h.Carry168 = {3, 4, 5};
    h.Carry183 = 6;
    h.Title.fill(' ');
    h.Title[0] = 'T';
    h.CentreLatitude = Real48Rec{0x81, 0x0102, 0x0304, 0x85};
    h.ClassOffset = Real48Rec{0x90, 0xA0B0, 0xC0D0, 0x11};
    const HeaderBytes b = SerializeHeader(h);
    EXPECT_EQ(b[22], 1);
    EXPECT_EQ(b[23], 2);
    EXPECT_EQ(b[30], 300 & 0xFF);
    EXPECT_EQ(b[31], 300 >> 8);
    EXPECT_EQ(b[32], 0xFE);
    EXPECT_EQ(b[33], 0xFF);
    EXPECT_EQ(b[38], 'T');
    EXPECT_EQ(b[117], ' ');
    // Exp, Lo and Mid least significant byte first, Hi.
    EXPECT_EQ(b[120], 0x81);
    EXPECT_EQ(b[121], 0x02);
    EXPECT_EQ(b[122], 0x01);
    EXPECT_EQ(b[123], 0x04);
    EXPECT_EQ(b[124], 0x03);
    EXPECT_EQ(b[125], 0x85);
    EXPECT_EQ(b[168], 3);
    EXPECT_EQ(b[170], 5);
    EXPECT_EQ(b[177], 0x90);
    EXPECT_EQ(b[182], 0x11);
    EXPECT_EQ(b[183], 6);
    const ImageHeader back = ParseHeader(b);
    EXPECT_EQ(back.Rows, 300);
    EXPECT_EQ(back.Columns, -2);
    EXPECT_EQ(SerializeHeader(back), b);
}

TEST_F(RasterFormat, ImageRoundTripKeepsSizeCellsAndReals) {
    const ImageHeader h = testing::MakeHeader(3, 2, 11.5, 50, 1.5, 1, 1, 1);
    const std::vector<std::uint8_t> cells{0, 1, 2, 10, 254, 255};
    WriteRasterImage(folder.path() / "a.img", h, cells);
    EXPECT_EQ(std::filesystem::file_size(folder.path() / "a.img"), 512u + 6u);
    const RasterImage img = ReadRasterImage(folder.path() / "a.img");
    EXPECT_EQ(img.Columns, 3);
    EXPECT_EQ(img.Rows, 2);
    EXPECT_EQ(img.Cells, cells);
    EXPECT_EQ(img.At(2, 0), 2);
    EXPECT_EQ(img.At(0, 1), 10);
    const Georeference g = SetHeaderDoubleValues(img.Header, conv);
    EXPECT_DOUBLE_EQ(g.CentreLon, 11.5);
    EXPECT_DOUBLE_EQ(g.CentreLat, 50);
    EXPECT_DOUBLE_EQ(g.CentreCol, 1.5);
    EXPECT_DOUBLE_EQ(g.CentreRow, 1);
    EXPECT_DOUBLE_EQ(g.CellWidth, 1);
    EXPECT_DOUBLE_EQ(g.CellHeight, 1);
}

TEST_F(RasterFormat, BadFilesGiveClearMessagesAndNothingHalfRead) {
    auto message = [&](const std::string &name) {
        try {
            ReadRasterImage(folder.path() / name);
        } catch (const RasterError &e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message("missing.img").find("File not found"), std::string::npos);
    folder.Write("short.img", std::string(100, '\0'));
    EXPECT_NE(message("short.img").find("shorter than its 512-byte header"), std::string::npos);
    WriteRasterImage(folder.path() / "empty.img", testing::MakeHeader(0, 5, 1, 1, 1, 1, 1, 1), {});
    EXPECT_NE(message("empty.img").find("at least one"), std::string::npos);
    WriteRasterImage(folder.path() / "cut.img", testing::MakeHeader(4, 4, 1, 1, 1, 1, 1, 1),
                     std::vector<std::uint8_t>(10, 1));
    EXPECT_NE(message("cut.img").find("fewer cells than its header"), std::string::npos);
    // A map that exists but cannot be read is not reported as missing.
    std::filesystem::create_directories(folder.path() / "dir.img");
    EXPECT_EQ(message("dir.img"),
              "Cannot read the file " + (folder.path() / "dir.img").string() + ": it is a folder, not a file");
}

TEST_F(RasterFormat, SavingOverALongerFileLeavesExactlyTheNewBytes) {
    folder.Write("x.img", std::string(5000, 'z'));
    WriteRasterImage(folder.path() / "x.img", testing::MakeHeader(2, 2, 1, 1, 1, 1, 1, 1), {1, 2, 3, 4});
    EXPECT_EQ(std::filesystem::file_size(folder.path() / "x.img"), 516u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST_F(RasterFormat, WriteIntoMissingFolderFailsWithTheReasonAndWithoutFile) {
    try {
        WriteRasterImage(folder.path() / "no" / "x.img", ImageHeader{}, {});
        ADD_FAILURE() << "no error";
    } catch (const RasterError &e) {
        EXPECT_NE(std::string(e.what()).find("x.img: " + std::string(std::strerror(ENOENT))), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "no"));
}

// Saving over a write-protected image is refused as opening it would be; a
// private one stays private when replaced.
TEST_F(RasterFormat, ReadOnlyImageIsRefusedAndAPrivateOneStaysPrivate) {
    namespace fs = std::filesystem;
    const auto locked = folder.path() / "locked.img";
    folder.Write("locked.img", "old");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    try {
        WriteRasterImage(locked, testing::MakeHeader(1, 1, 1, 1, 1, 1, 1, 1), {4});
        ADD_FAILURE() << "no error";
    } catch (const RasterError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write the file " + locked.string() + ": " + std::string(std::strerror(EACCES)) + ".");
    }
    EXPECT_EQ(fs::file_size(locked), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);

    const auto mine = folder.path() / "mine.img";
    folder.Write("mine.img", "old");
    fs::permissions(mine, fs::perms::owner_read | fs::perms::owner_write);
    WriteRasterImage(mine, testing::MakeHeader(1, 1, 1, 1, 1, 1, 1, 1), {4});
    EXPECT_EQ(ReadRasterImage(mine).Cells, (std::vector<std::uint8_t>{4}));
    EXPECT_EQ(fs::status(mine).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(RasterFormat, LongestNameThatFitsCanBeWrittenAndLeavesNoTemporaryFile) {
    const std::string longName = std::string(251, 'n').replace(247, 4, ".img");
    const auto path = folder.path() / longName;
    WriteRasterImage(path, testing::MakeHeader(2, 1, 1, 1, 1, 1, 1, 1), {7, 9});
    EXPECT_EQ(ReadRasterImage(path).Cells, (std::vector<std::uint8_t>{7, 9}));
    WriteRasterImage(path, testing::MakeHeader(1, 1, 1, 1, 1, 1, 1, 1), {4});
    EXPECT_EQ(ReadRasterImage(path).Cells, (std::vector<std::uint8_t>{4}));
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(RasterFormat, BrokenBindingIsReportedAsTheLibrarysMessage) {
    vantrix::setLibraryPath(QStringLiteral("/nonexistent/libvantrix.so"));
    try {
        (void)SetHeaderDoubleValues(ImageHeader{}, conv);
        ADD_FAILURE() << "no error";
    } catch (const RasterError &e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error --> Number : 53", 0), 0u) << e.what();
    }
    testing::UseBuiltVantrix();
}

class Georef : public RasterFormat {
protected:
    // The 3 x 2 image of column 0 at longitude 10 and row 0 at latitude 51.
    Georeference geo = [] {
        testing::UseBuiltVantrix();
        return SetHeaderDoubleValues(testing::MakeHeader(3, 2, 11.5, 50, 1.5, 1, 1, 1), VantrixConversions());
    }();
};

TEST_F(Georef, PointsToCellsRoundHalvesToEven) {
    std::int16_t c = -1, r = -1;
    LonLatToPixel(geo, 10.5f, 50.5f, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    LonLatToPixel(geo, 11.5f, 50.5f, c, r);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 0);
    LonLatToPixel(geo, 10.0f, 51.0f, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    EXPECT_THROW(LonLatToPixel(geo, 40000.0f, 50.0f, c, r), RasterError);
}

TEST_F(Georef, CellsToPointsFloorToThousandths) {
    float lon = 0, lat = 0;
    PixelToLonLat(geo, 0, 0, lon, lat);
    EXPECT_FLOAT_EQ(lon, 10.0f);
    EXPECT_FLOAT_EQ(lat, 51.0f);
    PixelToLonLat(geo, 2, 1, lon, lat);
    EXPECT_FLOAT_EQ(lon, 12.0f);
    EXPECT_FLOAT_EQ(lat, 50.0f);
    // A computed negative longitude moves down to the thousandth below it.
    Georeference g{-0.0005, 0.0005, 0, 0, 1, 1};
    PixelToLonLat(g, 0, 0, lon, lat);
    EXPECT_FLOAT_EQ(lon, -0.001f);
    EXPECT_FLOAT_EQ(lat, 0.0f);
}

TEST_F(Georef, InsideRectAtTheEdges) {
    EXPECT_TRUE(IsInsideRect(geo, 3, 2, 9.5f, 50.5f));   // half a cell west rounds to column 0
    EXPECT_FALSE(IsInsideRect(geo, 3, 2, 9.0f, 50.5f));  // one cell west
    EXPECT_TRUE(IsInsideRect(geo, 3, 2, 12.0f, 50.0f));
    EXPECT_FALSE(IsInsideRect(geo, 3, 2, 13.0f, 50.0f));
    EXPECT_FALSE(IsInsideRect(geo, 3, 2, 11.0f, 48.5f));
    EXPECT_FALSE(IsInsideRect(Georeference{}, 3, 2, 11.0f, 50.0f));  // no cell size
}

TEST_F(Georef, NewHeaderOfAnExportRegion) {
    ImageHeader map = testing::MakeHeader(3, 2, 11.5, 50, 1.5, 1, 1, 1);
    map.Carry22 = {7, 8};
    map.Carry183 = 9;
    map.Carry168 = {1, 2, 3};
    map.CarryReal156 = Real48Rec{1, 2, 3, 4};
    map.ClassOffset = conv.ToReal48(-50);
    NewHeaderInput in;
    in.LonStart = 10;
    in.LonEnd = 11;
    in.LatStart = 50;
    in.LatEnd = 49;
    in.Decimals = 1;
    in.Columns = 2;
    in.Rows = 2;
    in.VariableText = "Precipitation";
    in.MonthText = "Average";
    in.ClassScale = 8;
    in.ClassOffset = 0;
    const ImageHeader h = GetNewHeader(in, map, conv);
    EXPECT_EQ(h.Columns, 2);
    EXPECT_EQ(h.Rows, 2);
    const Georeference g = SetHeaderDoubleValues(h, conv);
    EXPECT_DOUBLE_EQ(g.CentreLon, 10.5);
    EXPECT_DOUBLE_EQ(g.CentreLat, 49.5);
    EXPECT_DOUBLE_EQ(g.CentreCol, 1);
    EXPECT_DOUBLE_EQ(g.CentreRow, 1);
    EXPECT_DOUBLE_EQ(g.CellWidth, 0.5);
    EXPECT_DOUBLE_EQ(g.CellHeight, 0.5);
    EXPECT_DOUBLE_EQ(HeaderReal(h.ClassScale, conv), 8);
    // Offset 0 is six zero bytes, whatever the map held.
    EXPECT_EQ(h.ClassOffset.Exp, 0);
    EXPECT_EQ(h.ClassOffset.Lo, 0);
    EXPECT_EQ(h.ClassOffset.Mid, 0);
    EXPECT_EQ(h.ClassOffset.Hi, 0);
    EXPECT_EQ(h.Carry22, map.Carry22);
    EXPECT_EQ(h.Carry183, 9);
    EXPECT_EQ(h.Carry168, map.Carry168);
    EXPECT_EQ(h.CarryReal156.Exp, 1);
    EXPECT_EQ(h.CarryReal156.Hi, 4);
    const std::string title = h.TitleText();
    EXPECT_EQ(title.substr(0, 37), "Marovel/Tavisol-Precipitation-Average");
    EXPECT_EQ(title.size(), 80u);
    EXPECT_EQ(title.find_first_not_of(' ', 37), std::string::npos);
    // Cell 0 of the written header is the region's north-west corner.
    std::int16_t c = -1, r = -1;
    LonLatToPixel(g, 10.0f, 50.0f, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
}

// A region of an odd number of cells, whose centre lies half a cell off the
// resolution's grid: 12.2 to 13.5 E and 3.1 to 4.6 S at 0.1 degree, 13 x 15
// cells. The centre keeps its second decimal, (13.5 - 12.2) / 2 + 12.2 =
// 12.85 and (-3.1 - -4.6) / 2 + -4.6 = -3.85, so the cells stay 0.1 wide
// and column 0 and row 0 stay at the region's corner.
// Read back as the window reads a map: each real floored to 0.001.
TEST_F(Georef, NewHeaderKeepsTheCentreOfAnOddNumberOfCells) {
    NewHeaderInput in;
    in.LonStart = 12.2f;
    in.LonEnd = 13.5f;
    in.LatStart = -3.1f;
    in.LatEnd = -4.6f;
    in.Decimals = 1;
    in.Columns = 13;
    in.Rows = 15;
    const Georeference g = SetHeaderDoubleValues(GetNewHeader(in, ImageHeader{}, conv), conv);
    EXPECT_NEAR(g.CentreLon, 12.85, 1e-9);
    EXPECT_NEAR(g.CentreLat, -3.85, 1e-9);
    EXPECT_NEAR(g.CentreCol, 6.5, 1e-9);
    EXPECT_NEAR(g.CentreRow, 7.5, 1e-9);
    EXPECT_NEAR(g.CellWidth, 0.1, 1e-9);
    EXPECT_NEAR(g.CellHeight, 0.1, 1e-9);
    // Two decimals: 12.25 to 12.40 E gives the centre 12.325 and 0.75 to
    // 0.60 N gives 0.675; cells |12.325 - 12.25| / 7.5 = 0.01.
    in.LonStart = 12.25f;
    in.LonEnd = 12.40f;
    in.LatStart = 0.75f;
    in.LatEnd = 0.60f;
    in.Decimals = 2;
    in.Columns = 15;
    in.Rows = 15;
    const Georeference g2 = SetHeaderDoubleValues(GetNewHeader(in, ImageHeader{}, conv), conv);
    EXPECT_NEAR(g2.CentreLon, 12.325, 1e-9);
    EXPECT_NEAR(g2.CentreLat, 0.675, 1e-9);
    EXPECT_NEAR(g2.CellWidth, 0.01, 1e-9);
    EXPECT_NEAR(g2.CellHeight, 0.01, 1e-9);
}

TEST_F(Georef, LongTitleIsCutTo79AndOneBlank) {
    NewHeaderInput in;
    in.LonStart = 0;
    in.LonEnd = 1;
    in.LatStart = 1;
    in.LatEnd = 0;
    in.Columns = 1;
    in.Rows = 1;
    in.VariableText = std::string(100, 'v');
    in.MonthText = "May";
    in.ClassScale = 0.4;
    in.ClassOffset = -50;
    const ImageHeader h = GetNewHeader(in, ImageHeader{}, conv);
    EXPECT_EQ(h.Title[78], 'v');
    EXPECT_EQ(h.Title[79], ' ');
    EXPECT_DOUBLE_EQ(HeaderReal(h.ClassOffset, conv), -50);
    EXPECT_DOUBLE_EQ(HeaderReal(h.ClassScale, conv), 0.4);
}

TEST_F(Georef, TitleTextIsSingleByte) {
    NewHeaderInput in;
    in.Columns = 1;
    in.Rows = 1;
    in.VariableText = "Temp (\xC2\xB0" "C) \xE2\x82\xAC \xE4\xB8\x80";
    in.MonthText = "May";
    EXPECT_EQ(GetNewHeader(in, ImageHeader{}, conv).TitleText().substr(16, 17), "Temp (\xB0" "C) \x80 ?-May");
}

} // namespace
} // namespace tavisol::rastermap
