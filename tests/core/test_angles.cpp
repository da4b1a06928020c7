#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/angles.h"

namespace sondara {
namespace {

TEST(Angles, Normalize360_FoldsIntoOneTurn) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {{0, 0}, {359.5, 359.5}, {360, 0}, {720.5, 0.5}, {-30, 330}, {-360, 0}, {-720.25, 359.75}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Normalize360(c.in), c.out) << c.in;
}

TEST(Angles, Normalize360_OfFarAndNonFiniteValues_Ends) {
    const double far = Normalize360(3.6e20 + 90);
    EXPECT_GE(far, 0);
    EXPECT_LT(far, 360);
    EXPECT_TRUE(std::isnan(Normalize360(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(Normalize360(-std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(Normalize360(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Angles, FloatDegrees_NeverRoundUpToAFullTurn) {
    // float(pi/2) lies above the ten-decimal half pi: the difference is a hair below 0.
    const double hairBelowZero = kHalfPi - static_cast<double>(static_cast<float>(M_PI / 2));
    EXPECT_EQ(static_cast<float>(RadToDeg360(hairBelowZero)), 360.0f);
    EXPECT_EQ(RadToDeg360f(hairBelowZero), 0.0f);
    EXPECT_EQ(RadToDeg360f(kPi), 180.0f);
}

TEST(Angles, Conversions_UseTheTenDecimalPi) {
    EXPECT_EQ(DegToRad(180), 3.1415926535);
    EXPECT_EQ(RadToDeg360(3.1415926535), 180.0);
    EXPECT_DOUBLE_EQ(RadToDeg360(-3.1415926535 / 2), 270.0);
    // The full-precision pi is not quite half a turn here.
    EXPECT_NE(RadToDeg360(M_PI), 180.0);
}

}  // namespace
}  // namespace sondara
