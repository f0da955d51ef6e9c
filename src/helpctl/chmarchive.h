#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct chmFile;

namespace tavisol::help {

// Read access to a compiled HTML help file: its pages by path and the names
// the file records for its contents, index, start page and title.
class ChmArchive {
public:
    ChmArchive() = default;
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    // False when the file is missing, is no regular file (a pipe is not
    // waited for) or is not a compiled help file.
    bool open(const std::string &path);
    bool isOpen() const { return file_ != nullptr; }

    // The stored object at path ("/page.htm"; a missing leading slash is added);
    // none when the length the archive states for it cannot be right.
    std::optional<std::string> read(const std::string &path) const;

    // Paths inside the archive, each with its leading slash; empty when none.
    const std::string &contentsPath() const { return contents_; }
    const std::string &indexPath() const { return index_; }
    const std::string &defaultTopic() const { return defaultTopic_; }
    const std::string &title() const { return title_; }

private:
    void readSystem();
    void findByExtension();

    chmFile *file_ = nullptr;
    std::uint64_t fileSize_ = 0;
    std::string contents_;
    std::string index_;
    std::string defaultTopic_;
    std::string title_;
};

// Joins a page reference onto the folder of the page that names it and removes
// "." and ".." steps; the fragment is dropped. The result starts with "/".
std::string resolvePath(const std::string &basePage, const std::string &reference);

} // namespace tavisol::help
