#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/engine.h"
#include "fixture.h"

namespace tavisol::engine {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::MakeState;
using testing::Station;
using testing::StationFile;
using testing::TempFolder;

TEST(StationTiles, NamesAroundRome) {
    EXPECT_THAT(TileFileNames(0, 41.9f, 12.483f),
                ElementsAre("mela5lo4.txt", "mela6lo4.txt", "mela5lo5.txt", "mela6lo5.txt"));
    EXPECT_THAT(TileFileNames(3, 41.9f, 12.483f),
                ElementsAre("prla5lo4.txt", "prla6lo4.txt", "prla5lo5.txt", "prla6lo5.txt"));
}

TEST(StationTiles, LongitudeBandsWrapAcross180) {
    EXPECT_THAT(TileFileNames(0, 41.9f, -150), ElementsAre("mela5lo6.txt", "mela6lo6.txt", "mela5lo1.txt", "mela6lo1.txt"));
    EXPECT_THAT(TileFileNames(0, 41.9f, 180), ElementsAre("mela5lo6.txt", "mela6lo6.txt", "mela5lo1.txt", "mela6lo1.txt"));
    EXPECT_EQ(TileFileNames(0, 41.9f, 179.9f)[0], "mela5lo6.txt");
    EXPECT_EQ(TileFileNames(0, 41.9f, -138)[0], "mela5lo1.txt");
    EXPECT_EQ(TileFileNames(3, 41.9f, -7)[0], "prla5lo4.txt"); // a bound belongs to the band east of it
}

TEST(StationTiles, LatitudeBandsAndPolarFiles) {
    EXPECT_EQ(TileFileNames(0, -2, 0)[0], "mela2lo4.txt"); // the bound belongs to the band north of it
    EXPECT_EQ(TileFileNames(0, -2.001f, 0)[0], "mela1lo4.txt");
    EXPECT_THAT(TileFileNames(0, 90, 0), ElementsAre("mela6lo4.txt", "mela1lo4.txt", "mela6lo5.txt", "mela1lo5.txt", "menor.txt"));
    EXPECT_THAT(TileFileNames(0, -60, 0),
                ElementsAre("mela1lo4.txt", "mela2lo4.txt", "mela1lo5.txt", "mela2lo5.txt", "mesud.txt"));
    EXPECT_EQ(TileFileNames(3, 61, 0).back(), "prnor.txt");
    EXPECT_EQ(TileFileNames(3, -60, 0).back(), "prsud.txt");
    EXPECT_EQ(TileFileNames(0, -50, 0).size(), 4u);
    EXPECT_EQ(TileFileNames(0, 60, 0).size(), 4u);
}

TEST(StationTiles, OtherVariablesReadOneFile) {
    EXPECT_THAT(StationFileNames(6, -80, 100), ElementsAre("windsp.txt"));
    EXPECT_THAT(StationFileNames(1, 0, 0), ElementsAre("max.txt"));
    EXPECT_THAT(StationFileNames(2, 0, 0), ElementsAre("min.txt"));
    EXPECT_THAT(StationFileNames(4, 0, 0), ElementsAre("vap.txt"));
    EXPECT_THAT(StationFileNames(5, 0, 0), ElementsAre("pet.txt"));
    EXPECT_THAT(StationFileNames(7, 0, 0), ElementsAre("sufr.txt"));
}

TEST(ListInput, QuotedNamesKeepTheirCommas) {
    const auto records = ParseStationRecords(
        "41.9,12.5,17,1,2,3,4,5,6,7,8,9,10,11,12,\"Roma, Urbe\",\"Italy\"\r\n", "t.txt", 10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Name, "Roma, Urbe");
    EXPECT_EQ(records[0].Country, "Italy");
    EXPECT_EQ(records[0].Latitude, 41.9f);
    EXPECT_EQ(records[0].Longitude, 12.5f);
    EXPECT_EQ(records[0].Altitude, 17.0f);
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(records[0].Values[m], static_cast<float>(m));
}

TEST(ListInput, RecordsSpreadOverSeveralLines) {
    const auto records = ParseStationRecords("  41.9 , 12.5,9999\n"
                                             "-1.5,2e1,3,.5,5,6,7,8,9,10,11,+12\n"
                                             "Unquoted name,Italy\n"
                                             "\n"
                                             "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"B\",\"C\"",
                                             "t.txt", 10);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Altitude, 9999.0f);
    EXPECT_EQ(records[0].Values[1], -1.5f);
    EXPECT_EQ(records[0].Values[2], 20.0f);
    EXPECT_EQ(records[0].Values[4], 0.5f);
    EXPECT_EQ(records[0].Values[12], 12.0f);
    EXPECT_EQ(records[0].Name, "Unquoted name");
    EXPECT_EQ(records[0].Country, "Italy");
    EXPECT_EQ(records[1].Latitude, 1.0f);
    EXPECT_EQ(records[1].Values[12], 15.0f);
    EXPECT_EQ(records[1].Name, "B");
}

