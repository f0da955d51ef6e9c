#include "shell/coordinate_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
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

using dialogs::CoordField;
using dialogs::CoordFields;

QLabel *Label(const QString &text) { return new QLabel(text); }

} // namespace

CoordinateDialog::CoordinateDialog(QWidget *parent) : FieldDialog(parent) {
    setObjectName(QStringLiteral("coordinateDialog"));
    setWindowTitle(QStringLiteral("Transformation of Coordinates"));
    setWindowIcon(MakeIcon(IconId::Coordinate));

    FrameDecimal = new QGroupBox(QStringLiteral("Location (decimal)"), this);
    FrameDegrees = new QGroupBox(QStringLiteral("Location (\u00b0,',\")"), this);

    txtlong = MakeDialogField(FrameDecimal, "txtlong", "12.483", 8, "Give Longitude as a decimal number", 80);
    txtLat = MakeDialogField(FrameDecimal, "txtLat", "41.9", 8, "Give Latitude as a decimal number", 80);
    txtLongGrad = MakeDialogField(FrameDegrees, "txtLongGrad", "", 5, "Give Degrees of Longitude", 40);
    txtLongMin = MakeDialogField(FrameDegrees, "txtLongMin", "", 5, "Give Minutes of Longitude", 40);
    txtLongSec = MakeDialogField(FrameDegrees, "txtLongSec", "", 3, "Give Seconds of Longitude", 40);
    txtLongOW = MakeDialogField(FrameDegrees, "txtLongOW", "", 2, "Give E for East or W for West", 28);
    txtLatGrad = MakeDialogField(FrameDegrees, "txtLatGrad", "", 5, "Give Degrees of Latitude", 40);
    txtLatMin = MakeDialogField(FrameDegrees, "txtLatMin", "", 5, "Give Minutes of Latitude", 40);
    txtLatSec = MakeDialogField(FrameDegrees, "txtLatSec", "", 5, "Give Seconds of Latitude", 40);
    txtLatNS = MakeDialogField(FrameDegrees, "txtLatNS", "", 2, "Give N for North or S for South", 28);

    texts_ = {{txtlong, &CoordFields::Long},         {txtLat, &CoordFields::Lat},
              {txtLongGrad, &CoordFields::LongGrad}, {txtLongMin, &CoordFields::LongMin},
              {txtLongSec, &CoordFields::LongSec},   {txtLongOW, &CoordFields::LongOW},
              {txtLatGrad, &CoordFields::LatGrad},   {txtLatMin, &CoordFields::LatMin},
              {txtLatSec, &CoordFields::LatSec},     {txtLatNS, &CoordFields::LatNS}};

    LayOutGroup(FrameDecimal, {},
                {{QStringLiteral("Longitude:"), txtlong, QStringLiteral("\u00b0")},
                 {QStringLiteral("Latitude   :"), txtLat, QStringLiteral("\u00b0")}});

    auto *deg = new QGridLayout(FrameDegrees);
    auto row = [deg](int r, const QString &caption, QLineEdit *d, QLineEdit *m, QLineEdit *s,
                     QLineEdit *h) {
        deg->addWidget(Label(caption), r, 0);
        deg->addWidget(d, r, 1);
        deg->addWidget(Label(QStringLiteral("\u00b0,")), r, 2);
        deg->addWidget(m, r, 3);
        deg->addWidget(Label(QStringLiteral("',")), r, 4);
        deg->addWidget(s, r, 5);
        deg->addWidget(Label(QStringLiteral("\",")), r, 6);
        deg->addWidget(h, r, 7);
    };
    row(0, QStringLiteral("Longitude:"), txtLongGrad, txtLongMin, txtLongSec, txtLongOW);
    row(1, QStringLiteral("Latitude   :"), txtLatGrad, txtLatMin, txtLatSec, txtLatNS);

    cmdBack = MakeNamed<QPushButton>(this, "cmdBack", QStringLiteral("OK"));
    CmdCanc = MakeNamed<QPushButton>(this, "CmdCanc", QStringLiteral("Cancel"));

    auto *groups = new QHBoxLayout;
    groups->addWidget(FrameDecimal);
    groups->addWidget(FrameDegrees);
    auto *column = new QVBoxLayout(this);
    column->addLayout(groups);
    column->addLayout(MakeButtonRow({cmdBack, CmdCanc}));

    addField(txtlong, int(CoordField::Long), 99);
    addField(txtLat, int(CoordField::Lat), 99);
    addField(txtLongGrad, int(CoordField::LongGrad), 3);
    addField(txtLongMin, int(CoordField::LongMin), 2);
    addField(txtLongSec, int(CoordField::LongSec), 2);
    addField(txtLongOW, int(CoordField::LongOW), 1);
    addField(txtLatGrad, int(CoordField::LatGrad), 2);
    addField(txtLatMin, int(CoordField::LatMin), 2);
    addField(txtLatSec, int(CoordField::LatSec), 2);
    addField(txtLatNS, int(CoordField::LatNS), 1);
    addButton(cmdBack);
    addButton(CmdCanc, ButtonRole::Cancel);
    setFocusOrder({txtLat, txtlong, txtLatNS, txtLongOW, txtLatSec, txtLongSec, txtLatMin,
                   txtLongMin, txtLatGrad, txtLongGrad, CmdCanc, cmdBack});

    connect(cmdBack, &QPushButton::clicked, this, [this] { onOkClicked(); });
    connect(CmdCanc, &QPushButton::clicked, this, [this] { onCancelClicked(); });

    // 6990 x 2580 twips, or as large as the layout needs.
    resize(QSize(466, 172).expandedTo(sizeHint()));

    // Load.
    const numfmt::Locale loc = numfmt::userLocale();
    SetFieldText(txtlong, dialogs::FieldText(appState().CurLongitude, loc));
    SetFieldText(txtLat, dialogs::FieldText(appState().CurLatitude, loc));
    DecimalToDms();
}

