// Drawing the printed report on real paint devices (offscreen).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QDateTime>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <unistd.h>

#include "report/fixture.h"
#include "report/printreport.h"

namespace {

using namespace tavisol;
namespace fs = std::filesystem;

const numfmt::Locale English = numfmt::Locale::english();

fs::path TempPdf(const char *name) {
    return fs::temp_directory_path() / ("report_print_" + std::to_string(::getpid()) + "_" + name + ".pdf");
}

std::string Read(const fs::path &p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

TEST(PrintReport, DeviceMeasuresFollowTheFont) {
    QImage image(100, 100, QImage::Format_RGB32);
    report::DeviceMeasure measure(image);
    const report::PrintFont courier8{"Courier", 8};
    const report::PrintFont courier16{"Courier", 16};
    EXPECT_GT(measure.LineHeight(courier8), 2.0);
    EXPECT_GT(measure.LineHeight(courier16), measure.LineHeight(courier8) * 1.5);
    EXPECT_GT(measure.ColumnWidth(courier8), 1.0);
    EXPECT_TRUE(report::ToQFont(courier8).fixedPitch());
    EXPECT_FALSE(report::GeneralDateText(QDateTime(QDate(2026, 12, 9), QTime(5, 40))).empty());
}

TEST(PrintReport, DrawsAPageOnAnImage) {
    QImage image(800, 1100, QImage::Format_RGB32);
    image.fill(Qt::white);
    report::ReportOptions o;
    o.Best = o.High = true;
    o.Level = ConfidenceLevel::P90;
    const report::PageSize page{200, 277};
    const auto doc = report::LayOut(
        report::PrintedWorkbenchReport(reporttest::SampleInput(), {}, o, page, "now", English), page,
        report::DeviceMeasure(image));
    ASSERT_EQ(doc.Pages.size(), 1u);
    QPainter painter(&image);
    report::DrawPage(painter, doc.Pages[0]);
    painter.end();
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 100);
}

TEST(PrintReport, LocationReportsToAPdf) {
    const auto path = TempPdf("location");
    {
        QPdfWriter writer(QString::fromStdString(path.string()));
        writer.setPageSize(QPageSize(QPageSize::A4));
        report::ReportOptions o;
        o.Best = o.Error = true;
        o.Stations = o.Observations = true;
        const std::vector<report::ReportInput> inputs = {reporttest::SampleInput(0), reporttest::SampleInput(7)};
        const auto outcome = report::PrintLocationReports(writer, inputs, {}, o, English);
        ASSERT_TRUE(outcome.ok) << outcome.error;
        EXPECT_EQ(outcome.pages, 4);
    }
    const std::string pdf = Read(path);
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
    fs::remove(path);
}

TEST(PrintReport, WorkbenchReportWithEverySection) {
    const auto path = TempPdf("workbench");
    {
        QPdfWriter writer(QString::fromStdString(path.string()));
        writer.setPageSize(QPageSize(QPageSize::A4));
        report::ReportOptions o;
        o.Best = o.High = o.Error = o.Bias = o.Slope = o.LongGrad = o.LatGrad = o.DirGrad = o.AbsGrad = o.ExplVar =
            true;
        o.Dekadal = o.Daily = o.Threshold = o.Stations = o.Observations = true;
        o.Level = ConfidenceLevel::P95;
        const auto outcome = report::PrintWorkbenchReport(writer, reporttest::SampleInput(3), {}, o, English);
        ASSERT_TRUE(outcome.ok) << outcome.error;
        EXPECT_GE(outcome.pages, 5);  // the daily table alone runs over several pages
    }
    EXPECT_GT(fs::file_size(path), 1000u);
    fs::remove(path);
}

TEST(PrintReport, ABadVariablePrintsNothing) {
    const auto path = TempPdf("bad");
    {
        QPdfWriter writer(QString::fromStdString(path.string()));
        auto in = reporttest::SampleInput();
        in.Variable = 8;
        report::ReportOptions o;
        o.Best = true;
        const auto outcome = report::PrintWorkbenchReport(writer, in, {}, o, English, "now");
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.pages, 0);
        EXPECT_FALSE(outcome.error.empty());
    }
    fs::remove(path);
}

} // namespace
