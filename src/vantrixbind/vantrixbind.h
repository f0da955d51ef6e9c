#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "vantrix/vantrix.h"

class QWidget;

namespace tavisol::vantrix {

// A failed binding of the Vantrix library: the library could not be loaded or
// lacks the named function. number 0 means no error.
struct BindError {
    int number = 0;
    QString description;
};

// Numbers of the two binding failures (the classic run-time error numbers).
inline constexpr int kErrLibraryNotFound = 53;
inline constexpr int kErrEntryNotFound = 453;

// The library file the binding loads. By default the program folder's
// "libvantrix.so", then the usual search for libraries by plain name.
// Setting a path (empty restores the default) forgets the current binding;
// a library once loaded stays loaded.
void setLibraryPath(const QString &path);

// The four exports, each bound by name at its first call; the library itself
// is loaded at the first call of any of them. Each returns false and fills
// *error (when given) if the library or the function cannot be bound; a later
// call tries again.
bool showTOC(const QString &helpFile, bool *shown, BindError *error);
bool showIndex(const QString &helpFile, bool *shown, BindError *error);
bool real48ToDouble(const Real48Rec &record, double *value, BindError *error);
bool doubleToReal48(double value, Real48Rec *record, BindError *error);

// The six bytes of a 6-byte real as files hold it: Exp, Lo and Mid (least
// significant byte first), Hi.
Real48Rec real48FromBytes(const std::array<std::uint8_t, 6> &bytes);
std::array<std::uint8_t, 6> real48ToBytes(const Real48Rec &record);

// "Error --> Number : <number>" CR LF "(<description>)".
QString helpErrorMessage(int number, const QString &description);

// The error message box: information icon, OK, caption "Tavisol".
void showErrorMessage(const BindError &error, QWidget *parent = nullptr);

// The main window's "Help" and "Index" commands: open the help file at its
// contents or index; a binding failure is reported with showErrorMessage,
// a help file the library could not show is not reported. Returns the error
// reported (number 0 when none).
BindError openHelpContents(const QString &helpFile, QWidget *parent = nullptr);
BindError openHelpIndex(const QString &helpFile, QWidget *parent = nullptr);

} // namespace tavisol::vantrix
