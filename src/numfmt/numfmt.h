#pragma once
// The number-format kit: every window, report and export formats numbers
// through these functions so that they all follow the same rules.
//
// Strings are UTF-8. Nothing here touches the C library's locale: the
// regional symbols come in through a Locale value (see numfmt_qt.h for the
// one filled from QLocale).

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace tavisol::numfmt {

namespace detail {
template <std::integral T>
bool isNegative(T v) {
    if constexpr (std::is_signed_v<T>) return v < 0;
    else return false;
}
template <std::integral T>
std::string magnitude(T v) {
    if constexpr (std::is_signed_v<T>)
        return std::to_string(v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                                    : static_cast<unsigned long long>(v));
    else
        return std::to_string(v);
}
} // namespace detail

// The regional number settings the formatting needs.
struct Locale {
    std::string decimal = ".";   // decimal sign
    std::string group = ",";     // digit-group separator; empty = no grouping
    int groupSize = 3;           // digits per group
    std::string minus = "-";     // sign of negative numbers
    bool leadingZero = true;     // "0.5" rather than ".5" in the regional fixed forms
    int defaultDecimals = 2;     // decimals of formatNumber(v, loc)

    bool operator==(const Locale&) const = default;

    static Locale english();      // "." and "," (1,234.50)
    static Locale decimalComma(); // "," and "." (1.234,50)
};

// ---------------------------------------------------------------------------
// Masks. "0" a required digit, "#" an optional one, "." the decimal sign
// (written as loc.decimal), "," anywhere in the integer part switches on digit
// grouping (loc.group). Characters before the first and after the last of
// these are copied as literal prefix and suffix.
//   - Rounding is half away from zero on the shortest decimal form of the
//     value (of the float for the float overload), so 7.125 -> "7.13",
//     2.675 -> "2.68", 17.5 -> "18".
//   - Integer digits beyond the mask are always written; "#" positions add
//     no blanks or zeros: "####.0" writes 0.4 as ".4" and 0 as ".0", "####"
//     writes 0 as "" (nothing), "0##.00" writes 13.01 as "013.01".
//   - Decimals: as many as the mask has placeholders after the point;
//     trailing "#" decimals are dropped when zero ("###0.0###": 12.5 ->
//     "12.5"). The point is written whenever the mask has one.
//   - A negative value gets loc.minus in front (before any prefix); a value
//     that rounds to zero is written without sign ("0.00", never "-0.00").
//   - NaN and infinities are written "NaN", "Inf", "-Inf" whatever the mask.
//   - An empty mask gives the general form (general()).
std::string formatMask(double v, std::string_view mask, const Locale& loc);
std::string formatMask(float v, std::string_view mask, const Locale& loc);
template <std::integral T>
std::string formatMask(T v, std::string_view mask, const Locale& loc) {
    return formatMask(static_cast<double>(v), mask, loc);
}

// The forced-point form of the export files: formatMask with "." as decimal
// sign and no digit grouping, whatever the locale (byte for byte the same in
// every locale).
std::string forcedPoint(double v, std::string_view mask);
std::string forcedPoint(float v, std::string_view mask);
template <std::integral T>
std::string forcedPoint(T v, std::string_view mask) {
    return forcedPoint(static_cast<double>(v), mask);
}

// Exactly `decimals` decimals, "." as decimal sign, no grouping, always a
// leading zero: 1234.5 -> "1234.50", 0.5 -> "0.50", -0.001 -> "0.00".
// Rounding as formatMask. decimals < 0 counts as 0.
std::string forcedPointFixed(double v, int decimals);
std::string forcedPointFixed(float v, int decimals);

// ---------------------------------------------------------------------------
// Regional fixed form (N2, N0, "the locale's number form with d decimals"):
// loc.decimal, grouping by loc.group, leading zero per loc.leadingZero,
// loc.minus. Rounding as formatMask. 9999 -> "9,999.00" (english, 2).
std::string formatNumber(double v, int decimals, const Locale& loc);
std::string formatNumber(float v, int decimals, const Locale& loc);
// Same with the locale's default number of decimals.
std::string formatNumber(double v, const Locale& loc);
std::string formatNumber(float v, const Locale& loc);

// ---------------------------------------------------------------------------
// General ("plain", G, CStr) form: shortest text of at most 7 significant
// digits for a float (15 for a double), no trailing zeros, loc.decimal, no
// grouping, no leading blank, a leading zero below 1 ("0.1"), loc.minus for
// negative values, E-notation when the decimal exponent is below -4 or not
// below the digit count ("1E+07", "1.234568E+07", "1E-05", "1,5E-05").
// Negative zero is "0".
std::string general(float v, const Locale& loc);
std::string general(double v, const Locale& loc);
template <std::integral T>
std::string general(T v, const Locale& loc) {
    return detail::isNegative(v) ? loc.minus + detail::magnitude(v) : detail::magnitude(v);
}

// Str form: as general but always "." as decimal sign, "-" or one blank in
// front, no zero before the point below 1: 0.5f -> " .5", -2 -> "-2".
std::string strForm(float v);
std::string strForm(double v);
template <std::integral T>
std::string strForm(T v) {
    return (detail::isNegative(v) ? "-" : " ") + detail::magnitude(v);
}

// Print form of a number (the report files' number items): loc.minus or one
// blank, the digits as strForm but with loc.decimal, then one trailing blank:
// 0.5f -> " .5 ", -3 -> "-3 ".
std::string printNumber(float v, const Locale& loc);
std::string printNumber(double v, const Locale& loc);
template <std::integral T>
std::string printNumber(T v, const Locale& loc) {
    return (detail::isNegative(v) ? loc.minus : std::string(" ")) + detail::magnitude(v) + " ";
}

// ---------------------------------------------------------------------------
// Text alignment. Widths count characters (code points), not bytes, so "°"
// is one column as it is one byte in the files.
std::size_t charCount(std::string_view utf8);
// Right-aligned in `width` by blanks on the left; a longer text stays whole.
std::string rightAlign(std::string_view text, int width);
// Right-aligned in exactly `width`: a longer text keeps its rightmost chars.
std::string rightAlignCut(std::string_view text, int width);
// Left-aligned: blanks on the right up to `width`; a longer text stays whole.
std::string padRight(std::string_view text, int width);
// Text mask: "@" a character or blank, "&" a character or nothing, filled
// from the right; other mask characters are literals; a leading "!" fills from
// the left instead. Characters left over go to the outermost placeholder, so
// nothing is cut: formatText("ab", "@@@@") -> "  ab", formatText("abcdef",
// "@@@@") -> "abcdef". A mask without placeholders is written before the text.
std::string formatText(std::string_view text, std::string_view mask);

// ---------------------------------------------------------------------------
// Reading numbers.
// Val: blanks, tabs and line feeds are removed from the whole text, then the
// longest leading number is read: optional sign, digits, "." as the only
// decimal sign, optional exponent (E or D, optional sign, digits). No number
// reads as 0: val("12.5abc") = 12.5, val("1 2") = 12, val("abc") = 0,
// val("1,5") = 1. Magnitudes beyond a double give +-infinity, never throw.
double val(std::string_view text);
// Val's number, or nullopt where Val finds none and reads 0 ("", "abc", "-",
// "e5", "NaN", "inf").
std::optional<double> valNumber(std::string_view text);
// Val's number when nothing but blanks follows it, else nullopt: a field read
// this way is never cut short into another number ("12,5", "5;41", "0x10",
// "1.2.3" and "20m" are none; "1 2.5" is 12.5).
std::optional<double> valWholeNumber(std::string_view text);
// Val after every "," has been replaced by "." (the input fields' rule).
double valCommaAsPoint(std::string_view text);
// Reads text written in the locale's number form back (general, formatNumber,
// formatMask output): blanks around, loc.minus or "-" or "+", digits with
// optional group separators in the integer part, loc.decimal, optional
// exponent. The whole text must be one number, else nullopt.
std::optional<double> parseRegional(std::string_view text, const Locale& loc);

// ---------------------------------------------------------------------------
// A read value as a Single; beyond the float range it becomes an infinity
// instead of an undefined conversion (NaN stays NaN).
float toSingle(double v);

// Rounding.
// Half to even on the binary value (CInt, CLng and every "rounded to a whole
// number" conversion): 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double roundHalfEven(double v);
// CInt / CLng: roundHalfEven, then throws std::overflow_error("Overflow")
// outside the 16- / 32-bit range or for NaN.
std::int16_t cint(double v);
std::int32_t clng(double v);
// Int (towards minus infinity) and Fix (towards zero).
double intPart(double v);
double fix(double v);
// Rounded to `decimals` decimals on the shortest decimal form, half away from
// zero: the value a mask with that many decimals writes (7.125 -> 7.13).
double roundDecimals(double v, int decimals);
float roundDecimals(float v, int decimals);
// The same with halves to even (0.125 -> 0.12, 0.135 -> 0.14).
double roundDecimalsHalfEven(double v, int decimals);
float roundDecimalsHalfEven(float v, int decimals);

} // namespace tavisol::numfmt
