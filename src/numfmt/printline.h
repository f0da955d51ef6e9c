#pragma once
// The print-line model of the report files: items are joined directly, or
// the position moves to the next 14-column print zone or to a given column.
// Columns count characters from 1; one PrintLine is one print statement and
// may become several physical lines when Tab(n) finds the line already past n.

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

#include "numfmt/numfmt.h"

namespace tavisol::numfmt {

class PrintLine {
public:
    static constexpr int ZoneWidth = 14;

    // One run of text that starts at a given column of a physical line; a
    // printer places it at (column - 1) x its column width.
    struct Segment {
        int column = 1;
        std::string text;
    };

    explicit PrintLine(Locale locale = Locale::english());

    // Text joined directly at the current position.
    PrintLine& text(std::string_view utf8);
    // A number in print form (printNumber: sign position, digits, one blank).
    PrintLine& number(float v);
    PrintLine& number(double v);
    template <std::integral T>
    PrintLine& number(T v) {
        return text(printNumber(v, locale_));
    }
    // Blanks up to the start of the next print zone (columns 15, 29, 43 ...);
    // always moves, also from a zone's first column (column 1 goes to 15).
    PrintLine& zone();
    // Blanks up to column n (n < 1 counts as 1); nothing when already at n;
    // when past n the physical line ends and the next begins with n - 1 blanks.
    PrintLine& tab(int n);
    // n blanks.
    PrintLine& spc(int n);

    // Current column (1 = nothing written on the physical line yet).
    int column() const;
    // The physical lines as texts (at least one, maybe empty).
    std::vector<std::string> lines() const;
    // The physical lines joined by CR LF, without a final line end.
    std::string str() const;
    // The physical lines as segments (item text only, no padding blanks): a new
    // segment starts at every zone(), tab() or spc() that moves the position.
    const std::vector<std::vector<Segment>>& segments() const { return lines_; }
    const Locale& locale() const { return locale_; }

private:
    void moveTo(int column);

    Locale locale_;
    std::vector<std::vector<Segment>> lines_;
    int column_ = 1;
};

} // namespace tavisol::numfmt
