// The report file's lines and its writing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "report/fixture.h"
#include "report/reportfile.h"
#include "results/storedresults.h"

namespace {

using namespace tavisol;
using report::AppliedMethods;
using report::ReportKind;
using report::ReportOptions;
using reporttest::Find;
namespace fs = std::filesystem;

const numfmt::Locale English = numfmt::Locale::english();
const numfmt::Locale Comma = numfmt::Locale::decimalComma();

std::string Pad(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
std::string R(int w, const std::string &s) { return numfmt::rightAlign(s, w); }

std::vector<std::string> Lines(const report::ReportInput &in, const ReportOptions &o = {},
                               ReportKind kind = ReportKind::Workbench, const numfmt::Locale &loc = English,
                               const AppliedMethods &m = {}) {
    return report::BuildReportLines(in, m, o, kind, loc);
}

// Lines from `first` on, `count` of them.
std::vector<std::string> Slice(const std::vector<std::string> &v, int first, int count) {
    return {v.begin() + first, v.begin() + first + count};
}

TEST(ReportHead, TitleLocationVariableAndDefaultMethods) {
    const auto lines = Lines(reporttest::SampleInput());
    const std::vector<std::string> expected = {
        "Tavisol",
        " ",
        "Location:     Latitude = 41.90\u00b0,  Longitude = 12.48\u00b0,  Altitude = 17 m",
        " ",
        "Variable:     Monthly Mean Temperature in \u00b0C",
        " ",
        "Applied Methods:",
        " ",
        "     Linear Altitude Correction",
        "     Climate Gradient Correction",
        "     Shadow Correction with weight: 1.00",
        "     Maximum Distance of Neighbors in km: 1000",
        "     Maximum Number of Stations: 20",
        "     Inverse Distance Weighted Averaging with Power Exponent 1",
        " ",
        " ",
        "Provided by the Marovel",
    };
    EXPECT_EQ(lines, expected);
}

TEST(ReportHead, DecimalCommaLocaleAndFieldReading) {
    auto in = reporttest::SampleInput(4);
    in.CalcLatitude = -0.5f;
    in.CalcLongitude = 0.25f;
    in.CalcAltitude = 0;
    AppliedMethods m;
    m.AltCorr = false;
    m.Shad = "0.5";
    m.MaxDist = " 1 500 ";  // blanks are dropped before reading
    m.MaxStat = "abc";      // no number reads as 0
    m.PowExp = "1.5";
    m.NeighbAlt = true;
    m.MinHigh = "-350";
    m.MaxHigh = "2500,5";   // a comma ends the number
    const auto lines = Lines(in, {}, ReportKind::Workbench, Comma, m);
    EXPECT_EQ(lines[2], "Location:     Latitude = -,50\u00b0,  Longitude = ,25\u00b0,  Altitude =  m");
    EXPECT_EQ(lines[4], "Variable:     Water Vapor Pressure in Hectopascal (hPa)");
    const std::vector<std::string> methods = {
        "     Climate Gradient Correction",
        "     Shadow Correction with weight: 0,50",
        "     Maximum Distance of Neighbors in km: 1500",
        "     Maximum Number of Stations: 0",
        "     Inverse Distance Weighted Averaging with Power Exponent 1,5",
        "     Only stations with elevation between -350m and 2500m are taken into account.",
        " ",
    };
    EXPECT_EQ(Slice(lines, 8, 7), methods);
}

TEST(ReportHead, NoShadowLineForZeroWeight) {
    AppliedMethods m;
    m.Shad = "0";
    const auto lines = Lines(reporttest::SampleInput(), {}, ReportKind::Workbench, English, m);
    EXPECT_EQ(lines[10], "     Maximum Distance of Neighbors in km: 1000");
}

TEST(ReportHead, HitReplacesTheSettingsAndWarningsFollow) {
    auto in = reporttest::SampleInput();
    in.Warnings.Hit = engine::True;
    in.Warnings.Low = engine::True;
    in.Warnings.Lonely = engine::True;
    in.Warnings.Strange = engine::True;
    in.Warnings.Doubled = engine::True;
    in.Warnings.Few = engine::True;
    AppliedMethods m;
    m.MinDist = "0.1";
    for (const auto *loc : {&English, &Comma}) {
        const auto lines = Lines(in, {}, ReportKind::Workbench, *loc, m);
        const std::string dist = loc == &English ? "0.1" : "0,1";
        const std::vector<std::string> expected = {
            "     Nearest neighbor is closer than " + dist + "km away.",
            "     Nearest Neighbor Approximation is used.",
            "     WARNING: Location lower than surrounding Stations!",
            "     WARNING: Location not surrounded by neighboring Stations!",
            "     WARNING: Strange data detected at surrounding Stations!",
            " ",
            " ",
            "Provided by the Marovel",
        };
        EXPECT_EQ(Slice(lines, 8, static_cast<int>(lines.size()) - 8), expected);
    }
}

TEST(ReportMonthly, OnlyBest) {
    ReportOptions o;
    o.Best = true;
    const auto lines = Lines(reporttest::SampleInput(), o);
    const int title = Find(lines, "Estimated annual cycle of expectation values in monthly resolution:");
    ASSERT_EQ(title, 16);
    EXPECT_EQ(lines[14], " ");
    EXPECT_EQ(lines[15], " ");
    EXPECT_EQ(lines[17], " ");
    EXPECT_EQ(lines[18], "Month            Best");
    EXPECT_EQ(lines[19], Pad(11) + "       \u00b0C ");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[21], "January     " + R(10, "7.50"));
    EXPECT_EQ(lines[27], "July        " + R(10, "23.50"));
    EXPECT_EQ(lines[33], "    Average" + R(10, "15.50"));
    EXPECT_EQ(lines[34], " ");
    EXPECT_EQ(lines.back(), "Provided by the Marovel");
}

TEST(ReportMonthly, EveryColumnInOrder) {
    ReportOptions o;
    o.Best = o.High = o.Error = o.Bias = o.Slope = o.LongGrad = o.LatGrad = o.DirGrad = o.AbsGrad = o.ExplVar = true;
    o.Level = ConfidenceLevel::P95;
    const auto lines = Lines(reporttest::SampleInput(), o);
    EXPECT_EQ(lines[18], "Month      " + R(10, "Best") + R(15, "Low (2.5%)") + R(15, "High (97.5%)") +
                             R(10, "Std. Err.") + R(10, "Bias") + R(10, "Slope") + R(10, "Lon Grad") +
                             R(10, "Lat Grad") + R(10, "Dir Grad") + R(10, "Dir Grad") + R(10, "Abs Grad") +
                             R(10, "r^2(Alt)"));
    const std::string u = "\u00b0C ";
    EXPECT_EQ(lines[19], Pad(11) + R(10, u) + R(15, u) + R(15, u) + R(10, u) + R(10, u) + R(10, u + "/100m") +
                             R(10, u + "/100km") + R(10, u + "/100km") + R(10, "Degrees") + R(10, " ") +
                             R(10, u + "/100km") + R(10, " "));
    // January: best 7.5, std. err. 0.51 at 1.96.
    EXPECT_EQ(lines[21], "January     " + R(10, "7.50") + R(15, "6.50") + R(15, "8.50") + R(10, "0.51") +
                             R(10, "-0.10") + R(10, "-0.65") + R(10, "0.25") + R(10, "-0.75") + R(10, "181.00") +
                             R(10, "S ") + R(10, "0.80") + R(10, "0.42"));
}

TEST(ReportMonthly, LevelsAndTheBlankHeadsWithoutOne) {
    ReportOptions o;
    o.High = true;
    auto in = reporttest::ConstantInput(0, 10, 2);
    EXPECT_EQ(Lines(in, o)[18], "Month      " + Pad(30));
    EXPECT_EQ(Lines(in, o)[21], "January     " + R(15, "6.71") + R(15, "13.29"));  // 1.645
    o.Level = ConfidenceLevel::P99;
    EXPECT_EQ(Lines(in, o)[18], "Month      " + R(15, "Low (.5%)") + R(15, "High (99.5%)"));
    EXPECT_EQ(Lines(in, o)[21], "January     " + R(15, "4.84") + R(15, "15.16"));
}

TEST(ReportMonthly, ClampsOnlyBestLowAndHigh) {
    ReportOptions o;
    o.Best = o.High = o.Error = o.Bias = true;
    o.Level = ConfidenceLevel::P90;
    auto in = reporttest::ConstantInput(3, 5, 4);
    in.Result.Best[2] = -1;
    in.Result.Bias[2] = -3;
    auto lines = Lines(in, o);
    EXPECT_EQ(lines[21], "January     " + R(10, "5.00") + R(15, "0.00") + R(15, "11.58") + R(10, "4.00") +
                             R(10, "-0.10"));
    EXPECT_EQ(lines[22], "February    " + R(10, "0.00") + R(15, "0.00") + R(15, "5.58") + R(10, "4.00") +
                             R(10, "-3.00"));
    // Sunshine: never above 1.
    in = reporttest::ConstantInput(7, 0.9f, 0.2f);
    lines = Lines(in, o);
    EXPECT_EQ(lines[21], "January     " + R(10, "0.90") + R(15, "0.57") + R(15, "1.00") + R(10, "0.20") +
                             R(10, "-0.10"));
}

TEST(ReportMonthly, SunshineUnitsOfTheTwoKinds) {
    ReportOptions o;
    o.Best = o.Error = o.Slope = true;
    const auto in = reporttest::SampleInput(7);
    EXPECT_EQ(Lines(in, o, ReportKind::Workbench)[19], Pad(11) + R(10, "1") + R(10, "1") + R(10, "1/100m"));
    EXPECT_EQ(Lines(in, o, ReportKind::Location)[19], Pad(11) + R(10, " ") + R(10, " ") + R(10, " /100m"));
}

TEST(ReportSeries, DekadalTotalsOfPrecipitation) {
    ReportOptions o;
    o.Dekadal = true;
    o.Level = ConfidenceLevel::P90;
    const auto lines = Lines(reporttest::ConstantInput(3, 30.4375f, 0), o);
    const int title = Find(lines, "Estimated annual cycle of expectation values in dekadal resolution:");
    ASSERT_EQ(title, 16);
    EXPECT_EQ(lines[18], "dekade         " + R(15, "Best") + R(15, "Low (5%)") + R(15, "High (95%)"));
    EXPECT_EQ(lines[19], Pad(15) + R(15, "mm /dekade") + R(15, "mm /dekade") + R(15, "mm /dekade"));
    EXPECT_EQ(lines[20], "");
    const auto row = [](const char *label, const char *v) { return R(15, label) + R(15, v) + R(15, v) + R(15, v); };
    EXPECT_EQ(lines[21], row("Jan. 1", "10.00"));
    EXPECT_EQ(lines[23], row("Jan. 3", "11.00"));
    EXPECT_EQ(lines[26], row("Feb. 3", "8.25"));
    EXPECT_EQ(lines[33], row("May  1", "10.00"));
    EXPECT_EQ(lines[56], row("Dec. 3", "11.00"));
    EXPECT_EQ(lines[57], row("Mean  ", "10.15"));  // 365.25 / 36
    EXPECT_EQ(lines[58], " ");
}

TEST(ReportSeries, DailyRowsLabelsAndExtremes) {
    ReportOptions o;
    o.Daily = true;
    o.Level = ConfidenceLevel::P95;
    auto lines = Lines(reporttest::ConstantInput(3, 30.4375f, 30.4375f), o);
    ASSERT_EQ(lines[16], "Estimated annual cycle of expectation values in daily resolution:");
    EXPECT_EQ(lines[18], Pad(15) + R(15, "Best") + R(15, "Low (2.5%)") + R(15, "High (97.5%)"));
    EXPECT_EQ(lines[19], Pad(15) + R(15, "mm /Day") + R(15, "mm /Day") + R(15, "mm /Day"));
    const auto row = [](const std::string &label) { return R(15, label) + R(15, "1.00") + R(15, "0.00") + R(15, "2.96"); };
    EXPECT_EQ(lines[21], row("1.1 (1)"));
    EXPECT_EQ(lines[51], row("31.1 (31)"));
    EXPECT_EQ(lines[52], row("1.2 (32)"));
    EXPECT_EQ(lines[80], row("1.3 (60)"));
    EXPECT_EQ(lines[385], row("31.12 (365)"));
    EXPECT_EQ(lines[386], row("Mean"));
    EXPECT_EQ(lines[387], row("Min: (1)"));  // ties: the first day
    EXPECT_EQ(lines[388], row("Max: (1)"));
    EXPECT_EQ(lines[389], " ");

    lines = Lines(reporttest::SampleInput(0), o);  // 15.5 - 8 cos: warmest day in early July
    EXPECT_EQ(lines[388].substr(0, 15), R(15, "Max: (183)"));
    EXPECT_EQ(lines[19], Pad(15) + R(15, "\u00b0C ") + R(15, "\u00b0C ") + R(15, "\u00b0C "));
}

TEST(ReportSeries, ThresholdRows) {
    ReportOptions o;
    o.Threshold = true;
    o.Level = ConfidenceLevel::P95;
    const auto lines = Lines(reporttest::ConstantInput(0, 10, 2), o);
    const std::vector<std::string> head = {
        " ", " ", "Estimated number of days with expectation values above threshold:", "",
        " Threshold      " + R(15, "Best") + R(15, "Low (2.5%)") + R(15, "High (97.5%)"),
        R(15, "\u00b0C ") + R(15, "Days") + R(15, "Days") + R(15, "Days"),
        "",
    };
    EXPECT_EQ(Slice(lines, 14, 7), head);
    EXPECT_EQ(lines[21], R(15, "6.08") + R(15, "365.00") + R(15, "365.00") + R(15, "365.00"));
    EXPECT_EQ(lines[121], R(15, "13.92") + R(15, "0.00") + R(15, "0.00") + R(15, "365.00"));
    EXPECT_EQ(lines[122], " ");
    // Counts in the decimal-comma form too.
    const auto comma = Lines(reporttest::ConstantInput(0, 10, 2), o, ReportKind::Workbench, Comma);
    EXPECT_EQ(comma[21], R(15, "6,08") + R(15, "365,00") + R(15, "365,00") + R(15, "365,00"));
}

TEST(ReportSeries, LocationReportsHaveNoSeriesSections) {
    ReportOptions o;
    o.Dekadal = o.Daily = o.Threshold = true;
    o.Stations = true;
    const auto lines = Lines(reporttest::SampleInput(), o, ReportKind::Location);
    EXPECT_EQ(lines[16], "Neighboring stations used for the estimation:");
    EXPECT_EQ(lines.size(), 14u + 4 + 2 + 4 + 3);
}

TEST(ReportNeighbours, StationTable) {
    ReportOptions o;
    o.Stations = true;
    auto in = reporttest::SampleInput();
    const auto lines = Lines(in, o);
    const std::vector<std::string> expected = {
        " ", " ", "Neighboring stations used for the estimation:", " ",
        "   Station     Long.      Lat.     Elev.     Dist.    Direc.    Direc.           Name        Country",
        " ",
        R(10, "1") + R(10, "12.25") + R(10, "41.10") + R(10, "100.00") + R(10, "10.50") + R(10, "45.00") +
            R(10, "NE") + R(15, "ROMA CIAMPINO") + R(15, "ITALY"),
        R(10, "2") + R(10, "12.50") + R(10, "41.20") + R(10, "200.00") + R(10, "21.00") + R(10, "90.00") +
            R(10, "E ") + R(15, "LATINA") + R(15, "ITALY"),
        R(10, "3") + R(10, "12.75") + R(10, "41.30") + R(10, "9,999.00") + R(10, "31.50") + Pad(20) +
            R(15, "FROSINONE") + R(15, "ITALY"),
        R(10, "Mean") + R(10, "12.50") + R(10, "41.20") + R(10, "200.00") + R(10, "21.00") + R(10, "9,999.00") +
            R(10, "X "),
        " ", " ", "Provided by the Marovel",
    };
    EXPECT_EQ(Slice(lines, 14, static_cast<int>(lines.size()) - 14), expected);

    // Names count characters, not bytes; the decimal comma groups with ".".
    in.Neighbours[1].Name = "\u00c9cole Normale Sup\u00e9rieure";
    in.NeighbourCount = 1;
    const auto comma = Lines(in, o, ReportKind::Workbench, Comma);
    EXPECT_EQ(comma[20].substr(comma[20].size() - 30 - 1), R(15, "\u00c9cole Normale") + R(15, "ITALY"));
    EXPECT_EQ(comma[21], R(10, "Mean") + R(10, "12,50") + R(10, "41,20") + R(10, "200,00") + R(10, "21,00") +
                             R(10, "9.999,00") + R(10, "X "));
}

TEST(ReportNeighbours, NoNeighboursLeavesHeaderAndMean) {
    ReportOptions o;
    o.Stations = o.Observations = true;
    auto in = reporttest::SampleInput();
    in.NeighbourCount = 0;
    const auto lines = Lines(in, o);
    EXPECT_EQ(lines[20].substr(0, 10), R(10, "Mean"));
    EXPECT_EQ(lines[23], "Observed mean annual cycles at neighboring stations");
    EXPECT_EQ(lines[26].substr(0, 4), "Mean");
    EXPECT_EQ(lines.size(), 30u);
}

TEST(ReportNeighbours, ObservationTable) {
    ReportOptions o;
    o.Observations = true;
    auto in = reporttest::SampleInput();
    in.Neighbours[2].Values[1] = 1234567;  // too long for its slot
    in.Neighbours[2].Values[2] = -3.25f;
    for (const auto *loc : {&English, &Comma}) {
        const auto lines = Lines(in, o, ReportKind::Workbench, *loc);
        const std::string dec = loc == &English ? "." : ",";
        EXPECT_EQ(lines[16], "Observed mean annual cycles at neighboring stations");
        std::string header = "Number   ";
        for (const char *m : {" Jan", " Feb", " Mar", " Apr", " May", " Jun", " Jul", " Aug", " Sep", " Okt", " Nov",
                              " Dec"})
            header += std::string(m) + "   ";
        EXPECT_EQ(lines[18], header + " Annual");
        std::string row1 = " 1 " + Pad(6);
        for (int m = 1; m <= 12; ++m)
            row1 += " " + std::to_string(10 + m) + dec + "1  ";
        EXPECT_EQ(lines[19], row1 + "16" + dec + "60");
        // The long value pushes the next column onto a line of its own.
        EXPECT_EQ(lines[20], " 2 " + Pad(6) + " 1234567 ");
        EXPECT_EQ(lines[21].substr(0, 23), Pad(16) + "-3" + dec + "25  ");
        std::string mean = "Mean     ";
        for (int m = 1; m <= 12; ++m)
            mean += "16" + dec + "60  ";
        EXPECT_EQ(lines[23], mean + "16" + dec + "60");
    }
}

class ReportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("report_file_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const fs::path &p) {
        std::ifstream f(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    static void Put(const fs::path &p, const std::string &bytes) { std::ofstream(p, std::ios::binary) << bytes; }

    fs::path dir_;
};

TEST_F(ReportFileTest, WritesCrLfAndWindows1252) {
    ReportOptions o;
    o.Best = true;
    const auto path = dir_ / "a.tvs";
    Put(path, "old contents that must go\r\n");
    const auto outcome = report::WriteReportFile(path, reporttest::SampleInput(), {}, o, English);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    const std::string bytes = Read(path);
    EXPECT_EQ(bytes.substr(0, 12), "Tavisol\r\n \r\n");
    EXPECT_NE(bytes.find("Latitude = 41.90\xb0,  Longitude"), std::string::npos);
    EXPECT_EQ(bytes.find("\u00b0"), std::string::npos);  // no UTF-8 left
    EXPECT_EQ(bytes.substr(bytes.size() - 25), "Provided by the Marovel\r\n");
    EXPECT_EQ(bytes.find("old contents"), std::string::npos);
    EXPECT_EQ(bytes.find('\n', 0), 8u);
}

TEST_F(ReportFileTest, LocationReportsReplaceTheFileInVariableOrder) {
    results::LocationResults stored;
    for (int v = 0; v < 8; ++v) {
        const auto in = reporttest::SampleInput(static_cast<engine::Integer>(v));
        stored[v].Result = in.Result;
        stored[v].Neighbours = in.Neighbours;
        stored[v].NeighbourCount = static_cast<engine::Integer>(v % 4);
        stored[v].CalcLatitude = 10.0f + static_cast<float>(v);
        stored[v].CalcLongitude = in.CalcLongitude;
        stored[v].CalcAltitude = in.CalcAltitude;
    }
    stored[3].Warnings.Hit = engine::True;
    const auto inputs = report::LocationInputs(stored, {true, false, false, true, false, false, false, true});
    ASSERT_EQ(inputs.size(), 3u);
    EXPECT_EQ(inputs[1].Variable, 3);
    EXPECT_EQ(inputs[1].NeighbourCount, 3);

    const auto path = dir_ / "c.tvs";
    Put(path, "an earlier save\r\n");
    ReportOptions o;
    o.Stations = true;
    ASSERT_TRUE(report::WriteLocationReports(path, inputs, {}, o, English).ok);
    const std::string bytes = Read(path);
    EXPECT_EQ(bytes.find("an earlier save"), std::string::npos);
    const auto t0 = bytes.find("Monthly Mean Temperature");
    const auto t3 = bytes.find("Monthly Precipitation");
    const auto t7 = bytes.find("Sunshine Fraction");
    EXPECT_TRUE(t0 < t3 && t3 < t7);
    // Each report its own point, methods and neighbour rows.
    EXPECT_NE(bytes.find("Latitude = 13.00"), std::string::npos);
    EXPECT_NE(bytes.find("Latitude = 17.00"), std::string::npos);
    EXPECT_EQ(bytes.find("Nearest Neighbor Approximation"), bytes.rfind("Nearest Neighbor Approximation"));
    EXPECT_GT(bytes.find("Nearest Neighbor Approximation"), t3);
    EXPECT_LT(bytes.find("Nearest Neighbor Approximation"), t7);
}

TEST_F(ReportFileTest, AFailedWriteLeavesTheFileAsItWas) {
    const auto path = dir_ / "d.tvs";
    Put(path, "kept\r\n");
    auto bad = reporttest::SampleInput();
    bad.Variable = 9;
    ReportOptions o;
    o.Best = true;

    auto outcome = report::WriteReportFile(path, bad, {}, o, English);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.error.find("variable"), std::string::npos);
    EXPECT_EQ(Read(path), "kept\r\n");

    outcome = report::WriteLocationReports(path, {reporttest::SampleInput(), bad}, {}, o, English);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(Read(path), "kept\r\n");

    // A target that cannot take a file: a folder, a missing folder.
    fs::create_directories(dir_ / "folder.tvs");
    outcome = report::WriteReportFile(dir_ / "folder.tvs", reporttest::SampleInput(), {}, o, English);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.empty());
    outcome = report::WriteReportFile(dir_ / "none" / "e.tvs", reporttest::SampleInput(), {}, o, English);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(fs::exists(dir_ / "none"));
    // Nothing left beside the target.
    int entries = 0;
    for ([[maybe_unused]] const auto &e : fs::directory_iterator(dir_))
        ++entries;
    EXPECT_EQ(entries, 2);
}

} // namespace

namespace {

TEST(ReportMonthly, DecimalCommaWithGrouping) {
    tavisol::report::ReportOptions o;
    o.Best = o.Error = true;
    auto in = reporttest::ConstantInput(3, 1234.5f, 0.25f);
    const auto lines = tavisol::report::BuildReportLines(in, {}, o, tavisol::report::ReportKind::Workbench,
                                                         tavisol::numfmt::Locale::decimalComma());
    EXPECT_EQ(lines[21], "January     " + tavisol::numfmt::rightAlign("1.234,50", 10) +
                             tavisol::numfmt::rightAlign("0,25", 10));
    EXPECT_EQ(lines[19], std::string(11, ' ') + "       mm        mm ");
}

} // namespace
