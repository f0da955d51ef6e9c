#include "numfmt/numfmt.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tavisol::numfmt {

Locale Locale::english() { return Locale{}; }

Locale Locale::decimalComma() {
    Locale loc;
    loc.decimal = ",";
    loc.group = ".";
    return loc;
}

namespace {

// A finite value as decimal digits: |v| = 0.d1d2d3... x 10^point, with no
// leading or trailing zero digits (digits empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;
};

// Parses the scientific text of std::to_chars ("d.ddde+XX").
Decimal fromScientific(const char* first, const char* last, bool negative) {
    Decimal d;
    d.negative = negative;
    int exponent = 0;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    if (p != last) {
        ++p;
        std::from_chars(*p == '+' ? p + 1 : p, last, exponent);
    }
    d.point = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    std::size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0') ++lead;
    d.digits.erase(0, lead);
    d.point -= static_cast<int>(lead);
    if (d.digits.empty()) d.point = 0;
    return d;
}

// Shortest round-trip decimal form of the value in its own precision.
template <typename F>
Decimal shortest(F v) {
    std::array<char, 64> buf{};
    const bool negative = std::signbit(v);
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v), std::chars_format::scientific);
    return fromScientific(buf.data(), res.ptr, negative);
}

// `precision` significant digits, correctly rounded from the binary value.
Decimal significant(double v, int precision) {
    std::array<char, 64> buf{};
    const bool negative = std::signbit(v);
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v), std::chars_format::scientific,
                             precision - 1);
    return fromScientific(buf.data(), res.ptr, negative);
}

enum class Halves { AwayFromZero, ToEven };

// Rounds to `decimals` places after the point.
Decimal roundAt(Decimal d, int decimals, Halves halves) {
    const long kept = static_cast<long>(d.point) + decimals;
    const long size = static_cast<long>(d.digits.size());
    if (kept >= size) return d;
    if (kept < 0) {
        d.digits.clear();
        d.point = 0;
        return d;
    }
    const char first = d.digits[static_cast<std::size_t>(kept)];
    bool up = false;
    if (halves == Halves::AwayFromZero) {
        up = first >= '5';
    } else {
        const bool exactHalf = first == '5' && kept + 1 == size;
        const bool lastOdd = kept > 0 && ((d.digits[static_cast<std::size_t>(kept - 1)] - '0') % 2 == 1);
        up = first > '5' || (first == '5' && !exactHalf) || (exactHalf && lastOdd);
    }
    d.digits.resize(static_cast<std::size_t>(kept));
    if (up) {
        long i = kept - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.point += 1;
        } else {
            d.digits[static_cast<std::size_t>(i)] += 1;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.point = 0;
    return d;
}

// Integer digits without leading zeros ("" for a value below 1).
std::string integerDigits(const Decimal& d) {
    if (d.point <= 0) return {};
    std::string s = d.digits.substr(0, std::min<std::size_t>(d.digits.size(), static_cast<std::size_t>(d.point)));
    s.append(static_cast<std::size_t>(d.point) - s.size(), '0');
    return s;
}

// Exactly `count` digits after the point.
std::string fractionDigits(const Decimal& d, int count) {
    std::string s;
    s.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const long idx = static_cast<long>(d.point) + i;
        s.push_back(idx >= 0 && idx < static_cast<long>(d.digits.size()) ? d.digits[static_cast<std::size_t>(idx)]
                                                                         : '0');
    }
    return s;
}

std::string grouped(const std::string& digits, const std::string& sep, int size) {
    if (sep.empty() || size <= 0 || digits.size() <= static_cast<std::size_t>(size)) return digits;
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % static_cast<std::size_t>(size) == 0) out += sep;
        out.push_back(digits[i]);
    }
    return out;
}

std::string nonFinite(double v) {
    if (std::isnan(v)) return "NaN";
    return v < 0 ? "-Inf" : "Inf";
}

struct Mask {
    std::string prefix;
    std::string suffix;
    int minInt = 0;     // integer digits always written
    bool group = false; // "," in the integer part
    bool point = false;
    int minFrac = 0;    // decimals always written
    int maxFrac = 0;    // decimals at most
};

