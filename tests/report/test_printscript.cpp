// The printed report: its printer operations and their layout on pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "report/fixture.h"
#include "report/printscript.h"

namespace {

using namespace tavisol;
using report::PrintOp;
using report::ReportKind;
using report::ReportOptions;
using namespace reporttest;

const report::PageSize Page{150, 300};  // left margin 10, top margin 20

report::PrintScript Script(const report::ReportInput &in, const ReportOptions &o,
                           ReportKind kind = ReportKind::Workbench, const numfmt::Locale &loc = English,
                           const report::AppliedMethods &m = {}) {
    report::PrintScript s;
    report::AppendPrintedReport(s, in, m, o, kind, Page, "09.12.2026 05:40:00", loc);
    return s;
}

// The printed lines of a script as texts (columns filled with blanks), with
// "<page>" for every page break.
std::vector<std::string> Texts(const report::PrintScript &script) {
    std::vector<std::string> out;
    for (const auto &op : script) {
        if (op.What == PrintOp::Kind::NewPage)
            out.push_back("<page>");
        if (op.What != PrintOp::Kind::Print)
            continue;
        for (const auto &line : op.Lines) {
            std::string s;
            for (const auto &seg : line) {
                s.resize(std::max(s.size(), static_cast<std::size_t>(seg.column - 1)), ' ');
                s += seg.text;
            }
            out.push_back(s);
        }
    }
    return out;
}

int Count(const std::vector<std::string> &v, const std::string &s) {
    return static_cast<int>(std::count(v.begin(), v.end(), s));
}

TEST(PrintedHead, LinesOfTheHead) {
    auto in = reporttest::SampleInput();
    in.CalcLatitude = -33.5f;
    in.CalcLongitude = 0;
    in.Warnings.High = engine::True;
    report::AppliedMethods m;
    m.NeighbAlt = true;
    const auto t = Texts(Script(in, {}, ReportKind::Workbench, English, m));
    const std::vector<std::string> expected = {
        "09.12.2026 05:40:00",
        "Tavisol",
        " ", " ", " ",
        "Location:   Latitude = -33.50\u00b0,  Longitude = .00\u00b0,  Altitude = 17 m",
        " ",
        "                 Latitude = 33\u00b0 30' 0'' S , Longitude = 0\u00b0 0' 0'' W ",
        "",
        "Variable:     Monthly Mean Temperature in \u00b0C",
        " ",
        "Applied Methods:",
        " ",
        "     Linear Altitude Correction",
        "     Climate Gradient Correction",
        "     Shadow Correction with weight: 1.00",
        "     Allowed Maximum Distance of Neighbors in km: 1000",
        "     Allowed Maximum Number of Stations: 20",
        "     Inverse Distance Weighted Averaging with Power Exponent 1",
        "     Only stations with elevation between -350m and 8848m are taken into account.",
        "     WARNING: Location higher than surrounding Stations!",
        " ", " ",
        "Provided by Dorvex of the Marovel",
    };
    EXPECT_EQ(t, expected);
}

TEST(PrintedHead, DegreesMinutesSecondsCutTowardZero) {
    auto in = reporttest::SampleInput();
    in.CalcLatitude = 33.99999f;
    in.CalcLongitude = -1234.5f;  // grouping of the degrees
    EXPECT_EQ(Texts(Script(in, {}))[7],
              "                 Latitude = 33\u00b0 59' 59'' N , Longitude = 1,234\u00b0 30' 0'' W ");
    EXPECT_EQ(Texts(Script(in, {}, ReportKind::Workbench, Comma))[7],
              "                 Latitude = 33\u00b0 59' 59'' N , Longitude = 1.234\u00b0 30' 0'' W ");
}

TEST(PrintedMonthly, OnlyBest) {
    ReportOptions o;
    o.Best = true;
    const auto t = Texts(Script(reporttest::SampleInput(), o));
    const int title = Find(t, "Estimated annual cycle of expectation values in monthly resolution:");
    ASSERT_GT(title, 0);
    EXPECT_EQ(t[static_cast<std::size_t>(title - 1)], " ");
    EXPECT_EQ(t[static_cast<std::size_t>(title + 1)], " ");
    const auto row = [&](int k) { return t[static_cast<std::size_t>(title + k)]; };
    EXPECT_EQ(row(2), "Month " + R(7, "Best"));
    EXPECT_EQ(row(3), Pad(6) + R(7, "\u00b0C "));
    EXPECT_EQ(row(4), "");
    EXPECT_EQ(row(5), "  Jan." + R(7, "7.50"));
    EXPECT_EQ(row(9), "  Mai " + R(7, "19.50"));
    EXPECT_EQ(row(17), "  Avg." + R(7, "15.50"));
    EXPECT_EQ(row(18), " ");
    EXPECT_EQ(Count(t, "<page>"), 0);
}

TEST(PrintedMonthly, SevenColumnsMakeTwoTables) {
    ReportOptions o;
    o.Best = o.High = o.Error = o.Bias = o.Slope = true;
    auto t = Texts(Script(reporttest::SampleInput(), o));
    EXPECT_EQ(Count(t, "  Avg." + R(7, "15.50") + R(8, "14.46") + R(8, "16.54") + R(10, "0.63") + R(9, "-1.30") +
                           R(10, "-0.65")),
              1);
    EXPECT_EQ(std::count_if(t.begin(), t.end(), [](const std::string &s) { return s.rfind("Month ", 0) == 0; }), 1);

    o.LongGrad = true;
    t = Texts(Script(reporttest::SampleInput(), o));
    const int first = Find(t, "Month " + R(7, "Best") + Pad(16) + R(10, "Std. Err.") + R(9, "Bias") + R(10, "Slope"));
    ASSERT_GT(first, 0);
    const auto at = [&](int k) { return t[static_cast<std::size_t>(first + k)]; };
    EXPECT_EQ(at(15), "  Avg." + R(7, "15.50") + R(8, "14.46") + R(8, "16.54") + R(10, "0.63") + R(9, "-1.30") +
                          R(10, "-0.65"));
    EXPECT_EQ(at(16), "");
    EXPECT_EQ(at(17), "");
    EXPECT_EQ(at(18), "Month " + R(10, "Lon Grad"));
    EXPECT_EQ(at(19), Pad(6) + R(10, "\u00b0C /100km"));
    EXPECT_EQ(at(20), "");
    EXPECT_EQ(at(21), "  Jan." + R(10, "0.25"));

    o.LatGrad = o.DirGrad = o.AbsGrad = o.ExplVar = true;
    o.Level = ConfidenceLevel::P99;
    t = Texts(Script(reporttest::SampleInput(), o));
    EXPECT_EQ(Count(t, "Month " + R(7, "Best") + R(8, ".5%") + R(8, "99.5%") + R(10, "Std. Err.") + R(9, "Bias") +
                           R(10, "Slope")),
              1);
    const int second = Find(t, "Month " + R(10, "Lon Grad") + R(10, "Lat Grad") + R(13, "Dir Grad") +
                                   R(10, "Abs Grad") + R(10, "r^2(Alt)"));
    ASSERT_GT(second, 0);
    EXPECT_EQ(t[static_cast<std::size_t>(second + 3)],
              "  Jan." + R(10, "0.25") + R(10, "-0.75") + R(13, "181.00  S ") + R(10, "0.80") + R(10, "0.42"));
}

TEST(PrintedMonthly, LevelHeadsAndSunshineUnits) {
    ReportOptions o;
    o.High = true;
    auto t = Texts(Script(reporttest::SampleInput(), o));
    EXPECT_EQ(Count(t, "Month " + Pad(16)), 1);
    o.Level = ConfidenceLevel::P90;
    o.Best = o.Error = o.Slope = true;
    t = Texts(Script(reporttest::SampleInput(7), o));
    EXPECT_EQ(Count(t, "Month " + R(7, "Best") + R(8, " 5%") + R(8, "95%") + R(10, "Std. Err.") + R(10, "Slope")), 1);
    EXPECT_EQ(Count(t, Pad(6) + R(7, "1") + R(8, "1") + R(8, "1") + R(10, "1") + R(10, "1/100m")), 1);
    t = Texts(Script(reporttest::SampleInput(7), o, ReportKind::Location));
    EXPECT_EQ(Count(t, Pad(6) + R(7, " ") + R(8, " ") + R(8, " ") + R(10, " ") + R(10, " /100m")), 1);
}

TEST(PrintedSections, SeriesTablesOnTheirOwnPages) {
    ReportOptions o;
    o.Dekadal = o.Daily = o.Threshold = true;
    o.Level = ConfidenceLevel::P95;
    const auto t = Texts(Script(reporttest::ConstantInput(3, 30.4375f, 30.4375f), o, ReportKind::Workbench, Comma));
    const int dek = Find(t, "Estimated annual cycle of expectation values in dekadal resolution:");
    const int day = Find(t, "Estimated annual cycle of expectation values in daily resolution:");
    const int thr = Find(t, "Estimated number of days with expectation value above threshold:");
    ASSERT_TRUE(dek > 0 && day > dek && thr > day);
    const auto at = [&](int i) { return t[static_cast<std::size_t>(i)]; };
    for (int title : {dek, day, thr}) {
        EXPECT_EQ(at(title - 3), "<page>");
        EXPECT_EQ(at(title - 2), " ");
        EXPECT_EQ(at(title - 1), " ");
    }
    EXPECT_EQ(at(dek + 1), " ");
    EXPECT_EQ(at(dek + 2), R(15, "dekade ") + R(15, "Best") + R(15, "2.5%") + R(15, "97.5%"));
    EXPECT_EQ(at(dek + 3), Pad(15) + R(15, "mm /dekade") + R(15, "mm /dekade") + R(15, "mm /dekade"));
    EXPECT_EQ(at(dek + 5), R(15, "Jan. 1") + R(15, "10,00") + R(15, "0,00") + R(15, "29,60"));
    EXPECT_EQ(at(day + 2), "           Date" + R(15, "Best") + R(15, "2.5%") + R(15, "97.5%"));
    EXPECT_EQ(at(day + 3), Pad(15) + R(15, "mm /Day") + R(15, "mm /Day") + R(15, "mm /Day"));
    EXPECT_EQ(at(day + 5), R(15, "1.1. (1)") + R(15, "1,00") + R(15, "0,00") + R(15, "2,96"));
    EXPECT_EQ(at(day + 5 + 364), R(15, "31.12. (365)") + R(15, "1,00") + R(15, "0,00") + R(15, "2,96"));
    EXPECT_EQ(at(day + 5 + 367), R(15, "Max: (1)") + R(15, "1,00") + R(15, "0,00") + R(15, "2,96"));
    EXPECT_EQ(at(thr + 1), "");
    EXPECT_EQ(at(thr + 2), "       Threshold" + R(15, "Best") + R(15, "2.5%") + R(15, "97.5%"));
    EXPECT_EQ(at(thr + 3), R(15, "mm /Day") + R(15, "Days") + R(15, "Days") + R(15, "Days"));
    EXPECT_EQ(at(thr + 5), R(15, "0,00") + R(15, "365") + R(15, "365") + R(15, "365"));
    EXPECT_EQ(at(thr + 5 + 101), " ");
    EXPECT_EQ(Count(t, "<page>"), 3);
}

TEST(PrintedSections, PageBreaks) {
    const auto in = reporttest::SampleInput();
    ReportOptions o;
    o.Best = true;
    EXPECT_EQ(Count(Texts(Script(in, o)), "<page>"), 0);
    o.Observations = true;  // one break, then the observation section
    auto t = Texts(Script(in, o));
    EXPECT_EQ(Count(t, "<page>"), 1);
    int page = Find(t, "<page>");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 3)], "Observed mean annual cycles at neighboring stations");
    o.Stations = true;  // one break for both
    t = Texts(Script(in, o));
    EXPECT_EQ(Count(t, "<page>"), 1);
    page = Find(t, "<page>");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 3)], "Neighboring stations used for the estimation:");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 4)], " ");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 5)].substr(0, 10), "   Station");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 6)], " ");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 10)].substr(0, 10), "      Mean");
    EXPECT_EQ(t[static_cast<std::size_t>(page + 15)].substr(0, 9), "Number   ");
    o.Dekadal = o.Daily = o.Threshold = true;
    EXPECT_EQ(Count(Texts(Script(in, o)), "<page>"), 4);
    // The location results window's reports know no series sections.
    EXPECT_EQ(Count(Texts(Script(in, o, ReportKind::Location)), "<page>"), 1);
}

