#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "export/furrowin.h"
#include "export/ketlo.h"
#include "export/standard_table.h"
#include "export/tillwick.h"
#include "fixture.h"
#include "numfmt/textfile.h"
#include "outdlg/dispatch.h"
#include "report/reportfile.h"
#include "shell/appstate.h"

namespace tavisol::outdlg {
namespace {

namespace fs = std::filesystem;
using fixture::Joined;
using fixture::Slurp;

std::string Cp1252(const std::vector<std::string> &lines) { return numfmt::utf8ToCp1252(Joined(lines)); }

VariableTicks Ticks(std::initializer_list<int> vars) {
    VariableTicks t{};
    for (int v : vars)
        t[static_cast<std::size_t>(v)] = true;
    return t;
}

// ---- Enabling, levels, selection --------------------------------------------------------

TEST(ResultsOutputRuleFor, EachFormatFixesBestAndTheVariables) {
    const ResultsOutputFormatRule own = ResultsOutputRuleFor(1);
    EXPECT_FALSE(own.Best);
    EXPECT_TRUE(own.OutputsEnabled);
    EXPECT_TRUE(own.VariablesEnabled);
    EXPECT_EQ(own.Variables, VariableTicks{});

    for (int format : {3, 4}) {
        const ResultsOutputFormatRule lgs = ResultsOutputRuleFor(format);
        EXPECT_TRUE(lgs.Best);
        EXPECT_FALSE(lgs.OutputsEnabled);
        EXPECT_FALSE(lgs.VariablesEnabled);
        EXPECT_EQ(lgs.Variables, Ticks({3, 5})) << format;
    }

    const ResultsOutputFormatRule furrowin = ResultsOutputRuleFor(7);
    EXPECT_TRUE(furrowin.Best);
    EXPECT_FALSE(furrowin.OutputsEnabled);
    EXPECT_FALSE(furrowin.VariablesEnabled);
    EXPECT_EQ(furrowin.Variables, Ticks({1, 2, 5, 6, 7}));

    for (int format : {2, 5, 6, 0, 8}) {
        const ResultsOutputFormatRule other = ResultsOutputRuleFor(format);
        EXPECT_TRUE(other.Best) << format;
        EXPECT_FALSE(other.OutputsEnabled) << format;
        EXPECT_TRUE(other.VariablesEnabled) << format;
        EXPECT_EQ(other.Variables, VariableTicks{}) << format;
    }
}

TEST(WorkbenchOutputRuleFor, OnlyTheOwnFormatLeavesTheBoxesFree) {
    EXPECT_FALSE(WorkbenchOutputRuleFor(1).Best);
    EXPECT_TRUE(WorkbenchOutputRuleFor(1).Enabled);
    for (int format = 2; format <= 7; ++format) {
        EXPECT_TRUE(WorkbenchOutputRuleFor(format).Best);
        EXPECT_FALSE(WorkbenchOutputRuleFor(format).Enabled);
    }
    for (int format = 1; format <= 7; ++format)
        EXPECT_EQ(WorkbenchRefusesFormat(format), format == 3 || format == 4 || format == 7) << format;
}

TEST(Levels, ConfidenceIntervalOfTheResultsDialogStartsAt90) {
    EXPECT_EQ(ResultsOutputLevelAfterHighClick(Level::None, true), Level::P90);
    EXPECT_EQ(ResultsOutputLevelAfterHighClick(Level::P95, true), Level::P95);
    EXPECT_EQ(ResultsOutputLevelAfterHighClick(Level::P99, false), Level::P99);
    EXPECT_EQ(ResultsOutputLevelAfterHighClick(Level::None, false), Level::None);
}

TEST(Levels, WorkbenchDialogFollowsTheWorkbenchWhileALevelUserIsTicked) {
    // Ticked with no level: the workbench's level, else 90 %.
    EXPECT_EQ(WorkbenchOutputLevelAfterClick(Level::None, true, false, Level::P99), Level::P99);
    EXPECT_EQ(WorkbenchOutputLevelAfterClick(Level::None, true, false, Level::None), Level::P90);
    // A level already chosen stays.
    EXPECT_EQ(WorkbenchOutputLevelAfterClick(Level::P95, true, true, Level::P99), Level::P95);
    // Cleared with another still ticked: kept; the last one cleared: none.
    EXPECT_EQ(WorkbenchOutputLevelAfterClick(Level::P95, false, true, Level::P99), Level::P95);
    EXPECT_EQ(WorkbenchOutputLevelAfterClick(Level::P95, false, false, Level::P99), Level::None);
}

TEST(Levels, ReportOptionsCarryTheLevel) {
    for (Level l : {Level::None, Level::P90, Level::P95, Level::P99})
        EXPECT_EQ(WithLevel({}, l).Level, l);
    const report::ReportOptions o = WithLevel({}, Level::P95);
    EXPECT_EQ(o.Level, Level::P95);
}

TEST(Selection, ResultsDialogNeedsAVariableAndAnOutput) {
    report::ReportOptions none;
    report::ReportOptions high;
    high.High = true;
    report::ReportOptions stations;
    stations.Stations = true;
    report::ReportOptions levelOnly = WithLevel({}, Level::P90);
    EXPECT_FALSE(ResultsOutputHasSelection(Ticks({0}), none));
    EXPECT_FALSE(ResultsOutputHasSelection(VariableTicks{}, high));
    EXPECT_FALSE(ResultsOutputHasSelection(Ticks({2}), levelOnly));
    EXPECT_TRUE(ResultsOutputHasSelection(Ticks({2}), high));
    EXPECT_TRUE(ResultsOutputHasSelection(Ticks({7}), stations));

    EXPECT_FALSE(WorkbenchOutputHasSelection(none));
    EXPECT_FALSE(WorkbenchOutputHasSelection(levelOnly));
    report::ReportOptions thr;
    thr.Threshold = true;
    EXPECT_TRUE(WorkbenchOutputHasSelection(thr));
}

TEST(Filters, SaveDialogFilterFollowsTheFormat) {
    EXPECT_EQ(ResultsOutputSaveFilter(1), "Tavisol (*.tvs)|*.tvs");
    EXPECT_EQ(ResultsOutputSaveFilter(7), "Furrowin (*.Lst)|*.Lst");
    for (int f : {2, 3, 4, 5, 6})
        EXPECT_EQ(ResultsOutputSaveFilter(f), "Data (*.Dat)|*.Dat");
    EXPECT_EQ(WorkbenchOutputSaveFilter(1), "Tavisol (*.tvs)|*.tvs");
    EXPECT_EQ(WorkbenchOutputSaveFilter(2), "Data (*.Dat)|*.Dat");
}

// ---- Save of the location results window ----------------------------------------------

class LocationSave : public ::testing::Test {
protected:
    OutputRequest Request(int format, VariableTicks ticks) const {
        OutputRequest r;
        r.Format = format;
        r.Variables = ticks;
        r.Options.Best = true;
        r.LocationName = "East of Rome";
        r.Current = {fixture::PointLon, fixture::PointLat, fixture::PointAlt};
        return r;
    }
    DispatchOutcome Save(const fs::path &file, const OutputRequest &r) {
        left.clear();
        return SaveLocationResults(file, stored, r, [this](int v) { left.push_back(v); });
    }
    exports::VariableExport Var(int v) const { return StoredVariableExport(stored, v, "East of Rome"); }

