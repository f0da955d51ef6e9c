#pragma once

// Numbers as the windows that follow the user's locale show them, so that a
// test holds in every locale it runs in.

#include <QString>

#include <string>
#include <string_view>

#include "numfmt/numfmt_qt.h"

namespace tavisol::testsupport {

// `text` written with a point, each "." turned into the user's decimal mark:
// "41.99" under de_DE is "41,99". For numbers without digit grouping.
inline std::string UserDecimals(std::string_view text) {
    const std::string mark = numfmt::userLocale().decimal;
    std::string out;
    for (const char c : text)
        out += c == '.' ? mark : std::string(1, c);
    return out;
}

inline QString UserDecimalsQ(std::string_view text) { return QString::fromStdString(UserDecimals(text)); }

} // namespace tavisol::testsupport
