#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>
#include <optional>

#include "dialog_raster.h"
#include "shell/dialogcommands.h"
#include "shell/location_dialog.h"
#include "shell/coordinate_dialog.h"
#include "shell/settings_dialog.h"
#include "shell/programfolders.h"
#include "shell/savefiledialog.h"
#include "shell/sharedsettings.h"
#include "shell_fixture.h"
#include "support/realdialogs.h"
#include "support/typing.h"
#include "support/userlocale.h"

namespace {

using namespace tavisol;

using testsupport::Key;
using testsupport::Type;
using testsupport::UserDecimals;
using testsupport::UserDecimalsQ;

void Enter(QWidget *w) { Key(w, Qt::Key_Return, QStringLiteral("\r")); }

void Retype(QLineEdit *w, const QString &text) {
    w->clear();
    Type(w, text);
}

// Shows the dialog and gives it the keyboard, so focus moves can be watched.
void Activate(QWidget *w) {
    w->show();
    w->activateWindow();
    QApplication::processEvents();
}

// Puts the keyboard on the control; false where the platform gives it none.
bool GiveFocus(QWidget *w) {
    w->setFocus();
    QApplication::processEvents();
    return QApplication::focusWidget() == w;
}

// The next control that Tab (and Enter) reaches.
QWidget *NextStop(QWidget *w) {
    QWidget *next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

// The real message boxes, each closed with Enter once it is up. The window
// system then gives the keyboard back to the dialog, which the offscreen
// platform leaves to the test (activateWindow).
class RealMessageBoxes {
public:
    RealMessageBoxes() {
        SetMessageBoxHandler(nullptr);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
                QCoreApplication::sendEvent(box, &press);
                ++closed_;
            }
        });
        timer_.start(10);
    }
    int closed() const { return closed_; }

private:
    testsupport::RealDialogs real_;
    QTimer timer_;
    int closed_ = 0;
};

void DeleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class DialogTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        sharedSettingsForTesting() = engine::DefaultSettings();
        SetCurrentLocation("East of Rome", 13.01f, 41.99f, 17, RecalcMarks::None);
        raster = std::make_unique<RasterFolder>(
            std::vector<std::pair<std::pair<float, float>, std::uint8_t>>{
                {{13.01f, 41.99f}, 3}, {{12.5f, 41.99f}, 50}, {{-12.5f, 41.99f}, 8}});
        setProgramFolderForTesting(raster->root());
    }
    void TearDown() override {
        setProgramFolderForTesting({});
        SetLocationSaveHook(nullptr);
        sharedSettingsForTesting() = engine::DefaultSettings();
        ShellTest::TearDown();
    }
    // Message boxes closed with `key`, as a user does: the box takes the key's
    // press, and the release then reaches `field`, which has the focus again.
    // A rule that reopened its box on that release would keep the user in a
    // loop; the rounds are cut after a few so the count tells.
    void closeMessagesWith(QWidget *field, int key) {
        SetMessageBoxHandler([this, field, key](QWidget *, const Message &r) {
            messages.push_back(r);
            if (messages.size() < 5)
                QCoreApplication::postEvent(field, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
            return MsgAnswer::Ok;
        });
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> t;
        for (const auto &m : messages)
            t.push_back(m.title);
        return t;
    }
    std::unique_ptr<RasterFolder> raster;
};

// ---- Settings dialog ------------------------------------------------------------

class SettingsWindow : public DialogTest {};

TEST_F(SettingsWindow, DesignStateAndFocusOrder) {
    SettingsDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Change Settings"));
    EXPECT_EQ(d.settingsFields(), dialogs::SettingsFields{});
    EXPECT_TRUE(d.txtMinHigh->isReadOnly());
    EXPECT_TRUE(d.txtMaxHigh->isReadOnly());
    EXPECT_FALSE(d.txtMaxDist->isReadOnly());
    EXPECT_EQ(d.txtMaxDist->maxLength(), 5);
    EXPECT_EQ(d.txtMaxStat->maxLength(), 2);
    EXPECT_EQ(d.txtPowExp->maxLength(), 1);
    EXPECT_EQ(d.txtMinDist->maxLength(), 4);
    EXPECT_EQ(d.txtShad->maxLength(), 4);
    EXPECT_EQ(d.chkAltCorr->text(), QStringLiteral("Apply Local Linear Altitude Correction"));
    EXPECT_EQ(d.okButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(d.CmdCanc->text(), QStringLiteral("Cancel"));

    const std::vector<QWidget *> order{d.txtMaxStat, d.txtMaxDist, d.chkAltCorr, d.ChkGradCorr,
                                       d.txtPowExp,  d.chkNeighbAlt, d.txtMinHigh, d.txtMaxHigh,
                                       d.txtMinDist, d.txtShad,     d.CmdCanc,    d.okButton};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextStop(order[i]), order[i + 1]) << i << " " << NextStop(order[i])->objectName().toStdString();
}

