#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPageSize>
#include <QPdfWriter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "fixture.h"
#include "outdlg/dialogs.h"
#include "outdlg/install.h"
#include "outdlg/printing.h"
#include "results/results_window.h"
#include "results/install.h"
#include "results/storedresults.h"
#include "shell/appstate.h"
#include "shell/commands.h"
#include "shell/location_dialog.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/savefiledialog.h"
#include "shell/sharedsettings.h"
#include "support/activation.h"
#include "support/programstate.h"
#include "support/userlocale.h"
#include "workbench/workbench_window.h"
#include "workbench/pictures_qt.h"

namespace tavisol::outdlg {
namespace {

namespace fs = std::filesystem;
using fixture::Slurp;

// Pages of a PDF written by Qt.
int PdfPages(const std::string &pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    return pages;
}

class OutputDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::WriteDataFolder(folder.path());
        testsupport::StartProgramIn(folder.path());
        SetCurrentLocation("East of Rome", fixture::PointLon, fixture::PointLat, fixture::PointAlt);
        SetMessageBoxHandler([this](QWidget *, const Message &r) {
            messages.push_back(r);
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        });
        SetSaveFileDialog([this](QWidget *, const QString &filter, const QString &initial) {
            fileDialogs.push_back(filter);
            initialFolder = initial;
            return nextFile;
        });
        SetPrinterDialog([this](QWidget *) -> QPagedPaintDevice * {
            ++printerDialogs;
            if (cancelPrinter)
                return nullptr;
            writer = std::make_unique<QPdfWriter>(QString::fromStdString(pdf.string()));
            writer->setPageSize(QPageSize(QPageSize::A4));
            return writer.get();
        });
        InstallOutputCommands();
    }

    void TearDown() override {
        UnloadResultsOutput();
        UnloadWorkbenchOutput();
        delete results::LocationResultsWindowIfCreated();
        workbench::WorkbenchWindow::destroyInstance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        writer.reset();
        SetSaveFileDialog({});
        SetPrinterDialog({});
        workbench::WorkbenchWindow::SetSaveResultsHandler({});
        workbench::WorkbenchWindow::SetPrintResultsHandler({});
        testsupport::EndProgram();
    }

    std::vector<QString> Texts() const {
        std::vector<QString> t;
        for (const auto &m : messages)
            t.push_back(QString::fromStdString(m.text));
        return t;
    }
    bool Saved() const {
        for (const auto &m : messages)
            if (m.text == "Data Saved Correctly" && m.icon == MsgIcon::Information)
                return true;
        return false;
    }
    // Ends the print job so the PDF is complete on disk.
    std::string PrintedPdf() {
        writer.reset();
        return fs::exists(pdf) ? Slurp(pdf) : std::string();
    }

    fixture::TempFolder folder;
    fs::path pdf = folder.path() / "printed.pdf";
    std::vector<Message> messages;
    std::vector<QString> fileDialogs;
    QString initialFolder;
    QString nextFile;
    int printerDialogs = 0;
    bool cancelPrinter = false;
    std::unique_ptr<QPdfWriter> writer;
};

// ---- ResultsOutputDialog --------------------------------------------------------------------------

TEST_F(OutputDialogs, ResultsDialogAdaptsToTheFormatAndKeepsTheOtherOutputs) {
    EXPECT_EQ(ResultsOutputIfLoaded(), nullptr);
    appState().OutputFormat = 3;
    TellOutputFormat(3);
    EXPECT_EQ(ResultsOutputIfLoaded(), nullptr);  // loads with the format in force

    ResultsOutputDialog &d = ResultsOutput();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Output of automatic run of several variables"));
    EXPECT_TRUE(d.ChkBest->isChecked());
    EXPECT_FALSE(d.ChkBest->isEnabled());
    EXPECT_FALSE(d.chkObs->isEnabled());
    EXPECT_FALSE(d.Levels.optlev95->isEnabled());
    EXPECT_TRUE(d.chkPrec->isChecked());
    EXPECT_TRUE(d.chkPET->isChecked());
    EXPECT_FALSE(d.chkMean->isChecked());
    EXPECT_FALSE(d.chkPrec->isEnabled());

    TellOutputFormat(7);
    EXPECT_FALSE(d.chkPrec->isChecked());
    EXPECT_TRUE(d.chkMax->isChecked());
    EXPECT_TRUE(d.chkSun->isChecked());

    TellOutputFormat(1);
    d.ChkError->setChecked(true);
    d.ChkHigh->setChecked(true);
    d.Levels.setLevel(Level::P95);
    d.chkVap->setChecked(true);
    d.ChkBest->setChecked(true);
    TellOutputFormat(2);
    EXPECT_TRUE(d.ChkBest->isChecked());
    EXPECT_FALSE(d.chkVap->isChecked());
    EXPECT_TRUE(d.chkVap->isEnabled());
    EXPECT_FALSE(d.ChkError->isEnabled());
    TellOutputFormat(1);
    EXPECT_FALSE(d.ChkBest->isChecked());
    EXPECT_TRUE(d.ChkError->isChecked());
    EXPECT_TRUE(d.ChkError->isEnabled());
    EXPECT_TRUE(d.ChkHigh->isChecked());
    EXPECT_EQ(d.Levels.level(), Level::P95);
    EXPECT_TRUE(d.Levels.optlev95->isEnabled());
}

TEST_F(OutputDialogs, ConfidenceIntervalPicks90OnlyWithoutALevel) {
    ResultsOutputDialog &d = ResultsOutput();
    d.ChkHigh->click();
    EXPECT_EQ(d.Levels.level(), Level::P90);
    d.ChkHigh->click();
    EXPECT_EQ(d.Levels.level(), Level::P90);  // clearing changes nothing
    d.Levels.optlev99->click();
    d.ChkHigh->click();
    EXPECT_EQ(d.Levels.level(), Level::P99);
}

TEST_F(OutputDialogs, ResultsDialogRefusesAnEmptyChoice) {
    ResultsOutputDialog &d = ResultsOutput();
    d.chkMean->setChecked(true);
    d.onSaveClicked();
    d.onPrintClicked();
    d.chkMean->setChecked(false);
    d.ChkHigh->setChecked(true);
    d.onSaveClicked();
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_EQ(messages[0].text, "Please select at least one desired output and one desired variable");
    EXPECT_EQ(messages[0].title, "Nothing selected!");
    EXPECT_EQ(messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages[1].text, "You should select something to print.");
    EXPECT_EQ(messages[1].title, "Nothing selected!");
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(printerDialogs, 0);
}

