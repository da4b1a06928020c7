#include <gtest/gtest.h>

#include "core/ole_time.h"
#include "core/time_seam.h"

namespace sondara {
namespace {

TEST(OleTime, CalendarDates_GiveDaysSince1899December30) {
    struct Case {
        CalendarTime when;
        double expected;
    };
    const Case
        cases
            [] =
                {
                    {{1899, 12, 30, 0, 0, 0}, 0.0},    {{1900, 1, 1, 0, 0, 0}, 2.0},
                    {{2024, 3, 1, 12, 0, 0}, 45352.5}, {{2024, 3, 1, 6, 0, 0}, 45352.25},
                    {{1899, 12, 29, 6, 0, 0}, -1.25},  // before the epoch the fraction counts forwards
                };
    for (const Case& c : cases) {
        const OleTime t = OleTimeFromCalendar(c.when);
        EXPECT_EQ(t.status, kTimeValid);
        EXPECT_DOUBLE_EQ(t.dt, c.expected);
        EXPECT_EQ(CalendarFromOleTime(t), c.when);
    }
}

TEST(OleTime, DatesThatDoNotExist_AreInvalid) {
    const CalendarTime cases[] = {
        {2023, 2, 29, 0, 0, 0}, {2024, 13, 1, 0, 0, 0}, {2024, 4, 31, 0, 0, 0}, {2024, 1, 1, 24, 0, 0},
        {2024, 1, 1, 0, 60, 0}, {2024, 1, 1, 0, 0, 60}, {99, 1, 1, 0, 0, 0},
    };
    for (const CalendarTime& c : cases) EXPECT_EQ(OleTimeFromCalendar(c).status, kTimeInvalid);
    EXPECT_EQ(OleTimeFromCalendar(2024, 2, 29, 23, 59, 59).status, kTimeValid);
}

TEST(OleTime, Format_ShowsTwoBlanksInvalidAndNull) {
    EXPECT_EQ(FormatOleTime(OleTimeFromCalendar(2024, 3, 1, 7, 5, 9)), "2024-03-01  07:05:09");
    EXPECT_EQ(FormatOleTime({45352.0, kTimeInvalid}), "Invalid DateTime");
    EXPECT_EQ(FormatOleTime({45352.0, kTimeNull}), "");
    EXPECT_EQ(FormatOleTime({1e12, kTimeValid}), "Invalid DateTime");
    EXPECT_EQ(FormatOleTime({std::numeric_limits<double>::quiet_NaN(), kTimeValid}), "Invalid DateTime");
}

TEST(OleTime, Format_RoundsToTheNearestSecond) {
    const double oneSecond = 1.0 / 86400.0;
    EXPECT_EQ(FormatOleTime({45352.0 + 59.6 * oneSecond, kTimeValid}), "2024-03-01  00:01:00");
    EXPECT_EQ(FormatOleTime({45352.0 - 0.2 * oneSecond, kTimeValid}), "2024-03-01  00:00:00");
}

TEST(OleTime, UnixSeconds_GoThroughTheLocalTimeZoneOfTheSeam) {
    ScopedTimeSeam seam(FixedTimeSeam(8 * 3600, 0));
    const OleTime t = OleTimeFromUnixSeconds(1709251200);  // 2024-03-01 00:00 UTC
    EXPECT_EQ(t.status, kTimeValid);
    EXPECT_EQ(FormatOleTime(t), "2024-03-01  08:00:00");
}

TEST(OleTime, UnixSecondsTheZoneCannotConvert_AreInvalid) {
    TimeSeam failing = FixedTimeSeam(0, 0);
    failing.toLocal = [](std::int64_t) { return std::optional<CalendarTime>{}; };
    ScopedTimeSeam seam(failing);
    EXPECT_EQ(OleTimeFromUnixSeconds(0).status, kTimeInvalid);
}

TEST(OleTime, LocalNow_ComesFromTheSeam) {
    ScopedTimeSeam seam(FixedTimeSeam(-3600, 86400));
    EXPECT_EQ(LocalNow(), (CalendarTime{1970, 1, 1, 23, 0, 0}));
}

TEST(OleTime, LinearDays_MakeDatesBeforeTheEpochMonotone) {
    EXPECT_DOUBLE_EQ(OleDateToLinearDays(-1.25), -0.75);
    EXPECT_DOUBLE_EQ(OleDateToLinearDays(-1.75), -0.25);
    EXPECT_DOUBLE_EQ(OleDateToLinearDays(2.5), 2.5);
    for (double d : {-3.5, -1.25, -0.25, 0.0, 7.75}) EXPECT_DOUBLE_EQ(OleDateToLinearDays(LinearDaysToOleDate(d)), d);
}

}  // namespace
}  // namespace sondara
