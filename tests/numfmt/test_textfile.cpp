#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numfmt/bytefile.h"
#include "numfmt/printline.h"
#include "numfmt/textfile.h"
#include "support/files.h"

namespace nf = tavisol::numfmt;
namespace fs = std::filesystem;

namespace {

using tavisol::testsupport::Put;
using tavisol::testsupport::Slurp;

class TextFileTest : public tavisol::testsupport::FolderPerTest {
protected:
    TextFileTest() : FolderPerTest("numfmt_textfile") {}
    static mode_t modeOf(const fs::path& p) {
        struct stat st {};
        EXPECT_EQ(::stat(p.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
};

TEST(Cp1252, DegreeSignAndCurrencyAreOneByte) {
    EXPECT_EQ(nf::utf8ToCp1252("41.99°"), "41.99\xB0");
    EXPECT_EQ(nf::utf8ToCp1252("€ – “x” ü"), "\x80 \x96 \x93x\x94 \xFC");
    EXPECT_EQ(nf::utf8ToCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, UnmappableAndMalformedInputBecomesQuestionMarks) {
    std::size_t replaced = 0;
    EXPECT_EQ(nf::utf8ToCp1252("Ω→x", &replaced), "??x");
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(nf::utf8ToCp1252("\xB0 \xC3", &replaced), "? ?"); // bare 1252 byte, cut sequence
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(nf::utf8ToCp1252("\xC0\xAF", &replaced), "??"); // overlong
    EXPECT_EQ(nf::utf8ToCp1252("\xED\xA0\x80", &replaced), "???"); // surrogate
    EXPECT_EQ(nf::utf8ToCp1252("1\xE2\x80\xAF" "234 \xE2\x88\x92" "5", &replaced), "1\xA0" "234 -5");
    EXPECT_EQ(replaced, 0u);
}

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = nf::cp1252ToUtf8(all);
    std::size_t replaced = 1;
    EXPECT_EQ(nf::utf8ToCp1252(utf8, &replaced), all);
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(nf::cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(nf::cp1252ToUtf8("12\xB0"), "12°");
}

TEST(Cp1252, CharactersWithoutAByteOfTheirOwnAreListedOnceInOrder) {
    EXPECT_TRUE(nf::charactersOutsideCp1252("Zürich € 12° Š").empty());
    // Malformed bytes, a stray continuation byte among them, show as U+FFFD.
    EXPECT_EQ(nf::charactersOutsideCp1252("a\xE2\x88\x92Ω\x80" "b\xC3 Ω\xE2\x88\x92\xC0\xAF"),
              (std::vector<std::string>{"\u2212", "Ω", "\uFFFD"}));
}

TEST_F(TextFileTest, WritesWindows1252WithCrLf) {
    const fs::path p = dir_ / "report.tvs";
    nf::TextFileWriter w(p);
    ASSERT_TRUE(w.isOpen()) << w.error();
    w.writeLine("Tavisol");
    w.writeLine(" ");
    w.writeLine("");
    w.write("Latitude = 41.90°, ");
    w.writeLine("end");
    nf::PrintLine line;
    line.text("1234567890").tab(5).text("x");
    w.writeLine(line);
    w.writeLine(std::string(1, '\x1A'));
    ASSERT_TRUE(w.commit()) << w.error();
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(Slurp(p), "Tavisol\r\n \r\n\r\nLatitude = 41.90\xB0, end\r\n1234567890\r\n    x\r\n\x1A\r\n");
    EXPECT_EQ(entries(), 1u); // no temporary file left
}

// Every "?" is told: by the name it stands in, as the user knows it, or
// else by the whole text that holds it; each once.
TEST_F(TextFileTest, EveryReplacedCharacterIsToldByItsNameOrItsText) {
    nf::TextFileWriter w(dir_ / "names.txt");
    const std::vector<nf::NameInText> names = {{"Нов", ""}, {"Нови Сад", ""}, {"Москва-Цен", "Москва-Центральная"}};
    w.writeLine("  Нови Сад, Нов, Zürich  ", names);
    w.writeLine("Москва-Цен Нов", names);
    w.writeLine("Station Ω 3  ", names);
    w.writeLine("Нов Ω", names);
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(w.changedNames().list(), (std::vector<nf::ChangedName>{{"Нови Сад", "???? ???"},
                                                                     {"Нов", "???"},
                                                                     {"Москва-Центральная", "??????" "-???"},
                                                                     {"Station Ω 3", "Station ? 3"},
                                                                     {"Нов Ω", "??? ?"}}));
}

TEST_F(TextFileTest, ReplaceKeepsTheOldFileUntilCommitted) {
    const fs::path p = dir_ / "table.txt";
    Put(p, "old\r\n");
    {
        nf::TextFileWriter w(p);
        w.writeLine("new");
        ASSERT_TRUE(w.flush());
        EXPECT_EQ(Slurp(p), "old\r\n");
        // Abandoned: destroyed without commit.
    }
    EXPECT_EQ(Slurp(p), "old\r\n");
    EXPECT_EQ(entries(), 1u);

    nf::TextFileWriter w(p);
    w.writeLine("new");
    w.discard();
    EXPECT_EQ(Slurp(p), "old\r\n");
    EXPECT_EQ(entries(), 1u);

    nf::TextFileWriter ok(p);
    ok.writeLine("new");
    ok.commitOrThrow();
    EXPECT_EQ(Slurp(p), "new\r\n");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TextFileTest, ReplaceGivesTheUsualFileMode) {
    const fs::path p = dir_ / "mode.txt";
    nf::TextFileWriter w(p);
    w.writeLine("x");
    ASSERT_TRUE(w.commit());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST_F(TextFileTest, ReplacedFileKeepsItsPermissionBitsAndOwner) {
    // Only root can hand a file on to another owner.
    const bool root = ::geteuid() == 0;
    for (mode_t mode : {0600, 0640, 0664, 0700}) {
        const fs::path p = dir_ / ("kept" + std::to_string(mode) + ".txt");
        Put(p, "old\r\n");
        ASSERT_EQ(::chmod(p.c_str(), mode), 0);
        if (root) {
            ASSERT_EQ(::chown(p.c_str(), 1000 + mode, 2000 + mode), 0);
        }
        nf::TextFileWriter w(p);
        w.writeLine("new");
        ASSERT_TRUE(w.commit()) << w.error();
        EXPECT_EQ(modeOf(p), mode);
        EXPECT_EQ(Slurp(p), "new\r\n");
        struct stat st {};
        ASSERT_EQ(::stat(p.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, root ? 1000 + mode : ::geteuid());
        EXPECT_EQ(st.st_gid, root ? 2000 + mode : ::getegid());
    }
}

TEST_F(TextFileTest, ReadOnlyFileIsRefusedAndKept) {
    const fs::path p = dir_ / "locked.tvs";
    Put(p, "kept\r\n");
    ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
    for (auto mode : {nf::TextFileWriter::Mode::Replace, nf::TextFileWriter::Mode::Append}) {
        nf::TextFileWriter w(p, mode);
        EXPECT_TRUE(w.failed());
        EXPECT_EQ(w.error(), "Cannot open file '" + p.string() + "': " + std::string(std::strerror(EACCES)));
        w.writeLine("new");
        EXPECT_FALSE(w.commit());
    }
    EXPECT_EQ(Slurp(p), "kept\r\n");
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(modeOf(p), 0444u);
}

TEST_F(TextFileTest, LargeTextIsWrittenWhole) {
    const fs::path p = dir_ / "big.tvs";
    nf::TextFileWriter w(p);
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string s = "line " + std::to_string(i) + " °";
        w.writeLine(s);
        expected += nf::utf8ToCp1252(s) + "\r\n";
    }
    ASSERT_TRUE(w.commit()) << w.error();
    EXPECT_EQ(Slurp(p), expected);
}

TEST_F(TextFileTest, AppendAddsToTheEndAndCreatesMissingFiles) {
    const fs::path p = dir_ / "run_Best.tvs";
    {
        nf::TextFileWriter w(p, nf::TextFileWriter::Mode::Append);
        w.writeLine("head");
        ASSERT_TRUE(w.commit()) << w.error();
    }
    Put(dir_ / "other", "");
    for (int i = 1; i <= 3; ++i) {
        nf::TextFileWriter w(p, nf::TextFileWriter::Mode::Append);
        w.writeLine("row " + std::to_string(i));
        ASSERT_TRUE(w.commit());
    }
    {
        nf::TextFileWriter w(p, nf::TextFileWriter::Mode::Append);
        w.writeLine("flushed");
        ASSERT_TRUE(w.flush());
        w.writeLine("abandoned");
    }
    EXPECT_EQ(Slurp(p), "head\r\nrow 1\r\nrow 2\r\nrow 3\r\nflushed\r\n");
}

TEST_F(TextFileTest, AppendThatFailsPartWayIsCutBack) {
    const fs::path p = dir_ / "run_Best.tvs";
    Put(p, "head\r\n");
    // In a child process, a file size limit lets only part of the row in.
    const auto append = [&p] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        nf::TextFileWriter w(p, nf::TextFileWriter::Mode::Append);
        w.writeLine("a row longer than the limit");
        std::_Exit(w.commit() ? 1 : 0);
    };
    EXPECT_EXIT(append(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Slurp(p), "head\r\n");
}

TEST_F(TextFileTest, MissingFolderIsReportedAndNothingIsWritten) {
    const fs::path p = dir_ / "no" / "such" / "file.tvs";
    nf::TextFileWriter w(p);
    EXPECT_FALSE(w.isOpen());
    EXPECT_TRUE(w.failed());
    EXPECT_NE(w.error().find("file.tvs"), std::string::npos);
    EXPECT_NE(w.error().find(std::string(std::strerror(ENOENT))), std::string::npos);
    w.writeLine("ignored");
    EXPECT_FALSE(w.commit());
    EXPECT_THROW(w.commitOrThrow(), nf::TextFileError);
    EXPECT_FALSE(fs::exists(p));

    nf::TextFileWriter a(p, nf::TextFileWriter::Mode::Append);
    EXPECT_TRUE(a.failed());
    EXPECT_FALSE(a.commit());
}

TEST_F(TextFileTest, TargetThatIsAFolderFailsAtCommitAndLeavesNoTemporary) {
    const fs::path p = dir_ / "folder";
    fs::create_directories(p / "inside");
    nf::TextFileWriter w(p);
    ASSERT_TRUE(w.isOpen());
    w.writeLine("x");
    EXPECT_FALSE(w.commit());
    EXPECT_NE(w.error().find("folder"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(p));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(TextFileTest, ReadOnlyFolderIsReported) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const fs::path ro = dir_ / "ro";
    fs::create_directories(ro);
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
    nf::TextFileWriter w(ro / "x.tvs");
    EXPECT_TRUE(w.failed());
    EXPECT_NE(w.error().find(std::string(std::strerror(EACCES))), std::string::npos);
}

// Neither mode writes into a pipe or a device, nor waits on a pipe.
TEST_F(TextFileTest, PipesAndDevicesAreRefusedInBothModes) {
    const fs::path pipe = dir_ / "pipe.tvs";
    const tavisol::testsupport::PipeWithReader reader(pipe);
    const fs::path device = dir_ / "device.tvs";
    tavisol::testsupport::MakeNullDevice(device);
    for (const fs::path &p : {pipe, device}) {
        for (const auto mode : {nf::TextFileWriter::Mode::Replace, nf::TextFileWriter::Mode::Append}) {
            nf::TextFileWriter w(p, mode);
            w.writeLine("data");
            EXPECT_FALSE(w.commit()) << p;
            EXPECT_EQ(w.error(), "Cannot open file '" + p.string() + "': " + std::string(std::strerror(EOPNOTSUPP)));
        }
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(entries(), 2u);
}

// A set of files is either all new or all as it was (a folder at a target:
// see the Furrowin files).
TEST_F(TextFileTest, FilesCommittedTogetherAreAllNewOrAllOld) {
    const fs::path first = dir_ / "first.txt", second = dir_ / "second.txt", log = dir_ / "log.txt";
    // Two replaced files and an append, in a child process whose files may
    // not grow beyond 50 bytes.
    const auto commit = [&](std::size_t secondSize, std::size_t logSize, int exitCode) {
        Put(first, "old");
        Put(second, "old");
        Put(log, std::string(logSize, 'l'));
        const auto run = [&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{50, 50};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            nf::TextFileWriter a(first), b(second), c(log, nf::TextFileWriter::Mode::Append);
            a.write("new");
            b.write(std::string(secondSize, 'n'));
            c.write("new");
            try {
                nf::CommitTogether({&a, &b, &c});
            } catch (const nf::TextFileError &) {
                std::_Exit(3);
            }
            std::_Exit(0);
        };
        EXPECT_EXIT(run(), ::testing::ExitedWithCode(exitCode), "");
    };
    commit(100, 10, 3); // the second file does not fit
    EXPECT_EQ(Slurp(first) + Slurp(log), "old" + std::string(10, 'l'));
    commit(10, 60, 3); // the append does not fit
    EXPECT_EQ(Slurp(first) + Slurp(second), "oldold");
    EXPECT_EQ(entries(), 3u);
    commit(3, 10, 0);
    EXPECT_EQ(Slurp(first) + Slurp(second) + Slurp(log), "newnnn" + std::string(10, 'l') + "new");
}

TEST_F(TextFileTest, ReopeningStartsAFreshFile) {
    const fs::path a = dir_ / "a.txt";
    const fs::path b = dir_ / "b.txt";
    nf::TextFileWriter w(dir_ / "missing" / "x");
    EXPECT_TRUE(w.failed());
    ASSERT_TRUE(w.open(a));
    EXPECT_FALSE(w.failed());
    w.writeLine("a");
    ASSERT_TRUE(w.open(b)); // a is abandoned
    w.writeLine("b");
    ASSERT_TRUE(w.commit());
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(Slurp(b), "b\r\n");
    EXPECT_EQ(w.replacedCharacters(), 0u);
}

// The byte level below the text writer, which the raster writers share.
class ByteFileTest : public TextFileTest {
protected:
    using Step = nf::FileWriteFailure::Step;
};

TEST_F(ByteFileTest, WholeFileIsTheGivenBytesEvenUnderTheLongestName) {
    // The temporary name must not grow with the target's, or the longest
    // name a folder takes could never be saved.
    const fs::path p = dir_ / std::string(255, 'n');
    Put(p, std::string(5000, 'z'));
    const std::string binary("\0\r\n\x1A\xFF", 5);
    ASSERT_FALSE(nf::WriteWholeFile(p, {"head", binary, "", "tail"}));
    EXPECT_EQ(Slurp(p), "head" + binary + "tail");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ByteFileTest, TemporaryFileIsPrivateUntilItTakesTheReplacedFilesMode) {
    const fs::path p = dir_ / "shared.img";
    Put(p, "old");
    ASSERT_EQ(::chmod(p.c_str(), 0644), 0);
    nf::ByteFileWriter w;
    ASSERT_FALSE(w.open(p));
    ASSERT_FALSE(w.write("new"));
    ASSERT_EQ(entries(), 2u);
    for (const auto &e : fs::directory_iterator(dir_)) {
        if (e.path() != p) {
            EXPECT_EQ(modeOf(e.path()), 0600u) << e.path();
        }
    }
    ASSERT_FALSE(w.commit());
    EXPECT_EQ(modeOf(p), 0644u);
    EXPECT_EQ(Slurp(p), "new");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ByteFileTest, FailuresNameTheStepAndTheSystemsReasonAndLeaveNothing) {
    const fs::path locked = dir_ / "locked";
    Put(locked, "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const auto refused = nf::WriteWholeFile(locked, {"x"});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->step, Step::Open);
    EXPECT_EQ(refused->reason(), std::string(std::strerror(EACCES)));
    EXPECT_EQ(Slurp(locked), "kept");

    const auto missing = nf::WriteWholeFile(dir_ / "no" / "x", {"x"});
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->step, Step::Create);
    EXPECT_EQ(missing->error, ENOENT);

    // A folder in the way is found once the file is written out.
    fs::create_directories(dir_ / "folder" / "inside");
    const auto folder = nf::WriteWholeFile(dir_ / "folder", {"x"});
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->step, Step::Save);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_EQ(entries(), 2u);
}

// A set is put in place whole or not at all: a folder in the way of one
// file, or a file that cannot be written, keeps every old file as it was.
TEST_F(ByteFileTest, SetOfFilesIsReplacedWholeOrNotAtAll) {
    const fs::path a = dir_ / "a.img", b = dir_ / "a.clr", c = dir_ / "a.bnd";
    Put(a, "old a");
    ASSERT_EQ(::chmod(a.c_str(), 0640), 0);
    Put(b, "old b");
    fs::create_directories(dir_ / "folder");
    const fs::path locked = dir_ / "locked";
    Put(locked, "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    for (const auto &[target, failing, step] : {std::tuple{dir_ / "folder", 2u, Step::Save},
                                                std::tuple{locked, 2u, Step::Open}}) {
        const auto failed = nf::WriteWholeFiles({{a, {"new a"}}, {b, {"new b"}}, {target, {"x"}}, {c, {"new c"}}});
        ASSERT_TRUE(failed);
        EXPECT_EQ(failed->file, failing);
        EXPECT_EQ(failed->failure.step, step);
        EXPECT_EQ(Slurp(a), "old a");
        EXPECT_EQ(Slurp(b), "old b");
        EXPECT_FALSE(fs::exists(c));
        EXPECT_EQ(entries(), 4u);
    }
    // A rename that fails after two files are in place (the third one's
    // written bytes gone from its folder) puts those two back.
    fs::create_directories(dir_ / "sub");
    const fs::path d = dir_ / "sub" / "a.cty";
    std::array<nf::ByteFileWriter, 3> set;
    const std::pair<nf::ByteFileWriter *, fs::path> targets[] = {{&set[0], a}, {&set[1], b}, {&set[2], d}};
    for (const auto &[w, target] : targets) {
        ASSERT_FALSE(w->open(target));
        ASSERT_FALSE(w->write("new"));
    }
    fs::remove(fs::directory_iterator(dir_ / "sub")->path());
    const auto failed = nf::CommitFileSet({&set[0], &set[1], &set[2]});
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->file, 2u);
    EXPECT_EQ(failed->failure.step, Step::Save);
    EXPECT_EQ(failed->failure.error, ENOENT);
    EXPECT_EQ(Slurp(a) + Slurp(b), "old aold b");
    EXPECT_TRUE(fs::is_empty(dir_ / "sub"));
    fs::remove(dir_ / "sub");

    ASSERT_FALSE(nf::WriteWholeFiles({{a, {"new ", "a"}}, {b, {"new b"}}, {c, {"new c"}}}));
    EXPECT_EQ(Slurp(a) + Slurp(b) + Slurp(c), "new anew bnew c");
    EXPECT_EQ(modeOf(a), 0640u);
    EXPECT_EQ(entries(), 5u);
}

} // namespace
