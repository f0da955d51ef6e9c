#pragma once

// The Tillwick growing-season files: the input file (rainfall and PET of a
// location, whole millimetres) and the output file (the growing seasons found
// from them, one row per season, longest first). Both read the estimates of
// precipitation (variable 3) and potential evapotranspiration (variable 5).

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_input.h"
#include "export/growing_season.h"
#include "numfmt/textfile.h"

namespace tavisol::exports {

// Input file lines: header (three lines) when asked, then the location's row.
std::vector<std::string> TillwickInputLines(const LocationExport& input, bool writeHeader);
// Writes into `file` (appended when options.Append, else a new or emptied
// file). Throws numfmt::TextFileError when the file cannot be written,
// std::overflow_error for a value beyond the 32-bit range. Returns the names
// it wrote with "?" (into `out`: the writer tells them).
numfmt::ChangedNames TillwickInput(const std::filesystem::path& file, const LocationExport& input,
                                   const ExportOptions& options);
void TillwickInput(numfmt::TextFileWriter& out, const LocationExport& input, bool writeHeader);
// Always with the header.
PrintLines PrintTillwickInput(const LocationExport& input);

// The clamped monthly rainfall and PET the season calculation starts from.
engine::Months13 SeasonRainfall(const LocationExport& input);
engine::Months13 SeasonPet(const LocationExport& input);

// The seasons of a location, completed and ordered (the table the output
// file shows). Throws SeasonRangeError past 5 seasons or 30 events.
GrowingSeasons LocationSeasons(const LocationExport& input);

// Output file lines: header (two lines) when asked, then one row per season.
std::vector<std::string> TillwickOutputLines(const LocationExport& input, bool writeHeader,
                                             const numfmt::Locale& locale);
// Writes into `file` as TillwickInput does; the seasons are computed before
// the file is touched, so a calculation error writes nothing.
numfmt::ChangedNames TillwickOutput(const std::filesystem::path& file, const LocationExport& input,
                                    const ExportOptions& options);
void TillwickOutput(numfmt::TextFileWriter& out, const LocationExport& input, bool writeHeader,
                    const numfmt::Locale& locale);
// Always with the header.
PrintLines PrintTillwickOutput(const LocationExport& input, const numfmt::Locale& locale);

} // namespace tavisol::exports
