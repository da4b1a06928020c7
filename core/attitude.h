#pragma once
// Attitude of the probe from its raw sensor channels: temperature compensation,
// triad calibration and tilt-compensated angles, with the probe's calibration table.

#include <array>
#include <cstddef>

namespace sondara {

// Seven coefficients, highest power first: c6 + c5·T + c4·T² + ... + c0·T⁶.
using TempPoly = std::array<double, 7>;

// The probe's calibration table: 1024 bytes, 128 little-endian doubles.
struct ProbeCalibration {
    double accelMatrix[9];  // channels 1 to 3, row by row
    double accelOffset[3];
    double unused1[3];
    double magMatrix[9];  // channels 4 to 6, row by row
    double magOffset[3];
    double unused2[3];
    TempPoly tempPoly[12];  // channel 1 high, channel 1 low, channel 2 high, ...
    double unused3[14];

    // Channel 1..6: the reading for +1 and for -1 full scale.
    const TempPoly& rangeHigh(int channel) const { return tempPoly[2 * (channel - 1)]; }
    const TempPoly& rangeLow(int channel) const { return tempPoly[2 * (channel - 1) + 1]; }
};
static_assert(sizeof(ProbeCalibration) == 1024);
static_assert(offsetof(ProbeCalibration, accelOffset) == 72);
static_assert(offsetof(ProbeCalibration, magMatrix) == 120);
static_assert(offsetof(ProbeCalibration, magOffset) == 192);
static_assert(offsetof(ProbeCalibration, tempPoly) == 240);
static_assert(offsetof(ProbeCalibration, unused3) == 912);

// Identity matrices, zero offsets, every range ±4500 at any temperature.
ProbeCalibration DefaultCalibration();

// The current probe values, as a live sample or a raw record is decoded.
struct LiveValues {
    float inc = 0, azi = 0, tmp = 0, GTF = 0, MTF = 0, DIP = 0, GT = 0, MT = 0;
    float gx = 0, gy = 0, gz = 0, mx = 0, my = 0, mz = 0;
    float raw[6] = {};
    float volt = 0;
};

double EvaluateTempPoly(const TempPoly& poly, double temperature);

// The reading scaled so that the high range is +1 and the low range -1.
double NormalizeChannel(double reading, double temperature, const TempPoly& high, const TempPoly& low);

// From `tmp` and the six raw channels, writes inc (not yet reduced by 90), azi, GTF,
// MTF, DIP, GT, MT and the calibrated components. Validates nothing: a degenerate
// table or vector gives infinite or undefined values.
void ComputeAttitude(const ProbeCalibration& calibration, LiveValues& live);

}  // namespace sondara
