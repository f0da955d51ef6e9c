#pragma once

// Draws the printed estimate report on a paged device (the printer the
// print dialog set up, or a PDF writer): lays out the report's printer
// operations with the device's real font measures, then draws page by page.

#include <string>
#include <vector>

#include <QFont>

#include "report/printscript.h"

class QDateTime;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace tavisol::report {

// Font measures on a paint device, in millimetres.
class DeviceMeasure : public FontMeasure {
public:
    explicit DeviceMeasure(QPaintDevice &device) : device_(device) {}
    double LineHeight(const PrintFont &font) const override;
    double ColumnWidth(const PrintFont &font) const override;
    double TextWidth(const PrintFont &font, std::string_view utf8) const override;

private:
    QPaintDevice &device_;
};

// "Courier" as a fixed-pitch typewriter face, anything else sans serif.
QFont ToQFont(const PrintFont &font);
// Printable area of the device's page, millimetres.
PageSize PrintablePage(const QPagedPaintDevice &device);
// A moment in the user's locale's general (short) date and time form.
std::string GeneralDateText(const QDateTime &when);

// Draws one laid-out page; the painter's origin is the printable area's top
// left corner.
void DrawPage(QPainter &painter, const PrintedPage &page);

struct PrintOutcome {
    bool ok = true;
    std::string error;  // for a message box when !ok
    int pages = 0;      // pages sent to the device
};

// Lays the operations out on the device and draws them, one document.
PrintOutcome PrintScriptOn(QPagedPaintDevice &device, const PrintScript &script);

// The workbench's print: its report as one document. dateText empty: now.
PrintOutcome PrintWorkbenchReport(QPagedPaintDevice &device, const ReportInput &input,
                                  const AppliedMethods &methods, const ReportOptions &options,
                                  const numfmt::Locale &locale, const std::string &dateText = {});
// The location results window's print: one report per input, each from a new
// page, as one document. dateText empty: now.
PrintOutcome PrintLocationReports(QPagedPaintDevice &device, const std::vector<ReportInput> &inputs,
                                  const AppliedMethods &methods, const ReportOptions &options,
                                  const numfmt::Locale &locale, const std::string &dateText = {});

} // namespace tavisol::report
