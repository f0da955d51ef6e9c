#include "batch/grid_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <exception>

#include "batch/batchcommands.h"
#include "batch/batch_list_window.h"
#include "engine/engine.h"
#include "numfmt/numfmt_qt.h"
#include "shell/icons.h"
#include "shell/messages.h"
#include "shell/programfolders.h"
#include "shell/widgetmakers.h"

namespace tavisol {

using batch::GridField;

GridDialog::GridDialog(QWidget *parent) : FieldDialog(parent) {
    setObjectName(QStringLiteral("gridDialog"));
    setWindowTitle(QStringLiteral("Definition of a Grid"));
    setWindowIcon(MakeIcon(IconId::LocationGrid));
    auto make = [this](const char *name, const QString &text, GridField field) {
        auto *e = MakeNamed<QLineEdit>(this, name, text);
        addField(e, static_cast<int>(field));
        return e;
    };
    txtLongMin = make("txtLongMin", QStringLiteral("5"), GridField::LongMin);
    txtLongMax = make("txtLongMax", QStringLiteral("15"), GridField::LongMax);
    txtLongStep = make("txtLongStep", QStringLiteral("10"), GridField::LongStep);
    txtLatMin = make("txtLatMin", QStringLiteral("40"), GridField::LatMin);
    txtLatMax = make("txtLatMax", QStringLiteral("50"), GridField::LatMax);
    txtLatStep = make("txtLatStep", QStringLiteral("10"), GridField::LatStep);
    texts_ = {{txtLongMin, &batch::GridFields::LongMin}, {txtLongMax, &batch::GridFields::LongMax},
              {txtLongStep, &batch::GridFields::LongStep}, {txtLatMin, &batch::GridFields::LatMin},
              {txtLatMax, &batch::GridFields::LatMax},   {txtLatStep, &batch::GridFields::LatStep}};
    CmdRun = MakeNamed<QPushButton>(this, "CmdRun", QStringLiteral("OK"));
    CmdCanc = MakeNamed<QPushButton>(this, "CmdCanc", QStringLiteral("Cancel"));
    addButton(CmdRun);
    addButton(CmdCanc, ButtonRole::Cancel);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("From")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("To")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Number of Intervals")), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Longitude [\u00b0]")), 1, 0);
    grid->addWidget(txtLongMin, 1, 1);
    grid->addWidget(txtLongMax, 1, 2);
    grid->addWidget(txtLongStep, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Latitude [\u00b0]")), 2, 0);
    grid->addWidget(txtLatMin, 2, 1);
    grid->addWidget(txtLatMax, 2, 2);
    grid->addWidget(txtLatStep, 2, 3);
    grid->addLayout(MakeButtonRow({CmdRun, CmdCanc}), 3, 0, 1, 4);
    setFocusOrder({txtLongMin, txtLongMax, txtLongStep, txtLatMin, txtLatMax, txtLatStep, CmdRun, CmdCanc});

    connect(CmdRun, &QPushButton::clicked, this, &GridDialog::onOkClicked);
    connect(CmdCanc, &QPushButton::clicked, this, &GridDialog::onCancelClicked);
}

batch::GridFields GridDialog::fields() const {
    batch::GridFields f;
    ReadTexts(texts_, f);
    return f;
}

void GridDialog::setFields(const batch::GridFields &f) { WriteTexts(texts_, f); }

QLineEdit *GridDialog::box(GridField field) const {
    switch (field) {
    case GridField::LongMin: return txtLongMin;
    case GridField::LongMax: return txtLongMax;
    case GridField::LongStep: return txtLongStep;
    case GridField::LatMin: return txtLatMin;
    case GridField::LatMax: return txtLatMax;
    case GridField::LatStep: return txtLatStep;
    }
    return txtLongMin;
}

dialogs::KeyDecision GridDialog::keyDecision(int id, char32_t key) {
    return batch::GridKey(static_cast<GridField>(id), key);
}

void GridDialog::fieldLeft(int id) {
    const auto field = static_cast<GridField>(id);
    QLineEdit *e = box(field);
    std::string text = FieldString(e);
    const batch::GridLeave r = batch::LeaveGridField(field, text);
    SetFieldText(e, text);
    if (r.message)
        showMessage(*r.message);
    if (r.refocus)
        e->setFocus();
}

void GridDialog::onOkClicked() {
    batch::GridFields f = fields();
    const batch::GridPlan plan = batch::PlanGrid(f);
    setFields(f);
    if (plan.Refusal) {
        showMessage(*plan.Refusal);
        return;
    }
    const numfmt::Locale loc = numfmt::userLocale();
    batch::ElevationFn elevation = elevation_;
    if (!elevation) {
        const std::filesystem::path data = dataFolder();
        elevation = [data](float lon, float lat) { return static_cast<int>(engine::GetElevation(data, lon, lat)); };
    }
    ListFill list(this);
    if (!list)
        return;
    CmdRun->setEnabled(false);
    setCursor(Qt::WaitCursor);
    try {
        for (float lat : plan.Latitudes)
            for (float lon : plan.Longitudes) {
                list.add(batch::GridEntry(lon, lat, elevation(lon, lat), loc));
                // Exit: the program ends with the entries so far.
                if (!list.letEventsThrough())
                    return;
            }
    } catch (const std::exception &e) {
        // The entries so far stay; the dialog stays open for another try.
        unsetCursor();
        CmdRun->setEnabled(true);
        ShowMessage(this, MsgIcon::Critical, QString::fromStdString(e.what()));
        return;
    }
    unsetCursor();
    CmdRun->setEnabled(true);
    ShowListWindow();
    unloaded_ = true;
    hide();
    deleteLater();
}

void GridDialog::onCancelClicked() { hide(); }

} // namespace tavisol
