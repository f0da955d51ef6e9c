#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <list>
#include <map>
#include <thread>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

#include "batch/estimatepool.h"
#include "batch/runs.h"
#include "batch_fixture.h"
#include "engine/data_files.h"
#include "engine/engine.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"
#include "support/files.h"

namespace tavisol::batch {
namespace {

using ::testing::_;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using testing::ReadLines;
using testing::RecordingHost;
using testing::TempFolder;

const numfmt::Locale English = numfmt::Locale::english();
const DateTime Now{2026, 12, 9, 6, 30, 5};
const std::string Prefix = "Tavisol 09122026_063005";

// Two locations with stations around them and one far from every station.
class BatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        testing::WriteDataFolder(data.path(), {{10, 45}, {11, 46}});
        state = testing::MakeState(data.path());
        list = {GridEntry(10, 45, 50, English), GridEntry(11, 46, 80, English), GridEntry(-100, -40, 0, English)};
        rec.choices.Variables[1] = true; // maximum temperature
        rec.choices.Variables[7] = true; // sunshine
        rec.choices.UseDem = false;
        AbortExport() = false;
    }
    std::filesystem::path File(const std::string &suffix) const { return out.path() / (Prefix + suffix); }
    RunEnd Own() { return RunOwnFormat(state, list, out.path(), Now, rec.host); }

    // The same estimate on a fresh state, for comparing the lines.
    engine::EngineState Reference(int variable, float lon, float lat, float alt) const {
        return testing::EstimatedAt(data.path(), variable, lon, lat, alt);
    }

    TempFolder data, out;
    engine::EngineState state;
    LocationList list;
    RecordingHost rec;
};

TEST_F(BatchRun, OwnFormatWritesOneFileSetPerVariable) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.choices.Outputs[static_cast<int>(Output::High)] = true;
    rec.choices.Outputs[static_cast<int>(Output::DirGrad)] = true;
    rec.choices.ConfidenceLevel = ConfidenceLevel::P95;
    rec.choices.Summary = true;
    ASSERT_EQ(Own(), RunEnd::Completed);
    // The far location has no neighbour: the end names it.
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].text, "Data Saved without 1 of 3 locations, for want of an estimate of:"
                                    "\rLon : -100.00 Lat : -40.00 Alt : 0 - maximum temperature and sunshine fraction"
                                    "\rThe run information file lists every one.");
    EXPECT_EQ(rec.messages[0].icon, MsgIcon::Information);

    for (const char *v : {"_Tmax", "_Sun"})
        for (const char *f : {"_INFO.tvs", "_Best.tvs", "_Low.tvs", "_High.tvs", "_DirecGrad.tvs",
                              "_DirecGradString.tvs"})
            EXPECT_TRUE(std::filesystem::exists(File(std::string(v) + f))) << v << f;
    EXPECT_FALSE(std::filesystem::exists(File("_Tmax_StdErr.tvs")));
    EXPECT_FALSE(std::filesystem::exists(File("_Temp_Best.tvs")));

    const std::vector<std::string> information = ReadLines(File("_INFORMATION.tvs"));
    ASSERT_EQ(information.size(), 3u + 4u + 2u + 2u); // no estimate line for the far location, but its note
    EXPECT_EQ(information[0], InformationHead(Prefix)[0]);
    EXPECT_THAT(information[3], StartsWith(Prefix + "_Tmax   10.00   45.00      50"));
    EXPECT_THAT(information[4], StartsWith(Prefix + "_Tmax   11.00   46.00      80"));
    EXPECT_THAT(information[5], StartsWith(Prefix + "_Sun   10.00"));
    EXPECT_EQ(information[7], "");
    EXPECT_EQ(information[8], "Locations skipped for want of an estimate: 1");
    EXPECT_EQ(information[9], Prefix + "_Tmax -100.00  -40.00       0   No estimate");
    EXPECT_EQ(information[10], Prefix + "_Sun -100.00  -40.00       0   No estimate");

    const engine::EngineState first = Reference(1, 10, 45, 50);
    const std::vector<std::string> best = ReadLines(File("_Tmax_Best.tvs"));
    ASSERT_EQ(best.size(), 5u);
    EXPECT_EQ(best[0], FileTitle(OutputFile::Best, 1));
    EXPECT_EQ(best[1], OutputColumnHead(OutputFile::Best));
    EXPECT_EQ(best[2], "");
    EXPECT_EQ(best[3], OutputDataLine(OutputFile::Best, first, "ST-Lon10-Lat45-Alt-50", RunConfidenceLevel(false, false), English));
    EXPECT_EQ(ReadLines(File("_Tmax_Low.tvs"))[3],
              OutputDataLine(OutputFile::Low, first, "ST-Lon10-Lat45-Alt-50", ConfidenceLevel::P95, English));
    EXPECT_EQ(ReadLines(File("_Tmax_DirecGradString.tvs"))[1], OutputColumnHead(OutputFile::DirecGradString));

    const std::vector<std::string> info = ReadLines(File("_Tmax_INFO.tvs"));
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[0], InfoHead());
    EXPECT_EQ(info[1], InfoLine(MakeLocationFields(first, English)));

    // Summary: element 0 unused, one element per variable and location; the
    // far location's elements stay empty.
    ASSERT_TRUE(rec.summaryShown);
    ASSERT_EQ(rec.summary.size(), 7u);
    EXPECT_EQ(rec.summary[1], MakeLocationFields(first, English).Summary);
    EXPECT_THAT(rec.summary[2], StartsWith(" _Tmax   11.00"));
    EXPECT_EQ(rec.summary[3], "");
    EXPECT_THAT(rec.summary[4], StartsWith("  _Sun   10.00"));
    EXPECT_EQ(rec.summary[6], "");

    // The bar runs from ordinal - 1 to ordinal over each variable, skipped
    // locations included.
    ASSERT_EQ(rec.progress.size(), 8u);
    EXPECT_DOUBLE_EQ(rec.progress[0], 0);
    EXPECT_DOUBLE_EQ(rec.progress[1], 1.0 / 3);
    EXPECT_DOUBLE_EQ(rec.progress[3], 1);
    EXPECT_DOUBLE_EQ(rec.progress[4], 1);
    EXPECT_DOUBLE_EQ(rec.progress[7], 2);
    EXPECT_EQ(state.CurrentVariable, 7);
}

