#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialog_raster.h"
#include "engine/state.h"
#include "shell/appstate.h"
#include "shell/dialoglogic.h"

namespace {

using namespace tavisol;
using namespace tavisol::dialogs;

// Records every message; answers questions with `yes`.
struct Recorder {
    std::vector<Message> shown;
    bool yes = true;
    MessageSink sink() {
        return [this](const Message &m) {
            shown.push_back(m);
            return m.buttons == MsgButtons::YesNo ? yes : true;
        };
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> t;
        for (const auto &m : shown)
            t.push_back(m.title);
        return t;
    }
    // Title and text of each message.
    using TitledTexts = std::vector<std::pair<std::string, std::string>>;
    TitledTexts titledTexts() const {
        TitledTexts t;
        for (const auto &m : shown)
            t.emplace_back(m.title, m.text);
        return t;
    }
};

const numfmt::Locale En = numfmt::Locale::english();

// ---- Reading ----------------------------------------------------------------

TEST(FieldReading, CommaCountsAsPointAndNonNumbersReadZero) {
    EXPECT_DOUBLE_EQ(ReadField("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(ReadField("0,5"), 0.5);
    EXPECT_DOUBLE_EQ(ReadField(""), 0);
    EXPECT_DOUBLE_EQ(ReadField("abc"), 0);
    EXPECT_DOUBLE_EQ(ReadField("-350"), -350);
    EXPECT_DOUBLE_EQ(ReadFieldAsTyped("12,5"), 12);
    EXPECT_EQ(CommasToPoints("1,2,3"), "1.2.3");
    EXPECT_EQ(FieldText(0.1f, En), "0.1");
    EXPECT_EQ(FieldText(1000.0f, En), "1000");
    EXPECT_EQ(FieldText(-12.5f, numfmt::Locale::decimalComma()), "-12,5");
}

// ---- Settings: key filters -----------------------------------------------------

TEST(SettingsKeys, DigitsBackspaceAndEnterInEveryField) {
    for (auto f : {SettingsField::MaxDist, SettingsField::MaxStat, SettingsField::PowExp,
                   SettingsField::MinDist, SettingsField::Shad, SettingsField::MinHigh,
                   SettingsField::MaxHigh}) {
        EXPECT_EQ(SettingsKey(f, U'7').action, KeyAction::Take);
        EXPECT_EQ(SettingsKey(f, KeyBackspace).action, KeyAction::Take);
        EXPECT_EQ(SettingsKey(f, KeyEnter), (KeyDecision{KeyAction::MoveOn, std::nullopt}));
        EXPECT_EQ(SettingsKey(f, U'a'), (KeyDecision{KeyAction::Drop, std::nullopt}));
        // The comma key types the point where the point is taken.
        EXPECT_EQ(SettingsKey(f, U',').action,
                  f == SettingsField::MaxStat ? KeyAction::Drop : KeyAction::TypePoint);
    }
    EXPECT_EQ(SettingsKey(SettingsField::MaxStat, U',').message->text, "Number of stations must be an integer");
}

TEST(SettingsKeys, SignKeyMessagesOfThePositiveFields) {
    auto expectMinus = [](SettingsField f, const std::string &text, const std::string &title) {
        const KeyDecision d = SettingsKey(f, U'-');
        EXPECT_EQ(d.action, KeyAction::Drop);
        ASSERT_TRUE(d.message);
        EXPECT_EQ(d.message->text, text);
        EXPECT_EQ(d.message->title, title);
        EXPECT_EQ(d.message->icon, MsgIcon::Critical);
    };
    expectMinus(SettingsField::MaxDist, "The distance must be positive.", "Problem: Area too small.");
    expectMinus(SettingsField::MaxStat, "You should allow one neighbour at least.\rJust to get a result.",
                "Problem: To few stations.");
    expectMinus(SettingsField::PowExp,
                "The power of Inverse Distance Weighting\rshould be   positive to be meaningful.",
                "Wrong sign of power");
    expectMinus(SettingsField::MinDist,
                "The Minimum Distance to be applied to Inverse Distance Averaging\rshould be "
                "positive to be meaningful.",
                "Wrong sign of  Minimum Distance");
    expectMinus(SettingsField::Shad, "The Coefficient must be between 0 and 1.",
                "Problem: No negative shadows.");
}

TEST(SettingsKeys, PointAndMinusWhereAllowed) {
    const KeyDecision point = SettingsKey(SettingsField::MaxStat, U'.');
    EXPECT_EQ(point.action, KeyAction::Drop);
    ASSERT_TRUE(point.message);
    EXPECT_EQ(point.message->text, "Number of stations must be an integer");
    EXPECT_EQ(point.message->title, "Problem");
    for (auto f : {SettingsField::MaxDist, SettingsField::PowExp, SettingsField::MinDist,
                   SettingsField::Shad, SettingsField::MinHigh, SettingsField::MaxHigh})
        EXPECT_EQ(SettingsKey(f, U'.'), (KeyDecision{KeyAction::Take, std::nullopt}));
    EXPECT_EQ(SettingsKey(SettingsField::MinHigh, U'-').action, KeyAction::Take);
    EXPECT_EQ(SettingsKey(SettingsField::MaxHigh, U'-').action, KeyAction::Take);
    EXPECT_FALSE(SettingsKey(SettingsField::MaxHigh, U'-').message);
}

// ---- Settings: OK ----------------------------------------------------------------

class SettingsOk : public ::testing::Test {
protected:
    engine::EngineSettings settings = engine::DefaultSettings();
    SettingsFields fields;
    Recorder rec;

    bool ok() { return ApplySettings(fields, settings, rec.sink()); }
};

TEST_F(SettingsOk, DesignValuesChangeNothing) {
    const engine::EngineSettings before = settings;
    EXPECT_TRUE(ok());
    EXPECT_TRUE(rec.shown.empty());
    EXPECT_EQ(settings.IdwPower, before.IdwPower);
    EXPECT_EQ(settings.MaxDistance, before.MaxDistance);
    EXPECT_EQ(settings.MinDistance, before.MinDistance);
    EXPECT_EQ(settings.MaxStations, before.MaxStations);
    EXPECT_EQ(settings.MinAltitude, before.MinAltitude);
    EXPECT_EQ(settings.MaxAltitude, before.MaxAltitude);
    EXPECT_EQ(settings.AltWindowOn, 0);
    EXPECT_EQ(settings.GradCorrOn, 1);
    EXPECT_EQ(settings.AltCorrOn, 1);
    EXPECT_EQ(settings.ShadowOn, 1);
    EXPECT_EQ(settings.ShadowCoef, 1.0f);
    EXPECT_EQ(fields, SettingsFields{});
}

TEST_F(SettingsOk, EveryValueIsWrittenFromItsField) {
    fields.MaxDist = "500";
    fields.MaxStat = "7";
    fields.PowExp = "2";
    fields.MinDist = "0,5";
    fields.Shad = "0,25";
    fields.MinHigh = "100";
    fields.MaxHigh = "2000";
    fields.AltCorr = false;
    fields.GradCorr = false;
    fields.NeighbAlt = true;
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.MaxDistance, 500.0f);
    EXPECT_EQ(settings.MaxStations, 7);
    EXPECT_EQ(settings.IdwPower, 2.0f);
    EXPECT_EQ(settings.MinDistance, 0.5f);
    EXPECT_EQ(settings.ShadowCoef, 0.25f);
    EXPECT_EQ(settings.MinAltitude, 100.0f);
    EXPECT_EQ(settings.MaxAltitude, 2000.0f);
    EXPECT_EQ(settings.AltCorrOn, 0);
    EXPECT_EQ(settings.GradCorrOn, 0);
    EXPECT_EQ(settings.AltWindowOn, 1);
    // The number fields get their points back; the shadow field keeps its text.
    EXPECT_EQ(fields.MinDist, "0.5");
    EXPECT_EQ(fields.Shad, "0,25");
}

TEST_F(SettingsOk, StationCountRoundsHalfToEven) {
    fields.MaxStat = "2.5"; // only through the comma-free path of a pasted text
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.MaxStations, 2);
    fields.MaxStat = "3,5";
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.MaxStations, 4);
}

