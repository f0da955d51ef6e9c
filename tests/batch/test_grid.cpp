#include <gtest/gtest.h>

#include "batch/grid.h"

namespace tavisol::batch {
namespace {

using dialogs::KeyAction;

TEST(GridAxis, DesignValuesAndDirections) {
    GridFields f;
    const GridPlan plan = PlanGrid(f);
    ASSERT_FALSE(plan.Refusal);
    ASSERT_EQ(plan.Latitudes.size(), 11u);
    ASSERT_EQ(plan.Longitudes.size(), 11u);
    EXPECT_EQ(plan.Latitudes.front(), 40);
    EXPECT_EQ(plan.Latitudes.back(), 50);
    EXPECT_EQ(plan.Longitudes.front(), 5);
    EXPECT_EQ(plan.Longitudes.back(), 15);

    f = GridFields{};
    f.LatMin = "50";
    f.LatMax = "40";
    const GridPlan down = PlanGrid(f);
    EXPECT_EQ(down.LatStep, -1);
    ASSERT_EQ(down.Latitudes.size(), 11u);
    EXPECT_EQ(down.Latitudes.front(), 50);
    EXPECT_EQ(down.Latitudes.back(), 40);

    // A negative count against the direction: no rows at all.
    f = GridFields{};
    f.LatStep = "-10";
    const GridPlan none = PlanGrid(f);
    EXPECT_FALSE(none.Refusal);
    EXPECT_EQ(none.LatStep, -1);
    EXPECT_TRUE(none.Latitudes.empty());
}

TEST(GridAxis, EveryPointComesFromItsIndex) {
    const std::vector<float> tenths = GridAxis(0, 1, 10);
    ASSERT_EQ(tenths.size(), 11u);
    EXPECT_FLOAT_EQ(tenths[9], 0.9f);
    EXPECT_EQ(tenths.back(), 1);
    EXPECT_EQ(GridAxis(0, 1, 3).size(), 4u);
    EXPECT_EQ(GridAxis(0, 1, 2.5).size(), 3u); // a part interval reaches no further point
    EXPECT_EQ(GridAxis(3, 3, 5).size(), 1u);   // first equal to last: one value, no endless loop
}

TEST(GridPlan, RefusesWhatWouldNeverEnd) {
    GridFields f;
    f.LongStep = "0";
    EXPECT_TRUE(PlanGrid(f).Refusal);
    f = GridFields{};
    f.LatStep = "";
    EXPECT_TRUE(PlanGrid(f).Refusal);
    f = GridFields{};
    f.LongStep = "1000000000"; // a step below the running value's precision
    EXPECT_TRUE(PlanGrid(f).Refusal);
    f = GridFields{};
    f.LongStep = "200";
    f.LatStep = "200"; // 201 x 201 points: more than a list holds
    const GridPlan big = PlanGrid(f);
    ASSERT_TRUE(big.Refusal);
    EXPECT_TRUE(big.Latitudes.empty());
    f = GridFields{};
    f.LongMax = "1e999";
    EXPECT_TRUE(PlanGrid(f).Refusal);
}

// A box is never read up to its first stray character: the grid would lie
// elsewhere than typed.
TEST(GridPlan, RefusesABoxHoldingMoreThanItsNumber) {
    const struct {
        std::string GridFields::*box;
        const char *text, *says;
    } rows[] = {
        {&GridFields::LongMin, "1.000,5", "The first longitude \"1.000.5\" is no number."},
        {&GridFields::LongMax, "10-20", "The last longitude \"10-20\" is no number."},
        {&GridFields::LongStep, "1,5", "The number of longitude intervals \"1,5\" is no number."},
        {&GridFields::LatMin, "4.0.", "The first latitude \"4.0.\" is no number."},
        {&GridFields::LatMax, "45,5,", "The last latitude \"45.5.\" is no number."},
        {&GridFields::LatStep, "5-", "The number of latitude intervals \"5-\" is no number."},
    };
    for (const auto &row : rows) {
        GridFields f;
        f.*row.box = row.text;
        const GridPlan plan = PlanGrid(f);
        ASSERT_TRUE(plan.Refusal) << row.text;
        EXPECT_EQ(plan.Refusal->text, row.says);
        EXPECT_EQ(plan.Refusal->title, "Please,Correct.");
        EXPECT_TRUE(plan.Latitudes.empty() && plan.Longitudes.empty());
    }
    // Blanks around or inside a number stay as they are read.
    GridFields f;
    f.LongMax = " 1 5 ";
    EXPECT_FALSE(PlanGrid(f).Refusal);
}

TEST(GridPlan, CommasOfTheCoordinatesBecomePoints) {
    GridFields f;
    f.LongMin = "5,5";
    f.LatMax = "45,5";
    f.LatStep = "1";
    const GridPlan plan = PlanGrid(f);
    EXPECT_EQ(f.LongMin, "5.5");
    EXPECT_EQ(f.LatMax, "45.5");
    ASSERT_EQ(plan.Latitudes.size(), 2u);
    EXPECT_EQ(plan.Latitudes[1], 45.5f);
    EXPECT_FLOAT_EQ(plan.LongStep, 0.95f);
}

TEST(GridBoxes, KeysAndLeavingChecks) {
    for (const GridField f : {GridField::LongMin, GridField::LatMax, GridField::LatStep}) {
        EXPECT_EQ(GridKey(f, U'-').action, KeyAction::Take);
        EXPECT_EQ(GridKey(f, U'.').action, KeyAction::Take);
        EXPECT_EQ(GridKey(f, U'7').action, KeyAction::Take);
        EXPECT_EQ(GridKey(f, dialogs::KeyBackspace).action, KeyAction::Take);
        EXPECT_EQ(GridKey(f, dialogs::KeyEnter).action, KeyAction::MoveOn);
    }
    // A comma types the point where the box reads it as one.
    EXPECT_EQ(GridKey(GridField::LongMin, U',').action, KeyAction::TypePoint);
    EXPECT_EQ(GridKey(GridField::LatMax, U',').action, KeyAction::TypePoint);
    EXPECT_EQ(GridKey(GridField::LatStep, U',').action, KeyAction::Drop);

    std::string text = "12,5";
    GridLeave r = LeaveGridField(GridField::LongMin, text);
    EXPECT_EQ(text, "12.5");
    EXPECT_FALSE(r.message);
    text = "45,5";
    r = LeaveGridField(GridField::LatMax, text);
    EXPECT_EQ(text, "45,5"); // kept until OK
    text = "95";
    r = LeaveGridField(GridField::LatMax, text);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, "Latitudes should be between -90 and +90 degrees.");
    EXPECT_EQ(r.message->title, "Strange Location");
    EXPECT_TRUE(r.refocus);
    text = "-180";
    EXPECT_FALSE(LeaveGridField(GridField::LongMax, text).message);
    text = "-180.5";
    r = LeaveGridField(GridField::LongMax, text);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, "Longitudes should be between -180 and +180 degrees.");
    text = "-3";
    r = LeaveGridField(GridField::LongStep, text);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->title, "Please,Correct.");
    EXPECT_EQ(r.message->text, "Number of steps should be positive.");
    EXPECT_FALSE(r.refocus);
    r = LeaveGridField(GridField::LatStep, text);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->title, "Please,Corect.");
    EXPECT_EQ(r.message->text, "Number of steps should be positive");
}

} // namespace
} // namespace tavisol::batch
