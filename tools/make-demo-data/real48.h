#pragma once
// 6-byte reals of the raster image headers: exponent byte, low word, middle word,
// high byte with the sign in bit 7 (words least significant byte first).
#include <array>
#include <cstdint>

namespace demodata {

using Real48Bytes = std::array<std::uint8_t, 6>;

// Truncates the double's fraction to 39 bits; 0 gives six zero bytes.
Real48Bytes encodeReal48(double value);

// The plain value of the six bytes, without any rounding step.
double decodeReal48(const Real48Bytes& bytes);

} // namespace demodata