TEST_F(SettingsOk, HighPowerIsRefusedButStaysInForce) {
    fields.PowExp = "9";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titledTexts(),
              (Recorder::TitledTexts{{"Rather high power!",
                                      "Even a power of 5 means\rthat half the distance makes 32 times the effect."}}));
    EXPECT_EQ(settings.IdwPower, 9.0f);

    rec.shown.clear();
    fields.PowExp = "5";
    EXPECT_TRUE(ok());
    EXPECT_TRUE(rec.shown.empty());
}

TEST_F(SettingsOk, ZeroPowerMeansPlainAveraging) {
    const std::pair<const char *, float> typedAndApplied[] = {{"0", 0.0f}, {"0.00005", 0.0f}, {"0.0001", 0.0001f}};
    for (const auto &[typed, applied] : typedAndApplied) {
        SCOPED_TRACE(typed);
        fields.PowExp = typed;
        EXPECT_TRUE(ok());
        EXPECT_EQ(settings.IdwPower, applied);
    }
}

TEST_F(SettingsOk, SmallMinimumDistanceBecomesAHundredMetresAndTheOkGoesOn) {
    fields.MinDist = "0";
    EXPECT_TRUE(ok());
    EXPECT_EQ(rec.titledTexts(),
              (Recorder::TitledTexts{{"Too small Minimum Distance",
                                      "Inverse Distance Averaging not allowed \rif the   Nearest Neighbour is closer "
                                      "than 100 m.\r\rDistance  was changed to 100m. "}}));
    EXPECT_EQ(settings.MinDistance, 0.1f);
    EXPECT_EQ(fields.MinDist, "0"); // the field keeps its text
}