TEST_F(OutputDialogs, SaveComputesThePendingEstimateAndWritesTheTickedVariables) {
    appState().OutputFormat = 2;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkPrec->setChecked(true);
    d.chkMean->setChecked(true);
    const fs::path file = folder.path() / "table.dat";
    fixture::Put(file, "old\r\n");
    nextFile = QString::fromStdString(file.string());
    ASSERT_TRUE(appState().ResultsRecalcPending);
    d.onSaveClicked();

    ASSERT_EQ(fileDialogs.size(), 1U);
    EXPECT_EQ(fileDialogs[0], QStringLiteral("Data (*.Dat)"));
    EXPECT_EQ(initialFolder.toStdString(), folder.path().string());
    EXPECT_TRUE(Saved()) << (messages.empty() ? "" : messages.front().text);
    EXPECT_FALSE(appState().ResultsRecalcPending);
    const std::string text = Slurp(file);
    // The station line follows the user's locale; the rows keep the point.
    EXPECT_EQ(text.rfind(" \r\nStation Name = East of Rome, Latitude = " + testsupport::UserDecimals("41.99"), 0), 0U)
        << text;
    EXPECT_NE(text.find("\r\nTemp_mean_mly "), std::string::npos);
    EXPECT_NE(text.find("\r\nPrecip_Total_mly "), std::string::npos);
    EXPECT_EQ(text.find("old"), std::string::npos);
    // The engine state of the results window holds the last variable written.
    EXPECT_EQ(results::LocationResultsWindow().Engine().CurrentVariable, 3);
    EXPECT_EQ(ResultsOutputIfLoaded(), &d);
}

TEST_F(OutputDialogs, SaveWritesNothingWhenTheEstimateFails) {
    fs::remove_all(folder.path() / "TavisolData");
    appState().OutputFormat = 2;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkMean->setChecked(true);
    const fs::path file = folder.path() / "table.dat";
    nextFile = QString::fromStdString(file.string());
    d.onSaveClicked();
    EXPECT_FALSE(Saved());
    EXPECT_FALSE(messages.empty());  // the run's own message
    EXPECT_FALSE(fs::exists(file));
}

// Like the demo data far out at sea: vapour pressure, PET, wind and
// sunshine have no station within reach, so no estimate.
TEST_F(OutputDialogs, VariablesWithoutAnEstimateAreNeverSavedOrPrintedAsNumbers) {
    for (engine::Integer v : {4, 5, 6, 7})
        for (const std::string &name : engine::StationFileNames(v, fixture::PointLat, fixture::PointLon))
            fixture::Put(folder.path() / "TavisolData" / name, "");
    appState().OutputFormat = 2;
    TellOutputFormat(2);
    ResultsOutputDialog &d = ResultsOutput();
    d.chkMean->setChecked(true);
    d.chkSun->setChecked(true);
    const fs::path table = folder.path() / "table.dat";
    nextFile = QString::fromStdString(table.string());
    d.onSaveClicked();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, "Data Saved without sunshine fraction (no estimate at this location).\n"
                                "No estimate of Sunshine Fraction: the station files hold no station.");
    EXPECT_FALSE(results::LocationResultsWindow().Results()[7].Estimated);
    const std::string text = Slurp(table);
    EXPECT_NE(text.find("\r\nTemp_mean_mly "), std::string::npos);
    EXPECT_EQ(text.find("Sunsh"), std::string::npos) << text;

    // Formats that need a missing variable write nothing at all.
    for (int format : {3, 4, 7}) {
        messages.clear();
        appState().OutputFormat = format;
        TellOutputFormat(format);
        const fs::path file = folder.path() / ("whole" + std::to_string(format) + ".Lst");
        nextFile = QString::fromStdString(file.string());
        d.onSaveClicked();
        EXPECT_FALSE(Saved()) << format;
        ASSERT_EQ(messages.size(), 1U);
        EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("no estimate of potential evapotranspiration")))
            << messages[0].text;
        // With the reason View Data gives.
        EXPECT_TRUE(QString::fromStdString(messages[0].text)
                        .contains(QStringLiteral("Nothing was saved.\nNo estimate of Monthly Totals of Potential "
                                                 "Evapotranspiration")))
            << messages[0].text;
        EXPECT_TRUE(QString::fromStdString(messages[0].text).endsWith(QStringLiteral(": the station files hold no station.")));
        EXPECT_FALSE(fs::exists(file)) << format;
        EXPECT_EQ(fileDialogs.size(), 1u) << format;  // refused before the question
    }
    EXPECT_FALSE(fs::exists(folder.path() / "East of Rome.PEN"));

    // Printing follows the same rule.
    messages.clear();
    d.onPrintClicked();
    EXPECT_EQ(printerDialogs, 0);
    EXPECT_EQ(PdfPages(PrintedPdf()), 0);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("Nothing was printed.\n"))) << messages[0].text;
}

// A run that failed at vapour pressure (its station file missing) holds the
// estimates of the variables before it: they are written, and every message
// names the variables asked for that have none and why.
TEST_F(OutputDialogs, AfterARunThatFailedPartWayTheEstimatedVariablesAreWrittenAndTheRestNamed) {
    struct Row {
        int format;
        std::vector<int> ticked;  // per-variable formats; the others tick their own
        bool save;
        const char *said;         // then the reason line, when `without` names variables
        const char *without;
        const char *written;      // a line of the file, or none
    };
    for (const std::string &name : engine::StationFileNames(4, fixture::PointLat, fixture::PointLon))
        fs::remove(folder.path() / "TavisolData" / name);
    results::ResultsWindow &view = results::LocationResultsWindow();
    view.ShowData();
    const std::string failure = view.Failure();
    ASSERT_FALSE(failure.empty());
    ASSERT_TRUE(view.Results().HasEstimate(3));
    ResultsOutputDialog &d = ResultsOutput();
    int rows = 0;
    for (const Row &row : {
             Row{2, {0, 4}, true, "Data Saved without vapour pressure (no estimate at this location).",
                 "Monthly Mean Water Vapor Pressure", "\r\nTemp_mean_mly "},
             Row{2, {0, 4}, false, "Printed without vapour pressure (no estimate at this location).",
                 "Monthly Mean Water Vapor Pressure", nullptr},
             Row{5, {4}, true, "There is no estimate of vapour pressure at East of Rome. Nothing was saved.",
                 "Monthly Mean Water Vapor Pressure", nullptr},
             Row{5, {4}, false, "There is no estimate of vapour pressure at East of Rome. Nothing was printed.",
                 "Monthly Mean Water Vapor Pressure", nullptr},
             Row{1, {0, 3}, true, "Data Saved Correctly", nullptr, "Monthly Mean Temperature"},
             Row{4, {}, true,
                 "The Tillwick output file needs precipitation and potential evapotranspiration; there is no "
                 "estimate of potential evapotranspiration at East of Rome. Nothing was saved.",
                 "Monthly Totals of Potential Evapotranspiration", nullptr},
             Row{7, {}, false,
                 "The Furrowin files need maximum temperature, minimum temperature, precipitation, potential "
                 "evapotranspiration, wind speed and sunshine fraction; there is no estimate of potential "
                 "evapotranspiration, wind speed and sunshine fraction at East of Rome. Nothing was printed.",
                 "Monthly Totals of Potential Evapotranspiration, Wind Speed, Sunshine Fraction", nullptr},
         }) {
        const std::string name = std::to_string(row.format) + (row.save ? " save" : " print");
        appState().OutputFormat = row.format;
        TellOutputFormat(row.format);
        for (int v : row.ticked)
            d.VariableBoxes[static_cast<std::size_t>(v)]->setChecked(true);
        d.ChkHigh->setChecked(true);
        const fs::path file = folder.path() / (std::to_string(++rows) + ".dat");
        nextFile = QString::fromStdString(file.string());
        messages.clear();
        fileDialogs.clear();
        printerDialogs = 0;
        (row.save ? d.CmdSave : d.CmdPrint)->click();
        std::string expected = row.said;
        if (row.without)
            expected += std::string("\nNo estimate of ") + row.without + ": the run stopped: " + failure +
                        (failure.back() == '.' ? "" : ".");
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(messages[0].text, expected) << name;
        if (row.written)
            EXPECT_NE(Slurp(file).find(row.written), std::string::npos) << name;
        else
            EXPECT_FALSE(fs::exists(file)) << name;
        // Refused before the file or the printer is asked for.
        const bool refused = row.said[0] == 'T';
        EXPECT_EQ(fileDialogs.size() + static_cast<std::size_t>(printerDialogs), refused ? 0u : 1u) << name;
    }
    EXPECT_FALSE(view.EstimateDue());  // the failed run is not repeated
}

