#include "real48.h"

#include <bit>

namespace demodata {

Real48Bytes encodeReal48(double value)
{
    Real48Bytes out{};
    if (value == 0.0)
        return out;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto e = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t f = bits & ((std::uint64_t{1} << 52) - 1);
    const auto exp = static_cast<std::uint8_t>((e - 894) & 0xff);
    const auto lo = static_cast<std::uint16_t>((f >> 13) & 0xffff);
    const auto mid = static_cast<std::uint16_t>((f >> 29) & 0xffff);
    auto hi = static_cast<std::uint8_t>((f >> 45) & 0x7f);
    if (bits >> 63)
        hi |= 0x80;
    out[0] = exp;
    out[1] = static_cast<std::uint8_t>(lo & 0xff);
    out[2] = static_cast<std::uint8_t>(lo >> 8);
    out[3] = static_cast<std::uint8_t>(mid & 0xff);
    out[4] = static_cast<std::uint8_t>(mid >> 8);
    out[5] = hi;
    return out;
}

double decodeReal48(const Real48Bytes& b)
{
    if (b[0] == 0)
        return 0.0;
    const std::uint64_t lo = b[1] | (std::uint64_t{b[2]} << 8);
    const std::uint64_t mid = b[3] | (std::uint64_t{b[4]} << 8);
    const std::uint64_t hi = b[5] & 0x7f;
    const std::uint64_t f = (hi << 45) | (mid << 29) | (lo << 13);
    const std::uint64_t e = static_cast<std::uint64_t>(b[0]) + 894;
    std::uint64_t bits = (e << 52) | f;
    if (b[5] & 0x80)
        bits |= std::uint64_t{1} << 63;
    return std::bit_cast<double>(bits);
}

} // namespace demodata
