#include "derived.h"

#include <cmath>

#include "angles.h"

namespace sondara {

float TrueAzimuth(const ProbeRecord& station, float declination) { return station.azi - declination; }

float HorizontalDisplacement(float east, float north) {
    const float sumOfSquares = east * east + north * north;
    return static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)));
}

float DisplacementAzimuth(float east, float north) {
    const float ratio = north / east;
    float t = static_cast<float>(std::atan(static_cast<double>(ratio)));
    if (east < 0) t = static_cast<float>(t + kPi);
    return RadToDeg360f(kHalfPi - t);
}

float ApparentDisplacement(const ProbeRecord& station, float declination) {
    const float displacementAzimuth = DisplacementAzimuth(station.x, station.y);
    const float offAxis = displacementAzimuth - TrueAzimuth(station, declination);
    const double hd = HorizontalDisplacement(station.x, station.y);
    return static_cast<float>(hd * std::cos(DegToRad(offAxis)));
}

}  // namespace sondara
