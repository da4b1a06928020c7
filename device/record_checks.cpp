#include "device/record_checks.h"

#include <cmath>

#include "device/frames.h"

namespace sondara {

namespace {

bool IsBcd(std::uint8_t b) { return (b & 0x0F) <= 9 && (b >> 4) <= 9; }

bool Within(float v, float low, float high) { return std::isfinite(v) && v >= low && v <= high; }

bool IsAngle(float v) { return Within(v, 0.0f, 360.0f); }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

bool IsPossibleBcdTime(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                       std::uint8_t second) {
    for (std::uint8_t b : {year, month, day, hour, minute, second}) {
        if (!IsBcd(b)) return false;
    }
    const int y = 2000 + BcdToInt(year), mo = BcdToInt(month), d = BcdToInt(day);
    if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo)) return false;
    return BcdToInt(hour) <= 23 && BcdToInt(minute) <= 59 && BcdToInt(second) <= 59;
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
