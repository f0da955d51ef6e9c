#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "batch/locations.h"

namespace tavisol::batch {
namespace {

using ::testing::ElementsAre;

const numfmt::Locale English = numfmt::Locale::english();
const numfmt::Locale Comma = numfmt::Locale::decimalComma();

struct Reader {
    std::vector<std::pair<float, float>> lookups;
    std::vector<std::string> skipped;
    LocationList Read(std::string_view text, const numfmt::Locale &loc = English) {
        return ReadLocationText(
            text,
            [this](float lon, float lat) {
                lookups.emplace_back(lon, lat);
                return 321;
            },
            loc, [this](const Message &m) {
                EXPECT_EQ(m.icon, MsgIcon::Information);
                EXPECT_EQ(m.title, "");
                // The first line is the fixed text; the second tells where and why.
                const std::size_t cr = m.text.find('\r');
                skipped.push_back(m.text.substr(0, cr));
                reasons.push_back(cr == std::string::npos ? "" : m.text.substr(cr + 1));
                return true;
            },
            file);
    }
    std::vector<std::string> reasons;
    std::string file;
};

std::string Skip(const std::string &name) {
    return "Location " + name + " Skipped : Longitude or Latitude or Altitude not valid.";
}

TEST(LocationFile, FieldCountsDecideNameAndAltitude) {
    Reader r;
    const LocationList list = r.Read("12.5,41.9\r\n 12.5 , 41.9 , 20 \r\nRome, 12.5 ,41.9, 20\r\n");
    ASSERT_EQ(list.size(), 3u);
    // Two fields: the altitude comes from the raster at the point.
    EXPECT_EQ(list[0], (ListEntry{" Lon : 12.5 Lat : 41.9 Alt : 321", "12.5", "41.9", "321"}));
    ASSERT_EQ(r.lookups.size(), 1u);
    EXPECT_FLOAT_EQ(r.lookups[0].first, 12.5f);
    EXPECT_FLOAT_EQ(r.lookups[0].second, 41.9f);
    EXPECT_EQ(list[1], (ListEntry{" Lon : 12.5 Lat : 41.9 Alt : 20", "12.5", "41.9", "20"}));
    EXPECT_EQ(list[2], (ListEntry{"Rome", "12.5", "41.9", "20"}));
    EXPECT_TRUE(r.skipped.empty());
}

TEST(LocationFile, ByteOrderMarkOfSpreadsheetsIsNotPartOfTheFirstLine) {
    Reader r;
    const LocationList list = r.Read("\xEF\xBB\xBF" "12.5,41.9,20\r\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Longitude, "12.5");
    EXPECT_TRUE(r.skipped.empty());
    Reader named;
    const LocationList rome = named.Read("\xEF\xBB\xBF" "Rome,12.5,41.9,20\n");
    ASSERT_EQ(rome.size(), 1u);
    EXPECT_EQ(rome[0].Text, "Rome");
}

TEST(LocationFile, PointsOutsideTheRangesNeverReachTheElevationLookup) {
    Reader r;
    const LocationList list = r.Read("1e36,0\r\n0,95\r\n-180.01,0\r\n1e39,0\r\n180,-90\r\n");
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(r.lookups.size(), 1u);
    EXPECT_EQ(r.lookups[0], (std::pair<float, float>{180, -90}));
    EXPECT_EQ(r.skipped.size(), 4u);
}

TEST(LocationFile, OldMacLineEndsAndCtrlZ) {
    Reader r;
    const LocationList list = r.Read("12.5,41.9,20\r13,42,30\rRome,1,2,3\r\x1A");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].Longitude, "13");
    EXPECT_EQ(list[2].Text, "Rome");
    EXPECT_TRUE(r.skipped.empty());
}

TEST(LocationFile, SkipMessagesNameTheFileLineAndField) {
    using namespace std::string_literals;
    Reader r;
    r.file = "/lists/places.csv";
    const std::string longName(200, 'N');
    r.Read("Rome,190,41.9,20\r\n1,2,3,4,5\r\n" + longName + ",1,2,3\0,\r\n"s + "Na\0me,1,95,3\r\n"s +
           "1,2,20000\r\n");
    ASSERT_EQ(r.reasons.size(), 5u);
    EXPECT_EQ(r.reasons[0], "Line 1 of /lists/places.csv: field 2 (longitude \"190\") is outside -180 to 180.");
    EXPECT_EQ(r.reasons[1], "Line 2 of /lists/places.csv: 5 fields where 2, 3 or 4 are read: \"1,2,3,4,5\".");
    EXPECT_EQ(r.skipped[2], Skip("Wrong Data"));
    EXPECT_EQ(r.reasons[2], "Line 3 of /lists/places.csv: 5 fields where 2, 3 or 4 are read: \"" +
                                std::string(80, 'N') + "\u2026\".");
    // A name from the file is shown with its control bytes visible.
    EXPECT_EQ(r.skipped[3], Skip("Na\u2400me"));
    EXPECT_EQ(r.reasons[3], "Line 4 of /lists/places.csv: field 3 (latitude \"95\") is outside -90 to 90.");
    EXPECT_EQ(r.reasons[4], "Line 5 of /lists/places.csv: field 3 (altitude \"20000\") is outside -600 to 10000.");

    Reader longNamed;
    longNamed.Read(longName + ",1,2,-601\r\n");
    ASSERT_EQ(longNamed.skipped.size(), 1u);
    EXPECT_EQ(longNamed.skipped[0], Skip(std::string(80, 'N') + "\u2026"));
    EXPECT_EQ(longNamed.reasons[0], "Line 1: field 4 (altitude \"-601\") is outside -600 to 10000.");
}

TEST(LocationFile, WrongFieldCountsAreSkippedAsWrongData) {
    Reader r;
    const LocationList list = r.Read("\r\n1,2,3,4,5\r\nSan Jose, CR, 1, 2, 3\r\n12.5;41.9\r\n1,2\n");
    EXPECT_EQ(list.size(), 1u);
    EXPECT_THAT(r.skipped, ElementsAre(Skip("Wrong Data"), Skip("Wrong Data"), Skip("Wrong Data"),
                                       Skip("Wrong Data")));
}

TEST(LocationFile, RangeLimitsPassAndBeyondIsSkippedByItsName) {
    Reader r;
    const LocationList list =
        r.Read("180,-90,10000\r\n-180,90,-600\r\n180.01,0,5\r\nHigh,0,0,10000.5\r\n0,90.5\r\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Altitude, "10000");
    EXPECT_EQ(list[1].Altitude, "-600");
    EXPECT_THAT(r.skipped, ElementsAre(Skip(" Lon : 180.01 Lat : 0 Alt : 5"), Skip("High"),
                                       Skip(" Lon : 0 Lat : 90.5 Alt : 0")));
}

TEST(LocationFile, NumbersReadLikeValAndAFieldWithoutOneSkipsTheLine) {
    Reader r;
    const LocationList list = r.Read("Longitude,Latitude\r\n1 2.5 ,4e1\r\n-.5,1,2,3\r\n6.86,45.83,\r\n,,\r\n"
                                     "NaN,inf,3\r\n\"Rome\",\"12.48\",\"41.9\",\"20\"\r\nRome,12.5,41.9, \r\n"
                                     "12.5,41.9,20,\r\nTab,12.5,41.9,\t\r\n");
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].Longitude, "12.5");
    EXPECT_EQ(list[0].Latitude, "40");
    EXPECT_EQ(list[1], (ListEntry{"-.5", "1", "2", "3"}));
    // An empty altitude field takes the raster's, as a line without one.
    EXPECT_EQ(list[2], (ListEntry{" Lon : 6.86 Lat : 45.83 Alt : 321", "6.86", "45.83", "321"}));
    EXPECT_EQ(list[3], (ListEntry{"Rome", "12.5", "41.9", "321"}));
    EXPECT_EQ(list[4], (ListEntry{"Tab", "12.5", "41.9", "321"}));
    EXPECT_THAT(r.skipped, ElementsAre(Skip("Wrong Data"), Skip("Wrong Data"), Skip("Wrong Data"), Skip("\"Rome\""),
                                       Skip("Wrong Data")));
    EXPECT_THAT(r.reasons, ElementsAre("Line 1: field 1 (longitude \"Longitude\") holds no number.",
                                       "Line 5: field 1 (longitude \"\") holds no number.",
                                       "Line 6: field 1 (longitude \"NaN\") holds no number.",
                                       "Line 7: field 2 (longitude \"\"12.48\"\") holds no number.",
                                       // Three numbers and a trailing comma: the first is no name.
                                       "Line 9: field 4 (altitude \"\") is empty after three numbers, as a comma "
                                       "at the end of the line leaves it."));
}

