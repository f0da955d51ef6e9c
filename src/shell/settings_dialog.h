#pragma once

// The settings dialog: neighbourhood size, inverse-distance power and minimum
// distance, the three corrections and the altitude window. It lives hidden
// from start-up until the main window unloads: its fields are the record of the
// methods in force that the estimate reports describe.

#include "shell/dialoglogic.h"
#include "shell/fielddialog.h"
#include "shell/settings_controls.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavisol {

class SettingsDialog : public FieldDialog, public SettingsControls {
    Q_OBJECT
public:
    // Builds the dialog with its design texts (the engine's defaults); the two
    // altitude fields start read-only to match the unticked window switch.
    explicit SettingsDialog(QWidget *parent = nullptr);

    // settingsFields() are the texts and ticks shown, as the reports read them.
    void setFields(const dialogs::SettingsFields &f);

    // OK: writes the shared settings, checks them, marks both result windows
    // and hides the dialog when every check passes.
    void onOkClicked();
    // Cancel: the settings in force back into the controls, then hidden.
    void onCancelClicked();
    // The controls show the settings in force (changed elsewhere, by the
    // list window's boxes), keeping their texts where they stand for them.
    void showSettingsInForce();
    // The altitude window switch (also run when Cancel changes the tick).
    void onNeighboursNeedAltitudeClicked();

    QGroupBox *FrameNeighbourhood = nullptr; // "Size of Neighborhood"
    QGroupBox *FrameIdw = nullptr;           // "Inverse Distance Weighted Averaging"
    QGroupBox *FrameCorrections = nullptr;   // "Climatological Corrections"
    QGroupBox *FrameAltitude = nullptr;      // "Altitude Restrictions"
    QPushButton *okButton = nullptr; // "OK"
    QPushButton *CmdCanc = nullptr;  // "Cancel"

protected:
    dialogs::KeyDecision keyDecision(int id, char32_t key) override;
    // Leaving an altitude field: the order check.
    void fieldLeft(int id) override;
};

} // namespace tavisol
