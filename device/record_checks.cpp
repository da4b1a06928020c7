#include "device/record_checks.h"

#include <cmath>

#include "core/ole_time.h"
#include "device/frames.h"

namespace sondara {

namespace {

bool IsBcd(std::uint8_t b) { return (b & 0x0F) <= 9 && (b >> 4) <= 9; }

bool Within(float v, float low, float high) { return std::isfinite(v) && v >= low && v <= high; }

bool IsAngle(float v) { return Within(v, 0.0f, 360.0f); }

}  // namespace

bool IsPossibleBcdTime(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                       std::uint8_t second) {
    for (std::uint8_t b : {year, month, day, hour, minute, second}) {
        if (!IsBcd(b)) return false;
    }
    const OleTime t = OleTimeFromCalendar(2000 + BcdToInt(year), BcdToInt(month), BcdToInt(day), BcdToInt(hour),
                                          BcdToInt(minute), BcdToInt(second));
    return t.status == kTimeValid;
}

bool IsPossibleProcessedProbeRecord(const ProbeRecord& r, std::span<const std::uint8_t> f) {
    if (f.size() < 53) return false;
    if (!IsPossibleBcdTime(f[51], f[50], f[48], f[47], f[46], f[45])) return false;
    return Within(r.inc, -90.0f, 90.0f) && IsAngle(r.azi) && IsAngle(r.GTF) && IsAngle(r.MTF) && IsAngle(r.DIP) &&
           Within(r.tmp, -3276.8f, 3276.7f) && Within(r.GT, 0.0f, kMaxFieldLength) &&
           Within(r.MT, 0.0f, kMaxFieldLength);
}

bool IsPossibleRawProbeRecord(std::span<const std::uint8_t> f) {
    return f.size() >= 42 && IsPossibleBcdTime(f[33], f[32], f[30], f[29], f[28], f[27]);
}

bool IsPossibleSyncRecord(const SyncRecord& r, std::span<const std::uint8_t> f) {
    if (f.size() < 26) return false;
    return r.hole >= 0 && IsPossibleBcdTime(f[23], f[22], f[20], f[19], f[18], f[17]);
}

}  // namespace sondara
