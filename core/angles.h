#pragma once
// Degree and radian conversions with the system's ten-decimal pi. Results must match
// the instruments' own software digit for digit, so the full-precision pi is not used.

namespace sondara {

inline constexpr double kPi = 3.1415926535;
inline constexpr double kHalfPi = 1.57079632675;
inline constexpr double kTwoPi = 6.283185307;

inline double DegToRad(double degrees) { return degrees * kPi / 180.0; }

// Folds into [0, 360) by whole turns. A value that is not finite has no direction
// and gives NaN.
double Normalize360(double degrees);

inline double RadToDeg360(double radians) { return Normalize360(radians * 180.0 / kPi); }

// RadToDeg360 stored as a float. A hair under a full turn rounds up to 360 in float;
// that is the direction 0 and is stored as 0, so stored angles stay in [0, 360).
inline float RadToDeg360f(double radians) {
    const float degrees = static_cast<float>(RadToDeg360(radians));
    return degrees >= 360.0f ? 0.0f : degrees;
}

}  // namespace sondara
