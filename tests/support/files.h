#pragma once

// Files the tests write and read back byte for byte, huge sparse files, and a
// fresh folder for each test. Header only, so test programs without the
// engine can use it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

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
