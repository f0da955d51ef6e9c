#include "numfmt/bytefile.h"

#include <atomic>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numfmt/textfile.h"

namespace tavisol::numfmt {

namespace {

std::atomic<unsigned> tempCounter{0};

// A short name of its own beside the target, so it fits wherever the
// target's name fits.
std::filesystem::path NameBeside(const std::filesystem::path &folder) {
    return folder / (".~" + std::to_string(::getpid()) + "-" + std::to_string(tempCounter.fetch_add(1)) + ".tmp");
}

FileWriteFailure failure(FileWriteFailure::Step step, int error) { return FileWriteFailure{step, error}; }

// The file a chain of symbolic links ends at (the path itself when it is no
// link); false for a chain that loops or cannot be read.
bool FinalTarget(std::filesystem::path &path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) return true;
        const std::filesystem::path to = std::filesystem::read_symlink(path, error);
        if (error) return false;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return false;
}

// A file name as names are compared where the files are read: the letters of
// Windows-1252 in lower case.
std::string FoldedName(const std::string &utf8) {
    std::string folded;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8Char(utf8, i, c);
        if (length == 0) {
            folded += utf8[i++];
            continue;
        }
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
        else if (c == 0x160 || c == 0x152 || c == 0x17D) ++c;  // Š Œ Ž
        else if (c == 0x178) c = 0xFF;                          // Ÿ
        appendUtf8(folded, c);
        i += length;
    }
    return folded;
}

// Where a file lands: its folder (as the system knows it, whatever the path
// that leads there) and its folded name; through a symbolic link, where the
// file it points to lands.
struct Landing {
    bool folderKnown = false;
    dev_t device = 0;
    ino_t node = 0;
    std::filesystem::path folder;
    std::string name;

    explicit Landing(std::filesystem::path path) {
        FinalTarget(path);
        folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
        struct stat st {};
        folderKnown = ::stat(folder.c_str(), &st) == 0;
        device = st.st_dev;
        node = st.st_ino;
        folder = folder.lexically_normal();
        name = FoldedName(path.filename().string());
    }
    bool same(const Landing &other) const {
        if (name != other.name) return false;
        if (folderKnown && other.folderKnown) return device == other.device && node == other.node;
        return folder == other.folder;
    }
};

} // namespace

std::string FileWriteFailure::reason() const {
    return detail.empty() ? std::generic_category().message(error) : detail;
}

std::optional<FileSetFailure> SameTarget(const std::vector<std::filesystem::path> &files) {
    std::vector<Landing> landings;
    for (std::size_t k = 0; k < files.size(); ++k) {
        landings.emplace_back(files[k]);
        for (std::size_t j = 0; j < k; ++j) {
            if (!landings[k].same(landings[j])) continue;
            const std::string earlier = files[j].filename().string();
            FileWriteFailure why{FileWriteFailure::Step::Save, EEXIST};
            why.detail = earlier == files[k].filename().string()
                             ? "two files of the same save would be written to it"
                             : "it is the same file as " + earlier + ", which is saved with it";
            return FileSetFailure{k, why};
        }
    }
    return std::nullopt;
}

ByteFileWriter::~ByteFileWriter() { discard(); }

std::optional<FileWriteFailure> ByteFileWriter::failAndDiscard(FileWriteFailure::Step step, int error) {
    discard();
    return failure(step, error);
}