TEST(ListInput, EmptyTextFieldAtTheEndOfALine) {
    // A field ends at the line end, so nothing after the last comma is an
    // empty country, and the next line is the next record.
    const auto records = ParseStationRecords("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,Roma,\r\n"
                                             "5,6,7,4,5,6,7,8,9,10,11,12,13,14,15,\"B\",  \n"
                                             "8,9,10,4,5,6,7,8,9,10,11,12,13,14,15,C,",
                                             "t.txt", 10);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Name, "Roma");
    EXPECT_EQ(records[0].Country, "");
    EXPECT_EQ(records[1].Latitude, 5.0f);
    EXPECT_EQ(records[1].Name, "B");
    EXPECT_EQ(records[1].Country, "");
    EXPECT_EQ(records[2].Latitude, 8.0f);
    EXPECT_EQ(records[2].Name, "C");
    EXPECT_EQ(records[2].Country, "");
}

TEST(ListInput, NumbersEndAtABlank) {
    const auto records = ParseStationRecords("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 N,C\n", "t.txt", 10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Values[12], 15.0f);
    EXPECT_EQ(records[0].Name, "N");
}

TEST(ListInput, NamesAreReadAsWindows1252) {
    const auto records = ParseStationRecords("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"S\xe3o Tom\xe9\",\"\x80\"\n", "t.txt", 10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Name, "S\u00e3o Tom\u00e9");
    EXPECT_EQ(records[0].Country, "\u20ac");
}

TEST(ListInput, ByteOrderMarkMeansUtf8) {
    const auto records =
        ParseStationRecords("\xEF\xBB\xBF" "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"S\u00e3o Tom\u00e9\",C\n", "t.txt", 10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Name, "S\u00e3o Tom\u00e9");
}

TEST(ListInput, BadNumberFailsNamingTheFile) {
    try {
        ParseStationRecords("1,2,x3,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n", "/data/vap.txt", 10);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::BadStationRecord);
        EXPECT_THAT(e.what(), HasSubstr("/data/vap.txt"));
        EXPECT_THAT(e.what(), HasSubstr("x3"));
    }
    EXPECT_THROW(ParseStationRecords("1,2,,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n", "t", 10), EngineError);
    EXPECT_THROW(ParseStationRecords("1,2,nan,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n", "t", 10), EngineError);
}

TEST(ListInput, FileEndingInsideARecordFails) {
    try {
        ParseStationRecords("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n1,2,3\n", "/d/min.txt", 10);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::BadStationRecord);
        EXPECT_THAT(e.what(), HasSubstr("/d/min.txt"));
    }
}

TEST(ListInput, FilesOfOldSystems) {
    const std::string record = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"N\",\"C\"";
    // Old Mac line ends, and a Ctrl-Z that ends the text.
    auto records = ParseStationRecords(record + "\r" + record + "\r\x1A", "t.txt", 10);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].Country, "C");
    records = ParseStationRecords(record + "\r\n\x1A" "garbage,\r\n", "t.txt", 10);
    EXPECT_EQ(records.size(), 1u);
}

TEST(ListInput, NumbersTooSmallForASingleReadAsZero) {
    const auto records = ParseStationRecords(
        "1e-50,-1e-50,1e-400,0.0000000000000000000000000000000000000000000000000001,5e-39,6,7,8,9,10,11,12,13,14,"
        "1e-99999999999999999999,N,C\n",
        "t.txt", 10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Latitude, 0.0f);
    EXPECT_EQ(records[0].Longitude, 0.0f);
    EXPECT_TRUE(std::signbit(records[0].Longitude));
    EXPECT_EQ(records[0].Altitude, 0.0f);
    EXPECT_EQ(records[0].Values[1], 0.0f);
    EXPECT_EQ(records[0].Values[2], 5e-39f); // a subnormal Single is kept
    EXPECT_EQ(records[0].Values[12], 0.0f);
}

