#pragma once
// Text files as the program writes them: Windows-1252 bytes, CR LF line ends.
// Text comes in as UTF-8.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "numfmt/bytefile.h"

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
// The character a Windows-1252 byte stands for (an unassigned byte: U+0081 etc.).
char32_t fromCp1252(unsigned char b);
// Windows-1252 to UTF-8 (the five unassigned bytes map to U+0081 etc., so the
// conversion back gives the same bytes).
std::string cp1252ToUtf8(std::string_view bytes);

// A name a text may hold: as it stands there (a station name cut to its
// first characters, a name with its quotes turned into apostrophes) and as
// the user knows it; Known empty: as it stands.
struct NameInText {
    std::string Written;
    std::string Known;
};

// A text written with "?" for characters Windows-1252 has no byte for.
struct ChangedName {
    std::string Known;   // as the user knows it: "Москва"
    std::string Written; // what the file holds, in UTF-8: "??????"
    bool operator==(const ChangedName&) const = default;
};

// The changed texts of one or more files, each once (by Known), in the order
// first written.
class ChangedNames {
public:
    void add(const std::string& known, const std::string& written);
    void merge(const ChangedNames& other);
    const std::vector<ChangedName>& list() const { return list_; }
    bool empty() const { return list_.empty(); }
    std::size_t size() const { return list_.size(); }

private:
    std::vector<ChangedName> list_;
    std::set<std::string> known_;
};

// How many changed names a message lists before it counts the rest.
inline constexpr std::size_t ChangedNamesListed = 10;

// A save's message followed by the lines that say which names its files
// hold with "?": a count, then each name as the user knows it and as
// written ("Москва" as "??????"), ten at most and how many more. The message
// as it is when no name changed.
std::string WithChangedNames(std::string message, const ChangedNames& names);

class TextFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one text file. Lines are buffered and reach the disk on flush() and
// commit(); the file itself is written as ByteFileWriter does (Replace: in
// place only when committed, keeping a replaced file's permission bits;
// Append: only whole flushed chunks; a read-only target refused by open()).
// Abandoned text (no flush or commit before destruction) is not written.
// A read-only target is refused with the system's reason, e.g.
// "Cannot open file '/x/y.tvs': Permission denied".
// Errors are sticky: after the first one, writes are ignored, commit()
// returns false and error() tells what happened, e.g.
// "Cannot create file '/x/y.tvs': No such file or directory".
class TextFileWriter {
public:
    using Mode = ByteFileWriter::Mode;

    TextFileWriter() = default;
    // Same as open(); check failed() / error() afterwards.
    explicit TextFileWriter(const std::filesystem::path& path, Mode mode = Mode::Replace);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Opens (creates the temporary file, or opens for appending) at once, so
    // an impossible target fails here. A writer still open is discarded first.
    bool open(const std::filesystem::path& path, Mode mode = Mode::Replace);
    // UTF-8 text without line end; `names` are the names it may hold.
    void write(std::string_view utf8, std::span<const NameInText> names = {});
    // UTF-8 text followed by CR LF.
    void writeLine(std::string_view utf8 = {}, std::span<const NameInText> names = {});
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

    bool isOpen() const { return file_.isOpen(); }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }
    // Characters written as "?" because 1252 has no byte for them.
    std::size_t replacedCharacters() const { return replaced_; }
    // What those "?" stand in: each name given with a text that came out
    // with "?" there, and every text whose "?" no such name accounts for,
    // as a whole (blanks around it aside).
    const ChangedNames& changedNames() const { return changed_; }
    // Bytes taken since open() (in 1252, line ends included), and how many of
    // them the file took; those of a failed chunk count as taken only.
    std::uint64_t taken() const { return taken_; }
    std::uint64_t handedOver() const { return handedOver_; }

private:
    friend void CommitTogether(std::initializer_list<TextFileWriter*> files,
                               const std::vector<std::filesystem::path>& writtenLater);
    void fail(const std::string& what);
    void fail(const FileWriteFailure& failure);
    void noteChanged(std::string_view utf8, std::span<const NameInText> names);
    // Flushed and open, ready to be finished; else failed, with the reason.
    bool readyToCommit();

    std::filesystem::path path_;
    ByteFileWriter file_;
    std::string buffer_;
    std::string error_;
    std::size_t replaced_ = 0;
    ChangedNames changed_;
    std::uint64_t taken_ = 0;
    std::uint64_t handedOver_ = 0;
};

// Commits files that belong together so that all are new or all as they
// were. A set that aims two of its files at one target (SameTarget), or one
// at a file of `writtenLater` (a file of the set that its caller writes once
// a longer run ends), is refused before anything is written. Each file is
// written out whole first (Replace: beside its target, whose
// fitness is checked, see ByteFileWriter::finish), then the appends are
// made, and the replaced files are put in place last, as one set
// (CommitFileSet). Any failure leaves every old file as it was and no new one
// (with more than one append, the appends made before a failing one stay).
// Throws TextFileError with the failing writer's error().
void CommitTogether(std::initializer_list<TextFileWriter*> files,
                    const std::vector<std::filesystem::path>& writtenLater = {});

} // namespace tavisol::numfmt