// A field cut short at a decimal comma, a semicolon or any other character
// would be another place: anything after the number but blanks is no number.
TEST(LocationFile, AnythingAfterTheNumberButBlanksSkipsTheLine) {
    const struct {
        const char *line, *name, *reason;
    } rows[] = {
        {"12,5;41,9;20", "Wrong Data", "field 2 (latitude \"5;41\") holds no number"},
        {"7,25;46,5;1500", "Wrong Data", "field 2 (latitude \"25;46\") holds no number"},
        {"0x10,20,30", "Wrong Data", "field 1 (longitude \"0x10\") holds no number"},
        {"12.5x,41.9", "Wrong Data", "field 1 (longitude \"12.5x\") holds no number"},
        {"1e,2", "Wrong Data", "field 1 (longitude \"1e\") holds no number"},
        {"12.5,41.9,1.2.3", "Wrong Data", "field 3 (altitude \"1.2.3\") holds no number"},
        {"Rome,12.5,41.9,20 m", "Rome", "field 4 (altitude \"20 m\") holds no number"},
        {"Rome,12.5-1,41.9,20", "Rome", "field 2 (longitude \"12.5-1\") holds no number"},
    };
    for (const auto &row : rows) {
        Reader r;
        EXPECT_TRUE(r.Read(row.line).empty()) << row.line;
        EXPECT_THAT(r.skipped, ElementsAre(Skip(row.name))) << row.line;
        EXPECT_THAT(r.reasons, ElementsAre("Line 1: " + std::string(row.reason) + ".")) << row.line;
        EXPECT_TRUE(r.lookups.empty()) << row.line;
    }
}

