#include "shell/dialoglogic.h"

#include <cmath>
#include <cstdlib>
#include <exception>

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
#include "shell/appstate.h"
#include "shell/statuslocation.h"

namespace tavisol::dialogs {

namespace {

using numfmt::toSingle;

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }

KeyDecision Take() { return {KeyAction::Take, std::nullopt}; }
KeyDecision Drop() { return {KeyAction::Drop, std::nullopt}; }
KeyDecision DropWith(Message m) { return {KeyAction::Drop, std::move(m)}; }


Message TooFewStationsMessage() {
    return CriticalMessage(MessageLines({"You should allow one neighbour at least.", "Just to get a result."}),
                    "Problem: To few stations.");
}

Message SeaLevelNotice() {
    return {"Your location is below Mean Sea Level.", "Warning!", MsgIcon::Question};
}

Message AltitudeRangeMessage() {
    return CriticalMessage("Elevation should be between -350 and 8848m.", "Please Correct");
}

// An emptied field, or one holding more than a number.
Message NoNumberMessage(const char *field, std::string title) {
    return CriticalMessage(std::string("The ") + field + " field holds no number.", std::move(title));
}

Message PolarQuestion() {
    return QuestionMessage("Please note that the specified point lies in the polar region. Do you want continue?",
                           " Polar Region");
}

void SetIfChanged(std::string &field, std::string text) {
    if (field != text)
        field = std::move(text);
}

} // namespace

Message LongitudeRangeMessage() {
    return CriticalMessage("Longitude should be between -180 and +180   degrees.", "Strange Location");
}

Message LatitudeRangeMessage() {
    return CriticalMessage("Latitude should be between -90\u00b0 and +90\u00b0.", "Strange Location");
}

Message PowerSignMessage() {
    return CriticalMessage(MessageLines({"The power of Inverse Distance Weighting",
                           "should be   positive to be meaningful."}),
                    "Wrong sign of power");
}

Message MinDistanceRangeMessage() {
    return CriticalMessage("The Minimum Distance is out of range.", "Too large Minimum Distance");
}

Message LowestAltitudeRangeMessage() {
    return CriticalMessage("The lowest altitude is out of range.", "Altitude Confusion");
}

Message HighestAltitudeRangeMessage() {
    return CriticalMessage("The highest altitude is out of range.", "Altitude Confusion");
}

// ---- Reading fields ---------------------------------------------------------

std::string CommasToPoints(std::string_view text) {
    std::string s(text);
    for (char &c : s)
        if (c == ',')
            c = '.';
    return s;
}

double ReadField(std::string_view text) { return numfmt::valCommaAsPoint(text); }

double ReadFieldAsTyped(std::string_view text) { return numfmt::val(text); }

std::optional<double> ReadNumberField(std::string_view text) { return numfmt::valWholeNumber(CommasToPoints(text)); }

bool BeginsANumber(std::string_view text) { return ReadNumberField(std::string(text) + "0").has_value(); }

std::string FieldText(float value, const numfmt::Locale &loc) { return numfmt::general(value, loc); }

// ---- Key filters ------------------------------------------------------------

KeyDecision CommaKey(KeyDecision pointKey) {
    if (pointKey.action == KeyAction::Take)
        pointKey.action = KeyAction::TypePoint;
    return pointKey;
}

KeyDecision SettingsKey(SettingsField field, char32_t key) {
    if (key == U',')
        return CommaKey(SettingsKey(field, U'.'));
    if (key == KeyEnter)
        return {KeyAction::MoveOn, std::nullopt};
    if (IsDigit(key) || key == KeyBackspace)
        return Take();
    switch (field) {
    case SettingsField::MaxDist:
        if (key == U'.')
            return Take();
        if (key == U'-')
            return DropWith(CriticalMessage("The distance must be positive.", "Problem: Area too small."));
        return Drop();
    case SettingsField::MaxStat:
        if (key == U'-')
            return DropWith(TooFewStationsMessage());
        if (key == U'.')
            return DropWith(CriticalMessage("Number of stations must be an integer", "Problem"));
        return Drop();
    case SettingsField::PowExp:
        if (key == U'.')
            return Take();
        if (key == U'-')
            return DropWith(PowerSignMessage());
        return Drop();
    case SettingsField::MinDist:
        if (key == U'.')
            return Take();
        if (key == U'-')
            return DropWith(
                CriticalMessage(MessageLines({"The Minimum Distance to be applied to Inverse Distance Averaging",
                                "should be positive to be meaningful."}),
                         "Wrong sign of  Minimum Distance"));
        return Drop();
    case SettingsField::Shad:
        if (key == U'.')
            return Take();
        if (key == U'-')
            return DropWith(CriticalMessage("The Coefficient must be between 0 and 1.",
                                     "Problem: No negative shadows."));
        return Drop();
    case SettingsField::MinHigh:
    case SettingsField::MaxHigh:
        if (key == U'.' || key == U'-')
            return Take();
        return Drop();
    }
    return Drop();
}

