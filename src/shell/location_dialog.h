#pragma once

// The location dialog: a location typed by name, longitude, latitude and
// altitude, the altitude following the elevation raster while a coordinate is
// typed. OK stores it and closes; Save stores it and opens the output dialog of
// the location results window, the dialog staying open.

#include <functional>
#include <vector>

#include "shell/dialoglogic.h"
#include "shell/fielddialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavisol {

// What Save opens after storing the location (the output dialog of the
// location results window). Until one is installed Save only stores.
void SetLocationSaveHook(std::function<void()> hook);

class LocationDialog : public FieldDialog {
    Q_OBJECT
public:
    // Builds the dialog and runs its load: the fields from the current location.
    explicit LocationDialog(QWidget *parent = nullptr);

    // Typing a coordinate: the altitude from the raster when both allow it.
    void CoordinateChanged();
    // Leaving the altitude field: its range and sea-level messages.
    void onAltitudeFocusLost();
    // OK: stores the location and unloads the dialog.
    void onOkClicked();
    // Save: stores the location, then runs the save hook; the dialog stays.
    void onSaveClicked();
    // Cancel: unloads the dialog, storing nothing.
    void onCancelClicked();

    // True once OK or Cancel has unloaded the dialog (it is deleted later).
    bool isUnloaded() const { return unloaded_; }

    dialogs::LocationFields fields() const;
    void setFields(const dialogs::LocationFields &f);

    QGroupBox *locationFrame = nullptr; // "Location"
    QLineEdit *txtName = nullptr;  // name
    QLineEdit *txtlong = nullptr;
    QLineEdit *txtLat = nullptr;
    QLineEdit *txtElev = nullptr;
    QPushButton *cmdBack = nullptr; // "OK"
    QPushButton *CmdSave = nullptr; // "Save"
    QPushButton *CmdCanc = nullptr; // "Cancel"

protected:
    void fieldLeft(int id) override;

private:
    bool confirm();
    void unload();
    std::vector<TextBinding<dialogs::LocationFields>> texts_;
    bool unloaded_ = false;
    bool rasterErrorShown_ = false;
};

} // namespace tavisol