TEST(LocationFile, AFullListStopsTheReadingAndSaysWhere) {
    Reader r;
    r.file = "/lists/big.csv";
    std::string text = "Header\r\n";
    for (std::size_t i = 0; i <= MaxListedLocations + 1; ++i)
        text += "1,2,3\r\n";
    EXPECT_EQ(r.Read(text).size(), MaxListedLocations);
    const std::size_t stop = MaxListedLocations + 2;
    EXPECT_THAT(r.skipped, ElementsAre(Skip("Wrong Data"), "A list holds at most " + std::to_string(MaxListedLocations) +
                                                               " locations: the reading stopped at line " +
                                                               std::to_string(stop) + " of /lists/big.csv, after " +
                                                               std::to_string(stop - 1) + " lines were read."));
}

TEST(LocationFile, LastLineWithoutLineEndAndLatinNames) {
    Reader r;
    // "M\xfcnchen" is a Windows-1252 name; the UTF-8 one stays as it is; an
    // encoded surrogate is no UTF-8 and reads as Windows-1252.
    const LocationList list =
        r.Read("M\xfcnchen,11.6,48.1,519\r\nCaf\xed\xa0\x80,1,2,3\r\nZ\xc3\xbcrich,8.5,47.4,408");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Text, "M\xc3\xbcnchen");
    EXPECT_EQ(list[1].Text, "Caf\xc3\xad\xc2\xa0\xe2\x82\xac");
    EXPECT_EQ(list[2].Text, "Z\xc3\xbcrich");
}

TEST(LocationFile, RegionalDecimalSignInTheRows) {
    Reader r;
    const LocationList list = r.Read("12.5,41.9,20.5\r\n", Comma);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (ListEntry{" Lon : 12,5 Lat : 41,9 Alt : 20,5", "12,5", "41,9", "20,5"}));
    const EntryPoint p = ReadEntryPoint(list[0], Comma);
    EXPECT_FLOAT_EQ(p.Longitude, 12.5f);
    EXPECT_FLOAT_EQ(p.Altitude, 20.5f);
}

TEST(LocationFile, RasterFailureStopsTheReading) {
    EXPECT_THROW(ReadLocationText("1,2\r\n", [](float, float) -> int { throw std::runtime_error("no raster"); },
                                  English, {}),
                 std::runtime_error);
}

TEST(LocationFile, InfiniteCoordinatesAreSkippedWithoutLookup) {
    Reader r;
    EXPECT_TRUE(r.Read("1e999,5\r\n").empty());
    EXPECT_TRUE(r.lookups.empty());
    EXPECT_EQ(r.skipped.size(), 1u);
}

TEST(ListEntries, GridEntryMasksAndReadBack) {
    EXPECT_EQ(GridEntry(5, 40, 123, English), (ListEntry{" Lon : 5.00 Lat : 40.00 Alt : 123", "5.00", "40.00", "123"}));
    EXPECT_EQ(GridEntry(-0.1f, 0.05f, -40, English).Text, " Lon : -0.10 Lat : 0.05 Alt : -40");
    EXPECT_EQ(GridEntry(1234.5f, 5, 0, Comma).Longitude, "1234,50");
    const EntryPoint p = ReadEntryPoint(GridEntry(-0.1f, 0.05f, -40, English), English);
    EXPECT_FLOAT_EQ(p.Longitude, -0.1f);
    EXPECT_FLOAT_EQ(p.Latitude, 0.05f);
    EXPECT_FLOAT_EQ(p.Altitude, -40);
    EXPECT_THROW(ReadEntryPoint({"x", "abc", "1", "2"}, English), std::runtime_error);
}

} // namespace
} // namespace tavisol::batch