KeyDecision CoordKey(CoordField field, char32_t key) {
    if (key == KeyEnter)
        return {KeyAction::MoveOn, std::nullopt};
    switch (field) {
    case CoordField::Long:
    case CoordField::Lat:
        if (key == U',')
            return CommaKey(CoordKey(field, U'.'));
        if (IsDigit(key) || key == KeyBackspace || key == U'-' || key == U'.')
            return Take();
        return Drop();
    case CoordField::LongGrad:
    case CoordField::LongMin:
    case CoordField::LongSec:
    case CoordField::LatGrad:
    case CoordField::LatMin:
    case CoordField::LatSec:
        if (IsDigit(key) || key == KeyBackspace)
            return Take();
        return Drop();
    case CoordField::LatNS:
        if (key == U'N' || key == U'S' || key == U'n' || key == U's' || key == KeyBackspace)
            return Take();
        return DropWith({"S for South or N for North. That's all.", "", MsgIcon::NoIcon});
    case CoordField::LongOW:
        if (key == U'E' || key == U'W' || key == U'e' || key == U'w' || key == KeyBackspace)
            return Take();
        return DropWith({"E for East or W for West. That's all.", "", MsgIcon::NoIcon});
    }
    return Drop();
}

PasteDecision PastedTextDecision(std::u32string_view text,
                                 const std::function<KeyDecision(char32_t)> &keyFilter,
                                 std::string_view fieldName) {
    std::optional<Message> first;
    for (const char32_t c : text) {
        const bool control = c < 32 || c == 127;
        const KeyDecision d = control ? Drop() : keyFilter(c);
        // A comma that the comma key types as the point is read as one.
        if (d.action == KeyAction::Take || d.action == KeyAction::TypePoint) {
            if (!first)
                first = d.message;
            continue;
        }
        if (d.message)
            return {false, d.message};
        std::string what = "a character";
        if (!control) {
            what = "\"";
            numfmt::appendUtf8(what, c);
            what += "\"";
        }
        const std::string where = fieldName.empty() ? "this field" : "\"" + std::string(fieldName) + "\"";
        return {false, CriticalMessage("The text holds " + what + ", which cannot be typed into " + where + ".",
                                       "Problem")};
    }
    return {true, first};
}

// ---- Settings dialog --------------------------------------------------------

void AltitudeWindowSwitch(SettingsFields &fields, bool ticked) {
    fields.NeighbAlt = ticked;
    if (!ticked) {
        fields.MinHigh = "-350";
        fields.MaxHigh = "8848";
    }
}

std::optional<Message> AltitudeOrderCheck(const SettingsFields &fields, bool leavingMin) {
    if (!(ReadField(fields.MinHigh) > ReadField(fields.MaxHigh)))
        return std::nullopt;
    if (leavingMin)
        return CriticalMessage("Lowest Altitude should be below highest altitude!", "Altitude Confusion");
    return CriticalMessage("Highest Altitude should be above lowest altitude!", "Altitude Confusion");
}

bool StationCountAccepted(double count) { return count >= 1 && count <= engine::MaxNeighbours; }

engine::EngineSettings AcceptedSettings(const engine::EngineSettings &inForce,
                                        const engine::EngineSettings &proposed) {
    using S = engine::EngineSettings;
    engine::EngineSettings accepted = proposed;
    if (!StationCountAccepted(accepted.MaxStations))
        accepted.MaxStations = inForce.MaxStations;
    for (engine::Single S::*value : {&S::MaxDistance, &S::MinDistance, &S::IdwPower, &S::MinAltitude, &S::MaxAltitude,
                                     &S::ShadowCoef, &S::MinActiveForErrors, &S::ZeroTolerance, &S::MapExtentFactor})
        if (!std::isfinite(accepted.*value))
            accepted.*value = inForce.*value;
    return accepted;
}

