#include "batch/runfiles.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "calendar/confidence.h"

namespace tavisol::batch {

namespace {

using numfmt::rightAlign;

constexpr std::array<std::string_view, 8> Suffixes = {"_Temp", "_Tmax", "_Tmin", "_Prec",
                                                       "_Vap",  "_PET",  "_Wind", "_Sun"};

constexpr std::array<std::string_view, 13> MonthHeads = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul",
                                                         "Aug", "Sep", "Oct", "Nov", "Dec", "Annual"};

std::string Caption(int variable) {
    return std::string(engine::VariableNames.at(static_cast<std::size_t>(variable)));
}

std::string Two(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

} // namespace

std::string BatchRunPrefix(const DateTime &t) {
    char year[16];
    std::snprintf(year, sizeof year, "%04d", t.Year);
    return "Tavisol " + Two(t.Day) + Two(t.Month) + year + "_" + Two(t.Hour) + Two(t.Minute) + Two(t.Second);
}

std::string_view VariableSuffix(int variable) { return Suffixes.at(static_cast<std::size_t>(variable)); }

Output BoxOfFile(OutputFile file) {
    switch (file) {
    case OutputFile::Best: return Output::Best;
    case OutputFile::Low:
    case OutputFile::High: return Output::High;
    case OutputFile::StdErr: return Output::Error;
    case OutputFile::Bias: return Output::Bias;
    case OutputFile::VertGrad: return Output::Slope;
    case OutputFile::VertExplVar: return Output::ExplVar;
    case OutputFile::AbsGrad: return Output::AbsGrad;
    case OutputFile::DirecGrad:
    case OutputFile::DirecGradString: return Output::DirGrad;
    case OutputFile::LongGrad: return Output::LongGrad;
    case OutputFile::LatGrad: return Output::LatGrad;
    }
    return Output::Best;
}

std::string_view FileSuffix(OutputFile file) {
    switch (file) {
    case OutputFile::Best: return "_Best.tvs";
    case OutputFile::Low: return "_Low.tvs";
    case OutputFile::High: return "_High.tvs";
    case OutputFile::StdErr: return "_StdErr.tvs";
    case OutputFile::Bias: return "_Bias.tvs";
    case OutputFile::VertGrad: return "_VertGrad.tvs";
    case OutputFile::VertExplVar: return "_VertExplVar.tvs";
    case OutputFile::AbsGrad: return "_AbsGrad.tvs";
    case OutputFile::DirecGrad: return "_DirecGrad.tvs";
    case OutputFile::DirecGradString: return "_DirecGradString.tvs";
    case OutputFile::LongGrad: return "_LongGrad.tvs";
    case OutputFile::LatGrad: return "_LatGrad.tvs";
    }
    return "";
}

std::string FileTitle(OutputFile file, int variable) {
    const std::string c = Caption(variable);
    switch (file) {
    case OutputFile::Best: return " Best Estimate of " + c;
    case OutputFile::Low: return " Low Estimate of " + c;
    case OutputFile::High: return " High Estimate of " + c;
    case OutputFile::StdErr: return " Standard Error of " + c;
    case OutputFile::Bias: return " Eliminated Bias of " + c;
    case OutputFile::VertGrad: return "Vertical Gradient of " + c + " per 100 m Altitude";
    case OutputFile::VertExplVar: return "Explained Variance of Verical Gradient of " + c + " (dimensionless)";
    case OutputFile::AbsGrad: return "Absolute of Horizontal Gradient of " + c + " per 100 km";
    case OutputFile::DirecGrad: return "Direction of Horizontal Gradient of " + c + " in Degrees";
    case OutputFile::DirecGradString: return "Direction of Horizontal Gradient of " + c;
    case OutputFile::LongGrad: return "Longitudinal Gradient of " + c + " per 100 km";
    case OutputFile::LatGrad: return "Latitudinal Gradient of " + c + " per 100 km";
    }
    return c;
}

std::string OutputColumnHead(OutputFile file) {
    std::string s = "\t\t\t" + rightAlign("Long.", 8) + rightAlign("Lat.", 8) + rightAlign("Alt.", 8);
    const bool compass = file == OutputFile::DirecGradString;
    for (std::size_t m = 0; m < MonthHeads.size(); ++m)
        s += rightAlign(MonthHeads[m], compass ? (m < 11 ? 6 : 7) : 10);
    return s;
}

namespace {

std::string InfoColumns() {
    std::string s = rightAlign("Long.", 8) + rightAlign("Lat.", 8) + rightAlign("Alt.", 8);
    for (std::string_view h : {"Neighb.", "Exponent", "Ave(Long)", "Ave(Lat)", "Min(Dist)", "Ave(Dist)", "Max(Dist)",
                               "Min(Alt)", "Ave(Alt)", "Max(Alt)"})
        s += rightAlign(h, 10);
    return s + rightAlign("Correct.", 11) + rightAlign("Warnings", 10);
}

} // namespace

std::vector<std::string> InformationHead(const std::string &prefix) {
    return {"Some Information about the last automatic run of Tavisol with the input file " + prefix,
            "Path " + std::string(numfmt::charCount(prefix), ' ') + InfoColumns(), ""};
}

std::string InfoHead() { return "\t\t\t" + InfoColumns(); }

std::string NumberField(float value, int decimals, int width, const numfmt::Locale &loc) {
    const std::string text = numfmt::formatNumber(value, decimals, loc);
    // Fields follow one another directly: one that fills its width would
    // run into the field before it.
    if (static_cast<int>(numfmt::charCount(text)) >= width)
        return " " + text;
    return rightAlign(text, width);
}

std::string PointFields(const engine::EngineState &s, const numfmt::Locale &loc) {
    return NumberField(s.CalcLongitude, 2, 8, loc) + NumberField(s.CalcLatitude, 2, 8, loc) +
           NumberField(s.CalcAltitude, 0, 8, loc);
}

std::string PointLabel(float lon, float lat, float alt, const numfmt::Locale &loc) {
    return "ST-Lon" + numfmt::general(lon, loc) + "-Lat" + numfmt::general(lat, loc) + "-Alt-" +
           numfmt::general(alt, loc);
}

std::string CorrectionField(const engine::EngineState &s) {
    std::string f(7, ' ');
    f += s.AltCorrOn == 1 && s.ActiveWithAltCount >= 3 ? 'A' : 'X';
    f += s.GradCorrOn == 1 && s.ActiveCount >= 6 ? 'G' : 'X';
    f += s.ShadowOn == 1 && s.ActiveCount >= 3 ? 'S' : 'X';
    return f;
}

std::string WarningField(const engine::EngineState &s) {
    std::string f = "   ";
    if (s.NeighbourMinAlt > s.CalcAltitude)
        f += "Low  ";
    if (s.NeighbourMaxAlt < s.CalcAltitude)
        f += "High  ";
    const engine::WarningFlags &w = s.CurWarnings;
    if (w.Doubled != 0)
        f += "Doubled  ";
    if (w.Few != 0)
        f += "Few  ";
    if (w.Hit != 0)
        f += "Hit  ";
    if (w.Lonely != 0)
        f += "Lonely  ";
    if (w.Strange != 0)
        f += "Strange  ";
    return f;
}

LocationFields MakeLocationFields(const engine::EngineState &s, const numfmt::Locale &loc) {
    LocationFields f;
    const engine::StationRecord &mean = s.NeighbourSummary();
    const int last = std::clamp<int>(s.NeighbourCount, 1, engine::MaxNeighbours);
    auto n = [&loc](float v, int d, int w) { return NumberField(v, d, w, loc); };
    // The summary's columns have blanks of their own between them.
    auto column = [&loc](float v, int d, int w) { return rightAlign(numfmt::formatNumber(v, d, loc), w); };
    f.PointLabel = PointLabel(s.CalcLongitude, s.CalcLatitude, s.CalcAltitude, loc);
    f.Fields = PointFields(s, loc) + n(s.ActiveCount, 0, 10) + n(s.IdwPower, 3, 10) + n(mean.Longitude, 2, 10) +
               n(mean.Latitude, 2, 10) + n(s.Neighbours[1].Distance, 0, 10) + n(mean.Distance, 0, 10) +
               n(s.Neighbours[static_cast<std::size_t>(last)].Distance, 0, 10) + n(s.NeighbourMinAlt, 0, 10) +
               n(mean.Altitude, 0, 10) + n(s.NeighbourMaxAlt, 0, 10);
    f.Correction = CorrectionField(s);
    f.Warnings = WarningField(s);
    f.Summary = rightAlign(VariableSuffix(s.CurrentVariable), 6) + " " + column(s.CalcLongitude, 2, 7) + " " +
                column(s.CalcLatitude, 2, 7) + " " + column(s.CalcAltitude, 0, 7) + "   " +
                column(mean.Longitude, 2, 7) + " " + column(mean.Latitude, 2, 7) + " " + column(mean.Altitude, 0, 7) +
                "    " +
                numfmt::general(static_cast<int>(s.ActiveCount), loc) + "  " + f.Correction + f.Warnings;
    return f;
}

std::string InfoLine(const LocationFields &f) {
    return f.PointLabel + " " + f.Fields + "   " + f.Correction + f.Warnings;
}

std::string InformationLine(const std::string &prefix, int variable, const LocationFields &f) {
    return prefix + std::string(VariableSuffix(variable)) + f.Fields + f.Correction + f.Warnings;
}

std::array<float, 13> OutputValues(OutputFile file, const engine::EstimateResult &r, ConfidenceLevel level) {
    std::array<float, 13> v{};
    for (std::size_t m = 1; m <= 13; ++m) {
        float x = 0;
        switch (file) {
        case OutputFile::Best: x = r.Best[m]; break;
        case OutputFile::Low: x = ConfidenceLow(r.Best[m], r.StdErr[m], level); break;
        case OutputFile::High: x = ConfidenceHigh(r.Best[m], r.StdErr[m], level); break;
        case OutputFile::StdErr: x = r.StdErr[m]; break;
        case OutputFile::Bias: x = r.Bias[m]; break;
        case OutputFile::VertGrad: x = r.VertGrad[m] * 100.0f; break;
        case OutputFile::VertExplVar: x = r.ExplVar[m]; break;
        case OutputFile::AbsGrad: x = r.AbsGrad[m]; break;
        case OutputFile::DirecGrad: x = r.DirGrad[m]; break;
        case OutputFile::DirecGradString: break;
        case OutputFile::LongGrad: x = r.LonGrad[m]; break;
        case OutputFile::LatGrad: x = r.LatGrad[m]; break;
        }
        v[m - 1] = x;
    }
    return v;
}

std::string OutputDataLine(OutputFile file, const engine::EngineState &s, const std::string &label, ConfidenceLevel level,
                           const numfmt::Locale &loc) {
    std::string line = label + "  " + PointFields(s, loc);
    if (file == OutputFile::DirecGradString) {
        for (std::size_t m = 1; m <= 13; ++m)
            line += rightAlign(s.CurResult.DirGradText[m], 6);
        return line;
    }
    for (float v : OutputValues(file, s.CurResult, level))
        line += NumberField(v, 3, 10, loc);
    return line;
}

} // namespace tavisol::batch
