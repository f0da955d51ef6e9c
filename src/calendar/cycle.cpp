#include "calendar/cycle.h"

#include <cassert>

#include "calendar/calendar.h"
#include "engine/engine.h"
#include "engine/geodesy.h"

namespace tavisol::calendar {

namespace {

constexpr double CommonMonth = 30.4375;

Single StdErrOf(const engine::EstimateResult &r, int month) { return r.StdErr[static_cast<std::size_t>(month)]; }

} // namespace

bool IsAmount(Integer variable) { return variable == 3 || variable == 5; }

void DailyValues(const engine::EstimateResult &result, Integer variable, Single z, std::span<Single> best,
                 std::span<Single> low, std::span<Single> high) {
    assert(best.size() > DaysInYear);
    for (int d = 1; d <= DaysInYear; ++d) {
        const Single t0 = static_cast<Single>((d - 1) / 365.0);
        const Single t1 = static_cast<Single>(d / 365.0);
        Single v = engine::ClampValue(engine::IntegrateHarmonics(result, t0, t1), variable);
        if (IsAmount(variable))
            v = static_cast<Single>(v / CommonMonth);
        best[static_cast<std::size_t>(d)] = v;
    }
    if (z == 0)
        return;
    assert(low.size() > DaysInYear && high.size() > DaysInYear);
    for (int d = 1; d <= DaysInYear; ++d) {
        const auto i = static_cast<std::size_t>(d);
        double e = static_cast<double>(z) * StdErrOf(result, MonthOfDay(d));
        if (IsAmount(variable))
            e /= CommonMonth;
        const Single err = static_cast<Single>(e);
        low[i] = engine::ClampValue(best[i] - err, variable);
        high[i] = best[i] + err;
    }
}

void DekadalValues(const engine::EstimateResult &result, Integer variable, Single z, std::span<Single> best,
                   std::span<Single> low, std::span<Single> high) {
    assert(best.size() > DekadsInYear);
    Single t1 = 0;
    for (int k = 1; k <= DekadsInYear; ++k) {
        const double l = DekadLength(k);
        t1 = static_cast<Single>(t1 + l / 365.25);
        const Single t0 = static_cast<Single>(t1 - l / 365.25);
        const Single v = engine::IntegrateHarmonics(result, t0, t1);
        const Single b = IsAmount(variable) ? static_cast<Single>(v * l / CommonMonth) : v;
        best[static_cast<std::size_t>(k)] = engine::ClampValue(b, variable);
    }
    if (z == 0)
        return;
    assert(low.size() > DekadsInYear && high.size() > DekadsInYear);
    for (int k = 1; k <= DekadsInYear; ++k) {
        const auto i = static_cast<std::size_t>(k);
        double e = static_cast<double>(z) * StdErrOf(result, MonthOfDekad(k));
        if (IsAmount(variable))
            e = e * DekadLength(k) / CommonMonth;
        const Single err = static_cast<Single>(e);
        low[i] = engine::ClampValue(best[i] - err, variable);
        high[i] = best[i] + err;
    }
}

} // namespace tavisol::calendar
