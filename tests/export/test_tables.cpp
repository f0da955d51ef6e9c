// Standard monthly table and Ketlo CSV file: bytes on disk, header rule,
// append and truncate, clamping, locale independence, failures.

#include "export_fixture.h"

#include <algorithm>

#include "export/ketlo.h"
#include "export/standard_table.h"

namespace ex = tavisol::exports;
namespace nf = tavisol::numfmt;
using namespace exportfx;

namespace {

const char* const kStation =
    "Station Name = East of Rome, Latitude = 41.99\xB0,  Longitude = 13.01\xB0,  Altitude = 17 m\r\n";
const char* const kColumns =
    "                        "
    "       JAN        FEB        MAR        APR        MAY        JUN "
    "       JUL        AUG        SEP        OCT        NOV        DEC        YEAR \r\n";

const tavisol::engine::Months13 kTemps =
    Months({-2.5F, 0.0F, 3.456F, 10.0F, 15.0F, 20.0F, 25.125F, 24.0F, 18.0F, 12.0F, 6.0F, 1.0F, 1234.567F});

const char* const kTempRow =
    "Temp_mean_mly            "
    "     -2.50       0.00       3.46      10.00      15.00      20.00 "
    "     25.13      24.00      18.00      12.00       6.00       1.00 "
    "   1234.57 \r\n";

using StandardTable = ExportFileTest;
using KetloFile = ExportFileTest;

TEST_F(StandardTable, HeaderOnFirstVariableThenOneRowPerVariable) {
    const auto file = dir_ / "table.txt";
    auto rain = Months({-4.0F, 10.0F, 20.0F, 30.0F, 40.0F, 50.0F, 60.0F, 70.0F, 80.0F, 90.0F, 100.0F, 110.0F, 606.0F});
    ex::formatStandard(file, EastOfRome(0, kTemps), {true, false, nf::Locale::english()});
    ex::formatStandard(file, EastOfRome(3, rain), {false, true, nf::Locale::english()});
    const std::string rainRow =
        "Precip_Total_mly         "
        "      0.00      10.00      20.00      30.00      40.00      50.00 "
        "     60.00      70.00      80.00      90.00     100.00     110.00 "
        "    606.00 \r\n";
    EXPECT_EQ(Slurp(file), std::string(" \r\n") + kStation + kColumns + " \r\n" + kTempRow + rainRow);
}

TEST_F(StandardTable, WithoutAppendTheFileHoldsOnlyTheNewRow) {
    const auto file = dir_ / "table.txt";
    Put(file, "old line\r\n");
    ex::formatStandard(file, EastOfRome(0, kTemps), {false, false, nf::Locale::english()});
    EXPECT_EQ(Slurp(file), kTempRow);
}

TEST_F(StandardTable, ClampsAndKeepsOnlyBestEstimates) {
    auto sun = EastOfRome(7, Flat(0.5F));
    sun.Result.Best[1] = 1.07F;
    sun.Result.Best[2] = -0.2F;
    const auto plain = ex::StandardTableLines(sun, false, nf::Locale::english());
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].substr(0, 46), "Sunsh_fract._mly               1.00       0.00");
    // No confidence limits: error and bias do not reach the file.
    sun.Result.StdErr = Flat(3.0F);
    sun.Result.Bias = Flat(1.0F);
    EXPECT_EQ(ex::StandardTableLines(sun, false, nf::Locale::english()), plain);
}

TEST_F(StandardTable, DecimalCommaLocaleChangesOnlyTheStationLine) {
    const auto lines = ex::StandardTableLines(EastOfRome(0, kTemps), true, nf::Locale::decimalComma());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "Station Name = East of Rome, Latitude = 41,99°,  Longitude = 13,01°,  Altitude = 17 m");
    EXPECT_EQ(lines[4] + "\r\n", kTempRow);
}

TEST_F(StandardTable, PrintedTwinUsesItsMasksAndTheLocaleForm) {
    auto in = EastOfRome(0, kTemps);
    in.Calc.Latitude = 0.5F;
    const auto printed = ex::PrintformatStandard(in, true, nf::Locale::decimalComma());
    ASSERT_EQ(printed.size(), 5u);
    EXPECT_EQ(printed[1].str(), "Station Name = East of Rome, Latitude = ,50°,  Longitude = 13,01°,  Altitude = 17 m");
    EXPECT_EQ(printed[4].str().substr(25, 11), "     -2,50 ");
    EXPECT_EQ(printed[4].str().substr(25 + 12 * 11), "  1.234,57 ");
    EXPECT_EQ(ex::PrintformatStandard(in, false, nf::Locale::english()).size(), 1u);
}

TEST_F(StandardTable, UnwritableTargetThrowsAndLeavesNoFile) {
    EXPECT_THROW(ex::formatStandard(dir_ / "missing" / "t.txt", EastOfRome(0, kTemps), {}), nf::TextFileError);
    // A folder in the file's place: the text is written but cannot be put there.
    fs::create_directory(dir_ / "busy");
    EXPECT_THROW(ex::formatStandard(dir_ / "busy", EastOfRome(0, kTemps), {}), nf::TextFileError);
    EXPECT_EQ(entries(), 1u);
    EXPECT_TRUE(fs::is_empty(dir_ / "busy"));
}