Mask parseMask(std::string_view text) {
    Mask m;
    std::size_t begin = 0;
    while (begin < text.size() && !(text[begin] == '0' || text[begin] == '#' || text[begin] == '.')) ++begin;
    if (begin == text.size()) {
        m.prefix = std::string(text);
        return m;
    }
    std::size_t end = text.size();
    while (end > begin && !(text[end - 1] == '0' || text[end - 1] == '#' || text[end - 1] == '.')) --end;
    m.prefix = std::string(text.substr(0, begin));
    m.suffix = std::string(text.substr(end));
    const std::string_view body = text.substr(begin, end - begin);
    const std::size_t dot = body.find('.');
    const std::string_view intPart = body.substr(0, dot);
    bool seenZero = false;
    for (char c : intPart) {
        if (c == ',') m.group = true;
        if (c == '0') seenZero = true;
        if ((c == '0' || c == '#') && seenZero) ++m.minInt;
    }
    if (dot != std::string_view::npos) {
        m.point = true;
        int count = 0;
        for (char c : body.substr(dot + 1)) {
            if (c == '0' || c == '#') {
                ++count;
                if (c == '0') m.minFrac = count;
            }
        }
        m.maxFrac = count;
    }
    return m;
}

bool isZero(const Decimal& d) { return d.digits.empty(); }

std::string applyMask(const Decimal& value, const Mask& m, const std::string& decimal, const std::string& group,
                      int groupSize, const std::string& minus) {
    const Decimal r = roundAt(value, m.maxFrac, Halves::AwayFromZero);
    std::string intDigits = integerDigits(r);
    if (intDigits.size() < static_cast<std::size_t>(m.minInt))
        intDigits.insert(0, static_cast<std::size_t>(m.minInt) - intDigits.size(), '0');
    std::string frac = fractionDigits(r, m.maxFrac);
    while (frac.size() > static_cast<std::size_t>(m.minFrac) && frac.back() == '0') frac.pop_back();
    std::string out;
    if (r.negative && !isZero(r)) out += minus;
    out += m.prefix;
    out += m.group ? grouped(intDigits, group, groupSize) : intDigits;
    if (m.point) {
        out += decimal;
        out += frac;
    }
    out += m.suffix;
    return out;
}

std::string fixedForm(const Decimal& value, int decimals, const std::string& decimal, const std::string& group,
                      int groupSize, const std::string& minus, bool leadingZero) {
    decimals = std::max(decimals, 0);
    const Decimal r = roundAt(value, decimals, Halves::AwayFromZero);
    std::string intDigits = integerDigits(r);
    if (intDigits.empty() && (leadingZero || decimals == 0)) intDigits = "0";
    std::string out;
    if (r.negative && !isZero(r)) out += minus;
    out += grouped(intDigits, group, groupSize);
    if (decimals > 0) {
        out += decimal;
        out += fractionDigits(r, decimals);
    }
    return out;
}