bool ApplySettings(SettingsFields &f, engine::EngineSettings &s, const MessageSink &show,
                   SettingsField *refused) {
    // Commas of the number fields become points in the fields themselves.
    for (std::string *text : {&f.PowExp, &f.MaxDist, &f.MaxStat, &f.MinHigh, &f.MaxHigh, &f.MinDist})
        *text = CommasToPoints(*text);

    // Written before any check: a failed check leaves them in force. A text
    // beyond single precision reads as infinity: refused below and never
    // written.
    const auto write = [](engine::Single &setting, float value) {
        if (std::isfinite(value))
            setting = value;
    };
    const float power = toSingle(ReadField(f.PowExp));
    const float maxDistance = toSingle(ReadField(f.MaxDist));
    const float minAltitude = toSingle(ReadField(f.MinHigh));
    const float maxAltitude = toSingle(ReadField(f.MaxHigh));
    const float minDistance = toSingle(ReadField(f.MinDist));
    write(s.IdwPower, power);
    write(s.MaxDistance, maxDistance);
    const double stations = numfmt::roundHalfEven(ReadField(f.MaxStat));
    // A count outside 1..20 is refused below and never written.
    if (StationCountAccepted(stations))
        s.MaxStations = static_cast<engine::Integer>(stations);
    write(s.MinAltitude, minAltitude);
    write(s.MaxAltitude, maxAltitude);
    s.GradCorrOn = f.GradCorr ? 1 : 0;
    s.AltCorrOn = f.AltCorr ? 1 : 0;
    s.AltWindowOn = f.NeighbAlt ? 1 : 0;
    write(s.MinDistance, minDistance);
    const float shadow = toSingle(ReadField(f.Shad));
    if (std::isfinite(shadow)) {
        if (shadow != 0)
            s.ShadowOn = 1;
        s.ShadowCoef = shadow;
    }

    auto fail = [&show, refused](SettingsField field, Message m) {
        show(m);
        if (refused)
            *refused = field;
        return false;
    };
    if (power < 0)
        return fail(SettingsField::PowExp, PowerSignMessage());
    if (power > 5)
        return fail(SettingsField::PowExp,
                    CriticalMessage(MessageLines({"Even a power of 5 means",
                                    "that half the distance makes 32 times the effect."}),
                             "Rather high power!"));
    if (shadow < 0)
        return fail(SettingsField::Shad,
                    CriticalMessage(MessageLines({"The coefficient of shadow correction ",
                                    "should be  between 0 (no shadow correction) and 1 (full shadow "
                                    "correction)."}),
                             "Negative coefficients are meaningless!"));
    if (shadow > 1)
        return fail(SettingsField::Shad,
                    CriticalMessage(MessageLines({"The coefficient of shadow correction ",
                                    "should be   between 0 (no shadow correction) and 1 (full shadow "
                                    "correction)."}),
                             "Please correct input!"));
    if (stations > engine::MaxNeighbours)
        return fail(SettingsField::MaxStat,
                    CriticalMessage(MessageLines({"More than 20 stations is a lot", "and may not make any sence."}),
                             "Problem: To many stations."));
    if (stations < 1)
        return fail(SettingsField::MaxStat, TooFewStationsMessage());
    if (maxDistance > 22000) {
        s.MaxStations = engine::MaxNeighbours;
        return fail(SettingsField::MaxDist,
                    CriticalMessage(MessageLines({"More than half of the Earths surface",
                                    "is covered by the neighbourhoods size you chose.",
                                    "This may not really represent your local climate."}),
                             "Problem: Area definitely to large."));
    }
    if (!std::isfinite(minDistance))
        return fail(SettingsField::MinDist, MinDistanceRangeMessage());
    if (static_cast<double>(s.MinDistance) < 0.1) {
        show(CriticalMessage(MessageLines({"Inverse Distance Averaging not allowed ",
                             "if the   Nearest Neighbour is closer than 100 m.", "",
                             "Distance  was changed to 100m. "}),
                      "Too small Minimum Distance"));
        s.MinDistance = 0.1f;
    }
    if (maxDistance <= 0) {
        s.MaxStations = engine::MaxNeighbours;
        return fail(SettingsField::MaxDist,
                    CriticalMessage(MessageLines({"You should allow to take into account",
                                    "stations which  are not exactly at your location."}),
                             "Problem: Area too  small."));
    }
    if (!std::isfinite(minAltitude))
        return fail(SettingsField::MinHigh, LowestAltitudeRangeMessage());
    if (!std::isfinite(maxAltitude))
        return fail(SettingsField::MaxHigh, HighestAltitudeRangeMessage());
    // Leaving a field only warns; OK does not take the limits the wrong way round.
    if (auto m = AltitudeOrderCheck(f, true))
        return fail(SettingsField::MinHigh, *m);
    if (s.IdwPower < 0.0001f)
        s.IdwPower = 0; // plain averaging
    return true;
}

