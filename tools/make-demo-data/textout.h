#pragma once
// Text the data folders hold: Windows-1252, CR LF, numbers with a point whatever
// the locale.
#include <QByteArray>
#include <QString>

#include <array>

namespace demodata {

// Letters outside Windows-1252 lose their accents; what still does not fit
// becomes '?'. Double quotes are dropped (they delimit text fields).
QByteArray toWindows1252(const QString& text);

// Fixed-point text with '.', never "-0.0".
QByteArray fixed(double value, int decimals);

// One station record on one line, ended by CR LF: latitude, longitude, altitude,
// twelve monthly values, name, country. A text with a comma is quoted.
struct StationLine {
    double latitude = 0;
    double longitude = 0;
    int altitude = 9999;
    std::array<double, 12> values{};
    QString name;
    QString country;
};
QByteArray formatStationLine(const StationLine& s, int decimals);

// A text field as the list readers take it: quoted when it holds a comma.
QByteArray textField(const QString& text);

} // namespace demodata
