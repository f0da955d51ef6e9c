#include <gtest/gtest.h>

#include <algorithm>

#include "results/charts.h"

namespace {

using namespace tavisol::results;
using tavisol::numfmt::Locale;
using Kind = ChartItem::Kind;

const Locale kPoint = Locale::english();

std::vector<const ChartItem *> Texts(const ChartDrawing &d) {
    std::vector<const ChartItem *> t;
    for (const ChartItem &i : d.items)
        if (i.kind == Kind::Text)
            t.push_back(&i);
    return t;
}

std::vector<const ChartItem *> Curves(const ChartDrawing &d) {
    std::vector<const ChartItem *> c;
    for (const ChartItem &i : d.items)
        if (i.kind == Kind::Line && i.width == 3)
            c.push_back(&i);
    return c;
}

void SetMonths(LocationResults &r, int v, float best, float err) {
    for (int m = 1; m <= 12; ++m) {
        r[v].Result.Best[static_cast<std::size_t>(m)] = best;
        r[v].Result.StdErr[static_cast<std::size_t>(m)] = err;
    }
    r[v].Computed = true;
    r[v].Estimated = true;
}

TEST(ChartRanges, TemperatureRangeTakesTheExtremesOnTheirSideOfTheMean) {
    LocationResults r;
    SetMonths(r, 0, 10, 1);  // band 8..12
    const ChartRange plain = ChartRangeOf(1, r);
    EXPECT_EQ(plain.min, 4);   // 8 -> 4
    EXPECT_EQ(plain.max, 20);  // 12 -> 20

    r[1].Computed = r[1].Estimated = r[2].Computed = r[2].Estimated = true;
    r[2].Result.Best[3] = -5;  // minimum below the mean widens the range
    r[2].Result.StdErr[3] = 1;
    r[1].Result.Best[7] = 30;  // maximum above the mean too
    r[1].Result.StdErr[7] = 2;
    EXPECT_EQ(ChartRangeOf(1, r).min, -10);
    EXPECT_EQ(ChartRangeOf(1, r).max, 40);

    // A zero or an extreme on the wrong side of the mean does not count.
    LocationResults z;
    SetMonths(z, 0, 10, 1);
    z[1].Computed = z[1].Estimated = z[2].Computed = z[2].Estimated = true;
    z[2].Result.Best[3] = 0;
    z[2].Result.StdErr[3] = 50;
    z[1].Result.Best[7] = 5;  // below the mean
    z[1].Result.StdErr[7] = 50;
    EXPECT_EQ(ChartRangeOf(1, z).min, 4);
    EXPECT_EQ(ChartRangeOf(1, z).max, 20);
}

TEST(ChartRanges, PrecipitationAndWindChartsNeverGoBelowZero) {
    LocationResults r;
    SetMonths(r, 3, 30, 40);   // band -50..110
    SetMonths(r, 5, 100, 10);  // band 80..120
    const ChartRange prec = ChartRangeOf(2, r);
    EXPECT_EQ(prec.min, 0);
    EXPECT_EQ(prec.max, 200);

    LocationResults w;
    SetMonths(w, 6, 5, 0.5f);  // 18 km/h, band 14.4..21.6
    SetMonths(w, 4, 15, 1);    // band 13..17
    SetMonths(w, 7, 0.5f, 5);  // the sunshine fraction takes no part
    const ChartRange wind = ChartRangeOf(3, w);
    EXPECT_EQ(wind.min, 10);
    EXPECT_EQ(wind.max, 40);
    // The drawing starts the wind chart at 0 all the same.
    const ChartDrawing d = DrawChart(3, w, wind, kPoint);
    EXPECT_EQ(d.min, 0);
    EXPECT_FLOAT_EQ(d.step, 4);
    EXPECT_DOUBLE_EQ(d.top, 48);
    EXPECT_DOUBLE_EQ(d.bottom, -8);
}

TEST(ChartDrawings, LabelsAxisAndMonthNumbers) {
    LocationResults r;
    SetMonths(r, 0, 10, 1);
    r[2].Computed = r[2].Estimated = true;
    r[2].Result.Best[1] = -3;
    const ChartRange range = ChartRangeOf(1, r);  // -4 .. 20
    ASSERT_EQ(range.min, -4);
    const ChartDrawing d = DrawChart(1, r, range, kPoint);
    EXPECT_FLOAT_EQ(d.step, 2.4f);
    EXPECT_DOUBLE_EQ(d.left, -2);
    EXPECT_DOUBLE_EQ(d.right, 12.5);
    EXPECT_NEAR(d.top, 24.8, 1e-5);
    EXPECT_NEAR(d.bottom, -8.8, 1e-5);
    ASSERT_EQ(d.items.front().kind, Kind::Point);
    EXPECT_DOUBLE_EQ(d.items.front().x1, -1);
    EXPECT_DOUBLE_EQ(d.items.front().y1, 20);

    const auto texts = Texts(d);
    ASSERT_EQ(texts.size(), 17u);
    const std::vector<std::string> labels = {"-4.0", "20.0", "8.0", "2.0", "14.0"};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(texts[k]->text, labels[k]);
        EXPECT_DOUBLE_EQ(texts[k]->x1, -0.8);
        EXPECT_FALSE(texts[k]->colour.has_value());
    }
    EXPECT_NEAR(texts[0]->y1, -4 + 1.2, 1e-5);  // half a step above its line
    EXPECT_EQ(texts[5]->text, " 1");
    EXPECT_EQ(texts[16]->text, " 12");
    EXPECT_NEAR(texts[16]->x1, 11.2, 1e-9);
    EXPECT_NEAR(texts[16]->y1, -5.2, 1e-5);
    // Grid lines reach the right end of the months; the axis is 11 steps tall.
    const auto axis = std::find_if(d.items.begin(), d.items.end(), [](const ChartItem &i) {
        return i.kind == Kind::Line && i.x1 == 0 && i.x2 == 0 && i.width == 1 && i.y2 > i.y1;
    });
    ASSERT_NE(axis, d.items.end());
    EXPECT_NEAR(axis->y2, -4 + 11 * 2.4, 1e-4);
}