TEST_F(BatchRun, AppendContinuesFilesWithoutHeads) {
    rec.choices.Outputs[static_cast<int>(Output::Error)] = true;
    ASSERT_EQ(Own(), RunEnd::Completed);
    rec.choices.NewFiles = false;
    ASSERT_EQ(Own(), RunEnd::Completed);
    const std::vector<std::string> stdErr = ReadLines(File("_Sun_StdErr.tvs"));
    ASSERT_EQ(stdErr.size(), 3u + 2u + 2u);
    EXPECT_EQ(stdErr[3], stdErr[5]);
    const std::vector<std::string> info = ReadLines(File("_Sun_INFO.tvs"));
    ASSERT_EQ(info.size(), 1u + 2u + 2u);
    // The run's information file is new at every run.
    EXPECT_EQ(ReadLines(File("_INFORMATION.tvs")).size(), 3u + 4u + 4u);
}

TEST_F(BatchRun, ElevationModelReplacesTheListedAltitude) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.choices.UseDem = true;
    rec.elevation = 2500;
    ASSERT_EQ(Own(), RunEnd::Completed);
    const std::vector<std::string> best = ReadLines(File("_Tmax_Best.tvs"));
    ASSERT_EQ(best.size(), 5u);
    EXPECT_THAT(best[3], StartsWith("ST-Lon10-Lat45-Alt-2500     10.00   45.00   2,500"));
    EXPECT_EQ(best[3], OutputDataLine(OutputFile::Best, Reference(1, 10, 45, 2500), "ST-Lon10-Lat45-Alt-2500",
                                      RunConfidenceLevel(false, false), English));
    EXPECT_THAT(ReadLines(File("_Tmax_INFO.tvs"))[1], HasSubstr("High  "));
}

TEST_F(BatchRun, CancelAnsweredYesEndsAtTheNextLocation) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.choices.Summary = true;
    int calls = 0;
    rec.host.DoEvents = [&calls] {
        if (++calls == 5) // the second location of the second variable
            AbortExport() = true;
    };
    ASSERT_EQ(Own(), RunEnd::Aborted);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], EndExportQuestion());
    EXPECT_EQ(rec.messages[0].text, "Do you want end Export Data ?");
    EXPECT_FALSE(rec.summaryShown);
    EXPECT_FALSE(AbortExport());
    EXPECT_EQ(ReadLines(File("_INFORMATION.tvs")).size(), 3u + 2u + 1u);
    EXPECT_EQ(ReadLines(File("_Sun_Best.tvs")).size(), 3u + 1u);
}

TEST_F(BatchRun, CancelAnsweredNoGoesOn) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.answerYes = false;
    int calls = 0;
    rec.host.DoEvents = [&calls] {
        if (++calls == 2)
            AbortExport() = true;
    };
    ASSERT_EQ(Own(), RunEnd::Completed);
    ASSERT_EQ(rec.messages.size(), 2u);
    EXPECT_EQ(rec.messages[0], EndExportQuestion());
    EXPECT_THAT(rec.messages[1].text, StartsWith("Data Saved without 1 of 3 locations"));
    EXPECT_EQ(ReadLines(File("_INFORMATION.tvs")).size(), 3u + 4u + 4u);
}

TEST_F(BatchRun, FailuresAreReportedAndNothingStarts) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    EXPECT_EQ(RunOwnFormat(state, list, out.path() / "missing", Now, rec.host), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_THAT(rec.messages[0].text, StartsWith("Error while Processing Data :Cannot create file"));
    EXPECT_EQ(rec.messages[0].icon, MsgIcon::Critical);

    // A missing station file stops the run with its description, and the run
    // information file says where and why.
    rec.messages.clear();
    for (const std::string &name : engine::StationFileNames(7, 45, 10))
        std::filesystem::remove(data.path() / "TavisolData" / name);
    EXPECT_EQ(Own(), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_THAT(rec.messages[0].text, StartsWith("Error while Processing Data :"));
    const std::vector<std::string> information = ReadLines(File("_INFORMATION.tvs"));
    ASSERT_EQ(information.size(), 3u + 2u + 2u);
    EXPECT_EQ(information[5], "");
    EXPECT_EQ(information[6], "Run stopped by an error in _Sun at location 1 of 3 (Lon : 10.00 Lat : 45.00 Alt : 50): " +
                                  rec.messages[0].text.substr(std::string("Error while Processing Data :").size()));

    rec.messages.clear();
    rec.choices.Variables = {};
    EXPECT_EQ(Own(), RunEnd::NothingToDo);
    EXPECT_THAT(rec.messages, ElementsAre(NoVariableMessage()));
}

// A file that fills up is noticed some lines later, when they are handed
// over; the run information file names the first location whose lines the
// file lacks, whatever the number of workers.
TEST_F(BatchRun, FailureNoteNamesTheFirstLocationLost) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.choices.Variables = {};
    rec.choices.Variables[1] = true;
    rec.choices.NewFiles = false;
    for (int k = 0; k < 4; ++k)
        list.push_back(GridEntry(10.01f * static_cast<float>(k + 1), 45, 50, English));
    list.erase(list.begin() + 2); // the far location
    const std::string earlier(4000, 'x');
    const engine::EngineState first = Reference(1, 10, 45, 50);
    // The variable's information file, and an output file.
    const std::pair<std::filesystem::path, std::string> files[] = {
        {File("_Tmax_INFO.tvs"), InfoLine(MakeLocationFields(first, English))},
        {File("_Tmax_Best.tvs"), OutputDataLine(OutputFile::Best, first, "ST-Lon10-Lat45-Alt-50",
                                                RunConfidenceLevel(false, false), English)}};
    for (const auto &[file, firstLine] : files)
        for (unsigned workers : {0u, 1u, 8u}) {
            for (const auto &[other, unused] : files)
                std::filesystem::remove(other);
            const std::size_t line = firstLine.size() + 2;
            testsupport::Put(file, earlier);
            // The file takes the first location's line, not the second's.
            const auto run = [&] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlim_t limit = earlier.size() + line + line / 2;
                const rlimit lim{limit, limit};
                ::setrlimit(RLIMIT_FSIZE, &lim);
                rec.host.Workers = workers;
                std::_Exit(Own() == RunEnd::Failed ? 0 : 1);
            };
            EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "") << file << workers;
            EXPECT_EQ(std::filesystem::file_size(file), earlier.size() + line) << file << workers;
            EXPECT_THAT(ReadLines(File("_INFORMATION.tvs")).back(),
                        StartsWith("Run stopped by an error in _Tmax at location 2 of 6 (Lon : 11.00 Lat : 46.00 "
                                   "Alt : 80): Cannot write file '" + file.string() + "': " + std::string(std::strerror(EFBIG))))
                << file << workers;
        }
}