class Measure : public report::FontMeasure {
public:
    double LineHeight(const report::PrintFont &f) const override { return f.Size / 2; }
    double ColumnWidth(const report::PrintFont &f) const override { return f.Name == "Courier" ? 2 : 3; }
};

TEST(PrintedLayout, PositionsAndFonts) {
    ReportOptions o;
    o.Best = true;
    const auto doc = report::LayOut(report::PrintedWorkbenchReport(reporttest::SampleInput(), {}, o, Page, "now",
                                                                   English),
                                    Page, Measure{}, report::PrintFont{"Times", 10});
    ASSERT_EQ(doc.Pages.size(), 1u);
    const auto &items = doc.Pages[0].Items;
    const auto find = [&](const std::string &prefix) {
        for (const auto &i : items)
            if (i.Text.rfind(prefix, 0) == 0)
                return i;
        ADD_FAILURE() << prefix;
        return report::PlacedText{};
    };
    const auto date = find("now");
    EXPECT_EQ(date.X, 0);
    EXPECT_EQ(date.Y, 0);
    EXPECT_EQ(date.Font, (report::PrintFont{"Times", 8}));
    const auto title = find("Tavisol");
    EXPECT_EQ(title.X, 50);
    EXPECT_EQ(title.Y, 20);
    EXPECT_EQ(title.Font, (report::PrintFont{"Arial", 16}));
    // Three blank lines at 8 mm, then the location line at the left margin.
    const auto location = find("Location:");
    EXPECT_EQ(location.X, 10);
    EXPECT_EQ(location.Y, 20 + 8 + 3 * 8);
    EXPECT_EQ(location.Font, (report::PrintFont{"Arial", 12}));
    // The caption starts in the second print zone.
    EXPECT_EQ(find("Monthly Mean Temperature").X, 10 + 14 * 3);
    // Monthly table in Courier 10 at the margin, closing line in Arial 12.
    const auto row = find("  Jan.");
    EXPECT_EQ(row.X, 10);
    EXPECT_EQ(row.Font, (report::PrintFont{"Courier", 10}));
    const auto close = find("Provided by Dorvex");
    EXPECT_EQ(close.X, 10);
    EXPECT_EQ(close.Font, (report::PrintFont{"Arial", 12}));
    // Text of blanks only takes its line but is not placed.
    for (const auto &i : items)
        EXPECT_NE(i.Text.find_first_not_of(' '), std::string::npos);
}

