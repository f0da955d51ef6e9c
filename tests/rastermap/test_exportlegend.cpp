// The files written beside an exported image.
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "fixture.h"
#include "rastermap/exportlegend.h"
#include "rastermap/rastererror.h"

namespace tavisol::rastermap {
namespace {

namespace fs = std::filesystem;

const LegendRecord *find(const std::vector<LegendRecord> &records, int first) {
    for (const LegendRecord &r : records)
        if (r.First == first) return &r;
    return nullptr;
}

TEST(ExportLegend, TemperatureRunsOfTwoDegreesOverTheClassesPresent) {
    // -10 degC (class 100) to 26 degC (class 190): runs of five classes, 19 records.
    const auto legend = ExportLegend(0, {100, 152, 190, 255, 253});
    ASSERT_EQ(legend.size(), 19u + 3u);
    EXPECT_EQ(legend.front().First, 100);
    EXPECT_EQ(legend.front().Last, 104);
    EXPECT_EQ(legend.front().Name, "-10.0 - -8.0 \u00b0C");
    const LegendRecord *ten = find(legend, 150);
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(ten->Last, 154);
    EXPECT_EQ(ten->Name, "10.0 - 12.0 \u00b0C");
    EXPECT_EQ(legend[18].Name, "26.0 - 28.0 \u00b0C");
    // Cold blue to hot red.
    EXPECT_GT(legend.front().Blue, legend.front().Red);
    EXPECT_GT(legend[18].Red, legend[18].Blue);
    EXPECT_EQ(legend[19].First, 253);
    EXPECT_EQ(legend[19].Name, "Below -50.0 \u00b0C");
    EXPECT_EQ(legend[20].First, 254);
    EXPECT_EQ(legend[20].Name, "Above 50.4 \u00b0C");
    // Below and Above the scale in the colours of its ends.
    const auto colour = [](const LegendRecord &r) { return std::tuple{r.Red, r.Green, r.Blue}; };
    EXPECT_EQ(colour(legend[19]), colour(legend.front()));
    EXPECT_EQ(colour(legend[20]), colour(legend[18]));
    EXPECT_EQ(legend[21].First, 255);
    EXPECT_EQ(legend[21].Name, "No data");
}

TEST(ExportLegend, OtherVariablesTheirUnitsAndWidths) {
    // Precipitation 8 mm a class: classes 0..30 in runs of five, 40 mm each.
    const auto rain = ExportLegend(3, {0, 30});
    ASSERT_EQ(rain.size(), 7u + 3u);
    EXPECT_EQ(rain[0].Name, "0 - 40 mm");
    EXPECT_EQ(rain[6].Name, "240 - 280 mm");
    EXPECT_EQ(rain[6].Last, 34);
    EXPECT_EQ(rain[8].Name, "Above 2008 mm");
    // A narrow range keeps single classes; sunshine has no unit.
    const auto sun = ExportLegend(7, {120, 123});
    ASSERT_EQ(sun.size(), 4u + 3u);
    EXPECT_EQ(sun[0].Name, "0.480 - 0.484");
    EXPECT_EQ(sun[7 - 2].Name, "Above 1.004");
    // Class 250 ends at the value of class 251.
    const auto wind = ExportLegend(6, {250});
    EXPECT_EQ(wind[0].Name, "25.0 - 25.1 m/s");
    // Nothing but no-data cells: the three fixed records.
    EXPECT_EQ(ExportLegend(4, {255, 255}).size(), 3u);
}

TEST(ExportFiles, NamesBesideTheImage) {
    EXPECT_EQ(ExportImagePath("/m/t2", "/v/Africa.img"), fs::path("/m/t2.img"));
    EXPECT_EQ(ExportImagePath("/m/t2", "/v/Up.IMG"), fs::path("/m/t2.IMG"));
    EXPECT_EQ(ExportImagePath("/m/t2.img", "/v/Up.IMG"), fs::path("/m/t2.img"));
    const MapPaths p = ExportCompanionPaths("/m/jan.2026.img");
    EXPECT_EQ(p.Clr, fs::path("/m/jan.clr"));
    EXPECT_EQ(p.Cty, fs::path("/m/jan.cty"));
    EXPECT_EQ(p.Bnd, fs::path("/m/jan.bnd"));
}

TEST(ExportFiles, LegendIsWrittenAndTheShapeFilesUnlessTheyExist) {
    testing::TempFolder f;
    f.Write("map/a.cty", "\"Town\",1\r\n10,50\r\n");
    f.Write("map/a.bnd", "\"Line\",2\r\n6,54\r\n12,48\r\n");
    const MapPaths loaded = PathsOfMap(f.path() / "map", "a");
    f.Write("out/t.bnd", "mine");
    WriteExportFiles(PlanExportFiles(f.path() / "out" / "t.img"), {}, {0, 30, 255},
                     "Tavisol export: Rain, wet - Average", 3, loaded);
    EXPECT_EQ(f.Read("out/t.img").size(), HeaderSize + 3);
    EXPECT_EQ(f.Read("out/t.cty"), f.Read("map/a.cty"));
    EXPECT_EQ(f.Read("out/t.bnd"), "mine");
    // Windows-1252 and CR LF, the title's comma gone; it loads as a legend.
    const std::string legend = f.Read("out/t.clr");
    EXPECT_EQ(legend.substr(0, 37), "Tavisol export: Rain  wet - Average\r\n");
    EXPECT_NE(legend.find("\n0\t4\t255\t255\t204\t0 - 40 mm\r\n"), std::string::npos) << legend;
    ColorTable table;
    ASSERT_FALSE(LoadColorTable(f.path() / "out" / "t.clr", table, {}, {}));
    EXPECT_EQ(table[31].Name, "240 - 280 mm");
    EXPECT_EQ(table[255].Name, "No data");
}

} // namespace
} // namespace tavisol::rastermap