TEST_F(SettingsWindow, KeyFiltersShowTheirMessagesAndDropTheKey) {
    SettingsDialog d;
    Type(d.txtMaxStat, QStringLiteral("-"));
    EXPECT_EQ(d.txtMaxStat->text(), QStringLiteral("20"));
    Type(d.txtMaxStat, QStringLiteral("."));
    EXPECT_EQ(d.txtMaxStat->text(), QStringLiteral("20"));
    EXPECT_EQ(titles(), (std::vector<std::string>{"Problem: To few stations.", "Problem"}));
    EXPECT_EQ(messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(messages[0].text,
              "You should allow one neighbour at least.\nJust to get a result.");

    Retype(d.txtMaxDist, QStringLiteral("12a,5-")); // the comma key types the point
    EXPECT_EQ(d.txtMaxDist->text(), QStringLiteral("12.5"));
    EXPECT_EQ(titles().back(), "Problem: Area too small.");

    d.chkNeighbAlt->setChecked(true);
    Retype(d.txtMinHigh, QStringLiteral("-20x"));
    EXPECT_EQ(d.txtMinHigh->text(), QStringLiteral("-20"));

    // A pasted text (the field's menu, or the paste key) goes through the same
    // filter: refused whole at the first key that could not be typed, with
    // that key's message or one naming the field, the text staying as it was;
    // also where only its beginning has room after the text already there.
    messages.clear();
    const struct {
        QLineEdit *field;
        QString text;
        bool byKey;
        bool taken;
        bool atEnd = false;
        bool dropped = false;
    } pastes[] = {
        {d.txtMinDist, QStringLiteral("1e309"), false, false},
        {d.txtMaxStat, QStringLiteral("-5"), true, false},
        {d.txtMinHigh, QStringLiteral("-12.5"), true, true},
        {d.txtMinDist, QStringLiteral("1e39"), false, false, true},
        {d.txtShad, QStringLiteral("0.5e3"), true, false, true},
        {d.txtMaxDist, QStringLiteral("0e99"), false, false, true, true},
    };
    for (const auto &p : pastes) {
        const QString before = p.field->text();
        QGuiApplication::clipboard()->setText(p.dropped ? QStringLiteral("7") : p.text);
        if (p.atEnd)
            p.field->end(false);
        else
            p.field->selectAll();
        QMimeData dragged;
        dragged.setText(p.text);
        const QPoint end(p.field->width() - 1, 1);
        QDragEnterEvent enter(end, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(end, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        if (p.dropped) {
            QApplication::sendEvent(p.field, &enter);
            QApplication::sendEvent(p.field, &drop);
        } else if (p.byKey) {
            Key(p.field, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
        } else {
            p.field->paste();
        }
        QApplication::processEvents();
        EXPECT_EQ(p.field->text(), p.taken ? p.text : before) << p.text.toStdString();
    }
    ASSERT_EQ(titles(),
              (std::vector<std::string>{"Problem", "Problem: To few stations.", "Problem", "Problem", "Problem"}));
    EXPECT_EQ(messages[0].text,
              "The text holds \"e\", which cannot be typed into \"Nearest Neighbor Approx. if Min. Dist <\".");
    EXPECT_EQ(messages[2].text, messages[0].text);
}

TEST_F(SettingsWindow, EnterMovesOnInTheFocusOrder) {
    SettingsDialog d;
    Activate(&d);
    if (!GiveFocus(d.txtMaxStat))
        GTEST_SKIP() << "no keyboard focus on this platform";
    // The field selects its whole text on receiving the focus.
    EXPECT_EQ(d.txtMaxStat->selectedText(), QStringLiteral("20"));
    Enter(d.txtMaxStat);
    EXPECT_EQ(QApplication::focusWidget(), d.txtMaxDist);
    EXPECT_EQ(d.txtMaxDist->selectedText(), QStringLiteral("1000"));
    EXPECT_EQ(d.txtMaxStat->text(), QStringLiteral("20"));

    // Leaving the lower altitude field above the upper one: a message, and the
    // focus still moves on.
    d.chkNeighbAlt->setChecked(true);
    d.txtMinHigh->setFocus();
    QApplication::processEvents();
    d.txtMinHigh->setText(QStringLiteral("9000"));
    Enter(d.txtMinHigh);
    EXPECT_EQ(QApplication::focusWidget(), d.txtMaxHigh);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Altitude Confusion"}));
    EXPECT_EQ(messages[0].text, "Lowest Altitude should be below highest altitude!");
    Enter(d.txtMaxHigh);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Highest Altitude should be above lowest altitude!");

    // Enter on a button presses it; Enter in a field never does.
    d.txtMaxHigh->setText(QStringLiteral("9500"));
    d.txtMinDist->setFocus();
    Enter(d.txtMinDist);
    EXPECT_TRUE(d.isVisible());
    d.CmdCanc->setFocus();
    Enter(d.CmdCanc);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.txtMaxHigh->text(), QStringLiteral("8848")); // Cancel restored it
}

TEST_F(SettingsWindow, EnterMovesOnFromTheCheckBoxes) {
    SettingsDialog d;
    Activate(&d);
    if (!GiveFocus(d.chkAltCorr))
        GTEST_SKIP() << "no keyboard focus on this platform";
    Enter(d.chkAltCorr);
    EXPECT_EQ(QApplication::focusWidget(), d.ChkGradCorr);
    Enter(d.ChkGradCorr);
    EXPECT_EQ(QApplication::focusWidget(), d.txtPowExp);
    EXPECT_TRUE(d.chkAltCorr->isChecked());
    EXPECT_TRUE(d.ChkGradCorr->isChecked());
    d.hide();
}

TEST_F(SettingsWindow, FailedOkPutsTheFocusOnTheValueToCorrect) {
    SettingsDialog d;
    Activate(&d);
    if (!GiveFocus(d.okButton))
        GTEST_SKIP() << "no keyboard focus on this platform";
    d.txtPowExp->setText(QStringLiteral("9"));
    Enter(d.okButton);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Rather high power!"}));
    EXPECT_EQ(QApplication::focusWidget(), d.txtPowExp);
    EXPECT_EQ(d.txtPowExp->selectedText(), QStringLiteral("9"));

    d.txtPowExp->setText(QStringLiteral("1"));
    d.txtMaxDist->setText(QStringLiteral("0"));
    d.okButton->setFocus();
    Enter(d.okButton);
    EXPECT_EQ(titles().back(), "Problem: Area too  small.");
    EXPECT_EQ(QApplication::focusWidget(), d.txtMaxDist);
    EXPECT_TRUE(d.isVisible());

    // Beyond single precision, or the altitude limits the wrong way round:
    // refused on OK, and no infinity is put in force.
    d.txtMaxDist->setText(QStringLiteral("1000"));
    d.chkNeighbAlt->setChecked(true);
    const std::pair<QLineEdit *, QString> wrong[] = {
        {d.txtMinDist, QStringLiteral("1e99")},   // within the field's four characters
        {d.txtMinHigh, QStringLiteral("1e309")},
        {d.txtMaxHigh, QStringLiteral("-400")},
    };
    for (const auto &[field, text] : wrong) {
        const QString before = field->text();
        field->setText(text);
        d.okButton->setFocus();
        Enter(d.okButton);
        EXPECT_EQ(titles().back(), field == d.txtMinDist ? "Too large Minimum Distance" : "Altitude Confusion");
        EXPECT_NE(QApplication::focusWidget(), d.okButton);
        EXPECT_TRUE(d.isVisible());
        field->setText(before);
    }
    EXPECT_TRUE(std::isfinite(sharedSettings().MinDistance));
    EXPECT_TRUE(std::isfinite(sharedSettings().MinAltitude));
    d.hide();
}

TEST_F(SettingsWindow, CancelIsNotHeldUpByTheAltitudeOrderCheck) {
    SettingsDialog d;
    Activate(&d);
    d.chkNeighbAlt->setChecked(true);
    if (!GiveFocus(d.txtMinHigh))
        GTEST_SKIP() << "no keyboard focus on this platform";
    d.txtMinHigh->setText(QStringLiteral("9000"));
    // A mouse press on Cancel gives it the focus first; a message then would
    // take the click away.
    d.CmdCanc->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(QApplication::focusWidget(), d.CmdCanc);
    d.CmdCanc->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.txtMinHigh->text(), QStringLiteral("-350"));
}

TEST_F(SettingsWindow, TypingGoesOnAfterAKeyFilterMessage) {
    RealMessageBoxes boxes;
    SettingsDialog d;
    Activate(&d);
    if (!GiveFocus(d.txtMaxDist))
        GTEST_SKIP() << "no keyboard focus on this platform";
    d.txtMaxDist->clear();
    Type(d.txtMaxDist, QStringLiteral("12-"));
    EXPECT_EQ(boxes.closed(), 1);
    // The window system gives the keyboard back to the dialog.
    d.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), d.txtMaxDist);
    // The message took the minus; the next digit goes on from where it was.
    Type(d.txtMaxDist, QStringLiteral("5"));
    EXPECT_EQ(d.txtMaxDist->text(), QStringLiteral("125"));
    d.hide();
}

