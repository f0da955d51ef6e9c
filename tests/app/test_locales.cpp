// Every output written with the process locale set as the program gets it at
// its start (C.UTF-8, de_DE.UTF-8 with a decimal comma and digit grouping,
// en_US.UTF-8 with grouping by commas), each compared with its rule: the same
// bytes in every locale, or the user's decimal mark and digit grouping.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/wiring.h"
#include "batch/locations.h"
#include "batch/runs.h"
#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "outdlg/dialogs.h"
#include "outdlg/install.h"
#include "rastermap/fixture.h"
#include "rastermap/raster_map_window.h"
#include "report/printreport.h"
#include "shell/appstate.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "support/activation.h"
#include "support/datafolder.h"
#include "support/files.h"
#include "support/localechild.h"
#include "support/printrecorder.h"
#include "support/programstate.h"
#include "worldmap/worldmap.h"

namespace {

using namespace tavisol;
namespace fs = std::filesystem;

// ---- What each output's rule says ------------------------------------------------

enum class Rule {
    Same,     // byte for byte the C.UTF-8 output
    UserForm, // the C.UTF-8 output with the user's decimal mark and digit grouping
};

struct Row {
    const char *output; // regular expression over the output's path in its locale's folder
    Rule rule;
    // Lines of a Same output that begin so follow the user's locale all the same.
    const char *userLines = nullptr;
    // Comma-separated: each row has the fields of the column line, whatever
    // its location's name holds (a quote, the user's decimal comma).
    bool csv = false;
};

// Location outputs are "viewdata" and "workbench" with the format, saved
// (their files) or printed (".printed"); list runs "run<format>_<workers>".
const std::vector<Row> &Rows() {
    static const std::vector<Row> rows = {
        {R"(viewdata1\.tvs)", Rule::UserForm},
        {R"(viewdata1\.printed)", Rule::UserForm},
        {R"(viewdata2\.dat)", Rule::Same, "Station Name = "},
        {R"(viewdata2\.printed)", Rule::UserForm},
        {R"(viewdata3\.csv)", Rule::Same, nullptr, true},
        {R"(viewdata3\.printed)", Rule::Same},
        {R"(viewdata4\.csv)", Rule::Same, nullptr, true},
        {R"(viewdata4\.printed)", Rule::Same},
        {R"(viewdata5\.dat)", Rule::Same, nullptr, true},
        {R"(viewdata5\.printed)", Rule::Same},
        {R"(viewdata7\.Lst)", Rule::UserForm},
        {R"(East of Rome\.PEN)", Rule::Same},
        {R"(East of Rome\.CLI)", Rule::UserForm},
        {R"(viewdata7\.printed)", Rule::UserForm},
        {R"(workbench1\.tvs)", Rule::UserForm},
        {R"(workbench1\.printed)", Rule::UserForm},
        {R"(workbench2\.dat)", Rule::Same, "Station Name = "},
        {R"(workbench2\.printed)", Rule::UserForm},
        {R"(workbench5\.dat)", Rule::Same, nullptr, true},
        {R"(workbench5\.printed)", Rule::Same},
        {R"(run1_w[08]/.*\.tvs)", Rule::UserForm},
        {R"(run2_w[08]/run\.dat)", Rule::Same, "Station Name = "},
        {R"(run[345]_w[08]/run\.dat)", Rule::Same, nullptr, true},
        {R"(run[25]_w[08]/.*_INFORMATION\.tvs)", Rule::UserForm},
        {R"(run7_w[08]/(run\.dat|.*\.CLI))", Rule::UserForm},
        {R"(run7_w[08]/.*\.PEN)", Rule::Same},
        {R"(raster/export\.(img|clr|cty|bnd))", Rule::Same},
    };
    return rows;
}

// ---- Making every output in one locale ------------------------------------------------

// Stations around Rome whose values give negative numbers, numbers of four
// digits and growing seasons that begin and end within months.
std::string StationsOf(int variable) {
    static const double rain[12] = {300, 600, 700, 200, 400, 800, 1800, 1800, 900, 300, 300, 300};
    std::vector<testsupport::Station> stations;
    for (int k = 0; k < 8; ++k) {
        testsupport::Station s;
        s.lat = 41.7 + 0.07 * k;
        s.lon = 12.6 + 0.11 * ((k * 3) % 8);
        s.alt = 15.0 + 60.0 * k;
        for (int m = 0; m < 12; ++m) {
            double v = -3.25 + 2.5 * m + 0.37 * k + variable;
            if (variable == 3)
                v = rain[m];
            if (variable == 5)
                v = 1000;
            if (variable == 7)
                v = 0.31 + 0.02 * m + 0.01 * k;
            s.values[static_cast<std::size_t>(m)] = v;
        }
        s.name = "S" + std::to_string(k);
        stations.push_back(s);
    }
    return testsupport::StationFile(stations);
}

class EveryOutput {
public:
    explicit EveryOutput(const fs::path &into) : into_(into) {
        fs::create_directories(into_);
        testsupport::StartProgramIn(program_.path());
        const fs::path data = program_.path() / "TavisolData";
        for (const auto &[lon, lat] : {std::pair{13.01F, 41.99F}, std::pair{12.5F, 41.5F}})
            testsupport::WriteStationFilesAt(data, lat, lon, StationsOf);
        testsupport::WriteElevationRaster(data, 3);
        QImage world(720, 360, QImage::Format_RGB32);
        world.fill(Qt::white);
        world.save(QString::fromStdString((data / "woma.bmp").string()), "BMP");
        WriteMap();

        SetMessageBoxHandler([this](QWidget *, const Message &m) {
            messages_.push_back(m.text);
            return m.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        });
        outdlg::SetSaveFileDialog([this](QWidget *, const QString &, const QString &) { return next_; });
        outdlg::SetPrinterDialog([this](QWidget *) -> QPagedPaintDevice * {
            printer_ = std::make_unique<testsupport::PrintRecorder>();
            return printer_.get();
        });
        rastermap::RasterMapWindow::SetSaveDialog(
            [this](QWidget *, const QString &, const QString &) { return next_; });
        InstallEarlyCommands();
        main_ = std::make_unique<MainWindow>();
        InstallMainWindowCommands(*main_);
        main_->show();
        testsupport::Activate(main_.get());
    }
    ~EveryOutput() {
        main_.reset();
        DestroyWorldMap();
        outdlg::SetSaveFileDialog({});
        outdlg::SetPrinterDialog({});
        rastermap::RasterMapWindow::SetSaveDialog({});
        testsupport::EndProgram();
    }

