#include "results/gridtexts.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "calendar/confidence.h"
#include "shell/outputchoices.h"

namespace tavisol::results {

using engine::Integer;
using engine::Single;
using engine::StationRecord;
using numfmt::formatMask;

namespace {

constexpr std::string_view kMonths = "January|February|March|April|May|June|July|August|September|October|November|December";
constexpr std::string_view kStationNumbers = "1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17|18|19|20";

constexpr std::string_view kResultsHeader =
    "^|Best Estimate|Low Estimate|High Estimate|Standard Error|  Bias  |Vertical Gradient|Longitudinal Gradient"
    "|Latitudinal Gradient |Gradient Direction |Gradient Direction | Absolute Gradient|Expl. Var of Alt. Corr.";

constexpr std::string_view kStationHeader =
    "^|Longitude [°]|Latitude [°]|Altitude [m]|Distance [km]|Direction|Direction|Station Name        "
    "|Country Name         ";

constexpr std::string_view kObservationHeader =
    "^| January | February |  March  |  April  |   May   |  June   |  July   | August | September | October "
    "| November | December | Annual | Weight";

// Section titles of each group, top to bottom.
struct Sections {
    int count;
    std::array<int, 3> variable;
};

constexpr Sections kSections[4] = {
    {0, {-1, -1, -1}},
    {3, {0, 1, 2}},
    {2, {3, 5, -1}},
    {3, {7, 6, 4}},
};

bool ValidGroup(int group) { return group >= 1 && group <= 3; }

// The 90 % factor of this window's results grids, in double as the grids use it.
constexpr double kConfidence90 = ConfidenceFactorExact(ConfidenceLevel::P90);
// Least number of active neighbours for the error and gradient columns.
constexpr Integer kMinActive = 6;

} // namespace

int SectionCount(int group) { return ValidGroup(group) ? kSections[group].count : 0; }

namespace {

// The criterion of the engine's selection that left no neighbour, in the
// settings dialog's words.
std::string NoNeighbourReason(engine::NoNeighbourCause cause, const engine::EngineSettings &settings,
                              const numfmt::Locale &locale) {
    if (cause == engine::NoNeighbourCause::NoStation)
        return "the station files hold no station";
    // Stations 20000 km away or farther never become neighbours.
    const std::string reach =
        settings.MaxDistance < 20000
            ? "within the Maximum Distance of " + numfmt::general(settings.MaxDistance, locale) + " km"
            : std::string("nearer than 20000 km");
    if (cause == engine::NoNeighbourCause::AltitudeWindow)
        return "no station " + reach + " meets the Altitude Restrictions (a known altitude from " +
               numfmt::general(settings.MinAltitude, locale) + " to " + numfmt::general(settings.MaxAltitude, locale) +
               " m)";
    return "no station " + reach;
}

} // namespace

std::string MissingEstimatesNotice(const std::vector<EstimateOutcome> &outcomes,
                                   const engine::EngineSettings &settings, const std::string &failure,
                                   const numfmt::Locale &locale) {
    // Reasons in the order they are met, each with its variables.
    std::vector<std::pair<std::string, std::string>> reasons;
    for (const EstimateOutcome &o : outcomes) {
        if (o.computed && o.estimated)
            continue;
        std::string why;
        if (!o.computed) {
            if (failure.empty())
                continue;  // nothing computed yet
            why = "the run stopped: " + failure;
        } else if (o.neighbourCount == 0) {
            why = NoNeighbourReason(o.whyNoNeighbour, settings, locale);
        } else {
            // Neighbours were found, and the estimate takes any active one:
            // their boxes were cleared (the doubled-station step never clears
            // the nearest one's).
            why = o.neighbourCount == 1 ? std::string("its one neighbouring station is switched off")
                                        : "all " + std::to_string(o.neighbourCount) +
                                              " neighbouring stations are switched off";
        }
        const std::string name = VariableChoices.at(static_cast<std::size_t>(o.variable)).caption;
        auto same = std::find_if(reasons.begin(), reasons.end(), [&](const auto &r) { return r.first == why; });
        if (same == reasons.end())
            reasons.emplace_back(why, name);
        else
            same->second += ", " + name;
    }
    std::string notice;
    for (const auto &[why, names] : reasons) {
        if (!notice.empty())
            notice += '\n';
        notice += "No estimate of " + names + ": " + why;
        if (notice.back() != '.')
            notice += '.';
    }
    return notice;
}

std::string MissingEstimatesNotice(const std::vector<int> &variables, const LocationResults &results,
                                   const engine::EngineSettings &settings, const std::string &failure,
                                   const numfmt::Locale &locale) {
    std::vector<EstimateOutcome> outcomes;
    for (const int v : variables) {
        const StoredVariable &stored = results[v];
        outcomes.push_back({v, stored.Computed, results.HasEstimate(v), stored.NeighbourCount, stored.WhyNoNeighbour});
    }
    return MissingEstimatesNotice(outcomes, settings, failure, locale);
}

std::string MissingEstimatesNotice(int group, const LocationResults &results, const engine::EngineSettings &settings,
                                   const std::string &failure, const numfmt::Locale &locale) {
    std::vector<int> variables;
    for (int section = 0; section < SectionCount(group); ++section)
        variables.push_back(SectionVariable(group, section));
    return MissingEstimatesNotice(variables, results, settings, failure, locale);
}

int SectionVariable(int group, int section) {
    if (!ValidGroup(group) || section < 0 || section >= kSections[group].count)
        return -1;
    return kSections[group].variable[static_cast<std::size_t>(section)];
}

// ---- Layouts ---------------------------------------------------------------

namespace {

// Row labels of a grid's sections and the text after the last one; the
// spacing of each is part of the grid's look.
struct SectionLabels {
    std::array<const char *, 3> label;
    const char *tail;
};

// The header, then per section its label, the column titles and "Mean",
// sections set apart by an empty row.
std::string Layout(std::string_view header, std::string_view columns, const SectionLabels (&labels)[4], int group) {
    if (!ValidGroup(group))
        return {};
    std::string text(header);
    text += ";";
    for (int s = 0; s < SectionCount(group); ++s) {
        if (s > 0)
            text += "| ";
        text += "|";
        text += labels[group].label[static_cast<std::size_t>(s)];
        text += "|";
        text += columns;
        text += "|Mean";
    }
    return text + labels[group].tail;
}

constexpr SectionLabels kResultsLabels[4] = {
    {{nullptr, nullptr, nullptr}, ""},
    {{"T_Mean", "T_Max", "T_Min"}, " "},
    {{"Prec", " PET ", nullptr}, ""},
    {{"Sun ", "Wind ", "Vapor "}, ""},
};

constexpr SectionLabels kStationLabels[4] = {
    {{nullptr, nullptr, nullptr}, ""},
    {{"T_Mean ", "T_Max", "T_Min"}, "| "},
    {{"Prec ", "PET", nullptr}, ""},
    {{"Sun ", "Wind ", "Vapor "}, ""},
};

constexpr SectionLabels kObservationLabels[4] = {
    {{nullptr, nullptr, nullptr}, ""},
    {{"T_Mean ", "T_Max", "T_Min"}, "| "},
    {{"Prec ", " PET ", nullptr}, " "},
    {{"Sun ", "Wind ", "Vapor "}, " "},
};

} // namespace

std::string ResultsGridLayout(int group) { return Layout(kResultsHeader, kMonths, kResultsLabels, group); }

std::string StationGridLayout(int group) { return Layout(kStationHeader, kStationNumbers, kStationLabels, group); }

std::string ObservationGridLayout(int group) {
    return Layout(kObservationHeader, kStationNumbers, kObservationLabels, group);
}

// ---- Warnings ----------------------------------------------------------------

GridModel WarningGrid(int group, const LocationResults &results) {
    struct Column {
        const char *header;
        int variable;
    };
    static const std::array<std::array<Column, 3>, 4> kColumns = {{
        {{{"", -1}, {"", -1}, {"", -1}}},
        {{{"T_min", 2}, {"T_mean", 0}, {"T_max", 1}}},
        {{{"Precip", 3}, {"PET", 5}, {"", -1}}},
        {{{"Wind", 6}, {"Vapor", 4}, {"Sun", 7}}},
    }};
    static const char *const kRows[8] = {"Warnings", "High", "Low", "Lonely", "Doubled", "Strange", "Few", "Hit"};
    if (!ValidGroup(group))
        return {};
    const int variables = group == PrecipitationGroup ? 2 : 3;
    GridModel g(8, variables + 1);
    g.setLabelAlign(CellAlign::Center);
    for (int r = 0; r < 8; ++r)
        g.set(r, 0, kRows[r], CellAlign::Center);
    for (int c = 1; c <= variables; ++c)
        g.set(0, c, kColumns[static_cast<std::size_t>(group)][static_cast<std::size_t>(c - 1)].header,
              CellAlign::Center);
    for (int r = 1; r <= 7; ++r) {
        for (int c = 1; c <= variables; ++c) {
            const int v = kColumns[static_cast<std::size_t>(group)][static_cast<std::size_t>(c - 1)].variable;
            const engine::WarningFlags &w = results.StoredWarnings(v);
            // Rows in the order the grid shows them: Doubled before Strange.
            const Integer flags[8] = {0, w.High, w.Low, w.Lonely, w.Doubled, w.Strange, w.Few, w.Hit};
            // A variable the run did not reach raised no warning; one without
            // an estimate has none to be high or low.
            const bool compared = r == 1 || r == 2;
            const bool raised = results[v].Computed && flags[r] == engine::True &&
                                !(compared && !results.HasEstimate(v));
            g.set(r, c, raised ? "X" : "", CellAlign::Center);
        }
    }
    return g;
}

// ---- Results -------------------------------------------------------------------

namespace {

std::string Units(int v, int column) {
    struct UnitSet {
        const char *value;
        const char *perMetre;
        const char *perKm;
    };
    UnitSet u;
    switch (v) {
    case 0: case 1: case 2: u = {"[°C]", "[°C/100m]", "[°C/100km]"}; break;
    case 3: case 5: u = {"[mm]", "[mm/100m]", "[mm/100km]"}; break;
    case 7: u = {" ", "[1/100m]", "[1/100km]"}; break;
    case 6: u = {"[km/h]", "[km/h/100m]", "[km/h/100km]"}; break;
    case 4: u = {"[hPa]", "[hPa/100m]", "[hPa/100km]"}; break;
    default: return {};
    }
    switch (column) {
    case 1: case 2: case 3: case 4: case 5: return u.value;
    case 6: return u.perMetre;
    case 7: case 8: case 11: return u.perKm;
    case 9: return "Degrees";
    default: return {};
    }
}

struct BestLowHigh {
    Single best;
    Single low;
    Single high;
};

BestLowHigh Limits(int group, int v, int i, const engine::EstimateResult &r) {
    const double factor = group == WindGroup && v == 6 ? 3.6 : 1.0;
    BestLowHigh b;
    b.best = factor == 1.0 ? r.Best[static_cast<std::size_t>(i)]
                           : static_cast<Single>(factor * r.Best[static_cast<std::size_t>(i)]);
    const double half = kConfidence90 * r.StdErr[static_cast<std::size_t>(i)] * factor;
    b.low = static_cast<Single>(b.best - half);
    b.high = static_cast<Single>(b.best + half);
    if (group != TemperatureGroup) {
        // Amounts, speeds, pressures and fractions are not negative; the
        // fraction keeps no upper limit here.
        if (b.best < 0)
            b.best = 0;
        if (b.low < 0)
            b.low = 0;
        if (b.high < 0)
            b.high = 0;
    }
    return b;
}

} // namespace

std::string ResultCellText(int group, int v, int i, int column, const LocationResults &results,
                           const numfmt::Locale &locale) {
    if (!ValidGroup(group) || v < 0 || v >= VariableCount || i < 1 || i > 13)
        return {};
    // A failed run or no neighbour: no number stands for a missing estimate.
    if (!results.HasEstimate(v))
        return {};
    const engine::EstimateResult &r = results.StoredResult(v);
    const std::size_t k = static_cast<std::size_t>(i);
    const Integer active = results.ActiveNeighbours(v);
    const bool hit = results.StoredWarnings(v).Hit == engine::True;
    const bool errors = active >= kMinActive && !hit;
    const bool gradients = active >= kMinActive;
    const bool wind = group == WindGroup && v == 6;
    // A speed converted to km/h is worked out in double precision; other
    // values are shown as stored.
    auto speed = [&](Single value, double scale, const char *mask) {
        if (wind)
            return formatMask(3.6 * scale * value, mask, locale);
        if (scale == 1.0)
            return formatMask(value, mask, locale);
        return formatMask(static_cast<Single>(value * static_cast<Single>(scale)), mask, locale);
    };
    switch (column) {
    case 1: return formatMask(Limits(group, v, i, r).best, "###0.00", locale);
    case 2: return errors ? formatMask(Limits(group, v, i, r).low, "###0.00", locale) : std::string();
    case 3: return errors ? formatMask(Limits(group, v, i, r).high, "###0.00", locale) : std::string();
    case 4: return errors ? speed(r.StdErr[k], 1.0, "###0.00") : std::string();
    case 5: return errors ? speed(r.Bias[k], 1.0, "##0.00") : std::string();
    case 6: return speed(r.VertGrad[k], 100.0, "##0.00");
    case 7: return gradients ? speed(r.LonGrad[k], 1.0, "##0.00") : std::string();
    case 8: return gradients ? speed(r.LatGrad[k], 1.0, "##0.00") : std::string();
    case 9: return gradients ? formatMask(r.DirGrad[k], "##0.00", locale) : std::string();
    case 10: return gradients ? r.DirGradText[k] : std::string();
    case 11: return gradients ? speed(r.AbsGrad[k], 1.0, "##0.00") : std::string();
    case 12: return formatMask(r.ExplVar[k], "##0.00", locale);
    default: return {};
    }
}

GridModel ResultsGrid(int group, const LocationResults &results, const numfmt::Locale &locale) {
    if (!ValidGroup(group))
        return {};
    GridModel g(ParseGridLayout(ResultsGridLayout(group)));
    const int blocks = SectionCount(group);
    // Units in each block's label row, with the look of a header.
    for (int b = 0; b < blocks; ++b) {
        const int row = 1 + 15 * b;
        const int v = SectionVariable(group, b);
        for (int c = 1; c <= 12; ++c) {
            GridCell &cell = g.cell(row, c);
            cell.look = CellLook::Fixed;
            cell.align = CellAlign::Center;
            cell.text = Units(v, c);
        }
    }
    for (int r = 2; r <= 14; ++r) {
        const int i = r - 1;
        for (int b = 0; b < blocks; ++b) {
            const int row = r + 15 * b;
            const int v = SectionVariable(group, b);
            for (int c = 1; c <= 12; ++c) {
                GridCell &cell = g.cell(row, c);
                // The annual row looks like a header.
                cell.look = r == 14 ? CellLook::Fixed : CellLook::Normal;
                cell.align = CellAlign::Center;
                cell.text = ResultCellText(group, v, i, c, results, locale);
            }
        }
    }
    return g;
}

// ---- Stations and observations ----------------------------------------------------

namespace {

// A neighbour slot holds a station of the estimate when it lies within the
// variable's neighbour count; a station with an empty country is shown too.
bool HoldsStation(const StoredVariable &s, int k) { return k >= 1 && k <= s.NeighbourCount; }

void StationCells(GridModel &g, int row, const StationRecord &n, bool meanRow, const numfmt::Locale &locale) {
    const CellAlign centre = CellAlign::Center;
    const bool noDirection = !meanRow && n.Direction == engine::Missing;
    g.set(row, 1, formatMask(n.Longitude, "###0.00", locale), centre);
    g.set(row, 2, formatMask(n.Latitude, "##0.00", locale), centre);
    g.set(row, 3, formatMask(n.Altitude, "###0", locale), centre);
    g.set(row, 4, formatMask(n.Distance, "####.0", locale), centre);
    g.set(row, 5, noDirection ? std::string() : formatMask(n.Direction, "##0", locale), centre);
    g.set(row, 6, noDirection ? std::string() : n.Compass, centre);
    if (meanRow) {
        g.set(row, 7, "", centre);
        g.set(row, 8, "", centre);
    } else {
        g.set(row, 7, n.Name, CellAlign::LeftCenter);
        g.set(row, 8, n.Country, CellAlign::LeftCenter);
    }
}

} // namespace

GridModel StationGrid(int group, const LocationResults &results, const numfmt::Locale &locale) {
    if (!ValidGroup(group))
        return {};
    GridModel g(ParseGridLayout(StationGridLayout(group)));
    const int sections = SectionCount(group);
    for (int k = 1; k <= engine::MaxNeighbours; ++k) {
        for (int s = 0; s < sections; ++s) {
            const StoredVariable &stored = results[SectionVariable(group, s)];
            const int row = 1 + 23 * s + k;
            if (HoldsStation(stored, k)) {
                StationCells(g, row, stored.Neighbours[static_cast<std::size_t>(k)], false, locale);
            } else {
                for (int c = 1; c <= 8; ++c)
                    g.cell(row, c).text.clear();
            }
        }
    }
    for (int s = 0; s < sections; ++s) {
        const int v = SectionVariable(group, s);
        const int row = 1 + 23 * s + 21;
        // The means exist only where some neighbour was active.
        StationCells(g, row, results[v].Neighbours[engine::SummaryRecord], true, locale);
        for (int c = 1; c <= 8; ++c) {
            g.cell(row, c).look = CellLook::Fixed;
            if (!results.HasEstimate(v))
                g.cell(row, c).text.clear();
        }
    }
    return g;
}

GridModel ObservationGrid(int group, const LocationResults &results, const numfmt::Locale &locale) {
    if (!ValidGroup(group))
        return {};
    GridModel g(ParseGridLayout(ObservationGridLayout(group)));
    const int sections = SectionCount(group);
    for (int k = 1; k <= engine::MaxNeighbours; ++k) {
        for (int s = 0; s < sections; ++s) {
            const StoredVariable &stored = results[SectionVariable(group, s)];
            const StationRecord &n = stored.Neighbours[static_cast<std::size_t>(k)];
            const bool shown = HoldsStation(stored, k);
            const int row = 1 + 23 * s + k;
            for (int j = 1; j <= 13; ++j)
                g.set(row, j, shown ? formatMask(n.Values[static_cast<std::size_t>(j)], "###0.00", locale) : "",
                      CellAlign::Center);
            g.set(row, 14, shown ? formatMask(n.Weight, "0.0000", locale) : "", CellAlign::Center);
        }
    }
    for (int s = 0; s < sections; ++s) {
        const int v = SectionVariable(group, s);
        const StationRecord &mean = results[v].Neighbours[engine::SummaryRecord];
        const int row = 1 + 23 * s + 21;
        for (int j = 1; j <= 13; ++j) {
            g.set(row, j,
                  results.HasEstimate(v) ? formatMask(mean.Values[static_cast<std::size_t>(j)], "###0.00", locale)
                                         : std::string(),
                  CellAlign::Center);
            g.cell(row, j).look = CellLook::Fixed;
        }
    }
    return g;
}

} // namespace tavisol::results
