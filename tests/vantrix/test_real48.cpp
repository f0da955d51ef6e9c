// The 6-byte real conversions, called through the run-time binding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "vantrixbind/vantrixbind.h"

namespace {

using tavisol::vantrix::BindError;
using Bytes = std::array<std::uint8_t, 6>;

class Real48 : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tavisol::vantrix::setLibraryPath(QStringLiteral(TAVISOL_BIN_DIR "/libvantrix.so")); }

    static Real48Rec toRec(double v) {
        Real48Rec r{0xAA, 0xAAAA, 0xAAAA, 0xAA};
        BindError e;
        EXPECT_TRUE(tavisol::vantrix::doubleToReal48(v, &r, &e)) << e.description.toStdString();
        return r;
    }
    static double toDouble(const Real48Rec &r) {
        double v = -12345;
        BindError e;
        EXPECT_TRUE(tavisol::vantrix::real48ToDouble(r, &v, &e)) << e.description.toStdString();
        return v;
    }
    static Bytes bytesOf(double v) { return tavisol::vantrix::real48ToBytes(toRec(v)); }
    // What the callers do with a result: round down to three decimals.
    static double callerRounding(double v) { return std::floor(1000.0 * v) / 1000.0; }
};

TEST(Real48Layout, FieldsAtNaturalAlignment) {
    EXPECT_EQ(offsetof(Real48Rec, Exp), 0u);
    EXPECT_EQ(offsetof(Real48Rec, Lo), 2u);
    EXPECT_EQ(offsetof(Real48Rec, Mid), 4u);
    EXPECT_EQ(offsetof(Real48Rec, Hi), 6u);
}

TEST(Real48Layout, FileBytesRoundTrip) {
    const Bytes b{0x84, 0x12, 0x34, 0x56, 0x78, 0x28};
    const Real48Rec r = tavisol::vantrix::real48FromBytes(b);
    EXPECT_EQ(r.Exp, 0x84);
    EXPECT_EQ(r.Lo, 0x3412);
    EXPECT_EQ(r.Mid, 0x7856);
    EXPECT_EQ(r.Hi, 0x28);
    EXPECT_EQ(tavisol::vantrix::real48ToBytes(r), b);
}

TEST_F(Real48, FiftyAndMinusFifty) {
    const Real48Rec p = toRec(50);
    EXPECT_EQ(p.Exp, 134);
    EXPECT_EQ(p.Hi, 0x48);
    EXPECT_EQ(p.Mid, 0);
    EXPECT_EQ(p.Lo, 0);
    const Real48Rec n = toRec(-50);
    EXPECT_EQ(n.Exp, 134);
    EXPECT_EQ(n.Hi, 0xC8);
    EXPECT_EQ(n.Mid, 0);
    EXPECT_EQ(n.Lo, 0);
    // The step of 0.00001 applies to negative values too.
    EXPECT_EQ(toDouble(n), -4999999 * 0.00001);
    EXPECT_EQ(callerRounding(toDouble(n)), -50.0);
}

