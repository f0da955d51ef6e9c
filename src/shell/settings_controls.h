#pragma once

// The controls of the estimation settings that both the settings dialog and
// the batch list window show (each builds and lays them out in its own way):
// the seven number fields and the three switches, read as one record.

#include <array>
#include <string>

#include "shell/dialoglogic.h"

class QCheckBox;
class QLineEdit;

namespace tavisol {

class SettingsControls {
public:
    // The texts and ticks shown.
    dialogs::SettingsFields settingsFields() const;
    QLineEdit *settingsField(dialogs::SettingsField which) const;

    QLineEdit *txtMaxDist = nullptr;
    QLineEdit *txtMaxStat = nullptr;
    QLineEdit *txtPowExp = nullptr;
    QLineEdit *txtMinDist = nullptr;
    QLineEdit *txtShad = nullptr;
    QLineEdit *txtMinHigh = nullptr;
    QLineEdit *txtMaxHigh = nullptr;
    QCheckBox *chkAltCorr = nullptr;
    QCheckBox *ChkGradCorr = nullptr;
    QCheckBox *chkNeighbAlt = nullptr;

protected:
    ~SettingsControls() = default;

    struct SettingsBox {
        QLineEdit *field;
        dialogs::SettingsField id;
        std::string dialogs::SettingsFields::*text;
        int selectLength; // as FieldDialog::addField takes it
    };
    // The number fields in the order of their record.
    std::array<SettingsBox, 7> settingsBoxes() const;
};

} // namespace tavisol
