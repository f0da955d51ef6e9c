#include "report/reportparts.h"

#include <array>
#include <stdexcept>

#include "calendar/calendar.h"
#include "engine/geodesy.h"

namespace tavisol::report::parts {

using engine::Integer;
using engine::Single;

namespace {

// Characters of a station's name and country in its row.
constexpr std::size_t StationTextChars = 13;

// The first n characters of a UTF-8 text.
std::string FirstChars(const std::string &s, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == n)
                return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

Single Accumulate(Single sum, Single v) { return static_cast<Single>(static_cast<double>(sum) + v); }

Single Clamp(Single v, Integer variable) { return engine::ClampValue(v, variable); }

std::string SeriesRow(const std::string &label, Single best, Single low, Single high, Integer variable,
                      const numfmt::Locale &loc) {
    return R(15, label) + R(15, N2(Clamp(best, variable), loc)) + R(15, N2(Clamp(low, variable), loc)) +
           R(15, N2(Clamp(high, variable), loc));
}

constexpr std::array<const char *, 36> DekadLabels = {
    "Jan. 1", "Jan. 2", "Jan. 3", "Feb. 1", "Feb. 2", "Feb. 3", "Mar. 1", "Mar. 2", "Mar. 3",
    "Apr. 1", "Apr. 2", "Apr. 3", "May  1", "May  2", "May  3", "June 1", "June 2", "June 3",
    "July 1", "July 2", "July 3", "Aug. 1", "Aug. 2", "Aug. 3", "Sep. 1", "Sep. 2", "Sep. 3",
    "Oct. 1", "Oct. 2", "Oct. 3", "Nov. 1", "Nov. 2", "Nov. 3", "Dec. 1", "Dec. 2", "Dec. 3",
};

std::string DayLabel(int d, Medium medium, const numfmt::Locale &loc) {
    const auto [day, month] = calendar::CalendarDay(d);
    const std::string piece = "." + numfmt::general(month, loc) + (medium == Medium::Printer ? ". (" : " (");
    return numfmt::general(day, loc) + piece + numfmt::general(d, loc) + ")";
}

} // namespace

std::string R(int width, const std::string &s) { return numfmt::rightAlign(s, width); }
std::string N2(Single v, const numfmt::Locale &loc) { return numfmt::formatNumber(v, 2, loc); }
std::string N0(Single v, const numfmt::Locale &loc) { return numfmt::formatNumber(v, 0, loc); }

Level ChooseLevel(const ReportOptions &options, Medium medium) {
    const bool file = medium == Medium::File;
    Level level;
    switch (options.Level) {
    case ConfidenceLevel::P90:
        level = {ConfidenceFactor90, file ? "Low (5%)" : " 5%", file ? "High (95%)" : "95%"};
        break;
    case ConfidenceLevel::P95:
        level = {ConfidenceFactor95, file ? "Low (2.5%)" : "2.5%", file ? "High (97.5%)" : "97.5%"};
        break;
    case ConfidenceLevel::P99:
        level = {ConfidenceFactor99, file ? "Low (.5%)" : ".5%", file ? "High (99.5%)" : "99.5%"};
        break;
    case ConfidenceLevel::None: break;
    }
    return level;
}

std::string UnitText(Integer variable, ReportKind kind) {
    switch (variable) {
    case 0: case 1: case 2:
        return "\u00b0C ";
    case 3: case 5:
        return "mm ";
    case 4:
        return "hPa";
    case 6:
        return "m/s";
    case 7:
        return kind == ReportKind::Location ? " " : "1";
    default:
        return "";
    }
}

std::string SeriesUnit(Integer variable, ReportKind kind, const char *per) {
    const std::string unit = UnitText(variable, kind);
    return (variable == 3 || variable == 5) ? unit + per : unit;
}

std::string VariableCaption(Integer variable) {
    if (variable < 0 || variable >= static_cast<Integer>(engine::VariableNames.size()))
        throw std::invalid_argument("No such climate variable: " + std::to_string(variable));
    return std::string(engine::VariableNames[static_cast<std::size_t>(variable)]);
}

std::vector<std::string> MethodLines(const AppliedMethods &m, const engine::WarningFlags &warnings, Medium medium,
                                     const numfmt::Locale &loc) {
    const auto g = [&](const std::string &field) { return numfmt::general(numfmt::val(field), loc); };
    const std::string allowed = medium == Medium::Printer ? "Allowed " : "";
    const std::string in = Indent;
    std::vector<std::string> lines;
    if (warnings.Hit != 0) {
        lines.push_back(in + "Nearest neighbor is closer than " + g(m.MinDist) + "km away.");
        lines.push_back(in + "Nearest Neighbor Approximation is used.");
        return lines;
    }
    if (m.AltCorr)
        lines.push_back(in + "Linear Altitude Correction");
    if (m.GradCorr)
        lines.push_back(in + "Climate Gradient Correction");
    if (const double shadow = numfmt::val(m.Shad); shadow != 0)
        lines.push_back(in + "Shadow Correction with weight: " + numfmt::formatNumber(shadow, loc));
    lines.push_back(in + allowed + "Maximum Distance of Neighbors in km: " + g(m.MaxDist));
    lines.push_back(in + allowed + "Maximum Number of Stations: " + g(m.MaxStat));
    lines.push_back(in + "Inverse Distance Weighted Averaging with Power Exponent " + g(m.PowExp));
    if (m.NeighbAlt)
        lines.push_back(in + "Only stations with elevation between " + g(m.MinHigh) + "m and " + g(m.MaxHigh) +
                        "m are taken into account.");
    return lines;
}

std::vector<std::string> WarningLines(const engine::WarningFlags &w) {
    const std::string in = Indent;
    std::vector<std::string> lines;
    if (w.Low != 0)
        lines.push_back(in + "WARNING: Location lower than surrounding Stations!");
    if (w.High != 0)
        lines.push_back(in + "WARNING: Location higher than surrounding Stations!");
    if (w.Lonely != 0)
        lines.push_back(in + "WARNING: Location not surrounded by neighboring Stations!");
    if (w.Strange != 0)
        lines.push_back(in + "WARNING: Strange data detected at surrounding Stations!");
    return lines;
}

Triple MonthlyTriple(const ReportInput &in, int i, Single z) {
    const auto k = static_cast<std::size_t>(i);
    const Single best = in.Result.Best[k];
    const double spread = static_cast<double>(z) * in.Result.StdErr[k];
    Triple t;
    t.Best = Clamp(best, in.Variable);
    t.Low = Clamp(static_cast<Single>(best - spread), in.Variable);
    t.High = Clamp(static_cast<Single>(best + spread), in.Variable);
    return t;
}

std::vector<std::string> DekadalRows(const ReportInput &in, Single z, const numfmt::Locale &loc) {
    const DekadSeries s = ComputeDekadal(in.Result, in.Variable, z);
    std::vector<std::string> rows;
    Single sumBest = 0, sumLow = 0, sumHigh = 0;
    for (std::size_t k = 1; k <= 36; ++k) {
        sumBest = Accumulate(sumBest, s.Best[k]);
        sumLow = Accumulate(sumLow, s.Low[k]);
        sumHigh = Accumulate(sumHigh, s.High[k]);
        rows.push_back(SeriesRow(DekadLabels[k - 1], s.Best[k], s.Low[k], s.High[k], in.Variable, loc));
    }
    rows.push_back(SeriesRow("Mean  ", static_cast<Single>(sumBest / 36.0), static_cast<Single>(sumLow / 36.0),
                             static_cast<Single>(sumHigh / 36.0), in.Variable, loc));
    return rows;
}

std::vector<std::string> DailyRows(const ReportInput &in, Single z, Medium medium, const numfmt::Locale &loc) {
    const DailySeries s = ComputeDaily(in.Result, in.Variable, z);
    std::vector<std::string> rows;
    Single sumBest = 0, sumLow = 0, sumHigh = 0;
    Single dayMin = 9999, dayMax = -9999;
    int dayOfMin = 0, dayOfMax = 0;
    for (int d = 1; d <= 365; ++d) {
        const auto i = static_cast<std::size_t>(d);
        sumBest = Accumulate(sumBest, s.Best[i]);
        sumLow = Accumulate(sumLow, s.Low[i]);
        sumHigh = Accumulate(sumHigh, s.High[i]);
        if (s.Best[i] < dayMin) {
            dayMin = s.Best[i];
            dayOfMin = d;
        }
        if (s.Best[i] > dayMax) {
            dayMax = s.Best[i];
            dayOfMax = d;
        }
        rows.push_back(SeriesRow(DayLabel(d, medium, loc), s.Best[i], s.Low[i], s.High[i], in.Variable, loc));
    }
    rows.push_back(SeriesRow("Mean", static_cast<Single>(sumBest / 365.0), static_cast<Single>(sumLow / 365.0),
                             static_cast<Single>(sumHigh / 365.0), in.Variable, loc));
    // Days past the sentinels (a cycle beyond +-9999) fall back on day 0,
    // which holds zeros, rather than reading outside the year.
    const auto minDay = static_cast<std::size_t>(dayOfMin);
    const auto maxDay = static_cast<std::size_t>(dayOfMax);
    rows.push_back(SeriesRow("Min: (" + numfmt::general(dayOfMin, loc) + ")", dayMin, s.Low[minDay], s.High[minDay],
                             in.Variable, loc));
    rows.push_back(SeriesRow("Max: (" + numfmt::general(dayOfMax, loc) + ")", dayMax, s.Low[maxDay], s.High[maxDay],
                             in.Variable, loc));
    return rows;
}

std::vector<std::string> ThresholdRows(const ReportInput &in, Single z, Medium medium, const numfmt::Locale &loc) {
    const DailySeries s = ComputeDailySorted(in.Result, in.Variable, z);
    const double lo = s.Low[1];
    const double hi = s.High[365];
    std::vector<std::string> rows;
    for (int t = 1; t <= 101; ++t) {
        const Single threshold = static_cast<Single>(lo + (t - 1) / 100.0 * (hi - lo));
        int best = 0, low = 0, high = 0;
        for (std::size_t d = 1; d <= 365; ++d) {
            best += s.Best[d] >= threshold;
            low += s.Low[d] >= threshold;
            high += s.High[d] >= threshold;
        }
        const auto count = [&](int c) {
            const auto v = static_cast<Single>(c);
            return R(15, medium == Medium::File ? N2(v, loc) : N0(v, loc));
        };
        rows.push_back(R(15, N2(threshold, loc)) + count(best) + count(low) + count(high));
    }
    return rows;
}

int RowCount(const ReportInput &in) { return std::clamp<int>(in.NeighbourCount, 0, engine::MaxNeighbours); }

std::string StationHeader() {
    return R(10, "Station") + R(10, "Long.") + R(10, "Lat.") + R(10, "Elev.") + R(10, "Dist.") + R(10, "Direc.") +
           R(10, "Direc.") + R(15, "Name") + R(15, "Country");
}

std::vector<std::string> StationRows(const ReportInput &in, const numfmt::Locale &loc) {
    std::vector<std::string> rows;
    const auto common = [&](const engine::StationRecord &r) {
        return R(10, N2(r.Longitude, loc)) + R(10, N2(r.Latitude, loc)) + R(10, N2(r.Altitude, loc)) +
               R(10, N2(r.Distance, loc));
    };
    for (int i = 1; i <= RowCount(in); ++i) {
        const auto &r = in.Neighbours[static_cast<std::size_t>(i)];
        const std::string direction = r.Direction != engine::Missing
                                          ? R(10, N2(r.Direction, loc)) + R(10, r.Compass)
                                          : std::string(20, ' ');
        rows.push_back(R(10, numfmt::general(i, loc)) + common(r) + direction +
                       R(15, FirstChars(r.Name, StationTextChars)) + R(15, FirstChars(r.Country, StationTextChars)));
    }
    const auto &mean = in.Neighbours[engine::SummaryRecord];
    rows.push_back(R(10, "Mean") + common(mean) + R(10, N2(mean.Direction, loc)) + R(10, mean.Compass));
    return rows;
}

std::vector<numfmt::NameInText> StationNames(const ReportInput &in) {
    std::vector<numfmt::NameInText> names;
    for (int i = 1; i <= RowCount(in); ++i) {
        const auto &r = in.Neighbours[static_cast<std::size_t>(i)];
        for (const std::string *text : {&r.Name, &r.Country})
            names.push_back({FirstChars(*text, StationTextChars), *text});
    }
    return names;
}

numfmt::PrintLine ObservationHeader(const numfmt::Locale &loc) {
    static constexpr std::array<const char *, 12> Heads = {" Jan", " Feb", " Mar", " Apr", " May", " Jun",
                                                          " Jul", " Aug", " Sep", " Okt", " Nov", " Dec"};
    numfmt::PrintLine line(loc);
    line.text("Number");
    for (int m = 1; m <= 12; ++m)
        line.tab(3 + 7 * m).text(Heads[static_cast<std::size_t>(m - 1)]);
    line.tab(94).text(" Annual");
    return line;
}

std::vector<numfmt::PrintLine> ObservationRows(const ReportInput &in, const numfmt::Locale &loc) {
    std::vector<numfmt::PrintLine> rows;
    for (int i = 1; i <= RowCount(in); ++i) {
        const auto &r = in.Neighbours[static_cast<std::size_t>(i)];
        numfmt::PrintLine line(loc);
        line.number(i);
        for (std::size_t m = 1; m <= 12; ++m)
            line.tab(3 + 7 * static_cast<int>(m)).number(r.Values[m]);
        line.tab(94).text(N2(r.Values[13], loc));
        rows.push_back(std::move(line));
    }
    const auto &mean = in.Neighbours[engine::SummaryRecord];
    numfmt::PrintLine line(loc);
    line.text("Mean");
    for (std::size_t m = 1; m <= 12; ++m)
        line.tab(3 + 7 * static_cast<int>(m)).text(N2(mean.Values[m], loc));
    line.tab(94).text(N2(mean.Values[13], loc));
    rows.push_back(std::move(line));
    return rows;
}

} // namespace tavisol::report::parts

