#include "helpctl/chmarchive.h"

#include <chm_lib.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "numfmt/textread.h"

namespace tavisol::help {

namespace {

// The archive states each object's length. No page, contents or index of a
// help file comes near this; a larger length is damage, not to be allocated.
constexpr std::uint64_t MaxObjectBytes = 32u << 20;

std::string withSlash(const std::string &path) {
    return !path.empty() && path.front() == '/' ? path : "/" + path;
}

bool endsWith(const std::string &s, const std::string &tail) {
    if (s.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

// A NUL-terminated text inside a #SYSTEM record.
std::string recordText(const std::string &data, std::size_t at, std::size_t length) {
    std::string s = data.substr(at, length);
    const auto nul = s.find('\0');
    return nul == std::string::npos ? s : s.substr(0, nul);
}

} // namespace

ChmArchive::~ChmArchive() {
    if (file_ != nullptr)
        chm_close(file_);
}

bool ChmArchive::open(const std::string &path) {
    if (file_ != nullptr) {
        chm_close(file_);
        file_ = nullptr;
    }
    contents_.clear();
    index_.clear();
    defaultTopic_.clear();
    title_.clear();
    // Only a regular file: the archive library would wait for ever on a pipe.
    if (numfmt::CheckFileToRead(path))
        return false;
    std::error_code ec;
    fileSize_ = std::filesystem::file_size(path, ec);
    if (ec)
        return false;
    file_ = chm_open(path.c_str());
    if (file_ == nullptr)
        return false;
    readSystem();
    if (contents_.empty() || index_.empty())
        findByExtension();
    return true;
}

std::optional<std::string> ChmArchive::read(const std::string &path) const {
    if (file_ == nullptr)
        return std::nullopt;
    chmUnitInfo info{};
    const std::string p = withSlash(path);
    if (chm_resolve_object(file_, p.c_str(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // An object stored as it is lies within the file.
    if (info.length > MaxObjectBytes || (info.space == CHM_UNCOMPRESSED && info.length > fileSize_))
        return std::nullopt;
    std::string data(static_cast<std::size_t>(info.length), '\0');
    if (info.length == 0)
        return data;
    const LONGINT64 got = chm_retrieve_object(file_, &info, reinterpret_cast<unsigned char *>(data.data()),
                                              0, static_cast<LONGINT64>(info.length));
    if (got != static_cast<LONGINT64>(info.length))
        return std::nullopt;
    return data;
}

// The #SYSTEM object: a version word, then records of (code, length, data).
void ChmArchive::readSystem() {
    const auto sys = read("/#SYSTEM");
    if (!sys || sys->size() < 4)
        return;
    const std::string &d = *sys;
    std::size_t at = 4;
    while (at + 4 <= d.size()) {
        const unsigned code = static_cast<unsigned char>(d[at]) | (static_cast<unsigned char>(d[at + 1]) << 8);
        const std::size_t length =
            static_cast<unsigned char>(d[at + 2]) | (static_cast<unsigned char>(d[at + 3]) << 8);
        at += 4;
        if (at + length > d.size())
            break;
        const std::string text = recordText(d, at, length);
        if (!text.empty()) {
            switch (code) {
            case 0: contents_ = withSlash(text); break;
            case 1: index_ = withSlash(text); break;
            case 2: defaultTopic_ = withSlash(text); break;
            case 3: title_ = text; break;
            default: break;
            }
        }
        at += length;
    }
}

void ChmArchive::findByExtension() {
    struct Found {
        std::string hhc, hhk;
    } found;
    chm_enumerate(
        file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES,
        [](chmFile *, chmUnitInfo *ui, void *context) -> int {
            auto *f = static_cast<Found *>(context);
            const std::string path = ui->path;
            if (f->hhc.empty() && endsWith(path, ".hhc"))
                f->hhc = path;
            if (f->hhk.empty() && endsWith(path, ".hhk"))
                f->hhk = path;
            return CHM_ENUMERATOR_CONTINUE;
        },
        &found);
    if (contents_.empty())
        contents_ = found.hhc;
    if (index_.empty())
        index_ = found.hhk;
}

std::string resolvePath(const std::string &basePage, const std::string &reference) {
    std::string ref = reference;
    const auto hash = ref.find('#');
    if (hash != std::string::npos)
        ref.erase(hash);
    std::string joined;
    if (!ref.empty() && ref.front() == '/') {
        joined = ref;
    } else {
        const auto slash = basePage.rfind('/');
        joined = (slash == std::string::npos ? std::string{} : basePage.substr(0, slash)) + "/" + ref;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const auto end = joined.find('/', start);
        const std::string part = joined.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    std::string out;
    for (const auto &p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

} // namespace tavisol::help
