#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "numfmt/numfmt.h"
#include "rastermap/rastererror.h"

namespace tavisol::rastermap {

// Rounds a map coordinate to a 16-bit whole number, halves to the even one.
// A coordinate that is not a number comes from a zero divisor (a one-pixel
// view, a zero cell size); one beyond the 16-bit range is an overflow.
inline std::int16_t ToInt16(double v) {
    if (!std::isfinite(v))
        throw RasterError("Division by zero");
    const double r = numfmt::roundHalfEven(v);
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max())
        throw RasterError("Overflow");
    return static_cast<std::int16_t>(r);
}

} // namespace tavisol::rastermap