// Appending into a pipe or a device is refused, without waiting.
TEST_F(BatchRun, AppendingIntoAPipeOrDeviceIsRefused) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.choices.NewFiles = false;
    const testsupport::PipeWithReader reader(File("_Tmax_INFO.tvs"));
    testsupport::MakeNullDevice(File("_Tmax_Best.tvs"));
    for (const char *file : {"_Tmax_INFO.tvs", "_Tmax_Best.tvs"}) {
        rec.messages.clear();
        EXPECT_EQ(Own(), RunEnd::Failed);
        EXPECT_THAT(rec.messages, ElementsAre(ProcessingErrorMessage("Cannot open file '" + File(file).string() +
                                                                     "': " + std::string(std::strerror(EOPNOTSUPP)))));
        std::filesystem::remove(File(file));
    }
}

TEST_F(BatchRun, SixteenBitCountsOverflowBeforeAnyFile) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    rec.choices.Variables = {true, true, true, true, true, true, true, false};
    rec.choices.Summary = true;
    list.assign(5000, GridEntry(10, 45, 50, English));
    EXPECT_EQ(Own(), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].text, "Error while Processing Data :Overflow");
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));

    rec.messages.clear();
    rec.choices.Summary = false;
    list.assign(32768, GridEntry(10, 45, 50, English));
    EXPECT_EQ(Own(), RunEnd::Failed);
    EXPECT_EQ(rec.messages.at(0).text, "Error while Processing Data :Overflow");
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

// ---- Export formats ----------------------------------------------------------------

class OtherRun : public BatchRun {
protected:
    void SetUp() override {
        BatchRun::SetUp();
        list.pop_back();
        rec.choices = {};
        rec.choices.Variables[1] = true;
        rec.choices.Variables[2] = true;
        rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    }
    RunEnd Run(int format) {
        target = out.path() / "export.dat";
        std::ofstream(target).close();
        return RunOtherFormat(state, format, list, target, info.path(), Now, rec.host);
    }
    std::vector<std::string> Info() const { return ReadLines(info.path() / (Prefix + "_INFORMATION.tvs")); }

    TempFolder info;
    std::filesystem::path target;
};

TEST_F(OtherRun, KetloHeaderOnceAndRowsInProcessingOrder) {
    ASSERT_EQ(Run(5), RunEnd::Completed);
    EXPECT_THAT(rec.messages, ElementsAre(DataSavedMessage()));
    const engine::EngineState a = Reference(1, 10, 45, 50);
    const std::vector<std::string> expectedHead =
        exports::KetloLines(exports::MakeVariableExport(a, list[0].Text), true);
    const std::vector<std::string> lines = ReadLines(target);
    ASSERT_EQ(lines.size(), expectedHead.size() + 3u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(expectedHead.size())),
              expectedHead);
    EXPECT_EQ(lines[expectedHead.size()], exports::KetloLines(exports::MakeVariableExport(Reference(2, 10, 45, 50),
                                                                                          list[0].Text),
                                                              false)[0]);
    EXPECT_EQ(lines.back(),
              exports::KetloLines(exports::MakeVariableExport(Reference(2, 11, 46, 80), list[1].Text), false)[0]);
    const std::vector<std::string> information = Info();
    ASSERT_EQ(information.size(), 3u + 4u);
    EXPECT_THAT(information[3], StartsWith(Prefix + "_Tmax   10.00"));
    EXPECT_THAT(information[4], StartsWith(Prefix + "_Tmin   10.00"));
    EXPECT_THAT(information[5], StartsWith(Prefix + "_Tmax   11.00"));
}

TEST_F(OtherRun, StandardTableHeaderPerLocation) {
    ASSERT_EQ(Run(2), RunEnd::Completed);
    const auto block = exports::StandardTableLines(
        exports::MakeVariableExport(Reference(1, 10, 45, 50), list[0].Text), true, English);
    const std::vector<std::string> lines = ReadLines(target);
    ASSERT_EQ(lines.size(), 2 * (block.size() + 1));
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(block.size())), block);
    EXPECT_EQ(lines[block.size() + 1],
              exports::StandardTableLines(exports::MakeVariableExport(Reference(1, 11, 46, 80), list[1].Text), true,
                                          English)[0]);
}

TEST_F(OtherRun, VistrelWritesOnlyTheInformation) {
    rec.choices.Summary = true;
    ASSERT_EQ(Run(6), RunEnd::Completed);
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
    EXPECT_EQ(Info().size(), 3u + 4u);
    ASSERT_EQ(rec.summary.size(), 5u);
    EXPECT_THAT(rec.summary[1], StartsWith(" _Tmax   10.00"));
    EXPECT_THAT(rec.summary[2], StartsWith(" _Tmin   10.00"));
    EXPECT_THAT(rec.summary[3], StartsWith(" _Tmax   11.00"));
}