TEST(PrintedLayout, ObservationColumnsFromTheLeftEdge) {
    ReportOptions o;
    o.Observations = true;
    const auto doc = report::LayOut(report::PrintedWorkbenchReport(reporttest::SampleInput(), {}, o, Page, "now",
                                                                   English),
                                    Page, Measure{});
    ASSERT_EQ(doc.Pages.size(), 2u);
    std::vector<double> xs;
    std::vector<double> ys;
    for (const auto &i : doc.Pages[1].Items) {
        if (i.Text == " Jan" || i.Text == " Feb" || i.Text == " Okt" || i.Text == " Annual" || i.Text == "Number") {
            xs.push_back(i.X);
            ys.push_back(i.Y);
        }
        // Nothing is cut at the right margin: 2 mm columns, 75 to the line.
        EXPECT_LE(i.X + 2.0 * static_cast<double>(numfmt::charCount(i.Text)), Page.Width + 1e-9) << i.Text;
    }
    // " Okt" (columns 73 to 76) would straddle the edge after column 75: it
    // moves whole to the next line, and " Annual" (column 94) keeps its
    // distance to it: 94 - 73 columns further.
    ASSERT_EQ(xs.size(), 5U);
    EXPECT_EQ(xs, (std::vector<double>{0, 9 * 2, 16 * 2, 0, 21 * 2}));
    EXPECT_EQ(ys[0], ys[2]);
    EXPECT_GT(ys[3], ys[0]);
    EXPECT_EQ(ys[4], ys[3]);
}

