#pragma once

// Rounding rules of the engine: formulas are evaluated in double and rounded
// to a Single wherever a Single is stored.

#include <cmath>

#include "engine/state.h"

namespace tavisol::engine::detail {

inline Single S(double value) { return static_cast<Single>(value); }

// A stored result: out of the Single range (or not a number) is an overflow,
// passed to the caller as an error rather than stored.
inline Single Checked(double value) {
    const Single s = static_cast<Single>(value);
    if (!std::isfinite(s))
        throw EngineError(ErrorKind::Overflow, "Overflow");
    return s;
}

// Running Single sum: rounded after each addition.
inline void Add(Single &sum, double term) { sum = Checked(static_cast<double>(sum) + term); }

inline bool HasAltitude(Single altitude) { return altitude != Missing; }

} // namespace tavisol::engine::detail
