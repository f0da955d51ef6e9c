#pragma once

// The grid dialog ("Definition of a Grid"): a longitude-latitude rectangle
// and the number of intervals along each side. OK puts one entry per grid
// point, with its altitude from the elevation raster, into the list window's
// list, shows the list window and unloads the dialog.

#include <vector>

#include "batch/grid.h"
#include "batch/locations.h"
#include "shell/fielddialog.h"

class QLineEdit;
class QPushButton;

namespace tavisol {

class GridDialog : public FieldDialog {
    Q_OBJECT
public:
    explicit GridDialog(QWidget *parent = nullptr);

    batch::GridFields fields() const;
    void setFields(const batch::GridFields &f);

    void onOkClicked();  // OK
    void onCancelClicked(); // hides; the boxes keep their texts

    // After OK the dialog is gone; the next opening builds a fresh one.
    bool isUnloaded() const { return unloaded_; }

    // The altitude of a grid point; by default the elevation raster of the
    // data folder.
    void setElevation(batch::ElevationFn elevation) { elevation_ = std::move(elevation); }

    QLineEdit *txtLongMin = nullptr, *txtLongMax = nullptr, *txtLongStep = nullptr;
    QLineEdit *txtLatMin = nullptr, *txtLatMax = nullptr, *txtLatStep = nullptr;
    QPushButton *CmdRun = nullptr;
    QPushButton *CmdCanc = nullptr;

protected:
    dialogs::KeyDecision keyDecision(int id, char32_t key) override;
    void fieldLeft(int id) override;

private:
    QLineEdit *box(batch::GridField field) const;

    std::vector<TextBinding<batch::GridFields>> texts_;
    batch::ElevationFn elevation_;
    bool unloaded_ = false;
};

// The dialog while it is loaded, else null.
GridDialog *OpenGridDialog();

} // namespace tavisol
