#include "numfmt/textfile.h"

#include <algorithm>
#include <array>

#include "numfmt/printline.h"
#include "numfmt/textread.h"

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

} // namespace

char32_t fromCp1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b; }

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
    auto note = [&found](std::string_view c) {
        for (const auto& f : found)
            if (f == c) return;
        found.emplace_back(c);
    };
    std::size_t i = 0;
    while (i < s.size()) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8Char(s, i, cp);
        if (len == 0) {
            note("\xEF\xBF\xBD");
            ++i;
            continue;
        }
        // A character that comes back as another one (U+2212 as "-") is
        // not written either.
        const int b = toCp1252(cp);
        if (b < 0 || fromCp1252(static_cast<unsigned char>(b)) != cp) note(s.substr(i, len));
        i += len;
    }
    return found;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, fromCp1252(c));
    }
    return out;
}

// ---------------------------------------------------------------------------

void ChangedNames::add(const std::string& known, const std::string& written) {
    if (known_.insert(known).second) list_.push_back({known, written});
}

void ChangedNames::merge(const ChangedNames& other) {
    for (const ChangedName& n : other.list_) add(n.Known, n.Written);
}

std::string WithChangedNames(std::string message, const ChangedNames& names) {
    if (names.empty()) return message;
    const std::size_t n = names.size();
    message += "\r" + (n == 1 ? std::string("1 name was") : std::to_string(n) + " names were") +
               " written with \"?\" for the characters that Windows-1252 files cannot hold:";
    const std::size_t shown = std::min(n, ChangedNamesListed);
    for (std::size_t k = 0; k < shown; ++k)
        message += "\r" + QuoteFileText(names.list()[k].Known, true) + " as " +
                   QuoteFileText(names.list()[k].Written, true);
    if (shown < n) message += "\r... and " + std::to_string(n - shown) + " more.";
    return message;
}

// ---------------------------------------------------------------------------

TextFileWriter::TextFileWriter(const std::filesystem::path& path, Mode mode) { open(path, mode); }

TextFileWriter::~TextFileWriter() { discard(); }

void TextFileWriter::fail(const std::string& what) {
    if (error_.empty()) error_ = what;
}

void TextFileWriter::fail(const FileWriteFailure& failure) {
    using Step = FileWriteFailure::Step;
    const char* what = failure.step == Step::Open     ? "Cannot open file"
                       : failure.step == Step::Create ? "Cannot create file"
                       : failure.step == Step::Write  ? "Cannot write file"
                                                      : "Cannot save file";
    fail(std::string(what) + " '" + path_.string() + "': " + failure.reason());
}

bool TextFileWriter::open(const std::filesystem::path& path, Mode mode) {
    discard();
    path_ = path;
    error_.clear();
    replaced_ = 0;
    changed_ = {};
    taken_ = 0;
    handedOver_ = 0;
    if (const auto failure = file_.open(path, mode)) {
        fail(*failure);
        return false;
    }
    return true;
}

void TextFileWriter::write(std::string_view utf8, std::span<const NameInText> names) {
    if (!isOpen() || failed()) return;
    std::size_t bad = 0;
    const std::string bytes = utf8ToCp1252(utf8, &bad);
    buffer_ += bytes;
    taken_ += bytes.size();
    replaced_ += bad;
    if (bad > 0) noteChanged(utf8, names);
    if (buffer_.size() >= (1u << 16)) flush();
}