TEST_F(OutputDialogs, ANameTypedWithoutExtensionGetsTheFilters) {
    ResultsOutputDialog &d = ResultsOutput();
    const std::vector<std::pair<int, std::string>> formats = {{1, ".tvs"}, {2, ".Dat"}, {7, ".Lst"}};
    for (const auto &[format, extension] : formats) {
        appState().OutputFormat = format;
        TellOutputFormat(format);
        d.chkMax->setChecked(true);
        d.ChkBest->setChecked(true);
        const fs::path typed = folder.path() / ("typed" + std::to_string(format));
        nextFile = QString::fromStdString(typed.string());
        d.onSaveClicked();
        EXPECT_TRUE(Saved()) << format;
        EXPECT_FALSE(fs::exists(typed)) << format;
        EXPECT_TRUE(fs::exists(typed.string() + extension)) << format;
    }
    // A name with an extension of its own is kept.
    nextFile = QString::fromStdString((folder.path() / "mine.txt").string());
    d.onSaveClicked();
    EXPECT_TRUE(fs::exists(folder.path() / "mine.txt"));

    // The workbench's dialog likewise.
    appState().OutputFormat = 5;
    TellOutputFormat(5);
    const fs::path wb = folder.path() / "bench";
    nextFile = QString::fromStdString(wb.string());
    WorkbenchOutput().onSaveClicked();
    EXPECT_TRUE(fs::exists(wb.string() + ".Dat"));
}

TEST_F(OutputDialogs, CancelledSaveDialogIsSilent) {
    appState().OutputFormat = 5;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkWind->setChecked(true);
    nextFile.clear();
    d.onSaveClicked();
    EXPECT_EQ(fileDialogs.size(), 1U);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(appState().ResultsRecalcPending);  // computed before the question
}

TEST_F(OutputDialogs, WriteErrorShowsItsDescription) {
    appState().OutputFormat = 5;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkWind->setChecked(true);
    nextFile = QString::fromStdString((folder.path() / "none" / "k.dat").string());
    d.onSaveClicked();
    EXPECT_FALSE(Saved());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].icon, MsgIcon::NoIcon);
    EXPECT_TRUE(QString::fromStdString(messages[0].text).contains(QStringLiteral("k.dat"))) << messages[0].text;
}