std::optional<FileWriteFailure> ByteFileWriter::open(const std::filesystem::path &path, Mode mode) {
    discard();
    path_ = path;
    mode_ = mode;
    keepMode_ = false;
    // Through a symbolic link the file it points to is written, as editors do,
    // and the link stays.
    if (!FinalTarget(path_)) return failure(FileWriteFailure::Step::Open, ELOOP);
    // A folder in the way is left to finish() to tell about.
    struct stat target {};
    const bool exists = ::stat(path_.c_str(), &target) == 0;
    const bool regular = exists && S_ISREG(target.st_mode);
    // A device or pipe is never renamed over nor written into: opening a pipe
    // for appending would wait for a reader for ever.
    if (exists && !regular && !S_ISDIR(target.st_mode)) return failure(FileWriteFailure::Step::Open, ENOTSUP);
    if (regular) {
        // Opening it for writing tells what the system allows this user; a
        // file without any write bit counts as read-only even for root.
        const int probe = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (probe < 0) return failure(FileWriteFailure::Step::Open, errno);
        ::close(probe);
        if ((target.st_mode & 0222) == 0) return failure(FileWriteFailure::Step::Open, EACCES);
    }
    if (mode == Mode::Append) {
        // Without blocking, and checked again once open: a pipe or device may
        // have taken the file's place since.
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
        if (fd_ < 0) return failure(FileWriteFailure::Step::Open, errno);
        struct stat opened {};
        if (::fstat(fd_, &opened) != 0) return failAndDiscard(FileWriteFailure::Step::Open, errno);
        if (!S_ISREG(opened.st_mode)) return failAndDiscard(FileWriteFailure::Step::Open, ENOTSUP);
        if (::fcntl(fd_, F_SETFL, O_APPEND) != 0) return failAndDiscard(FileWriteFailure::Step::Open, errno);
        return std::nullopt;
    }
    // A file that is replaced hands its mode on; until then the bytes stay
    // private (0600), so a private file's content is never readable by others.
    if (regular) {
        keepMode_ = true;
        keptMode_ = target.st_mode & 07777;
        keptUid_ = target.st_uid;
        keptGid_ = target.st_gid;
    }
    // Beside the target so the rename stays on one file system; a new file is
    // created with 0666 so the umask gives it the usual mode.
    const std::filesystem::path folder = path_.parent_path();
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = NameBeside(folder);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keepMode_ ? 0600 : 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const int error = errno;
        temp_.clear();
        return failure(FileWriteFailure::Step::Create, error);
    }
    return std::nullopt;
}

std::optional<FileWriteFailure> ByteFileWriter::write(std::string_view bytes) {
    if (fd_ < 0) return failure(FileWriteFailure::Step::Write, EBADF);
    off_t before = -1;
    if (mode_ == Mode::Append) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0) before = st.st_size;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            // Cut off the part of the chunk that did get written.
            if (mode_ == Mode::Append && before >= 0 && ::ftruncate(fd_, before) != 0) {
                // Nothing more can be done; the failure already says why.
            }
            return failure(FileWriteFailure::Step::Write, error);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

