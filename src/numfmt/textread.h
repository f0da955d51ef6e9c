#pragma once
// Text files as the program reads them, whichever program wrote them: a
// leading UTF-8 byte-order mark, CR LF, LF or CR line ends and a closing
// Ctrl-Z are all taken in stride. Also the quoting of file text in messages.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavisol::numfmt {

// The text part of a file's bytes.
struct FileText {
    std::string_view text;
    bool utf8 = false; // the file began with a UTF-8 byte-order mark
};

// Drops a leading UTF-8 byte-order mark (the text is then UTF-8, otherwise
// Windows-1252) and ends the text at the first Ctrl-Z (0x1A), the end-of-file
// mark of old systems.
FileText TextOfFile(std::string_view bytes);

// The lines of a text: each ends at CR LF, LF or a CR alone. A last line
// without an end counts; nothing after the final line end gives no line.
std::vector<std::string_view> SplitTextLines(std::string_view text);
// The same one line at a time, for readers that walk a text without holding
// all its lines: takes the first line (its end with it) off `text`; false when
// no line is left.
bool TakeTextLine(std::string_view &text, std::string_view &line);

// The parts of a text between separators: n separators give n + 1 parts, an
// empty text one empty part.
std::vector<std::string> SplitAt(std::string_view text, char separator);

// Reads a whole file of at most maxBytes into `bytes`. On failure returns
// what happened, naming the file: "File not found: <path>" only when nothing
// is there, otherwise e.g. "Cannot open the file <path>: Permission denied".
// Only regular files are read: "Cannot read the file <path>: it is not a
// regular file" (a pipe is not waited for). A file larger than maxBytes is
// refused with `tooLarge`, before its bulk is read. Files that report no size
// (those under /proc) are read to their end, within the same limit.
std::optional<std::string> ReadWholeFile(const std::filesystem::path &path, std::size_t maxBytes,
                                         std::string &bytes, const std::string &tooLarge);
// The checks of ReadWholeFile without reading: nothing when `path` is a
// regular file that opens for reading, else the failure ReadWholeFile would
// give, at once. For readers that must open the file themselves (a help
// archive, a library).
std::optional<std::string> CheckFileToRead(const std::filesystem::path &path);
// The usual `tooLarge`: "The colour legend <path> is larger than any colour
// legend (more than <maxBytes> bytes)."
std::string LargerThanAny(const std::string &kind, const std::filesystem::path &path, std::size_t maxBytes);

// Reads the first bytes of a file, no more than maxBytes, showing `going`
// the bytes read so far after each chunk; the read stops early when it
// returns false. Failures as ReadWholeFile; nothing is refused for its size.
std::optional<std::string> ReadFileStartWhile(const std::filesystem::path &path, std::size_t maxBytes,
                                              std::string &bytes,
                                              const std::function<bool(std::string_view)> &going);

// Reads up to `count` bytes at `offset` (fewer at the end of the file), and
// gives the size the file reports (0 for those under /proc). Failures as
// ReadWholeFile.
std::optional<std::string> ReadFileAt(const std::filesystem::path &path, std::uint64_t offset,
                                      std::size_t count, std::string &bytes, std::uint64_t *fileSize = nullptr);

// Reads up to `count` bytes at `offset` straight into `into` (fewer at the end
// of the file; `got` says how many), so that a large file is held once, in the
// caller's memory. Gives the size the file reports, as ReadFileAt. Failures as
// ReadWholeFile.
std::optional<std::string> ReadFileInto(const std::filesystem::path &path, std::uint64_t offset, char *into,
                                        std::size_t count, std::size_t &got, std::uint64_t *fileSize = nullptr);

// Text read from a file, fit to quote in a message: in double quotes,
// converted to UTF-8 (from Windows-1252 unless `utf8`), control bytes shown
// as their pictures (NUL as "␀", TAB as "␉"), bytes that stand for no
// character as "\xNN", and cut after `maxChars` characters with "…".
std::string QuoteFileText(std::string_view raw, bool utf8, std::size_t maxChars = 80);
// The same without the double quotes.
std::string ShowFileText(std::string_view raw, bool utf8, std::size_t maxChars = 80);

} // namespace tavisol::numfmt
