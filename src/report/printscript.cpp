#include "report/printscript.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "report/reportparts.h"

namespace tavisol::report {

using namespace parts;
using engine::Single;

namespace {

constexpr double MmPerPoint = 25.4 / 72.0;

// Builds the operations of one report.
class Printer {
public:
    Printer(PrintScript &script, const numfmt::Locale &loc) : script_(script), loc_(loc) {}

    void FontName(const char *name) { script_.push_back({PrintOp::Kind::FontName, name, 0, {}}); }
    void FontSize(double size) { script_.push_back({PrintOp::Kind::FontSize, {}, size, {}}); }
    void X(double x) { script_.push_back({PrintOp::Kind::SetX, {}, x, {}}); }
    void Y(double y) { script_.push_back({PrintOp::Kind::SetY, {}, y, {}}); }
    void NewPage() { script_.push_back({PrintOp::Kind::NewPage, {}, 0, {}}); }
    void Line(const numfmt::PrintLine &line) {
        PrintOp op{PrintOp::Kind::Print, {}, 0, line.segments()};
        script_.push_back(std::move(op));
    }
    void Line(const std::string &text) { Line(numfmt::PrintLine(loc_).text(text)); }
    void Blank() { Line(" "); }
    void Empty() { Line(std::string()); }
    // A line at the left margin.
    void At(double x, const std::string &text) {
        X(x);
        Line(text);
    }

private:
    PrintScript &script_;
    const numfmt::Locale &loc_;
};

// Degrees, minutes and seconds of a coordinate, each cut toward zero, in
// single precision as the point is stored.
struct Dms {
    Single Degrees, Minutes, Seconds;
};
Dms ToDms(Single c) {
    const Single t = std::trunc(c);
    const Single f = c - t;
    const Single m = f * 60.0f;
    const Single mi = std::trunc(m);
    const Single s = (m - mi) * 60.0f;
    return {std::fabs(t), std::fabs(mi), std::fabs(std::trunc(s))};
}

std::string DmsLine(const ReportInput &in, const numfmt::Locale &loc) {
    const auto part = [&](Single c) {
        const Dms d = ToDms(c);
        return N0(d.Degrees, loc) + "\u00b0 " + numfmt::general(static_cast<long>(d.Minutes), loc) + "' " +
               numfmt::general(static_cast<long>(d.Seconds), loc) + "''";
    };
    return "                 Latitude = " + part(in.CalcLatitude) + (in.CalcLatitude > 0 ? " N " : " S ") +
           ", Longitude = " + part(in.CalcLongitude) + (in.CalcLongitude > 0 ? " E " : " W ");
}

void MonthlyTables(Printer &p, double lm, const ReportInput &in, const ReportOptions &options, const Level &level,
                   ReportKind kind, const numfmt::Locale &loc) {
    static constexpr std::array<const char *, 14> Labels = {"",     "Jan.", "Feb.", "Mar.", "Apr.", "Mai ", "June",
                                                           "July", "Aug.", "Sep.", "Oct.", "Nov.", "Dec.", "Avg."};
    const auto columns = MonthlyColumns(in, options, level, kind, Medium::Printer, loc);
    const auto table = [&](std::size_t first, std::size_t last) {
        std::string header = "Month ";
        std::string units(6, ' ');
        for (std::size_t c = first; c < last; ++c) {
            header += R(columns[c].Width, columns[c].Header);
            units += R(columns[c].Width, columns[c].Unit);
        }
        p.At(lm, header);
        p.At(lm, units);
        p.Empty();
        for (std::size_t i = 1; i <= 13; ++i) {
            std::string row = R(6, Labels[i]);
            for (std::size_t c = first; c < last; ++c)
                row += R(columns[c].Width, columns[c].Cells[i]);
            p.At(lm, row);
        }
    };
    if (columns.size() < 7) {
        table(0, columns.size());
    } else {
        table(0, 6);
        p.Empty();
        p.Empty();
        table(6, columns.size());
    }
}

void SeriesSection(Printer &p, double lm, const char *title, bool emptyAfterTitle) {
    p.NewPage();
    p.Blank();
    p.Blank();
    p.FontSize(12);
    p.FontName("Arial");
    p.At(lm, title);
    if (emptyAfterTitle)
        p.Empty();
    else
        p.Blank();
    p.FontSize(10);
    p.FontName("Courier");
}

void Lines(Printer &p, const std::vector<std::string> &lines) {
    for (const auto &l : lines)
        p.Line(l);
}

} // namespace

void AppendPrintedReport(PrintScript &script, const ReportInput &in, const AppliedMethods &methods,
                         const ReportOptions &options, ReportKind kind, const PageSize &page,
                         const std::string &dateText, const numfmt::Locale &loc) {
    const std::string caption = VariableCaption(in.Variable);
    const Level level = ChooseLevel(options, Medium::Printer);
    const double lm = page.Width / 15;
    const double tm = page.Height / 15;
    Printer p(script, loc);

    p.FontSize(8);
    p.X(0);
    p.Y(0);
    p.Line(dateText);
    p.X(page.Width / 3);
    p.Y(tm);
    p.FontSize(16);
    p.FontName("Arial");
    p.Line("Tavisol");
    p.Blank();
    p.Blank();
    p.Blank();
    p.X(lm);
    p.FontSize(12);
    p.Line("Location:   Latitude = " + numfmt::formatMask(in.CalcLatitude, "###.00", loc) + "\u00b0, " +
           " Longitude = " + numfmt::formatMask(in.CalcLongitude, "####.00", loc) + "\u00b0, " +
           " Altitude = " + numfmt::formatMask(in.CalcAltitude, "####", loc) + " m");
    p.Blank();
    p.At(lm, DmsLine(in, loc));
    p.Empty();
    p.X(lm);
    p.Line(numfmt::PrintLine(loc).text("Variable: ").zone().text(caption));
    p.Blank();
    p.At(lm, "Applied Methods:");
    p.Blank();
    for (const auto &l : MethodLines(methods, in.Warnings, Medium::Printer, loc))
        p.At(lm, l);
    for (const auto &l : WarningLines(in.Warnings))
        p.At(lm, l);

    if (options.AnyMonthly()) {
        p.Blank();
        p.Blank();
        p.At(lm, "Estimated annual cycle of expectation values in monthly resolution:");
        p.Blank();
        p.FontName("Courier");
        p.FontSize(10);
        MonthlyTables(p, lm, in, options, level, kind, loc);
    }
    const auto seriesHead = [&](const std::string &lead, const std::string &unit) {
        p.Line(lead + R(15, "Best") + R(15, level.LowLabel) + R(15, level.HighLabel));
        p.Line(std::string(15, ' ') + R(15, unit) + R(15, unit) + R(15, unit));
        p.Empty();
    };
    if (kind == ReportKind::Workbench) {
        if (options.Dekadal) {
            SeriesSection(p, lm, "Estimated annual cycle of expectation values in dekadal resolution:", false);
            seriesHead(R(15, "dekade "), SeriesUnit(in.Variable, kind, "/dekade"));
            Lines(p, DekadalRows(in, level.Z, loc));
        }
        if (options.Daily) {
            SeriesSection(p, lm, "Estimated annual cycle of expectation values in daily resolution:", false);
            seriesHead("           Date", SeriesUnit(in.Variable, kind, "/Day"));
            Lines(p, DailyRows(in, level.Z, Medium::Printer, loc));
        }
        if (options.Threshold) {
            SeriesSection(p, lm, "Estimated number of days with expectation value above threshold:", true);
            p.Line("       Threshold" + R(15, "Best") + R(15, level.LowLabel) + R(15, level.HighLabel));
            p.Line(R(15, SeriesUnit(in.Variable, kind, "/Day")) + R(15, "Days") + R(15, "Days") + R(15, "Days"));
            p.Empty();
            Lines(p, ThresholdRows(in, level.Z, Medium::Printer, loc));
        }
    }
    if (options.Stations || options.Observations)
        p.NewPage();
    if (options.Stations) {
        p.Blank();
        p.Blank();
        p.FontSize(12);
        p.FontName("Arial");
        p.At(lm, "Neighboring stations used for the estimation:");
        p.FontSize(8);
        p.FontName("Courier");
        p.Blank();
        p.Line(StationHeader());
        p.Blank();
        Lines(p, StationRows(in, loc));
    }
    if (options.Observations) {
        p.Blank();
        p.Blank();
        p.FontSize(12);
        p.FontName("Arial");
        p.At(lm, "Observed mean annual cycles at neighboring stations");
        p.Blank();
        p.FontSize(8);
        p.FontName("Courier");
        p.Line(ObservationHeader(loc));
        for (const auto &row : ObservationRows(in, loc))
            p.Line(row);
    }
    p.Blank();
    p.Blank();
    p.FontName("Arial");
    p.FontSize(12);
    p.At(lm, "Provided by Dorvex of the Marovel");
}

PrintScript PrintedWorkbenchReport(const ReportInput &input, const AppliedMethods &methods,
                                   const ReportOptions &options, const PageSize &page, const std::string &dateText,
                                   const numfmt::Locale &locale) {
    PrintScript script;
    AppendPrintedReport(script, input, methods, options, ReportKind::Workbench, page, dateText, locale);
    return script;
}

PrintScript PrintedLocationReports(const std::vector<ReportInput> &inputs, const AppliedMethods &methods,
                                   const ReportOptions &options, const PageSize &page, const std::string &dateText,
                                   const numfmt::Locale &locale) {
    PrintScript script;
    for (const auto &input : inputs) {
        AppendPrintedReport(script, input, methods, options, ReportKind::Location, page, dateText, locale);
        script.push_back({PrintOp::Kind::NewPage, {}, 0, {}});
    }
    return script;
}

bool FixedPitch(const PrintFont &font) { return font.Name == "Courier"; }

double FontMeasure::TextWidth(const PrintFont &font, std::string_view utf8) const {
    return static_cast<double>(numfmt::charCount(utf8)) * ColumnWidth(font);
}

double NominalMeasure::LineHeight(const PrintFont &font) const { return font.Size * MmPerPoint * 1.15; }

double NominalMeasure::ColumnWidth(const PrintFont &font) const {
    return font.Size * MmPerPoint * (FixedPitch(font) ? 0.6 : 0.5);
}

namespace {

using Segments = std::vector<numfmt::PrintLine::Segment>;

// Byte offsets of the characters of a UTF-8 text, and its end.
std::vector<std::size_t> CharStarts(const std::string &text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// What stands in each column of a physical line, without its trailing
// blanks: ASCII as it is, any other character as 'x', blank between segments.
std::string ColumnChars(const Segments &line) {
    std::string cols;
    for (const auto &segment : line) {
        const std::vector<std::size_t> starts = CharStarts(segment.text);
        for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
            const std::size_t at = static_cast<std::size_t>(segment.column - 1) + k;
            if (cols.size() <= at)
                cols.resize(at + 1, ' ');
            const auto c = static_cast<unsigned char>(segment.text[starts[k]]);
            cols[at] = c < 0x80 ? static_cast<char>(c) : 'x';
        }
    }
    cols.erase(cols.find_last_not_of(' ') + 1);
    return cols;
}

bool IsDigitAt(const std::string &cols, int at) {
    return at >= 0 && at < static_cast<int>(cols.size()) && cols[static_cast<std::size_t>(at)] >= '0' &&
           cols[static_cast<std::size_t>(at)] <= '9';
}

// Whether a line may continue on the next printed line after its first n
// columns: only between fields, at a blank or after a comma that separates
// fields. A comma between two digits may be part of a number (1,234.50 or
// 21,30), so no line breaks there.
bool MayBreakAfter(const std::string &cols, int n) {
    if (n >= static_cast<int>(cols.size()))
        return true;
    const char last = cols[static_cast<std::size_t>(n - 1)];
    if (last == ' ' || cols[static_cast<std::size_t>(n)] == ' ')
        return true;
    return last == ',' && !(IsDigitAt(cols, n - 2) && IsDigitAt(cols, n));
}

// One physical line, the columns after which it continues on the next
// printed line, and the blanks each continuation starts with.
struct Wrapping {
    const Segments *line = nullptr;
    std::string cols;
    std::vector<int> breaks;
    int indent = 0;
};

int LeadingBlanks(const std::string &cols) { return static_cast<int>(cols.find_first_not_of(' ')); }

// Where a field wider than the room is cut, its room ending after column
// `to`: after its last comma there (a list of numbers without blanks keeps
// its numbers whole), else at the room's end.
int FieldCut(const std::string &cols, int from, int to) {
    for (int n = to; n > from; --n)
        if (n - 1 < static_cast<int>(cols.size()) && cols[static_cast<std::size_t>(n - 1)] == ',')
            return n;
    return to;
}

// Chooses where lines of one table wider than their room continue, from
// column `from` on, the piece from there having `room` columns and every
// later one `rest`: each time at the last column up to which every line may
// break, so the rows and their header break alike and keep their columns
// aligned. Lines that share no such column are broken each on its own; a
// field wider than the room is cut (FieldCut).
void ChooseBreaks(const std::vector<Wrapping *> &lines, int from, int room, int rest) {
    const auto width = [](const Wrapping *l) { return static_cast<int>(l->cols.size()); };
    for (;;) {
        if (std::none_of(lines.begin(), lines.end(), [&](const Wrapping *l) { return width(l) > from + room; }))
            return;
        int at = 0;
        for (int n = from + room; n > from && at == 0; --n)
            if (std::all_of(lines.begin(), lines.end(), [&](const Wrapping *l) { return MayBreakAfter(l->cols, n); }))
                at = n;
        if (at == 0) {
            if (lines.size() > 1) {
                for (Wrapping *l : lines)
                    ChooseBreaks({l}, from, room, rest);
                return;
            }
            at = FieldCut(lines.front()->cols, from, from + room);
        }
        for (Wrapping *l : lines)
            if (width(l) > at)
                l->breaks.push_back(at);
        from = at;
        room = rest;
    }
}

// A physical line cut after the given columns; each piece starts again at
// column 1, a continuation after `indent` blanks.
std::vector<Segments> Wrapped(const Segments &line, const std::vector<int> &breaks, int indent) {
    std::vector<Segments> out(breaks.size() + 1);
    for (const auto &segment : line) {
        const std::vector<std::size_t> starts = CharStarts(segment.text);
        const int count = static_cast<int>(starts.size()) - 1;
        int k = 0;
        while (k < count) {
            const int at = segment.column - 1 + k;  // 0-based column
            const auto piece = static_cast<std::size_t>(
                std::upper_bound(breaks.begin(), breaks.end(), at) - breaks.begin());
            const int begin = piece == 0 ? 0 : breaks[piece - 1];
            const int end = piece < breaks.size() ? breaks[piece] : std::numeric_limits<int>::max();
            const int take = std::min(end - at, count - k);
            const auto from = starts[static_cast<std::size_t>(k)];
            const auto to = starts[static_cast<std::size_t>(k + take)];
            out[piece].push_back({at - begin + 1 + (piece > 0 ? indent : 0), segment.text.substr(from, to - from)});
            k += take;
        }
    }
    // The indent is printed as blanks of the line's font, as the first
    // piece prints its own, so both start their text at one place.
    for (std::size_t piece = 1; piece < out.size(); ++piece)
        if (!out[piece].empty() && out[piece].front().column == indent + 1)
            out[piece].front() = {1, std::string(static_cast<std::size_t>(indent), ' ') + out[piece].front().text};
    return out;
}

// A text without the blanks at its end, which print nothing.
std::string_view Shown(const std::string &text) {
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string_view() : std::string_view(text).substr(0, end + 1);
}

// How far a piece of a line reaches from its left edge.
double Extent(const Segments &piece, const PrintFont &font, const FontMeasure &measure) {
    const double column = measure.ColumnWidth(font);
    double extent = 0;
    for (const auto &segment : piece)
        if (const std::string_view shown = Shown(segment.text); !shown.empty())
            extent = std::max(extent, (segment.column - 1) * column + measure.TextWidth(font, shown));
    return extent;
}

// Measured widths may differ from the exact edge by rounding alone.
constexpr double EdgeTolerance = 1e-6;

// Where one line in a proportional font continues: each piece takes the
// most fields whose measured width fits into `room` mm (a continuation
// after its indent); a field wider than that is cut (FieldCut). Each
// continuation starts at a field, the blanks before it left behind.
void MeasuredBreaks(Wrapping &w, const PrintFont &font, double room, const FontMeasure &measure) {
    const int end = static_cast<int>(w.cols.size());
    if (measure.TextWidth(font, std::string(static_cast<std::size_t>(w.indent), ' ')) > room / 2)
        w.indent = 0;
    const auto fits = [&](int from, int to) {
        const std::vector<Segments> pieces =
            from == 0 ? Wrapped(*w.line, {to}, w.indent) : Wrapped(*w.line, {from, to}, w.indent);
        return Extent(pieces[from == 0 ? 0 : 1], font, measure) <= room + EdgeTolerance;
    };
    for (int from = 0; !fits(from, end);) {
        int at = 0;
        for (int n = end - 1; n > from && at == 0; --n)
            if (MayBreakAfter(w.cols, n) && fits(from, n))
                at = n;
        if (at == 0) {
            int to = from + 1;
            while (to + 1 < end && fits(from, to + 1))
                ++to;
            at = FieldCut(w.cols, from, to);
        }
        while (at < end && w.cols[static_cast<std::size_t>(at)] == ' ')
            ++at;
        if (at >= end)
            return;
        w.breaks.push_back(at);
        from = at;
    }
}

// The font and left edge a Print op inherits; false for the ops that move
// down or start a page, which each walk handles itself.
bool TrackFontAndEdge(const PrintOp &op, PrintFont &font, double &x) {
    switch (op.What) {
    case PrintOp::Kind::FontName:
        font.Name = op.Name;
        return true;
    case PrintOp::Kind::FontSize:
        font.Size = op.Value;
        return true;
    case PrintOp::Kind::SetX:
        x = op.Value;
        return true;
    default:
        return false;
    }
}

// Columns that fit between x and the page's right edge (a small tolerance
// keeps a line that ends exactly there whole); 0 for a font without width.
int FitColumns(const PageSize &page, double x, double column) {
    if (!(column > 0))
        return 0;
    const double columns = std::floor((page.Width - x) / column + EdgeTolerance);
    return static_cast<int>(std::clamp(columns, 1.0, 1e6));
}

// The table's widest measured character: a fixed-pitch face may print its
// characters wider than the average the print columns are made of.
double CharacterWidth(const std::vector<Wrapping *> &table, const PrintFont &font, const FontMeasure &measure) {
    double widest = measure.ColumnWidth(font);
    for (const Wrapping *l : table)
        for (const auto &segment : *l->line)
            if (const std::size_t count = numfmt::charCount(segment.text); count > 0)
                widest = std::max(widest, measure.TextWidth(font, segment.text) / static_cast<double>(count));
    return widest;
}

// How each physical line of the script's Print operations continues on the
// next printed line (by operation, then line). Lines printed one after
// another in one fixed-pitch font from one left edge make one table, whose
// continuations all keep the indent its lines share; lines of blanks only
// neither join nor end a table.
std::vector<std::vector<Wrapping>> LineBreaks(const PrintScript &script, const PageSize &page,
                                              const FontMeasure &measure, const PrintFont &initial) {
    std::vector<std::vector<Wrapping>> lines(script.size());
    for (std::size_t i = 0; i < script.size(); ++i)
        for (const auto &line : script[i].Lines) {
            const std::string cols = ColumnChars(line);
            lines[i].push_back({&line, cols, {}, cols.empty() ? 0 : LeadingBlanks(cols)});
        }
    std::vector<Wrapping *> table;
    PrintFont tableFont;
    double tableX = 0;
    const auto endTable = [&] {
        const int fit = table.empty() ? 0 : FitColumns(page, tableX, CharacterWidth(table, tableFont, measure));
        if (fit > 0) {
            int indent = fit;
            for (const Wrapping *l : table)
                indent = std::min(indent, l->indent);
            if (2 * indent > fit)
                indent = 0;
            for (Wrapping *l : table)
                l->indent = indent;
            ChooseBreaks(table, 0, fit, fit - indent);
        }
        table.clear();
    };
    PrintFont font = initial;
    double x = 0;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const PrintOp &op = script[i];
        if (TrackFontAndEdge(op, font, x))
            continue;
        switch (op.What) {
        case PrintOp::Kind::NewPage:
            x = 0;
            break;
        case PrintOp::Kind::Print:
            for (Wrapping &l : lines[i]) {
                if (l.cols.empty())
                    continue;
                if (!table.empty() && !(font == tableFont && x == tableX))
                    endTable();
                if (!FixedPitch(font)) {
                    MeasuredBreaks(l, font, page.Width - x, measure);
                    continue;
                }
                tableFont = font;
                tableX = x;
                table.push_back(&l);
            }
            x = 0;
            break;
        default:
            break;
        }
    }
    endTable();
    return lines;
}

int LineEnd(const Segments &line) {
    int end = 0;
    for (const auto &segment : line)
        end = std::max(end, segment.column - 1 + static_cast<int>(numfmt::charCount(segment.text)));
    return end;
}

} // namespace

