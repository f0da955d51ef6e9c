#pragma once

// The output formats: codes 1 to 7 with the names the status bar shows.

#include <string_view>

namespace tavisol {

constexpr int kFirstOutputFormat = 1;
constexpr int kLastOutputFormat = 7;

inline bool IsOutputFormat(int code) {
    return code >= kFirstOutputFormat && code <= kLastOutputFormat;
}

// Status-bar name of a format, "Tavisol Format" ... "Furrowin Format"; empty for
// a code outside 1..7.
std::string_view OutputFormatName(int code);

} // namespace tavisol