TEST_F(OutputDialogs, ReadOnlyFileIsRefusedAndAPrivateOneStaysPrivate) {
    appState().OutputFormat = 5;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkWind->setChecked(true);
    const fs::path locked = folder.path() / "locked.dat";
    fixture::Put(locked, "kept\r\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    nextFile = QString::fromStdString(locked.string());
    d.onSaveClicked();
    EXPECT_FALSE(Saved());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, "Cannot open file '" + locked.string() + "': " + std::string(std::strerror(EACCES)));
    EXPECT_EQ(Slurp(locked), "kept\r\n");

    messages.clear();
    const fs::path mine = folder.path() / "mine.dat";
    fixture::Put(mine, "old\r\n");
    fs::permissions(mine, fs::perms::owner_read | fs::perms::owner_write);
    nextFile = QString::fromStdString(mine.string());
    d.onSaveClicked();
    EXPECT_TRUE(Saved());
    EXPECT_NE(Slurp(mine).find("E297"), std::string::npos);
    EXPECT_EQ(fs::status(mine).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(OutputDialogs, FurrowinRefusesALocationNameItsCatalogueCannotCarry) {
    // One character beyond U+FFFF: four bytes in UTF-8, two units in a QString.
    SetCurrentLocation("\u0141\u00f3d\u017a \U0001F30D", fixture::PointLon, fixture::PointLat, fixture::PointAlt);
    appState().OutputFormat = 7;
    TellOutputFormat(7);
    ResultsOutputDialog &d = ResultsOutput();
    const fs::path catalogue = folder.path() / "poland.Lst";
    nextFile = QString::fromStdString(catalogue.string());
    d.onSaveClicked();
    EXPECT_FALSE(Saved());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_TRUE(QString::fromStdString(messages[0].text)
                    .endsWith(QStringLiteral("cannot be written in their names: \u0141 \u017a \U0001F30D")))
        << messages[0].text;
    EXPECT_FALSE(fs::exists(catalogue));
    for (const auto &entry : fs::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().extension(), ".PEN") << entry.path();
}

// A catalogue named like one of the location's own files would replace it:
// refused, also where the names differ only in letter case.
TEST_F(OutputDialogs, FurrowinRefusesACatalogueNamedLikeTheLocationsFiles) {
    appState().OutputFormat = 7;
    TellOutputFormat(7);
    const fs::path cli = folder.path() / "East of Rome.CLI";
    fixture::Put(cli, "earlier\r\n");
    for (const auto &[typed, reason] :
         {std::pair{"East of Rome.CLI", "two files of the same save would be written to it"},
          {"east of rome.cli", "it is the same file as East of Rome.CLI, which is saved with it"},
          {"EAST OF ROME.pen", "it is the same file as East of Rome.PEN, which is saved with it"}}) {
        messages.clear();
        const fs::path catalogue = folder.path() / typed;
        nextFile = QString::fromStdString(catalogue.string());
        ResultsOutput().onSaveClicked();
        EXPECT_EQ(Texts(), std::vector<QString>{QString::fromStdString("Cannot save file '" + catalogue.string() +
                                                                       "': " + reason)});
        EXPECT_EQ(Slurp(cli), "earlier\r\n") << typed;
        EXPECT_FALSE(fs::exists(folder.path() / "East of Rome.PEN")) << typed;
        EXPECT_TRUE(catalogue == cli || !fs::exists(catalogue)) << typed;
    }
}

TEST_F(OutputDialogs, VistrelSaveLeavesAnEmptyFileAndConfirms) {
    appState().OutputFormat = 6;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkSun->setChecked(true);
    const fs::path file = folder.path() / "v.dat";
    nextFile = QString::fromStdString(file.string());
    d.onSaveClicked();
    EXPECT_TRUE(Saved());
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0U);
}

TEST_F(OutputDialogs, PrintGoesOutAsOneDocument) {
    appState().OutputFormat = 1;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkMean->setChecked(true);
    d.chkPET->setChecked(true);
    d.ChkBest->setChecked(true);
    d.onPrintClicked();
    EXPECT_EQ(printerDialogs, 1);
    EXPECT_TRUE(messages.empty());
    const std::string own = PrintedPdf();
    ASSERT_EQ(own.rfind("%PDF", 0), 0U);
    EXPECT_EQ(PdfPages(own), 2);  // one report per variable, no blank page after

    fs::remove(pdf);
    TellOutputFormat(4);
    appState().OutputFormat = 4;
    d.onPrintClicked();
    EXPECT_EQ(PdfPages(PrintedPdf()), 1);
}

TEST_F(OutputDialogs, PrintOfNothingOrACancelledPrinterMakesNoDocument) {
    appState().OutputFormat = 2;
    ResultsOutputDialog &d = ResultsOutput();
    d.chkMean->setChecked(true);
    cancelPrinter = true;
    d.onPrintClicked();
    EXPECT_EQ(printerDialogs, 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(appState().ResultsRecalcPending);  // computed before the question

    appState().OutputFormat = 6;
    TellOutputFormat(6);
    d.chkMean->setChecked(true);
    cancelPrinter = false;
    d.onPrintClicked();
    EXPECT_EQ(printerDialogs, 2);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(PrintedPdf().empty());
}

TEST_F(OutputDialogs, ActivationRecomputesOnce) {
    ResultsOutputDialog &d = ResultsOutput();
    d.onActivated();
    EXPECT_FALSE(appState().ResultsRecalcPending);
    EXPECT_TRUE(d.CmdSave->isEnabled());
    EXPECT_TRUE(d.CmdPrint->isEnabled());
    EXPECT_TRUE(results::LocationResultsWindow().Results().AllComputed());
}

using testsupport::Activate;
using testsupport::CloseABoxOver;

TEST_F(OutputDialogs, ActivationShowsAFailedRunOnce) {
    fs::remove_all(folder.path() / "TavisolData");
    ASSERT_TRUE(appState().ResultsRecalcPending);
    ResultsOutputDialog &d = ResultsOutput();
    d.show();
    ASSERT_TRUE(Activate(&d));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, MsgIcon::NoIcon);
    // The box closes: the dialog is active again, and again.
    for (int k = 0; k < 3; ++k)
        CloseABoxOver(&d);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(results::LocationResultsWindow().EstimateDue());
    EXPECT_TRUE(d.CmdSave->isEnabled());

    // A new location is tried on the next activation.
    fixture::WriteDataFolder(folder.path());
    SetCurrentLocation("Moved", fixture::PointLon + 0.02F, fixture::PointLat, fixture::PointAlt);
    CloseABoxOver(&d);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(appState().ResultsRecalcPending);
    d.hide();
}

// Save and Print of both dialogs refuse before the file or the printer is
// asked for, and say why: the window's run failed, or a run is going.
struct RefusalRow {
    const char *name;
    bool workbench;
    bool save;
    const char *refusal;  // followed by the failure's message, on a line of its own
    const char *before;   // the failure's message follows this
};

class Refusals : public OutputDialogs, public ::testing::WithParamInterface<RefusalRow> {
protected:
    QPushButton *Button() {
        OutputDialog &d = GetParam().workbench ? static_cast<OutputDialog &>(WorkbenchOutput()) : ResultsOutput();
        return GetParam().save ? d.CmdSave : d.CmdPrint;
    }
    std::string Failure() {
        return GetParam().workbench ? workbench::WorkbenchWindow::instance()->model().Failure()
                                    : results::LocationResultsWindow().Failure();
    }
};

TEST_P(Refusals, ComeBeforeTheQuestionWithTheirReason) {
    appState().OutputFormat = 2;
    ResultsOutput().chkMean->setChecked(true);
    fs::remove_all(folder.path() / "TavisolData");
    workbench::WorkbenchWindow::instance();
    results::LocationResultsWindow().ShowData();
    ASSERT_FALSE(Failure().empty());
    messages.clear();
    Button()->click();
    const std::string failure = Failure();
    const bool viewData = !GetParam().workbench;
    EXPECT_EQ(Texts(), std::vector<QString>{QString::fromUtf8(GetParam().refusal) + QStringLiteral("\n") +
                                            QString::fromUtf8(GetParam().before) + QString::fromStdString(failure) +
                                            (viewData && failure.back() != '.' ? QStringLiteral(".") : QString())});

    // Pressed while View Data computes.
    fixture::WriteDataFolder(folder.path());
    SetCurrentLocation("Moved", fixture::PointLon + 0.02F, fixture::PointLat, fixture::PointAlt);
    messages.clear();
    QProgressBar bar;
    results::LocationResultsWindow().setProgressBar(&bar);
    QObject::connect(&bar, &QProgressBar::valueChanged, &bar, [this](int v) {
        if (v == 3)
            Button()->click();
    });
    EXPECT_TRUE(results::LocationResultsWindow().ShowData());
    EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("Tavisol Busy")});
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(printerDialogs, 0);
}

INSTANTIATE_TEST_SUITE_P(
    BothDialogs, Refusals,
    ::testing::Values(
        // View Data names the ticked variables without an estimate.
        RefusalRow{"ViewDataSave", false, true,
                   "There is no estimate of mean temperature at East of Rome. Nothing was saved.",
                   "No estimate of Monthly Mean Temperature: the run stopped: "},
        RefusalRow{"ViewDataPrint", false, false,
                   "There is no estimate of mean temperature at East of Rome. Nothing was printed.",
                   "No estimate of Monthly Mean Temperature: the run stopped: "},
        RefusalRow{"WorkBenchSave", true, true,
                   "The WorkBench holds no estimate of its variable at this location: nothing was saved.", ""},
        RefusalRow{"WorkBenchPrint", true, false,
                   "The WorkBench holds no estimate of its variable at this location: nothing was printed.", ""}),
    [](const ::testing::TestParamInfo<RefusalRow> &row) { return std::string(row.param.name); });