TEST_F(SettingsWindow, AltitudeWindowSwitch) {
    SettingsDialog d;
    d.chkNeighbAlt->click();
    EXPECT_FALSE(d.txtMinHigh->isReadOnly());
    EXPECT_FALSE(d.txtMaxHigh->isReadOnly());
    d.txtMinHigh->setText(QStringLiteral("200"));
    d.txtMaxHigh->setText(QStringLiteral("1500"));
    d.chkNeighbAlt->click();
    EXPECT_TRUE(d.txtMinHigh->isReadOnly());
    EXPECT_TRUE(d.txtMaxHigh->isReadOnly());
    EXPECT_EQ(d.txtMinHigh->text(), QStringLiteral("-350"));
    EXPECT_EQ(d.txtMaxHigh->text(), QStringLiteral("8848"));
}

TEST_F(SettingsWindow, OkWithTheDesignValuesMarksBothWindowsAndHides) {
    SettingsDialog d;
    d.show();
    d.okButton->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);
    EXPECT_EQ(sharedSettings().MaxDistance, 1000.0f);
    EXPECT_EQ(sharedSettings().MaxStations, 20);
    EXPECT_EQ(appState().LocationName, "East of Rome"); // the location stays
}

TEST_F(SettingsWindow, FailedOkKeepsTheDialogAndCancelShowsWhatIsInForce) {
    SettingsDialog d;
    d.show();
    d.txtPowExp->setText(QStringLiteral("9"));
    d.txtMinDist->setText(QStringLiteral("0,5"));
    d.onOkClicked();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Rather high power!"}));
    EXPECT_TRUE(d.isVisible());
    // What a failed check leaves in force is a change the result windows follow.
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_EQ(sharedSettings().IdwPower, 9.0f);
    EXPECT_EQ(sharedSettings().MinDistance, 0.5f);
    EXPECT_EQ(d.txtMinDist->text(), QStringLiteral("0.5"));

    d.txtPowExp->setText(QStringLiteral("2"));
    d.txtMaxDist->setText(QStringLiteral("50"));
    d.CmdCanc->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.txtPowExp->text(), QStringLiteral("9"));
    EXPECT_EQ(d.txtMaxDist->text(), QStringLiteral("1000"));
    EXPECT_EQ(sharedSettings().IdwPower, 9.0f);
}