TEST(ListInput, SignsAndRangesOfNumbers) {
    auto message = [](const std::string &number) {
        try {
            ParseStationRecords("1,2,3,4," + number + ",6,7,8,9,10,11,12,13,14,15,N,C\n", "/d/vap.txt", 10);
        } catch (const EngineError &e) {
            EXPECT_EQ(e.kind(), ErrorKind::BadStationRecord);
            return std::string(e.what());
        }
        return std::string("read");
    };
    EXPECT_EQ(message("+-10"), "Bad number \"+-10\" in field 5 of record 1 of /d/vap.txt");
    EXPECT_EQ(message("++10"), "Bad number \"++10\" in field 5 of record 1 of /d/vap.txt");
    EXPECT_EQ(message("+10"), "read");
    EXPECT_EQ(message("3.4e38"), "read");
    EXPECT_EQ(message("3.5e38"),
              "Number too large for single precision \"3.5e38\" in field 5 of record 1 of /d/vap.txt");
    EXPECT_EQ(message("1000e-5"), "read");
}

TEST(ListInput, MessagesQuoteTheFileShortAndVisibly) {
    using namespace std::string_literals;
    const std::string record = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n";
    auto message = [](const std::string &text) {
        try {
            ParseStationRecords(text, "/d/pet.txt", 10);
        } catch (const EngineError &e) {
            return std::string(e.what());
        }
        return std::string("read");
    };
    // One bad number of twenty million characters: 80 of them, marked as cut.
    const std::string huge = record + "1,2,3,4,5," + std::string(20'000'000, '9') + "x,7,8,9,10,11,12,13,14,15,N,C\n";
    EXPECT_EQ(message(huge), "Bad number \"" + std::string(80, '9') + "\u2026\" in field 6 of record 2 of /d/pet.txt");
    // A NUL byte does not cut the message; the file's code page is converted.
    EXPECT_EQ(message("1,2,3\0" "4\xE9,5,6,7,8,9,10,11,12,13,14,15,N,C\n"s),
              "Bad number \"3\u24004\u00e9\" in field 3 of record 1 of /d/pet.txt");
    EXPECT_EQ(message("\xEF\xBB\xBF" "1,2,3\xC3\xA9,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n"),
              "Bad number \"3\u00e9\" in field 3 of record 1 of /d/pet.txt");
    EXPECT_EQ(message("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,\"Roma\tUrbe, Italy\n"),
              "Unclosed quote \"\"Roma\u2409Urbe, Italy\u240A\" in field 16 of record 1 of /d/pet.txt");
}

TEST(LoadStationFile, AppendsInFileOrder) {
    TempFolder folder;
    folder.Write("max.txt", StationFile({{1, 2, 3, {}, "A", "X"}, {4, 5, 6, {}, "B", "Y"}}));
    EngineState state = MakeState(folder, 0, 0, 0);
    LoadStationFile(state, "max.txt");
    LoadStationFile(state, "max.txt");
    ASSERT_EQ(state.StationCount, 4);
    EXPECT_EQ(state.Stations[1].Name, "A");
    EXPECT_EQ(state.Stations[2].Name, "B");
    EXPECT_EQ(state.Stations[3].Name, "A");
    EXPECT_EQ(state.Stations[4].Latitude, 4.0f);
}

TEST(LoadStationFile, MissingFileFailsAndKeepsTheCount) {
    TempFolder folder;
    folder.Write("max.txt", StationFile({{1, 2, 3}}));
    EngineState state = MakeState(folder, 0, 0, 0);
    LoadStationFile(state, "max.txt");
    try {
        LoadStationFile(state, "min.txt");
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
        EXPECT_THAT(e.what(), HasSubstr((folder.path() / "min.txt").string()));
    }
    EXPECT_EQ(state.StationCount, 1);
}

