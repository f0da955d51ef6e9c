#pragma once

// Growing seasons from twelve monthly values of rainfall and potential
// evapotranspiration (PET): periods in which rainfall exceeds half the PET,
// and within them humid periods in which it exceeds the full PET. Crossings
// are placed to the day by linear interpolation between mid-months, every
// month counted as 30 days. Dates are numbers day + month / 100 (16.03 is
// 16 March, 5.1 is 5 October); day numbers are (month - 1) x 30 + day.

#include <array>
#include <stdexcept>
#include <string>

#include "engine/state.h"

namespace tavisol::exports {

using engine::Integer;
using engine::Single;

// A table or event index past its end. The message is the one the user sees.
class SeasonRangeError : public std::out_of_range {
public:
    SeasonRangeError() : std::out_of_range("Subscript out of range") {}
};

// Columns of SeasonTable.
enum SeasonColumn : int {
    ColSeasonType = 1,
    ColSeasonBegin = 2,
    ColSeasonEnd = 3,
    ColHumidBegin = 4,
    ColHumidEnd = 5,
    ColBeginDay = 6,
    ColEndDay = 7,
    ColLength = 8,
};

// Value of a column that has none.
inline constexpr Single NoValue = -999.0F;

// SeasonType values.
enum SeasonKind : int {
    SeasonNone = 1,       // no crossing, June rainfall below half the PET
    SeasonPlain = 2,      // above half the PET, never above the PET
    SeasonHumid = 3,      // with a humid period
    SeasonAllYear = 4,    // no crossing, June rainfall between half the PET and the PET
    SeasonWetAllYear = 5, // no crossing, June rainfall above the PET
    SeasonHumidOnly = 6,  // crosses the PET but never half the PET: one row per humid period
};

struct SeasonEvent {
    std::string Letter;  // "b" up through H, "B" up through P, "E" down through P, "e" down through H
    Single Date = 0;     // day + month / 100
};

class GrowingSeasons {
public:
    static constexpr int MaxEvents = 30;
    static constexpr int MaxSeasons = 5;

    // Event lists, from index 1; index 0 unused.
    std::array<SeasonEvent, MaxEvents + 1> SeasonEvents;
    Single EventCount = 0;
    Single SeasonCount = 0;
    Single CrossingDay = 0;
    Single EventMonth = 0;
    // Rows 1..5 the seasons, columns 1..8 (SeasonColumn); row and column 0 unused.
    std::array<std::array<Single, 9>, MaxSeasons + 1> SeasonTable{};

    // Finds the events and the seasons' columns 1 to 5. Rainfall and PET in mm
    // per month, months 1..12. Throws SeasonRangeError beyond 30 events (the
    // lists' rotation counts too) or 5 seasons.
    void FindSeasons(const engine::Months13& rainfall, const engine::Months13& pet);
    // Turns CrossingDay, counted from the middle of `month`, into a date and
    // records the event.
    void Adjust(const std::string& letter, int month);
    // Columns 6 to 8 of row s from its columns 2 and 3.
    void Dates(int s);
    // (month - 1) x 30 + day as a whole number.
    static Integer GetNumDay(Single month, Single day);
    // Completes every row by its type and orders the rows by length, longest
    // first (equal lengths keep their order).
    void CompleteSeasons();
    // FindSeasons and CompleteSeasons.
    void Calculate(const engine::Months13& rainfall, const engine::Months13& pet);

    Single Cell(int row, int column) const;

private:
    // Rainfall R, PET P and half the PET H, months 1..12 and month 13 = month 1
    // again; a month on a curve is moved just off it.
    struct Curves {
        std::array<Single, 14> R{};
        std::array<Single, 14> P{};
        std::array<Single, 14> H{};
    };
    static Curves CurvesOf(const engine::Months13& rainfall, const engine::Months13& pet);
    // Clears the lists and records every crossing of the two curves, month by month.
    void FindCrossings(const Curves& c);
    // No crossing: one row whose type June's rainfall decides.
    void SeasonWithoutCrossings(const Curves& c);
    // Crossings of the PET only: one row per humid period.
    void HumidPeriodsOnly(int count);
    // A row per rise above half the PET, with its humid period if it has one.
    void SeasonsWithHumidPeriods(int count);

    SeasonEvent& Event(int i);
    std::array<Single, 9>& Row(int s);
    void RotateTo(const char* letter);
};

} // namespace tavisol::exports
