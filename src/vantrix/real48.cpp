// Conversions between the 6-byte real of the raster image headers and double.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "vantrix/vantrix.h"

namespace {

constexpr int kExpShift = 894; // double bias 1023 minus 6-byte bias 129

std::uint64_t bitsOf(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

double fromBits(std::uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

double rawValue(const Real48Rec &r) {
    if (r.Exp == 0)
        return 0.0;
    const std::uint64_t sign = static_cast<std::uint64_t>(r.Hi >> 7) << 63;
    const std::uint64_t exp = static_cast<std::uint64_t>(r.Exp + kExpShift) << 52;
    const std::uint64_t frac = (static_cast<std::uint64_t>(r.Hi & 0x7F) << 45) |
                               (static_cast<std::uint64_t>(r.Mid) << 29) |
                               (static_cast<std::uint64_t>(r.Lo) << 13);
    return fromBits(sign | exp | frac);
}

} // namespace

extern "C" __attribute__((visibility("default"))) double Real48ToDouble(const Real48Rec *record) {
    const double v = rawValue(*record);
    // The callers round down to three decimals afterwards; the extra step of
    // 0.00001 lifts values stored just below a five-decimal number onto it.
    const double scaled = std::trunc(100000.0 * v);
    // Held in 64 bits so large header values do not overflow; beyond that range
    // a double has no fractional digits left and the step cannot show.
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (scaled >= kLimit || scaled <= -kLimit)
        return v;
    const std::int64_t t = static_cast<std::int64_t>(scaled);
    return static_cast<double>(t + 1) * 0.00001;
}

extern "C" __attribute__((visibility("default"))) void DoubleToReal48(double value, Real48Rec *record) {
    const std::uint64_t b = bitsOf(value);
    const bool negative = (b >> 63) != 0;
    const int e = static_cast<int>((b >> 52) & 0x7FF);
    const std::uint64_t f = b & ((std::uint64_t{1} << 52) - 1);
    const int exp48 = e - kExpShift;

    if (value == 0.0 || std::isnan(value) || exp48 < 1) {
        // Zero, and everything too small for the format (or not a number), is zero.
        record->Exp = 0;
        record->Lo = 0;
        record->Mid = 0;
        record->Hi = 0;
        return;
    }
    if (exp48 > 255) {
        // Too large (or infinite): the largest magnitude, keeping the sign.
        record->Exp = 255;
        record->Lo = 0xFFFF;
        record->Mid = 0xFFFF;
        record->Hi = static_cast<std::uint8_t>(0x7F | (negative ? 0x80 : 0));
        return;
    }
    record->Exp = static_cast<std::uint8_t>(exp48);
    record->Lo = static_cast<std::uint16_t>((f >> 13) & 0xFFFF);
    record->Mid = static_cast<std::uint16_t>((f >> 29) & 0xFFFF);
    record->Hi = static_cast<std::uint8_t>(((f >> 45) & 0x7F) | (negative ? 0x80 : 0));
}