    void LocationOutputs() {
        Trigger("mn_ViewData");
        Trigger("mn_WorkBench");
        const std::map<int, const char *> formats = {{1, "mn_OutputTavisol"}, {2, "mn_Quorrel"},
                                                     {3, "mn_TillwickInput"}, {4, "mn_TillwickOutput"},
                                                     {5, "mn_Ketlo"},         {7, "mn_Furrowin"}};
        const std::map<int, const char *> extension = {{1, ".tvs"}, {2, ".dat"}, {3, ".csv"},
                                                       {4, ".csv"}, {5, ".dat"}, {7, ".Lst"}};
        for (const auto &[format, command] : formats) {
            Trigger(command);
            const std::string name = "viewdata" + std::to_string(format);
            Save(name + extension.at(format), "mn_SaveViewData", TickedResults);
            Print(name + ".printed", "mn_PrintViewData", TickedResults);
            if (format == 1 || format == 2 || format == 5) {
                const std::string bench = "workbench" + std::to_string(format);
                Save(bench + extension.at(format), "mn_SaveWorkBench", TickedWorkbench);
                Print(bench + ".printed", "mn_PrintWorkBench", TickedWorkbench);
            }
        }
    }

    // The runs of the list window, with no worker threads and with eight.
    void ListRuns() {
        const numfmt::Locale user = numfmt::userLocale();
        const batch::LocationList list = {batch::GridEntry(13.5F, 42.1F, 120, user),
                                          batch::GridEntry(12.75F, 41.85F, -20, user),
                                          {"Rome \"centre, west\"", numfmt::general(12.5F, user),
                                           numfmt::general(41.9F, user), "21"}};
        batch::BatchChoices choices;
        choices.Variables = {true, false, false, true, false, false, false, true};
        for (int o = 0; o < batch::OutputCount; ++o)
            choices.Outputs[static_cast<std::size_t>(o)] = true;
        choices.Summary = true;
        const batch::DateTime now{2026, 12, 9, 6, 30, 5};
        for (const unsigned workers : {0U, 8U}) {
            for (const int format : {1, 2, 3, 4, 5, 7}) {
                batch::RunHost host;
                host.Choices = [&] { return choices; };
                host.Message = [this](const Message &m) {
                    messages_.push_back(m.text);
                    return true;
                };
                host.Locale = user;
                host.Workers = workers;
                engine::EngineState state;
                state.UseSettings(sharedSettings());
                state.DataFolder = dataFolder();
                const fs::path folder = into_ / ("run" + std::to_string(format) + "_w" + std::to_string(workers));
                fs::create_directories(folder);
                const batch::RunEnd end =
                    format == 1 ? batch::RunOwnFormat(state, list, folder, now, host)
                                : batch::RunOtherFormat(state, format, list, folder / "run.dat", folder, now, host);
                EXPECT_EQ(end, batch::RunEnd::Completed) << format;
                ExpectMessages({"Data Saved Correctly"});
            }
        }
    }

