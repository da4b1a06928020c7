#pragma once
// Field values of the stations of one hole. Total gravity is the same everywhere on
// earth to well within a percent, so it is held against 1 g; the total field and the
// dip change from mine to mine, so each station is held against its own hole's median.
// Steel nearby (rig, casing) bends the field and the dip; a shaken or failing sensor
// moves total gravity. A flagged station is only flagged: nothing is removed.

#include <vector>

#include "core/records.h"

namespace sondara {

struct FieldTolerances {
    double gravity = 0.02;         // |GT - 1| above this is flagged, in g
    double fieldFraction = 0.02;   // |MT - median| above this share of the median
    double dipDegrees = 1.0;       // |DIP - median|, degrees
    int minStationsForMedian = 3;  // fewer stations give no median worth comparing to
};

enum StationFlag : unsigned {
    kFlagGravity = 1,  // total gravity outside 1 g ± tolerance
    kFlagField = 2,    // total field off the hole's median
    kFlagDip = 4,      // dip off the hole's median
    kFlagDogleg = 8,   // dogleg severity above its limit
};

// The stored dip as a signed angle: the probe folds -49 degrees into 311.
double SignedDip(float dip);

// Field flags for every station of `records`, in station order (0 for no fault). A
// station with neither total gravity nor total field (both exactly 0: values the file
// never had) is not judged.
std::vector<unsigned> CheckFieldValues(const std::vector<ProbeRecord>& records, const FieldTolerances& tolerances = {});

}  // namespace sondara
