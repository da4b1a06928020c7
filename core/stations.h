#pragma once
// Queries over the record sequence of one hole.

#include <vector>

#include "records.h"

namespace sondara {

inline bool IsStation(const ProbeRecord& r) { return (r.flag & kStation) != 0; }
inline bool IsSampled(const ProbeRecord& r) { return (r.flag & kSampled) != 0; }

int CountStations(const std::vector<ProbeRecord>& records);
int CountSampled(const std::vector<ProbeRecord>& records);

// The 0-based position of record i among the stations, or -1 when i lies past the
// end or record i is not a station.
int StationOrdinal(const std::vector<ProbeRecord>& records, int i);

// The record index of the station with ordinal n, or -1 when there are not that many.
int IndexOfStation(const std::vector<ProbeRecord>& records, int n);

// The record index of the sampled record with ordinal n, or -1.
int IndexOfSampled(const std::vector<ProbeRecord>& records, int n);

}  // namespace sondara