SettingsFields SettingsInForce(const SettingsFields &current, const engine::EngineSettings &s,
                               const numfmt::Locale &loc) {
    SettingsFields f = current;
    f.PowExp = FieldText(s.IdwPower, loc);
    f.MaxDist = FieldText(s.MaxDistance, loc);
    f.MaxStat = numfmt::general(static_cast<int>(s.MaxStations), loc);
    f.MinHigh = FieldText(s.MinAltitude, loc);
    f.MaxHigh = FieldText(s.MaxAltitude, loc);
    f.GradCorr = s.GradCorrOn != 0;
    f.AltCorr = s.AltCorrOn != 0;
    const bool window = s.AltWindowOn != 0;
    if (window != current.NeighbAlt)
        AltitudeWindowSwitch(f, window);
    f.MinDist = FieldText(s.MinDistance, loc);
    f.Shad = FieldText(s.ShadowCoef, loc);
    return f;
}

SettingsFields FieldsDescribing(const SettingsFields &current, const engine::EngineSettings &settings,
                                const numfmt::Locale &loc) {
    SettingsFields fields = current;
    engine::EngineSettings applied = settings;
    ApplySettings(fields, applied, [](const Message &) { return true; });
    if (applied == settings)
        return current;
    return SettingsInForce(current, settings, loc);
}

SettingsFields MethodsRecord(const SettingsFields &current, const engine::EngineSettings &used) {
    SettingsFields f = FieldsDescribing(current, used, numfmt::Locale::english());
    for (std::string *text : {&f.PowExp, &f.MaxDist, &f.MaxStat, &f.MinHigh, &f.MaxHigh, &f.MinDist, &f.Shad})
        *text = CommasToPoints(*text);
    return f;
}

// ---- Coordinates ------------------------------------------------------------

Dms ToDms(float value) {
    // Beyond any sensible coordinate (a pasted "9e99"): nothing to split.
    if (!std::isfinite(value) || std::fabs(value) > 1.0e9f)
        return {};
    const float whole = std::trunc(value);
    const float m = (value - whole) * 60.0f; // kept in single precision
    const float minutes = std::trunc(m);
    const double seconds = std::trunc((static_cast<double>(m) - minutes) * 60.0);
    return {std::abs(static_cast<int>(whole)), std::abs(static_cast<int>(minutes)),
            std::abs(static_cast<int>(seconds))};
}

std::string LongitudeLetter(float longitude) { return longitude > 0 ? "E" : "W"; }

std::string LatitudeLetter(float latitude) { return latitude > 0 ? "N" : "S"; }

float DmsToDegrees(std::string_view degrees, std::string_view minutes, std::string_view seconds,
                   std::string_view hemisphere, char negativeLetter) {
    const double v = ReadFieldAsTyped(degrees) + ReadFieldAsTyped(minutes) / 60.0 +
                     ReadFieldAsTyped(seconds) / 3600.0;
    float value = toSingle(v);
    if (!hemisphere.empty()) {
        const char first = hemisphere.front();
        const char lower = static_cast<char>(negativeLetter - 'A' + 'a');
        if (first == negativeLetter || first == lower)
            value = -value;
    }
    return value;
}

void DecimalToDms(CoordFields &f) {
    SetIfChanged(f.Long, CommasToPoints(f.Long));
    SetIfChanged(f.Lat, CommasToPoints(f.Lat));
    const float lat = toSingle(ReadFieldAsTyped(f.Lat));
    const float lon = toSingle(ReadFieldAsTyped(f.Long));
    const Dms lo = ToDms(lon);
    const Dms la = ToDms(lat);
    f.LongGrad = std::to_string(lo.degrees);
    f.LongMin = std::to_string(lo.minutes);
    f.LongSec = std::to_string(lo.seconds);
    f.LongOW = LongitudeLetter(lon);
    f.LatGrad = std::to_string(la.degrees);
    f.LatMin = std::to_string(la.minutes);
    f.LatSec = std::to_string(la.seconds);
    f.LatNS = LatitudeLetter(lat);
}