TEST_F(SettingsOk, HugeAreaSetsTwentyStations) {
    settings.MaxStations = 5;
    fields.MaxStat = "5";
    fields.MaxDist = "23000";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titledTexts(),
              (Recorder::TitledTexts{{"Problem: Area definitely to large.",
                                      "More than half of the Earths surface\ris covered by the neighbourhoods size you "
                                      "chose.\rThis may not really represent your local climate."}}));
    EXPECT_EQ(settings.MaxStations, 20);
    EXPECT_EQ(settings.MaxDistance, 23000.0f);
}

TEST_F(SettingsOk, EmptyAreaAfterTheMinimumDistanceNotice) {
    settings.MaxStations = 5;
    fields.MaxStat = "5";
    fields.MaxDist = "0";
    fields.MinDist = "0";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titles(),
              (std::vector<std::string>{"Too small Minimum Distance", "Problem: Area too  small."}));
    EXPECT_EQ(rec.shown[1].text,
              "You should allow to take into account\rstations which  are not exactly at your "
              "location.");
    EXPECT_EQ(settings.MaxStations, 20);
    EXPECT_EQ(settings.MinDistance, 0.1f);
}

TEST_F(SettingsOk, RejectedStationCountIsNeverApplied) {
    settings.MaxStations = 12;
    fields.MaxStat = "25";
    fields.PowExp = "2";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titledTexts(),
              (Recorder::TitledTexts{{"Problem: To many stations.",
                                      "More than 20 stations is a lot\rand may not make any sence."}}));
    EXPECT_EQ(settings.MaxStations, 12);
    EXPECT_EQ(settings.IdwPower, 2.0f); // the rest of the OK is in force

    rec.shown.clear();
    fields.MaxStat = "0";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titles(), std::vector<std::string>{"Problem: To few stations."});
    EXPECT_EQ(settings.MaxStations, 12);

    fields.MaxStat = "";
    EXPECT_FALSE(ok());
    EXPECT_EQ(settings.MaxStations, 12);

    fields.MaxStat = "20";
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.MaxStations, 20);
    fields.MaxStat = "1";
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.MaxStations, 1);
}

TEST_F(SettingsOk, ShadowCoefficientRangeAndSwitch) {
    fields.Shad = "-0.5";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titles(), (std::vector<std::string>{"Negative coefficients are meaningless!"}));
    EXPECT_EQ(rec.shown[0].text, "The coefficient of shadow correction \rshould be  between 0 (no "
                                 "shadow correction) and 1 (full shadow correction).");
    rec.shown.clear();
    fields.Shad = "1.5";
    EXPECT_FALSE(ok());
    EXPECT_EQ(rec.titles(), (std::vector<std::string>{"Please correct input!"}));
    EXPECT_EQ(rec.shown[0].text, "The coefficient of shadow correction \rshould be   between 0 "
                                 "(no shadow correction) and 1 (full shadow correction).");
    EXPECT_EQ(settings.ShadowCoef, 1.5f);

    // Zero leaves the switch as it is; any other value switches it on.
    settings.ShadowOn = 0;
    fields.Shad = "0";
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.ShadowOn, 0);
    EXPECT_EQ(settings.ShadowCoef, 0.0f);
    settings.ShadowOn = 1;
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.ShadowOn, 1);
    settings.ShadowOn = 0;
    fields.Shad = "0.3";
    EXPECT_TRUE(ok());
    EXPECT_EQ(settings.ShadowOn, 1);
}

