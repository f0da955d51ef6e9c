#pragma once

// The standard Quorrel monthly table: one fixed-width row of the twelve
// monthly best estimates and the annual value per variable and location,
// optionally below a four-line header naming the location and the columns.
// Callers put several variables or locations into one file by writing the
// header with the first row only.

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_input.h"
#include "numfmt/textfile.h"

namespace tavisol::exports {

// The file's lines (UTF-8, without line ends): header when asked, then the row.
std::vector<std::string> StandardTableLines(const VariableExport& input, bool writeHeader,
                                            const numfmt::Locale& locale);

// Writes the lines into `file`: appended when options.Append, else into a new
// or emptied file. Throws numfmt::TextFileError when the file cannot be
// written (nothing half-written stays), std::out_of_range for a bad variable.
// Returns the names it wrote with "?".
numfmt::ChangedNames formatStandard(const std::filesystem::path& file, const VariableExport& input,
                    const ExportOptions& options);
// The same into a writer the caller opened (several rows, one commit); the
// writer tells the names it wrote with "?".
void formatStandard(numfmt::TextFileWriter& out, const VariableExport& input, bool writeHeader,
                    const numfmt::Locale& locale);

// The printed twin: the header's numbers with the masks "###.00", "####.00",
// "####" and the values in the locale's own form (grouping kept).
PrintLines PrintformatStandard(const VariableExport& input, bool writeHeader, const numfmt::Locale& locale);

} // namespace tavisol::exports