    fixture::TempFolder folder;
    results::LocationResults stored = fixture::StoredRun();
    std::vector<int> left;
};

TEST_F(LocationSave, StandardTableHasOneHeaderAndTheTickedRowsInVariableOrder) {
    const fs::path file = folder.path() / "table.dat";
    fixture::Put(file, "old contents\r\n");
    const DispatchOutcome o = Save(file, Request(2, Ticks({3, 0})));
    ASSERT_TRUE(o.ok) << o.error;

    std::vector<std::string> expected = exports::StandardTableLines(Var(0), true, numfmt::Locale::english());
    const std::vector<std::string> second = exports::StandardTableLines(Var(3), false, numfmt::Locale::english());
    ASSERT_EQ(expected.size(), 5U);
    ASSERT_EQ(second.size(), 1U);
    expected.push_back(second.front());
    EXPECT_EQ(Slurp(file), Cp1252(expected));
    EXPECT_EQ(expected[4].substr(0, 13), "Temp_mean_mly");
    EXPECT_EQ(expected[5].substr(0, 16), "Precip_Total_mly");
    EXPECT_EQ(left, std::vector<int>{3});
}

TEST_F(LocationSave, KetloFileHasOneHeaderAndOneRowPerTickedVariable) {
    const fs::path file = folder.path() / "ketlo.dat";
    ASSERT_TRUE(Save(file, Request(5, Ticks({2, 5, 7}))).ok);
    std::vector<std::string> expected = exports::KetloLines(Var(2), true);
    for (int v : {5, 7})
        expected.push_back(exports::KetloLines(Var(v), false).front());
    EXPECT_EQ(Slurp(file), Cp1252(expected));
    EXPECT_EQ(left, std::vector<int>{7});
}

TEST_F(LocationSave, OwnReportHoldsOneReportPerTickedVariable) {
    const fs::path file = folder.path() / "own.tvs";
    fixture::Put(file, "old");
    OutputRequest r = Request(1, Ticks({6, 1}));
    r.Options.High = true;
    r.Options = WithLevel(r.Options, Level::P95);
    ASSERT_TRUE(Save(file, r).ok);

    std::vector<std::string> expected;
    for (int v : {1, 6}) {
        const auto lines = report::BuildReportLines(report::InputFromStored(stored[v], v), r.Methods, r.Options,
                                                    report::ReportKind::Location, r.Locale);
        expected.insert(expected.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(Slurp(file), Cp1252(expected));
    EXPECT_EQ(left, std::vector<int>{6});
}

TEST_F(LocationSave, VistrelFormatLeavesTheChosenFileEmpty) {
    const fs::path file = folder.path() / "image.dat";
    fixture::Put(file, "something\r\n");
    ASSERT_TRUE(Save(file, Request(6, Ticks({0, 4}))).ok);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0U);
    EXPECT_EQ(left, std::vector<int>{4});
}

TEST_F(LocationSave, TillwickFilesAreWrittenWhateverIsTicked) {
    const exports::LocationExport loc =
        StoredLocationExport(stored, "East of Rome", {fixture::PointLon, fixture::PointLat, fixture::PointAlt});

    const fs::path input = folder.path() / "lgs_in.dat";
    ASSERT_TRUE(Save(input, Request(3, VariableTicks{})).ok);
    EXPECT_EQ(Slurp(input), Cp1252(exports::TillwickInputLines(loc, true)));
    EXPECT_EQ(left, std::vector<int>{5});

    const fs::path output = folder.path() / "lgs_out.dat";
    fixture::Put(output, "old\r\n");
    ASSERT_TRUE(Save(output, Request(4, Ticks({0}))).ok);
    const auto lines = exports::TillwickOutputLines(loc, true, numfmt::Locale::english());
    EXPECT_EQ(Slurp(output), Cp1252(lines));
    // Rain above the PET all year: one humid season.
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(left, std::vector<int>{5});
}

TEST_F(LocationSave, FurrowinCatalogueAndLocationFilesLandTogether) {
    const fs::path catalogue = folder.path() / "rome.Lst";
    ASSERT_TRUE(Save(catalogue, Request(7, VariableTicks{})).ok);
    const std::string text = Slurp(catalogue);
    EXPECT_EQ(text.substr(0, 8), "1 rome\r\n");
    EXPECT_NE(text.find("East of Rome\t"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder.path() / "East of Rome.PEN"));
    EXPECT_TRUE(fs::exists(folder.path() / "East of Rome.CLI"));
    EXPECT_EQ(left, std::vector<int>{5});
}

TEST_F(LocationSave, AFileThatCannotBeWrittenIsReportedAndNothingIsLeftInTheState) {
    for (int format : {1, 2, 3, 4, 5, 6, 7}) {
        const fs::path file = folder.path() / "missing" / "out.dat";
        const DispatchOutcome o = Save(file, Request(format, Ticks({3, 5})));
        EXPECT_FALSE(o.ok) << format;
        EXPECT_FALSE(o.error.empty()) << format;
        EXPECT_TRUE(left.empty()) << format;
        EXPECT_FALSE(fs::exists(file));
    }
}

TEST_F(LocationSave, FailedWriteKeepsTheEarlierFile) {
    // A Furrowin location name that is no file name: the catalogue stays.
    const fs::path catalogue = folder.path() / "rome.Lst";
    fixture::Put(catalogue, "earlier\r\n");
    OutputRequest r = Request(7, VariableTicks{});
    for (const char *name : {"/..", "CON"}) {
        r.LocationName = name;
        EXPECT_FALSE(Save(catalogue, r).ok);
        EXPECT_EQ(Slurp(catalogue), "earlier\r\n");
    }

    // A folder where the rainfall file belongs: nothing is replaced.
    const fs::path pen = folder.path() / "East of Rome.PEN";
    const fs::path cli = folder.path() / "East of Rome.CLI";
    fixture::Put(pen, "earlier\r\n");
    fs::create_directory(cli);
    const DispatchOutcome o = Save(catalogue, Request(7, VariableTicks{}));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, "Cannot save file '" + cli.string() + "': " + std::string(std::strerror(EISDIR)));
    EXPECT_EQ(Slurp(pen), "earlier\r\n");
    EXPECT_EQ(Slurp(catalogue), "earlier\r\n");
    fs::remove(cli);

    // A catalogue that cannot be written: the location's files stay as they were.
    fs::permissions(catalogue, fs::perms::owner_read);
    EXPECT_FALSE(Save(catalogue, Request(7, VariableTicks{})).ok);
    EXPECT_EQ(Slurp(pen), "earlier\r\n");
    EXPECT_FALSE(fs::exists(cli));
    EXPECT_EQ(testsupport::EntryCount(folder.path()), 2U);
}

// A disk that fills up while the Furrowin files are written: the catalogue
// and the location's files stay as they were, and no new file is left.
TEST_F(LocationSave, FurrowinFilesOnAFullDiskAreAllOrNothing) {
    const fs::path disk = folder.path() / "disk", after = folder.path() / "after";
    // Each file takes a page of the disk: beside the old files there is room
    // for the new climate table only, or for both location files.
    for (const auto &[pages, oldFiles, failing] : {std::tuple{4L, 3U, "East of Rome.CLI"}, {3L, 1U, "rome.Lst"}}) {
        fs::remove_all(after);
        const bool ran = testsupport::OnSmallDisk(disk, pages, [&] {
            for (const char *name : {"rome.Lst", "East of Rome.PEN", "East of Rome.CLI"})
                if (testsupport::EntryCount(disk) < oldFiles)
                    fixture::Put(disk / name, "earlier\r\n");
            fixture::Put(after / "error", Save(disk / "rome.Lst", Request(7, VariableTicks{})).error);
        }, after);
        if (!ran)
            GTEST_SKIP() << "no file system of a given size can be made here";
        EXPECT_EQ(Slurp(after / "error"),
                  "Cannot write file '" + (disk / failing).string() + "': " + std::string(std::strerror(ENOSPC)));
        EXPECT_EQ(testsupport::EntryCount(after), oldFiles + 1);
        for (const auto &e : fs::directory_iterator(after))
            EXPECT_TRUE(e.path().filename() == "error" || Slurp(e.path()) == "earlier\r\n") << e.path();
    }
}

// A pipe or a device chosen as the file is refused, without waiting.
TEST_F(LocationSave, PipesAndDevicesAreRefused) {
    const fs::path pipe = folder.path() / "pipe.dat", device = folder.path() / "device.dat";
    const testsupport::PipeWithReader reader(pipe);
    testsupport::MakeNullDevice(device);
    for (const fs::path &file : {pipe, device}) {
        const DispatchOutcome o = Save(file, Request(2, Ticks({0})));
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.error, "Cannot open file '" + file.string() + "': " + std::string(std::strerror(EOPNOTSUPP)));
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(testsupport::EntryCount(folder.path()), 2U);
}

TEST_F(LocationSave, SavingThroughALinkWritesTheFileItPointsTo) {
    const fs::path real = folder.path() / "real" / "data.Dat";
    fs::create_directories(real.parent_path());
    fixture::Put(real, "earlier\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = folder.path() / "link.Dat";
    fs::create_symlink("real/data.Dat", link);
    ASSERT_TRUE(Save(link, Request(2, Ticks({0}))).ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), Cp1252(exports::StandardTableLines(Var(0), true, numfmt::Locale::english())));
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A variable without an estimate (no station within reach) is never written
// as numbers: per-variable formats leave it out and say so; the Tillwick and
// Furrowin formats, which cannot do without it, write nothing.
TEST_F(LocationSave, VariablesWithoutAnEstimateAreLeftOutAndNamed) {
    stored[7].Estimated = false;  // sunshine: the stored block is all zeros
    stored[7].Result = {};
    for (int format : {1, 2, 5}) {
        const fs::path file = folder.path() / ("partial" + std::to_string(format) + ".dat");
        const DispatchOutcome o = Save(file, Request(format, Ticks({0, 7})));
        ASSERT_TRUE(o.ok) << o.error;
        EXPECT_EQ(o.LeftOut, std::vector<int>{7}) << format;
        EXPECT_EQ(SavedMessage(o), "Data Saved without sunshine fraction (no estimate at this location).");
        const std::string text = Slurp(file);
        EXPECT_EQ(text.find("Sunsh"), std::string::npos) << format << text;
        EXPECT_NE(text.find(format == 1 ? "Monthly Mean Temperature" : "Temp_mean_mly"), std::string::npos);
        EXPECT_EQ(left, std::vector<int>{0}) << format;  // the last one written
    }
    EXPECT_EQ(SavedMessage(DispatchOutcome{}), "Data Saved Correctly");

    // Nothing ticked has an estimate: no file, the earlier one stays.
    const fs::path only = folder.path() / "only.dat";
    fixture::Put(only, "earlier\r\n");
    const DispatchOutcome none = Save(only, Request(2, Ticks({7})));
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.error, "There is no estimate of sunshine fraction at East of Rome. Nothing was saved.");
    EXPECT_EQ(Slurp(only), "earlier\r\n");
    EXPECT_TRUE(left.empty());
}

TEST_F(LocationSave, PrintLeavesOutWhatHasNoEstimate) {
    stored[6].Estimated = false;
    const PrintJob table = LocationPrintJob(stored, Request(2, Ticks({4, 6})));
    ASSERT_EQ(table.Lines.size(), 5U);  // header and the one row
    EXPECT_EQ(table.Lines.back().str().substr(0, 16), "Vap_Pr._mean_mly");
    EXPECT_EQ(table.Notice, "Printed without wind speed (no estimate at this location).");

    const PrintJob own = LocationPrintJob(stored, Request(1, Ticks({6})));
    EXPECT_EQ(own.What, PrintJob::Kind::Nothing);
    EXPECT_EQ(own.Notice, "There is no estimate of wind speed at East of Rome. Nothing was printed.");

    const PrintJob furrowin = LocationPrintJob(stored, Request(7, VariableTicks{}));
    EXPECT_EQ(furrowin.What, PrintJob::Kind::Nothing);
    EXPECT_NE(furrowin.Notice.find("wind speed at East of Rome. Nothing was printed."), std::string::npos);
    stored[6].Estimated = true;
    EXPECT_TRUE(LocationPrintJob(stored, Request(4, VariableTicks{})).Notice.empty());
}

// ---- Print of the location results window -----------------------------------------------

std::vector<std::string> Texts(const exports::PrintLines &lines) {
    std::vector<std::string> out;
    for (const auto &l : lines)
        out.push_back(l.str());
    return out;
}

TEST_F(LocationSave, PrintJobByFormat) {
    // Own report: one report per ticked variable, in variable order.
    PrintJob own = LocationPrintJob(stored, Request(1, Ticks({5, 2})), [this](int v) { left.push_back(v); });
    EXPECT_EQ(own.What, PrintJob::Kind::LocationReports);
    ASSERT_EQ(own.Reports.size(), 2U);
    EXPECT_EQ(own.Reports[0].Variable, 2);
    EXPECT_EQ(own.Reports[1].Variable, 5);
    EXPECT_EQ(left, std::vector<int>{5});

    // Standard table: header with the first variable only.
    const PrintJob table = LocationPrintJob(stored, Request(2, Ticks({0, 3})));
    EXPECT_EQ(table.What, PrintJob::Kind::Lines);
    std::vector<std::string> expected = Texts(exports::PrintformatStandard(Var(0), true, numfmt::Locale::english()));
    expected.push_back(Texts(exports::PrintformatStandard(Var(3), false, numfmt::Locale::english())).front());
    EXPECT_EQ(Texts(table.Lines), expected);

    const PrintJob ketlo = LocationPrintJob(stored, Request(5, Ticks({4})));
    EXPECT_EQ(Texts(ketlo.Lines), Texts(exports::PrintKetlo(Var(4), true)));

    // Tillwick and Furrowin: the location once, whatever is ticked.
    const exports::LocationExport loc =
        StoredLocationExport(stored, "East of Rome", {fixture::PointLon, fixture::PointLat, fixture::PointAlt});
    left.clear();
    const PrintJob lgs = LocationPrintJob(stored, Request(3, VariableTicks{}), [this](int v) { left.push_back(v); });
    EXPECT_EQ(Texts(lgs.Lines), Texts(exports::PrintTillwickInput(loc)));
    EXPECT_EQ(left, std::vector<int>{5});
    EXPECT_EQ(Texts(LocationPrintJob(stored, Request(4, Ticks({1}))).Lines),
              Texts(exports::PrintTillwickOutput(loc, numfmt::Locale::english())));
    EXPECT_EQ(Texts(LocationPrintJob(stored, Request(7, Ticks({1}))).Lines),
              Texts(exports::PrintFurrowin(loc, numfmt::Locale::english())));

    // Vistrel: nothing goes to the printer.
    EXPECT_EQ(LocationPrintJob(stored, Request(6, Ticks({1, 2}))).What, PrintJob::Kind::Nothing);
}

// ---- The workbench's dispatch --------------------------------------------------------------

class WorkbenchSave : public LocationSave {
protected:
    void SetUp() override {
        engine::SetInitialValues(state);
        results::RestoreVariable(stored, 4, state);
    }
    engine::EngineState state;
};

TEST_F(WorkbenchSave, TableAndKetloAreWrittenWithHeaderIntoANewFile) {
    const fs::path file = folder.path() / "wb.dat";
    OutputRequest r = Request(2, VariableTicks{});
    ASSERT_TRUE(SaveWorkbenchResults(file, state, r).ok);
    ASSERT_TRUE(SaveWorkbenchResults(file, state, r).ok);  // twice: still one header and one row
    EXPECT_EQ(Slurp(file),
              Cp1252(exports::StandardTableLines(exports::MakeVariableExport(state, "East of Rome"), true,
                                                 numfmt::Locale::english())));

    r.Format = 5;
    ASSERT_TRUE(SaveWorkbenchResults(file, state, r).ok);
    EXPECT_EQ(Slurp(file), Cp1252(exports::KetloLines(exports::MakeVariableExport(state, "East of Rome"), true)));
}

TEST_F(WorkbenchSave, OwnReportIsTheFullReportOfTheState) {
    const fs::path file = folder.path() / "wb.tvs";
    OutputRequest r = Request(1, VariableTicks{});
    r.Options.Daily = true;
    r.Options = WithLevel(r.Options, Level::P99);
    ASSERT_TRUE(SaveWorkbenchResults(file, state, r).ok);
    EXPECT_EQ(Slurp(file), Cp1252(report::BuildReportLines(report::InputFromEngine(state), r.Methods, r.Options,
                                                            report::ReportKind::Workbench, r.Locale)));
}

TEST_F(WorkbenchSave, OtherFormatsCreateNoFile) {
    for (int format : {3, 4, 6, 7}) {
        const fs::path file = folder.path() / ("wb" + std::to_string(format) + ".dat");
        EXPECT_TRUE(SaveWorkbenchResults(file, state, Request(format, VariableTicks{})).ok);
        EXPECT_FALSE(fs::exists(file)) << format;
    }
}

TEST_F(WorkbenchSave, WriteErrorIsReported) {
    const DispatchOutcome o = SaveWorkbenchResults(folder.path() / "no" / "wb.dat", state, Request(2, VariableTicks{}));
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.error.find("wb.dat"), std::string::npos) << o.error;
}

TEST_F(WorkbenchSave, PrintJobByFormat) {
    const PrintJob own = WorkbenchPrintJob(state, Request(1, VariableTicks{}));
    EXPECT_EQ(own.What, PrintJob::Kind::WorkbenchReport);
    ASSERT_EQ(own.Reports.size(), 1U);
    EXPECT_EQ(own.Reports[0].Variable, 4);

    const PrintJob table = WorkbenchPrintJob(state, Request(2, VariableTicks{}));
    EXPECT_EQ(Texts(table.Lines), Texts(exports::PrintformatStandard(exports::MakeVariableExport(state, "East of Rome"),
                                                                      true, numfmt::Locale::english())));
    const PrintJob ketlo = WorkbenchPrintJob(state, Request(5, VariableTicks{}));
    EXPECT_EQ(Texts(ketlo.Lines), Texts(exports::PrintKetlo(exports::MakeVariableExport(state, "East of Rome"), true)));
    for (int format : {3, 4, 6, 7})
        EXPECT_EQ(WorkbenchPrintJob(state, Request(format, VariableTicks{})).What, PrintJob::Kind::Nothing);
}

TEST(LinesScript, FixedPitchFontThenOneStatementPerLine) {
    exports::PrintLines lines;
    lines.emplace_back().text(" ");
    lines.emplace_back().text("Temp_mean_mly").tab(26).text("1.00");
    const report::PrintScript script = LinesScript(lines);
    ASSERT_EQ(script.size(), 4U);
    EXPECT_EQ(script[0].What, report::PrintOp::Kind::FontName);
    EXPECT_EQ(script[0].Name, "Courier");
    EXPECT_EQ(script[1].What, report::PrintOp::Kind::FontSize);
    EXPECT_EQ(script[2].What, report::PrintOp::Kind::Print);
    ASSERT_EQ(script[3].Lines.size(), 1U);
    ASSERT_EQ(script[3].Lines[0].size(), 2U);
    EXPECT_EQ(script[3].Lines[0][1].column, 26);
    EXPECT_EQ(script[3].Lines[0][1].text, "1.00");
}

} // namespace
} // namespace tavisol::outdlg