TEST_F(SettingsOk, ChecksRunInTheirOrderAndStopAtTheFirstRefusal) {
    // Every field wrong at once; mending one after another uncovers the next.
    // (Negative numbers only arrive in the fields by pasting.)
    fields.PowExp = "-1";
    fields.Shad = "-1";
    fields.MaxStat = "30";
    fields.MaxDist = "30000";
    fields.MinDist = "0";
    std::vector<std::string> order;
    auto step = [&](auto mend) {
        rec.shown.clear();
        const bool passed = ok();
        for (const auto &t : rec.titles())
            order.push_back(t);
        mend();
        return passed;
    };
    EXPECT_FALSE(step([&] { fields.PowExp = "6"; }));
    EXPECT_FALSE(step([&] { fields.PowExp = "1"; }));
    EXPECT_FALSE(step([&] { fields.Shad = "2"; }));
    EXPECT_FALSE(step([&] { fields.Shad = "1"; }));
    EXPECT_FALSE(step([&] { fields.MaxStat = "0"; }));
    EXPECT_FALSE(step([&] { fields.MaxStat = "10"; }));
    EXPECT_FALSE(step([&] { fields.MaxDist = "-5"; }));
    EXPECT_FALSE(step([&] { fields.MaxDist = "100"; }));
    EXPECT_TRUE(step([] {}));
    EXPECT_EQ(order, (std::vector<std::string>{
                         "Wrong sign of power", "Rather high power!",
                         "Negative coefficients are meaningless!", "Please correct input!",
                         "Problem: To many stations.", "Problem: To few stations.",
                         "Problem: Area definitely to large.", "Too small Minimum Distance",
                         "Problem: Area too  small.", "Too small Minimum Distance"}));
}

TEST(SettingsAltitudes, WindowSwitchResetsOnlyWhenUnticked) {
    SettingsFields f;
    f.MinHigh = "100";
    f.MaxHigh = "900";
    AltitudeWindowSwitch(f, true);
    EXPECT_TRUE(f.NeighbAlt);
    EXPECT_EQ(f.MinHigh, "100");
    EXPECT_EQ(f.MaxHigh, "900");
    AltitudeWindowSwitch(f, false);
    EXPECT_FALSE(f.NeighbAlt);
    EXPECT_EQ(f.MinHigh, "-350");
    EXPECT_EQ(f.MaxHigh, "8848");
}

TEST(SettingsAltitudes, OrderChecksOnLeaving) {
    SettingsFields f;
    f.MinHigh = "500";
    f.MaxHigh = "400";
    auto low = AltitudeOrderCheck(f, true);
    ASSERT_TRUE(low);
    EXPECT_EQ(low->text, "Lowest Altitude should be below highest altitude!");
    EXPECT_EQ(low->title, "Altitude Confusion");
    auto high = AltitudeOrderCheck(f, false);
    ASSERT_TRUE(high);
    EXPECT_EQ(high->text, "Highest Altitude should be above lowest altitude!");
    f.MaxHigh = "500";
    EXPECT_FALSE(AltitudeOrderCheck(f, true)); // equal passes
    f.MaxHigh = "500,5";
    f.MinHigh = "500,7";
    EXPECT_TRUE(AltitudeOrderCheck(f, false));
}

TEST(SettingsCancel, WritesTheSettingsInForceBack) {
    engine::EngineSettings s = engine::DefaultSettings();
    SettingsFields f;
    f.PowExp = "9";
    Recorder rec;
    EXPECT_FALSE(ApplySettings(f, s, rec.sink()));
    f.PowExp = "3"; // edited after the failed OK, then cancelled
    f.MaxDist = "77";
    const SettingsFields back = SettingsInForce(f, s, En);
    EXPECT_EQ(back.PowExp, "9");
    EXPECT_EQ(back.MaxDist, "1000");
    EXPECT_EQ(back.MinDist, "0.1");
    EXPECT_EQ(back.MaxStat, "20");
    EXPECT_EQ(back.MinHigh, "-350");
    EXPECT_EQ(back.Shad, "1");

    // Unticking the window through Cancel runs the switch.
    s.MinAltitude = 100;
    s.MaxAltitude = 900;
    s.AltWindowOn = 0;
    f.NeighbAlt = true;
    const SettingsFields unticked = SettingsInForce(f, s, En);
    EXPECT_FALSE(unticked.NeighbAlt);
    EXPECT_EQ(unticked.MinHigh, "-350");
    EXPECT_EQ(unticked.MaxHigh, "8848");
    s.AltWindowOn = 1;
    const SettingsFields ticked = SettingsInForce(f, s, En);
    EXPECT_TRUE(ticked.NeighbAlt);
    EXPECT_EQ(ticked.MinHigh, "100");
    EXPECT_EQ(ticked.MaxHigh, "900");
}

// ---- Coordinates -------------------------------------------------------------------

TEST(Coordinates, DegreesMinutesSecondsAreTruncated) {
    EXPECT_EQ(ToDms(13.01f), (Dms{13, 0, 36}));
    EXPECT_EQ(ToDms(41.99f), (Dms{41, 59, 24}));
    EXPECT_EQ(ToDms(-0.5f), (Dms{0, 30, 0}));
    EXPECT_EQ(ToDms(0.0f), (Dms{0, 0, 0}));
    EXPECT_EQ(ToDms(-12.5f), (Dms{12, 30, 0}));
    EXPECT_EQ(ToDms(180.0f), (Dms{180, 0, 0}));
    EXPECT_EQ(ToDms(1e30f), (Dms{})); // a pasted absurdity, no overflow
    EXPECT_EQ(LongitudeLetter(0), "W");
    EXPECT_EQ(LatitudeLetter(0), "S");
    EXPECT_EQ(LongitudeLetter(0.01f), "E");
    EXPECT_EQ(LatitudeLetter(-3), "S");
}

