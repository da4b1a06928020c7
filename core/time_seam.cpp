#include "time_seam.h"

#include <ctime>

namespace sondara {
namespace {

CalendarTime FromTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

TimeSeam SystemTimeSeam() {
    TimeSeam seam;
    seam.toLocal = [](std::int64_t seconds) -> std::optional<CalendarTime> {
        const std::time_t t = static_cast<std::time_t>(seconds);
        std::tm tm{};
        if (localtime_r(&t, &tm) == nullptr) return std::nullopt;
        return FromTm(tm);
    };
    seam.now = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
    return seam;
}

TimeSeam FixedTimeSeam(int utcOffsetSeconds, std::int64_t nowSeconds) {
    TimeSeam seam;
    seam.toLocal = [utcOffsetSeconds](std::int64_t seconds) -> std::optional<CalendarTime> {
        const std::time_t t = static_cast<std::time_t>(seconds + utcOffsetSeconds);
        std::tm tm{};
        if (gmtime_r(&t, &tm) == nullptr) return std::nullopt;
        return FromTm(tm);
    };
    seam.now = [nowSeconds] { return nowSeconds; };
    return seam;
}

TimeSeam& CurrentTimeSeam() {
    static TimeSeam seam = SystemTimeSeam();
    return seam;
}

std::optional<CalendarTime> LocalNow() {
    const TimeSeam& seam = CurrentTimeSeam();
    return seam.toLocal(seam.now());
}

}  // namespace sondara