// A name Windows-1252 cannot hold is written with "?", and the save says
// which after its confirmation: the location's in the tables, the Ketlo and
// Tillwick files, the catalogue's in the Furrowin files, a station's in the
// own report, once however many variables hold it.
struct ChangedNameRow {
    const char *name;
    bool workbench;
    int format;
    const char *location;
    const char *file;
    const char *said;  // the name and what the file holds instead
};

class ChangedNames : public OutputDialogs, public ::testing::WithParamInterface<ChangedNameRow> {};

TEST_P(ChangedNames, AreSaidAfterTheConfirmation) {
    const ChangedNameRow &row = GetParam();
    // The nearest station of the first two variables, named in UTF-8.
    for (engine::Integer v : {0, 1}) {
        const fs::path file = folder.path() / "TavisolData" /
                              engine::StationFileNames(v, fixture::PointLat, fixture::PointLon).front();
        std::string text = Slurp(file);
        const std::string own = "\"St" + std::to_string(v) + "_1\"";
        text.replace(text.find(own), own.size(), "\"Москва\"");
        fixture::Put(file, "\xEF\xBB\xBF" + text);
    }
    SetCurrentLocation(row.location, fixture::PointLon, fixture::PointLat, fixture::PointAlt);
    appState().OutputFormat = row.format;
    TellOutputFormat(row.format);
    nextFile = QString::fromStdString((folder.path() / row.file).string());
    OutputDialog &d = row.workbench ? static_cast<OutputDialog &>(WorkbenchOutput()) : ResultsOutput();
    if (!row.workbench) {
        ResultsOutput().chkMean->setChecked(true);
        ResultsOutput().chkMax->setChecked(true);
    }
    d.ChkBest->setChecked(true);
    d.chkStat->setChecked(true);
    d.CmdSave->click();
    EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("Data Saved Correctly\n1 name was written with \"?\" for "
                                                           "the characters that Windows-1252 files cannot hold:\n") +
                                            QString::fromUtf8(row.said)});
}

INSTANTIATE_TEST_SUITE_P(
    EverySave, ChangedNames,
    ::testing::Values(
        ChangedNameRow{"ViewDataTable", false, 2, "Москва", "t.dat",
                       "\"Москва\" as \"??????\""},
        ChangedNameRow{"ViewDataKetlo", false, 5, "Минск", "k.dat",
                       "\"Минск\" as \"?????\""},
        ChangedNameRow{"ViewDataTillwickInput", false, 3, "Łódź", "i.dat",
                       "\"Łódź\" as \"?ód?\""},
        ChangedNameRow{"ViewDataTillwickOutput", false, 4, "Łódź \"Lublinek\"", "o.dat",
                       "\"Łódź \"Lublinek\"\" as \"?ód? 'Lublinek'\""},
        ChangedNameRow{"ViewDataFurrowin", false, 7, "East of Rome", "Łódź.Lst",
                       "\"Łódź\" as \"?ód?\""},
        ChangedNameRow{"ViewDataReport", false, 1, "East of Rome", "r.tvs",
                       "\"Москва\" as \"??????\""},
        ChangedNameRow{"WorkBenchTable", true, 2, "Москва", "t.dat",
                       "\"Москва\" as \"??????\""},
        ChangedNameRow{"WorkBenchKetlo", true, 5, "Минск \"Nord\"", "k.dat",
                       "\"Минск \"Nord\"\" as \"????? 'Nord'\""},
        ChangedNameRow{"WorkBenchReport", true, 1, "East of Rome", "r.tvs",
                       "\"Москва\" as \"??????\""}),
    [](const ::testing::TestParamInfo<ChangedNameRow> &row) { return std::string(row.param.name); });

TEST_F(OutputDialogs, MenuCommandsShowOneButtonAndUnloadStartsAfresh) {
    ASSERT_TRUE(RunCommand(Command::SaveViewData));
    ResultsOutputDialog *d = ResultsOutputIfLoaded();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->CmdSave->isHidden());
    EXPECT_TRUE(d->CmdPrint->isHidden());
    RunCommand(Command::PrintViewData);
    EXPECT_EQ(ResultsOutputIfLoaded(), d);
    EXPECT_TRUE(d->CmdSave->isHidden());
    EXPECT_FALSE(d->CmdPrint->isHidden());

    d->chkMean->setChecked(true);
    d->ChkError->setChecked(true);
    d->onCancelClicked();
    EXPECT_EQ(ResultsOutputIfLoaded(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ResultsOutputDialog &fresh = ResultsOutput();
    EXPECT_FALSE(fresh.chkMean->isChecked());
    EXPECT_FALSE(fresh.ChkError->isChecked());

    RunCommand(Command::UnloadResultsOutput);
    EXPECT_EQ(ResultsOutputIfLoaded(), nullptr);
}

TEST_F(OutputDialogs, LocationDialogSaveShowsTheResultsDialogAsItIs) {
    RunCommand(Command::PrintViewData);
    ResultsOutput().hide();
    LocationDialog location;
    location.onSaveClicked();
    ResultsOutputDialog *d = ResultsOutputIfLoaded();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->CmdSave->isHidden());  // the buttons stay as the last command left them
}

// ---- WorkbenchOutputDialog -----------------------------------------------------------------------------

TEST_F(OutputDialogs, WorkbenchDialogAdaptsToTheFormat) {
    WorkbenchOutputDialog &d = WorkbenchOutput();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Output"));
    EXPECT_FALSE(d.ChkBest->isChecked());
    EXPECT_TRUE(d.chkThr->isEnabled());
    d.chkObs->setChecked(true);
    TellOutputFormat(5);
    EXPECT_TRUE(d.ChkBest->isChecked());
    EXPECT_FALSE(d.chkThr->isEnabled());
    EXPECT_FALSE(d.Levels.optlev90->isEnabled());
    EXPECT_TRUE(d.chkObs->isChecked());
    TellOutputFormat(1);
    EXPECT_FALSE(d.ChkBest->isChecked());
    EXPECT_TRUE(d.chkObs->isChecked());
    EXPECT_TRUE(d.Levels.optlev90->isEnabled());
}

TEST_F(OutputDialogs, WorkbenchDialogLevelFollowsTheWorkbench) {
    WorkbenchOutputDialog &d = WorkbenchOutput();
    d.chkDay->click();
    EXPECT_EQ(d.Levels.level(), Level::P90);  // no workbench yet
    d.chkDay->click();
    EXPECT_EQ(d.Levels.level(), Level::None);

    workbench::WorkbenchWindow::instance()->model().SetLevel(workbench::ConfidenceLevel::P99);
    d.chkDay->click();
    EXPECT_EQ(d.Levels.level(), Level::P99);
    d.chkThr->click();
    d.chkDay->click();
    EXPECT_EQ(d.Levels.level(), Level::P99);  // chkThr still ticked
    d.chkThr->click();
    EXPECT_EQ(d.Levels.level(), Level::None);
}

