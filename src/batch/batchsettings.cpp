#include "batch/batchsettings.h"

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"

namespace tavisol::batch {

namespace {

using dialogs::SettingsField;

using numfmt::toSingle;

Message TooFewStations() {
    return CriticalMessage(MessageLines({"You should allow one neighbour at least.", "Just to get a result."}),
                    "Problem: Too few stations.");
}

Message ShadowRange(std::string title) {
    return CriticalMessage(MessageLines({"The coefficient of shadow correction ",
                           "should be   between 0 (no shadow correction) and 1 (full shadow correction)."}),
                    std::move(title));
}

Message PowerTooLarge() {
    return CriticalMessage(MessageLines({"The selected power appears to be rather large...",
                           "You have to reduce it (maximum power = 5)!"}),
                    "Problem: Too large power selected.");
}

Message TooManyStations() {
    return CriticalMessage(MessageLines({"More than 20 stations is unlikely", "to be meaningful"}),
                    "Problem: Too many stations.");
}

Message AreaTooLarge() {
    return CriticalMessage(MessageLines({"More than half of the Earth's surface", "is covered by   the neighbourhood size you chose.",
                           "This may not really   represent your local climate."}),
                    "Problem: Area too large.");
}

Message AreaTooSmall() {
    return CriticalMessage(MessageLines({"You should allow to take into account", "stations which  are not exactly at your location."}),
                    "Problem: Area too  small.");
}

// A box's value as the engine holds it: a text beyond single precision reads
// as an infinity.
float SingleOf(const std::string &text) { return toSingle(dialogs::ReadField(text)); }

// An infinity (or NaN) is never put in force.
void Store(engine::Single &setting, float value) {
    if (std::isfinite(value))
        setting = value;
}

} // namespace

dialogs::KeyDecision BatchSettingsKey(SettingsField field, char32_t key) {
    if (key == U',')
        return dialogs::CommaKey(BatchSettingsKey(field, U'.'));
    if (field == SettingsField::MaxStat) {
        if (key == U'-')
            return {dialogs::KeyAction::Take, TooFewStations()};
        if (key == U'.')
            return {dialogs::KeyAction::Take, CriticalMessage("Number of stations must be an integer", "Problem")};
    }
    return dialogs::SettingsKey(field, key);
}

engine::Integer StationCount(double value) {
    const double r = numfmt::roundHalfEven(value);
    if (std::isnan(r))
        return 0;
    if (r > std::numeric_limits<engine::Integer>::max())
        return std::numeric_limits<engine::Integer>::max();
    if (r < std::numeric_limits<engine::Integer>::min())
        return std::numeric_limits<engine::Integer>::min();
    return static_cast<engine::Integer>(r);
}

void StoreTypedSetting(SettingsField field, const std::string &text, engine::EngineSettings &s) {
    // Stored as read: the settings door keeps out what it would refuse.
    const double v = dialogs::ReadField(text);
    switch (field) {
    case SettingsField::PowExp: s.IdwPower = toSingle(v); break;
    case SettingsField::MinDist: s.MinDistance = toSingle(v); break;
    case SettingsField::MaxStat:
        if (std::isfinite(v))
            s.MaxStations = StationCount(v);
        break;
    case SettingsField::MaxDist: s.MaxDistance = toSingle(v); break;
    case SettingsField::MinHigh: s.MinAltitude = toSingle(v); break;
    case SettingsField::MaxHigh: s.MaxAltitude = toSingle(v); break;
    case SettingsField::Shad: break;
    }
}

std::optional<Message> RefusedStationCount(const std::string &text) {
    const double stations = dialogs::ReadField(text);
    if (dialogs::StationCountAccepted(numfmt::roundHalfEven(stations)))
        return std::nullopt;
    return stations < 1 ? TooFewStations() : TooManyStations();
}

std::optional<Message> RefusedBatchSetting(const dialogs::SettingsFields &f) {
    const float shadow = SingleOf(f.Shad);
    if (!std::isfinite(shadow))
        return ShadowRange(shadow < 0 ? "Negative coefficients are meaningless!" : "Please correct input!");
    const float power = SingleOf(f.PowExp);
    if (!std::isfinite(power))
        return power < 0 ? dialogs::PowerSignMessage() : PowerTooLarge();
    if (auto refused = RefusedStationCount(f.MaxStat))
        return refused;
    const float distance = SingleOf(f.MaxDist);
    if (!std::isfinite(distance))
        return distance < 0 ? AreaTooSmall() : AreaTooLarge();
    if (!std::isfinite(SingleOf(f.MinDist)))
        return dialogs::MinDistanceRangeMessage();
    if (!std::isfinite(SingleOf(f.MinHigh)))
        return dialogs::LowestAltitudeRangeMessage();
    if (!std::isfinite(SingleOf(f.MaxHigh)))
        return dialogs::HighestAltitudeRangeMessage();
    return std::nullopt;
}

void ValidateBatchSettings(const dialogs::SettingsFields &f, engine::EngineSettings &s,
                           const MessageSink &show) {
    const double power = dialogs::ReadField(f.PowExp);
    const double distance = dialogs::ReadField(f.MaxDist);
    const double stations = dialogs::ReadField(f.MaxStat);
    Store(s.IdwPower, toSingle(power));
    Store(s.MaxDistance, toSingle(distance));
    Store(s.MinDistance, SingleOf(f.MinDist));
    if (std::isfinite(stations))
        s.MaxStations = StationCount(stations);
    Store(s.MinAltitude, SingleOf(f.MinHigh));
    Store(s.MaxAltitude, SingleOf(f.MaxHigh));
    s.GradCorrOn = f.GradCorr ? 1 : 0;
    s.AltCorrOn = f.AltCorr ? 1 : 0;
    s.AltWindowOn = f.NeighbAlt ? 1 : 0;
    const float shadow = SingleOf(f.Shad);
    if (std::isfinite(shadow)) {
        if (shadow != 0)
            s.ShadowOn = 1;
        s.ShadowCoef = shadow;
    }

    if (s.ShadowCoef < 0)
        return (void)show(ShadowRange("Negative coefficients are meaningless!"));
    if (s.ShadowCoef > 1)
        return (void)show(ShadowRange("Please correct input!"));
    if (power < 0)
        return (void)show(dialogs::PowerSignMessage());
    if (power > 5)
        return (void)show(PowerTooLarge());
    if (stations > 20)
        return (void)show(TooManyStations());
    if (stations < 1)
        return (void)show(TooFewStations());
    if (distance > 22000) {
        show(AreaTooLarge());
        s.MaxStations = 20;
        return;
    }
    if (distance <= 0) {
        show(AreaTooSmall());
        s.MaxStations = 20;
        return;
    }
    if (static_cast<double>(s.MinDistance) < 0.1) {
        show(CriticalMessage(MessageLines({"Inverse Distance Averaging not allowed ", "if the   Nearest Neighbour is closer than 100 m.",
                             "", "Distance  was changed to 100m. "}),
                      "Too small Minimum Distance"));
        s.MinDistance = 0.1f;
    }
}

} // namespace tavisol::batch