std::optional<FileWriteFailure> ByteFileWriter::finish() {
    using Step = FileWriteFailure::Step;
    if (finished_) return std::nullopt;
    if (fd_ < 0) return failure(Step::Write, EBADF);
    // Only a replaced file needs its bytes on disk before the rename; appends
    // come once per row in batch runs, where a sync each would crawl.
    if (mode_ == Mode::Replace && ::fsync(fd_) != 0 && errno != EINVAL) return failAndDiscard(Step::Write, errno);
    if (mode_ == Mode::Replace && keepMode_) {
        // The owner first: changing it may clear set-id bits that fchmod restores.
        if (::fchown(fd_, keptUid_, keptGid_) != 0) {
            // Not allowed for this user: the file becomes the user's own.
        }
        if (::fchmod(fd_, static_cast<mode_t>(keptMode_)) != 0) return failAndDiscard(Step::Save, errno);
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return failAndDiscard(Step::Write, errno);
    // The rename would refuse a folder; found now, before any file of a set
    // is put in place.
    struct stat target {};
    if (mode_ == Mode::Replace && ::stat(path_.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
        return failAndDiscard(Step::Save, EISDIR);
    finished_ = true;
    return std::nullopt;
}

std::optional<FileWriteFailure> ByteFileWriter::commit() {
    if (auto failed = finish()) return failed;
    finished_ = false;
    if (mode_ == Mode::Replace) {
        if (::rename(temp_.c_str(), path_.c_str()) != 0) return failAndDiscard(FileWriteFailure::Step::Save, errno);
        temp_.clear();
    }
    return std::nullopt;
}

void ByteFileWriter::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    finished_ = false;
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

std::optional<FileWriteFailure> WriteWholeFile(const std::filesystem::path &path,
                                               const std::vector<std::string_view> &parts) {
    ByteFileWriter file;
    if (auto failed = file.open(path)) return failed;
    for (const std::string_view part : parts)
        if (auto failed = file.write(part)) return failed;
    return file.commit();
}

std::optional<FileSetFailure> CommitFileSet(const std::vector<ByteFileWriter *> &files) {
    using Step = FileWriteFailure::Step;
    const auto fail = [&files](std::size_t k, FileWriteFailure why) {
        for (ByteFileWriter *file : files) file->discard();
        return FileSetFailure{k, why};
    };
    std::vector<std::filesystem::path> targets;
    for (const ByteFileWriter *file : files) targets.push_back(file->path_);
    if (auto same = SameTarget(targets)) return fail(same->file, same->failure);
    for (std::size_t k = 0; k < files.size(); ++k) {
        ByteFileWriter &file = *files[k];
        if (file.mode_ != ByteFileWriter::Mode::Replace) return fail(k, failure(Step::Write, EINVAL));
        if (auto failed = file.finish()) return fail(k, *failed);
    }
    // Each replaced file is kept under a name of its own until all are in
    // place: as a second link, so that the target never goes missing, or
    // moved aside where the file system has no links.
    std::vector<std::filesystem::path> kept(files.size());
    const auto keep = [&kept](std::size_t k, const std::filesystem::path &target, bool &aside) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path name = NameBeside(target.parent_path());
            if (::link(target.c_str(), name.c_str()) == 0) {
                kept[k] = name;
                return 0;
            }
            if (errno == EEXIST) continue;
            struct stat taken {};
            if (::lstat(name.c_str(), &taken) == 0) continue;
            if (::rename(target.c_str(), name.c_str()) != 0) return errno;
            kept[k] = name;
            aside = true;
            return 0;
        }
        return EEXIST;
    };
    // The files already in place get their old bytes back (a new one goes);
    // an old file that cannot be put back stays under its kept name.
    const auto putBack = [&](std::size_t placed) {
        while (placed > 0) {
            --placed;
            const std::filesystem::path &target = files[placed]->path_;
            if (kept[placed].empty()) ::unlink(target.c_str());
            else if (::rename(kept[placed].c_str(), target.c_str()) == 0) kept[placed].clear();
        }
    };
    for (std::size_t k = 0; k < files.size(); ++k) {
        ByteFileWriter &file = *files[k];
        bool aside = false;
        struct stat old {};
        int error = 0;
        if (::stat(file.path_.c_str(), &old) == 0)
            error = S_ISREG(old.st_mode) ? keep(k, file.path_, aside) : S_ISDIR(old.st_mode) ? EISDIR : ENOTSUP;
        if (error == 0 && ::rename(file.temp_.c_str(), file.path_.c_str()) != 0) {
            error = errno;
            // The target still holds its old bytes, or gets them back.
            if (!kept[k].empty()) {
                if (!aside) ::unlink(kept[k].c_str());
                if (!aside || ::rename(kept[k].c_str(), file.path_.c_str()) == 0) kept[k].clear();
            }
        }
        if (error != 0) {
            putBack(k);
            return fail(k, failure(Step::Save, error));
        }
        file.temp_.clear();
        file.finished_ = false;
    }
    for (const std::filesystem::path &name : kept)
        if (!name.empty()) ::unlink(name.c_str());
    return std::nullopt;
}

std::optional<FileSetFailure> WriteWholeFiles(const std::vector<WholeFile> &files) {
    std::vector<ByteFileWriter> writers(files.size());
    std::vector<ByteFileWriter *> set;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const auto fail = [&](FileWriteFailure why) {
            for (ByteFileWriter &writer : writers) writer.discard();
            return FileSetFailure{k, why};
        };
        if (auto failed = writers[k].open(files[k].path)) return fail(*failed);
        for (const std::string_view part : files[k].parts)
            if (auto failed = writers[k].write(part)) return fail(*failed);
        set.push_back(&writers[k]);
    }
    return CommitFileSet(set);
}

} // namespace tavisol::numfmt
