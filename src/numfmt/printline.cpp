#include "numfmt/printline.h"

#include <utility>

namespace tavisol::numfmt {

PrintLine::PrintLine(Locale locale) : locale_(std::move(locale)), lines_(1) {}

PrintLine& PrintLine::text(std::string_view utf8) {
    if (utf8.empty()) return *this;
    auto& line = lines_.back();
    if (line.empty()) line.push_back(Segment{column_, {}});
    line.back().text += utf8;
    column_ += static_cast<int>(charCount(utf8));
    return *this;
}

PrintLine& PrintLine::number(float v) { return text(printNumber(v, locale_)); }
PrintLine& PrintLine::number(double v) { return text(printNumber(v, locale_)); }

void PrintLine::moveTo(int target) {
    if (target == column_) return;
    lines_.back().push_back(Segment{target, {}});
    column_ = target;
}

PrintLine& PrintLine::zone() {
    moveTo(((column_ - 1) / ZoneWidth + 1) * ZoneWidth + 1);
    return *this;
}

PrintLine& PrintLine::tab(int n) {
    if (n < 1) n = 1;
    if (column_ > n) {
        lines_.emplace_back();
        column_ = 1;
    }
    moveTo(n);
    return *this;
}

PrintLine& PrintLine::spc(int n) {
    if (n > 0) moveTo(column_ + n);
    return *this;
}

int PrintLine::column() const { return column_; }

std::vector<std::string> PrintLine::lines() const {
    std::vector<std::string> out;
    out.reserve(lines_.size());
    for (const auto& line : lines_) {
        std::string s;
        std::size_t width = 0;
        for (const auto& segment : line) {
            const auto start = static_cast<std::size_t>(segment.column - 1);
            if (width < start) {
                s.append(start - width, ' ');
                width = start;
            }
            s += segment.text;
            width += charCount(segment.text);
        }
        out.push_back(std::move(s));
    }
    return out;
}

std::string PrintLine::str() const {
    std::string out;
    bool first = true;
    for (const auto& s : lines()) {
        if (!first) out += "\r\n";
        out += s;
        first = false;
    }
    return out;
}

} // namespace tavisol::numfmt