TEST_F(StandardTable, SeveralRowsIntoOneWriterAreSavedTogether) {
    const auto file = dir_ / "table.txt";
    nf::TextFileWriter out(file);
    ex::formatStandard(out, EastOfRome(0, kTemps), true, nf::Locale::english());
    ex::formatStandard(out, EastOfRome(0, kTemps), false, nf::Locale::english());
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(Slurp(file), std::string(" \r\n") + kStation + kColumns + " \r\n" + kTempRow + kTempRow);
}

TEST_F(StandardTable, BadVariableIsRefused) {
    EXPECT_THROW(ex::StandardTableLines(EastOfRome(8, kTemps), false, nf::Locale::english()), std::out_of_range);
    EXPECT_THROW(ex::KetloLines(EastOfRome(-1, kTemps), false), std::out_of_range);
}

TEST_F(KetloFile, HeaderAndRowBytes) {
    const auto file = dir_ / "k.csv";
    ex::Ketlo(file, EastOfRome(0, kTemps), {true, false, nf::Locale::decimalComma()});
    EXPECT_EQ(Slurp(file),
              " \r\n"
              "\"STN-NAME\",\"Lon\",\"Lat\",\"Alt\",\"ELEMENT-CODE\",\"JAN\",\"FEB\",\"MAR\",\"APR\",\"MAY\","
              "\"JUN\",\"JUL\",\"AUG\",\"SEP\",\"OCT\",\"NOV\",\"DEC\",\"ELEMENT\"\r\n"
              " \r\n"
              "\"East of Rome\",013.01,41.99,17.0,E203,-2.50,0.00,3.46,10.00,15.00,20.00,25.13,24.00,18.00,"
              "12.00,6.00,1.00,\"Temp_mean_mly\"\r\n");
}

TEST_F(KetloFile, NegativeLongitudeClampAndLargeValues) {
    auto pet = EastOfRome(5, Flat(50.0F));
    pet.Calc.Longitude = -70.25F;
    pet.Result.Best[2] = -3.0F;
    pet.Result.Best[7] = 1234.5F;
    pet.Result.StdErr = Flat(9.0F);
    const auto lines = ex::KetloLines(pet, false);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "\"East of Rome\",-070.25,41.99,17.0,E294,50.00,0.00,50.00,50.00,50.00,50.00,1234.50,"
                        "50.00,50.00,50.00,50.00,50.00,\"Pot._Eva._mly\"");
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), 17);
    auto west = pet;
    west.Calc.Longitude = -5.5F;
    EXPECT_EQ(ex::KetloLines(west, false)[0].substr(15, 8), "-005.50,");
}

TEST_F(KetloFile, AppendAddsRowsAndReplaceTruncates) {
    const auto file = dir_ / "k.csv";
    Put(file, "something\r\n");
    ex::Ketlo(file, EastOfRome(1, Flat(20.0F)), {false, false, nf::Locale::english()});
    ex::Ketlo(file, EastOfRome(2, Flat(-1.0F)), {false, true, nf::Locale::english()});
    EXPECT_EQ(Slurp(file),
              "\"East of Rome\",013.01,41.99,17.0,E201,20.00,20.00,20.00,20.00,20.00,20.00,20.00,20.00,20.00,"
              "20.00,20.00,20.00,\"Temp_mean_max\"\r\n"
              "\"East of Rome\",013.01,41.99,17.0,E202,-1.00,-1.00,-1.00,-1.00,-1.00,-1.00,-1.00,-1.00,-1.00,"
              "-1.00,-1.00,-1.00,\"Temp_mean_min\"\r\n");
    EXPECT_EQ(ex::PrintKetlo(EastOfRome(1, Flat(20.0F)), false)[0].str() + "\r\n",
              Slurp(file).substr(0, Slurp(file).find('\n') + 1));
}

TEST_F(KetloFile, FailedAppendKeepsTheFileAsItWas) {
    EXPECT_THROW(ex::Ketlo(dir_ / "no" / "k.csv", EastOfRome(0, kTemps), {true, true, nf::Locale::english()}),
                 nf::TextFileError);
    EXPECT_EQ(entries(), 0u);
}

TEST(ExportNames, ElementNamesCodesAndCatalogueBase) {
    EXPECT_EQ(ex::ElementName(4), "Vap_Pr._mean_mly");
    EXPECT_EQ(ex::ElementCode(7), "E296");
    EXPECT_EQ(ex::CatalogueBaseName("C:\\data\\rome.lst"), "rome");
    EXPECT_EQ(ex::CatalogueBaseName("/home/u/my.data.lst"), "my");
    EXPECT_EQ(ex::CatalogueBaseName("plain"), "plain");
}

} // namespace