TEST(PrintedLayout, OverflowContinuesOnANewPageWithoutLosingLines) {
    ReportOptions o;
    o.Daily = true;
    const auto script = report::PrintedWorkbenchReport(reporttest::SampleInput(), {}, o, Page, "now", English);
    const auto tall = report::LayOut(script, report::PageSize{150, 100000}, Measure{});
    const auto doc = report::LayOut(script, Page, Measure{});
    ASSERT_EQ(tall.Pages.size(), 2u);  // the daily table's own page
    // 5 mm Courier lines: the daily table runs over several pages.
    EXPECT_GT(doc.Pages.size(), 7u);
    std::size_t items = 0;
    for (const auto &p : doc.Pages) {
        items += p.Items.size();
        for (const auto &i : p.Items)
            EXPECT_LE(i.Y + i.Font.Size / 2, Page.Height);
    }
    EXPECT_EQ(items, tall.Pages[0].Items.size() + tall.Pages[1].Items.size());
    // A continuation page starts at the top, in the font in force.
    EXPECT_EQ(doc.Pages[3].Items.front().Y, 0);
    EXPECT_EQ(doc.Pages[3].Items.front().Font, (report::PrintFont{"Courier", 10}));
}

TEST(PrintedLayout, LocationReportsEachOnItsOwnPages) {
    ReportOptions o;
    o.Best = true;
    o.Stations = true;
    const std::vector<report::ReportInput> inputs = {reporttest::SampleInput(0), reporttest::SampleInput(6)};
    const auto script = report::PrintedLocationReports(inputs, {}, o, Page, "now", English);
    const auto doc = report::LayOut(script, Page, Measure{}, report::PrintFont{"Times", 10});
    ASSERT_EQ(doc.Pages.size(), 4u);  // head + stations, twice; no empty page at the end
    EXPECT_EQ(doc.Pages[0].Items.front().Font, (report::PrintFont{"Times", 8}));
    // The second date line keeps the font the first report left.
    EXPECT_EQ(doc.Pages[2].Items.front().Text, "now");
    EXPECT_EQ(doc.Pages[2].Items.front().Font, (report::PrintFont{"Arial", 8}));
    bool wind = false;
    for (const auto &i : doc.Pages[2].Items)
        wind = wind || i.Text.find("Wind Speed") != std::string::npos;
    EXPECT_TRUE(wind);
}

