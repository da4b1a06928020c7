#pragma once
// Small builders for survey records in tests.

#include <cstring>
#include <vector>

#include "core/records.h"

namespace sondara::test {

inline constexpr double kBaseDay = 45352.0;  // 2024-03-01

inline OleTime At(double seconds, std::int32_t status = kTimeValid) { return {kBaseDay + seconds / 86400.0, status}; }

inline ProbeRecord Probe(double seconds, std::int32_t status = kTimeValid) {
    ProbeRecord r;
    r.time = At(seconds, status);
    r.idx = static_cast<int>(seconds);
    return r;
}

inline SyncRecord Sync(double seconds, int hole, int mark = kMarkNone, std::int32_t status = kTimeValid) {
    SyncRecord s;
    s.flag = kSampled | kStation;
    s.hole = hole;
    s.time = At(seconds, status);
    s.mark = mark;
    return s;
}

inline ProbeRecord Station(float inc, float azi, int flag = kSampled | kStation) {
    ProbeRecord r;
    r.flag = flag;
    r.inc = inc;
    r.azi = azi;
    return r;
}

// Whether two record sequences hold the same bytes (empty ones included: memcmp may not
// be handed the null data pointer of an empty vector).
inline bool SameRecordBytes(const std::vector<ProbeRecord>& a, const std::vector<ProbeRecord>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(ProbeRecord)) == 0);
}

}  // namespace sondara::test
