#pragma once

// Confidence levels of the estimate's limits and their one table of factors.
// Low and high are the best estimate minus and plus the level's factor times
// the standard error. The 99 % factor is 2.579 (not the textbook 2.576):
// files written by earlier versions carry limits made with it, and new ones
// must match them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavisol {

// None: no level chosen (a window with no option selected).
enum class ConfidenceLevel : std::uint8_t { None, P90, P95, P99 };

// Indexed by ConfidenceLevel. Kept in double: the location results grids
// compute their limits in double; everything else uses the Single below.
inline constexpr std::array<double, 4> ConfidenceFactors{0.0, 1.645, 1.96, 2.579};

constexpr double ConfidenceFactorExact(ConfidenceLevel level) {
    return ConfidenceFactors[static_cast<std::size_t>(level)];
}

// The factor as a Single, the engine's precision; 0 without a level.
constexpr float ConfidenceFactor(ConfidenceLevel level) { return static_cast<float>(ConfidenceFactorExact(level)); }

inline constexpr float ConfidenceFactor90 = ConfidenceFactor(ConfidenceLevel::P90);
inline constexpr float ConfidenceFactor95 = ConfidenceFactor(ConfidenceLevel::P95);
inline constexpr float ConfidenceFactor99 = ConfidenceFactor(ConfidenceLevel::P99);
// Rounding the double must give the very Singles earlier versions used.
static_assert(ConfidenceFactor90 == 1.645F && ConfidenceFactor95 == 1.96F && ConfidenceFactor99 == 2.579F);

// Three level options read in the order 90, 95, 99: the last one set wins.
constexpr ConfidenceLevel LastLevelSet(bool p90, bool p95, bool p99) {
    return p99 ? ConfidenceLevel::P99 : p95 ? ConfidenceLevel::P95 : p90 ? ConfidenceLevel::P90 : ConfidenceLevel::None;
}

// Single arithmetic, as the engine's results are Singles.
constexpr float ConfidenceLow(float best, float stdErr, ConfidenceLevel level) {
    return best - ConfidenceFactor(level) * stdErr;
}
constexpr float ConfidenceHigh(float best, float stdErr, ConfidenceLevel level) {
    return best + ConfidenceFactor(level) * stdErr;
}

} // namespace tavisol
