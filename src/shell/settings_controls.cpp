#include "shell/settings_controls.h"

#include <QCheckBox>

#include "shell/fielddialog.h"

namespace tavisol {

using dialogs::SettingsField;
using dialogs::SettingsFields;

std::array<SettingsControls::SettingsBox, 7> SettingsControls::settingsBoxes() const {
    return {{{txtMaxDist, SettingsField::MaxDist, &SettingsFields::MaxDist, 99},
             {txtMaxStat, SettingsField::MaxStat, &SettingsFields::MaxStat, 99},
             {txtPowExp, SettingsField::PowExp, &SettingsFields::PowExp, 99},
             {txtMinDist, SettingsField::MinDist, &SettingsFields::MinDist, 99},
             {txtShad, SettingsField::Shad, &SettingsFields::Shad, -1}, // no selection rule
             {txtMinHigh, SettingsField::MinHigh, &SettingsFields::MinHigh, 99},
             {txtMaxHigh, SettingsField::MaxHigh, &SettingsFields::MaxHigh, 99}}};
}

SettingsFields SettingsControls::settingsFields() const {
    SettingsFields f;
    ReadTexts(settingsBoxes(), f);
    f.AltCorr = chkAltCorr->isChecked();
    f.GradCorr = ChkGradCorr->isChecked();
    f.NeighbAlt = chkNeighbAlt->isChecked();
    return f;
}

QLineEdit *SettingsControls::settingsField(SettingsField which) const {
    for (const SettingsBox &b : settingsBoxes())
        if (b.id == which)
            return b.field;
    return txtMaxDist;
}

} // namespace tavisol