TEST(LoadStationFile, AFileThatCannotBeReadSaysWhy) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "max.txt");
    // Neither a pipe (which would wait for a writer) nor an endless device is read.
    ASSERT_EQ(::mkfifo((folder.path() / "vap.txt").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", folder.path() / "pet.txt");
    folder.Write("min.txt", StationFile({{1, 2, 3}}));
    EngineState state = MakeState(folder, 0, 0, 0);
    for (const auto &[name, why] : {std::pair{"max.txt", ": it is a folder, not a file"},
                                    {"vap.txt", ": it is not a regular file"},
                                    {"pet.txt", ": it is not a regular file"}}) {
        try {
            LoadStationFile(state, name);
            ADD_FAILURE() << "no failure " << name;
        } catch (const EngineError &e) {
            EXPECT_EQ(std::string(e.what()), "Cannot read the file " + (folder.path() / name).string() + why);
        }
    }
    // A file under /proc reports no size, and is read all the same: no station file.
    std::filesystem::create_symlink("/proc/self/comm", folder.path() / "sufr.txt");
    EXPECT_THROW(LoadStationFile(state, "sufr.txt"), EngineError);
    std::filesystem::permissions(folder.path() / "min.txt", std::filesystem::perms::none);
    if (::geteuid() == 0)
        return; // root reads files without read permission
    try {
        LoadStationFile(state, "min.txt");
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open the file " + (folder.path() / "min.txt").string() + ": " + std::string(std::strerror(EACCES)));
    }
}

TEST(LoadStationFile, AnOverflowNamesTheFileRecordAndField) {
    TempFolder folder;
    folder.Write("windsp.txt", StationFile({{10, 10, 5, std::vector<double>(12, 3.0)},
                                            {10.1, 10, 5, {1, 2, 3e38, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                                            {10.2, 10, 5, {1, 2, 3e38, 4, 5, 6, 7, 8, 9, 10, 11, 12}}}));
    EngineState state = MakeState(folder, 10.05f, 10, 5);
    try {
        RunLocationResultsChain(state, 6);
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
        EXPECT_EQ(std::string(e.what()),
                  "Overflow: the estimate of Wind Speed in m/s (multiply by 3.6 to get it in km/h) at Lon 10, "
                  "Lat 10.05 goes beyond the range of single-precision numbers. The largest number of its station "
                  "files is 3e+38, in field 6 of record 2 of " +
                      (folder.path() / "windsp.txt").string() + ".");
    }
}

// n records of one station, LF ended.
std::string Records(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,N,C\n";
    return text;
}

TEST(LoadStationFile, MoreThan30000RecordsFails) {
    TempFolder folder;
    folder.Write("big.txt", Records(20000));
    EngineState state = MakeState(folder, 0, 0, 0);
    LoadStationFile(state, "big.txt");
    ASSERT_EQ(state.StationCount, 20000);
    try {
        LoadStationFile(state, "big.txt");
        FAIL() << "no failure";
    } catch (const EngineError &e) {
        EXPECT_EQ(e.kind(), ErrorKind::TooManyStations);
        EXPECT_THAT(e.what(), HasSubstr("big.txt"));
    }
    EXPECT_EQ(state.StationCount, 20000); // the failing file's records are not counted
}

TEST(LoadStationFile, AHugeFileFailsOnceItsRecordsAreTooMany) {
    TempFolder folder;
    folder.Write("big.txt", Records(30001));
    folder.Write("max.txt", ""); // nothing but NUL bytes, no record ever ends
    for (const char *name : {"big.txt", "max.txt"})
        std::filesystem::resize_file(folder.path() / name, 64ull << 30); // a sparse tail
    // In a child process whose memory cannot hold the whole file.
    const auto load = [&folder](const char *name) {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line) && line.rfind("VmSize:", 0) != 0) {
        }
        const rlim_t used = std::stoull(line.substr(7)) * 1024;
        const rlimit limit{used + (1ull << 30), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &limit);
        EngineState state = MakeState(folder, 0, 0, 0);
        try {
            LoadStationFile(state, name);
        } catch (const EngineError &e) {
            const bool named = std::string(e.what()).find((folder.path() / name).string()) != std::string::npos;
            std::_Exit(e.kind() == ErrorKind::TooManyStations && named ? 0 : 1);
        }
        std::_Exit(2);
    };
    EXPECT_EXIT(load("big.txt"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(load("max.txt"), ::testing::ExitedWithCode(0), "");
}

TEST(LoadStationFile, ExactlyThirtyThousandFit) {
    TempFolder folder;
    folder.Write("half.txt", Records(15000));
    EngineState state = MakeState(folder, 0, 0, 0);
    LoadStationFile(state, "half.txt");
    LoadStationFile(state, "half.txt");
    EXPECT_EQ(state.StationCount, 30000);
}

TEST(LoadStationFile, WindSpeedReadsOnlyItsFile) {
    TempFolder folder;
    folder.Write("windsp.txt", StationFile({{-80, 100, 3, std::vector<double>(12, 4.0)}}));
    EngineState state = MakeState(folder, -80, 100, 0);
    state.CurrentVariable = 6;
    PrepareNeighbours(state);
    EXPECT_EQ(state.StationCount, 1);
    EXPECT_EQ(state.NeighbourCount, 1);
}

TEST(LoadStationFile, TilesAndPolarFileInOrder) {
    TempFolder folder;
    EngineState state = MakeState(folder, -60, 0, 0);
    const auto names = TileFileNames(0, -60, 0);
    for (std::size_t i = 0; i < names.size(); ++i)
        folder.Write(names[i], StationFile({{-60, 0, 0, {}, names[i]}}));
    LoadTemperatureTiles(state);
    ASSERT_EQ(state.StationCount, 5);
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(state.Stations[static_cast<std::size_t>(s)].Name, names[static_cast<std::size_t>(s - 1)]);
    EXPECT_EQ(state.Stations[5].Name, "mesud.txt");
}

} // namespace
} // namespace tavisol::engine