TEST_F(OutputDialogs, WorkbenchRefusesTillwickAndFurrowin) {
    for (int format : {3, 4, 7}) {
        appState().OutputFormat = format;
        TellOutputFormat(format);
        WorkbenchOutputDialog &d = WorkbenchOutput();
        d.onSaveClicked();
        d.onPrintClicked();
    }
    ASSERT_EQ(messages.size(), 6U);
    for (const auto &m : messages) {
        EXPECT_EQ(m.text, "You Cannot use this Format in WorkBench Mode");
        EXPECT_EQ(m.icon, MsgIcon::Information);
    }
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(printerDialogs, 0);
}

TEST_F(OutputDialogs, WorkbenchSaveWritesItsVariableAndHides) {
    appState().OutputFormat = 2;
    RunCommand(Command::SaveWorkBench);
    WorkbenchOutputDialog &d = WorkbenchOutput();
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.CmdPrint->isHidden());
    const fs::path file = folder.path() / "wb.dat";
    nextFile = QString::fromStdString(file.string());
    d.onSaveClicked();
    EXPECT_TRUE(Saved()) << (messages.empty() ? "" : messages.front().text);
    EXPECT_FALSE(d.isVisible());
    const std::string text = Slurp(file);
    EXPECT_EQ(text.rfind(" \r\nStation Name = East of Rome", 0), 0U) << text;
    EXPECT_NE(text.find("\r\nTemp_mean_mly "), std::string::npos);  // the workbench's variable 0

    // Vistrel: nothing written, no file, still confirmed.
    messages.clear();
    appState().OutputFormat = 6;
    const fs::path none = folder.path() / "wb6.dat";
    nextFile = QString::fromStdString(none.string());
    d.onSaveClicked();
    EXPECT_TRUE(Saved());
    EXPECT_FALSE(fs::exists(none));
}

TEST_F(OutputDialogs, WorkbenchSaveAndPrintRecomputeAPendingEstimate) {
    workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::instance();
    ASSERT_FALSE(w->RecalcPending());
    SetCurrentLocation("Moved", fixture::PointLon + 0.05F, fixture::PointLat, fixture::PointAlt);
    ASSERT_TRUE(w->RecalcPending());

    appState().OutputFormat = 1;
    WorkbenchOutputDialog &d = WorkbenchOutput();
    d.ChkBest->setChecked(true);
    d.onPrintClicked();
    EXPECT_FALSE(w->RecalcPending());  // the old location's estimate is not printed
    EXPECT_FLOAT_EQ(w->State().CalcLongitude, appState().CurLongitude);
    EXPECT_GE(PdfPages(PrintedPdf()), 1);
    EXPECT_TRUE(messages.empty());

    SetCurrentLocation("Moved again", fixture::PointLon + 0.08F, fixture::PointLat, fixture::PointAlt);
    nextFile = QString::fromStdString((folder.path() / "wb.tvs").string());
    d.onSaveClicked();
    EXPECT_FALSE(w->RecalcPending());
    EXPECT_FLOAT_EQ(w->State().CalcLongitude, appState().CurLongitude);
    EXPECT_TRUE(Saved());
    EXPECT_GT(fs::file_size(folder.path() / "wb.tvs"), 100U);
}

TEST_F(OutputDialogs, WorkbenchSaveWritesNothingWhenItsEstimateFails) {
    workbench::WorkbenchWindow::instance();
    fs::remove_all(folder.path() / "TavisolData");
    SetCurrentLocation("Moved", fixture::PointLon + 0.05F, fixture::PointLat, fixture::PointAlt);
    appState().OutputFormat = 5;
    WorkbenchOutputDialog &d = WorkbenchOutput();
    const fs::path file = folder.path() / "wb.dat";
    nextFile = QString::fromStdString(file.string());
    d.onSaveClicked();
    EXPECT_FALSE(Saved());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages.front().icon, MsgIcon::NoIcon);
    EXPECT_TRUE(QString::fromStdString(messages.back().text).contains(QStringLiteral("nothing was saved")));
    EXPECT_FALSE(fs::exists(file));

    // The next save with the data back writes (nothing pending any more).
    fixture::WriteDataFolder(folder.path());
    messages.clear();
    appState().WorkbenchRecalcPending = true;
    d.onSaveClicked();
    EXPECT_TRUE(Saved());
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(OutputDialogs, WorkbenchCancelHidesAndKeepsTheTicks) {
    RunCommand(Command::PrintWorkBench);
    WorkbenchOutputDialog &d = WorkbenchOutput();
    d.chkStat->setChecked(true);
    d.Levels.setLevel(Level::P95);
    d.onCancelClicked();
    EXPECT_FALSE(d.isVisible());
    RunCommand(Command::PrintWorkBench);
    EXPECT_EQ(WorkbenchOutputIfLoaded(), &d);
    EXPECT_TRUE(d.chkStat->isChecked());
    EXPECT_EQ(d.Levels.level(), Level::P95);
}

// Escape (a dialog's reject) and the Cancel button run each dialog's own
// Cancel: the results dialog unloads, the workbench's hides and keeps its ticks.
TEST_F(OutputDialogs, EscapeAndTheCancelButtonActAsCancel) {
    auto escape = [](QWidget *w) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &key);
    };
    RunCommand(Command::SaveViewData);
    escape(ResultsOutputIfLoaded());
    EXPECT_EQ(ResultsOutputIfLoaded(), nullptr);
    RunCommand(Command::SaveViewData);
    ResultsOutputIfLoaded()->CmdCanc->click();
    EXPECT_EQ(ResultsOutputIfLoaded(), nullptr);

    RunCommand(Command::SaveWorkBench);
    WorkbenchOutputDialog &d = WorkbenchOutput();
    d.chkThr->setChecked(true);
    escape(&d);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(WorkbenchOutputIfLoaded(), &d);
    RunCommand(Command::SaveWorkBench);
    EXPECT_TRUE(d.isVisible());
    d.CmdCanc->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.chkThr->isChecked());
}

TEST(PrintLines, LongListsContinueOnNewPagesOfOneDocument) {
    fixture::TempFolder folder;
    const fs::path file = folder.path() / "lines.pdf";
    exports::PrintLines lines;
    for (int i = 0; i < 150; ++i)
        lines.emplace_back().text("Temp_mean_mly").tab(26).text(std::to_string(i));
    report::PrintOutcome outcome;
    {
        QPdfWriter writer(QString::fromStdString(file.string()));
        writer.setPageSize(QPageSize(QPageSize::A4));
        outcome = PrintLinesOn(writer, lines);
    }
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_GE(outcome.pages, 2);
    EXPECT_EQ(PdfPages(Slurp(file)), outcome.pages);

    const fs::path none = folder.path() / "none.pdf";
    {
        QPdfWriter writer(QString::fromStdString(none.string()));
        EXPECT_EQ(RunPrintJob(writer, PrintJob{}).pages, 0);
    }
    EXPECT_TRUE(!fs::exists(none) || fs::file_size(none) == 0);
}