TEST_F(OtherRun, TillwickInputOverTheListWithAllEightVariables) {
    rec.choices.Variables = {false, false, false, true, false, true, false, false};
    rec.choices.Summary = true;
    ASSERT_EQ(Run(3), RunEnd::Completed);
    const std::vector<std::string> lines = ReadLines(target);
    EXPECT_EQ(lines.size(), 3u + 2u);
    EXPECT_FALSE(std::filesystem::exists(info.path() / (Prefix + "_INFORMATION.tvs")));
    ASSERT_EQ(rec.summary.size(), 5u);
    EXPECT_THAT(rec.summary[1], StartsWith(" _Prec   10.00"));
    EXPECT_THAT(rec.summary[4], StartsWith("  _PET   11.00"));
}

TEST_F(OtherRun, FurrowinCatalogueListsTheLocations) {
    // A generated name: its colons and leading blank are no part of a file name.
    // Names that give a file name written already (letter case aside) get a number.
    list = {GridEntry(10, 45, 50, English), {"South", "11", "46", "80"}, {"Sou:th", "11", "46", "80"},
            {"SOUTH", "11", "46", "80"}};
    rec.choices.Variables = {false, true, true, false, false, true, true, true};
    const std::filesystem::path catalogue = out.path() / "rome.lst";
    ASSERT_EQ(RunOtherFormat(state, 7, list, catalogue, info.path(), Now, rec.host), RunEnd::Completed);
    const std::vector<std::string> lines = ReadLines(catalogue);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "4 rome");
    EXPECT_THAT(lines[1], StartsWith("Lon 10.00 Lat 45.00 Alt 50\t10 45 50"));
    EXPECT_THAT(lines[3], StartsWith("South_2\t"));
    EXPECT_THAT(lines[4], StartsWith("SOUTH_3\t"));
    EXPECT_TRUE(std::filesystem::exists(out.path() / "Lon 10.00 Lat 45.00 Alt 50.CLI"));
    EXPECT_TRUE(std::filesystem::exists(out.path() / "South.PEN"));
    EXPECT_THAT(ReadLines(out.path() / "South.CLI"), Contains(StartsWith("\"South\",")));
    EXPECT_THAT(ReadLines(out.path() / "South_2.CLI"), Contains(StartsWith("\"Sou:th\",")));
    EXPECT_TRUE(std::filesystem::exists(out.path() / "SOUTH_3.PEN"));
}

// Names Windows-1252 cannot hold are written with "?", and the end message
// says which after its confirmation: each once, however many locations and
// variables hold it, ten at most and how many more.
TEST_F(OtherRun, NamesWrittenWithQuestionMarksAreSaid) {
    const std::string head = "Data Saved Correctly\r2 names were written with \"?\" for the characters that "
                             "Windows-1252 files cannot hold:\r";
    list = {{"Москва", "10", "45", "50"}, {"Łódź", "11", "46", "80"}, {"Москва", "11", "46", "80"}};
    rec.choices.Variables = {false, true, true, true, false, true, false, false};
    for (int format : {2, 3, 4, 5}) {
        rec.messages.clear();
        ASSERT_EQ(Run(format), RunEnd::Completed) << format;
        EXPECT_THAT(rec.messages, ElementsAre(Message{head + "\"Москва\" as \"??????\"\r\"Łódź\" as \"?ód?\"", "",
                                                      MsgIcon::Information}))
            << format;
    }

    // The Furrowin files carry the catalogue's name.
    list = {{"North", "10", "45", "50"}, {"South", "11", "46", "80"}};
    rec.choices.Variables = {false, true, true, false, false, true, true, true};
    rec.messages.clear();
    ASSERT_EQ(RunOtherFormat(state, 7, list, out.path() / "Łódź.lst", info.path(), Now, rec.host), RunEnd::Completed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].text, "Data Saved Correctly\r1 name was written with \"?\" for the characters that "
                                    "Windows-1252 files cannot hold:\r\"Łódź\" as \"?ód?\"");

    list.clear();
    for (int k = 0; k < 12; ++k)
        list.push_back({"Пункт " + std::to_string(k), "10", "45", "50"});
    rec.choices.Variables = {false, true, false, false, false, false, false, false};
    rec.messages.clear();
    ASSERT_EQ(Run(5), RunEnd::Completed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_THAT(rec.messages[0].text, StartsWith("Data Saved Correctly\r12 names were written with"));
    EXPECT_THAT(rec.messages[0].text, HasSubstr("\r\"Пункт 9\" as \"????? 9\"\r... and 2 more."));
    EXPECT_THAT(rec.messages[0].text, Not(HasSubstr("Пункт 10")));
}

// Names that cannot name the location's files refuse the run before any
// file is written.
TEST_F(OtherRun, FurrowinRunRefusesUnusableNamesBeforeWriting) {
    list = {GridEntry(10, 45, 50, English), {"???", "11", "46", "80"}, {"Rome", "11", "46", "80"},
            {"  ", "11", "46", "80"}, {"con.txt", "11", "46", "80"}};
    rec.choices.Variables = {false, true, true, false, false, true, true, true};
    const std::filesystem::path catalogue = out.path() / "rome.lst";
    testsupport::Put(catalogue, "earlier\r\n");
    ASSERT_EQ(RunOtherFormat(state, 7, list, catalogue, info.path(), Now, rec.host), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].text,
              "Error while Processing Data :No file was written: 3 of 5 location names cannot name Furrowin files:"
              "\rLocation 2: The location name '?\?\?' cannot be used as a file name"
              "\rLocation 4: The location name '  ' cannot be used as a file name"
              "\rLocation 5: The location name 'con.txt' cannot be used as a file name: it names a device");
    EXPECT_EQ(testsupport::Slurp(catalogue), "earlier\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
}

