#include "rod_keys.h"

#include <algorithm>
#include <cmath>

#include "core/assembly.h"
#include "core/stations.h"

namespace sondara {

namespace {

struct Key {
    int index;     // in m_syncRecords
    double probe;  // its time on the probe clock
};

struct HoleKeys {
    int hole = 0, holeNumber = 0;
    std::vector<Key> keys;
};

// The holes assembly would cut from the key presses if each found its sample.
std::vector<HoleKeys> GroupByHole(const std::vector<SyncRecord>& sync, double offset) {
    std::vector<HoleKeys> holes;
    int position = 0, previous = 0;
    for (int j = 0; j < static_cast<int>(sync.size()); ++j) {
        const SyncRecord& s = sync[j];
        if (!UsableTime(s.time)) continue;
        if (StartsNextHole(previous, s.hole)) ++position;
        previous = s.hole;
        if (holes.empty() || holes.back().hole != position) holes.push_back({position, s.hole, {}});
        holes.back().keys.push_back({j, LinearSeconds(s.time) + offset});
    }
    return holes;
}

// The first station of `hole` whose time (the synchronizer time it was paired with) is
// at or after `syncTime`, and how many stations follow from it.
void MarkAffected(const SurveyStore& store, RodKeyFinding& f, double syncTime, bool atOrAfter) {
    if (f.hole < 0 || f.hole >= static_cast<int>(store.m_holes.size())) return;
    const auto& records = store.m_holes[f.hole].records;
    const int stations = CountStations(records);
    int ordinal = 0;
    for (const ProbeRecord& r : records) {
        if (!IsStation(r)) continue;
        if (UsableTime(r.time)) {
            const double t = LinearSeconds(r.time);
            if (atOrAfter ? t >= syncTime - 0.5 : t > syncTime) {
                f.firstAffected = ordinal;
                f.affected = stations - ordinal;
                return;
            }
        }
        ++ordinal;
    }
}

}  // namespace

std::vector<RodKeyFinding> FindRodKeyFaults(const SurveyStore& store, const std::vector<StillPeriod>& periods,
                                            double offset) {
    std::vector<RodKeyFinding> findings;
    const auto& sync = store.m_syncRecords;
    for (HoleKeys& h : GroupByHole(sync, offset)) {
        std::stable_sort(h.keys.begin(), h.keys.end(), [](const Key& a, const Key& b) { return a.probe < b.probe; });
        const double first = h.keys.front().probe, last = h.keys.back().probe;
        auto k = h.keys.begin();
        for (const StillPeriod& p : periods) {
            if (p.end + kKeySlackSeconds < first || p.start - kKeySlackSeconds > last) continue;
            while (k != h.keys.end() && k->probe < p.start - kKeySlackSeconds) ++k;
            auto inside = k;
            while (inside != h.keys.end() && inside->probe <= p.end + kKeySlackSeconds) ++inside;
            const auto presses = inside - k;
            if (presses == 0) {
                RodKeyFinding f;
                f.fault = RodKeyFault::Missed;
                f.hole = h.hole;
                f.holeNumber = h.holeNumber;
                f.still = p;
                // In the middle of the stop, on a whole second as the synchronizer writes,
                // so that a standing sample follows it within the pairing window.
                const Key& before = *(k - 1);  // the stop lies after the hole's first press
                const double syncTime = std::round(std::floor((p.start + p.end) / 2) - offset);
                f.key = sync[before.index];
                f.key.idx = sync[before.index].idx + 1;
                f.key.mark = kMarkNone;
                f.key.time = OleTimeFromLinearSeconds(syncTime);
                f.syncIndex = before.index + 1;
                MarkAffected(store, f, syncTime, false);
                findings.push_back(f);
            }
            for (auto extra = k + (presses > 0 ? 1 : 0); presses > 1 && extra != inside; ++extra) {
                RodKeyFinding f;
                f.fault = RodKeyFault::Extra;
                f.hole = h.hole;
                f.holeNumber = h.holeNumber;
                f.still = p;
                f.syncIndex = extra->index;
                f.key = sync[extra->index];
                MarkAffected(store, f, LinearSeconds(f.key.time), true);
                findings.push_back(f);
            }
            k = inside;
        }
    }
    return findings;
}

}  // namespace sondara