TEST_F(SettingsWindow, RefusedStationCountLeavesTheCountInForce) {
    SettingsDialog d;
    d.show();
    sharedSettingsForTesting().MaxStations = 8;
    d.txtMaxStat->setText(QStringLiteral("25"));
    d.onOkClicked();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Problem: To many stations."}));
    EXPECT_EQ(sharedSettings().MaxStations, 8);
    EXPECT_TRUE(d.isVisible());
    d.onCancelClicked();
    EXPECT_EQ(d.txtMaxStat->text(), QStringLiteral("8"));
}

TEST_F(SettingsWindow, QuirksKeptAsTheyAre) {
    SettingsDialog d;
    d.show();
    d.txtMinDist->setText(QStringLiteral("0"));
    d.onOkClicked();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Too small Minimum Distance"}));
    EXPECT_EQ(sharedSettings().MinDistance, 0.1f);
    EXPECT_EQ(d.txtMinDist->text(), QStringLiteral("0"));
    EXPECT_FALSE(d.isVisible());

    d.show();
    sharedSettingsForTesting().MaxStations = 5;
    d.txtMaxStat->setText(QStringLiteral("5"));
    d.txtMinDist->setText(QStringLiteral("0.1"));
    d.txtMaxDist->setText(QStringLiteral("23000"));
    d.onOkClicked();
    EXPECT_EQ(titles().back(), "Problem: Area definitely to large.");
    EXPECT_EQ(sharedSettings().MaxStations, 20);
    EXPECT_TRUE(d.isVisible());
}

TEST_F(SettingsWindow, CancelUntickingTheWindowRunsTheSwitch) {
    SettingsDialog d;
    d.chkNeighbAlt->setChecked(true);
    d.txtMinHigh->setText(QStringLiteral("100"));
    d.onCancelClicked(); // the window is off in the settings
    EXPECT_FALSE(d.chkNeighbAlt->isChecked());
    EXPECT_TRUE(d.txtMinHigh->isReadOnly());
    EXPECT_EQ(d.txtMinHigh->text(), QStringLiteral("-350"));

    sharedSettingsForTesting().AltWindowOn = 1;
    sharedSettingsForTesting().MinAltitude = 300;
    d.onCancelClicked();
    EXPECT_TRUE(d.chkNeighbAlt->isChecked());
    EXPECT_FALSE(d.txtMinHigh->isReadOnly());
    EXPECT_EQ(d.txtMinHigh->text(), QStringLiteral("300"));
}

TEST_F(SettingsWindow, ValuesInForceLongerThanTheTypingLimitsStayWhole) {
    SettingsDialog d;
    d.show();
    // The list window's fields take any length and write the settings at once.
    sharedSettingsForTesting().IdwPower = 2.5f;
    sharedSettingsForTesting().MaxDistance = 1500.5f;
    sharedSettingsForTesting().MinDistance = 0.125f;
    sharedSettingsForTesting().ShadowCoef = 0.125f;
    d.onCancelClicked();
    const dialogs::SettingsFields shown = d.settingsFields(); // what the reports describe
    EXPECT_EQ(shown.PowExp, UserDecimals("2.5"));
    EXPECT_EQ(shown.MaxDist, UserDecimals("1500.5"));
    EXPECT_EQ(shown.MinDist, UserDecimals("0.125"));
    EXPECT_EQ(shown.Shad, UserDecimals("0.125"));

    d.show();
    d.onOkClicked();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(sharedSettings().IdwPower, 2.5f);
    EXPECT_EQ(sharedSettings().MaxDistance, 1500.5f);
    EXPECT_EQ(sharedSettings().MinDistance, 0.125f);
    EXPECT_EQ(sharedSettings().ShadowCoef, 0.125f);

    // Typing is still held to the limit.
    Retype(d.txtPowExp, QStringLiteral("23"));
    EXPECT_EQ(d.txtPowExp->text(), QStringLiteral("2"));
}

TEST_F(SettingsWindow, EscapeActsAsCancel) {
    SettingsDialog d;
    d.show();
    d.txtPowExp->setText(QStringLiteral("3"));
    d.reject();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.txtPowExp->text(), QStringLiteral("1"));

    // Escape typed into a field and the close box take the same way.
    d.show();
    d.txtPowExp->setText(QStringLiteral("3"));
    QTest::keyClick(d.txtPowExp, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.txtPowExp->text(), QStringLiteral("1"));
    d.show();
    d.txtMaxStat->setText(QStringLiteral("7"));
    EXPECT_TRUE(d.close());
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.txtMaxStat->text(), QStringLiteral("20"));
    EXPECT_TRUE(messages.empty());
}

// ---- Coordinate dialog ------------------------------------------------------------

class CoordWindow : public DialogTest {};

TEST_F(CoordWindow, LoadShowsTheCurrentLocationBothWays) {
    CoordinateDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Transformation of Coordinates"));
    const dialogs::CoordFields f = d.fields();
    EXPECT_EQ(f, (dialogs::CoordFields{"13.01", "41.99", "13", "0", "36", "E", "41", "59", "24",
                                       "N"}));
    EXPECT_EQ(d.txtlong->toolTip(), QStringLiteral("Give Longitude as a decimal number"));
    EXPECT_EQ(d.txtLatNS->toolTip(), QStringLiteral("Give N for North or S for South"));
    EXPECT_EQ(d.txtLongSec->maxLength(), 3);
    EXPECT_EQ(d.txtLatSec->maxLength(), 5);
    const std::vector<QWidget *> order{d.txtLat,    d.txtlong,    d.txtLatNS,  d.txtLongOW,
                                       d.txtLatSec, d.txtLongSec, d.txtLatMin, d.txtLongMin,
                                       d.txtLatGrad, d.txtLongGrad, d.CmdCanc, d.cmdBack};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextStop(order[i]), order[i + 1]) << i << " " << NextStop(order[i])->objectName().toStdString();
}

