#include <gtest/gtest.h>

#include "batch/runfiles.h"
#include "engine/state.h"

namespace tavisol::batch {
namespace {

const numfmt::Locale English = numfmt::Locale::english();

// A state as the batch chain leaves it after one estimate, made by hand.
engine::EngineState EstimatedState() {
    engine::EngineState s;
    engine::SetInitialValues(s);
    s.CurrentVariable = 3;
    s.CalcLongitude = 13.01f;
    s.CalcLatitude = 41.99f;
    s.CalcAltitude = 17;
    s.NeighbourCount = 7;
    s.ActiveCount = 6;
    s.ActiveWithAltCount = 2;
    s.IdwPower = 1;
    s.Neighbours[1].Distance = 3.4f;
    s.Neighbours[7].Distance = 1234.5f;
    s.Neighbours[21].Longitude = 13.1f;
    s.Neighbours[21].Latitude = 42.005f;
    s.Neighbours[21].Distance = 25.5f;
    s.Neighbours[21].Altitude = 9999;
    s.NeighbourMinAlt = 999999;
    s.NeighbourMaxAlt = -9999;
    s.CurWarnings.Doubled = engine::True;
    s.CurWarnings.Strange = engine::True;
    for (std::size_t m = 1; m <= 13; ++m) {
        s.CurResult.Best[m] = static_cast<float>(m);
        s.CurResult.StdErr[m] = 1;
        s.CurResult.VertGrad[m] = -0.0065f;
        s.CurResult.DirGradText[m] = m == 13 ? "NE" : "N ";
    }
    return s;
}

TEST(RunNames, PrefixAndSuffixes) {
    EXPECT_EQ(BatchRunPrefix({2026, 12, 9, 6, 30, 5}), "Tavisol 09122026_063005");
    EXPECT_EQ(BatchRunPrefix({1999, 1, 31, 23, 59, 59}), "Tavisol 31011999_235959");
    EXPECT_EQ(VariableSuffix(0), "_Temp");
    EXPECT_EQ(VariableSuffix(5), "_PET");
    EXPECT_EQ(VariableSuffix(7), "_Sun");
    EXPECT_EQ(FileSuffix(OutputFile::DirecGradString), "_DirecGradString.tvs");
    EXPECT_EQ(FileTitle(OutputFile::VertExplVar, 7),
              "Explained Variance of Verical Gradient of Sunshine Fraction (dimensionless)");
    EXPECT_EQ(FileTitle(OutputFile::Best, 7), " Best Estimate of Sunshine Fraction");
}

TEST(RunHeads, InformationAndInfoAndColumns) {
    const std::vector<std::string> head = InformationHead("Tavisol 09122026_063005");
    ASSERT_EQ(head.size(), 3u);
    EXPECT_EQ(head[0], "Some Information about the last automatic run of Tavisol with the input file "
                       "Tavisol 09122026_063005");
    EXPECT_EQ(head[1], "Path " + std::string(23, ' ') +
                           "   Long.    Lat.    Alt.   Neighb.  Exponent Ave(Long)  Ave(Lat) Min(Dist) "
                           "Ave(Dist) Max(Dist)  Min(Alt)  Ave(Alt)  Max(Alt)   Correct.  Warnings");
    EXPECT_EQ(head[2], "");
    EXPECT_EQ(InfoHead(), "\t\t\t" + head[1].substr(5 + 23));
    EXPECT_EQ(OutputColumnHead(OutputFile::Best),
              "\t\t\t   Long.    Lat.    Alt.       Jan       Feb       Mar       Apr       May       Jun"
              "       Jul       Aug       Sep       Oct       Nov       Dec    Annual");
    EXPECT_EQ(OutputColumnHead(OutputFile::DirecGradString),
              "\t\t\t   Long.    Lat.    Alt.   Jan   Feb   Mar   Apr   May   Jun   Jul   Aug   Sep   Oct   Nov"
              "    Dec Annual");
}

TEST(RunLines, LocationFieldsOfOneEstimate) {
    const engine::EngineState s = EstimatedState();
    const LocationFields f = MakeLocationFields(s, English);
    EXPECT_EQ(f.PointLabel, "ST-Lon13.01-Lat41.99-Alt-17");
    EXPECT_EQ(f.Fields, "   13.01   41.99      17         6     1.000     13.10     42.01         3        26"
                        "     1,235   999,999     9,999    -9,999");
    EXPECT_EQ(f.Correction, "       XGS");
    EXPECT_EQ(f.Warnings, "   Low  High  Doubled  Strange  ");
    EXPECT_EQ(InfoLine(f), f.PointLabel + " " + f.Fields + "          XGS   Low  High  Doubled  Strange  ");
    EXPECT_EQ(InformationLine("Tavisol 09122026_063005", 3, f),
              "Tavisol 09122026_063005_Prec" + f.Fields + "       XGS   Low  High  Doubled  Strange  ");
    EXPECT_EQ(f.Summary, " _Prec   13.01   41.99      17     13.10   42.01   9,999    6         XGS   Low  High  "
                         "Doubled  Strange  ");
}

TEST(RunLines, CorrectionLettersNeedEnoughNeighbours) {
    engine::EngineState s = EstimatedState();
    s.ActiveWithAltCount = 3;
    s.ActiveCount = 5;
    EXPECT_EQ(CorrectionField(s), "       AXS");
    s.ActiveCount = 3;
    EXPECT_EQ(CorrectionField(s), "       AXS");
    s.ActiveCount = 2;
    s.ShadowOn = 1;
    EXPECT_EQ(CorrectionField(s), "       AXX");
    s.AltCorrOn = 0;
    EXPECT_EQ(CorrectionField(s), "       XXX");
    s.NeighbourMinAlt = 10;
    s.NeighbourMaxAlt = 20;
    s.CurWarnings = {};
    s.CurWarnings.Few = engine::True;
    s.CurWarnings.Hit = engine::True;
    s.CurWarnings.Lonely = engine::True;
    EXPECT_EQ(WarningField(s), "   Few  Hit  Lonely  ");
}

TEST(RunLines, OutputDataLinesAndConfidenceFactors) {
    const engine::EngineState s = EstimatedState();
    const std::string label = "ST-Lon13.01-Lat41.99-Alt-17";
    const std::string where = label + "     13.01   41.99      17";
    EXPECT_EQ(OutputDataLine(OutputFile::Best, s, label, RunConfidenceLevel(false, false), English),
              where + "     1.000     2.000     3.000     4.000     5.000     6.000     7.000     8.000     9.000"
                      "    10.000    11.000    12.000    13.000");
    EXPECT_FLOAT_EQ(OutputValues(OutputFile::Low, s.CurResult, ConfidenceLevel::P95)[0], 1 - 1.96f);
    EXPECT_FLOAT_EQ(OutputValues(OutputFile::High, s.CurResult, ConfidenceLevel::P90)[0], 1 + 1.645f);
    // The own-format files take 99 % when no level option is set.
    EXPECT_EQ(RunConfidenceLevel(true, false), ConfidenceLevel::P90);
    EXPECT_EQ(RunConfidenceLevel(false, true), ConfidenceLevel::P95);
    EXPECT_EQ(RunConfidenceLevel(false, false), ConfidenceLevel::P99);
    EXPECT_FLOAT_EQ(OutputValues(OutputFile::High, s.CurResult, RunConfidenceLevel(false, false))[0], 1 + 2.579f);
    EXPECT_EQ(OutputDataLine(OutputFile::Low, s, label, RunConfidenceLevel(false, false), English).substr(where.size(), 10), "    -1.579");
    EXPECT_EQ(OutputDataLine(OutputFile::VertGrad, s, label, RunConfidenceLevel(false, false), English).substr(where.size(), 10),
              "    -0.650");
    EXPECT_EQ(OutputDataLine(OutputFile::DirecGradString, s, label, RunConfidenceLevel(false, false), English),
              where + "    N     N     N     N     N     N     N     N     N     N     N     N     NE");
}

TEST(RunLines, DecimalCommaEverywhere) {
    const engine::EngineState s = EstimatedState();
    const numfmt::Locale comma = numfmt::Locale::decimalComma();
    const LocationFields f = MakeLocationFields(s, comma);
    EXPECT_EQ(f.PointLabel, "ST-Lon13,01-Lat41,99-Alt-17");
    EXPECT_EQ(f.Fields.substr(0, 16), "   13,01   41,99");
    EXPECT_NE(f.Fields.find("   999.999"), std::string::npos);
    EXPECT_NE(f.Fields.find("     1,000"), std::string::npos); // the power, 3 decimals
}


// Every field of the result its own value, so that a file reading another
// field shows it: field f, month m holds f + m / 100.
engine::EngineState DistinctFields() {
    engine::EngineState s = EstimatedState();
    engine::EstimateResult &r = s.CurResult;
    for (std::size_t m = 1; m <= 13; ++m) {
        const float month = static_cast<float>(m) / 100;
        r.Best[m] = 10 + month;
        r.Bias[m] = 20 + month;
        r.StdErr[m] = 2 + month;
        r.AbsGrad[m] = 40 + month;
        r.DirGrad[m] = 50 + month;
        r.VertGrad[m] = 0.6f + month / 100;
        r.LonGradDeg[m] = 70 + month;
        r.LatGradDeg[m] = 80 + month;
        r.LonGrad[m] = 90 + month;
        r.LatGrad[m] = 100 + month;
        r.ExplVar[m] = 0.11f + month;
        r.Harmonics[m] = 120 + month;
    }
    return s;
}

TEST(RunLines, EachFileHoldsItsOwnField) {
    const engine::EngineState s = DistinctFields();
    const std::string label = "ST-Lon13.01-Lat41.99-Alt-17";
    const std::string where = label + "     13.01   41.99      17";
    // January and the annual column, hand-computed from the values above.
    const struct {
        OutputFile file;
        const char *january;
        const char *annual;
    } expected[] = {
        {OutputFile::StdErr, "     2.010", "     2.130"},
        {OutputFile::Bias, "    20.010", "    20.130"},
        {OutputFile::VertGrad, "    60.010", "    60.130"}, // per 100 m
        {OutputFile::VertExplVar, "     0.120", "     0.240"},
        {OutputFile::AbsGrad, "    40.010", "    40.130"},
        {OutputFile::DirecGrad, "    50.010", "    50.130"},
        {OutputFile::LongGrad, "    90.010", "    90.130"},
        {OutputFile::LatGrad, "   100.010", "   100.130"},
        {OutputFile::Low, "     4.826", "     4.637"},  // 10.01 - 2.579 x 2.01; 10.13 - 2.579 x 2.13
        {OutputFile::High, "    15.194", "    15.623"}, // 10.01 + 2.579 x 2.01; 10.13 + 2.579 x 2.13
    };
    for (const auto &e : expected) {
        const std::string line = OutputDataLine(e.file, s, label, RunConfidenceLevel(false, false), English);
        ASSERT_EQ(line.size(), where.size() + 13 * 10) << FileSuffix(e.file);
        EXPECT_EQ(line.substr(where.size(), 10), e.january) << FileSuffix(e.file);
        EXPECT_EQ(line.substr(where.size() + 12 * 10), e.annual) << FileSuffix(e.file);
    }
    // Each month in its own column: the standard error's June.
    EXPECT_EQ(OutputDataLine(OutputFile::StdErr, s, label, RunConfidenceLevel(false, false), English).substr(where.size() + 5 * 10, 10),
              "     2.060");
    EXPECT_EQ(OutputDataLine(OutputFile::Low, s, label, ConfidenceLevel::P99, English).substr(where.size(), 10), "     4.826");
    EXPECT_EQ(OutputDataLine(OutputFile::High, s, label, ConfidenceLevel::P95, English).substr(where.size(), 10),
              "    13.950"); // 10.01 + 1.96 x 2.01
}

TEST(RunLines, AltitudeWarningsOnlyBeyondTheNeighboursRange) {
    engine::EngineState s = EstimatedState();
    s.CurWarnings = {};
    s.CalcAltitude = 500;
    s.NeighbourMinAlt = 500;
    s.NeighbourMaxAlt = 500;
    EXPECT_EQ(WarningField(s), "   "); // at either bound: no warning
    s.NeighbourMinAlt = 500.5f;
    EXPECT_EQ(WarningField(s), "   Low  ");
    s.NeighbourMinAlt = 100;
    s.NeighbourMaxAlt = 499.5f;
    EXPECT_EQ(WarningField(s), "   High  ");
    // The warning block's own High and Low play no part.
    s.NeighbourMaxAlt = 800;
    s.CurWarnings.High = engine::True;
    s.CurWarnings.Low = engine::True;
    EXPECT_EQ(WarningField(s), "   ");
}

} // namespace
} // namespace tavisol::batch
