#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "batch/runs.h"
#include "batch_fixture.h"
#include "engine/engine.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"

namespace tavisol::batch {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
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
        engine::EngineState s = testing::MakeState(data.path());
        s.CurrentVariable = static_cast<engine::Integer>(variable);
        s.CalcLongitude = lon;
        s.CalcLatitude = lat;
        s.CalcAltitude = alt;
        EXPECT_TRUE(engine::RunBatchChain(s));
        return s;
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
    rec.choices.ConfidenceLevel = Level::L95;
    rec.choices.Summary = true;
    ASSERT_EQ(Own(), RunEnd::Completed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], DataSavedMessage());

    for (const char *v : {"_Tmax", "_Sun"})
        for (const char *f : {"_INFO.tvs", "_Best.tvs", "_Low.tvs", "_High.tvs", "_DirecGrad.tvs",
                              "_DirecGradString.tvs"})
            EXPECT_TRUE(std::filesystem::exists(File(std::string(v) + f))) << v << f;
    EXPECT_FALSE(std::filesystem::exists(File("_Tmax_StdErr.tvs")));
    EXPECT_FALSE(std::filesystem::exists(File("_Temp_Best.tvs")));

    const std::vector<std::string> information = ReadLines(File("_INFORMATION.tvs"));
    ASSERT_EQ(information.size(), 3u + 4u); // the far location has no neighbour: no line
    EXPECT_EQ(information[0], InformationHead(Prefix)[0]);
    EXPECT_THAT(information[3], StartsWith(Prefix + "_Tmax   10.00   45.00      50"));
    EXPECT_THAT(information[4], StartsWith(Prefix + "_Tmax   11.00   46.00      80"));
    EXPECT_THAT(information[5], StartsWith(Prefix + "_Sun   10.00"));

    const engine::EngineState first = Reference(1, 10, 45, 50);
    const std::vector<std::string> best = ReadLines(File("_Tmax_Best.tvs"));
    ASSERT_EQ(best.size(), 5u);
    EXPECT_EQ(best[0], FileTitle(OutputFile::Best, 1));
    EXPECT_EQ(best[1], OutputColumnHead(OutputFile::Best));
    EXPECT_EQ(best[2], "");
    EXPECT_EQ(best[3], OutputDataLine(OutputFile::Best, first, "ST-Lon10-Lat45-Alt-50", Level::None, English));
    EXPECT_EQ(ReadLines(File("_Tmax_Low.tvs"))[3],
              OutputDataLine(OutputFile::Low, first, "ST-Lon10-Lat45-Alt-50", Level::L95, English));
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
    EXPECT_EQ(ReadLines(File("_INFORMATION.tvs")).size(), 3u + 4u);
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
                                      Level::None, English));
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
    EXPECT_EQ(rec.messages[1], DataSavedMessage());
    EXPECT_EQ(ReadLines(File("_INFORMATION.tvs")).size(), 3u + 4u);
}

TEST_F(BatchRun, FailuresAreReportedAndNothingStarts) {
    rec.choices.Outputs[static_cast<int>(Output::Best)] = true;
    EXPECT_EQ(RunOwnFormat(state, list, out.path() / "missing", Now, rec.host), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_THAT(rec.messages[0].text, StartsWith("Error while Processing Data :Cannot create file"));
    EXPECT_EQ(rec.messages[0].icon, BatchIcon::Critical);

    // A missing station file stops the run with its description.
    rec.messages.clear();
    std::filesystem::remove_all(data.path() / "TavisolData");
    EXPECT_EQ(Own(), RunEnd::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_THAT(rec.messages[0].text, StartsWith("Error while Processing Data :"));

    rec.messages.clear();
    rec.choices.Variables = {};
    EXPECT_EQ(Own(), RunEnd::NothingToDo);
    EXPECT_THAT(rec.messages, ElementsAre(NoVariableMessage()));
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
    list = {{"North", "10", "45", "50"}, {"South", "11", "46", "80"}};
    rec.choices.Variables = {false, true, true, false, false, true, true, true};
    const std::filesystem::path catalogue = out.path() / "rome.lst";
    ASSERT_EQ(RunOtherFormat(state, 7, list, catalogue, info.path(), Now, rec.host), RunEnd::Completed);
    const std::vector<std::string> lines = ReadLines(catalogue);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "2 rome");
    EXPECT_THAT(lines[1], StartsWith("North\t10 45 50"));
    EXPECT_TRUE(std::filesystem::exists(out.path() / "South.PEN"));
    EXPECT_TRUE(std::filesystem::exists(out.path() / "South.CLI"));
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

} // namespace
} // namespace tavisol::batch
