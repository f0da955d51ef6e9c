#include "shell/maplocation.h"

#include <QLineEdit>

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"
#include "shell/appstate.h"
#include "shell/dialoglogic.h"
#include "shell/messages.h"

namespace tavisol {

bool StoreMapLocation(QWidget *window, const MapLocationFields &f) {
    const double lat = numfmt::valCommaAsPoint(f.latitude->text().toStdString());
    if (dialogs::IsPolar(lat))
        ShowMessage(window, Message{"Please note that the specified point lies in the polar region.",
                                    " Polar Region", MsgIcon::Question});
    if (!dialogs::LatitudeInRange(lat)) {
        ShowMessage(window, dialogs::LatitudeRangeMessage());
        f.latitude->setFocus();
        return false;
    }
    for (QLineEdit *box : {f.longitude, f.latitude, f.altitude})
        box->setText(box->text().replace(QLatin1Char(','), QLatin1Char('.')));
    for (QLineEdit *box : {f.longitude, f.altitude}) {
        const double v = numfmt::val(box->text().toStdString());
        if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
            ShowMessage(window, CriticalMessage("The number " + box->text().toStdString() + " is too large.",
                                                "Strange Location"));
            box->setFocus();
            return false;
        }
    }
    const auto read = [](const QLineEdit *box) { return static_cast<float>(numfmt::val(box->text().toStdString())); };
    SetCurrentLocation(f.name->text().toStdString(), read(f.longitude), read(f.latitude), read(f.altitude),
                       RecalcMarks::Both);
    return true;
}

} // namespace tavisol