TEST(Coordinates, DecimalToDmsFillsTheDegreeFields) {
    CoordFields f;
    f.Long = "13.01";
    f.Lat = "41.99";
    DecimalToDms(f);
    EXPECT_EQ(f.LongGrad, "13");
    EXPECT_EQ(f.LongMin, "0");
    EXPECT_EQ(f.LongSec, "36");
    EXPECT_EQ(f.LongOW, "E");
    EXPECT_EQ(f.LatGrad, "41");
    EXPECT_EQ(f.LatMin, "59");
    EXPECT_EQ(f.LatSec, "24");
    EXPECT_EQ(f.LatNS, "N");

    f.Long = "-0,5";
    f.Lat = "0";
    DecimalToDms(f);
    EXPECT_EQ(f.Long, "-0.5");
    EXPECT_EQ((std::vector<std::string>{f.LongGrad, f.LongMin, f.LongSec, f.LongOW}),
              (std::vector<std::string>{"0", "30", "0", "W"}));
    EXPECT_EQ(f.LatNS, "S");
    f.Long = "0";
    DecimalToDms(f);
    EXPECT_EQ(f.LongOW, "W");
}

// The decimal fields (longitude, latitude) made of the degree fields
// {degrees, minutes, seconds, letter} of each.
using DegreeFields = std::array<std::string, 4>;
std::pair<std::string, std::string> Decimal(const DegreeFields &lon, const DegreeFields &lat,
                                            const numfmt::Locale &loc = En) {
    CoordFields f;
    f.LongGrad = lon[0];
    f.LongMin = lon[1];
    f.LongSec = lon[2];
    f.LongOW = lon[3];
    f.LatGrad = lat[0];
    f.LatMin = lat[1];
    f.LatSec = lat[2];
    f.LatNS = lat[3];
    DmsToDecimal(f, loc);
    return {f.Long, f.Lat};
}

TEST(Coordinates, DegreeFieldsToDecimal) {
    using Fields = std::pair<std::string, std::string>;
    EXPECT_EQ(Decimal({"12", "30", "", "W"}, {"41", "59", "24", "n"}), Fields("-12.5", "41.99"));
    EXPECT_EQ(Decimal({"12", "30", "", "w"}, {"41", "59", "24", "s"}), Fields("-12.5", "-41.99"));

    // Any other letter or none keeps the value positive; minutes of 60 and
    // more simply add up.
    EXPECT_EQ(Decimal({"12", "30", "", ""}, {"41", "90", "0", "x"}), Fields("12.5", "42.5"));

    // Three decimals.
    EXPECT_EQ(Decimal({"10", "20", "30", ""}, {"0", "0", "1", "x"}), Fields("10.342", "0")); // 10.341666...
    EXPECT_EQ(DmsToDegrees("10", "20", "30", "E", 'W'), 10.0f + 20.0f / 60 + 30.0f / 3600);

    EXPECT_EQ(Decimal({"10", "20", "30", ""}, {"0", "0", "1", "x"}, numfmt::Locale::decimalComma()).first, "10,342");
}

TEST(Coordinates, TypingTheDecimalFields) {
    CoordFields f;
    f.Long = "190";
    f.Lat = "41.99";
    auto m = LongitudeTyped(f);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->text, "Longitude should be between -180 and +180   degrees.");
    EXPECT_EQ(m->title, "Strange Location");
    EXPECT_EQ(m->icon, MsgIcon::Critical);
    EXPECT_TRUE(f.LongGrad.empty()); // nothing converted

    f.Long = "-180";
    EXPECT_FALSE(LongitudeTyped(f));
    EXPECT_EQ(f.LongGrad, "180");
    EXPECT_EQ(f.LongOW, "W");

    f.Long = "12,5";
    EXPECT_FALSE(LongitudeTyped(f));
    EXPECT_EQ(f.Long, "12.5");
    EXPECT_EQ(f.LongMin, "30");
    EXPECT_EQ(f.LongOW, "E");

    f.Lat = "-95";
    m = LatitudeTyped(f);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->text, "Latitude should be between -90\u00b0 and +90\u00b0.");
    EXPECT_EQ(m->title, "Strange Location");

    // A comma in the latitude (the dialog's own, in the user's form) is read as
    // the point, then the conversion turns it into one.
    f.Lat = "41,5";
    EXPECT_FALSE(LatitudeTyped(f));
    EXPECT_EQ(f.Lat, "41.5");
    EXPECT_EQ(f.LatMin, "30");
    f.Lat = "90";
    EXPECT_FALSE(LatitudeTyped(f));
    f.Lat = "90,5"; // as "90.5" in every locale
    EXPECT_TRUE(LatitudeTyped(f));
}