// A catalogue that would land on a location's file, whichever location and
// however it gets there, refuses the run before any file is written: the
// files there stay as they were.
TEST_F(OtherRun, FurrowinRunRefusesACatalogueLandingOnALocationsFile) {
    namespace fs = std::filesystem;
    rec.choices.Variables = {false, true, true, false, false, true, true, true};
    const struct Row {
        const char *name;
        LocationList list;
        const char *catalogue;
        std::function<void(const fs::path &folder)> prepare;
        const char *says; // after "No file was written: ", with <c> for the catalogue; none: the run completes
    } rows[] = {
        {"itsOwnFile", {{"South", "11", "46", "80"}}, "South.CLI", {},
         "the catalogue <c> would be the file South.CLI of location 1 (South)"},
        {"aLaterLocationsFileInOtherLetters", {{"North", "11", "46", "80"}, {"South", "11", "46", "80"}}, "south.pen",
         {}, "the catalogue <c> would be the file South.PEN of location 2 (South)"},
        {"aNumberedFile",
         {{"North", "11", "46", "80"}, {"South", "11", "46", "80"}, {"SOUTH", "11", "46", "80"}}, "South_2.cli", {},
         "the catalogue <c> would be the file SOUTH_2.CLI of location 3 (SOUTH)"},
        {"aLinkToALaterLocationsFile", {{"North", "11", "46", "80"}, {"South", "11", "46", "80"}}, "rome.lst",
         [](const fs::path &folder) { fs::create_symlink("South.CLI", folder / "rome.lst"); },
         "the catalogue <c> would be the file South.CLI of location 2 (South)"},
        {"aLaterLocationsFileLinkedToIt", {{"North", "11", "46", "80"}, {"South", "11", "46", "80"}}, "rome.lst",
         [](const fs::path &folder) {
             fs::remove(folder / "South.PEN");
             fs::create_symlink("rome.lst", folder / "South.PEN");
         },
         "the catalogue <c> would be the file South.PEN of location 2 (South)"},
        {"aLocationsTwoFilesLinked", {{"North", "11", "46", "80"}, {"South", "11", "46", "80"}}, "rome.lst",
         [](const fs::path &folder) { fs::create_symlink("South.PEN", folder / "South.CLI"); },
         "the files South.PEN and South.CLI of location 2 (South) would be one file"},
        // A hard link is two names: each is replaced by its own file.
        {"aHardLinkOfALaterLocationsFile", {{"North", "11", "46", "80"}, {"South", "11", "46", "80"}}, "rome.lst",
         [](const fs::path &folder) { fs::create_hard_link(folder / "South.PEN", folder / "rome.lst"); }, nullptr},
    };
    for (const Row &row : rows) {
        TempFolder folder;
        // Each location's files from before, and what links there are.
        std::map<fs::path, std::string> before;
        for (const char *name : {"North.PEN", "North.CLI", "South.PEN"})
            testsupport::Put(folder.path() / name, std::string("earlier ") + name + "\r\n");
        if (row.prepare)
            row.prepare(folder.path());
        for (const auto &e : fs::directory_iterator(folder.path()))
            before[e.path().filename()] = fs::exists(e.path()) ? testsupport::Slurp(e.path()) : "";
        const fs::path catalogue = folder.path() / row.catalogue;
        list = row.list;
        rec.messages.clear();
        const RunEnd end = RunOtherFormat(state, 7, list, catalogue, info.path(), Now, rec.host);
        if (!row.says) {
            EXPECT_EQ(end, RunEnd::Completed) << row.name;
            EXPECT_EQ(ReadLines(catalogue).at(0), "2 rome") << row.name;
            EXPECT_THAT(ReadLines(folder.path() / "South.PEN").at(0), StartsWith("\"rome\",\"South\",")) << row.name;
            continue;
        }
        EXPECT_EQ(end, RunEnd::Failed) << row.name;
        std::string says = row.says;
        if (const std::size_t at = says.find("<c>"); at != std::string::npos)
            says.replace(at, 3, catalogue.string());
        EXPECT_THAT(rec.messages, ElementsAre(ProcessingErrorMessage("No file was written: " + says))) << row.name;
        std::map<fs::path, std::string> after;
        for (const auto &e : fs::directory_iterator(folder.path()))
            after[e.path().filename()] = fs::exists(e.path()) ? testsupport::Slurp(e.path()) : "";
        EXPECT_EQ(after, before) << row.name;
    }
}

TEST_F(OtherRun, AbortAndErrorEndTheRun) {
    rec.host.DoEvents = [] { AbortExport() = true; };
    ASSERT_EQ(Run(5), RunEnd::Aborted);
    EXPECT_THAT(rec.messages, ElementsAre(EndExportQuestion()));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
    EXPECT_FALSE(AbortExport());

    rec.messages.clear();
    rec.host.DoEvents = {};
    std::filesystem::remove_all(data.path() / "TavisolData");
    ASSERT_EQ(Run(4), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_THAT(rec.messages[0].text, StartsWith("Error while Processing Data :"));
}


TEST_F(OtherRun, FailedOrStoppedRunKeepsTheOldFile) {
    target = out.path() / "export.dat";
    std::ofstream(target, std::ios::binary) << "old text\r\n";
    rec.host.DoEvents = [] { AbortExport() = true; };
    ASSERT_EQ(RunOtherFormat(state, 5, list, target, info.path(), Now, rec.host), RunEnd::Aborted);
    EXPECT_THAT(ReadLines(target), ElementsAre("old text"));
    EXPECT_EQ(Info().size(), 3u) << "a stop is no failure";

    // The run information file keeps the line before the failure and says
    // where the run stopped and why.
    rec.host.DoEvents = {};
    std::filesystem::remove(data.path() / "TavisolData" / "min.txt");
    for (unsigned workers : {0u, 4u}) {
        rec.messages.clear();
        rec.host.Workers = workers;
        ASSERT_EQ(RunOtherFormat(state, 2, list, target, info.path(), Now, rec.host), RunEnd::Failed);
        EXPECT_THAT(ReadLines(target), ElementsAre("old text"));
        ASSERT_EQ(rec.messages.size(), 1u);
        const std::string why = rec.messages[0].text.substr(std::string("Error while Processing Data :").size());
        EXPECT_THAT(Info(), ElementsAre(_, _, _, StartsWith(Prefix + "_Tmax"), "",
                                        "Run stopped by an error in _Tmin at location 1 of 2 (Lon : 10.00 Lat : "
                                        "45.00 Alt : 50): " + why));
    }
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
}

// An export file that fills up is noticed some locations later, when its
// lines are handed over; the run information file names the first location
// whose lines it lacks, whatever the number of workers.
TEST_F(OtherRun, FailureNoteNamesTheFirstLocationTheExportFileLost) {
    rec.choices.Variables = {};
    rec.choices.Variables[1] = true;
    for (int k = 0; k < 4; ++k)
        list.push_back(GridEntry(10.01f * static_cast<float>(k + 1), 45, 50, English));
    // Long names, which the standard table writes and the run information
    // file does not: the table outgrows it. Sizes from a run that completes.
    for (ListEntry &e : list)
        e.Text += std::string(2000, 'x');
    ASSERT_EQ(Run(2), RunEnd::Completed);
    const std::uintmax_t whole = std::filesystem::file_size(target);
    const std::uintmax_t first = whole / list.size();
    const std::uintmax_t information = std::filesystem::file_size(info.path() / (Prefix + "_INFORMATION.tvs"));
    // Room for the first location's lines and the note, not for the rest.
    const rlim_t limit = first + first / 2;
    ASSERT_LT(information + 400, limit);
    for (unsigned workers : {0u, 4u}) {
        const auto run = [&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit lim{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &lim);
            rec.host.Workers = workers;
            std::_Exit(RunOtherFormat(state, 2, list, target, info.path(), Now, rec.host) == RunEnd::Failed ? 0 : 1);
        };
        EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "") << workers;
        EXPECT_THAT(Info().back(), StartsWith("Run stopped by an error at location 2 of 6 (Lon : 11.00 Lat : 46.00 "
                                              "Alt : 80xxx"))
            << workers;
        EXPECT_THAT(Info().back(), HasSubstr("): Cannot write file '")) << workers;
    }
}

