#include "shell/location_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "numfmt/numfmt_qt.h"
#include "shell/appstate.h"
#include "shell/icons.h"
#include "shell/programfolders.h"
#include "shell/widgetmakers.h"

namespace tavisol {

namespace {

enum FieldId { NameField, LongField, LatField, ElevField };

std::function<void()> &SaveHook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void SetLocationSaveHook(std::function<void()> hook) { SaveHook() = std::move(hook); }

LocationDialog::LocationDialog(QWidget *parent) : FieldDialog(parent) {
    setObjectName(QStringLiteral("locationDialog"));
    setWindowTitle(QStringLiteral("Choose Location"));
    setWindowIcon(MakeIcon(IconId::Location));

    locationFrame = new QGroupBox(QStringLiteral("Location"), this);
    txtName = MakeDialogField(locationFrame, "txtName", "", 25);
    txtlong = MakeDialogField(locationFrame, "txtlong", "", 8, "Give Longitude as a decimal number");
    txtLat = MakeDialogField(locationFrame, "txtLat", "", 8, "Give Latitude as a decimal number");
    txtElev = MakeDialogField(locationFrame, "txtElev", "", 4);

    texts_ = {{txtName, &dialogs::LocationFields::Name},
              {txtlong, &dialogs::LocationFields::Long},
              {txtLat, &dialogs::LocationFields::Lat},
              {txtElev, &dialogs::LocationFields::Elev}};

    LayOutGroup(locationFrame, {},
                {{QStringLiteral("Station Name"), txtName},
                 {QStringLiteral("Longitude:"), txtlong, QStringLiteral("\u00b0")},
                 {QStringLiteral("Latitude   :"), txtLat, QStringLiteral("\u00b0")},
                 {QStringLiteral("Altitude   :"), txtElev, QStringLiteral("m")}});

    cmdBack = MakeNamed<QPushButton>(this, "cmdBack", QStringLiteral("OK"));
    CmdSave = MakeNamed<QPushButton>(this, "CmdSave", QStringLiteral("Save"));
    CmdCanc = MakeNamed<QPushButton>(this, "CmdCanc", QStringLiteral("Cancel"));

    auto *column = new QVBoxLayout(this);
    column->addWidget(locationFrame);
    column->addLayout(MakeButtonRow({cmdBack, CmdSave, CmdCanc}));

    // No key filters here: every key is taken.
    addField(txtName, NameField);
    addField(txtlong, LongField);
    addField(txtLat, LatField);
    addField(txtElev, ElevField);
    addButton(cmdBack);
    addButton(CmdSave);
    addButton(CmdCanc, ButtonRole::Cancel);
    setFocusOrder({txtName, txtlong, txtLat, txtElev, cmdBack, CmdCanc, CmdSave});

    // Only the user's edits look the altitude up: the load below writes the
    // stored altitude last anyway, and turning commas into points at OK
    // changes no value.
    connect(txtlong, &QLineEdit::textEdited, this, [this] { CoordinateChanged(); });
    connect(txtLat, &QLineEdit::textEdited, this, [this] { CoordinateChanged(); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { onOkClicked(); });
    connect(CmdSave, &QPushButton::clicked, this, [this] { onSaveClicked(); });
    connect(CmdCanc, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    adjustSize();

    // Load.
    const AppState &s = appState();
    const numfmt::Locale loc = numfmt::userLocale();
    SetFieldText(txtName, s.LocationName);
    SetFieldText(txtlong, dialogs::FieldText(s.CurLongitude, loc));
    SetFieldText(txtLat, dialogs::FieldText(s.CurLatitude, loc));
    SetFieldText(txtElev, dialogs::FieldText(s.CurElevation, loc));
}

dialogs::LocationFields LocationDialog::fields() const {
    dialogs::LocationFields f;
    ReadTexts(texts_, f);
    return f;
}

void LocationDialog::setFields(const dialogs::LocationFields &f) { WriteTexts(texts_, f); }

void LocationDialog::CoordinateChanged() {
    const dialogs::AltitudeFollow a = dialogs::AltitudeForCoordinates(fields(), dataFolder());
    if (a.altitude) {
        SetFieldText(txtElev, *a.altitude);
        return;
    }
    // A raster that cannot be read leaves the altitude as it is; say so once
    // rather than at every keystroke.
    if (!a.error.empty() && !rasterErrorShown_) {
        rasterErrorShown_ = true;
        showMessage(CriticalMessage(a.error));
    }
}

void LocationDialog::onAltitudeFocusLost() {
    std::string text = FieldString(txtElev);
    const dialogs::AltitudeLeave r = dialogs::LeaveAltitude(text);
    SetFieldText(txtElev, text);
    if (r.message)
        showMessage(*r.message);
    if (r.refocus)
        txtElev->setFocus();
}

void LocationDialog::fieldLeft(int id) {
    if (id == ElevField)
        onAltitudeFocusLost();
}

bool LocationDialog::confirm() {
    dialogs::LocationFields f = fields();
    const dialogs::Confirmation c = dialogs::ConfirmLocation(f, messageSink());
    setFields(f);
    switch (c.focus) {
    case dialogs::FocusField::Longitude: txtlong->setFocus(); break;
    case dialogs::FocusField::Latitude: txtLat->setFocus(); break;
    case dialogs::FocusField::Altitude: txtElev->setFocus(); break;
    case dialogs::FocusField::None: break;
    }
    return c.stored;
}

void LocationDialog::onOkClicked() {
    if (confirm())
        unload();
}

void LocationDialog::onSaveClicked() {
    if (!confirm())
        return;
    const std::function<void()> hook = SaveHook(); // a copy: the hook may replace itself
    if (hook)
        hook();
}

void LocationDialog::onCancelClicked() { unload(); }

void LocationDialog::unload() {
    unloaded_ = true;
    hide();
    deleteLater();
}

} // namespace tavisol
