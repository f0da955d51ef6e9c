#include "shell/statuslocation.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "numfmt/numfmt.h"

namespace tavisol {

float RoundToDecimals(float value, int decimals) {
    if (!std::isfinite(value) || value == 0.0F)
        return value == 0.0F ? 0.0F : value;
    // Seven significant digits: d.dddddde+XX, written and read without the
    // C library's locale.
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, static_cast<double>(std::fabs(value)),
                                       std::chars_format::scientific, 6);
    const std::string_view text(buf, static_cast<std::size_t>(written.ptr - buf));
    std::string digits;
    digits.push_back(text[0]);
    digits.append(text.substr(2, 6));
    const std::string_view power = text.substr(text.find('e') + 1);
    int exponent = 0;
    std::from_chars(power.data() + (power.front() == '+' ? 1 : 0), power.data() + power.size(), exponent);
    const auto leading = [&digits](int count) {
        std::int64_t v = 0;
        std::from_chars(digits.data(), digits.data() + count, v);
        return v;
    };
    // Digit k has the weight 10^(exponent - k); keep those down to 10^-decimals.
    const int keep = exponent + decimals + 1;
    std::int64_t units = 0; // the result in steps of 10^-decimals
    if (keep <= 0) {
        units = (keep == 0 && digits[0] >= '5') ? 1 : 0;
    } else if (keep >= static_cast<int>(digits.size())) {
        if (keep > 18)
            return value; // far beyond any coordinate: nothing to round
        units = leading(static_cast<int>(digits.size()));
        for (int i = static_cast<int>(digits.size()); i < keep; ++i)
            units *= 10;
    } else {
        units = leading(keep);
        if (digits[static_cast<std::size_t>(keep)] >= '5')
            ++units;
    }
    if (units == 0)
        return 0.0F; // no negative zero: it would show as "-0"
    const double magnitude = static_cast<double>(units) / std::pow(10.0, decimals);
    return static_cast<float>(value < 0.0F ? -magnitude : magnitude);
}

std::string GeneralNumber(float value) { return numfmt::general(value, numfmt::Locale::english()); }

std::string GeneratedLocationName(float longitude, float latitude, float altitude) {
    return "ST-Lon" + GeneralNumber(longitude) + "-Lat" + GeneralNumber(latitude) + "-Alt-" +
           GeneralNumber(altitude);
}

std::string LocationPanelText(float longitude, float latitude, float altitude) {
    return " Lon : " + GeneralNumber(longitude) + " Lat : " + GeneralNumber(latitude) +
           " Alt : " + GeneralNumber(altitude);
}

std::string NormalizeLocation(std::string &name, float &longitude, float &latitude,
                              float &altitude) {
    longitude = RoundToDecimals(longitude, 2);
    latitude = RoundToDecimals(latitude, 2);
    altitude = RoundToDecimals(altitude, 0);
    if (name.empty())
        name = GeneratedLocationName(longitude, latitude, altitude);
    return name;
}

} // namespace tavisol