// ---- Locations without an estimate ------------------------------------------------------

// One point with every variable, one far away without stations of maximum
// temperature, PET and wind.
class MissingEstimates : public ::testing::Test {
protected:
    void SetUp() override {
        testing::WriteDataFolder(data.path(), {{10, 45}, {40, 10, {1, 5, 6}}});
        state = testing::MakeState(data.path());
        AbortExport() = false;
        rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    }
    RunEnd Run(int format, const LocationList &list) {
        return RunOtherFormat(state, format, list, target, out.path(), Now, rec.host);
    }
    engine::EngineState Reference(int variable, float lon, float lat, float alt) const {
        return testing::EstimatedAt(data.path(), variable, lon, lat, alt);
    }
    std::string Row(int variable, const ListEntry &e, bool header, bool ketlo) const {
        const EntryPoint p = ReadEntryPoint(e, English);
        const exports::VariableExport v =
            exports::MakeVariableExport(Reference(variable, p.Longitude, p.Latitude, p.Altitude), e.Text);
        return Joined(ketlo ? exports::KetloLines(v, header) : exports::StandardTableLines(v, header, English));
    }
    static std::string Joined(const std::vector<std::string> &lines) {
        std::string s;
        for (const std::string &l : lines)
            s += l + "|";
        return s;
    }

    TempFolder data, out;
    engine::EngineState state;
    RecordingHost rec;
    std::filesystem::path target = out.path() / "export.dat";
    const ListEntry full = GridEntry(10, 45, 50, English);
    const ListEntry partial = GridEntry(40, 10, 300, English);
};

TEST_F(MissingEstimates, TillwickLeavesOutLocationsWithoutRainfallOrPet) {
    rec.choices.Variables = {false, false, false, true, false, true, false, false};
    ASSERT_EQ(Run(3, {partial, full, partial}), RunEnd::Completed);
    const std::vector<std::string> lines = ReadLines(target);
    ASSERT_EQ(lines.size(), 3u + 1u); // the header, then only the location with both
    EXPECT_THAT(lines[3], HasSubstr("Lon : 10.00"));
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].text, "Data Saved without 2 of 3 locations, for want of an estimate of:"
                                    "\rLon : 40.00 Lat : 10.00 Alt : 300 - potential evapotranspiration"
                                    "\rLon : 40.00 Lat : 10.00 Alt : 300 - potential evapotranspiration");

    rec.messages.clear();
    ASSERT_EQ(Run(4, {partial, full}), RunEnd::Completed);
    for (const std::string &l : ReadLines(target))
        EXPECT_THAT(l, Not(HasSubstr("Lon : 40.00")));
    EXPECT_THAT(rec.messages.at(0).text, StartsWith("Data Saved without 1 of 2 locations"));

    // A name written with "?" is said below the locations left out.
    rec.messages.clear();
    ASSERT_EQ(Run(4, {{"Łódź", "40", "10", "300"}, {"Łódź", "10", "45", "50"}}), RunEnd::Completed);
    EXPECT_EQ(rec.messages.at(0).text, "Data Saved without 1 of 2 locations, for want of an estimate of:"
                                       "\rŁódź - potential evapotranspiration\r1 name was written with \"?\" for "
                                       "the characters that Windows-1252 files cannot hold:\r\"Łódź\" as \"?ód?\"");

    // More than the message can name: the run summary names every one.
    LocationList many;
    for (int k = 0; k < 12; ++k)
        many.push_back({"Dry" + std::to_string(k), "40", "10", "300"});
    rec.messages.clear();
    ASSERT_EQ(Run(3, many), RunEnd::Completed);
    EXPECT_THAT(rec.messages.at(0).text, HasSubstr("\rDry9 - potential evapotranspiration\r... and 2 more."
                                                   "\rThe run summary lists every one."));
    ASSERT_TRUE(rec.summaryShown);
    for (int k = 0; k < 12; ++k)
        EXPECT_THAT(rec.summary, Contains("Dry" + std::to_string(k) + " - potential evapotranspiration"));
}

