#pragma once

// The check boxes by which the user picks what is written, as the results'
// output dialog and the batch list window both show them: each box's object
// name and caption, in the order they stand.

#include <array>
#include <cstddef>

namespace tavisol {

struct ChoiceBox {
    const char *name;
    const char *caption;
};

// chkMean .. chkSun, index = variable.
inline constexpr std::array<ChoiceBox, 8> VariableChoices{{
    {"chkMean", "Monthly Mean Temperature"},
    {"chkMax", "Monthly Mean of Daily Maximum Temperature"},
    {"chkMin", "Monthly Mean of Daily Minimum Temperature"},
    {"chkPrec", "Monthly Total Precipitation"},
    {"chkVap", "Monthly Mean Water Vapor Pressure"},
    {"chkPET", "Monthly Totals of Potential Evapotranspiration"},
    {"chkWind", "Wind Speed"},
    {"chkSun", "Sunshine Fraction"},
}};

// ChkBest .. ChkLatGrad.
inline constexpr std::array<ChoiceBox, 10> MonthlyOutputChoices{{
    {"ChkBest", "Best Estimate"},
    {"ChkHigh", "Confidence Interval"},
    {"ChkError", "Estimated Standard Error"},
    {"ChkBias", "Estimated Bias"},
    {"ChkSlope", "Slope of Linear Altitude Dependency"},
    {"ChkExplVar", "Explained Variance of Altitude Correction"},
    {"ChkAbsGrad", "Absolute Value of horizontal Gradient"},
    {"ChkDirGrad", "Direction of Horizontal Gradient"},
    {"ChkLongGrad", "Longitudinal Gradient"},
    {"ChkLatGrad", "Latitudinal Gradient"},
}};
// The row of confidence levels stands below the confidence interval's box,
// the first this many boxes above it.
inline constexpr std::size_t ChoicesAboveLevels = 2;

} // namespace tavisol
