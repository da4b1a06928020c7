#include <gtest/gtest.h>

#include "core/attitude.h"

namespace sondara {
namespace {

// With the default table the calibrated components are the raw channels over 4500.
LiveValues FromComponents(float gx, float gy, float gz, float mx, float my, float mz) {
    LiveValues live;
    const float components[6] = {gx, gy, gz, mx, my, mz};
    for (int i = 0; i < 6; ++i) live.raw[i] = components[i] * 4500;
    live.tmp = 25;
    live.volt = 3.6f;
    ComputeAttitude(DefaultCalibration(), live);
    return live;
}

TEST(Attitude, DefaultCalibration_MapsFullScaleToOne) {
    const ProbeCalibration c = DefaultCalibration();
    for (double t : {-20.0, 0.0, 85.0}) {
        EXPECT_EQ(NormalizeChannel(2250, t, c.rangeHigh(1), c.rangeLow(1)), 0.5);
        EXPECT_EQ(NormalizeChannel(-4500, t, c.rangeHigh(6), c.rangeLow(6)), -1.0);
        EXPECT_EQ(NormalizeChannel(0, t, c.rangeHigh(3), c.rangeLow(3)), 0.0);
    }
    EXPECT_EQ(c.accelMatrix[0], 1.0);
    EXPECT_EQ(c.accelMatrix[1], 0.0);
    EXPECT_EQ(c.magMatrix[8], 1.0);
}

TEST(Attitude, TempPoly_StoresTheHighestPowerFirst) {
    const TempPoly poly = {1, 0, 0, 0, 0, 2, 3};  // T^6 + 2T + 3
    EXPECT_DOUBLE_EQ(EvaluateTempPoly(poly, 2), 64 + 4 + 3);
}

TEST(Attitude, WorkedExamples) {
    struct Case {
        float g[3], m[3];
        float inc, azi, gtf, mtf, dip, gt, mt;
    };
    const Case cases[] = {
        {{0.3f, -0.4f, -0.8660254f}, {0.2f, 0.3f, 0.4f}, 150.0f, 74.221f, 53.130f, 123.690f, 311.002f, 1.0f, 0.5385f},
        {{0.6f, 0.8f, 0}, {0.3f, 0.4f, -0.5f}, 90.0f, 180.0f, 306.870f, 126.870f, 45.0f, 1.0f, 0.7071f},
    };
    for (const Case& c : cases) {
        const LiveValues v = FromComponents(c.g[0], c.g[1], c.g[2], c.m[0], c.m[1], c.m[2]);
        EXPECT_NEAR(v.inc, c.inc, 5e-4);
        EXPECT_NEAR(v.azi, c.azi, 5e-4);
        EXPECT_NEAR(v.GTF, c.gtf, 5e-4);
        EXPECT_NEAR(v.MTF, c.mtf, 5e-4);
        EXPECT_NEAR(v.DIP, c.dip, 5e-4);
        EXPECT_NEAR(v.GT, c.gt, 5e-4);
        EXPECT_NEAR(v.MT, c.mt, 5e-5);
        EXPECT_NEAR(v.gx, c.g[0], 1e-6);
        EXPECT_NEAR(v.mz, c.m[2], 1e-6);
        EXPECT_EQ(v.volt, 3.6f);  // not touched
        EXPECT_EQ(v.tmp, 25.0f);
    }
}

TEST(Attitude, SteepGravity_TakesTheSquareRootBranch) {
    // Not unit vectors, so the two formulas for the inclination disagree.
    EXPECT_NEAR(FromComponents(0, 0, 0.7f, 1, 0, 0).inc, 90 - 44.427, 1e-3);  // arcsin(gz)
    EXPECT_NEAR(FromComponents(0, 0, 0.71f, 1, 0, 0).inc, 0, 1e-3);           // arcsin(sqrt(1 - gx² - gy²))
    EXPECT_NEAR(FromComponents(0, 0, -0.71f, 1, 0, 0).inc, 180, 1e-3);
}

TEST(Attitude, CalibrationMatrixAndOffset_AreApplied) {
    ProbeCalibration c = DefaultCalibration();
    c.accelMatrix[0] = 2;  // gx = 2·n1 + 0.5·n2 + 0.1
    c.accelMatrix[1] = 0.5;
    c.accelOffset[0] = 0.1;
    c.tempPoly[0] = {0, 0, 0, 0, 0, 100, 4000};  // channel 1 high: 4000 + 100·T
    LiveValues live;
    live.tmp = 5;
    live.raw[0] = 2250;  // (4500 - (4500 - 4500)) / (4500 + 4500) = 0.5
    live.raw[1] = 900;   // 0.2
    ComputeAttitude(c, live);
    EXPECT_FLOAT_EQ(live.gx, static_cast<float>(2 * 0.5 + 0.5 * 0.2 + 0.1));
}

}  // namespace
}  // namespace sondara