TEST_F(CoordWindow, ConvertsLiveWhileTyping) {
    CoordinateDialog d;
    Retype(d.txtLongGrad, QStringLiteral("12"));
    Retype(d.txtLongMin, QStringLiteral("30"));
    Retype(d.txtLongSec, QStringLiteral("0"));
    Retype(d.txtLongOW, QStringLiteral("x"));
    EXPECT_EQ(titles(), (std::vector<std::string>{"Tavisol"}));
    EXPECT_EQ(messages[0].text, "E for East or W for West. That's all.");
    EXPECT_EQ(messages[0].icon, MsgIcon::NoIcon);
    Type(d.txtLongOW, QStringLiteral("w"));
    EXPECT_EQ(d.txtlong->text(), UserDecimalsQ("-12.5"));

    Retype(d.txtlong, QStringLiteral("-0.5"));
    EXPECT_EQ(d.txtLongGrad->text(), QStringLiteral("0"));
    EXPECT_EQ(d.txtLongMin->text(), QStringLiteral("30"));
    EXPECT_EQ(d.txtLongSec->text(), QStringLiteral("0"));
    EXPECT_EQ(d.txtLongOW->text(), QStringLiteral("W"));

    Retype(d.txtLat, QStringLiteral("0"));
    EXPECT_EQ(d.txtLatNS->text(), QStringLiteral("S"));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(CoordWindow, OutOfRangeLongitudeOnTheLastKey) {
    CoordinateDialog d;
    d.txtlong->clear();
    Type(d.txtlong, QStringLiteral("19"));
    EXPECT_TRUE(messages.empty());
    Type(d.txtlong, QStringLiteral("0"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Strange Location");
    EXPECT_EQ(messages[0].text,
              "Longitude should be between -180 and +180   degrees.");
    EXPECT_EQ(messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(d.txtLongGrad->text(), QStringLiteral("19")); // converted up to "19"

    d.show();
    d.onOkClicked();
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.isUnloaded());
    EXPECT_EQ(appState().LocationName, "East of Rome");
    d.hide();
}

TEST_F(CoordWindow, ClosingTheRangeMessageWithEnterOrEscapeDoesNotReopenIt) {
    for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        for (const bool longitude : {true, false}) {
            SCOPED_TRACE(testing::Message() << "key " << key << (longitude ? " longitude" : " latitude"));
            messages.clear();
            CoordinateDialog d;
            d.show();
            QLineEdit *field = longitude ? d.txtlong : d.txtLat;
            closeMessagesWith(field, key);
            field->clear();
            Type(field, longitude ? QStringLiteral("190") : QStringLiteral("95"));
            QApplication::processEvents();
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].title, "Strange Location");
            EXPECT_TRUE(d.isVisible());

            // The user can mend the value at once.
            Retype(field, QStringLiteral("-19"));
            QApplication::processEvents();
            EXPECT_EQ(messages.size(), 1u);
            EXPECT_EQ(longitude ? d.txtLongOW->text() : d.txtLatNS->text(),
                      longitude ? QStringLiteral("W") : QStringLiteral("S"));
            d.hide();
        }
    }
}

TEST_F(CoordWindow, EnterMovesOnWithoutRewritingTheTypedValue) {
    CoordinateDialog d;
    Activate(&d);
    if (!GiveFocus(d.txtlong))
        GTEST_SKIP() << "no keyboard focus on this platform";
    Retype(d.txtlong, QStringLiteral("12.4837"));
    EXPECT_EQ(d.txtLongMin->text(), QStringLiteral("29"));
    // Enter moves on during its press; its release reaches the next field,
    // whose rule would write the rounded degrees back into the longitude.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(d.txtlong, &press);
    ASSERT_EQ(QApplication::focusWidget(), d.txtLatNS);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(d.txtLatNS, &release);
    EXPECT_EQ(d.txtlong->text(), QStringLiteral("12.4837"));
    EXPECT_TRUE(messages.empty());
    d.hide();
}

TEST_F(CoordWindow, RefusedOkSelectsTheLongitudeForRetyping) {
    RealMessageBoxes boxes;
    CoordinateDialog d;
    Activate(&d);
    if (!GiveFocus(d.cmdBack))
        GTEST_SKIP() << "no keyboard focus on this platform";
    d.txtlong->setText(QStringLiteral("190"));
    Enter(d.cmdBack);
    EXPECT_EQ(boxes.closed(), 1);
    d.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), d.txtlong);
    EXPECT_EQ(d.txtlong->selectedText(), QStringLiteral("190"));
    EXPECT_FALSE(d.isUnloaded());
    d.hide();
}

