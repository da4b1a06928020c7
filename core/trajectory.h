#pragma once
// Depths and coordinates of survey stations: a depth pass and a trajectory pass, each
// run per hole, against the design line and in the geographic frame.

#include "records.h"

namespace sondara {

inline constexpr char kNoHoleParams[] = "无该孔初始参数！";
inline constexpr char kNoHoleRecords[] = "无该孔测斜数据！";
inline constexpr char kNoSampledRecords[] = "无有效孔身数据！";

// Copies the parameters onto the holes by position; holes past the last entry keep theirs.
void ApplyHoleParams(SurveyStore& store);

// Gives every station the depth ordinal × rod length + X0 (0 when not positive), every
// other record 0; a record whose depth was set by hand (kHandDepth) keeps it, and
// still counts in the ordinals of the stations after it. Refuses a hole without a
// name or without records.
bool ComputeHoleDepths(HoleSurvey& hole);

// The point the trajectory pass steps from: the design direction at the start depth
// and the start coordinates in both frames.
ProbeRecord TrajectoryStartPoint(const HoleParams& hole);

// Steps from the start point through every station. Refuses a hole without a name,
// without records or without a sampled record.
bool ComputeHoleTrajectory(HoleSurvey& hole);

int ComputeAllDepths(SurveyStore& store);
int ComputeAllTrajectories(SurveyStore& store);

// The balanced tangential step from `prev` to `cur`: writes cur's dx, dy, dz, x, y, z.
// designInc is the design inclination, designAzi the design azimuth as stored.
void StepStation(const ProbeRecord& prev, ProbeRecord& cur, float designInc, float designAzi, float declination);

// The mean of two azimuths taken the short way round the circle.
float MeanAzimuth(float a, float b);

}  // namespace sondara
