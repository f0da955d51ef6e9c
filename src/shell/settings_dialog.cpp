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

    const dialogs::SettingsFields initial; // the engine's defaults
    txtMaxDist = MakeField(FrameNeighbourhood, "txtMaxDist", initial.MaxDist.c_str(), 5);
    txtMaxStat = MakeField(FrameNeighbourhood, "txtMaxStat", initial.MaxStat.c_str(), 2);
    txtPowExp = MakeField(FrameIdw, "txtPowExp", initial.PowExp.c_str(), 1);
    txtMinDist = MakeField(FrameIdw, "txtMinDist", initial.MinDist.c_str(), 4);
    chkAltCorr = MakeCheckBox(FrameCorrections, "chkAltCorr",
                              QStringLiteral("Apply Local Linear Altitude Correction"), initial.AltCorr);
    ChkGradCorr = MakeCheckBox(FrameCorrections, "ChkGradCorr",
                               QStringLiteral("Apply Climate Gradient Correction"), initial.GradCorr);
    txtShad = MakeField(FrameCorrections, "txtShad", initial.Shad.c_str(), 4);
    chkNeighbAlt = MakeCheckBox(FrameAltitude, "chkNeighbAlt",
                                QStringLiteral("Neighbors must provide Altitude"), initial.NeighbAlt);
    txtMinHigh = MakeField(FrameAltitude, "txtMinHigh", initial.MinHigh.c_str(), 5);
    txtMaxHigh = MakeField(FrameAltitude, "txtMaxHigh", initial.MaxHigh.c_str(), 5);
    // As the window switch leaves them.
    txtMinHigh->setReadOnly(!initial.NeighbAlt);
    txtMaxHigh->setReadOnly(!initial.NeighbAlt);

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
    // Put in force once every message has been answered: a window computing
    // meanwhile never sees half of them.
    engine::EngineSettings settings = sharedSettings();
    const bool passed = dialogs::ApplySettings(f, settings, messageSink(), &refused);
    SetSharedSettings(settings);
    // The commas turned into points stay in the fields whatever the checks say.
    setFields(f);
    if (!passed) {
        // Back to the value to correct, selected for retyping.
        settingsField(refused)->setFocus(Qt::OtherFocusReason);
        return;
    }
    setCursor(Qt::WaitCursor);
    MarkEstimatesStale(RecalcMarks::Both);
    unsetCursor();
    hide();
}

void SettingsDialog::onCancelClicked() {
    setFields(dialogs::SettingsInForce(settingsFields(), sharedSettings(), numfmt::userLocale()));
    hide();
}

void SettingsDialog::showSettingsInForce() {
    setFields(dialogs::FieldsDescribing(settingsFields(), sharedSettings(), numfmt::userLocale()));
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

dialogs::KeyDecision SettingsDialog::keyDecision(int id, char32_t key) {
    return dialogs::SettingsKey(static_cast<SettingsField>(id), key);
}

void SettingsDialog::fieldLeft(int id) {
    const bool leavingMin = id == int(SettingsField::MinHigh);
    if (!leavingMin && id != int(SettingsField::MaxHigh))
        return;
    if (auto m = dialogs::AltitudeOrderCheck(settingsFields(), leavingMin))
        showMessage(*m);
}

} // namespace tavisol
