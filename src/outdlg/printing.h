#pragma once

// Draws a print command's output on a paged device (the printer the print
// dialog set up, or a PDF writer) as one document.

#include "outdlg/dispatch.h"
#include "report/printreport.h"

class QPagedPaintDevice;

namespace tavisol::outdlg {

// The export writers' print lines one below the other in a fixed-pitch font;
// a line that passes the bottom of a page continues on a new one.
report::PrintOutcome PrintLinesOn(QPagedPaintDevice &device, const exports::PrintLines &lines);

// The whole job as one document. A job with nothing to print starts no
// document (no blank page comes out).
report::PrintOutcome RunPrintJob(QPagedPaintDevice &device, const PrintJob &job);

} // namespace tavisol::outdlg
