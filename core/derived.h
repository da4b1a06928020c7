#pragma once
// Station values that are shown and exported but never stored. The table, the
// report, the plots and the Excel export all take them from here.

#include "records.h"

namespace sondara {

// The station azimuth less the declination (a positive declination is west).
float TrueAzimuth(const ProbeRecord& station, float declination);

// The design true azimuth as the user entered it: the stored design azimuth less the
// declination. The editor, the plots and the export show this one value.
inline float DesignTrueAzimuth(const HoleParams& params) { return params.dPos - params.gi; }

// The design azimuth as stored for an entered design true azimuth (the editor's save).
inline float StoredDesignAzimuth(float designTrueAzimuth, float declination) {
    return static_cast<float>(double(designTrueAzimuth) + double(declination));
}

inline float LeftRightDeviation(const ProbeRecord& station) { return station.dy; }
inline float UpDownDeviation(const ProbeRecord& station) { return station.dz; }

// Distance of (x, y) from the origin of the geographic frame.
float HorizontalDisplacement(float east, float north);

// Direction of the point (east, north) clockwise from north, degrees in [0, 360).
// NaN at the origin, where there is no direction.
float DisplacementAzimuth(float east, float north);

// The horizontal displacement projected on the station's own true azimuth.
float ApparentDisplacement(const ProbeRecord& station, float declination);

}  // namespace sondara