namespace tavisol::report::parts {

std::vector<MonthlyColumn> MonthlyColumns(const ReportInput &in, const ReportOptions &o, const Level &level,
                                          ReportKind kind, Medium medium, const numfmt::Locale &loc) {
    const bool file = medium == Medium::File;
    const std::string unit = UnitText(in.Variable, kind);
    const auto &r = in.Result;
    std::vector<MonthlyColumn> columns;
    const auto add = [&](int width, std::string header, std::string unitCell, auto cell) {
        MonthlyColumn c{width, std::move(header), std::move(unitCell), std::vector<std::string>(14)};
        for (int i = 1; i <= 13; ++i)
            c.Cells[static_cast<std::size_t>(i)] = cell(static_cast<std::size_t>(i));
        columns.push_back(std::move(c));
    };
    const auto n2 = [&](const engine::Months13 &field) {
        return [&field, &loc](std::size_t i) { return N2(field[i], loc); };
    };
    if (o.Best)
        add(file ? 10 : 7, "Best", unit,
            [&](std::size_t i) { return N2(MonthlyTriple(in, static_cast<int>(i), level.Z).Best, loc); });
    if (o.High) {
        add(file ? 15 : 8, level.LowLabel, unit,
            [&](std::size_t i) { return N2(MonthlyTriple(in, static_cast<int>(i), level.Z).Low, loc); });
        add(file ? 15 : 8, level.HighLabel, unit,
            [&](std::size_t i) { return N2(MonthlyTriple(in, static_cast<int>(i), level.Z).High, loc); });
    }
    if (o.Error)
        add(10, "Std. Err.", unit, n2(r.StdErr));
    if (o.Bias)
        add(file ? 10 : 9, "Bias", unit, n2(r.Bias));
    if (o.Slope)
        add(10, "Slope", unit + "/100m", [&](std::size_t i) {
            return N2(static_cast<engine::Single>(static_cast<double>(r.VertGrad[i]) * 100), loc);
        });
    if (o.LongGrad)
        add(10, "Lon Grad", unit + "/100km", n2(r.LonGrad));
    if (o.LatGrad)
        add(10, "Lat Grad", unit + "/100km", n2(r.LatGrad));
    if (o.DirGrad) {
        if (file) {
            add(10, "Dir Grad", "Degrees", n2(r.DirGrad));
            add(10, "Dir Grad", " ", [&](std::size_t i) { return r.DirGradText[i]; });
        } else {
            add(13, "Dir Grad", "Degrees", [&](std::size_t i) { return N2(r.DirGrad[i], loc) + "  " + r.DirGradText[i]; });
        }
    }
    if (o.AbsGrad)
        add(10, "Abs Grad", unit + "/100km", n2(r.AbsGrad));
    if (o.ExplVar)
        add(10, "r^2(Alt)", " ", n2(r.ExplVar));
    return columns;
}

} // namespace tavisol::report::parts