TEST_F(CoordWindow, OkTakesTheAltitudeFromTheRasterAndUnloads) {
    QPointer<CoordinateDialog> d = new CoordinateDialog;
    d->show();
    Retype(d->txtlong, QStringLiteral("-12,5")); // the comma key types the point
    EXPECT_EQ(d->txtlong->text(), QStringLiteral("-12.5"));
    EXPECT_EQ(d->txtLongOW->text(), QStringLiteral("W"));
    d->txtlong->setText(QStringLiteral("12,5")); // a comma that came in otherwise
    d->cmdBack->click();
    EXPECT_EQ(d->txtlong->text(), QStringLiteral("12.5"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(appState().CurLongitude, 12.5f);
    EXPECT_EQ(appState().CurElevation, 960.0f);
    EXPECT_EQ(appState().LocationName, "ST-Lon12.5-Lat41.99-Alt-960");
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isUnloaded());
    EXPECT_FALSE(d->isVisible());
    DeleteLaterNow();
    EXPECT_FALSE(d);
}

TEST_F(CoordWindow, PastedTextThatIsNoNumberStoresNothing) {
    CoordinateDialog d;
    d.show();
    d.txtlong->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("0x10"));
    d.txtlong->paste();  // refused as typing it would be
    QApplication::processEvents();
    EXPECT_EQ(d.txtlong->text(), QStringLiteral("13.01"));
    d.txtlong->setText(QStringLiteral("0x10")); // come in otherwise: refused at OK
    d.onOkClicked();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Problem", "Strange Location"}));
    // Emptied, the field holds no number: said at every OK, not while typing.
    d.txtlong->selectAll();
    Key(d.txtlong, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(messages.size(), 2u);
    d.onOkClicked();
    d.cmdBack->click();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[2].text, "The longitude field holds no number.");
    EXPECT_EQ(messages[3], messages[2]);
    EXPECT_EQ(appState().LocationName, "East of Rome");
    d.hide();
}

TEST_F(CoordWindow, MissingRasterStoresNothing) {
    setProgramFolderForTesting(raster->root() / "nowhere");
    CoordinateDialog d;
    d.show();
    d.onOkClicked();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(QString::fromStdString(messages[0].text).indexOf(QStringLiteral("10k8b.raw")), -1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(appState().LocationName, "East of Rome");
    d.hide();
}

// ---- Location dialog -----------------------------------------------------------------

class LocationWindow : public DialogTest {};

TEST_F(LocationWindow, LoadShowsTheCurrentLocation) {
    LocationDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Choose Location"));
    EXPECT_EQ(d.fields(), (dialogs::LocationFields{"East of Rome", UserDecimals("13.01"), UserDecimals("41.99"), "17"}));
    Retype(d.txtName, QStringLiteral("A name of more than twenty-five characters"));
    EXPECT_EQ(d.txtName->text(), QStringLiteral("A name of more than twent"));
    EXPECT_EQ(d.txtElev->maxLength(), 4);
    EXPECT_TRUE(messages.empty());
    const std::vector<QWidget *> order{d.txtName, d.txtlong, d.txtLat, d.txtElev,
                                       d.cmdBack, d.CmdCanc, d.CmdSave};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextStop(order[i]), order[i + 1]) << i << " " << NextStop(order[i])->objectName().toStdString();
}

TEST_F(LocationWindow, LoadedValuesLongerThanTheTypingLimitsStayWhole) {
    const QString generated = QStringLiteral("ST-Lon-123.45-Lat-33.87-Alt-1234");
    SetCurrentLocation("", -123.45f, -33.87f, 1234, RecalcMarks::None);
    ASSERT_EQ(appState().LocationName, generated.toStdString());
    {
        LocationDialog d;
        d.show();
        EXPECT_EQ(d.txtName->text(), generated);
        d.cmdBack->click();
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(d.isUnloaded());
        EXPECT_EQ(appState().LocationName, generated.toStdString());
    }

    // An altitude out of range is refused at OK, not cut into one in range.
    LocationDialog d;
    d.show();
    SetFieldText(d.txtElev, "10000");
    EXPECT_EQ(d.txtElev->text(), QStringLiteral("10000"));
    d.cmdBack->click();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Please Correct"}));
    EXPECT_FALSE(d.isUnloaded());
    EXPECT_EQ(appState().CurElevation, 1234.0f);
    d.hide();
}

TEST_F(LocationWindow, AltitudeFollowsTheRasterWhileTyping) {
    LocationDialog d;
    d.txtlong->clear();
    Type(d.txtlong, QStringLiteral("12,5"));
    EXPECT_EQ(d.txtElev->text(), QStringLiteral("960"));
    EXPECT_EQ(d.txtlong->text(), QStringLiteral("12,5")); // the field is not rewritten
    // A coordinate that is no number looks nothing up, pasted or typed.
    d.txtLat->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("inf"));
    d.txtLat->paste();
    EXPECT_EQ(d.txtElev->text(), QStringLiteral("960"));
    Retype(d.txtLat, QStringLiteral("-"));
    EXPECT_EQ(d.txtElev->text(), QStringLiteral("960"));
    Retype(d.txtLat, QStringLiteral("90"));
    EXPECT_EQ(d.txtElev->text(), QStringLiteral("0")); // "9" is over water; 90 looks nothing up
    EXPECT_TRUE(messages.empty());
}