// The significant-digit form shared by general, Str and Print, without sign.
std::string significantForm(double magnitude, int precision, const std::string& decimal, bool leadingZero) {
    if (magnitude == 0) return "0";
    const Decimal d = significant(magnitude, precision);
    const int exponent = d.point - 1;
    std::string out;
    if (exponent < -4 || exponent >= precision) {
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out += decimal;
            out.append(d.digits, 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        std::string e = std::to_string(std::abs(exponent));
        if (e.size() < 2) e.insert(0, "0");
        out += e;
        return out;
    }
    if (d.point <= 0) {
        if (leadingZero) out += "0";
        out += decimal;
        out.append(static_cast<std::size_t>(-d.point), '0');
        out += d.digits;
        return out;
    }
    out = integerDigits(d);
    if (d.digits.size() > static_cast<std::size_t>(d.point)) {
        out += decimal;
        out.append(d.digits, static_cast<std::size_t>(d.point));
    }
    return out;
}

std::string generalForm(double v, int precision, const Locale& loc) {
    if (!std::isfinite(v)) return nonFinite(v);
    if (v == 0) return "0";
    return (v < 0 ? loc.minus : std::string()) + significantForm(std::fabs(v), precision, loc.decimal, true);
}

std::string strFormOf(double v, int precision) {
    if (!std::isfinite(v)) return nonFinite(v);
    if (v == 0) return " 0";
    return (v < 0 ? "-" : " ") + significantForm(std::fabs(v), precision, ".", false);
}

std::string printForm(double v, int precision, const Locale& loc) {
    if (!std::isfinite(v)) return nonFinite(v) + " ";
    if (v == 0) return " 0 ";
    return (v < 0 ? loc.minus : std::string(" ")) + significantForm(std::fabs(v), precision, loc.decimal, false) + " ";
}

template <typename F>
std::string maskOf(F v, std::string_view mask, const std::string& decimal, const std::string& group, int groupSize,
                   const std::string& minus) {
    if (!std::isfinite(v)) return nonFinite(v);
    if (mask.empty()) {
        Locale loc;
        loc.decimal = decimal;
        loc.minus = minus;
        return generalForm(v, std::is_same_v<F, float> ? 7 : 15, loc);
    }
    return applyMask(shortest(v), parseMask(mask), decimal, group, groupSize, minus);
}

template <typename F>
F toFloat(const Decimal& d) {
    if (d.digits.empty()) return d.negative ? -F(0) : F(0);
    std::string text = d.negative ? "-0." : "0.";
    text += d.digits;
    text += "e" + std::to_string(d.point);
    F out{};
    std::from_chars(text.data(), text.data() + text.size(), out);
    return out;
}

template <typename F>
F roundDecimalsOf(F v, int decimals, Halves halves) {
    if (!std::isfinite(v)) return v;
    return toFloat<F>(roundAt(shortest(v), decimals, halves));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string formatMask(double v, std::string_view mask, const Locale& loc) {
    return maskOf(v, mask, loc.decimal, loc.group, loc.groupSize, loc.minus);
}
std::string formatMask(float v, std::string_view mask, const Locale& loc) {
    return maskOf(v, mask, loc.decimal, loc.group, loc.groupSize, loc.minus);
}

std::string forcedPoint(double v, std::string_view mask) { return maskOf(v, mask, ".", "", 3, "-"); }
std::string forcedPoint(float v, std::string_view mask) { return maskOf(v, mask, ".", "", 3, "-"); }

std::string forcedPointFixed(double v, int decimals) {
    if (!std::isfinite(v)) return nonFinite(v);
    return fixedForm(shortest(v), decimals, ".", "", 3, "-", true);
}
std::string forcedPointFixed(float v, int decimals) {
    if (!std::isfinite(v)) return nonFinite(v);
    return fixedForm(shortest(v), decimals, ".", "", 3, "-", true);
}

std::string formatNumber(double v, int decimals, const Locale& loc) {
    if (!std::isfinite(v)) return nonFinite(v);
    return fixedForm(shortest(v), decimals, loc.decimal, loc.group, loc.groupSize, loc.minus, loc.leadingZero);
}
std::string formatNumber(float v, int decimals, const Locale& loc) {
    if (!std::isfinite(v)) return nonFinite(v);
    return fixedForm(shortest(v), decimals, loc.decimal, loc.group, loc.groupSize, loc.minus, loc.leadingZero);
}
std::string formatNumber(double v, const Locale& loc) { return formatNumber(v, loc.defaultDecimals, loc); }
std::string formatNumber(float v, const Locale& loc) { return formatNumber(v, loc.defaultDecimals, loc); }

std::string general(float v, const Locale& loc) { return generalForm(v, 7, loc); }
std::string general(double v, const Locale& loc) { return generalForm(v, 15, loc); }

std::string strForm(float v) { return strFormOf(v, 7); }
std::string strForm(double v) { return strFormOf(v, 15); }

std::string printNumber(float v, const Locale& loc) { return printForm(v, 7, loc); }
std::string printNumber(double v, const Locale& loc) { return printForm(v, 15, loc); }

// ---------------------------------------------------------------------------

std::size_t charCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

namespace {
// Byte offset of the start of character `index` (or the end).
std::size_t offsetOfChar(std::string_view utf8, std::size_t index) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (n == index) return i;
            ++n;
        }
    }
    return utf8.size();
}

