#include "numfmt/numfmt_qt.h"

#include <climits>
#include <clocale>

#include "numfmt/textfile.h"

namespace tavisol::numfmt {

Locale fromQLocale(const QLocale& locale) {
    Locale out;
    out.decimal = locale.decimalPoint().toStdString();
    out.group = locale.numberOptions().testFlag(QLocale::OmitGroupSeparator)
                    ? std::string()
                    : locale.groupSeparator().toStdString();
    // Every field and file reads "-" as the sign; a locale's own sign (the
    // minus sign U+2212 of Swedish) would not read back from the fields the
    // program fills. Marks the Windows-1252 files cannot carry (the Arabic
    // decimal and group signs) would come out as "?".
    out.minus = "-";
    const auto carried = [](const std::string& mark) {
        std::size_t replaced = 0;
        utf8ToCp1252(mark, &replaced);
        return replaced == 0;
    };
    if (out.decimal.empty() || !carried(out.decimal)) out.decimal = ".";
    if (!carried(out.group)) out.group.clear();
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
