#pragma once
// Fills the kit's Locale from Qt's locale settings.

#include <QLocale>

#include "numfmt/numfmt.h"

namespace tavisol::numfmt {

// Decimal sign and group separator (none when the locale omits grouping) of
// `locale`, "-" as the sign; a sign Windows-1252 cannot carry gives way to "."
// (decimal) or to no grouping. Three-digit groups, a leading zero, two default
// decimals.
Locale fromQLocale(const QLocale& locale);
// The user's locale as the program uses it (Qt's default locale, which is the
// system locale unless the program set another). For the system locale the
// digits are grouped only where the C library groups them: not in the C and
// POSIX locales.
Locale userLocale();

} // namespace tavisol::numfmt
