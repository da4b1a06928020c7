#include "attitude.h"

#include <cmath>

#include "angles.h"

namespace sondara {

ProbeCalibration DefaultCalibration() {
    ProbeCalibration c{};
    for (int i = 0; i < 3; ++i) {
        c.accelMatrix[4 * i] = 1.0;
        c.magMatrix[4 * i] = 1.0;
    }
    for (int k = 0; k < 12; ++k) c.tempPoly[k][6] = k % 2 == 0 ? 4500.0 : -4500.0;
    return c;
}

double EvaluateTempPoly(const TempPoly& c, double t) {
    double sum = c[5] * std::pow(t, 1) + c[6];
    sum += c[4] * std::pow(t, 2);
    sum += c[3] * std::pow(t, 3);
    sum += c[2] * std::pow(t, 4);
    sum += c[1] * std::pow(t, 5);
    sum += c[0] * std::pow(t, 6);
    return sum;
}

double NormalizeChannel(double reading, double temperature, const TempPoly& high, const TempPoly& low) {
    const double h = EvaluateTempPoly(high, temperature);
    const double l = EvaluateTempPoly(low, temperature);
    return (2 * reading - (h + l)) / (h - l);
}

namespace {

struct Vector3f {
    float x, y, z;
};

Vector3f Calibrate(const double m[9], const double offset[3], const double n[3]) {
    auto row = [&](int r) {
        return static_cast<float>(m[3 * r] * n[0] + m[3 * r + 1] * n[1] + m[3 * r + 2] * n[2] + offset[r]);
    };
    return {row(0), row(1), row(2)};
}

// Every root, arcsine and arctangent of a float is taken in double and rounded back.
float Sqrt(float v) { return static_cast<float>(std::sqrt(static_cast<double>(v))); }
float Asin(float v) { return static_cast<float>(std::asin(static_cast<double>(v))); }
float Atan2(float y, float x) { return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x))); }

float InclinationAngle(const Vector3f& g) {
    if (std::fabs(static_cast<double>(g.z)) < 0.7071068) return Asin(g.z);
    const float v = Asin(Sqrt(1 - g.x * g.x - g.y * g.y));
    return g.z >= 0 ? v : -v;
}

}  // namespace

void ComputeAttitude(const ProbeCalibration& cal, LiveValues& live) {
    const double t = live.tmp;
    double n[6];
    for (int ch = 1; ch <= 6; ++ch)
        n[ch - 1] = NormalizeChannel(live.raw[ch - 1], t, cal.rangeHigh(ch), cal.rangeLow(ch));
    const Vector3f g = Calibrate(cal.accelMatrix, cal.accelOffset, n);
    const Vector3f m = Calibrate(cal.magMatrix, cal.magOffset, n + 3);
    live.gx = g.x;
    live.gy = g.y;
    live.gz = g.z;
    live.mx = m.x;
    live.my = m.y;
    live.mz = m.z;

    const float inc = static_cast<float>(kHalfPi - InclinationAngle(g));
    const float gt = Sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
    const float mt = Sqrt(m.x * m.x + m.y * m.y + m.z * m.z);

    float gtf = Atan2(-g.y, g.x);
    if (g.x < 0) gtf = static_cast<float>(gtf + kTwoPi);
    float mtf = Atan2(-m.y, m.x);
    if (m.y < 0) mtf = static_cast<float>(mtf + kTwoPi);

    const float dot = m.x * g.x + m.y * g.y + m.z * g.z;
    const float lengths = mt * gt;
    const float dip = static_cast<float>(std::asin(static_cast<double>(dot) / static_cast<double>(lengths)));

    const float east = (m.x * g.y - m.y * g.x) * gt;
    const float north = (g.x * g.x + g.y * g.y) * m.z - (m.x * g.x + m.y * g.y) * g.z;
    const float azi = static_cast<float>(-std::atan2(static_cast<double>(east), static_cast<double>(north)));

    live.inc = RadToDeg360f(inc);
    live.azi = RadToDeg360f(azi);
    live.GTF = RadToDeg360f(gtf);
    mtf = static_cast<float>(mtf + kPi);
    live.MTF = RadToDeg360f(mtf);
    live.DIP = RadToDeg360f(dip);
    live.GT = gt;
    live.MT = mt;
}

}  // namespace sondara
