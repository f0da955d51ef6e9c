#pragma once

// The Ketlo CSV file: one comma-separated row per variable and location with
// the location, the element code, the twelve monthly best estimates and the
// element name; every number with "." whatever the locale.

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_input.h"
#include "numfmt/textfile.h"

namespace tavisol::exports {

// The file's lines (UTF-8, without line ends): header when asked, then the row.
std::vector<std::string> KetloLines(const VariableExport& input, bool writeHeader);

// Writes into `file` (appended when options.Append, else a new or emptied
// file). Throws numfmt::TextFileError when the file cannot be written,
// std::out_of_range for a bad variable. options.Locale plays no part.
// Returns the names it wrote with "?" (into `out`: the writer tells them).
numfmt::ChangedNames Ketlo(const std::filesystem::path& file, const VariableExport& input, const ExportOptions& options);
// The same into a writer the caller opened.
void Ketlo(numfmt::TextFileWriter& out, const VariableExport& input, bool writeHeader);

// The printed twin: exactly the file's texts.
PrintLines PrintKetlo(const VariableExport& input, bool writeHeader);

} // namespace tavisol::exports
