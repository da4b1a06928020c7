#include "ole_time.h"

#include <cmath>
#include <cstdio>

#include "time_seam.h"

namespace sondara {
namespace {

constexpr double kMinOleDate = -657434.0;      // 0100-01-01
constexpr double kMaxOleDate = 2958465.99999;  // 9999-12-31 23:59:59

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

const std::int64_t kOleEpochDays = DaysFromCivil(1899, 12, 30);

}  // namespace

double OleDateToLinearDays(double oleDate) {
    if (!(oleDate < 0.0)) return oleDate;
    const double whole = std::trunc(oleDate);
    return whole - (oleDate - whole);
}

double LinearDaysToOleDate(double days) {
    if (!(days < 0.0)) return days;
    const double whole = std::floor(days);
    return whole - (days - whole);
}

OleTime OleTimeFromCalendar(int year, int month, int day, int hour, int minute, int second) {
    const bool exists = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                        day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
                        second >= 0 && second <= 59;
    if (!exists) return {0.0, kTimeInvalid};
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - kOleEpochDays);
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    return {days >= 0.0 ? days + fraction : days - fraction, kTimeValid};
}

OleTime OleTimeFromCalendar(const CalendarTime& c) {
    return OleTimeFromCalendar(c.year, c.month, c.day, c.hour, c.minute, c.second);
}

std::optional<CalendarTime> CalendarFromOleTime(const OleTime& t) {
    if (t.status != kTimeValid || !(t.dt >= kMinOleDate && t.dt <= kMaxOleDate)) return std::nullopt;
    const auto seconds = static_cast<std::int64_t>(std::floor(OleDateToLinearDays(t.dt) * 86400.0 + 0.5));
    const std::int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const std::int64_t secondOfDay = seconds - days * 86400;
    CalendarTime c;
    CivilFromDays(days + kOleEpochDays, c.year, c.month, c.day);
    c.hour = static_cast<int>(secondOfDay / 3600);
    c.minute = static_cast<int>(secondOfDay / 60 % 60);
    c.second = static_cast<int>(secondOfDay % 60);
    return c;
}

OleTime OleTimeFromUnixSeconds(std::int64_t seconds) {
    const auto local = CurrentTimeSeam().toLocal(seconds);
    if (!local) return {0.0, kTimeInvalid};
    return OleTimeFromCalendar(*local);
}

std::string FormatOleTime(const OleTime& t) {
    if (t.status == kTimeNull) return {};
    const auto c = CalendarFromOleTime(t);
    if (!c) return "Invalid DateTime";
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d  %02d:%02d:%02d", c->year, c->month, c->day, c->hour, c->minute,
                  c->second);
    return text;
}

double LinearSeconds(const OleTime& t) { return OleDateToLinearDays(t.dt) * 86400.0; }

OleTime OleTimeFromLinearSeconds(double seconds) { return {LinearDaysToOleDate(seconds / 86400.0), kTimeValid}; }

bool UsableTime(const OleTime& t) { return t.status == kTimeValid && std::isfinite(t.dt); }

}  // namespace sondara