TEST(ChartDrawings, ZeroLabelIsAPointAndAZero) {
    LocationResults r;  // all zero
    const ChartDrawing wind = DrawChart(3, r, ChartRangeOf(3, r), kPoint);
    const auto texts = Texts(wind);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0]->text, ".0");
    EXPECT_DOUBLE_EQ(texts[0]->y1, 0);  // the wind chart's min label sits on its line
    EXPECT_EQ(DrawChart(3, r, ChartRangeOf(3, r), Locale::decimalComma()).items[0].text, ",0");
    // The temperature chart around zero: -1 .. 1 with its middle label at 0.
    const ChartDrawing temp = DrawChart(1, r, ChartRangeOf(1, r), kPoint);
    EXPECT_EQ(Texts(temp)[0]->text, "-1.0");
    EXPECT_EQ(Texts(temp)[2]->text, ".0");
}

TEST(ChartDrawings, WindChartCarriesTheSunshineScale) {
    LocationResults r;
    SetMonths(r, 6, 5, 0.5f);
    SetMonths(r, 4, 15, 1);
    SetMonths(r, 7, 0.5f, 0);
    r[7].Result.Best[3] = 1;  // full sunshine in March
    const ChartDrawing d = DrawChart(3, r, ChartRangeOf(3, r), kPoint);  // 0 .. 40
    const auto texts = Texts(d);
    std::vector<std::string> sunshine;
    for (const ChartItem *t : texts)
        if (t->colour == Red)
            sunshine.push_back(t->text);
    EXPECT_EQ(sunshine, (std::vector<std::string>{"1", ".5", ".25", ".75"}));
    // The first labels keep the surface's colour, the later ones are black.
    EXPECT_FALSE(texts[0]->colour.has_value());
    EXPECT_FALSE(texts[1]->colour.has_value());
    EXPECT_EQ(texts[3]->colour, Black);
    EXPECT_EQ(texts.back()->colour, Black);

    // Fraction 1 lies on the top grid line.
    const auto curves = Curves(d);
    const auto march = std::find_if(curves.begin(), curves.end(), [](const ChartItem *i) {
        return i->colour == Red && i->x1 == 2 && i->x2 == 3;
    });
    ASSERT_NE(march, curves.end());
    EXPECT_DOUBLE_EQ((*march)->y1, 40);
    const auto top = std::find_if(d.items.begin(), d.items.end(), [](const ChartItem &i) {
        return i.kind == Kind::Line && i.width == 1 && i.y1 == 40 && i.y2 == 40;
    });
    ASSERT_NE(top, d.items.end());
    EXPECT_DOUBLE_EQ(top->x2, 11.5);
    // Wind in km/h.
    const auto wind = std::find_if(curves.begin(), curves.end(),
                                   [](const ChartItem *i) { return i->colour == Green && i->x1 == 0; });
    ASSERT_NE(wind, curves.end());
    EXPECT_DOUBLE_EQ((*wind)->y1, 18);
}

TEST(ChartDrawings, CurvesAreContinuousStaircases) {
    LocationResults r;
    for (int m = 1; m <= 12; ++m)
        r[3].Result.Best[static_cast<std::size_t>(m)] = m <= 6 ? 50.0f : 80.0f;
    for (int v : {3, 5}) {
        r[v].Computed = true;
        r[v].Estimated = true;
    }
    const ChartDrawing d = DrawChart(2, r, ChartRangeOf(2, r), kPoint);
    const auto curves = Curves(d);
    // Two series: 12 steps and 11 risers each.
    ASSERT_EQ(curves.size(), 46u);
    std::vector<const ChartItem *> prec;
    for (const ChartItem *c : curves)
        if (c->colour == Red)
            prec.push_back(c);
    ASSERT_EQ(prec.size(), 23u);
    // Month 1's step, then PET's step, then the risers: the first red item
    // is January, the next red one February... in drawing order, each riser
    // joining the end of one step to the start of the next.
    EXPECT_DOUBLE_EQ(prec[0]->x1, 0);
    EXPECT_DOUBLE_EQ(prec[0]->x2, 1);
    EXPECT_DOUBLE_EQ(prec[1]->x1, 1);  // riser at x = 1, zero length
    EXPECT_DOUBLE_EQ(prec[1]->y1, prec[1]->y2);
    const ChartItem *june = prec[11];  // riser after June
    EXPECT_DOUBLE_EQ(june->x1, 6);
    EXPECT_DOUBLE_EQ(june->y1, 50);
    EXPECT_DOUBLE_EQ(june->y2, 80);
    EXPECT_DOUBLE_EQ(prec.back()->x2, 12);
    EXPECT_EQ(ChartSeries(2).front().colour, Red);
    EXPECT_EQ(ChartSeries(1).front().colour, Green);

    // PET without an estimate (no neighbour, or a failed run): no curve of zeros.
    r[5].Estimated = false;
    EXPECT_EQ(Curves(DrawChart(2, r, ChartRangeOf(2, r), kPoint)).size(), 23u);
    r[5].Estimated = true;
    r[5].Computed = false;
    EXPECT_EQ(Curves(DrawChart(2, r, ChartRangeOf(2, r), kPoint)).size(), 23u);
}

} // namespace
