#include "numfmt/numfmt_qt.h"

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

Locale userLocale() { return fromQLocale(QLocale()); }

} // namespace tavisol::numfmt
