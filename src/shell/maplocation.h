#pragma once

// "Set Location" of the map windows: the typed point becomes the current
// location. One rule for both maps, so a point the one map refuses the other
// refuses too.

class QLineEdit;
class QWidget;

namespace tavisol {

struct MapLocationFields {
    QLineEdit *name = nullptr;
    QLineEdit *longitude = nullptr;
    QLineEdit *latitude = nullptr;
    QLineEdit *altitude = nullptr;
};

// A polar latitude is noted and stored; a latitude out of range, or a number
// beyond single precision, is refused with the focus on its field. Commas in
// the coordinates become points once the latitude is accepted. Returns true
// when the location was stored.
bool StoreMapLocation(QWidget *window, const MapLocationFields &fields);

} // namespace tavisol
