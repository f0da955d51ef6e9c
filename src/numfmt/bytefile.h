#pragma once
// Files as byte streams, written the one safe way every writer of the program
// shares (text files, raster images, their companions).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavisol::numfmt {

// Why a file could not be written: the step that failed and the system's
// error number. Each writer words the message its own way.
struct FileWriteFailure {
    enum class Step {
        Open,   // the target refuses writing (or appending)
        Create, // no temporary file could be made beside the target
        Write,  // writing, syncing or closing the bytes
        Save,   // handing on the mode, or the rename over the target
    };
    Step step = Step::Open;
    int error = 0;
    // Set where the system gives no reason of its own (two files of a set
    // aimed at one file); reason() then tells it.
    std::string detail = {};
    // The system's reason, e.g. "Permission denied".
    std::string reason() const;
};

// Which file of a set could not be written, and why.
struct FileSetFailure {
    std::size_t file = 0;  // index into the set
    FileWriteFailure failure;
};

class ByteFileWriter;
std::optional<FileSetFailure> CommitFileSet(const std::vector<ByteFileWriter *> &files);

// The first of the files that would land on the same file as one before it:
// in one folder under names that are the same letter case aside (the files
// are read where names are compared so), or through a symbolic link. Its
// failure names that earlier file. Nothing when all are distinct.
std::optional<FileSetFailure> SameTarget(const std::vector<std::filesystem::path> &files);

// Writes one file.
//   Replace: the bytes go to a temporary file under a short name of its own
//            beside the target (so it fits wherever the target's name fits),
//            which commit() syncs and renames over the target. Until then an
//            existing file stays as it was, and a failure or an abandoned
//            writer leaves no file behind. The temporary file is private
//            (0600) while it replaces a file, which then hands on its
//            permission bits (and, where allowed, its owner); a new file gets
//            the usual mode (0666 less the umask). Through a symbolic link the
//            file it points to is replaced, and the link stays.
//   Append:  the bytes are added at the end (the file is created when
//            missing); a chunk whose writing fails is cut off again.
// A read-only target (one that cannot be opened for writing, or that has no
// write permission bit at all, even for root) and a device or pipe at the
// target are refused by open() in both modes, without waiting on a pipe.
// After a failure the writer should be discarded.
class ByteFileWriter {
public:
    enum class Mode { Replace, Append };

    ByteFileWriter() = default;
    ~ByteFileWriter();
    ByteFileWriter(const ByteFileWriter &) = delete;
    ByteFileWriter &operator=(const ByteFileWriter &) = delete;

    // A writer still open is discarded first.
    std::optional<FileWriteFailure> open(const std::filesystem::path &path, Mode mode = Mode::Replace);
    std::optional<FileWriteFailure> write(std::string_view bytes);
    // Closes; Replace syncs first and then puts the file in place. On failure
    // nothing is left behind (Replace) and the writer is closed.
    std::optional<FileWriteFailure> commit();
    // The first half of commit(): syncs, hands on the mode and closes
    // (Replace: beside its target, and a folder standing at the target is
    // found here), so that only the rename is left to commit() or to
    // CommitFileSet. On failure nothing is left.
    std::optional<FileWriteFailure> finish();
    // Drops the writing (Replace: removes the temporary file).
    void discard();

    bool isOpen() const { return fd_ >= 0; }
    Mode mode() const { return mode_; }
    // The file written (through a symbolic link, the file it points to).
    const std::filesystem::path &target() const { return path_; }

private:
    friend std::optional<FileSetFailure> CommitFileSet(const std::vector<ByteFileWriter *> &files);
    std::optional<FileWriteFailure> failAndDiscard(FileWriteFailure::Step step, int error);

    std::filesystem::path path_;
    std::filesystem::path temp_;
    Mode mode_ = Mode::Replace;
    int fd_ = -1;
    // Replace over an existing file: its mode and owner, given to the new one.
    bool keepMode_ = false;
    unsigned keptMode_ = 0;
    unsigned keptUid_ = 0;
    unsigned keptGid_ = 0;
    bool finished_ = false;  // closed, only the rename left
};

// Puts several written files (Replace writers, each holding its whole file)
// in place as one: a set that aims two files at one target is refused
// (SameTarget) and every writer discarded; every one is finished and every
// target is checked (no folder in the way) before the first rename, and a rename that fails puts
// the files already replaced back. So either all targets hold their new
// bytes or all are as they were. Every writer is closed afterwards.
std::optional<FileSetFailure> CommitFileSet(const std::vector<ByteFileWriter *> &files);

// Writes the parts, one after the other, as the whole of `path` (Replace).
std::optional<FileWriteFailure> WriteWholeFile(const std::filesystem::path &path,
                                               const std::vector<std::string_view> &parts);

// Several whole files as one set (CommitFileSet).
struct WholeFile {
    std::filesystem::path path;
    std::vector<std::string_view> parts;
};
std::optional<FileSetFailure> WriteWholeFiles(const std::vector<WholeFile> &files);

} // namespace tavisol::numfmt
