#pragma once

// Rounding and texts of the current location, as the status bar shows them.
// Numbers are written with a point as decimal separator whatever the locale, and
// read back the same way, so the stored value is exactly the rounded one.

#include <string>

namespace tavisol {

// The value written with the given number of decimals, half away from zero, and
// read back. Rounds the value's seven-digit decimal form, not its binary one, so
// 12.995 (stored as 12.99499...) becomes 13 as the user expects.
float RoundToDecimals(float value, int decimals);

// The number kit's general form of a single-precision value with "." as the
// decimal sign whatever the locale (the name goes into files): "13.01", "17",
// "-5.5", "1E+07".
std::string GeneralNumber(float value);

// "ST-Lon13.01-Lat41.99-Alt-17".
std::string GeneratedLocationName(float longitude, float latitude, float altitude);

// " Lon : 13.01 Lat : 41.99 Alt : 17", the coordinates panel.
std::string LocationPanelText(float longitude, float latitude, float altitude);

// Rounds the three fields in place (0.01 degree, whole metres) and, when the
// name is empty, gives it the generated name. Returns the name.
std::string NormalizeLocation(std::string &name, float &longitude, float &latitude,
                              float &altitude);

} // namespace tavisol
