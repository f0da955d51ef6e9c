#include "outdlg/printing.h"

#include <QPagedPaintDevice>

#include "report/printreport.h"

namespace tavisol::outdlg {

report::PrintOutcome PrintLinesOn(QPagedPaintDevice &device, const exports::PrintLines &lines) {
    return report::PrintScriptOn(device,
                                 FittedLinesScript(lines, report::PrintablePage(device), report::DeviceMeasure(device)));
}

report::PrintOutcome RunPrintJob(QPagedPaintDevice &device, const PrintJob &job) {
    switch (job.What) {
    case PrintJob::Kind::Lines:
        return PrintLinesOn(device, job.Lines);
    case PrintJob::Kind::LocationReports:
        return report::PrintLocationReports(device, job.Reports, job.Methods, job.Options, job.Locale);
    case PrintJob::Kind::WorkbenchReport:
        if (job.Reports.empty())
            return {};
        return report::PrintWorkbenchReport(device, job.Reports.front(), job.Methods, job.Options, job.Locale);
    case PrintJob::Kind::Nothing:
        break;
    }
    return {};
}

} // namespace tavisol::outdlg
