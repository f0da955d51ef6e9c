// Tillwick growing-season input and output files.

#include "export_fixture.h"

#include <algorithm>

#include "export/furrowin.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"

namespace ex = tavisol::exports;
namespace nf = tavisol::numfmt;
using namespace exportfx;

namespace {

using TillwickInputFile = ExportFileTest;
using TillwickOutputFile = ExportFileTest;

const char* const kInputHeader =
    " Rainfall and PET\r\n"
    ",\"Lon\",\"Lat\",\"Alt\",\"R1\",\"R2\",\"R3\",\"R4\",\"R5\",\"R6\",\"R7\",\"R8\",\"R9\",\"R10\",\"R11\",\"R12\","
    "\"E1\",\"E2\",\"E3\",\"E4\",\"E5\",\"E6\",\"E7\",\"E8\",\"E9\",\"E10\",\"E11\",\"E12\"\r\n"
    " \r\n";

const char* const kOutputHeader =
    " Length of growing season with F= .5\r\n"
    ",\"Lon\",\"Lat\",\"Alt\",\"SeasTot\",\"Nr\",\"Type\",\"LGS\",\"BegSd.m\",\"begSJul\",\"EndSd.m\",\"BegHd.m\","
    "\"EndHd.m\"\r\n";

LocationExport WithSeasons(const std::string& name, const tavisol::engine::Months13& rain,
                           const tavisol::engine::Months13& pet) {
    auto l = Location(name, 13.01F, 41.99F, 17.0F);
    l.Results[3].Best = rain;
    l.Results[5].Best = pet;
    // Other variables must not matter.
    l.Results[0].Best = Flat(-40.0F);
    return l;
}

TEST_F(TillwickInputFile, RowRoundsToWholeMillimetresAndClamps) {
    const auto l = WithSeasons("East of Rome", Months({86.5F, 87.5F, -3.0F, 1500.4F, 10, 10, 10, 10, 10, 10, 10, 10}),
                               Months({-2.0F, 100.49F, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50.5F}));
    const auto file = dir_ / "lgs.csv";
    ex::TillwickInput(file, l, {true, false, nf::Locale::decimalComma()});
    const std::string row =
        "\"East of Rome\",13.01,41.99,17.0,86,88,0,1500,10,10,10,10,10,10,10,10,0,100,50,50,50,50,50,50,50,50,50,50\r\n";
    EXPECT_EQ(Slurp(file), std::string(kInputHeader) + row);
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 27);
}

TEST_F(TillwickInputFile, ListRunWritesTheHeaderOnceAndPrintsTheSameTexts) {
    const auto file = dir_ / "lgs.csv";
    Put(file, "stale\r\n");
    for (int i = 0; i < 3; ++i) {
        auto l = WithSeasons("P" + std::to_string(i), Flat(20.0F), Flat(40.0F));
        l.Calc.Longitude = -5.5F * static_cast<float>(i);
        ex::TillwickInput(file, l, {i == 0, i != 0, nf::Locale::english()});
    }
    const std::string tail = ",41.99,17.0,20,20,20,20,20,20,20,20,20,20,20,20,40,40,40,40,40,40,40,40,40,40,40,40\r\n";
    EXPECT_EQ(Slurp(file), std::string(kInputHeader) + "\"P0\",.00" + tail + "\"P1\",-5.50" + tail + "\"P2\",-11.00" + tail);

    const auto printed = ex::PrintTillwickInput(WithSeasons("P0", Flat(20.0F), Flat(40.0F)));
    ASSERT_EQ(printed.size(), 4u);
    std::string text;
    for (const auto& line : printed) text += line.str() + "\r\n";
    EXPECT_EQ(text.substr(0, std::string(kInputHeader).size()), kInputHeader);
}

TEST_F(TillwickOutputFile, SituationsWithoutSeasonDates) {
    const auto file = dir_ / "out.csv";
    ex::TillwickOutput(file, WithSeasons("Dry", Flat(10.0F), Flat(100.0F)), {true, false, nf::Locale::english()});
    ex::TillwickOutput(file, WithSeasons("Wet", Flat(150.0F), Flat(100.0F)), {false, true, nf::Locale::english()});
    EXPECT_EQ(Slurp(file), std::string(kOutputHeader) +
                               "\"Dry\",13.01,41.99,17.0,1,1,1,0,-999,-999,-999,-999,-999\r\n"
                               "\"Wet\",13.01,41.99,17.0,1,1,5,365,-999,-999,-999,-999,-999\r\n");
}

