#include "shell/maplocation.h"

#include <QLineEdit>

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
    if (!LatitudeAccepted(lat)) {
        ShowMessage(window, dialogs::LatitudeRangeMessage());
        f.latitude->setFocus();
        return false;
    }
    // An unreadable box counts as 0, as the maps always read it; the longitude
    // and the altitude are checked as every writer checks them.
    const auto read = [](const QLineEdit *box) { return numfmt::valCommaAsPoint(box->text().toStdString()); };
    const dialogs::Confirmation c = dialogs::StoreLocation(f.name->text().toStdString(), read(f.longitude),
                                                           read(f.latitude), read(f.altitude), RecalcMarks::Both,
                                                           MessageSinkFor(window));
    if (c.focus == dialogs::FocusField::Longitude)
        f.longitude->setFocus();
    else if (c.focus == dialogs::FocusField::Altitude)
        f.altitude->setFocus();
    if (!c.stored)
        return false;
    for (QLineEdit *box : {f.longitude, f.latitude, f.altitude})
        box->setText(box->text().replace(QLatin1Char(','), QLatin1Char('.')));
    return true;
}

} // namespace tavisol
