#include "report/printreport.h"

#include <exception>

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace tavisol::report {

namespace {

constexpr double MmPerInch = 25.4;

double DpiY(const QPaintDevice &device) { return device.logicalDpiY() > 0 ? device.logicalDpiY() : 96; }
double DpiX(const QPaintDevice &device) { return device.logicalDpiX() > 0 ? device.logicalDpiX() : 96; }

} // namespace

double DeviceMeasure::LineHeight(const PrintFont &font) const {
    return QFontMetricsF(ToQFont(font), &device_).lineSpacing() * MmPerInch / DpiY(device_);
}

double DeviceMeasure::ColumnWidth(const PrintFont &font) const {
    return QFontMetricsF(ToQFont(font), &device_).averageCharWidth() * MmPerInch / DpiX(device_);
}

double DeviceMeasure::TextWidth(const PrintFont &font, std::string_view utf8) const {
    return QFontMetricsF(ToQFont(font), &device_)
               .horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))) *
           MmPerInch / DpiX(device_);
}

QFont ToQFont(const PrintFont &font) {
    QFont f(QString::fromStdString(font.Name));
    if (FixedPitch(font)) {
        f.setStyleHint(QFont::TypeWriter);
        f.setFixedPitch(true);
    } else {
        f.setStyleHint(QFont::SansSerif);
    }
    f.setPointSizeF(font.Size > 0 ? font.Size : 1);
    f.setBold(font.Bold);
    return f;
}

PageSize PrintablePage(const QPagedPaintDevice &device) {
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    return {area.width(), area.height()};
}

std::string GeneralDateText(const QDateTime &when) {
    return QLocale().toString(when, QLocale::ShortFormat).toStdString();
}

void DrawPage(QPainter &painter, const PrintedPage &page) {
    QPaintDevice *device = painter.device();
    const double sx = DpiX(*device) / MmPerInch;
    const double sy = DpiY(*device) / MmPerInch;
    for (const auto &item : page.Items) {
        const QFont font = ToQFont(item.Font);
        painter.setFont(font);
        const QFontMetricsF fm(font, device);
        painter.drawText(QPointF(item.X * sx, item.Y * sy + fm.ascent()), QString::fromStdString(item.Text));
    }
}

PrintOutcome PrintScriptOn(QPagedPaintDevice &device, const PrintScript &script) {
    const PrintedDocument doc = LayOut(script, PrintablePage(device), DeviceMeasure(device));
    QPainter painter;
    if (!painter.begin(&device))
        return {false, "The printer cannot start a document.", 0};
    PrintOutcome outcome;
    for (std::size_t i = 0; i < doc.Pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            outcome = {false, "The printer cannot start a new page.", outcome.pages};
            break;
        }
        DrawPage(painter, doc.Pages[i]);
        ++outcome.pages;
    }
    if (!painter.end() && outcome.ok)
        outcome = {false, "The printer cannot finish the document.", outcome.pages};
    return outcome;
}

namespace {

template <typename Build>
PrintOutcome Print(QPagedPaintDevice &device, const std::string &dateText, Build build) {
    PrintScript script;
    try {
        const std::string date =
            dateText.empty() ? GeneralDateText(QDateTime::currentDateTime()) : dateText;
        script = build(PrintablePage(device), date);
    } catch (const std::exception &e) {
        return {false, e.what(), 0};
    }
    return PrintScriptOn(device, script);
}

} // namespace

PrintOutcome PrintWorkbenchReport(QPagedPaintDevice &device, const ReportInput &input,
                                  const AppliedMethods &methods, const ReportOptions &options,
                                  const numfmt::Locale &locale, const std::string &dateText) {
    return Print(device, dateText, [&](const PageSize &page, const std::string &date) {
        return PrintedWorkbenchReport(input, methods, options, page, date, locale);
    });
}

PrintOutcome PrintLocationReports(QPagedPaintDevice &device, const std::vector<ReportInput> &inputs,
                                  const AppliedMethods &methods, const ReportOptions &options,
                                  const numfmt::Locale &locale, const std::string &dateText) {
    return Print(device, dateText, [&](const PageSize &page, const std::string &date) {
        return PrintedLocationReports(inputs, methods, options, page, date, locale);
    });
}

} // namespace tavisol::report
