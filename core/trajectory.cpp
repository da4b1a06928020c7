#include "trajectory.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "stations.h"

namespace sondara {

void ApplyHoleParams(SurveyStore& store) {
    const std::size_t n = std::min(store.m_holes.size(), store.m_holeParams.size());
    for (std::size_t i = 0; i < n; ++i) store.m_holes[i].params() = store.m_holeParams[i];
}

namespace {

// What both passes refuse: a hole without parameters or without records.
const char* CommonRefusal(const HoleSurvey& hole) {
    if (hole.name.empty()) return kNoHoleParams;
    if (hole.records.empty()) return kNoHoleRecords;
    return nullptr;
}

bool Refuse(HoleSurvey& hole, const char* why) {
    hole.error = why;
    return false;
}

}  // namespace

bool ComputeHoleDepths(HoleSurvey& hole) {
    if (const char* why = CommonRefusal(hole)) return Refuse(hole, why);
    int ordinal = 0;
    for (ProbeRecord& r : hole.records) {
        const bool handSet = (r.flag & kHandDepth) != 0;
        if (!handSet) r.depth = 0;
        if (!IsStation(r)) continue;
        const float depth = static_cast<float>(ordinal++) * hole.pbLen + hole.x0;
        if (!handSet) r.depth = depth > 0 ? depth : 0.0f;
    }
    hole.error.clear();
    return true;
}

float MeanAzimuth(float a, float b) {
    float mean = (a + b) / 2;
    // Two azimuths either side of north: the plain mean points the opposite way.
    if (std::fabs(b - a) > 180.0f) {
        mean += 180.0f;
        if (mean >= 360.0f) mean -= 360.0f;
    }
    return mean;
}

void StepStation(const ProbeRecord& prev, ProbeRecord& cur, float designInc, float designAzi, float declination) {
    const double length = cur.depth - prev.depth;
    const float meanInc = (prev.inc + cur.inc) / 2;
    const float meanAzi = MeanAzimuth(prev.azi, cur.azi);

    const float incOffDesign = meanInc - designInc;
    const float aziOffDesign = meanAzi - designAzi;
    cur.dx = static_cast<float>(prev.dx + length * std::cos(DegToRad(incOffDesign)) * std::cos(DegToRad(aziOffDesign)));
    cur.dy = static_cast<float>(prev.dy + length * std::cos(DegToRad(incOffDesign)) * std::sin(DegToRad(aziOffDesign)));
    cur.dz = static_cast<float>(prev.dz + length * std::sin(DegToRad(incOffDesign)));

    // A positive declination is west: the true azimuth is the magnetic one less it, as
    // the "真方位角" column and the stored design azimuth (true plus declination) have it.
    const float trueAzi = meanAzi - declination;
    cur.x = static_cast<float>(prev.x + length * std::cos(DegToRad(meanInc)) * std::sin(DegToRad(trueAzi)));
    cur.y = static_cast<float>(prev.y + length * std::cos(DegToRad(meanInc)) * std::cos(DegToRad(trueAzi)));
    cur.z = static_cast<float>(prev.z + length * std::sin(DegToRad(meanInc)));
}

ProbeRecord TrajectoryStartPoint(const HoleParams& hole) {
    ProbeRecord start;
    start.depth = hole.x0;
    start.inc = hole.dDip;
    start.azi = hole.dPos;
    start.x = hole.e0;
    start.y = hole.n0;
    start.z = hole.d0;
    start.dx = hole.x0;
    start.dy = hole.y0;
    start.dz = hole.z0;
    return start;
}

bool ComputeHoleTrajectory(HoleSurvey& hole) {
    if (const char* why = CommonRefusal(hole)) return Refuse(hole, why);
    if (CountSampled(hole.records) == 0) return Refuse(hole, kNoSampledRecords);
    const ProbeRecord start = TrajectoryStartPoint(hole);

    const ProbeRecord* prev = &start;
    for (ProbeRecord& r : hole.records) {
        if (!IsStation(r)) continue;
        StepStation(*prev, r, hole.dDip, hole.dPos, hole.gi);
        prev = &r;
    }
    hole.error.clear();
    return true;
}

int ComputeAllDepths(SurveyStore& store) {
    for (HoleSurvey& hole : store.m_holes) ComputeHoleDepths(hole);
    return static_cast<int>(store.m_holes.size());
}

int ComputeAllTrajectories(SurveyStore& store) {
    for (HoleSurvey& hole : store.m_holes) ComputeHoleTrajectory(hole);
    return static_cast<int>(store.m_holes.size());
}

}  // namespace sondara