std::vector<std::string_view> splitChars(std::string_view utf8) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= utf8.size(); ++i) {
        if (i == utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            out.push_back(utf8.substr(start, i - start));
            start = i;
        }
    }
    if (utf8.empty()) out.clear();
    return out;
}
} // namespace

std::string rightAlign(std::string_view text, int width) {
    const std::size_t n = charCount(text);
    std::string out;
    if (width > 0 && n < static_cast<std::size_t>(width)) out.assign(static_cast<std::size_t>(width) - n, ' ');
    out += text;
    return out;
}

std::string rightAlignCut(std::string_view text, int width) {
    if (width <= 0) return {};
    const std::size_t n = charCount(text);
    if (n <= static_cast<std::size_t>(width)) return rightAlign(text, width);
    return std::string(text.substr(offsetOfChar(text, n - static_cast<std::size_t>(width))));
}

std::string padRight(std::string_view text, int width) {
    std::string out(text);
    const std::size_t n = charCount(text);
    if (width > 0 && n < static_cast<std::size_t>(width)) out.append(static_cast<std::size_t>(width) - n, ' ');
    return out;
}

std::string formatText(std::string_view text, std::string_view mask) {
    bool leftToRight = false;
    if (!mask.empty() && mask.front() == '!') {
        leftToRight = true;
        mask.remove_prefix(1);
    }
    const std::vector<std::string_view> chars = splitChars(text);
    std::size_t placeholders = 0;
    for (char c : mask)
        if (c == '@' || c == '&') ++placeholders;
    if (placeholders == 0) return std::string(mask) + std::string(text);

    // Which text characters land on which placeholder; the outermost one
    // takes whatever is left over so nothing is cut.
    std::vector<std::string> slot(placeholders);
    std::vector<bool> filled(placeholders, false);
    if (leftToRight) {
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const std::size_t s = std::min(i, placeholders - 1);
            slot[s] += chars[i];
            filled[s] = true;
        }
    } else {
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const std::size_t fromRight = chars.size() - 1 - i; // 0 = last char
            const std::size_t s =
                fromRight < placeholders ? placeholders - 1 - fromRight : 0; // overflow into the first slot
            slot[s] += chars[i];
            filled[s] = true;
        }
    }
    std::string out;
    std::size_t k = 0;
    for (char c : mask) {
        if (c == '@' || c == '&') {
            if (filled[k]) out += slot[k];
            else if (c == '@') out += ' ';
            ++k;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// ---------------------------------------------------------------------------

namespace {

// Reads the number at the start of `s` (no blanks inside); returns the count
// of characters that form it, 0 when there is none.
std::size_t scanNumber(std::string_view s, std::string& normal) {
    std::size_t i = 0;
    normal.clear();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') normal.push_back('-');
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        normal.push_back(s[i++]);
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        std::string frac;
        while (j < s.size() && isDigit(s[j])) frac.push_back(s[j++]);
        if (digits > 0 || !frac.empty()) {
            normal += '.';
            normal += frac;
            digits += frac.size();
            i = j;
        }
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            if (s[j] == '-') exp.push_back('-');
            ++j;
        }
        const std::size_t expStart = j;
        while (j < s.size() && isDigit(s[j])) exp.push_back(s[j++]);
        if (j > expStart) {
            normal += exp;
            i = j;
        }
    }
    return i;
}

double convert(const std::string& normal) {
    double out = 0;
    const char* first = normal.data();
    const char* last = first + normal.size();
    if (normal.size() > 1 && normal[0] == '-' && normal[1] == '.') {
        // from_chars wants a digit before the point
        std::string fixedText = "-0" + normal.substr(1);
        return convert(fixedText);
    }
    if (!normal.empty() && normal[0] == '.') return convert("0" + normal);
    auto res = std::from_chars(first, last, out);
    if (res.ec == std::errc::result_out_of_range) {
        const bool negative = normal[0] == '-';
        // Which way it fell out: a huge mantissa or exponent, or a tiny one.
        const std::size_t e = normal.find('e');
        const bool tiny = e != std::string::npos && normal.size() > e + 1 && normal[e + 1] == '-';
        if (tiny) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return out;
}

} // namespace

double val(std::string_view text) { return valNumber(text).value_or(0); }

namespace {

// Val's blanks removed from the whole text.
std::string WithoutBlanks(std::string_view text) {
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') cleaned.push_back(c);
    return cleaned;
}

} // namespace

std::optional<double> valNumber(std::string_view text) {
    std::string normal;
    if (scanNumber(WithoutBlanks(text), normal) == 0) return std::nullopt;
    return convert(normal);
}

std::optional<double> valWholeNumber(std::string_view text) {
    const std::string cleaned = WithoutBlanks(text);
    std::string normal;
    const std::size_t length = scanNumber(cleaned, normal);
    if (length == 0 || length != cleaned.size()) return std::nullopt;
    return convert(normal);
}

double valCommaAsPoint(std::string_view text) {
    std::string copy(text);
    for (char& c : copy)
        if (c == ',') c = '.';
    return val(copy);
}

std::optional<double> parseRegional(std::string_view text, const Locale& loc) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    std::string normal;
    if (!loc.minus.empty() && text.substr(0, loc.minus.size()) == loc.minus) {
        normal.push_back('-');
        text.remove_prefix(loc.minus.size());
    } else if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-') normal.push_back('-');
        text.remove_prefix(1);
    }
    std::size_t digits = 0;
    bool point = false;
    const bool useGroup = !loc.group.empty() && loc.group != loc.decimal;
    while (!text.empty()) {
        if (isDigit(text.front())) {
            normal.push_back(text.front());
            text.remove_prefix(1);
            ++digits;
        } else if (!point && !loc.decimal.empty() && text.substr(0, loc.decimal.size()) == loc.decimal) {
            normal.push_back('.');
            text.remove_prefix(loc.decimal.size());
            point = true;
        } else if (!point && useGroup && digits > 0 && text.substr(0, loc.group.size()) == loc.group) {
            text.remove_prefix(loc.group.size());
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
        text.remove_prefix(1);
        normal.push_back('e');
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            if (text.front() == '-') normal.push_back('-');
            text.remove_prefix(1);
        }
        std::size_t expDigits = 0;
        while (!text.empty() && isDigit(text.front())) {
            normal.push_back(text.front());
            text.remove_prefix(1);
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (!text.empty()) return std::nullopt;
    return convert(normal);
}

// ---------------------------------------------------------------------------

float toSingle(double v) {
    constexpr double top = std::numeric_limits<float>::max();
    if (v > top)
        return std::numeric_limits<float>::infinity();
    if (v < -top)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

double roundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    const double down = std::floor(v);
    const double diff = v - down;
    if (diff < 0.5) return down;
    if (diff > 0.5) return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::int16_t cint(double v) {
    const double r = roundHalfEven(v);
    if (!(r >= -32768.0 && r <= 32767.0)) throw std::overflow_error("Overflow");
    return static_cast<std::int16_t>(r);
}

std::int32_t clng(double v) {
    const double r = roundHalfEven(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw std::overflow_error("Overflow");
    return static_cast<std::int32_t>(r);
}

double intPart(double v) { return std::floor(v); }
double fix(double v) { return std::trunc(v); }

double roundDecimals(double v, int decimals) { return roundDecimalsOf(v, decimals, Halves::AwayFromZero); }
float roundDecimals(float v, int decimals) { return roundDecimalsOf(v, decimals, Halves::AwayFromZero); }
double roundDecimalsHalfEven(double v, int decimals) { return roundDecimalsOf(v, decimals, Halves::ToEven); }
float roundDecimalsHalfEven(float v, int decimals) { return roundDecimalsOf(v, decimals, Halves::ToEven); }

} // namespace tavisol::numfmt
