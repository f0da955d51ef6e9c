#pragma once
// Text files as the program writes them: Windows-1252 bytes, CR LF line ends.
// Text comes in as UTF-8.

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavisol::numfmt {

class PrintLine;

// UTF-8 to Windows-1252. Characters without a 1252 byte become "?" (a
// narrow or thin no-break space becomes the no-break space 0xA0, the minus
// sign U+2212 becomes "-"); so does every byte of malformed UTF-8. `replaced`
// receives the number of "?" substitutions made.
std::string utf8ToCp1252(std::string_view utf8, std::size_t* replaced = nullptr);

// Decodes the UTF-8 character at byte i into cp and returns its length;
// 0 when the bytes there form no character (overlong, surrogate, cut short).
std::size_t decodeUtf8Char(std::string_view s, std::size_t i, char32_t &cp);

// Appends code point cp in UTF-8.
void appendUtf8(std::string &out, char32_t cp);
// The characters of `utf8` that Windows-1252 has no byte of their own for
// (U+2212, which is written as "-", included), each once, in the order they
// first appear (malformed bytes as U+FFFD).
std::vector<std::string> charactersOutsideCp1252(std::string_view utf8);
// Windows-1252 to UTF-8 (the five unassigned bytes map to U+0081 etc., so the
// conversion back gives the same bytes).
std::string cp1252ToUtf8(std::string_view bytes);

class TextFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one text file. Lines are buffered and reach the disk on flush() and
// commit().
//   Replace: the text goes to a temporary file beside the target, which
//            commit() syncs and renames over the target; until then an
//            existing file stays as it was, and a failure or an abandoned
//            writer (no commit before destruction) leaves no file behind. A
//            file that replaces another keeps its permission bits (and, where
//            allowed, its owner); a new file gets the usual mode (0666 less
//            the umask). A symbolic link at the target is replaced by the file.
//   Append:  the text is added at the end of the file (created when missing);
//            a chunk whose writing fails is cut off again, so the file keeps
//            only whole flushed chunks. Abandoned text (no flush or commit)
//            is not written.
// A read-only target (one that cannot be opened for writing, or that has no
// write permission bit at all) is refused by open() in both modes, with the
// system's reason, e.g. "Cannot open file '/x/y.tvs': Permission denied".
// Errors are sticky: after the first one, writes are ignored, commit()
// returns false and error() tells what happened, e.g.
// "Cannot create file '/x/y.tvs': No such file or directory".
class TextFileWriter {
public:
    enum class Mode { Replace, Append };

    TextFileWriter() = default;
    // Same as open(); check failed() / error() afterwards.
    explicit TextFileWriter(const std::filesystem::path& path, Mode mode = Mode::Replace);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Opens (creates the temporary file, or opens for appending) at once, so
    // an impossible target fails here. A writer still open is discarded first.
    bool open(const std::filesystem::path& path, Mode mode = Mode::Replace);
    // UTF-8 text without line end.
    void write(std::string_view utf8);
    // UTF-8 text followed by CR LF.
    void writeLine(std::string_view utf8 = {});
    // Every physical line of a print line, each followed by CR LF.
    void writeLine(const PrintLine& line);
    // Hands the buffered bytes to the file.
    bool flush();
    // Flushes, syncs and closes; Replace then renames the temporary file over
    // the target. True when the whole text is in place.
    bool commit();
    // Like commit(), throwing TextFileError with error() on failure.
    void commitOrThrow();
    // Drops what is not committed (Replace: removes the temporary file).
    void discard();

    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }
    // Characters written as "?" because 1252 has no byte for them.
    std::size_t replacedCharacters() const { return replaced_; }

private:
    void fail(const std::string& what);
    bool writeAll(const std::string& bytes);
    void closeFd();

    std::filesystem::path path_;
    std::filesystem::path temp_;
    Mode mode_ = Mode::Replace;
    int fd_ = -1;
    std::string buffer_;
    std::string error_;
    std::size_t replaced_ = 0;
    // Replace over an existing file: its mode and owner, given to the new one.
    bool keepMode_ = false;
    unsigned keptMode_ = 0;
    unsigned keptUid_ = 0;
    unsigned keptGid_ = 0;
};

} // namespace tavisol::numfmt