    // An image of precipitation over the map, with its legend.
    void RasterExport() {
        Trigger("mn_vectMap");
        rastermap::RasterMapWindow *w = rastermap::RasterMapWindow::instance();
        ASSERT_NE(w, nullptr);
        w->exportVariableBox->setCurrentIndex(3);
        w->TxtLonStart->setText(QStringLiteral("12.5"));
        w->TxtLonEnd->setText(QStringLiteral("13.5"));
        w->TxtLatStart->setText(QStringLiteral("42.5"));
        w->TxtLatEnd->setText(QStringLiteral("41.5"));
        w->exportResolutionBox->setEditText(QString::fromStdString(numfmt::general(0.25, numfmt::userLocale())));
        fs::create_directories(into_ / "raster");
        next_ = QString::fromStdString((into_ / "raster" / "export.img").string());
        w->onExportSaveClicked();
        ExpectMessages({"Data Saved Correctly"});
    }

private:
    void Trigger(const char *command) {
        QAction *a = main_->menuAction(QString::fromLatin1(command));
        ASSERT_NE(a, nullptr) << command;
        a->trigger();
        QCoreApplication::processEvents();
    }

    static outdlg::OutputDialog &TickedResults() {
        outdlg::ResultsOutputDialog &d = outdlg::ResultsOutput();
        for (QCheckBox *b : {d.chkMean, d.chkPrec, d.chkSun, d.ChkBest, d.ChkHigh, d.ChkError, d.chkStat, d.chkObs})
            if (b->isEnabled())
                b->setChecked(true);
        return d;
    }
    static outdlg::OutputDialog &TickedWorkbench() {
        outdlg::WorkbenchOutputDialog &d = outdlg::WorkbenchOutput();
        for (QCheckBox *b : {d.ChkBest, d.ChkHigh, d.ChkError, d.ChkBias, d.chkStat, d.chkObs, d.chkDek, d.chkDay,
                             d.chkThr})
            if (b->isEnabled())
                b->setChecked(true);
        return d;
    }

    void Save(const std::string &file, const char *command, outdlg::OutputDialog &(*ticked)()) {
        next_ = QString::fromStdString((into_ / file).string());
        Trigger(command);
        ticked().CmdSave->click();
        ExpectMessages({"Data Saved Correctly"});
    }

    // What the print put on paper, its date line (the user's date form, at
    // the moment of printing) marked as such.
    void Print(const std::string &file, const char *command, outdlg::OutputDialog &(*ticked)()) {
        const std::string before = report::GeneralDateText(QDateTime::currentDateTime());
        Trigger(command);
        ticked().CmdPrint->click();
        const std::string after = report::GeneralDateText(QDateTime::currentDateTime());
        ASSERT_TRUE(printer_) << file;
        std::string lines = printer_->Lines();
        for (const std::string &date : {before, after})
            for (std::size_t at = lines.find(date); !date.empty() && at != std::string::npos; at = lines.find(date))
                lines.replace(at, date.size(), "<date>");
        EXPECT_FALSE(lines.empty()) << file;
        testsupport::Put(into_ / file, lines);
        printer_.reset();
        ExpectMessages({});
    }

    void ExpectMessages(const std::vector<std::string> &expected) {
        EXPECT_EQ(messages_, expected);
        messages_.clear();
    }

