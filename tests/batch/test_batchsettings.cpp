#include <gtest/gtest.h>

#include "batch/batchsettings.h"
#include "engine/state.h"

namespace tavisol::batch {
namespace {

using dialogs::KeyAction;
using dialogs::SettingsField;
using dialogs::SettingsFields;

struct Validation {
    std::vector<Message> shown;
    engine::EngineSettings settings = engine::DefaultSettings();
    void Run(const SettingsFields &f) {
        ValidateBatchSettings(f, settings, [this](const Message &m) {
            shown.push_back(m);
            return true;
        });
    }
};

TEST(BatchSettingsKeys, StationCountWarnsAndStillTakesTheKey) {
    const auto minus = BatchSettingsKey(SettingsField::MaxStat, U'-');
    EXPECT_EQ(minus.action, KeyAction::Take);
    ASSERT_TRUE(minus.message);
    EXPECT_EQ(minus.message->title, "Problem: Too few stations.");
    EXPECT_EQ(minus.message->text, "You should allow one neighbour at least.\rJust to get a result.");
    const auto point = BatchSettingsKey(SettingsField::MaxStat, U'.');
    EXPECT_EQ(point.action, KeyAction::Take);
    ASSERT_TRUE(point.message);
    EXPECT_EQ(point.message->title, "Problem");
    EXPECT_EQ(point.message->text, "Number of stations must be an integer");
    // The other boxes filter as the settings dialog does.
    EXPECT_EQ(BatchSettingsKey(SettingsField::PowExp, U'-').action, KeyAction::Drop);
    EXPECT_EQ(BatchSettingsKey(SettingsField::PowExp, U'-').message->title, "Wrong sign of power");
    EXPECT_EQ(BatchSettingsKey(SettingsField::MinHigh, U'-').action, KeyAction::Take);
    EXPECT_EQ(BatchSettingsKey(SettingsField::Shad, U',').action, KeyAction::TypePoint);
    EXPECT_EQ(BatchSettingsKey(SettingsField::MaxStat, U',').message, point.message);
    EXPECT_EQ(BatchSettingsKey(SettingsField::MaxDist, dialogs::KeyEnter).action, KeyAction::MoveOn);
}

TEST(BatchSettingsTyping, EachBoxStoresAtOnce) {
    engine::EngineSettings s = engine::DefaultSettings();
    StoreTypedSetting(SettingsField::MaxStat, "-5", s);
    EXPECT_EQ(s.MaxStations, -5);
    StoreTypedSetting(SettingsField::MaxStat, "2.5", s);
    EXPECT_EQ(s.MaxStations, 2);
    StoreTypedSetting(SettingsField::MaxStat, "3.5", s);
    EXPECT_EQ(s.MaxStations, 4);
    StoreTypedSetting(SettingsField::MaxStat, "99999999", s);
    EXPECT_EQ(s.MaxStations, 32767);
    StoreTypedSetting(SettingsField::PowExp, "2", s);
    EXPECT_EQ(s.IdwPower, 2);
    StoreTypedSetting(SettingsField::MaxDist, "", s);
    EXPECT_EQ(s.MaxDistance, 0);
    StoreTypedSetting(SettingsField::MinHigh, "500", s);
    StoreTypedSetting(SettingsField::MaxHigh, "-100", s);
    EXPECT_EQ(s.MinAltitude, 500);
    EXPECT_EQ(s.MaxAltitude, -100);
    const float before = s.ShadowCoef;
    StoreTypedSetting(SettingsField::Shad, "0.5", s);
    EXPECT_EQ(s.ShadowCoef, before);
}

TEST(BatchSettingsValidation, WritesEverythingThenChecksInOrder) {
    Validation v;
    SettingsFields f;
    f.MaxDist = "30000";
    f.MaxStat = "25";
    f.AltCorr = false;
    f.NeighbAlt = true;
    v.Run(f);
    ASSERT_EQ(v.shown.size(), 1u);
    EXPECT_EQ(v.shown[0].title, "Problem: Too many stations.");
    EXPECT_EQ(v.shown[0].text, "More than 20 stations is unlikely\rto be meaningful");
    EXPECT_EQ(v.settings.MaxStations, 25);
    EXPECT_EQ(v.settings.MaxDistance, 30000);
    EXPECT_EQ(v.settings.AltCorrOn, 0);
    EXPECT_EQ(v.settings.AltWindowOn, 1);

    Validation tooLarge;
    f = SettingsFields{};
    f.MaxDist = "30000";
    f.MaxStat = "7";
    tooLarge.Run(f);
    ASSERT_EQ(tooLarge.shown.size(), 1u);
    EXPECT_EQ(tooLarge.shown[0].title, "Problem: Area too large.");
    EXPECT_EQ(tooLarge.shown[0].text, "More than half of the Earth's surface\ris covered by   the neighbourhood "
                                      "size you chose.\rThis may not really   represent your local climate.");
    EXPECT_EQ(tooLarge.settings.MaxStations, 20);

    Validation rounded;
    f = SettingsFields{};
    f.MaxStat = "20.4";
    rounded.Run(f);
    ASSERT_EQ(rounded.shown.size(), 1u);
    EXPECT_EQ(rounded.shown[0].title, "Problem: Too many stations.");
    EXPECT_EQ(rounded.settings.MaxStations, 20);
}

TEST(BatchSettingsValidation, ShadowAndMinimumDistance) {
    Validation zero;
    zero.settings.ShadowOn = 0;
    SettingsFields f;
    f.Shad = "0";
    zero.Run(f);
    EXPECT_TRUE(zero.shown.empty());
    EXPECT_EQ(zero.settings.ShadowOn, 0);
    EXPECT_EQ(zero.settings.ShadowCoef, 0);

    Validation high;
    f = SettingsFields{};
    f.Shad = "1.5";
    f.PowExp = "9"; // not reached: the first failed check ends them
    high.Run(f);
    ASSERT_EQ(high.shown.size(), 1u);
    EXPECT_EQ(high.shown[0].title, "Please correct input!");
    EXPECT_EQ(high.settings.IdwPower, 9);

    Validation minDist;
    f = SettingsFields{};
    f.MinDist = "0.05";
    minDist.Run(f);
    ASSERT_EQ(minDist.shown.size(), 1u);
    EXPECT_EQ(minDist.shown[0].title, "Too small Minimum Distance");
    EXPECT_EQ(minDist.shown[0].text, "Inverse Distance Averaging not allowed \rif the   Nearest Neighbour is closer "
                                     "than 100 m.\r\rDistance  was changed to 100m. ");
    EXPECT_FLOAT_EQ(minDist.settings.MinDistance, 0.1f);
    EXPECT_EQ(f.MinDist, "0.05");

    Validation blocked;
    f.MaxDist = "0";
    blocked.Run(f);
    ASSERT_EQ(blocked.shown.size(), 1u);
    EXPECT_EQ(blocked.shown[0].title, "Problem: Area too  small.");
    EXPECT_FLOAT_EQ(blocked.settings.MinDistance, 0.05f);

    Validation fine;
    fine.Run(SettingsFields{});
    EXPECT_TRUE(fine.shown.empty());
    EXPECT_FLOAT_EQ(fine.settings.MinDistance, 0.1f);
}

} // namespace
} // namespace tavisol::batch
