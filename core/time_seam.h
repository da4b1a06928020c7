#pragma once
// The one place where the program learns the local time zone and the current time.
// Tests replace both so that results do not depend on the machine they run on.

#include <cstdint>
#include <functional>
#include <optional>

#include "ole_time.h"

namespace sondara {

struct TimeSeam {
    // Seconds since 1970-01-01 UTC to local calendar time; nothing where the
    // conversion fails.
    std::function<std::optional<CalendarTime>(std::int64_t)> toLocal;
    // The current time in seconds since 1970-01-01 UTC.
    std::function<std::int64_t()> now;
};

// The seam in force. Starts as the system's time zone and clock.
TimeSeam& CurrentTimeSeam();

// The system's own time zone and clock (what CurrentTimeSeam() starts as).
TimeSeam SystemTimeSeam();

// A fixed offset east of UTC in seconds and a clock standing at `nowSeconds`.
TimeSeam FixedTimeSeam(int utcOffsetSeconds, std::int64_t nowSeconds);

// The local calendar time now.
std::optional<CalendarTime> LocalNow();

// Puts a seam in force for the lifetime of the guard and restores the old one after.
class ScopedTimeSeam {
public:
    explicit ScopedTimeSeam(TimeSeam seam) : saved_(CurrentTimeSeam()) { CurrentTimeSeam() = std::move(seam); }
    ~ScopedTimeSeam() { CurrentTimeSeam() = std::move(saved_); }
    ScopedTimeSeam(const ScopedTimeSeam&) = delete;
    ScopedTimeSeam& operator=(const ScopedTimeSeam&) = delete;

private:
    TimeSeam saved_;
};

}  // namespace sondara
