#pragma once
// The quantities a station is shown with, defined once for every place that shows
// them: the survey table, the hole results panel, the printed report, the Excel
// workbook and the exchange file. Each has its column title, its value and the
// decimals its text shows; where a place lays them out (widths, padding, order) stays
// with that place.

#include <string>

#include "records.h"

namespace sondara {

enum class StationQuantity {
    Depth,
    MagneticAzimuth,
    TrueAzimuth,
    Inclination,
    MagneticDip,
    TotalGravity,
    TotalField,
    Temperature,
    Voltage,
    Time,
    LeftRight,
    UpDown,
    East,
    North,
    Vertical,
    HorizontalDisplacement,
    DisplacementAzimuth,
    ApparentDisplacement,
};

// The decimals of the time, which is text; every other quantity is a number.
inline constexpr int kTextQuantity = -1;

struct StationColumn {
    const char* title;  // UTF-8
    int decimals;       // or kTextQuantity
    // Undefined where there is no direction (a station at the origin): the text is
    // then blank. Other undefined values show as the C library prints them.
    bool blankWhenUndefined;
};

// What the trajectory computation gives a station, in the order the workbook and the
// results panel show them.
inline constexpr StationQuantity kComputedQuantities[] = {
    StationQuantity::LeftRight,
    StationQuantity::UpDown,
    StationQuantity::East,
    StationQuantity::North,
    StationQuantity::Vertical,
    StationQuantity::HorizontalDisplacement,
    StationQuantity::DisplacementAzimuth,
    StationQuantity::ApparentDisplacement,
};

const StationColumn& ColumnOf(StationQuantity quantity);

// The value of `quantity` for station `r`. `declination` is its hole's (h.gi); only
// the true azimuth and the apparent displacement depend on it. The time is the OLE
// date.
double StationValue(StationQuantity quantity, const ProbeRecord& r, float declination);

// What a cell of that column shows: "%.{decimals}f" of the value, the time as
// FormatOleTime writes it, or blank for an undefined direction.
std::string StationText(StationQuantity quantity, const ProbeRecord& r, float declination);

// The same text right-aligned in at least `width` characters ("%{width}.{decimals}f").
std::string PaddedStationText(StationQuantity quantity, const ProbeRecord& r, float declination, int width);

}  // namespace sondara
