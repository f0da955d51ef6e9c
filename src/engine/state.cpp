#include "engine/state.h"

namespace tavisol::engine {

const std::array<std::string_view, 8> VariableNames = {
    "Monthly Mean Temperature in \u00b0C",
    "Monthly Mean of Daily Maximum Temperature in \u00b0C",
    "Monthly Mean of Daily Minimum Temperature in \u00b0C",
    "Monthly Precipitation Totals in mm (= Liter per Squaremeter)",
    "Water Vapor Pressure in Hectopascal (hPa)",
    "Monthly Totals of Potential Evapotranspiration in mm",
    "Wind Speed in m/s (multiply by 3.6 to get it in km/h)",
    "Sunshine Fraction",
};

const std::array<std::string_view, 13> MonthNames = {
    "",
    "January     ", "February    ", "March       ", "April       ",
    "May         ", "June        ", "July        ", "August      ",
    "September   ", "October     ", "November    ", "December    ",
};

void SetInitialValues(EngineSettings &s) {
    s.MapExtentFactor = 1.0f;
    s.MaxStations = 20;
    s.MaxDistance = 1000;
    s.MinDistance = 0.1f;
    s.MinAltitude = -350;
    s.MaxAltitude = 8848;
    s.IdwPower = 1.0f;
    s.MinActiveForErrors = 6.0f;
    s.GradCorrOn = 1;
    s.AltCorrOn = 1;
    s.ShadowOn = 1;
    s.ShadowCoef = 1.0f;
    s.ZeroTolerance = 1e-10f;
    // AltWindowOn is left as it is: off unless the settings switch it on.
}

void SetInitialValues(EngineState &state) {
    state.CalcLatitude = 41.9f;
    state.CalcLongitude = 12.483f;
    state.CalcAltitude = 17;
    SetInitialValues(static_cast<EngineSettings &>(state));
}

EngineSettings DefaultSettings() {
    EngineSettings s;
    SetInitialValues(s);
    return s;
}

} // namespace tavisol::engine
