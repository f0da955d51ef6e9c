#pragma once

// The decisions of the settings, coordinate and location dialogs, without Qt:
// how a field is read, which typed keys a field takes, the settings checks, the
// coordinate conversions and the confirming buttons. The dialogs only move texts
// between their controls and these functions, so the tests call them directly.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/state.h"
#include "numfmt/numfmt.h"
#include "shell/appstate.h"
#include "shell/message.h"
#include "shell/settingsfields.h"

namespace tavisol::dialogs {

// ---- Messages ---------------------------------------------------------------

// Messages shared by the coordinate and location dialogs.
Message LongitudeRangeMessage();
Message LatitudeRangeMessage();
// Messages shared by the settings dialog and the list window's settings boxes.
Message PowerSignMessage();
// A value beyond single precision in these fields.
Message MinDistanceRangeMessage();
Message LowestAltitudeRangeMessage();
Message HighestAltitudeRangeMessage();

// ---- Reading fields ---------------------------------------------------------

// Every "," of the text turned into ".".
std::string CommasToPoints(std::string_view text);
// The longest leading number of the text, a comma counting as the point; an
// empty or non-numeric text reads as 0.
double ReadField(std::string_view text);
// The same without turning commas into points ("12,5" reads 12).
double ReadFieldAsTyped(std::string_view text);
// The number a coordinate or altitude field holds, one reading for each of
// their rules (typing, leaving the field, OK): blanks and tabs dropped as Val
// drops them ("1 23" is 123), a comma counting as the point, and then the
// whole text one number. None for a text that is no number ("", "-", "NaN",
// "inf", "0x10", "12abc").
std::optional<double> ReadNumberField(std::string_view text);
// Whether typing on can still make the text a number ("", "-", "1e").
bool BeginsANumber(std::string_view text);
// A number as the fields show it: the locale's plain form, no leading blank,
// whole numbers without decimals.
std::string FieldText(float value, const numfmt::Locale &loc);

// ---- Key filters ------------------------------------------------------------

// Character codes of the keys the filters name.
inline constexpr char32_t KeyEnter = 13;
inline constexpr char32_t KeyBackspace = 8;

enum class KeyAction {
    Take,      // the key reaches the text
    Drop,      // it does not
    MoveOn,    // dropped, and the focus moves to the next control (Enter)
    TypePoint, // the key types "." instead of its own character
};

struct KeyDecision {
    KeyAction action = KeyAction::Take;
    std::optional<Message> message; // shown before the key is dropped

    bool operator==(const KeyDecision &) const = default;
};

// The comma key of a field whose reading takes a comma for the point acts as
// the "." key there (its message too), and where that key is taken it types
// the point: a user of a decimal-comma locale types the decimals as usual.
KeyDecision CommaKey(KeyDecision pointKey);

enum class SettingsField { MaxDist, MaxStat, PowExp, MinDist, Shad, MinHigh, MaxHigh };
KeyDecision SettingsKey(SettingsField field, char32_t key);

enum class CoordField { Long, Lat, LongGrad, LongMin, LongSec, LongOW, LatGrad, LatMin, LatSec, LatNS };
KeyDecision CoordKey(CoordField field, char32_t key);

// A text pasted or dropped into a field goes through the field's key filter
// character by character. It is refused at the first character that no key
// types there, with that key's message or, where the key is dropped silently
// (and for a control character, which no key types), one naming the
// character and the field (an empty name: "this field"). Otherwise it is
// taken, with the message of the first taken key that has one.
struct PasteDecision {
    bool taken = true;
    std::optional<Message> message;
};
PasteDecision PastedTextDecision(std::u32string_view text,
                                 const std::function<KeyDecision(char32_t)> &keyFilter,
                                 std::string_view fieldName);

// ---- Settings dialog --------------------------------------------------------

// The altitude window switch: unticked, the two altitude fields go back to
// "-350" and "8848" (the dialog also makes them read-only); ticked, they stay.
void AltitudeWindowSwitch(SettingsFields &fields, bool ticked);

// On leaving the lower (leavingMin) or upper altitude field: the message when
// the lower altitude is above the upper one. Nothing is corrected.
std::optional<Message> AltitudeOrderCheck(const SettingsFields &fields, bool leavingMin);

// The station counts the settings dialog puts in force: 1..20, as many as the
// engine's neighbour table holds.
bool StationCountAccepted(double count);

// What asking for `proposed` leaves in force: each value that the settings
// dialog never puts in force (a station count it refuses, a number beyond
// single precision) stays as `inForce` has it. Every change of the settings
// in force passes through it (SetSharedSettings).
engine::EngineSettings AcceptedSettings(const engine::EngineSettings &inForce,
                                        const engine::EngineSettings &proposed);

// OK of the settings dialog: turns the commas of the fields into points, writes
// the settings, then checks them in order. A failed check shows its message and
// returns false with the written values still in force, except a station count
// outside 1..20 and a value beyond single precision, which are never written.
// The altitude limits must be in order. Some checks correct a value and go
// on. Returns true when the dialog may close; otherwise `refused`, when given,
// names the field the failed check is about.
bool ApplySettings(SettingsFields &fields, engine::EngineSettings &settings,
                   const MessageSink &show, SettingsField *refused = nullptr);

// Cancel: the settings in force written back into the fields, the altitude
// window switch run when its tick changes.
SettingsFields SettingsInForce(const SettingsFields &current,
                               const engine::EngineSettings &settings,
                               const numfmt::Locale &loc);

// The fields that describe `settings`: `current` itself when putting it in
// force gives exactly these settings, else the settings written into it as
// Cancel writes them. The reports describe a run's methods by it, and the
// dialog opens with it, so both tell what was changed elsewhere (the list
// window's boxes) as well.
SettingsFields FieldsDescribing(const SettingsFields &current, const engine::EngineSettings &settings,
                                const numfmt::Locale &loc);

// The record of the methods a run used, as the reports read it (each number
// the leading number of its text, the point as decimal sign): the fields
// describing `used`, their commas turned into points as the dialog's own
// reading turns them, and any setting written in with the point. So the
// reports state what the run used in every locale, also after the dialog
// showed the settings in the locale's form ("0,5").
SettingsFields MethodsRecord(const SettingsFields &current, const engine::EngineSettings &used);

// ---- Coordinates ------------------------------------------------------------

// Whole degrees, minutes and seconds of a coordinate, each truncated toward
// zero, never rounded up: 13.01 -> 13 0 36, 41.99 -> 41 59 24.
struct Dms {
    int degrees = 0;
    int minutes = 0;
    int seconds = 0;