    // A map over Rome, a quarter of a degree a cell.
    void WriteMap() {
        rastermap::testing::UseBuiltVantrix();
        rastermap::testing::FixtureMap map;
        map.Columns = 12;
        map.Rows = 8;
        map.West = 12;
        map.North = 43;
        map.Cell = 0.25;
        map.Capitals = "\"Rome\",1\r\n12.5,41.9\r\n";
        map.Boundaries = "\"Coast\",2\r\n12.1,42.9\r\n13.9,41.2\r\n";
        rastermap::testing::WriteFixtureMap(program_.path() / "vistreldata", map);
    }

    fs::path into_;
    testsupport::TempFolder program_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<testsupport::PrintRecorder> printer_;
    std::vector<std::string> messages_;
    QString next_;
};

// ---- Comparing with the C.UTF-8 output ----------------------------------------------------

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text with each run of blanks and line ends as one blank, and the days
// of the daily tables ("1.1. (1)", "1.1 (1)"), which are no numbers, marked.
std::string Plain(const std::string &text) {
    static const std::regex day(R"((\d{1,2})\.(\d{1,2})(\.? \(\d+\)))");
    std::string out;
    for (const char ch : std::regex_replace(text, day, "$1<day>$2$3")) {
        const bool blank = ch == ' ' || ch == '\r' || ch == '\n';
        if (!blank || out.empty() || out.back() != ' ')
            out += blank ? ' ' : ch;
    }
    return out;
}

// Where `user` differs from `c` other than as the user's locale `loc` writes
// numbers: each decimal point of `c` (also of " .5") is loc's decimal mark,
// and loc's group separator may stand between the digits of a number's
// integer part; once a number is longer so, it may take a blank that stood
// before the next field, or a line may break sooner. Empty when there is no
// such place.
std::string UserFormMismatch(const std::string &cText, const std::string &userText, const numfmt::Locale &loc) {
    const std::string c = Plain(cText), user = Plain(userText);
    const auto between = [](const std::string &s, std::size_t at, std::size_t width) {
        return at > 0 && IsDigit(s[at - 1]) && at + width < s.size() && IsDigit(s[at + width]);
    };
    std::size_t i = 0, j = 0;
    int groups = 0;
    while (i < c.size() && j < user.size()) {
        // A decimal point: before a digit, after a digit or a sign or none (" .5").
        if (c[i] == '.' && i + 1 < c.size() && IsDigit(c[i + 1]) &&
            (i == 0 || !std::isalpha(static_cast<unsigned char>(c[i - 1])))) {
            if (user.compare(j, loc.decimal.size(), loc.decimal) != 0)
                break;
            ++i;
            j += loc.decimal.size();
        } else if (!loc.group.empty() && IsDigit(c[i]) && user.compare(j, loc.group.size(), loc.group) == 0 &&
                   between(user, j, loc.group.size())) {
            j += loc.group.size();
            ++groups;
        } else if (c[i] == user[j]) {
            ++i;
            ++j;
        } else if (groups > 0 && c[i] == ' ') {
            ++i;
        } else if (groups > 0 && user[j] == ' ') {
            ++j;
        } else {
            break;
        }
    }
    if (i == c.size() && j == user.size())
        return {};
    return "C.UTF-8: \"" + c.substr(i > 30 ? i - 30 : 0, 70) + "\"\n  user: \"" + user.substr(j > 30 ? j - 30 : 0, 70) +
           "\"";
}

std::vector<std::string> LinesOf(const std::string &text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        lines.push_back(text.substr(start, lf + 1 - start));
        start = lf + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// The names a list run makes for locations read without one are the
// location's name in the user's form (" Lon : 13,5 Lat : 42,1 Alt : 120",
// and "Lon 13,5 Lat 42,1 Alt 120" as a file name): here in the C.UTF-8 form.
std::string PointNames(std::string text, const numfmt::Locale &loc) {
    static const std::regex made(R"(Lon :? ?[-0-9.,]+ Lat :? ?[-0-9.,]+ Alt)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), made); it != std::sregex_iterator(); ++it)
        for (std::size_t at = text.find(loc.decimal, static_cast<std::size_t>(it->position()));
             at < static_cast<std::size_t>(it->position() + it->length()); at = text.find(loc.decimal, at + 1))
            text.replace(at, loc.decimal.size(), ".");
    return text;
}

// A Same output: the C.UTF-8 bytes, but for the names made for locations and
// the lines that begin with `userLines`, which follow the user's locale.
std::string SameMismatch(const std::string &c, const std::string &user, const numfmt::Locale &loc,
                         const char *userLines) {
    const std::vector<std::string> a = LinesOf(c), b = LinesOf(user);
    if (a.size() != b.size())
        return "line count " + std::to_string(a.size()) + " against " + std::to_string(b.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (userLines && a[k].rfind(userLines, 0) == 0) {
            if (std::string why = UserFormMismatch(a[k], b[k], loc); !why.empty())
                return "line " + std::to_string(k + 1) + ": " + why;
        } else if (PointNames(b[k], loc) != a[k]) {
            return "line " + std::to_string(k + 1) + ": \"" + a[k] + "\" against \"" + b[k] + "\"";
        }
    }
    return {};
}

// A row of fields other than the column line's count, or none.
std::string FieldCountMismatch(const std::string &text) {
    std::size_t columns = 0;
    for (const std::string &line : LinesOf(text)) {
        std::size_t fields = 1;
        bool quoted = false;
        for (const char ch : line) {
            if (ch == '"')
                quoted = !quoted;
            else if (ch == ',' && !quoted)
                ++fields;
        }
        if (line.rfind(",\"", 0) == 0 || line.rfind("\"STN-NAME\"", 0) == 0)
            columns = fields;
        else if (line.rfind("\"", 0) == 0 && fields != columns)
            return line;
    }
    return {};
}

const Row *RowOf(const std::string &output) {
    for (const Row &row : Rows())
        if (std::regex_match(output, std::regex(row.output)))
            return &row;
    return nullptr;
}

// The outputs of a folder by their paths in it (the Furrowin files of a list
// run are named after their locations).
std::map<std::string, std::string> Outputs(const fs::path &folder, const numfmt::Locale &loc) {
    std::map<std::string, std::string> files;
    for (const auto &e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            files[PointNames(fs::relative(e.path(), folder).string(), loc)] = testsupport::Slurp(e.path());
    return files;
}

// The record of the program's locale as a child under `locale` gets it.
numfmt::Locale RecordOf(const std::string &locale) {
    numfmt::Locale loc = numfmt::Locale::english();
    if (locale.rfind("de_DE", 0) == 0)
        loc = numfmt::Locale::decimalComma();
    return loc;
}

} // namespace

// Each output saved and printed from View Data and the workbench in every
// format, each list run with no worker threads and with eight, and a raster
// export, written by a child process per locale; each compared with the
// C.UTF-8 one as its row says.
TEST(EveryOutput, FollowsItsRuleInEveryLocale) {
    if (const std::string locale = testsupport::LocaleChild(); !locale.empty()) {
        EveryOutput make(testsupport::ChildFolder());
        make.LocationOutputs();
        make.ListRuns();
        make.RasterExport();
        return;
    }
    const testsupport::TempFolder root("locales");
    const std::vector<std::string> locales = {"C.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"};
    for (const std::string &locale : locales)
        ASSERT_TRUE(testsupport::RunTestInLocale(locale, root.path() / locale)) << locale;
    const std::map<std::string, std::string> c = Outputs(root.path() / "C.UTF-8", numfmt::Locale::english());
    ASSERT_FALSE(c.empty());
    // Every row is met, and every output has its row.
    for (const Row &row : Rows())
        EXPECT_TRUE(std::any_of(c.begin(), c.end(), [&](const auto &f) { return RowOf(f.first) == &row; }))
            << "no output " << row.output;
    for (const std::string &locale : {locales[1], locales[2]}) {
        const numfmt::Locale loc = RecordOf(locale);
        const std::map<std::string, std::string> user = Outputs(root.path() / locale, loc);
        EXPECT_EQ(user.size(), c.size()) << locale;
        for (const auto &[output, bytes] : c) {
            const Row *row = RowOf(output);
            EXPECT_NE(row, nullptr) << "no row for " << output;
            const auto it = user.find(output);
            if (!row || it == user.end()) {
                ADD_FAILURE() << output << " missing under " << locale;
                continue;
            }
            const std::string why = row->rule == Rule::Same ? SameMismatch(bytes, it->second, loc, row->userLines)
                                                            : UserFormMismatch(bytes, it->second, loc);
            EXPECT_EQ(why, "") << output << " under " << locale;
            if (row->csv) {
                EXPECT_EQ(FieldCountMismatch(it->second), "") << output << " under " << locale;
            }
        }
    }
}