// The words of a printed text in order: runs of characters between blanks
// and commas, so a number or a column head cut in two shows as two words.
void AppendWords(std::vector<std::string> &words, const std::string &text) {
    std::string word;
    for (char c : text + ' ') {
        if (c != ' ' && c != ',') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
}

// Every print path laid out on A4, Letter and A5 paper with the printer's
// margins from none to 25 mm, with the device's own text extents: nothing
// passes the right margin, and every number and word of what the path prints
// stays whole on one line. The standard table is wider than the page even in
// the smallest print font, and the long location name makes the CSV rows
// wider too; the export lines take a smaller font than Courier 10, down to
// 6 pt. The altitude window adds the longest line in the heading font.
TEST(PrintLines, EveryPrintPathKeepsInsideThePageAndItsNumbersWhole) {
    fixture::TempFolder folder;
    QPdfWriter writer(QString::fromStdString((folder.path() / "wide.pdf").string()));
    const report::DeviceMeasure measure(writer);

    const results::LocationResults stored = fixture::StoredRun();
    OutputRequest request;
    request.LocationName = "East of Rome on the old road to the coast";
    request.Current = {fixture::PointLon, fixture::PointLat, fixture::PointAlt};
    request.Variables.fill(true);
    request.Methods.NeighbAlt = true;
    report::ReportOptions &o = request.Options;
    o.Best = o.High = o.Error = o.Bias = o.Slope = o.LongGrad = o.LatGrad = o.DirGrad = o.AbsGrad = o.ExplVar = true;
    o.Dekadal = o.Daily = o.Threshold = o.Stations = o.Observations = true;
    o.Level = Level::P95;
    const auto linesJob = [&](int format) {
        request.Format = format;
        return LocationPrintJob(stored, request);
    };
    const PrintJob table = linesJob(2);
    const PrintJob ketlo = linesJob(5);
    const PrintJob tillwick = linesJob(3);
    const PrintJob own = linesJob(1);
    engine::EngineState state;
    engine::SetInitialValues(state);
    results::RestoreVariable(stored, 3, state);
    const PrintJob bench = WorkbenchPrintJob(state, request);
    ASSERT_EQ(bench.Reports.size(), 1U);

    for (const QPageSize::PageSizeId paper : {QPageSize::A4, QPageSize::Letter, QPageSize::A5})
    for (int margin = 0; margin <= 25; margin += 5) {
        writer.setPageSize(QPageSize(paper));
        writer.setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
        const report::PageSize page = report::PrintablePage(writer);
        struct Path {
            const char *name;
            report::PrintScript script;
            bool exportLines;
        };
        const std::vector<Path> paths = {
            {"standard table", FittedLinesScript(table.Lines, page, measure), true},
            {"Ketlo", FittedLinesScript(ketlo.Lines, page, measure), true},
            {"Tillwick input", FittedLinesScript(tillwick.Lines, page, measure), true},
            {"own report", report::PrintedLocationReports(own.Reports, own.Methods, own.Options, page, "now", own.Locale),
             false},
            {"workbench report",
             report::PrintedWorkbenchReport(bench.Reports.front(), bench.Methods, bench.Options, page, "now",
                                            bench.Locale),
             false},
        };
        for (const Path &path : paths) {
            SCOPED_TRACE(std::string(path.name) + ", " + QPageSize(paper).name().toStdString() + ", margins of " +
                         std::to_string(margin) + " mm");
            std::vector<std::string> written;
            for (const report::PrintOp &op : path.script)
                for (const auto &line : op.Lines)
                    for (const auto &segment : line)
                        AppendWords(written, segment.text);
            std::vector<std::string> printed;
            for (const auto &p : report::LayOut(path.script, page, measure).Pages)
                for (const auto &item : p.Items) {
                    if (path.exportLines) {
                        EXPECT_GE(item.Font.Size, MinLinesFontSize);
                        EXPECT_LT(item.Font.Size, LinesFont.Size);
                    }
                    const QFontMetricsF fm(report::ToQFont(item.Font), &writer);
                    const double width =
                        fm.horizontalAdvance(QString::fromStdString(item.Text)) * 25.4 / writer.logicalDpiX();
                    EXPECT_LE(item.X + width, page.Width + 0.01) << item.Text;
                    AppendWords(printed, item.Text);
                }
            const auto [p, w] = std::mismatch(printed.begin(), printed.end(), written.begin(), written.end());
            EXPECT_TRUE(p == printed.end() && w == written.end())
                << "printed \"" << (p == printed.end() ? "" : *p) << "\" where \""
                << (w == written.end() ? "" : *w) << "\" was written";
        }
    }

    // A narrow table keeps the print font.
    exports::PrintLines narrow(1);
    narrow[0].text("Temp_mean_mly  1.00");
    const report::PageSize page = report::PrintablePage(writer);
    const report::PrintScript small = FittedLinesScript(narrow, page, measure);
    EXPECT_EQ(report::LayOut(small, page, measure).Pages[0].Items[0].Font.Size, LinesFont.Size);
}

TEST(FileFilters, TheChosenFiltersExtensionCompletesATypedName) {
    EXPECT_EQ(FilterExtension(QStringLiteral("Data (*.Dat)")), QStringLiteral(".Dat"));
    EXPECT_EQ(FilterExtension(QStringLiteral("Vistrel (*.IMG);;All (*.*)")), QStringLiteral(".IMG"));
    EXPECT_EQ(FilterExtension(QStringLiteral("*.tvs")), QStringLiteral(".tvs"));
    EXPECT_EQ(FilterExtension(QStringLiteral("All (*.*)")), QString());
    EXPECT_EQ(FilterExtension(QStringLiteral("All (*)")), QString());
    EXPECT_EQ(WithFilterExtension(QStringLiteral("/d/run"), QStringLiteral("Data (*.Dat)")), QStringLiteral("/d/run.Dat"));
    EXPECT_EQ(WithFilterExtension(QStringLiteral("/d.x/run"), QStringLiteral("Data (*.Dat)")),
              QStringLiteral("/d.x/run.Dat"));
    EXPECT_EQ(WithFilterExtension(QStringLiteral("/d/run.csv"), QStringLiteral("Data (*.Dat)")),
              QStringLiteral("/d/run.csv"));
    EXPECT_EQ(WithFilterExtension(QString(), QStringLiteral("Data (*.Dat)")), QString());  // cancelled
}

TEST(FileFilters, DialogFiltersInQtForm) {
    EXPECT_EQ(QtFileFilter("Tavisol (*.tvs)|*.tvs"), QStringLiteral("Tavisol (*.tvs)"));
    EXPECT_EQ(QtFileFilter("Data|*.Dat|All|*.*"), QStringLiteral("Data (*.Dat);;All (*.*)"));
}

// ---- The workbench holds no estimate -------------------------------------------------------

TEST_F(OutputDialogs, WorkbenchRefusesToWriteARunWithoutAnEstimate) {
    workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::instance();
    ASSERT_TRUE(w->HasEstimate());
    appState().OutputFormat = 2;
    WorkbenchOutputDialog &d = WorkbenchOutput();
    const fs::path file = folder.path() / "none.dat";
    nextFile = QString::fromStdString(file.string());

    // No neighbour within the maximum distance (as after the settings' OK).
    sharedSettingsForTesting().MaxDistance = 0.001F;
    appState().WorkbenchRecalcPending = true;
    d.CmdSave->click();
    EXPECT_FALSE(Saved());
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "No calculation can be done with 0 neighbours");
    EXPECT_EQ(messages[1].text,
              "The WorkBench holds no estimate of its variable at this location: nothing was saved.");
    EXPECT_EQ(messages[1].icon, MsgIcon::Information);

    // Nothing pending now: refused before any file is asked for.
    messages.clear();
    d.CmdSave->click();
    EXPECT_EQ(fileDialogs.size(), 0u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(Saved());
    d.CmdPrint->click();
    EXPECT_EQ(printerDialogs, 0);
    ASSERT_EQ(messages.size(), 2u);
    // With the reason the workbench gives above its panels.
    EXPECT_THAT(messages[1].text,
                ::testing::MatchesRegex("The WorkBench holds no estimate of its variable at this location: nothing "
                                        "was printed.\nNo estimate of .*: no station within the Maximum Distance "
                                        "of 0.001 km."));
    EXPECT_TRUE(PrintedPdf().empty());

    // A failed run (a station file missing) is refused the same way.
    sharedSettingsForTesting().MaxDistance = 1000;
    appState().WorkbenchRecalcPending = true;
    messages.clear();
    d.CmdSave->click();
    ASSERT_TRUE(Saved());
    fs::remove(file);
    messages.clear();
    fs::remove_all(folder.path() / "TavisolData");
    appState().WorkbenchRecalcPending = true;
    d.CmdPrint->click();
    EXPECT_EQ(printerDialogs, 0);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].icon, MsgIcon::NoIcon);
    const std::size_t asked = fileDialogs.size();
    d.CmdSave->click();
    EXPECT_EQ(fileDialogs.size(), asked);  // refused before any file is asked for
    EXPECT_FALSE(Saved());
    EXPECT_FALSE(fs::exists(file));
}

