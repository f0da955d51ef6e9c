#include "export/growing_season.h"

#include <charconv>
#include <cmath>

#include "numfmt/numfmt.h"

namespace tavisol::exports {

namespace {

// The dates were once kept as text in the shortest form of a Single and read
// back; going through 7 significant digits keeps the values they had. The
// text is read with the point it was written with, whatever the process
// locale (a reading by the C library's locale cut "27.09" to 27).
Single ThroughText(Single v) {
    const std::string text = numfmt::general(v, numfmt::Locale::english());
    Single out = 0;
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

int Index(Single count) { return static_cast<int>(count); }

} // namespace

SeasonEvent& GrowingSeasons::Event(int i) {
    if (i < 0 || i > MaxEvents) throw SeasonRangeError();
    return SeasonEvents[static_cast<std::size_t>(i)];
}

std::array<Single, 9>& GrowingSeasons::Row(int s) {
    if (s < 0 || s > MaxSeasons) throw SeasonRangeError();
    return SeasonTable[static_cast<std::size_t>(s)];
}

Single GrowingSeasons::Cell(int row, int column) const {
    if (row < 0 || row > MaxSeasons || column < 0 || column > 8) throw SeasonRangeError();
    return SeasonTable[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void GrowingSeasons::Adjust(const std::string& letter, int month) {
    EventCount += 1;
    if (CrossingDay < 15) {
        CrossingDay = CrossingDay + 15;
        EventMonth = static_cast<Single>(month);
    } else {
        CrossingDay = CrossingDay - 15;
        EventMonth = static_cast<Single>(month + 1);
    }
    if (CrossingDay == 0) CrossingDay = 1;
    if (EventMonth == 13) EventMonth = 1;
    SeasonEvent& e = Event(Index(EventCount));
    e.Letter = letter;
    e.Date = ThroughText(std::floor(CrossingDay) + EventMonth / 100.0F);
}

// Moves the events before the first `letter` behind the last one, so that the
// lists begin with it; the moved copies stay beyond EventCount.
void GrowingSeasons::RotateTo(const char* letter) {
    const int count = Index(EventCount);
    int i = 1;
    while (Event(i).Letter != letter) {
        Event(i + count) = Event(i);
        ++i;
    }
    if (i != 1) {
        for (int j = 1; j <= count; ++j) Event(j) = Event(j + i - 1);
    }
}

GrowingSeasons::Curves GrowingSeasons::CurvesOf(const engine::Months13& rainfall, const engine::Months13& pet) {
    Curves c;
    for (std::size_t k = 0; k <= 12; ++k) {
        c.R[k] = rainfall[k];
        c.P[k] = pet[k];
        c.H[k] = static_cast<Single>(static_cast<double>(c.P[k]) * 0.5);
        // A month on a curve counts as just above it.
        if (c.R[k] == c.P[k]) c.R[k] = static_cast<Single>(static_cast<double>(c.R[k]) + 0.01);
        if (c.R[k] == c.H[k]) c.H[k] = static_cast<Single>(static_cast<double>(c.H[k]) - 0.01);
    }
    c.R[13] = c.R[1];
    c.P[13] = c.P[1];
    c.H[13] = c.H[1];
    return c;
}

void GrowingSeasons::FindCrossings(const Curves& c) {
    const auto& R = c.R;
    const auto& P = c.P;
    const auto& H = c.H;
    for (auto& e : SeasonEvents) e = SeasonEvent{};
    SeasonCount = 0;
    EventCount = 0;

    auto crossing = [&](const std::array<Single, 14>& X, std::size_t m) {
        const Single num = 30.0F * (R[m] - X[m]);
        const Single den = (X[m + 1] - R[m + 1]) - (X[m] - R[m]);
        CrossingDay = static_cast<Single>(static_cast<double>(num / den) + 0.5);
    };
    for (std::size_t m = 1; m <= 12; ++m) {
        const int month = static_cast<int>(m);
        if (R[m] < H[m] && R[m + 1] > H[m + 1]) {
            SeasonCount += 1;
            crossing(H, m);
            Adjust("b", month);
        }
        if (R[m] < P[m] && R[m + 1] > P[m + 1]) {
            crossing(P, m);
            Adjust("B", month);
        }
        if (R[m] > P[m] && R[m + 1] < P[m + 1]) {
            crossing(P, m);
            Adjust("E", month);
        }
        if (R[m] > H[m] && R[m + 1] < H[m + 1]) {
            crossing(H, m);
            Adjust("e", month);
        }
    }
}

void GrowingSeasons::SeasonWithoutCrossings(const Curves& c) {
    SeasonCount = 1;
    auto& row = Row(1);
    row[ColSeasonType] = SeasonAllYear;
    if (c.R[6] < c.H[6]) row[ColSeasonType] = SeasonNone;
    if (c.R[6] > c.P[6]) row[ColSeasonType] = SeasonWetAllYear;
}

void GrowingSeasons::HumidPeriodsOnly(int count) {
    RotateTo("B");
    SeasonCount = static_cast<Single>(count / 2);
    for (int s = 1; s <= count / 2; ++s) {
        auto& row = Row(s);
        row[ColSeasonType] = SeasonHumidOnly;
        row[ColHumidBegin] = Event(2 * s - 1).Date;
        row[ColHumidEnd] = Event(2 * s).Date;
    }
}

void GrowingSeasons::SeasonsWithHumidPeriods(int count) {
    RotateTo("b");
    int s = 0;
    for (int i = 1; i <= 23; ++i) {
        if (Event(i).Letter != "b") continue;
        const std::string& next = Event(i + 1).Letter;
        if (next == "B") {
            // The season ends at the next fall below half the PET; a season
            // with several humid periods shows them as one span, from the
            // first rise above the PET to the last fall below it.
            int end = 0;
            int lastE = 0;
            for (int k = i + 2; k <= count && end == 0; ++k) {
                if (Event(k).Letter == "e") end = k;
                else if (Event(k).Letter == "E") lastE = k;
            }
            if (end == 0) {
                end = i + 3;
                lastE = i + 2;
            }
            ++s;
            auto& row = Row(s);
            row[ColSeasonType] = SeasonHumid;
            row[ColSeasonBegin] = Event(i).Date;
            row[ColSeasonEnd] = Event(end).Date;
            row[ColHumidBegin] = Event(i + 1).Date;
            row[ColHumidEnd] = Event(lastE).Date;
        } else if (next == "e") {
            ++s;
            auto& row = Row(s);
            row[ColSeasonType] = SeasonPlain;
            row[ColSeasonBegin] = Event(i).Date;
            row[ColSeasonEnd] = Event(i + 1).Date;
        }
    }
}

void GrowingSeasons::FindSeasons(const engine::Months13& rainfall, const engine::Months13& pet) {
    const Curves curves = CurvesOf(rainfall, pet);
    FindCrossings(curves);
    const int count = Index(EventCount);
    if (count == 0) {
        SeasonWithoutCrossings(curves);
        return;
    }
    int pCrossings = 0;
    for (int i = 1; i <= count; ++i) {
        const std::string& l = Event(i).Letter;
        if (l == "B" || l == "E") ++pCrossings;
    }
    if (pCrossings == count)
        HumidPeriodsOnly(count);
    else
        SeasonsWithHumidPeriods(count);
}

Integer GrowingSeasons::GetNumDay(Single month, Single day) {
    return numfmt::cint(static_cast<double>((month - 1.0F) * 30.0F + day));
}

namespace {

Single DayNumber(Single date) {
    const Single day = std::floor(date);
    const Single month = 100.0F * date - 100.0F * day;
    return GrowingSeasons::GetNumDay(month, day);
}

} // namespace

void GrowingSeasons::Dates(int s) {
    auto& row = Row(s);
    row[ColBeginDay] = DayNumber(row[ColSeasonBegin]);
    row[ColEndDay] = DayNumber(row[ColSeasonEnd]);
    row[ColLength] = row[ColEndDay] - row[ColBeginDay] + 1;
    // A season over the turn of the year; 365 although the day numbers count
    // 30-day months, as the season programs reading these files expect.
    if (row[ColLength] < 0) row[ColLength] += 365;
}

void GrowingSeasons::CompleteSeasons() {
    const int count = Index(SeasonCount);
    for (int s = 1; s <= count; ++s) {
        auto& row = Row(s);
        switch (static_cast<int>(row[ColSeasonType])) {
        case SeasonNone:
            for (int c = ColSeasonBegin; c <= ColEndDay; ++c) row[static_cast<std::size_t>(c)] = NoValue;
            row[ColLength] = 0;
            break;
        case SeasonPlain:
            row[ColHumidBegin] = NoValue;
            row[ColHumidEnd] = NoValue;
            Dates(s);
            break;
        case SeasonHumid:
            Dates(s);
            break;
        case SeasonAllYear:
            // Growing all year without a humid period: no dates, full length.
            for (int c = ColSeasonBegin; c <= ColEndDay; ++c) row[static_cast<std::size_t>(c)] = NoValue;
            row[ColLength] = 365;
            break;
        case SeasonWetAllYear:
            for (int c = ColSeasonBegin; c <= ColEndDay; ++c) row[static_cast<std::size_t>(c)] = NoValue;
            row[ColLength] = 365;
            break;
        case SeasonHumidOnly:
            row[ColSeasonBegin] = NoValue;
            row[ColSeasonEnd] = NoValue;
            row[ColBeginDay] = DayNumber(row[ColHumidBegin]);
            row[ColEndDay] = DayNumber(row[ColHumidEnd]);
            row[ColLength] = 365;
            break;
        default:
            break;
        }
    }
    if (count != 1) {
        for (int i = 2; i <= count; ++i) {
            for (int j = 1; j < i; ++j) {
                if (Row(i)[ColLength] > Row(j)[ColLength]) {
                    for (int c = 1; c <= 8; ++c)
                        std::swap(Row(i)[static_cast<std::size_t>(c)], Row(j)[static_cast<std::size_t>(c)]);
                }
            }
        }
    }
}

void GrowingSeasons::Calculate(const engine::Months13& rainfall, const engine::Months13& pet) {
    FindSeasons(rainfall, pet);
    CompleteSeasons();
}

} // namespace tavisol::exports
