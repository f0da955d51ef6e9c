#include <gtest/gtest.h>

#include "numfmt/printline.h"

namespace nf = tavisol::numfmt;

namespace {

TEST(PrintLine, ZoneAdvanceGoesToTheNextFourteenColumnZone) {
    nf::PrintLine line;
    line.text("Location:").zone().text("Latitude");
    EXPECT_EQ(line.str(), "Location:     Latitude");
    EXPECT_EQ(line.column(), 23);

    nf::PrintLine variable;
    variable.text("Variable: ").zone().text("Mean Temperature");
    EXPECT_EQ(variable.str().find("Mean"), 14u); // column 15

    // From a zone's first column it still moves a whole zone.
    nf::PrintLine fromStart;
    fromStart.zone().text("x");
    EXPECT_EQ(fromStart.str(), std::string(14, ' ') + "x");
    nf::PrintLine exact;
    exact.text("12345678901234").zone().text("x");
    EXPECT_EQ(exact.str(), "12345678901234" + std::string(14, ' ') + "x");
    nf::PrintLine trailing;
    trailing.text("ab").zone();
    EXPECT_EQ(trailing.str(), "ab" + std::string(12, ' '));
}

TEST(PrintLine, TabMovesToTheColumnOrStartsANewLine) {
    nf::PrintLine line;
    line.text("Number").tab(10).text(" Jan").tab(17).text(" Feb");
    EXPECT_EQ(line.str(), "Number    Jan    Feb");
    ASSERT_EQ(line.lines().size(), 1u);

    nf::PrintLine at;
    at.text("123456789").tab(10).text("x");
    EXPECT_EQ(at.str(), "123456789x");

    nf::PrintLine past;
    past.number(1).tab(10).text("1234567890").tab(17).text("y");
    const auto lines = past.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], " 1       1234567890");
    EXPECT_EQ(lines[1], std::string(16, ' ') + "y");
    EXPECT_EQ(past.str(), lines[0] + "\r\n" + lines[1]);

    nf::PrintLine low;
    low.text("ab").tab(0).text("c");
    EXPECT_EQ(low.lines(), (std::vector<std::string>{"ab", "c"}));
}

TEST(PrintLine, NumbersInPrintFormWithTheLocale) {
    nf::PrintLine line(nf::Locale::decimalComma());
    line.number(3).tab(10).number(-1.5f).tab(17).number(0.25f).tab(24).number(12.0);
    EXPECT_EQ(line.str(), " 3       -1,5    ,25    12 ");
}

TEST(PrintLine, ColumnsCountCharactersNotBytes) {
    nf::PrintLine line;
    line.text("41.90°,").zone().text("x");
    EXPECT_EQ(line.column(), 16);
    EXPECT_EQ(line.str(), "41.90°," + std::string(7, ' ') + "x");
}

TEST(PrintLine, SegmentsGiveEachItemRunItsColumn) {
    nf::PrintLine line;
    line.text("Mean").tab(10).text("1.0").text("x").zone().spc(2).text("z");
    const auto& segments = line.segments();
    ASSERT_EQ(segments.size(), 1u);
    ASSERT_EQ(segments[0].size(), 4u);
    EXPECT_EQ(segments[0][0].column, 1);
    EXPECT_EQ(segments[0][0].text, "Mean");
    EXPECT_EQ(segments[0][1].column, 10);
    EXPECT_EQ(segments[0][1].text, "1.0x");
    EXPECT_EQ(segments[0][2].column, 15);
    EXPECT_EQ(segments[0][2].text, "");
    EXPECT_EQ(segments[0][3].column, 17);
    EXPECT_EQ(line.str(), "Mean     1.0x   z");
}

TEST(PrintLine, EmptyLineIsOneEmptyPhysicalLine) {
    nf::PrintLine line;
    EXPECT_EQ(line.lines(), std::vector<std::string>{""});
    EXPECT_EQ(line.str(), "");
    EXPECT_EQ(line.column(), 1);
}

} // namespace

namespace {

// Lines as the report and export writers build them from the kit.
TEST(ComposedLines, ReportLocationLine) {
    const nf::Locale en = nf::Locale::english();
    nf::PrintLine line(en);
    line.text("Location:")
        .zone()
        .text("Latitude = " + nf::formatMask(41.9f, "###.00", en) + "°, ")
        .text(" Longitude = " + nf::formatMask(12.483f, "####.00", en) + "°, ")
        .text(" Altitude = " + nf::formatMask(17.0f, "####", en) + " m");
    EXPECT_EQ(line.str(), "Location:     Latitude = 41.90°,  Longitude = 12.48°,  Altitude = 17 m");
}

TEST(ComposedLines, ExportCellsAreTheSameInEveryLocale) {
    // An annual value with four integer digits: three blanks, seven
    // characters of number, one blank.
    EXPECT_EQ(nf::rightAlignCut(nf::forcedPointFixed(1234.567f, 2), 10) + " ", "   1234.57 ");
    const std::string row = "\"East of Rome\"," + nf::forcedPoint(13.01f, "0##.00") + "," +
                            nf::forcedPoint(41.99f, "####.00") + "," + nf::forcedPoint(17.0f, "####.0") + ",E203";
    EXPECT_EQ(row, "\"East of Rome\",013.01,41.99,17.0,E203");
}

TEST(ComposedLines, GeneratedLocationNameUsesTheGeneralForm) {
    for (const nf::Locale& loc : {nf::Locale::english(), nf::Locale::decimalComma()}) {
        const float lon = nf::roundDecimals(13.0049f, 2);
        const float lat = nf::roundDecimals(41.985f, 2);
        const float alt = nf::roundDecimals(17.5f, 0);
        const std::string name =
            "ST-Lon" + nf::general(lon, loc) + "-Lat" + nf::general(lat, loc) + "-Alt-" + nf::general(alt, loc);
        EXPECT_EQ(name, loc.decimal == "." ? "ST-Lon13-Lat41.99-Alt-18" : "ST-Lon13-Lat41,99-Alt-18");
    }
}

} // namespace