void DmsToDecimal(CoordFields &f, const numfmt::Locale &loc) {
    const float lat = DmsToDegrees(f.LatGrad, f.LatMin, f.LatSec, f.LatNS, 'S');
    const float lon = DmsToDegrees(f.LongGrad, f.LongMin, f.LongSec, f.LongOW, 'W');
    f.Lat = FieldText(numfmt::roundDecimalsHalfEven(lat, 3), loc);
    f.Long = FieldText(numfmt::roundDecimalsHalfEven(lon, 3), loc);
}

namespace {

// Whether every character of a text is one that a key may type into the field
// (a pasted text goes through the typing rule).
bool Typeable(CoordField field, std::string_view text) {
    for (char c : text)
        if (const KeyAction a = CoordKey(field, static_cast<unsigned char>(c)).action;
            a != KeyAction::Take && a != KeyAction::TypePoint)
            return false;
    return true;
}

// A decimal field's typing rule: a number out of range and a text that typing
// on cannot make a number are refused; a number not finished yet ("", "-")
// converts as it reads so far.
std::optional<Message> DecimalTyped(CoordFields &f, CoordField field, const std::string &text) {
    const bool longitude = field == CoordField::Long;
    if (const std::optional<double> v = CoordinateValue(field, text)) {
        if (!(longitude ? LongitudeAccepted(*v) : LatitudeAccepted(*v)))
            return longitude ? LongitudeRangeMessage() : LatitudeRangeMessage();
    } else if (!Typeable(field, text) || !BeginsANumber(text)) {
        return NoNumberMessage(longitude ? "longitude" : "latitude", "Strange Location");
    }
    DecimalToDms(f);
    return std::nullopt;
}

} // namespace

std::optional<double> CoordinateValue(CoordField field, std::string_view text) {
    return Typeable(field, CommasToPoints(text)) ? ReadNumberField(text) : std::nullopt;
}

std::optional<Message> LongitudeTyped(CoordFields &f) {
    SetIfChanged(f.Long, CommasToPoints(f.Long));
    return DecimalTyped(f, CoordField::Long, f.Long);
}

std::optional<Message> LatitudeTyped(CoordFields &f) {
    // The comma key types the point: a comma here is one the dialog wrote in
    // the user's form ("90,5" after a conversion), read as the point it stands
    // for; the degree fields then turn it into a point.
    return DecimalTyped(f, CoordField::Lat, f.Lat);
}

// ---- Elevation ----------------------------------------------------------------

ElevationLookup LookUpElevation(const std::filesystem::path &dataFolder, float longitude,
                                float latitude) {
    ElevationLookup r;
    try {
        engine::Integer isWater = 0;
        r.altitude = engine::GetElevation(dataFolder, longitude, latitude, isWater);
        r.found = true;
    } catch (const std::exception &e) {
        r.error = e.what();
    }
    return r;
}

// ---- Confirming a location ----------------------------------------------------

std::optional<LocationRefusal> RefuseCoordinates(std::optional<double> lon, std::optional<double> lat,
                                                 const Message &latitudeMessage) {
    if (!lon)
        return LocationRefusal{NoNumberMessage("longitude", "Strange Location"), FocusField::Longitude};
    if (!LongitudeAccepted(*lon))
        return LocationRefusal{LongitudeRangeMessage(), FocusField::Longitude};
    if (!lat)
        return LocationRefusal{NoNumberMessage("latitude", "Strange Location"), FocusField::Latitude};
    if (!LatitudeAccepted(*lat))
        return LocationRefusal{latitudeMessage, FocusField::Latitude};
    return std::nullopt;
}

std::optional<LocationRefusal> RefuseAltitude(std::optional<double> altitude) {
    if (!altitude)
        return LocationRefusal{NoNumberMessage("altitude", "Please Correct"), FocusField::Altitude};
    if (!AltitudeAccepted(*altitude))
        return LocationRefusal{AltitudeRangeMessage(), FocusField::Altitude};
    return std::nullopt;
}

