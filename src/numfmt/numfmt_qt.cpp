#include "numfmt/numfmt_qt.h"

#include <climits>
#include <clocale>

namespace tavisol::numfmt {

Locale fromQLocale(const QLocale& locale) {
    Locale out;
    out.decimal = locale.decimalPoint().toStdString();
    out.group = locale.numberOptions().testFlag(QLocale::OmitGroupSeparator)
                    ? std::string()
                    : locale.groupSeparator().toStdString();
    out.minus = locale.negativeSign().toStdString();
    if (out.decimal.empty()) out.decimal = ".";
    if (out.minus.empty()) out.minus = "-";
    if (out.group == out.decimal) out.group.clear();
    return out;
}

Locale userLocale() {
    const QLocale qt;
    Locale out = fromQLocale(qt);
    // The user's settings are the C library's, which Qt's system locale
    // follows except in grouping: Qt groups digits in the C and POSIX
    // locales, where the C library has no grouping.
    if (qt == QLocale::system()) {
        const std::lconv* c = std::localeconv();
        const bool groups = c->thousands_sep && *c->thousands_sep && c->grouping && *c->grouping &&
                            *c->grouping != CHAR_MAX;
        if (!groups) out.group.clear();
    }
    return out;
}

} // namespace tavisol::numfmt
