#pragma once
// How far the mean-angle method of the trajectory pass strays from minimum curvature
// (a circular arc between two stations), and how sharply the hole bends at each
// station. With short rods the two methods agree to a hair; with stations far apart
// and large changes of angle the mean-angle error grows.

#include <optional>
#include <vector>

#include "core/records.h"

namespace sondara {

struct EastNorthUp {
    double e = 0, n = 0, d = 0;  // east, north, vertical (upward), as the station's x, y, z
};

// Inclinations from the horizontal (upward positive), azimuths clockwise from north.
double DoglegDegrees(double inc1, double azi1, double inc2, double azi2);

// One minimum-curvature step of `length` between two stations.
EastNorthUp MinimumCurvatureStep(double inc1, double azi1, double inc2, double azi2, double length);

// Dogleg severity in degrees per 30 m for every station of `records`, in station order:
// the bend from the previous station over the depth between them; none for the first
// station or where the depth does not grow.
std::vector<std::optional<double>> DoglegSeverities(const std::vector<ProbeRecord>& records);

struct MethodComparison {
    EastNorthUp meanAngleEnd;         // the last station as the trajectory pass computes it
    EastNorthUp minimumCurvatureEnd;  // the same stations and depths by minimum curvature
    double distance = 0;              // between the two end points, metres
    double length = 0;                // depth of the last station minus the start depth
};

// Both end points from the hole's start point through its stations at the depths the
// depth pass gave them; nothing for a hole without parameters or stations.
std::optional<MethodComparison> CompareWithMinimumCurvature(const HoleSurvey& hole);

// Both of the above in one pass over the hole, each station's direction computed once.
struct MethodCheck {
    std::vector<std::optional<double>> doglegs;
    std::optional<MethodComparison> comparison;
};
MethodCheck CheckMethod(const HoleSurvey& hole);

}  // namespace sondara
