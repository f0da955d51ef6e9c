// Reading text files that other programs wrote, and quoting them in messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "numfmt/textread.h"
#include "support/files.h"

namespace tavisol::numfmt {
namespace {

TEST(TextOfFile, ByteOrderMarkIsDroppedAndMeansUtf8) {
    const FileText marked = TextOfFile("\xEF\xBB\xBF" "a,b");
    EXPECT_EQ(marked.text, "a,b");
    EXPECT_TRUE(marked.utf8);
    const FileText plain = TextOfFile("a,\xEF\xBB\xBF");
    EXPECT_EQ(plain.text, "a,\xEF\xBB\xBF");
    EXPECT_FALSE(plain.utf8);
    EXPECT_EQ(TextOfFile("\xEF\xBB").text, "\xEF\xBB");
}

TEST(TextOfFile, CtrlZEndsTheText) {
    EXPECT_EQ(TextOfFile("1,2\r\n\x1A").text, "1,2\r\n");
    EXPECT_EQ(TextOfFile("1,2\x1A" "3,4\r\n").text, "1,2");
    const FileText both = TextOfFile("\xEF\xBB\xBF" "a\x1A");
    EXPECT_EQ(both.text, "a");
    EXPECT_TRUE(both.utf8);
}

TEST(SplitTextLines, EveryKindOfLineEnd) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\r\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("\n"), (Lines{""}));
    EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(SplitAt, EveryPartBetweenSeparators) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(numfmt::SplitAt("^a|b||c", '|'), (Parts{"^a", "b", "", "c"}));
    EXPECT_EQ(numfmt::SplitAt("|", '|'), (Parts{"", ""}));
    EXPECT_EQ(numfmt::SplitAt("", '|'), (Parts{""}));
}

TEST(QuoteFileText, ShortVisibleAndConverted) {
    using namespace std::string_literals;
    EXPECT_EQ(QuoteFileText("x3", false), "\"x3\"");
    // NUL, TAB and DEL as their pictures; the text goes on after them.
    EXPECT_EQ(QuoteFileText("1\0" "2\t3\x7F"s, false), "\"1\u24002\u24093\u2421\"");
    // Windows-1252 unless the file is UTF-8; bytes that are no character as \xNN.
    EXPECT_EQ(QuoteFileText("S\xE3o \x80\x81", false), "\"S\u00e3o \u20ac\\x81\"");
    EXPECT_EQ(QuoteFileText("S\xC3\xA3o \xFF", true), "\"S\u00e3o \\xFF\"");
    EXPECT_EQ(QuoteFileText("a\u202Eb", true), "\"a\\u202Eb\"");
    // At most 80 characters, the cut marked.
    const std::string longText(20'000'000, '7');
    EXPECT_EQ(QuoteFileText(longText, false), "\"" + std::string(80, '7') + "\u2026\"");
    EXPECT_EQ(QuoteFileText(std::string(80, 'e'), false), "\"" + std::string(80, 'e') + "\"");
    std::string accents;
    for (int i = 0; i < 100; ++i)
        accents += "\xC3\xA9";
    std::string expected;
    for (int i = 0; i < 80; ++i)
        expected += "\u00e9";
    EXPECT_EQ(ShowFileText(accents, true), expected + "\u2026");
}

TEST(ReadWholeFile, SaysWhatHappened) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tavisol-textread-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "folder.txt");
    std::string bytes = "old";
    EXPECT_EQ(ReadWholeFile(dir / "none.txt", 9, bytes, ""), "File not found: " + (dir / "none.txt").string());
    const auto folder = ReadWholeFile(dir / "folder.txt", 9, bytes, "");
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, "Cannot read the file " + (dir / "folder.txt").string() + ": it is a folder, not a file");
    {
        std::ofstream(dir / "a.txt", std::ios::binary) << std::string("a\0b", 3);
    }
    EXPECT_FALSE(ReadWholeFile(dir / "a.txt", 3, bytes, "too large"));
    EXPECT_EQ(bytes, std::string("a\0b", 3));
    EXPECT_FALSE(ReadFileAt(dir / "a.txt", 2, 5, bytes));
    EXPECT_EQ(bytes, "b");
    std::filesystem::permissions(dir / "a.txt", std::filesystem::perms::none);
    if (::geteuid() != 0) { // root reads every file
        const auto denied = ReadWholeFile(dir / "a.txt", 9, bytes, "");
        ASSERT_TRUE(denied);
        EXPECT_EQ(*denied, "Cannot open the file " + (dir / "a.txt").string() + ": " + std::string(std::strerror(EACCES)));
    }
    std::filesystem::remove_all(dir);
}

// A 2 GB file is refused unread: the peak memory of a child process that
// tries it grows by less than 100 MiB (its exit code; 255 for a wrong answer).
TEST(ReadWholeFile, ALimitRefusesALargerFileUnreadAndProcFilesAreReadToTheirEnd) {
    const auto huge = std::filesystem::temp_directory_path() / ("tavisol-huge-" + std::to_string(::getpid()));
    testsupport::PutSparse(huge, 2ull << 30);
    const pid_t child = ::fork();
    if (child == 0) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        std::string bytes;
        const bool refused = ReadWholeFile(huge, 1 << 20, bytes, "too large") == "too large";
        ::getrusage(RUSAGE_SELF, &after);
        ::_exit(refused ? static_cast<int>(std::min((after.ru_maxrss - before.ru_maxrss) / 1024, 254L)) : 255);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::filesystem::remove(huge);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_LT(WEXITSTATUS(status), 100);
    // Files under /proc report no size.
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile("/proc/self/status", 1 << 20, bytes, "too large"));
    EXPECT_EQ(bytes.substr(0, 5), "Name:");
    EXPECT_EQ(ReadWholeFile("/proc/self/status", 10, bytes, "too large"), "too large");
}

} // namespace
} // namespace tavisol::numfmt