TEST_F(MissingEstimates, FurrowinCatalogueListsOnlyTheWrittenLocations) {
    rec.choices.Variables = {false, true, true, false, false, true, true, true};
    target = out.path() / "rome.lst";
    ASSERT_EQ(Run(7, {{"Dry", "40", "10", "300"}, {"North", "10", "45", "50"}}), RunEnd::Completed);
    const std::vector<std::string> lines = ReadLines(target);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "1 rome");
    EXPECT_THAT(lines[1], StartsWith("North\t10 45 50"));
    EXPECT_FALSE(std::filesystem::exists(out.path() / "Dry.PEN"));
    EXPECT_TRUE(std::filesystem::exists(out.path() / "North.PEN"));
    EXPECT_EQ(rec.messages.at(0).text,
              "Data Saved without 1 of 2 locations, for want of an estimate of:"
              "\rDry - maximum temperature, potential evapotranspiration and wind speed");
}

TEST_F(MissingEstimates, TableAndKetloKeepTheirHeadersAndListTheSkipped) {
    rec.choices.Variables = {false, true, false, true, false, false, false, false};
    ASSERT_EQ(Run(2, {partial, full}), RunEnd::Completed);
    // The partial point's first variable has no estimate: its rainfall row
    // still stands below its header block.
    EXPECT_EQ(Joined(ReadLines(target)),
              Row(3, partial, true, false) + Row(1, full, true, false) + Row(3, full, false, false));
    const std::vector<std::string> info = ReadLines(out.path() / (Prefix + "_INFORMATION.tvs"));
    ASSERT_EQ(info.size(), 3u + 3u + 3u);
    EXPECT_EQ(info[7], "Locations skipped for want of an estimate: 0; locations written without some variables: 1");
    EXPECT_EQ(info[8], Prefix + "_Tmax   40.00   10.00     300   No estimate");

    ASSERT_EQ(Run(5, {partial, full}), RunEnd::Completed);
    EXPECT_EQ(Joined(ReadLines(target)),
              Row(3, partial, true, true) + Row(1, full, false, true) + Row(3, full, false, true));

    // Every format of per-variable files or rows names the variable it left
    // out at the partial point, which it wrote with its rainfall.
    for (int format : {1, 2, 5, 6}) {
        rec.messages.clear();
        ASSERT_EQ(format == 1 ? RunOwnFormat(state, {partial, full}, out.path(), Now, rec.host)
                              : Run(format, {partial, full}),
                  RunEnd::Completed);
        EXPECT_THAT(rec.messages, ElementsAre(Message{"Data Saved without some variables at 1 of 2 locations, for "
                                                      "want of an estimate of:\rLon : 40.00 Lat : 10.00 Alt : 300 - "
                                                      "maximum temperature\rThe run information file lists every one.",
                                                      "", MsgIcon::Information}))
            << format;
    }
}


TEST(SkippedLocations, MessageListsTenAndCountsTheRest) {
    std::vector<SkippedLocation> skipped;
    for (int k = 0; k < 12; ++k)
        skipped.push_back({k, " P" + std::to_string(k), {6, 7}});
    skipped[0].Name = std::string(79, 'x') + "\u00e9" + "tail";
    skipped.insert(skipped.begin() + 1, {30, "Q", {3}, true});
    const Message m = SkippedMessage(skipped, 40, SkipListing::InformationFile);
    EXPECT_EQ(m.icon, MsgIcon::Information);
    EXPECT_THAT(m.text, StartsWith("Data Saved without 12 of 40 locations, for want of an estimate of:\r" +
                                   std::string(79, 'x') + "\u00e9\u2026 - wind speed and sunshine fraction\rP1 - wind speed"));
    // The ten listed are shared with the locations written in part, which
    // are named however many are left out.
    EXPECT_THAT(m.text, HasSubstr("\rP8 - wind speed and sunshine fraction\r... and 3 more.\r"
                                  "and without some variables at 1 of 40 locations, for want of an estimate of:\r"
                                  "Q - precipitation\rThe run information file lists every one."));
    EXPECT_THAT(m.text, Not(HasSubstr("P9")));
}

// ---- Worker threads ------------------------------------------------------------------------

// Results of a pool that nobody takes fill its slots, and no worker starts
// an item beyond them: item i starts only once item i - ahead is being taken.
TEST(EstimatePool, ResultsWaitingFillTheSlotsAndNoMore) {
    engine::EngineState base;
    constexpr std::size_t count = 12, ahead = 4;
    std::atomic<std::size_t> started{0}, taken{0};
    std::array<std::size_t, count> takenAtStart{};
    OrderedEstimates<std::size_t> pool(
        base, count, 3,
        [&](engine::EngineState &, std::size_t item) {
            takenAtStart[item] = taken.load();
            ++started;
            return item;
        },
        ahead, 1);
    // The workers run as far as they may before anything is taken.
    while (started < ahead)
        std::this_thread::yield();
    for (std::size_t item = 0; item < count; ++item) {
        taken = item + 1;  // counted before the take frees its slot
        std::optional<std::size_t> result;
        while (!(result = pool.take(item, std::chrono::milliseconds(20)))) {
        }
        EXPECT_EQ(result, item);
    }
    for (std::size_t item = ahead; item < count; ++item)
        EXPECT_GE(takenAtStart[item], item + 1 - ahead) << item;
}

