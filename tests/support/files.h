#pragma once

// Files the tests write and read back byte for byte, huge sparse files, and a
// fresh folder for each test. Header only, so test programs without the
// engine can use it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavisol::testsupport {

inline std::string Slurp(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void Put(const std::filesystem::path &file, const std::string &bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// A file of `size` zero bytes that takes no room on disk.
inline void PutSparse(const std::filesystem::path &file, std::uintmax_t size) {
    Put(file, "");
    std::filesystem::resize_file(file, size);
}

inline std::size_t EntryCount(const std::filesystem::path &folder) {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// A pipe at `path` with a reader, so that a writer opening it goes on
// rather than waiting for one.
class PipeWithReader {
public:
    explicit PipeWithReader(const std::filesystem::path &path) {
        EXPECT_EQ(::mkfifo(path.c_str(), 0666), 0);
        reader_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    }
    ~PipeWithReader() { ::close(reader_); }
    PipeWithReader(const PipeWithReader &) = delete;
    PipeWithReader &operator=(const PipeWithReader &) = delete;

private:
    int reader_ = -1;
};

// A pipe at `path` whose reader meets a writer that gives `bytes` and ends: a
// reader that waits on a pipe gets them and an end of file, so a test of one
// that must refuse the pipe fails rather than hangs.
class PipeWithWriter {
public:
    PipeWithWriter(const std::filesystem::path &path, std::string bytes) : path_(path) {
        EXPECT_EQ(::mkfifo(path.c_str(), 0666), 0);
        writer_ = std::thread([this, bytes = std::move(bytes)] {
            // A reader gone before the bytes came gives an error, not the signal.
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            const int fd = ::open(path_.c_str(), O_WRONLY);
            if (fd >= 0) {
                [[maybe_unused]] const ssize_t n = ::write(fd, bytes.data(), bytes.size());
                ::close(fd);
            }
        });
    }
    ~PipeWithWriter() {
        // The writer waits for a reader as long as none opened the pipe.
        const int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        ::close(reader);
    }
    PipeWithWriter(const PipeWithWriter &) = delete;
    PipeWithWriter &operator=(const PipeWithWriter &) = delete;

private:
    std::filesystem::path path_;
    std::thread writer_;
};

// Makes `path` a device that takes any bytes: a null device of its own where
// the user may make one, else a link to /dev/null (which such a user cannot
// replace).
inline void MakeNullDevice(const std::filesystem::path &path) {
    if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        std::filesystem::create_symlink("/dev/null", path);
}

// Runs `body` in a child process that sees `folder` as an empty file system
// of `pages` memory pages of its own, then copies what it holds to `copy`.
// False when the system makes no such file system; then nothing ran.
inline bool OnSmallDisk(const std::filesystem::path &folder, long pages, const std::function<void()> &body,
                        const std::filesystem::path &copy) {
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(copy);
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string size = "size=" + std::to_string(pages * ::sysconf(_SC_PAGESIZE));
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0)
            ::_exit(2);
        body();
        std::filesystem::copy(folder, copy, std::filesystem::copy_options::recursive);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const bool ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    EXPECT_TRUE(ran || (WIFEXITED(status) && WEXITSTATUS(status) == 2)) << "the child ended with " << status;
    return ran;
}

// dir_ is a fresh folder named after the running test, removed afterwards,
// also when the test took its permissions away.
class FolderPerTest : public ::testing::Test {
protected:
    explicit FolderPerTest(std::string tag) : tag_(std::move(tag)) {}
    void SetUp() override {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (tag_ + "_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    std::size_t entries() const { return EntryCount(dir_); }

    std::filesystem::path dir_;

private:
    std::string tag_;
};

} // namespace tavisol::testsupport
