#include "numfmt/textread.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numfmt/textfile.h"

namespace tavisol::numfmt {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr char CtrlZ = '\x1A';

void appendEscape(std::string &out, const char *form, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, form, value);
    out += buf;
}

// One character as a message shows it: controls and invisible format
// characters become visible.
void appendVisible(std::string &out, char32_t cp) {
    if (cp < 0x20)
        appendUtf8(out, 0x2400 + cp); // control pictures: NUL -> U+2400
    else if (cp == 0x7F)
        appendUtf8(out, 0x2421);
    else if (cp >= 0x80 && cp < 0xA0)
        appendEscape(out, "\\x%02X", static_cast<unsigned>(cp));
    else if ((cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202E) ||
             (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF)
        appendEscape(out, "\\u%04X", static_cast<unsigned>(cp));
    else
        appendUtf8(out, cp);
}

std::string notFound(const std::filesystem::path &path) { return "File not found: " + path.string(); }

std::string failure(const char *what, const std::filesystem::path &path, int err) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(err);
}

// Opens a regular file for reading and gives its size, or says why it cannot
// be read. Without blocking: a pipe put in a file's place would wait for a
// writer for ever.
std::optional<std::string> openForReading(const std::filesystem::path &path, int &fd, std::uint64_t &size) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            return notFound(path);
        return failure("Cannot open the file", path, err);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        fd = -1;
        return failure("Cannot read the file", path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        // A device such as /dev/zero never ends.
        return "Cannot read the file " + path.string() +
               (S_ISDIR(st.st_mode) ? ": it is a folder, not a file" : ": it is not a regular file");
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return std::nullopt;
}

// No further than the size the file had when opened, even while it grows.
// A file under /proc reports no size at all and is read to its end.
std::size_t withinSize(std::uint64_t size, std::uint64_t offset, std::size_t count) {
    if (size == 0)
        return count;
    if (offset >= size)
        return 0;
    return size - offset < count ? static_cast<std::size_t>(size - offset) : count;
}

// Reads up to `count` bytes at `offset` into `into`, fewer at the end of the
// file; `got` says how many. The system's error number of a failed read, else 0.
int readAt(int fd, std::uint64_t offset, char *into, std::size_t count, std::size_t &got) {
    got = 0;
    auto at = static_cast<off_t>(offset);
    while (got < count) {
        const ssize_t n = ::pread(fd, into + got, count - got, at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
        at += n;
    }
    return 0;
}

// Reads up to `count` bytes at `offset`; gives the size the file reports
// through `fileSize` when asked for it, and refuses with `tooLarge` a file
// that reports more than `largest` before reading any of it.
std::optional<std::string> readRange(const std::filesystem::path &path, std::uint64_t offset, std::size_t count,
                                     std::string &bytes, const std::function<bool(std::string_view)> &going,
                                     std::uint64_t *fileSize = nullptr,
                                     std::uint64_t largest = std::numeric_limits<std::uint64_t>::max(),
                                     const std::string &tooLarge = {}) {
    bytes.clear();
    int fd = -1;
    std::uint64_t size = 0;
    if (auto err = openForReading(path, fd, size))
        return err;
    if (fileSize)
        *fileSize = size;
    if (size > largest) {
        ::close(fd);
        return tooLarge;
    }
    count = withinSize(size, offset, count);
    char buf[65536];
    std::uint64_t at = offset;
    while (bytes.size() < count) {
        std::size_t n = 0;
        if (const int err = readAt(fd, at, buf, std::min(sizeof buf, count - bytes.size()), n)) {
            ::close(fd);
            bytes.clear();
            return failure("Cannot read the file", path, err);
        }
        if (n == 0)
            break;
        bytes.append(buf, n);
        at += n;
        if (going && !going(bytes))
            break;
    }
    ::close(fd);
    return std::nullopt;
}

} // namespace

FileText TextOfFile(std::string_view bytes) {
    FileText t;
    if (bytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        bytes.remove_prefix(ByteOrderMark.size());
        t.utf8 = true;
    }
    t.text = bytes.substr(0, bytes.find(CtrlZ));
    return t;
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::string_view line; TakeTextLine(text, line);)
        lines.push_back(line);
    return lines;
}

bool TakeTextLine(std::string_view &text, std::string_view &line) {
    if (text.empty())
        return false;
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        line = text;
        text = {};
        return true;
    }
    line = text.substr(0, end);
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
    return true;
}

std::vector<std::string> SplitAt(std::string_view text, char separator) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path &path, std::size_t maxBytes,
                                         std::string &bytes, const std::string &tooLarge) {
    // One byte more than the limit tells a file that reports no size apart.
    const std::size_t count = maxBytes < std::string::npos ? maxBytes + 1 : maxBytes;
    if (auto err = readRange(path, 0, count, bytes, {}, nullptr, maxBytes, tooLarge))
        return err;
    if (bytes.size() > maxBytes) {
        bytes.clear();
        return tooLarge;
    }
    return std::nullopt;
}

std::optional<std::string> CheckFileToRead(const std::filesystem::path &path) {
    int fd = -1;
    std::uint64_t size = 0;
    if (auto err = openForReading(path, fd, size))
        return err;
    ::close(fd);
    return std::nullopt;
}

std::string LargerThanAny(const std::string &kind, const std::filesystem::path &path, std::size_t maxBytes) {
    return "The " + kind + " " + path.string() + " is larger than any " + kind + " (more than " +
           std::to_string(maxBytes) + " bytes).";
}

std::optional<std::string> ReadFileStartWhile(const std::filesystem::path &path, std::size_t maxBytes,
                                              std::string &bytes,
                                              const std::function<bool(std::string_view)> &going) {
    return readRange(path, 0, maxBytes, bytes, going);
}

std::optional<std::string> ReadFileAt(const std::filesystem::path &path, std::uint64_t offset, std::size_t count,
                                      std::string &bytes, std::uint64_t *fileSize) {
    return readRange(path, offset, count, bytes, {}, fileSize);
}

std::optional<std::string> ReadFileInto(const std::filesystem::path &path, std::uint64_t offset, char *into,
                                        std::size_t count, std::size_t &got, std::uint64_t *fileSize) {
    got = 0;
    int fd = -1;
    std::uint64_t size = 0;
    if (auto err = openForReading(path, fd, size))
        return err;
    if (fileSize)
        *fileSize = size;
    const int err = readAt(fd, offset, into, withinSize(size, offset, count), got);
    ::close(fd);
    if (err) {
        got = 0;
        return failure("Cannot read the file", path, err);
    }
    return std::nullopt;
}

std::string QuoteFileText(std::string_view raw, bool utf8, std::size_t maxChars) {
    return "\"" + ShowFileText(raw, utf8, maxChars) + "\"";
}

std::string ShowFileText(std::string_view raw, bool utf8, std::size_t maxChars) {
    std::string out;
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < raw.size() && chars < maxChars) {
        const auto b = static_cast<unsigned char>(raw[i]);
        if (utf8) {
            char32_t cp = 0;
            const std::size_t len = decodeUtf8Char(raw, i, cp);
            if (len == 0) {
                appendEscape(out, "\\x%02X", b);
                ++i;
            } else {
                appendVisible(out, cp);
                i += len;
            }
        } else {
            // Bytes that stand for no character come out as U+0081 etc.,
            // which show as "\x81".
            appendVisible(out, fromCp1252(b));
            ++i;
        }
        ++chars;
    }
    if (i < raw.size())
        out += "\u2026";
    return out;
}

} // namespace tavisol::numfmt
