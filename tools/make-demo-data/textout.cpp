#include "textout.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace demodata {

namespace {

// Windows-1252 code points 0x80..0x9F; 0 marks the unused ones.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

int encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHighTable[static_cast<std::size_t>(i)] == c && c != 0)
            return 0x80 + i;
    return -1;
}

} // namespace

QByteArray toWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'"' || c == u'\r' || c == u'\n')
            continue;
        if (qc.category() == QChar::Mark_NonSpacing && encodeOne(c) < 0)
            continue; // a combining accent on its own
        if (c == u'\t') {
            out.append(' ');
            continue;
        }
        int code = encodeOne(c);
        if (code < 0) {
            // Letters with no accent to strip, and the apostrophe-like marks.
            static const std::array<std::pair<char16_t, char>, 11> plainForms = {{{u'\u0131', 'i'}, {u'\u0141', 'L'},
                {u'\u0142', 'l'}, {u'\u0110', 'D'}, {u'\u0111', 'd'}, {u'\u0126', 'H'}, {u'\u0127', 'h'},
                {u'\u02BB', '\''}, {u'\u02BC', '\''}, {u'\u02BF', '\''}, {u'\u02BE', '\''}}};
            for (const auto& [from, to] : plainForms)
                if (c == from)
                    code = static_cast<unsigned char>(to);
        }
        if (code < 0) {
            // Strip the accents of letters the code page lacks (ő -> o).
            const QString plain = QString(qc).normalized(QString::NormalizationForm_KD);
            for (const QChar p : plain) {
                if (p.category() == QChar::Mark_NonSpacing)
                    continue;
                code = encodeOne(p.unicode());
                break;
            }
        }
        out.append(code < 0 ? '?' : static_cast<char>(code));
    }
    return out;
}

QByteArray fixed(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double v = std::round(value * scale) / scale;
    if (v == 0.0)
        v = 0.0; // turns -0 into 0
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return QByteArray(buf, static_cast<int>(res.ptr - buf));
}

QByteArray textField(const QString& text)
{
    const QByteArray enc = toWindows1252(text.trimmed());
    if (enc.contains(','))
        return '"' + enc + '"';
    return enc;
}

QByteArray formatStationLine(const StationLine& s, int decimals)
{
    QByteArray line;
    line.reserve(160);
    line += fixed(s.latitude, 3) + ',' + fixed(s.longitude, 3) + ',' + QByteArray::number(s.altitude);
    for (double v : s.values)
        line += ',' + fixed(v, decimals);
    line += ',' + textField(s.name) + ',' + textField(s.country) + "\r\n";
    return line;
}

} // namespace demodata