// Every file of a folder by name.
std::map<std::string, std::string> Contents(const std::filesystem::path &folder) {
    std::map<std::string, std::string> files;
    for (const auto &e : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        files[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

class Workers : public MissingEstimates {
protected:
    void SetUp() override {
        MissingEstimates::SetUp();
        // The far point reads tile files that hold no station.
        testing::WriteDataFolder(data.path(), {{10, 45}, {40, 10, {1, 5, 6}}, {-100, -40, {0, 1, 2, 3, 4, 5, 6, 7}}});
        for (int k = 0; k < 12; ++k) {
            list.push_back(GridEntry(9.8f + 0.05f * static_cast<float>(k), 44.9f + 0.02f * static_cast<float>(k),
                                     static_cast<float>(40 * k), English));
            if (k % 4 == 1)
                list.push_back(GridEntry(40.1f, 10.2f - 0.1f * static_cast<float>(k), 200, English));
            if (k % 5 == 3)
                list.push_back(GridEntry(-100, -40, 0, English));
        }
        rec.choices.Variables = {true, true, true, true, true, true, true, true};
        rec.choices.Outputs.fill(true);
        rec.choices.ConfidenceLevel = ConfidenceLevel::P95;
        rec.choices.Summary = true;
        rec.choices.UseDem = false;
    }
    // The files and what the run showed, with the given number of workers.
    std::map<std::string, std::string> Own(unsigned workers, std::vector<std::string> &shown) {
        TempFolder &folder = folders.emplace_back();
        rec.host.Workers = workers;
        rec.messages.clear();
        EXPECT_EQ(RunOwnFormat(state, list, folder.path(), Now, rec.host), RunEnd::Completed)
            << (rec.messages.empty() ? "" : rec.messages.back().text);
        shown = rec.summary;
        for (const Message &m : rec.messages)
            shown.push_back(m.text);
        return Contents(folder.path());
    }
    std::map<std::string, std::string> Other(int format, unsigned workers, std::vector<std::string> &shown) {
        TempFolder &folder = folders.emplace_back();
        target = folder.path() / "export.lst";
        rec.host.Workers = workers;
        rec.messages.clear();
        EXPECT_EQ(RunOtherFormat(state, format, list, target, folder.path(), Now, rec.host), RunEnd::Completed)
            << (rec.messages.empty() ? "" : rec.messages.back().text);
        shown = rec.summary;
        for (const Message &m : rec.messages)
            shown.push_back(m.text);
        return Contents(folder.path());
    }

    LocationList list;
    std::list<TempFolder> folders;
};

TEST_F(Workers, FilesAreTheSameWithOneThreadOrMany) {
    std::vector<std::string> plainShown, shown;
    // The reference: one thread, every station file read from disk at every
    // estimate and the engine's steps taken the long way.
    state.Files = std::make_shared<engine::PlainDataFiles>();
    state.PlainSteps = true;
    const auto plain = Own(0, plainShown);
    EXPECT_EQ(plain.size(), 1u + 8u * 13u);
    state.Files = {};
    state.PlainSteps = false;
    EXPECT_EQ(Own(0, shown), plain);
    EXPECT_EQ(shown, plainShown);
    EXPECT_EQ(Own(1, shown), plain);
    EXPECT_EQ(shown, plainShown);
    state.CalcLongitude = 0;
    EXPECT_EQ(Own(5, shown), plain);
    EXPECT_EQ(shown, plainShown);
    // The state holds the last location estimated, at the list's altitude.
    EXPECT_EQ(state.CalcLongitude, ReadEntryPoint(list.back(), English).Longitude);
    EXPECT_EQ(state.CalcAltitude, ReadEntryPoint(list.back(), English).Altitude);
    EXPECT_EQ(state.CurrentVariable, 7);

    // Choices changed during the run: the lines made ahead for the old ones
    // are made again.
    BatchChoices changed = rec.choices;
    changed.UseDem = true;
    changed.ConfidenceLevel = ConfidenceLevel::P90;
    changed.Outputs[static_cast<int>(Output::Bias)] = false;
    int calls = 0;
    rec.host.Choices = [&, before = rec.choices] { return ++calls < 12 ? before : changed; };
    const auto plainChanged = Own(0, plainShown);
    EXPECT_NE(plainChanged, plain);
    calls = 0;
    EXPECT_EQ(Own(5, shown), plainChanged);
    EXPECT_EQ(shown, plainShown);
    // The last location estimated at the elevation model's altitude, as chosen.
    EXPECT_EQ(state.CalcAltitude, rec.elevation);
    rec.host.Choices = [this] { return rec.choices; };

    for (int format : {2, 3, 5, 7}) {
        if (format == 3)
            rec.choices.Variables = {false, false, false, true, false, true, false, false};
        if (format == 7)
            rec.choices.Variables = {false, true, true, false, false, true, true, true};
        state.Files = std::make_shared<engine::PlainDataFiles>();
        state.PlainSteps = true;
        const auto plainFiles = Other(format, 0, plainShown);
        state.Files = {};
        state.PlainSteps = false;
        state.CalcLongitude = 0;
        state.CalcAltitude = 0;
        EXPECT_EQ(Other(format, 4, shown), plainFiles) << format;
        EXPECT_EQ(shown, plainShown) << format;
        if (format == 2 || format == 5) {
            // The state holds the last estimate, at the list's altitude.
            EXPECT_EQ(state.CalcLongitude, ReadEntryPoint(list.back(), English).Longitude) << format;
            EXPECT_EQ(state.CalcAltitude, ReadEntryPoint(list.back(), English).Altitude) << format;
        }
    }
}

TEST_F(Workers, StopAndFailureEndTheRunWhereThePlainPathEnds) {
    rec.host.Workers = 4;
    int calls = 0;
    rec.host.DoEvents = [&calls] {
        if (++calls == 3)
            AbortExport() = true;
    };
    ASSERT_EQ(RunOwnFormat(state, list, out.path(), Now, rec.host), RunEnd::Aborted);
    EXPECT_THAT(rec.messages, ElementsAre(EndExportQuestion()));
    EXPECT_FALSE(AbortExport());
    EXPECT_LT(ReadLines(out.path() / (Prefix + "_Temp_Best.tvs")).size(), 3u + list.size());

    // A bad entry fails the run once, after the lines of the entries before it.
    rec.host.DoEvents = {};
    list.insert(list.begin() + 3, ListEntry{"bad", "x", "45", "0"});
    std::vector<std::string> written[2];
    for (unsigned workers : {0u, 4u}) {
        TempFolder folder;
        rec.messages.clear();
        rec.host.Workers = workers;
        ASSERT_EQ(RunOwnFormat(state, list, folder.path(), Now, rec.host), RunEnd::Failed);
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_THAT(rec.messages[0].text, StartsWith("Error while Processing Data :"));
        written[workers ? 1 : 0] = ReadLines(folder.path() / (Prefix + "_Temp_Best.tvs"));
    }
    EXPECT_EQ(written[0].size(), 3u + 3u);
    EXPECT_EQ(written[1], written[0]);
}

} // namespace
} // namespace tavisol::batch
