#pragma once

// The coordinate dialog: the current location's longitude and latitude as
// decimal degrees and as degrees, minutes, seconds and hemisphere, converted
// both ways as the user types; OK makes the point the current location with
// its altitude from the elevation raster.

#include <vector>

#include "shell/dialoglogic.h"
#include "shell/fielddialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavisol {

class CoordinateDialog : public FieldDialog {
    Q_OBJECT
public:
    // Builds the dialog and runs its load: the decimal fields from the current
    // location, then DecimalToDms.
    explicit CoordinateDialog(QWidget *parent = nullptr);

    // The degree and hemisphere fields from the decimal fields.
    void DecimalToDms();
    // The decimal fields from the degree and hemisphere fields.
    void DmsToDecimal();

    // OK: range checks, altitude from the raster, the new current location
    // under its generated name; then the dialog unloads.
    void onOkClicked();
    // Cancel: hidden; the fields keep their texts for the next showing.
    void onCancelClicked();

    // True once OK has unloaded the dialog (it is deleted later): the next
    // showing needs a new one.
    bool isUnloaded() const { return unloaded_; }

    dialogs::CoordFields fields() const;
    void setFields(const dialogs::CoordFields &f);

    QGroupBox *FrameDecimal = nullptr; // "Location (decimal)"
    QGroupBox *FrameDegrees = nullptr;
    QLineEdit *txtlong = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtLongGrad = nullptr;
    QLineEdit *txtLongMin = nullptr;
    QLineEdit *txtLongSec = nullptr;
    QLineEdit *txtLongOW = nullptr;
    QLineEdit *txtLatGrad = nullptr;
    QLineEdit *txtLatMin = nullptr;
    QLineEdit *txtLatSec = nullptr;
    QLineEdit *txtLatNS = nullptr;
    QPushButton *cmdBack = nullptr; // "OK"
    QPushButton *CmdCanc = nullptr; // "Cancel"

protected:
    dialogs::KeyDecision keyDecision(int id, char32_t key) override;
    void keyReleased(int id) override;

private:
    void focusField(dialogs::FocusField which);
    std::vector<TextBinding<dialogs::CoordFields>> texts_;
    bool unloaded_ = false;
};

} // namespace tavisol
