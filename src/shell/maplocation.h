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

// A polar latitude is noted and stored; a latitude out of range is refused
// with the focus on its field, and so are a longitude and an altitude that
// the location dialog would refuse. Commas in the boxes become points once
// the location is stored. Returns true when the location was stored.
bool StoreMapLocation(QWidget *window, const MapLocationFields &fields);

} // namespace tavisol