// The same width to a column in every font: at 1.1 mm, 48 columns fill a
// page of 52.8 mm exactly, though 52.8 / 1.1 falls just short of 48 in
// binary.
class EvenMeasure : public report::FontMeasure {
public:
    explicit EvenMeasure(double column) : column_(column) {}
    double LineHeight(const report::PrintFont &) const override { return 5; }
    double ColumnWidth(const report::PrintFont &) const override { return column_; }
    // A layout that measures without end fails rather than hangs.
    double TextWidth(const report::PrintFont &font, std::string_view utf8) const override {
        if (++measured_ > 100000)
            throw std::runtime_error("the layout never ends");
        return FontMeasure::TextWidth(font, utf8);
    }

private:
    double column_;
    mutable int measured_ = 0;
};

// Lines one below the other from the left edge, in one font and on a page
// of the given width: a line ending exactly at the edge, a field ending
// exactly there, columns of characters rather than bytes, a number at a
// line's start, an indent, and a font without width.
TEST(PrintedLayout, LinesBreakWithinThePageBetweenWholeFields) {
    const std::string full(48, '8');
    std::string accented = "Gen\u00e8ve: ";  // 48 characters, 58 bytes
    for (int i = 0; i < 8; ++i)
        accented += "12.5\u00b0";
    const struct {
        std::vector<std::string> lines;
        double width;
        std::vector<std::string> courier, arial = {};
        double column = 1.1;
    } rows[] = {
        {{full}, 52.8, {full}},
        {{full + " 9"}, 52.8, {full, " 9"}, {full, "9"}},
        {{accented}, 52.8, {accented}},
        {{accented + " \u00e9"}, 52.8, {accented, " \u00e9"}, {accented, "\u00e9"}},
        {{"1,234", "a,bcdefgh"}, 6.6, {"1,234", "a,", "bcdefg", "h"}},
        {{"  ab cd"}, 5.5, {"  ab", "  cd"}},
        {{"ab"}, 0.5, {"a", "b"}},  // not one character fits
        {{accented + accented}, 10, {accented + accented}, {}, 0},
    };
    for (const auto &row : rows)
        for (const char *font : {"Courier", "Arial"}) {
            report::PrintScript script{{PrintOp::Kind::FontName, font, 0, {}}};
            for (const auto &l : row.lines)
                script.push_back({PrintOp::Kind::Print, {}, 0, numfmt::PrintLine().text(l).segments()});
            std::vector<std::string> placed;
            for (const auto &page : report::LayOut(script, {row.width, 1000}, EvenMeasure(row.column)).Pages)
                for (const auto &item : page.Items)
                    placed.push_back(item.Text);
            EXPECT_EQ(placed, font[0] == 'A' && !row.arial.empty() ? row.arial : row.courier)
                << font << " " << row.lines.front();
        }
}

TEST(PrintedLayout, BadVariableThrows) {
    auto in = reporttest::SampleInput();
    in.Variable = -1;
    EXPECT_THROW(Script(in, {}), std::invalid_argument);
}

} // namespace