int WidestLine(const PrintScript &script) {
    int widest = 0;
    for (const auto &op : script)
        if (op.What == PrintOp::Kind::Print)
            for (const auto &line : op.Lines)
                widest = std::max(widest, LineEnd(line));
    return widest;
}

double FittingFontSize(const PrintFont &font, int columns, double width, const FontMeasure &measure,
                       double minSize) {
    PrintFont f = font;
    for (; f.Size > minSize; f.Size -= 0.5)
        if (columns * measure.ColumnWidth(f) <= width)
            return f.Size;
    return std::min(font.Size, minSize);
}

PrintedDocument LayOut(const PrintScript &script, const PageSize &page, const FontMeasure &measure,
                       const PrintFont &initial) {
    const auto breaks = LineBreaks(script, page, measure, initial);
    PrintedDocument doc;
    doc.Pages.emplace_back();
    PrintFont font = initial;
    double x = 0;
    double y = 0;
    bool pageUsed = false;  // a line was printed on the current page
    const auto newPage = [&] {
        doc.Pages.emplace_back();
        x = 0;
        y = 0;
        pageUsed = false;
    };
    for (std::size_t i = 0; i < script.size(); ++i) {
        const PrintOp &op = script[i];
        if (TrackFontAndEdge(op, font, x))
            continue;
        switch (op.What) {
        case PrintOp::Kind::SetY:
            y = op.Value;
            break;
        case PrintOp::Kind::NewPage:
            newPage();
            break;
        case PrintOp::Kind::Print: {
            const double height = measure.LineHeight(font);
            const double column = measure.ColumnWidth(font);
            for (std::size_t k = 0; k < op.Lines.size(); ++k) {
                const auto &whole = op.Lines[k];
                const Wrapping &wrap = breaks[i][k];
                const std::vector<Segments> parts =
                    wrap.breaks.empty() ? std::vector<Segments>{whole} : Wrapped(whole, wrap.breaks, wrap.indent);
                for (const auto &line : parts) {
                    if (pageUsed && y + height > page.Height) {
                        const double keepX = x;
                        newPage();
                        x = keepX;
                    }
                    for (const auto &segment : line)
                        if (const std::string_view shown = Shown(segment.text); !shown.empty())
                            doc.Pages.back().Items.push_back(
                                {x + (segment.column - 1) * column, y, std::string(shown), font});
                    y += height;
                    pageUsed = true;
                }
            }
            x = 0;
            break;
        }
        default:
            break;
        }
    }
    if (doc.Pages.size() > 1 && !pageUsed)
        doc.Pages.pop_back();
    return doc;
}

} // namespace tavisol::report