TEST_F(LocationWindow, MissingRasterSaysSoOnceAndKeepsTheAltitude) {
    setProgramFolderForTesting(raster->root() / "nowhere");
    LocationDialog d;
    Retype(d.txtlong, QStringLiteral("12.5"));
    EXPECT_EQ(d.txtElev->text(), QStringLiteral("17"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(QString::fromStdString(messages[0].text).indexOf(QStringLiteral("10k8b.raw")), -1);
    EXPECT_EQ(messages[0].title, "Tavisol");
}

// Leaving the altitude field and OK read it alike: what leaving takes, OK
// stores; what leaving refuses, OK refuses with the same message.
TEST_F(LocationWindow, LeavingTheAltitude) {
    const char *range = "Elevation should be between -350 and 8848m.";
    struct Row {
        const char *typed;
        const char *leaving; // the message on leaving the field, or none
        MsgIcon icon;
        std::optional<float> stored; // none: OK refuses with the leaving message
    };
    for (const Row &row : {Row{"-10", "Your location is below Mean Sea Level.", MsgIcon::Question, -10.0f},
                           Row{"9000", range, MsgIcon::Critical, std::nullopt},
                           Row{"-0,5", "Your location is below Mean Sea Level.", MsgIcon::Question, -1.0f},
                           Row{"1 23", nullptr, MsgIcon::NoIcon, 123.0f},
                           Row{"", "The altitude field holds no number.", MsgIcon::Critical, std::nullopt}}) {
        SCOPED_TRACE(row.typed);
        messages.clear();
        QPointer<LocationDialog> d = new LocationDialog;
        Activate(d);
        d->txtElev->setText(QString::fromLatin1(row.typed));
        if (!GiveFocus(d->txtElev))
            GTEST_SKIP() << "no keyboard focus on this platform";
        d->cmdBack->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(messages.size(), row.leaving ? 1u : 0u);
        if (row.leaving) {
            EXPECT_EQ(messages[0].text, row.leaving);
            EXPECT_EQ(messages[0].icon, row.icon);
            EXPECT_EQ(QApplication::focusWidget() == d->txtElev, !row.stored);
        }
        d->cmdBack->click();
        EXPECT_EQ(d->isUnloaded(), row.stored.has_value());
        EXPECT_EQ(appState().CurElevation, row.stored.value_or(17.0f));
        ASSERT_EQ(messages.size(), (row.leaving ? 1u : 0u) + (row.stored ? 0u : 1u));
        if (!row.stored) {
            EXPECT_EQ(messages.back(), messages.front()); // the same refusal
        }
        DeleteLaterNow();
        delete d.data();
        SetCurrentLocation("East of Rome", 13.01f, 41.99f, 17, RecalcMarks::None);
    }
}

TEST_F(LocationWindow, CancelIsNotHeldUpByTheAltitudeCheck) {
    QPointer<LocationDialog> d = new LocationDialog;
    Activate(d);
    if (!GiveFocus(d->txtElev))
        GTEST_SKIP() << "no keyboard focus on this platform";
    d->txtElev->setText(QStringLiteral("9000"));
    d->CmdCanc->setFocus(Qt::MouseFocusReason); // the mouse press on Cancel
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(QApplication::focusWidget(), d->CmdCanc);
    d->CmdCanc->click();
    EXPECT_TRUE(d->isUnloaded());

    // Escape in the field is Cancel too.
    QPointer<LocationDialog> again = new LocationDialog;
    Activate(again);
    again->txtElev->setText(QStringLiteral("9000"));
    Key(again->txtElev, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_TRUE(again->isUnloaded());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(appState().CurElevation, 17.0f);
    DeleteLaterNow();
    EXPECT_FALSE(d);
    EXPECT_FALSE(again);
}

TEST_F(LocationWindow, OkStoresAndUnloads) {
    QPointer<LocationDialog> d = new LocationDialog;
    d->show();
    d->txtName->clear();
    Retype(d->txtlong, QStringLiteral("-12,5"));
    d->cmdBack->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(appState().LocationName, "ST-Lon-12.5-Lat41.99-Alt-120");
    EXPECT_EQ(appState().CurElevation, 120.0f);
    EXPECT_TRUE(appState().ResultsRecalcPending);
    EXPECT_TRUE(appState().WorkbenchRecalcPending);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isUnloaded());
    DeleteLaterNow();
    EXPECT_FALSE(d);
}

TEST_F(LocationWindow, OkRefusesAnAltitudeOutOfRange) {
    LocationDialog d;
    d.show();
    d.txtElev->setText(QStringLiteral("9000"));
    d.onOkClicked();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Please Correct"}));
    EXPECT_FALSE(d.isUnloaded());
    EXPECT_EQ(appState().CurElevation, 17.0f);
    EXPECT_FALSE(appState().ResultsRecalcPending);
    d.hide();
}

TEST_F(LocationWindow, TextThatIsNoNumberStoresNothing) {
    LocationDialog d;
    d.show();
    const std::pair<QLineEdit *, QString> pasted[] = {
        {d.txtlong, QStringLiteral("NaN")}, {d.txtLat, QStringLiteral("inf")}, {d.txtElev, QString()},
        {d.txtlong, QString()},             {d.txtLat, QStringLiteral("12abc")}};
    for (const auto &[field, text] : pasted) {
        const QString before = field->text();
        field->selectAll();
        QGuiApplication::clipboard()->setText(text);
        if (text.isEmpty())
            field->del();
        else
            field->paste();
        d.onOkClicked();
        EXPECT_FALSE(d.isUnloaded());
        field->setText(before);
    }
    EXPECT_EQ(titles(), (std::vector<std::string>{"Strange Location", "Strange Location", "Please Correct",
                                                  "Strange Location", "Strange Location"}));
    EXPECT_EQ(messages[2].text, "The altitude field holds no number.");
    EXPECT_EQ(messages[3].text, "The longitude field holds no number.");
    EXPECT_EQ(messages[4].text, "The latitude field holds no number.");
    EXPECT_FALSE(appState().ResultsRecalcPending);
    d.hide();
}

TEST_F(LocationWindow, PolarNoKeepsTheDialogOpen) {
    LocationDialog d;
    d.show();
    Retype(d.txtLat, QStringLiteral("70.5"));
    answer = MsgAnswer::No;
    d.onOkClicked();
    EXPECT_EQ(titles(), (std::vector<std::string>{" Polar Region"}));
    EXPECT_FALSE(d.isUnloaded());
    EXPECT_EQ(appState().LocationName, "East of Rome");

    Retype(d.txtLat, QStringLiteral("70"));
    d.onOkClicked();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(d.isUnloaded());
    EXPECT_EQ(appState().CurLatitude, 70.0f);
}

TEST_F(LocationWindow, SaveStoresThenRunsTheHookAndStaysOpen) {
    int saves = 0;
    SetLocationSaveHook([&] {
        ++saves;
        EXPECT_TRUE(appState().ResultsRecalcPending); // stored before the hook
        EXPECT_EQ(appState().LocationName, "Here");
    });
    LocationDialog d;
    d.show();
    d.txtName->setText(QStringLiteral("Here"));
    d.CmdSave->click();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.isUnloaded());

    // A refused entry saves nothing.
    d.txtlong->setText(QStringLiteral("200"));
    d.onSaveClicked();
    EXPECT_EQ(saves, 1);
    d.hide();
}

TEST_F(LocationWindow, CancelStoresNothing) {
    LocationDialog d;
    d.show();
    d.txtlong->setText(QStringLiteral("1"));
    d.CmdCanc->click();
    EXPECT_TRUE(d.isUnloaded());
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(appState().CurLongitude, 13.01f);
    EXPECT_FALSE(appState().ResultsRecalcPending);
}

// ---- Commands ------------------------------------------------------------------------

class DialogCommands : public DialogTest {};

TEST_F(DialogCommands, MenusOpenTheDialogsAndUnloadEndsTheSettings) {
    auto *main = new QMainWindow;
    main->resize(800, 600);
    InstallDialogCommands(main);

    // The settings dialog exists hidden from the start: the reports read it.
    QPointer<SettingsDialog> settings = OpenSettingsDialog();
    ASSERT_TRUE(settings);
    EXPECT_FALSE(settings->isVisible());
    EXPECT_EQ(AppliedSettingsRecord(sharedSettings()), dialogs::SettingsFields{});
    ASSERT_TRUE(RunCommand(Command::ChangeSettings));
    EXPECT_TRUE(settings->isVisible());
    settings->txtPowExp->setText(QStringLiteral("2"));
    settings->onOkClicked();
    EXPECT_FALSE(settings->isVisible());
    EXPECT_EQ(OpenSettingsDialog(), settings.data());
    EXPECT_EQ(AppliedSettingsRecord(sharedSettings()).PowExp, "2");

    // The coordinate dialog: Cancel keeps it, OK unloads it.
    ASSERT_TRUE(RunCommand(Command::Coordinate));
    QPointer<CoordinateDialog> coord = CoordDialog();
    ASSERT_TRUE(coord);
    EXPECT_TRUE(coord->isVisible());
    coord->txtlong->setText(QStringLiteral("5"));
    coord->CmdCanc->click();
    RunCommand(Command::Coordinate);
    EXPECT_EQ(CoordDialog(), coord.data());
    EXPECT_EQ(coord->txtlong->text(), QStringLiteral("5"));
    coord->txtlong->setText(QStringLiteral("13.01"));
    coord->onOkClicked();
    EXPECT_EQ(CoordDialog(), nullptr);
    RunCommand(Command::Coordinate);
    ASSERT_TRUE(CoordDialog());
    EXPECT_NE(CoordDialog(), coord.data());
    EXPECT_EQ(CoordDialog()->txtlong->text(), QStringLiteral("13.01"));

    // The location dialog starts afresh after Cancel.
    ASSERT_TRUE(RunCommand(Command::SetLocation));
    LocationDialog *location = OpenLocationDialog();
    ASSERT_TRUE(location);
    EXPECT_TRUE(location->isVisible());
    location->onCancelClicked();
    EXPECT_EQ(OpenLocationDialog(), nullptr);
    RunCommand(Command::SetLocation);
    EXPECT_NE(OpenLocationDialog(), nullptr);

    ASSERT_TRUE(RunCommand(Command::UnloadSettings));
    EXPECT_FALSE(settings);
    EXPECT_EQ(OpenSettingsDialog(), nullptr);
    EXPECT_EQ(AppliedSettingsRecord(sharedSettings()).PowExp, "2");  // still in force

    delete main;
    DeleteLaterNow();
    EXPECT_EQ(CoordDialog(), nullptr);
    EXPECT_EQ(OpenLocationDialog(), nullptr);
}

// A name typed without an extension is completed before the dialog checks
// for an existing file, so replacing "run.Dat" is asked about, not done silently.
TEST(SaveFileDialog, TheReplaceQuestionAsksAboutTheCompletedName) {
    testsupport::RealDialogs real;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile old(dir.filePath(QStringLiteral("run.Dat")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    for (const bool replace : {false, true}) {
        bool asked = false;
        QPointer<QFileDialog> dialog;
        QTimer::singleShot(0, [&] {
            dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(QStringLiteral("run"));
            QTimer::singleShot(0, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    asked = true;
                    box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
                }
                QTimer::singleShot(0, [&] {
                    if (dialog) dialog->reject();
                });
            });
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            ASSERT_NE(buttons, nullptr);
            buttons->button(QDialogButtonBox::Save)->click();
        });
        const QString chosen = GetSaveFileName(nullptr, QString(), dir.path(),
                                               QStringLiteral("Data (*.Dat);;All Files (*)"));
        QApplication::processEvents();
        EXPECT_TRUE(asked) << replace;
        EXPECT_EQ(chosen.toStdString(),
                  replace ? QDir(dir.path()).filePath(QStringLiteral("run.Dat")).toStdString() : std::string())
            << replace;
    }
}

} // namespace
