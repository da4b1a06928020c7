#pragma once
// Points in time as the instruments and the survey file hold them: OLE Automation
// dates (days since 1899-12-30 00:00, local time, the time of day as the fraction).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sondara {

enum OleTimeStatus : std::int32_t { kTimeValid = 0, kTimeInvalid = 1, kTimeNull = 2 };

#pragma pack(push, 4)
struct OleTime {
    double dt = 0.0;
    std::int32_t status = kTimeValid;
};
#pragma pack(pop)
static_assert(sizeof(OleTime) == 12);
static_assert(offsetof(OleTime, status) == 8);

// A broken-down local calendar time; month 1..12, day 1..31.
struct CalendarTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// Status kTimeInvalid when the date or clock time does not exist, or lies outside
// the range OLE dates cover (years 100 to 9999).
OleTime OleTimeFromCalendar(const CalendarTime& c);
OleTime OleTimeFromCalendar(int year, int month, int day, int hour, int minute, int second);

// The calendar time of a valid OLE date, rounded to the nearest second; nothing for
// a status other than valid or a value outside the OLE range.
std::optional<CalendarTime> CalendarFromOleTime(const OleTime& t);

// Seconds since 1970-01-01 UTC, through the local time zone of the time seam.
OleTime OleTimeFromUnixSeconds(std::int64_t seconds);

// "%Y-%m-%d  %H:%M:%S"; "Invalid DateTime" for an invalid time (or one whose value
// cannot be shown); empty text for a null time.
std::string FormatOleTime(const OleTime& t);

// OLE dates below zero count whole days backwards but the time of day forwards
// (-1.25 is 1899-12-29 06:00). These map to and from a scale that is linear in time.
double OleDateToLinearDays(double oleDate);
double LinearDaysToOleDate(double days);

// Seconds on that linear scale, for a time that is valid and finite, and back.
double LinearSeconds(const OleTime& t);
OleTime OleTimeFromLinearSeconds(double seconds);

// Whether a time can be compared with others: valid and finite.
bool UsableTime(const OleTime& t);

}  // namespace sondara
