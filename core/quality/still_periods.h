#pragma once
// Still periods of the probe stream: while a rod is added the probe stands still, so
// consecutive samples repeat their angles and field values within the sensor noise.
// Drilling turns the probe (tool face) and shakes it (every channel), so no run of
// quiet samples survives it for long.

#include <cstddef>
#include <vector>

#include "core/records.h"

namespace sondara {

// How much two consecutive samples may differ and still count as one standing probe.
// The defaults sit several times above the noise of a standing probe (a few hundredths
// of a degree, a few thousandths of g) and far below what one turn of the drill string
// or its vibration does to the same channels.
struct StillThresholds {
    double incDegrees = 0.2;
    double aziDegrees = 0.5;       // azimuth and tool face are not compared when the hole
    double toolFaceDegrees = 1.0;  // is within 10 degrees of vertical, where they are unstable
    double gravity = 0.005;        // total gravity, in g
    double fieldFraction = 0.005;  // total field, as a fraction of its value
    double dipDegrees = 0.3;
    double maxGapSeconds = 20;  // a longer silence between samples ends a period
    double minSeconds = 10;     // a rod change takes longer than a shorter pause
    int minSamples = 3;
};

// A run of standing samples, as indices into the probe records and times on the
// probe's own clock (seconds on a linear scale, see LinearSeconds).
struct StillPeriod {
    std::size_t first = 0, last = 0;
    double start = 0, end = 0;
    int samples = 0;
};

// The still periods of `probe`, in time order. A single sample that breaks a run
// already long enough to count, while its neighbours agree, is a spike and is skipped.
std::vector<StillPeriod> FindStillPeriods(const std::vector<ProbeRecord>& probe, const StillThresholds& limits = {});

}  // namespace sondara
