#include "angles.h"

#include <cmath>
#include <limits>

namespace sondara {

double Normalize360(double x) {
    if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
    // Whole turns are taken off one at a time, as the results must match digit for
    // digit; only values many turns away are brought near first, so the loop stays short.
    constexpr double kFar = 360.0 * 1024.0;
    if (x >= kFar || x <= -kFar) x = std::fmod(x, 360.0);
    if (x >= 0) {
        while (x >= 360.0) x -= 360.0;
    } else {
        while (x < 0) x += 360.0;
    }
    return x;
}

}  // namespace sondara
