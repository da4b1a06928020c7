#include "station_columns.h"

#include <array>
#include <cmath>

#include "derived.h"
#include "number_text.h"
#include "ole_time.h"

namespace sondara {
namespace {

constexpr int kQuantityCount = static_cast<int>(StationQuantity::ApparentDisplacement) + 1;

// In the order of StationQuantity.
constexpr std::array<StationColumn, kQuantityCount> kColumns = {{
    {"孔深", 1, false},
    {"磁方位", 1, false},
    {"真方位角", 1, false},
    {"倾角", 2, false},
    {"地磁倾角", 1, false},
    {"总加速度", 4, false},
    {"总磁场", 4, false},
    {"温度", 1, false},
    {"电压", 1, false},
    {"时间", kTextQuantity, false},
    {"左右偏差", 3, false},
    {"上下偏差", 3, false},
    {"东坐标", 3, false},
    {"北坐标", 3, false},
    {"垂深", 3, false},
    {"水平位移", 3, false},
    {"平移方位角", 3, true},
    {"视平移", 3, true},
}};

}  // namespace

const StationColumn& ColumnOf(StationQuantity quantity) { return kColumns.at(static_cast<std::size_t>(quantity)); }

double StationValue(StationQuantity quantity, const ProbeRecord& r, float declination) {
    switch (quantity) {
        case StationQuantity::Depth:
            return r.depth;
        case StationQuantity::MagneticAzimuth:
            return r.azi;
        case StationQuantity::TrueAzimuth:
            return TrueAzimuth(r, declination);
        case StationQuantity::Inclination:
            return r.inc;
        case StationQuantity::MagneticDip:
            return r.DIP;
        case StationQuantity::TotalGravity:
            return r.GT;
        case StationQuantity::TotalField:
            return r.MT;
        case StationQuantity::Temperature:
            return r.tmp;
        case StationQuantity::Voltage:
            return r.volt;
        case StationQuantity::Time:
            return r.time.dt;
        case StationQuantity::LeftRight:
            return LeftRightDeviation(r);
        case StationQuantity::UpDown:
            return UpDownDeviation(r);
        case StationQuantity::East:
            return r.x;
        case StationQuantity::North:
            return r.y;
        case StationQuantity::Vertical:
            return r.z;
        case StationQuantity::HorizontalDisplacement:
            return HorizontalDisplacement(r.x, r.y);
        case StationQuantity::DisplacementAzimuth:
            return DisplacementAzimuth(r.x, r.y);
        case StationQuantity::ApparentDisplacement:
            return ApparentDisplacement(r, declination);
    }
    return NAN;
}

std::string StationText(StationQuantity quantity, const ProbeRecord& r, float declination) {
    if (quantity == StationQuantity::Time) return FormatOleTime(r.time);
    const StationColumn& column = ColumnOf(quantity);
    const double value = StationValue(quantity, r, declination);
    if (column.blankWhenUndefined && std::isnan(value)) return {};
    return FixedText(value, column.decimals);
}

std::string PaddedStationText(StationQuantity quantity, const ProbeRecord& r, float declination, int width) {
    return RightAligned(StationText(quantity, r, declination), width);
}

}  // namespace sondara
