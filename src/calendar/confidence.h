#pragma once

// Confidence levels of the estimate's limits. Low and high are the best
// estimate minus and plus the level's factor times the standard error. The
// 99 % factor is 2.579 (not the textbook 2.576): files written by earlier
// versions carry limits made with it, and new ones must match them.

#include <cstdint>

namespace tavisol {

enum class ConfidenceLevel : std::uint8_t { Level90, Level95, Level99 };

inline constexpr float ConfidenceFactor90 = 1.645F;
inline constexpr float ConfidenceFactor95 = 1.96F;
inline constexpr float ConfidenceFactor99 = 2.579F;

constexpr float ConfidenceFactor(ConfidenceLevel level) {
    switch (level) {
    case ConfidenceLevel::Level90: return ConfidenceFactor90;
    case ConfidenceLevel::Level95: return ConfidenceFactor95;
    case ConfidenceLevel::Level99: return ConfidenceFactor99;
    }
    return ConfidenceFactor99;
}

// Single arithmetic, as the engine's results are Singles.
constexpr float ConfidenceLow(float best, float stdErr, ConfidenceLevel level) {
    return best - ConfidenceFactor(level) * stdErr;
}
constexpr float ConfidenceHigh(float best, float stdErr, ConfidenceLevel level) {
    return best + ConfidenceFactor(level) * stdErr;
}

} // namespace tavisol
