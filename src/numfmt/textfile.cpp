#include "numfmt/textfile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numfmt/printline.h"

namespace tavisol::numfmt {

namespace {

// Code points of the bytes 0x80..0x9F; the unassigned bytes keep their C1 code.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int toCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    if (cp == 0x202F || cp == 0x2007) return 0xA0; // narrow / figure no-break space
    if (cp == 0x2212) return '-';
    return -1;
}

std::string describe(const char* what, const std::filesystem::path& p, int err) {
    return std::string(what) + " '" + p.string() + "': " + std::strerror(err);
}

std::atomic<unsigned> tempCounter{0};

// 0 when `path` may be written over (or does not exist yet), else the errno
// that refuses it. Opening it for writing tells what the system allows this
// user; a file without any write bit counts as read-only even for root.
int writeRefusal(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    if (!S_ISREG(st.st_mode)) return 0;  // let the real open or rename tell
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    ::close(fd);
    return (st.st_mode & 0222) == 0 ? EACCES : 0;
}

} // namespace

void appendUtf8(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t decodeUtf8Char(std::string_view s, std::size_t i, char32_t &cp) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if (c >= 0xC2 && c <= 0xDF) {
        cp = c & 0x1F;
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        cp = c & 0x0F;
        len = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
        cp = c & 0x07;
        len = 4;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are no characters.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

std::string utf8ToCp1252(std::string_view s, std::size_t* replaced) {
    std::string out;
    out.reserve(s.size());
    std::size_t bad = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8Char(s, i, cp);
        const bool ok = len > 0;
        if (!ok) {
            out.push_back('?');
            ++bad;
            ++i;
            continue;
        }
        const int b = toCp1252(cp);
        if (b < 0) {
            out.push_back('?');
            ++bad;
        } else {
            out.push_back(static_cast<char>(b));
        }
        i += len;
    }
    if (replaced) *replaced = bad;
    return out;
}

std::vector<std::string> charactersOutsideCp1252(std::string_view s) {
    std::vector<std::string> found;
    auto note = [&found](std::string c) {
        for (const auto& f : found)
            if (f == c) return;
        found.push_back(std::move(c));
    };
    std::size_t i = 0;
    while (i < s.size()) {
        // One character: a lead byte and its continuation bytes.
        std::size_t len = 1;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0xC0) len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        std::size_t k = 1;
        while (k < len && i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80) ++k;
        const std::string_view one = s.substr(i, k);
        std::size_t bad = 0;
        // A character that comes back as another one (U+2212 as "-") is
        // not written either.
        const bool same = cp1252ToUtf8(utf8ToCp1252(one, &bad)) == one;
        if (bad > 0 || !same) note(k == len && bad <= 1 ? std::string(one) : std::string("\xEF\xBF\xBD"));
        i += k;
    }
    return found;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xA0) appendUtf8(out, kHigh[c - 0x80]);
        else appendUtf8(out, c);
    }
    return out;
}

// ---------------------------------------------------------------------------

TextFileWriter::TextFileWriter(const std::filesystem::path& path, Mode mode) { open(path, mode); }

TextFileWriter::~TextFileWriter() { discard(); }

void TextFileWriter::fail(const std::string& what) {
    if (error_.empty()) error_ = what;
}

void TextFileWriter::closeFd() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool TextFileWriter::open(const std::filesystem::path& path, Mode mode) {
    discard();
    path_ = path;
    mode_ = mode;
    buffer_.clear();
    error_.clear();
    replaced_ = 0;
    keepMode_ = false;
    if (const int refused = writeRefusal(path); refused != 0) {
        fail(describe("Cannot open file", path, refused));
        return false;
    }
    if (mode == Mode::Append) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (fd_ < 0) fail(describe("Cannot open file", path, errno));
        return fd_ >= 0;
    }
    // A file that is replaced hands its mode on; until then the text stays
    // private (0600), so a private file's text is never readable by others.
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode)) {
        keepMode_ = true;
        keptMode_ = target.st_mode & 07777;
        keptUid_ = target.st_uid;
        keptGid_ = target.st_gid;
    }
    // The temporary file sits beside the target so the rename stays on one
    // file system; a new file is created with 0666 so the umask gives it the
    // usual mode.
    std::string stem = path.filename().string();
    if (stem.size() > 180) stem.resize(180);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = path.parent_path() / ("." + stem + ".~" + std::to_string(::getpid()) + "-" +
                                      std::to_string(tempCounter.fetch_add(1)) + ".tmp");
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keepMode_ ? 0600 : 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        fail(describe("Cannot create file", path, errno));
        temp_.clear();
        return false;
    }
    return true;
}

void TextFileWriter::write(std::string_view utf8) {
    if (fd_ < 0 || failed()) return;
    std::size_t bad = 0;
    buffer_ += utf8ToCp1252(utf8, &bad);
    replaced_ += bad;
    if (buffer_.size() >= (1u << 16)) flush();
}

void TextFileWriter::writeLine(std::string_view utf8) {
    write(utf8);
    write("\r\n");
}

void TextFileWriter::writeLine(const PrintLine& line) {
    for (const auto& s : line.lines()) writeLine(s);
}

bool TextFileWriter::writeAll(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(describe("Cannot write file", path_, errno));
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool TextFileWriter::flush() {
    if (fd_ < 0 || failed()) return false;
    if (buffer_.empty()) return true;
    off_t before = -1;
    if (mode_ == Mode::Append) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0) before = st.st_size;
    }
    if (!writeAll(buffer_)) {
        // Cut off the part of the chunk that did get written.
        if (mode_ == Mode::Append && before >= 0 && ::ftruncate(fd_, before) != 0) {
            // Nothing more can be done; the error already says why.
        }
        buffer_.clear();
        return false;
    }
    buffer_.clear();
    return true;
}

bool TextFileWriter::commit() {
    if (fd_ < 0) {
        if (!failed()) fail("File '" + path_.string() + "' is not open");
        return false;
    }
    if (!flush()) {
        discard();
        return false;
    }
    // Only a replaced file needs its bytes on disk before the rename; appends
    // come once per row in batch runs, where a sync each would crawl.
    if (mode_ == Mode::Replace && ::fsync(fd_) != 0 && errno != EINVAL) {
        fail(describe("Cannot write file", path_, errno));
        discard();
        return false;
    }
    if (mode_ == Mode::Replace && keepMode_) {
        // The owner first: changing it may clear set-id bits that fchmod restores.
        if (::fchown(fd_, keptUid_, keptGid_) != 0) {
            // Not allowed for this user: the file becomes the user's own.
        }
        if (::fchmod(fd_, static_cast<mode_t>(keptMode_)) != 0) {
            fail(describe("Cannot save file", path_, errno));
            discard();
            return false;
        }
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail(describe("Cannot write file", path_, errno));
        discard();
        return false;
    }
    fd_ = -1;
    if (mode_ == Mode::Replace) {
        if (::rename(temp_.c_str(), path_.c_str()) != 0) {
            fail(describe("Cannot save file", path_, errno));
            ::unlink(temp_.c_str());
            temp_.clear();
            return false;
        }
        temp_.clear();
    }
    return true;
}

void TextFileWriter::commitOrThrow() {
    if (!commit()) throw TextFileError(error_);
}

void TextFileWriter::discard() {
    closeFd();
    buffer_.clear();
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

} // namespace tavisol::numfmt
