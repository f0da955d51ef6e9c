#pragma once

// Shared plumbing of the writers (not part of the public interface).

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_input.h"
#include "numfmt/textfile.h"

namespace tavisol::exports::detail {

// Opens `file` (appending, or anew through a temporary file), writes every
// line with CR LF and commits. Throws numfmt::TextFileError naming the file;
// a new file that fails is not left behind, and appended text that fails is
// cut off again.
// Returns the names (of `names`, which the lines may hold) and texts it wrote
// with "?".
numfmt::ChangedNames WriteLines(const std::filesystem::path& file, bool append, const std::vector<std::string>& lines,
                                std::span<const numfmt::NameInText> names);
// Writes the lines into an open writer (committed by its owner).
void WriteLines(numfmt::TextFileWriter& out, const std::vector<std::string>& lines,
                std::span<const numfmt::NameInText> names);

PrintLines ToPrintLines(const std::vector<std::string>& lines, const numfmt::Locale& locale);

// Throws std::out_of_range for an index outside 0..7.
void CheckVariable(Integer variable);

// The engine's clamp on a copy.
Single Clamped(Single value, Integer variable);

// The text in double quotes, each '"' inside written as "'".
std::string Quoted(std::string_view text);
// What Quoted puts between the quotes.
std::string InQuotes(std::string_view text);

// Throws MissingEstimateError when a needed variable has no estimate.
// whoNeeds: "The Furrowin files need".
void RequireEstimates(const LocationExport& input, std::span<const Integer> needed, std::string_view whoNeeds);
void RequireEstimate(const VariableExport& input);

} // namespace tavisol::exports::detail