namespace {

std::optional<LocationRefusal> RefuseLocation(std::optional<double> lon, std::optional<double> lat,
                                              std::optional<double> altitude) {
    if (auto refused = RefuseCoordinates(lon, lat))
        return refused;
    return RefuseAltitude(altitude);
}

Confirmation Refused(const LocationRefusal &r, const MessageSink &show) {
    show(r.message);
    return {false, r.field};
}

} // namespace

Confirmation StoreLocation(const std::string &name, double longitude, double latitude, double altitude,
                           RecalcMarks marks, const MessageSink &show) {
    if (auto refused = RefuseLocation(longitude, latitude, altitude))
        return Refused(*refused, show);
    SetCurrentLocation(name, toSingle(longitude), toSingle(latitude), toSingle(altitude), marks);
    return {true, FocusField::None};
}

Confirmation ConfirmCoordinates(CoordFields &f, const std::filesystem::path &dataFolder,
                                const MessageSink &show) {
    SetIfChanged(f.Long, CommasToPoints(f.Long));
    SetIfChanged(f.Lat, CommasToPoints(f.Lat));
    const std::optional<double> lon = CoordinateValue(CoordField::Long, f.Long);
    const std::optional<double> lat = CoordinateValue(CoordField::Lat, f.Lat);
    if (auto refused = RefuseCoordinates(
            lon, lat,
            CriticalMessage("Latitude of your location should be between -90\u00b0 and +90\u00b0.", "Strange Location")))
        return Refused(*refused, show);
    const float longitude = toSingle(*lon);
    const float latitude = toSingle(*lat);
    // Without the raster there is no altitude to store: say why and keep the
    // current location.
    const ElevationLookup e = LookUpElevation(dataFolder, longitude, latitude);
    if (!e.found) {
        show(CriticalMessage(e.error));
        return {false, FocusField::None};
    }
    return StoreLocation("", longitude, latitude, e.altitude, RecalcMarks::Both, show);
}

AltitudeFollow AltitudeForCoordinates(const LocationFields &f,
                                      const std::filesystem::path &dataFolder) {
    AltitudeFollow r;
    // A coordinate that is no number yet ("-", "inf", an emptied field) is
    // no point at 0.
    const std::optional<double> lon = ReadNumberField(f.Long);
    const std::optional<double> lat = ReadNumberField(f.Lat);
    if (!lon || !lat || !LongitudeAccepted(*lon) || !(*lat > -90 && *lat < 90))
        return r;
    const ElevationLookup e = LookUpElevation(dataFolder, toSingle(*lon), toSingle(*lat));
    if (e.found)
        r.altitude = std::to_string(e.altitude);
    else
        r.error = e.error;
    return r;
}

std::optional<double> AltitudeValue(std::string_view text) {
    const std::optional<double> typed = ReadNumberField(text);
    if (!typed)
        return std::nullopt;
    return RoundToDecimals(toSingle(*typed), 0);
}

AltitudeLeave LeaveAltitude(std::string &elevText) {
    SetIfChanged(elevText, CommasToPoints(elevText));
    const std::optional<double> altitude = AltitudeValue(elevText);
    if (auto refused = RefuseAltitude(altitude))
        return {refused->message, true};
    if (*altitude < 0)
        return {SeaLevelNotice(), false};
    return {};
}

bool IsPolar(double latitude) {
    return (latitude >= -90 && latitude < -70) || (latitude > 70 && latitude <= 90);
}

Confirmation ConfirmLocation(LocationFields &f, const MessageSink &show) {
    for (std::string *text : {&f.Long, &f.Lat, &f.Elev})
        SetIfChanged(*text, CommasToPoints(*text));
    const std::optional<double> lon = ReadNumberField(f.Long);
    const std::optional<double> lat = ReadNumberField(f.Lat);
    const std::optional<double> altitude = AltitudeValue(f.Elev);
    // The altitude field's own check runs only when it is left: all is
    // checked before anything is asked.
    if (auto refused = RefuseLocation(lon, lat, altitude))
        return Refused(*refused, show);
    if (IsPolar(*lat) && !show(PolarQuestion()))
        return {false, FocusField::None};
    return StoreLocation(f.Name, *lon, *lat, *altitude, RecalcMarks::Both, show);
}

} // namespace tavisol::dialogs