TEST(CoordinateKeys, Filters) {
    for (auto f : {CoordField::Long, CoordField::Lat}) {
        for (char32_t k : {U'0', U'9', U'-', U'.', KeyBackspace})
            EXPECT_EQ(CoordKey(f, k).action, KeyAction::Take);
        EXPECT_EQ(CoordKey(f, U','), (KeyDecision{KeyAction::TypePoint, std::nullopt}));
        EXPECT_EQ(CoordKey(f, KeyEnter).action, KeyAction::MoveOn);
    }
    for (auto f : {CoordField::LongGrad, CoordField::LongMin, CoordField::LongSec,
                   CoordField::LatGrad, CoordField::LatMin, CoordField::LatSec}) {
        EXPECT_EQ(CoordKey(f, U'5').action, KeyAction::Take);
        EXPECT_EQ(CoordKey(f, KeyBackspace).action, KeyAction::Take);
        EXPECT_EQ(CoordKey(f, U'.'), (KeyDecision{KeyAction::Drop, std::nullopt}));
        EXPECT_EQ(CoordKey(f, U'-'), (KeyDecision{KeyAction::Drop, std::nullopt}));
        EXPECT_EQ(CoordKey(f, KeyEnter).action, KeyAction::MoveOn);
    }
    for (char32_t k : {U'N', U'S', U'n', U's', KeyBackspace})
        EXPECT_EQ(CoordKey(CoordField::LatNS, k), (KeyDecision{KeyAction::Take, std::nullopt}));
    for (char32_t k : {U'E', U'W', U'e', U'w', KeyBackspace})
        EXPECT_EQ(CoordKey(CoordField::LongOW, k), (KeyDecision{KeyAction::Take, std::nullopt}));
    const KeyDecision ns = CoordKey(CoordField::LatNS, U'E');
    EXPECT_EQ(ns.action, KeyAction::Drop);
    EXPECT_EQ(ns.message, (Message{"S for South or N for North. That's all.", "",
                                         MsgIcon::NoIcon}));
    const KeyDecision ow = CoordKey(CoordField::LongOW, U'1');
    EXPECT_EQ(ow.message,
              (Message{"E for East or W for West. That's all.", "", MsgIcon::NoIcon}));
    EXPECT_EQ(CoordKey(CoordField::LongOW, KeyEnter).action, KeyAction::MoveOn);
}

// ---- Elevation and confirmation --------------------------------------------------------

class WithRaster : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // 13.01 E 41.99 N at 20 m (byte 3), 12.5 E 41.99 N at 960 m, the
        // north-pole row at 100 m.
        raster = std::make_unique<RasterFolder>(
            std::vector<std::pair<std::pair<float, float>, std::uint8_t>>{
                {{13.01f, 41.99f}, 3}, {{12.5f, 41.99f}, 50}, {{10.0f, 90.0f}, 7},
                {{10.0f, 75.0f}, 10}});
        empty = std::make_unique<RasterFolder>(
            std::vector<std::pair<std::pair<float, float>, std::uint8_t>>{}, false);
    }
    static void TearDownTestSuite() {
        raster.reset();
        empty.reset();
    }
    void SetUp() override {
        ResetAppState();
        SetCurrentLocation("East of Rome", 13.01f, 41.99f, 17, RecalcMarks::None);
    }
    void TearDown() override { ResetAppState(); }

    static std::unique_ptr<RasterFolder> raster;
    static std::unique_ptr<RasterFolder> empty;
    Recorder rec;
};
std::unique_ptr<RasterFolder> WithRaster::raster;
std::unique_ptr<RasterFolder> WithRaster::empty;

TEST_F(WithRaster, LookUpNeverThrows) {
    const ElevationLookup land = LookUpElevation(raster->data(), 13.01f, 41.99f);
    EXPECT_TRUE(land.found);
    EXPECT_EQ(land.altitude, 20);
    const ElevationLookup sea = LookUpElevation(raster->data(), 0.0f, 0.0f);
    EXPECT_TRUE(sea.found);
    EXPECT_EQ(sea.altitude, 0);
    for (float lat : {-90.0f, 90.0f, 89.99f})
        EXPECT_TRUE(LookUpElevation(raster->data(), 10.0f, lat).found) << lat;
    const ElevationLookup missing = LookUpElevation(empty->data(), 13.01f, 41.99f);
    EXPECT_FALSE(missing.found);
    EXPECT_NE(missing.error.find("10k8b.raw"), std::string::npos) << missing.error;
}