CoordFields CoordinateDialog::fields() const {
    CoordFields f;
    ReadTexts(texts_, f);
    return f;
}

void CoordinateDialog::setFields(const CoordFields &f) { WriteTexts(texts_, f); }

void CoordinateDialog::DecimalToDms() {
    dialogs::CoordFields f = fields();
    dialogs::DecimalToDms(f);
    setFields(f);
}

void CoordinateDialog::DmsToDecimal() {
    dialogs::CoordFields f = fields();
    dialogs::DmsToDecimal(f, numfmt::userLocale());
    setFields(f);
}

void CoordinateDialog::onOkClicked() {
    dialogs::CoordFields f = fields();
    const dialogs::Confirmation c = dialogs::ConfirmCoordinates(f, dataFolder(), messageSink());
    setFields(f);
    if (!c.stored) {
        focusField(c.focus);
        return;
    }
    unloaded_ = true;
    hide();
    deleteLater();
}

void CoordinateDialog::onCancelClicked() { hide(); }

void CoordinateDialog::focusField(dialogs::FocusField which) {
    if (which == dialogs::FocusField::Longitude)
        txtlong->setFocus();
    else if (which == dialogs::FocusField::Latitude)
        txtLat->setFocus();
}

dialogs::KeyDecision CoordinateDialog::keyDecision(int id, char32_t key) {
    return dialogs::CoordKey(static_cast<CoordField>(id), key);
}

void CoordinateDialog::keyReleased(int id) {
    dialogs::CoordFields f = fields();
    std::optional<Message> refused;
    switch (static_cast<CoordField>(id)) {
    case CoordField::Long:
        refused = dialogs::LongitudeTyped(f);
        break;
    case CoordField::Lat:
        refused = dialogs::LatitudeTyped(f);
        break;
    default:
        dialogs::DmsToDecimal(f, numfmt::userLocale());
        break;
    }
    setFields(f);
    if (refused) {
        showMessage(*refused);
        focusField(static_cast<CoordField>(id) == CoordField::Long ? dialogs::FocusField::Longitude
                                                                    : dialogs::FocusField::Latitude);
    }
}

} // namespace tavisol
