#include <gtest/gtest.h>

#include <cmath>

#include "core/ole_time.h"
#include "core/station_columns.h"

namespace sondara {
namespace {

ProbeRecord Station(float depth, float azi, float inc, float x, float y) {
    ProbeRecord r;
    r.depth = depth;
    r.azi = azi;
    r.inc = inc;
    r.x = x;
    r.y = y;
    r.time = OleTimeFromCalendar(2024, 3, 1, 7, 5, 9);
    return r;
}

// Every place that shows a station reads its texts from here, so these are the texts
// of the table, the results panel, the report and the workbook alike.
TEST(StationColumns, TextsRoundTheExactValueAsPrintfDoes) {
    const ProbeRecord r = Station(2.25f, 10.0f, 0.125f, 3.0f, 4.0f);
    const ProbeRecord negative = Station(-0.04f, 0.0f, NAN, -1234567.5f, 0.0f);
    const ProbeRecord origin = Station(0.0f, 90.0f, 5.0f, 0.0f, 0.0f);
    struct Case {
        StationQuantity quantity;
        const ProbeRecord& station;
        float declination;
        const char* text;
    };
    const Case cases[] = {
        {StationQuantity::Depth, r, 0, "2.2"},  // a tie goes to the even digit, never up
        {StationQuantity::Inclination, r, 0, "0.12"},
        {StationQuantity::Depth, negative, 0, "-0.0"},
        {StationQuantity::Inclination, negative, 0, "nan"},  // an undefined measurement shows as such
        {StationQuantity::East, negative, 0, "-1234567.500"},
        {StationQuantity::MagneticAzimuth, r, 2.5f, "10.0"},
        {StationQuantity::TrueAzimuth, r, 2.5f, "7.5"},  // a positive declination is west
        {StationQuantity::HorizontalDisplacement, r, 0, "5.000"},
        {StationQuantity::DisplacementAzimuth, r, 0, "36.870"},
        {StationQuantity::ApparentDisplacement, r, -26.87f, "5.000"},  // along its own true azimuth
        {StationQuantity::DisplacementAzimuth, origin, 0, ""},         // no direction at the origin
        {StationQuantity::ApparentDisplacement, origin, 0, ""},
        {StationQuantity::HorizontalDisplacement, origin, 0, "0.000"},
        {StationQuantity::Time, r, 0, "2024-03-01  07:05:09"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ColumnOf(c.quantity).title);
        EXPECT_EQ(StationText(c.quantity, c.station, c.declination), c.text);
    }
    EXPECT_EQ(PaddedStationText(StationQuantity::Depth, r, 0, 5), "  2.2");
    EXPECT_EQ(PaddedStationText(StationQuantity::East, negative, 0, 5), "-1234567.500");  // never cut
}

}  // namespace
}  // namespace sondara