void TextFileWriter::noteChanged(std::string_view utf8, std::span<const NameInText> names) {
    const auto written = [](std::string_view text) { return cp1252ToUtf8(utf8ToCp1252(text)); };
    // The longer names first, so that a name inside another is not taken
    // for it; each one found is blanked, and what still loses characters
    // afterwards belongs to no name.
    std::vector<const NameInText*> longestFirst;
    for (const NameInText& n : names)
        if (!n.Written.empty()) longestFirst.push_back(&n);
    std::stable_sort(longestFirst.begin(), longestFirst.end(),
                     [](const NameInText* a, const NameInText* b) { return a->Written.size() > b->Written.size(); });
    std::string rest(utf8);
    for (const NameInText* n : longestFirst) {
        std::size_t lost = 0;
        utf8ToCp1252(n->Written, &lost);
        if (lost == 0) continue;
        bool found = false;
        for (std::size_t at = rest.find(n->Written); at != std::string::npos;
             at = rest.find(n->Written, at + n->Written.size())) {
            rest.replace(at, n->Written.size(), n->Written.size(), ' ');
            found = true;
        }
        if (found) changed_.add(n->Known.empty() ? n->Written : n->Known, written(n->Written));
    }
    std::size_t left = 0;
    utf8ToCp1252(rest, &left);
    if (left == 0) return;
    const std::size_t first = utf8.find_first_not_of(' ');
    const std::string_view text = utf8.substr(first, utf8.find_last_not_of(' ') - first + 1);
    changed_.add(std::string(text), written(text));
}

void TextFileWriter::writeLine(std::string_view utf8, std::span<const NameInText> names) {
    write(utf8, names);
    write("\r\n");
}

void TextFileWriter::writeLine(const PrintLine& line) {
    for (const auto& s : line.lines()) writeLine(s);
}

bool TextFileWriter::flush() {
    if (!isOpen() || failed()) return false;
    if (buffer_.empty()) return true;
    const auto failure = file_.write(buffer_);
    if (!failure) handedOver_ += buffer_.size();
    buffer_.clear();
    if (failure) {
        fail(*failure);
        return false;
    }
    return true;
}

bool TextFileWriter::readyToCommit() {
    if (!isOpen()) {
        if (!failed()) fail("File '" + path_.string() + "' is not open");
        return false;
    }
    if (!flush()) {
        discard();
        return false;
    }
    return true;
}

bool TextFileWriter::commit() {
    if (!readyToCommit()) return false;
    if (const auto failure = file_.commit()) {
        fail(*failure);
        return false;
    }
    return true;
}

void TextFileWriter::commitOrThrow() {
    if (!commit()) throw TextFileError(error_);
}

void TextFileWriter::discard() {
    file_.discard();
    buffer_.clear();
}

void CommitTogether(std::initializer_list<TextFileWriter*> files,
                    const std::vector<std::filesystem::path>& writtenLater) {
    using Mode = TextFileWriter::Mode;
    TextFileWriter* failed = nullptr;
    // Checked before an append reaches its file.
    std::vector<std::filesystem::path> targets = writtenLater;
    for (TextFileWriter* w : files) targets.push_back(w->file_.target());
    if (const auto same = SameTarget(targets); same && same->file >= writtenLater.size()) {
        failed = std::data(files)[same->file - writtenLater.size()];
        failed->fail(same->failure);
    }
    // Every file written out whole first: the replaced ones beside their
    // targets, then the appends.
    for (const Mode mode : {Mode::Replace, Mode::Append})
        for (TextFileWriter* w : files) {
            if (failed || w->file_.mode() != mode) continue;
            if (!w->readyToCommit()) {
                failed = w;
            } else if (const auto failure = w->file_.finish()) {
                w->fail(*failure);
                failed = w;
            }
        }
    // The replaced files go in place as one set, all or none.
    if (!failed) {
        std::vector<ByteFileWriter*> set;
        std::vector<TextFileWriter*> owners;
        for (TextFileWriter* w : files)
            if (w->file_.mode() == Mode::Replace) {
                set.push_back(&w->file_);
                owners.push_back(w);
            }
        if (const auto failure = CommitFileSet(set)) {
            failed = owners[failure->file];
            failed->fail(failure->failure);
        }
    }
    if (!failed) return;
    for (TextFileWriter* w : files) w->discard();
    throw TextFileError(failed->error());
}

} // namespace tavisol::numfmt
