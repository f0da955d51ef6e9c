#include "shell/settings_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "numfmt/numfmt_qt.h"
#include "shell/appstate.h"
#include "shell/icons.h"
#include "shell/sharedsettings.h"
#include "shell/widgetmakers.h"

namespace tavisol {

namespace {

using dialogs::SettingsField;

QLineEdit *MakeField(QWidget *parent, const char *name, const char *text, int maxLength) {
    return MakeDialogField(parent, name, text, maxLength, nullptr, 70);
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *parent) : FieldDialog(parent) {
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("Change Settings"));
    setWindowIcon(MakeIcon(IconId::Settings));

    FrameNeighbourhood = new QGroupBox(QStringLiteral("Size of Neighborhood"), this);
    FrameIdw = new QGroupBox(QStringLiteral("Inverse Distance Weighted Averaging"), this);
    FrameCorrections = new QGroupBox(QStringLiteral("Climatological Corrections"), this);
    FrameAltitude = new QGroupBox(QStringLiteral("Altitude Restrictions"), this);

    txtMaxDist = MakeField(FrameNeighbourhood, "txtMaxDist", "1000", 5);
    txtMaxStat = MakeField(FrameNeighbourhood, "txtMaxStat", "20", 2);
    txtPowExp = MakeField(FrameIdw, "txtPowExp", "1", 1);
    txtMinDist = MakeField(FrameIdw, "txtMinDist", "0.1", 4);
    chkAltCorr = MakeCheckBox(FrameCorrections, "chkAltCorr",
                              QStringLiteral("Apply Local Linear Altitude Correction"), true);
    ChkGradCorr = MakeCheckBox(FrameCorrections, "ChkGradCorr",
                               QStringLiteral("Apply Climate Gradient Correction"), true);
    txtShad = MakeField(FrameCorrections, "txtShad", "1", 4);
    chkNeighbAlt = MakeCheckBox(FrameAltitude, "chkNeighbAlt",
                                QStringLiteral("Neighbors must provide Altitude"), false);
    txtMinHigh = MakeField(FrameAltitude, "txtMinHigh", "-350", 5);
    txtMaxHigh = MakeField(FrameAltitude, "txtMaxHigh", "8848", 5);
    // Matches the unticked window switch.
    txtMinHigh->setReadOnly(true);
    txtMaxHigh->setReadOnly(true);

    LayOutGroup(FrameNeighbourhood, {},
                {{QStringLiteral("Maximum Distance in km"), txtMaxDist},
                 {QStringLiteral("Maximum number of stations"), txtMaxStat}});
    LayOutGroup(FrameIdw, {},
                {{QStringLiteral("Power Exponent"), txtPowExp},
                 {QStringLiteral("Nearest Neighbor Approx. if Min. Dist <"), txtMinDist, QStringLiteral("km.")}});
    LayOutGroup(FrameCorrections, {chkAltCorr, ChkGradCorr},
                {{QStringLiteral("Shadow Correction Coefficient"), txtShad}});
    LayOutGroup(FrameAltitude, {chkNeighbAlt},
                {{QStringLiteral("Only Stations higher than"), txtMinHigh},
                 {QStringLiteral("Only Stations lower than"), txtMaxHigh}});

    okButton = MakeNamed<QPushButton>(this, "okButton", QStringLiteral("OK"));
    CmdCanc = MakeNamed<QPushButton>(this, "CmdCanc", QStringLiteral("Cancel"));

    auto *grid = new QGridLayout;
    grid->addWidget(FrameNeighbourhood, 0, 0);
    grid->addWidget(FrameIdw, 0, 1);
    grid->addWidget(FrameCorrections, 1, 0);
    grid->addWidget(FrameAltitude, 1, 1);
    auto *column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addLayout(MakeButtonRow({okButton, CmdCanc}));

    for (const SettingsBox &b : settingsBoxes())
        addField(b.field, int(b.id), b.selectLength);
    addCheckBox(chkAltCorr);
    addCheckBox(ChkGradCorr);
    addCheckBox(chkNeighbAlt);
    addButton(okButton);
    addButton(CmdCanc, ButtonRole::Cancel);
    setFocusOrder({txtMaxStat, txtMaxDist, chkAltCorr, ChkGradCorr, txtPowExp, chkNeighbAlt,
                   txtMinHigh, txtMaxHigh, txtMinDist, txtShad, CmdCanc, okButton});

    connect(chkNeighbAlt, &QCheckBox::toggled, this, [this] { onNeighboursNeedAltitudeClicked(); });
    connect(okButton, &QPushButton::clicked, this, [this] { onOkClicked(); });
    connect(CmdCanc, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    adjustSize();
}

void SettingsDialog::setFields(const dialogs::SettingsFields &f) {
    WriteTexts(settingsBoxes(), f);
    chkAltCorr->setChecked(f.AltCorr);
    ChkGradCorr->setChecked(f.GradCorr);
    // A changed tick runs the window switch, which leaves the same texts.
    chkNeighbAlt->setChecked(f.NeighbAlt);
}

void SettingsDialog::onOkClicked() {
    dialogs::SettingsFields f = settingsFields();
    SettingsField refused = SettingsField::MaxDist;
    const bool passed = dialogs::ApplySettings(f, sharedSettings(), messageSink(), &refused);
    // The commas turned into points stay in the fields whatever the checks say.
    setFields(f);
    if (!passed) {
        // Back to the value to correct, selected for retyping.
        settingsField(refused)->setFocus(Qt::OtherFocusReason);
        return;
    }
    setCursor(Qt::WaitCursor);
    appState().ResultsRecalcPending = true;
    appState().WorkbenchRecalcPending = true;
    unsetCursor();
    hide();
}

void SettingsDialog::onCancelClicked() {
    setFields(dialogs::SettingsInForce(settingsFields(), sharedSettings(), numfmt::userLocale()));
    hide();
}

void SettingsDialog::onNeighboursNeedAltitudeClicked() {
    const bool ticked = chkNeighbAlt->isChecked();
    dialogs::SettingsFields f = settingsFields();
    dialogs::AltitudeWindowSwitch(f, ticked);
    SetFieldText(txtMinHigh, f.MinHigh);
    SetFieldText(txtMaxHigh, f.MaxHigh);
    txtMinHigh->setReadOnly(!ticked);
    txtMaxHigh->setReadOnly(!ticked);
}

void SettingsDialog::onMinAltitudeFocusLost() {
    if (auto m = dialogs::AltitudeOrderCheck(settingsFields(), true))
        showMessage(*m);
}

void SettingsDialog::onMaxAltitudeFocusLost() {
    if (auto m = dialogs::AltitudeOrderCheck(settingsFields(), false))
        showMessage(*m);
}

dialogs::KeyDecision SettingsDialog::keyDecision(int id, char32_t key) {
    return dialogs::SettingsKey(static_cast<SettingsField>(id), key);
}

void SettingsDialog::fieldLeft(int id) {
    if (id == int(SettingsField::MinHigh))
        onMinAltitudeFocusLost();
    else if (id == int(SettingsField::MaxHigh))
        onMaxAltitudeFocusLost();
}

} // namespace tavisol