TEST_F(WithRaster, CoordinateOkStoresTheRasterAltitudeUnderTheGeneratedName) {
    CoordFields f;
    f.Long = "13,01";
    f.Lat = "41.99";
    const Confirmation c = ConfirmCoordinates(f, raster->data(), rec.sink());
    EXPECT_TRUE(c.stored);
    EXPECT_TRUE(rec.shown.empty());
    EXPECT_EQ(f.Long, "13.01");
    const AppState &s = appState();
    EXPECT_EQ(s.CurLongitude, 13.01f);
    EXPECT_EQ(s.CurLatitude, 41.99f);
    EXPECT_EQ(s.CurElevation, 20.0f);
    EXPECT_EQ(s.LocationName, "ST-Lon13.01-Lat41.99-Alt-20");
    EXPECT_TRUE(s.ResultsRecalcPending);
    EXPECT_TRUE(s.WorkbenchRecalcPending);
}

TEST_F(WithRaster, CoordinateOkRefusesOutOfRangeAndMissingRaster) {
    CoordFields f;
    f.Long = "190";
    f.Lat = "41";
    Confirmation c = ConfirmCoordinates(f, raster->data(), rec.sink());
    EXPECT_FALSE(c.stored);
    EXPECT_EQ(c.focus, FocusField::Longitude);
    EXPECT_EQ(rec.shown.at(0), LongitudeRangeMessage());

    f.Long = "10";
    f.Lat = "-90.5";
    c = ConfirmCoordinates(f, raster->data(), rec.sink());
    EXPECT_FALSE(c.stored);
    EXPECT_EQ(c.focus, FocusField::Latitude);
    EXPECT_EQ(rec.shown.at(1).text, "Latitude of your location should be between -90\u00b0 and +90\u00b0.");
    EXPECT_EQ(rec.shown.at(1).title, "Strange Location");

    f.Lat = "41";
    c = ConfirmCoordinates(f, empty->data(), rec.sink());
    EXPECT_FALSE(c.stored);
    ASSERT_EQ(rec.shown.size(), 3u);
    EXPECT_EQ(rec.shown[2].icon, MsgIcon::Critical);

    EXPECT_EQ(appState().LocationName, "East of Rome");
    EXPECT_EQ(appState().CurElevation, 17.0f);
    EXPECT_FALSE(appState().ResultsRecalcPending);
    EXPECT_FALSE(appState().WorkbenchRecalcPending);
}

TEST_F(WithRaster, AltitudeFollowsTheCoordinatesWhileBothAreValid) {
    LocationFields f{"", "13.01", "41.99", "5"};
    EXPECT_EQ(AltitudeForCoordinates(f, raster->data()).altitude, "20");
    f.Long = "12,5";
    EXPECT_EQ(AltitudeForCoordinates(f, raster->data()).altitude, "960");
    for (const char *lat : {"90", "-90", "95"}) {
        f.Lat = lat;
        const AltitudeFollow a = AltitudeForCoordinates(f, raster->data());
        EXPECT_FALSE(a.altitude) << lat;
        EXPECT_TRUE(a.error.empty());
    }
    f.Lat = "41.99";
    f.Long = "-181";
    EXPECT_FALSE(AltitudeForCoordinates(f, raster->data()).altitude);
    f.Long = "13.01";
    const AltitudeFollow missing = AltitudeForCoordinates(f, empty->data());
    EXPECT_FALSE(missing.altitude);
    EXPECT_FALSE(missing.error.empty());
}

TEST(LocationAltitude, LeavingTheField) {
    std::string t = "-10";
    AltitudeLeave r = LeaveAltitude(t);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(*r.message, (Message{"Your location is below Mean Sea Level.", "Warning!",
                                         MsgIcon::Question}));
    EXPECT_FALSE(r.refocus);

    t = "9000";
    r = LeaveAltitude(t);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(*r.message, (Message{"Elevation should be between -350 and 8848m.",
                                         "Please Correct", MsgIcon::Critical}));
    EXPECT_TRUE(r.refocus);

    t = "-351";
    EXPECT_TRUE(LeaveAltitude(t).refocus);
    t = "-350";
    EXPECT_FALSE(LeaveAltitude(t).refocus);
    t = "8848";
    EXPECT_FALSE(LeaveAltitude(t).message);
    t = "12,5";
    EXPECT_FALSE(LeaveAltitude(t).message);
    EXPECT_EQ(t, "12.5");
    t = "-0,4"; // rounds to 0: not below sea level
    EXPECT_FALSE(LeaveAltitude(t).message);
}