TEST_F(Real48, ZeroClearsEveryFieldAndReadsAsOneStep) {
    Real48Rec r = toRec(-50);
    BindError e;
    ASSERT_TRUE(tavisol::vantrix::doubleToReal48(0.0, &r, &e));
    EXPECT_EQ(tavisol::vantrix::real48ToBytes(r), (Bytes{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bytesOf(-0.0), (Bytes{0, 0, 0, 0, 0, 0}));
    // Exp 0 is zero whatever the other bytes hold.
    EXPECT_EQ(toDouble(tavisol::vantrix::real48FromBytes({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), 0.00001);
    EXPECT_EQ(toDouble(r), 0.00001);
}

TEST_F(Real48, SmallestClassScaleAndIntegersComeBackAfterRounding) {
    const Real48Rec s = toRec(0.004);
    // Truncated: stored just below 0.004, read back exactly as 0.004.
    const Real48Rec exact = s;
    double raw = 0;
    {
        // The stored magnitude is below the double 0.004.
        const std::uint64_t frac = (static_cast<std::uint64_t>(s.Hi & 0x7F) << 45) |
                                   (static_cast<std::uint64_t>(s.Mid) << 29) | (static_cast<std::uint64_t>(s.Lo) << 13);
        const std::uint64_t bits = (static_cast<std::uint64_t>(s.Exp + 894) << 52) | frac;
        std::memcpy(&raw, &bits, sizeof raw);
    }
    EXPECT_LT(raw, 0.004);
    EXPECT_EQ(toDouble(exact), 400 * 0.00001);
    EXPECT_EQ(callerRounding(toDouble(exact)), 0.004);

    EXPECT_EQ(toDouble(toRec(8)), 800001 * 0.00001);
    EXPECT_EQ(callerRounding(toDouble(toRec(8))), 8.0);
}

TEST_F(Real48, StepBehaviourAroundFiveDecimals) {
    EXPECT_EQ(toDouble(toRec(0.4)), 40000 * 0.00001);     // stored just below 0.4
    EXPECT_EQ(toDouble(toRec(0.5)), 50001 * 0.00001);     // exact 0.5
    EXPECT_EQ(toDouble(toRec(-0.4)), -39998 * 0.00001);   // stored just above -0.4
    EXPECT_EQ(callerRounding(toDouble(toRec(0.4))), 0.4);
    EXPECT_EQ(callerRounding(toDouble(toRec(0.5))), 0.5);
    EXPECT_EQ(callerRounding(toDouble(toRec(-0.4))), -0.4);
}

TEST_F(Real48, BytePatterns) {
    struct Case {
        double value;
        Bytes bytes;
    };
    const Case cases[] = {
        {0.5, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {1.0, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {-1.0, {0x81, 0x00, 0x00, 0x00, 0x00, 0x80}},
        {10.5, {0x84, 0x00, 0x00, 0x00, 0x00, 0x28}},
        {0.1, {0x7D, 0xCC, 0xCC, 0xCC, 0xCC, 0x4C}},
        {-0.1, {0x7D, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {3.0, {0x82, 0x00, 0x00, 0x00, 0x00, 0x40}},
        {180.0, {0x88, 0x00, 0x00, 0x00, 0x00, 0x34}},
        {-90.0, {0x87, 0x00, 0x00, 0x00, 0x00, 0xB4}},
        {0.0083333333333333, {0x7A, 0x88, 0x88, 0x88, 0x88, 0x08}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(bytesOf(c.value), c.bytes);
    }
}

TEST_F(Real48, RoundTripsKeepEveryStoredBit) {
    // Any stored pattern that the double can carry converts back unchanged.
    const Bytes patterns[] = {{0x81, 0x01, 0x00, 0x00, 0x00, 0x00},
                              {0x7D, 0xCC, 0xCC, 0xCC, 0xCC, 0x4C},
                              {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                              {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                              {0x90, 0x34, 0x12, 0x78, 0x56, 0x9A}};
    for (const auto &p : patterns) {
        const Real48Rec r = tavisol::vantrix::real48FromBytes(p);
        // Undo the read's step to get the stored value as a double.
        double stored = 0;
        const std::uint64_t bits = (static_cast<std::uint64_t>(r.Hi >> 7) << 63) |
                                   (static_cast<std::uint64_t>(r.Exp + 894) << 52) |
                                   (static_cast<std::uint64_t>(r.Hi & 0x7F) << 45) |
                                   (static_cast<std::uint64_t>(r.Mid) << 29) | (static_cast<std::uint64_t>(r.Lo) << 13);
        std::memcpy(&stored, &bits, sizeof stored);
        EXPECT_EQ(bytesOf(stored), p);
    }
    // Values with at most three decimals survive write, read and the callers' rounding.
    for (double v : {12.483, -150.0, 41.9, 0.25, 1000.0, 8848.0, -0.004, 0.008333}) {
        SCOPED_TRACE(v);
        const double back = toDouble(toRec(v));
        EXPECT_NEAR(back, v, 2.5e-5);
    }
    for (double v : {12.483, 41.9, 0.25, 1000.0, 8848.0}) {
        SCOPED_TRACE(v);
        EXPECT_DOUBLE_EQ(callerRounding(toDouble(toRec(v))), v);
    }
}

TEST_F(Real48, LargeValuesDoNotOverflowTheStep) {
    // Beyond 2^31 / 100000 a 32-bit step would wrap; these keep their value.
    for (double v : {21474.84, 30000.0, -45000.5, 1.0e6, -3.5e9, 1.0e12}) {
        SCOPED_TRACE(v);
        const double back = toDouble(toRec(v));
        EXPECT_NEAR(back, v, std::abs(v) * 1e-11 + 2e-5);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    // Near the top of the format the value comes back as stored.
    const Real48Rec top = tavisol::vantrix::real48FromBytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    const double big = toDouble(top);
    EXPECT_GT(big, 1.7e38);
    EXPECT_TRUE(std::isfinite(big));
}

TEST_F(Real48, OutOfRangeValuesSaturate) {
    const Bytes largest{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    const Bytes largestNegative{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(bytesOf(1.0e39), largest);
    EXPECT_EQ(bytesOf(std::ldexp(1.0, 127)), largest); // first value past the top
    EXPECT_EQ(bytesOf(-1.0e300), largestNegative);
    EXPECT_EQ(bytesOf(std::numeric_limits<double>::infinity()), largest);
    EXPECT_EQ(bytesOf(-std::numeric_limits<double>::infinity()), largestNegative);
    // Just inside the top: exponent 255.
    EXPECT_EQ(bytesOf(std::ldexp(1.0, 126)), (Bytes{0xFF, 0, 0, 0, 0, 0}));

    const Bytes zero{0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytesOf(std::ldexp(1.0, -128)), (Bytes{0x01, 0, 0, 0, 0, 0})); // smallest
    EXPECT_EQ(bytesOf(std::ldexp(1.0, -129)), zero);
    EXPECT_EQ(bytesOf(-1.0e-200), zero);
    EXPECT_EQ(bytesOf(std::numeric_limits<double>::denorm_min()), zero);
    EXPECT_EQ(bytesOf(std::numeric_limits<double>::quiet_NaN()), zero);
}

} // namespace