// Stations meet every criterion, and the user switched them all off: the
// workbench says so above its panels and in its refusals.
TEST_F(OutputDialogs, WorkbenchWithEveryNeighbourSwitchedOffSaysSo) {
    workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::instance();
    const int found = w->State().NeighbourCount;
    ASSERT_GT(found, 1);
    for (int k = 1; k <= found; ++k)
        w->findChild<QCheckBox *>(QStringLiteral("neighbourCheck%1").arg(k))->click();
    ASSERT_FALSE(w->HasEstimate());
    const std::string why =
        "No estimate of Monthly Mean Temperature: all " + std::to_string(found) + " neighbouring stations are switched off.";
    EXPECT_EQ(w->findChild<QLabel *>(QStringLiteral("missingEstimate"))->text().toStdString(), why);
    appState().OutputFormat = 2;
    WorkbenchOutputDialog &d = WorkbenchOutput();
    messages.clear();
    d.CmdSave->click();
    d.CmdPrint->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              "The WorkBench holds no estimate of its variable at this location: nothing was saved.\n" + why);
    EXPECT_EQ(messages[1].text,
              "The WorkBench holds no estimate of its variable at this location: nothing was printed.\n" + why);
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(printerDialogs, 0);

    // One box ticked again: an estimate, and nothing more to say.
    w->findChild<QCheckBox *>(QStringLiteral("neighbourCheck2"))->click();
    EXPECT_TRUE(w->HasEstimate());
    EXPECT_TRUE(w->findChild<QLabel *>(QStringLiteral("missingEstimate"))->isHidden());
}

TEST_F(OutputDialogs, WorkbenchWritesAPickedPointUnderItsOwnNameAndForgetsItWhenClosed) {
    workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::instance();
    appState().OutputFormat = 2;
    WorkbenchOutputDialog &d = WorkbenchOutput();
    const fs::path here = folder.path() / "here.dat";
    nextFile = QString::fromStdString(here.string());
    d.CmdSave->click();
    ASSERT_TRUE(Saved());

    // Right-click on the map, answered No: the workbench shows the point.
    w->findChild<QTabBar *>(QStringLiteral("pageTabs"))->setCurrentIndex(3);
    auto *map = w->findChild<workbench::PictureBox *>(QStringLiteral("picMapStation"));
    ASSERT_NE(map, nullptr);
    map->resize(600, 360);
    const QPointF at = map->toPixel(0.3, 0.2);
    QMouseEvent press(QEvent::MouseButtonPress, at, map->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(map, &press);
    const fs::path picked = folder.path() / "picked.dat";
    nextFile = QString::fromStdString(picked.string());
    d.CmdSave->click();
    const std::string pickedText = Slurp(picked);
    EXPECT_EQ(pickedText.rfind(" \r\nStation Name = ST-Lon", 0), 0U) << pickedText;

    // Closed: nothing of the point stays to be written as the current location.
    w->close();
    const fs::path again = folder.path() / "again.dat";
    nextFile = QString::fromStdString(again.string());
    d.CmdSave->click();
    EXPECT_EQ(Slurp(again), Slurp(here));
}

TEST_F(OutputDialogs, OnlyRaisedWarningsStayEnabledWhenTheWorkbenchDialogCloses) {
    sharedSettingsForTesting().MaxStations = 5;  // Few is raised, nothing else
    workbench::WorkbenchWindow *w = workbench::WorkbenchWindow::instance();
    const char *names[] = {"CmdLow", "CmdHigh", "CmdLonely", "CmdDoubled", "CmdStrange", "CmdFew", "CmdHit"};
    auto enabled = [&] {
        std::vector<bool> e;
        for (const char *name : names)
            e.push_back(w->findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled());
        return e;
    };
    const std::vector<bool> raised = enabled();
    ASSERT_TRUE(raised[5]);   // Few
    ASSERT_FALSE(raised[6]);  // Hit: the nearest station is kilometres away
    RunCommand(Command::PrintWorkBench);
    WorkbenchOutput().CmdCanc->click();
    EXPECT_EQ(enabled(), raised);

    WorkbenchOutput().ChkBest->setChecked(true);
    nextFile = QString::fromStdString((folder.path() / "few.tvs").string());
    WorkbenchOutput().CmdSave->click();
    ASSERT_TRUE(Saved());
    EXPECT_EQ(enabled(), raised);
}

} // namespace
} // namespace tavisol::outdlg