TEST(LocationPolar, SeventyIsNotPolar) {
    EXPECT_FALSE(IsPolar(70));
    EXPECT_FALSE(IsPolar(-70));
    EXPECT_TRUE(IsPolar(70.5));
    EXPECT_TRUE(IsPolar(-70.5));
    EXPECT_TRUE(IsPolar(90));
    EXPECT_TRUE(IsPolar(-90));
    EXPECT_FALSE(IsPolar(0));
}

TEST_F(WithRaster, LocationOkStoresAsTyped) {
    LocationFields f{"", "12,5", "41.99", "123"};
    const Confirmation c = ConfirmLocation(f, rec.sink());
    EXPECT_TRUE(c.stored);
    EXPECT_TRUE(rec.shown.empty());
    EXPECT_EQ(f.Long, "12.5");
    const AppState &s = appState();
    EXPECT_EQ(s.CurLongitude, 12.5f);
    EXPECT_EQ(s.CurElevation, 123.0f);
    EXPECT_EQ(s.LocationName, "ST-Lon12.5-Lat41.99-Alt-123");
    EXPECT_TRUE(s.ResultsRecalcPending);
    EXPECT_TRUE(s.WorkbenchRecalcPending);

    LocationFields named{"   ", "1", "2", "3"};
    EXPECT_TRUE(ConfirmLocation(named, rec.sink()).stored);
    EXPECT_EQ(s.LocationName, "   ");
}

TEST_F(WithRaster, LocationOkRangeChecks) {
    LocationFields f{"X", "180.5", "0", "0"};
    Confirmation c = ConfirmLocation(f, rec.sink());
    EXPECT_FALSE(c.stored);
    EXPECT_EQ(c.focus, FocusField::Longitude);
    f.Long = "180";
    f.Lat = "-91";
    c = ConfirmLocation(f, rec.sink());
    EXPECT_FALSE(c.stored);
    EXPECT_EQ(c.focus, FocusField::Latitude);
    EXPECT_EQ(rec.shown.at(1), LatitudeRangeMessage());
    EXPECT_EQ(appState().LocationName, "East of Rome");
}

TEST_F(WithRaster, LocationOkNeverStoresAnAltitudeOutOfRange) {
    for (const char *alt : {"9000", "-351", "8849"}) {
        rec.shown.clear();
        LocationFields f{"High", "10", "45", alt};
        const Confirmation c = ConfirmLocation(f, rec.sink());
        EXPECT_FALSE(c.stored) << alt;
        EXPECT_EQ(c.focus, FocusField::Altitude);
        ASSERT_EQ(rec.shown.size(), 1u);
        EXPECT_EQ(rec.shown[0].title, "Please Correct");
    }
    EXPECT_EQ(appState().LocationName, "East of Rome");
    EXPECT_EQ(appState().CurElevation, 17.0f);
    EXPECT_FALSE(appState().ResultsRecalcPending);

    LocationFields edge{"Low", "10", "45", "-350"};
    EXPECT_TRUE(ConfirmLocation(edge, rec.sink()).stored);
    EXPECT_EQ(appState().CurElevation, -350.0f);
}

TEST_F(WithRaster, PolarQuestion) {
    LocationFields f{"Pole", "10", "90", "0"};
    rec.yes = false;
    Confirmation c = ConfirmLocation(f, rec.sink());
    EXPECT_FALSE(c.stored);
    EXPECT_EQ(c.focus, FocusField::None);
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(rec.shown[0], (Message{"Please note that the specified point lies in the polar "
                                           "region. Do you want continue?",
                                           " Polar Region", MsgIcon::Question, MsgButtons::YesNo}));
    EXPECT_EQ(appState().LocationName, "East of Rome");

    rec.yes = true;
    EXPECT_TRUE(ConfirmLocation(f, rec.sink()).stored);
    EXPECT_EQ(appState().LocationName, "Pole");
    EXPECT_EQ(appState().CurLatitude, 90.0f);

    for (const char *lat : {"70", "-70"}) {
        rec.shown.clear();
        LocationFields edge{"Edge", "10", lat, "0"};
        EXPECT_TRUE(ConfirmLocation(edge, rec.sink()).stored);
        EXPECT_TRUE(rec.shown.empty()) << lat;
    }
    rec.shown.clear();
    LocationFields polar{"Polar", "10", "70.5", "0"};
    EXPECT_TRUE(ConfirmLocation(polar, rec.sink()).stored);
    EXPECT_EQ(rec.titles(), (std::vector<std::string>{" Polar Region"}));
}

} // namespace