TEST_F(TillwickOutputFile, SeasonsLongestFirstInEveryLocale) {
    const auto l = WithSeasons("Two", Months({30, 60, 70, 20, 40, 80, 180, 180, 90, 30, 30, 30}), Flat(100.0F));
    const std::string rows =
        "\"Two\",13.01,41.99,17.0,2,1,3,133,23.05,143,5.10,21.06,12.09\r\n"
        "\"Two\",13.01,41.99,17.0,2,2,2,53,5.02,35,27.03,-999,-999\r\n";
    for (const auto& locale : {nf::Locale::english(), nf::Locale::decimalComma()}) {
        const auto file = dir_ / "out.csv";
        ex::TillwickOutput(file, l, {true, false, locale});
        EXPECT_EQ(Slurp(file), kOutputHeader + rows);
    }
    std::string printed;
    for (const auto& line : ex::PrintTillwickOutput(l, nf::Locale::decimalComma())) printed += line.str() + "\r\n";
    EXPECT_EQ(printed, kOutputHeader + rows);
}

TEST_F(TillwickOutputFile, HumidPeriodsOnlyShowTheirBeginDay) {
    const auto l = WithSeasons("H", Months({60, 60, 60, 60, 80, 180, 180, 90, 60, 60, 60, 60}), Flat(100.0F));
    const auto lines = ex::TillwickOutputLines(l, false, nf::Locale::english());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "\"H\",13.01,41.99,17.0,1,1,6,365,-999,141,-999,21.05,12.08");
}

TEST_F(TillwickOutputFile, CalculationErrorWritesNothing) {
    const auto l = WithSeasons("Six", Months({30, 70, 30, 70, 30, 70, 30, 70, 30, 70, 30, 70}), Flat(100.0F));
    const auto file = dir_ / "out.csv";
    EXPECT_THROW(ex::TillwickOutput(file, l, {true, false, nf::Locale::english()}), ex::SeasonRangeError);
    EXPECT_FALSE(fs::exists(file));
    Put(file, "kept\r\n");
    EXPECT_THROW(ex::TillwickOutput(file, l, {false, true, nf::Locale::english()}), ex::SeasonRangeError);
    EXPECT_EQ(Slurp(file), "kept\r\n");
    EXPECT_THROW(ex::TillwickOutput(dir_ / "none" / "o.csv", WithSeasons("D", Flat(1), Flat(9)), {}),
                 nf::TextFileError);
}

// Writers asked for a variable without an estimate throw and touch no file,
// whoever calls them (the output dialog, the list window's runs).
TEST_F(TillwickInputFile, VariablesWithoutAnEstimateAreRefusedByEveryWriter) {
    auto l = WithSeasons("Sea", Flat(80), Flat(0));
    l.HasEstimate[5] = false;
    const auto file = dir_ / "out.csv";
    const ex::ExportOptions options{true, false, nf::Locale::english()};
    EXPECT_THROW(ex::TillwickInput(file, l, options), ex::MissingEstimateError);
    EXPECT_THROW(ex::TillwickOutput(file, l, options), ex::MissingEstimateError);
    EXPECT_THROW(ex::PrintTillwickInput(l), ex::MissingEstimateError);
    ex::FurrowinOptions f;
    f.FileFolder = dir_;
    EXPECT_THROW(ex::Furrowin(dir_ / "c.Lst", l, f), ex::MissingEstimateError);
    EXPECT_THROW(ex::PrintFurrowin(l, nf::Locale::english()), ex::MissingEstimateError);
    EXPECT_EQ(entries(), 0U);
    try {
        ex::TillwickInput(file, l, options);
    } catch (const ex::MissingEstimateError& e) {
        EXPECT_STREQ(e.what(), "The Tillwick input file needs precipitation and potential evapotranspiration; "
                               "there is no estimate of potential evapotranspiration at Sea.");
    }
    // The Furrowin rainfall table reads precipitation too.
    l.HasEstimate = {true, true, true, false, true, true, true, true};
    EXPECT_THROW(ex::Furrowin(dir_ / "c.Lst", l, f), ex::MissingEstimateError);
    // Variables the format does not read do not matter.
    l.HasEstimate = {false, true, true, true, false, true, true, true};
    EXPECT_NO_THROW(ex::Furrowin(dir_ / "c.Lst", l, f));

    auto v = EastOfRome(7, Flat(0));
    v.HasEstimate = false;
    EXPECT_THROW(ex::formatStandard(file, v, options), ex::MissingEstimateError);
    EXPECT_THROW(ex::Ketlo(file, v, options), ex::MissingEstimateError);
    EXPECT_THROW(ex::PrintformatStandard(v, true, nf::Locale::english()), ex::MissingEstimateError);
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
