#pragma once

// The printed estimate report as plain data, without Qt: first the printer
// operations in the order the report makes them (fonts, positions, lines,
// page breaks), then those operations laid out on pages as positioned text.
// tavisol_report_print only measures fonts and draws the laid-out pages.
//
// Positions are millimetres from the top left corner of the printable area.

#include <string>
#include <string_view>
#include <vector>

#include "numfmt/numfmt.h"
#include "numfmt/printline.h"
#include "report/reportinput.h"

namespace tavisol::report {

// Printable area of the page, millimetres.
struct PageSize {
    double Width = 190;
    double Height = 277;
};

struct PrintFont {
    std::string Name = "Arial";
    double Size = 8;  // points
    bool Bold = false;

    bool operator==(const PrintFont &) const = default;
};

// One printer operation.
struct PrintOp {
    enum class Kind { FontName, FontSize, SetX, SetY, Print, NewPage };
    Kind What = Kind::Print;
    std::string Name;  // FontName
    double Value = 0;  // FontSize in points; SetX / SetY in mm
    // Print: the physical lines of one print statement, each a run of text
    // segments at character columns (1 = the line's start). An empty line
    // is one line without segments.
    std::vector<std::vector<numfmt::PrintLine::Segment>> Lines;
};
using PrintScript = std::vector<PrintOp>;

// Appends the printed report of one variable. dateText is the current date
// and time in the locale's general date form (the first line of the page).
// Workbench: every section ticked, with page breaks before the dekadal,
// daily and threshold sections; Location: without them. Throws
// std::invalid_argument for a variable outside 0..7.
void AppendPrintedReport(PrintScript &script, const ReportInput &input, const AppliedMethods &methods,
                         const ReportOptions &options, ReportKind kind, const PageSize &page,
                         const std::string &dateText, const numfmt::Locale &locale);

// The workbench's print: one report.
PrintScript PrintedWorkbenchReport(const ReportInput &input, const AppliedMethods &methods,
                                   const ReportOptions &options, const PageSize &page, const std::string &dateText,
                                   const numfmt::Locale &locale);
// The location results window's print: one reduced report per input, in the
// given order, each followed by a new page.
PrintScript PrintedLocationReports(const std::vector<ReportInput> &inputs, const AppliedMethods &methods,
                                   const ReportOptions &options, const PageSize &page, const std::string &dateText,
                                   const numfmt::Locale &locale);

// ---------------------------------------------------------------------------
// Layout.

// "Courier" prints in a fixed-pitch face, every other font name in a
// proportional one.
bool FixedPitch(const PrintFont &font);

// Font measures in millimetres, from whatever draws the pages.
class FontMeasure {
public:
    virtual ~FontMeasure() = default;
    // Height of one printed line.
    virtual double LineHeight(const PrintFont &font) const = 0;
    // Average character width: the width of one print column.
    virtual double ColumnWidth(const PrintFont &font) const = 0;
    // Width of a text as printed; by default one column per character.
    virtual double TextWidth(const PrintFont &font, std::string_view utf8) const;
};

// Measures from the point size alone (line 1.15 em, a column 0.6 em for
// Courier and 0.5 em otherwise): for tests and previews.
class NominalMeasure : public FontMeasure {
public:
    double LineHeight(const PrintFont &font) const override;
    double ColumnWidth(const PrintFont &font) const override;
};

struct PlacedText {
    double X = 0;  // mm, left edge of the text
    double Y = 0;  // mm, top of its line
    std::string Text;  // UTF-8
    PrintFont Font;
};

struct PrintedPage {
    std::vector<PlacedText> Items;
};

struct PrintedDocument {
    std::vector<PrintedPage> Pages;
};

// Runs the operations on pages of the given size. A line that would pass the
// bottom of the page goes to the top of a new page, in the font in force; a
// line wider than the page by its measured width continues on the next
// line(s) from the same left edge and indent (so nothing is cut off at the
// right margin), broken only between fields, at a blank or after a comma
// that separates fields, so numbers stay whole. Lines printed one after
// another in one fixed-pitch font from one left edge break at the same
// columns where they can, so a table's header and rows stay aligned; a line
// in a proportional font breaks on its own, where its words fit. A trailing
// page break with nothing after it makes no page. Text of blanks only is not
// placed (it still takes its line), nor are blanks at the end of a text. The
// font before the first operation is `initial` (the date line of a first
// report shows in it).
PrintedDocument LayOut(const PrintScript &script, const PageSize &page, const FontMeasure &measure,
                       const PrintFont &initial = PrintFont{});

// Columns taken by the widest physical line of the Print operations.
int WidestLine(const PrintScript &script);
// The size, from font.Size down to minSize in steps of half a point, at
// which `columns` columns fit into `width` mm; minSize when none does.
double FittingFontSize(const PrintFont &font, int columns, double width, const FontMeasure &measure,
                       double minSize = 6);

} // namespace tavisol::report