    bool operator==(const Dms &) const = default;
};
Dms ToDms(float value);
// "E" above 0, otherwise "W"; "N" above 0, otherwise "S".
std::string LongitudeLetter(float longitude);
std::string LatitudeLetter(float latitude);

// Degrees, minutes, seconds and the hemisphere field to decimal degrees: the
// value is negative when the hemisphere text begins with the negative letter
// ('S' or 'W', either case).
float DmsToDegrees(std::string_view degrees, std::string_view minutes, std::string_view seconds,
                   std::string_view hemisphere, char negativeLetter);

// The texts of the coordinate dialog.
struct CoordFields {
    std::string Long, Lat;
    std::string LongGrad, LongMin, LongSec, LongOW;
    std::string LatGrad, LatMin, LatSec, LatNS;

    bool operator==(const CoordFields &) const = default;
};

// The degree and hemisphere fields from the decimal fields (whose commas become
// points).
void DecimalToDms(CoordFields &f);
// The decimal fields from the degree and hemisphere fields, rounded to three
// decimals (ties to even); no range check.
void DmsToDecimal(CoordFields &f, const numfmt::Locale &loc);

// The number a decimal field holds, read as its typing rule and OK read it:
// none also for a text holding what no key could type there.
std::optional<double> CoordinateValue(CoordField field, std::string_view text);

// Typing (or pasting) into the decimal fields: the range message, or the
// message of a text that typing on cannot make a number, or nothing after the
// degree fields have been brought up to date.
std::optional<Message> LongitudeTyped(CoordFields &f);
std::optional<Message> LatitudeTyped(CoordFields &f);

// ---- Elevation ----------------------------------------------------------------

struct ElevationLookup {
    bool found = false;
    int altitude = 0;   // whole metres; 0 over water
    std::string error;  // why there is none (a missing or short raster)
};
// The elevation raster of the data folder at a point; never throws.
ElevationLookup LookUpElevation(const std::filesystem::path &dataFolder, float longitude,
                                float latitude);

// ---- Confirming a location ----------------------------------------------------

enum class FocusField { None, Longitude, Latitude, Altitude };

struct Confirmation {
    bool stored = false;
    FocusField focus = FocusField::None; // the field the focus goes back to
};

// Why a location is not put in force, and the field the focus goes to.
struct LocationRefusal {
    Message message;
    FocusField field = FocusField::None;
};
// The checks of every writer of the current location, with the location
// dialog's messages: a value that is none (a field holding no number) or
// outside the ranges of appstate.h. The coordinate dialog words the latitude
// its own way.
std::optional<LocationRefusal> RefuseCoordinates(std::optional<double> longitude, std::optional<double> latitude,
                                                 const Message &latitudeMessage = LatitudeRangeMessage());
std::optional<LocationRefusal> RefuseAltitude(std::optional<double> altitude);

// Every writer of the current location puts it in force here: a location
// that the checks above refuse is shown through `show` and changes nothing,
// its field named for the focus; otherwise SetCurrentLocation.
Confirmation StoreLocation(const std::string &name, double longitude, double latitude, double altitude,
                           RecalcMarks marks, const MessageSink &show);

// OK of the coordinate dialog: range checks, the altitude from the raster, then
// the new current location under its generated name, both result windows
// marked. Nothing is stored when a check fails or the raster cannot be read.
Confirmation ConfirmCoordinates(CoordFields &f, const std::filesystem::path &dataFolder,
                                const MessageSink &show);

// The texts of the location dialog.
struct LocationFields {
    std::string Name, Long, Lat, Elev;

    bool operator==(const LocationFields &) const = default;
};

// Typing a coordinate: the altitude field's new text when both coordinates
// are numbers that allow a look-up (longitude -180..180, latitude strictly
// inside -90..90) and the raster has the point. A raster that cannot be read leaves the field and
// gives its reason in `error`.
struct AltitudeFollow {
    std::optional<std::string> altitude;
    std::string error;
};
AltitudeFollow AltitudeForCoordinates(const LocationFields &f,
                                      const std::filesystem::path &dataFolder);

// The altitude a field holds as OK stores it, in whole metres; none for a
// text that is no number. Leaving the field and OK read it so.
std::optional<double> AltitudeValue(std::string_view text);

// Leaving the altitude field: its commas become points; an altitude that OK
// would refuse gives OK's refusal (the focus goes back), one below sea level
// the notice.
struct AltitudeLeave {
    std::optional<Message> message;
    bool refocus = false;
};
AltitudeLeave LeaveAltitude(std::string &elevText);

// Latitudes from -90 to below -70 and from above 70 to 90.
bool IsPolar(double latitude);

// OK and Save of the location dialog: range checks, the altitude range, the
// polar question, then the location stored under its name (or the generated
// one), both result windows marked.
Confirmation ConfirmLocation(LocationFields &f, const MessageSink &show);

} // namespace tavisol::dialogs
