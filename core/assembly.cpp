#include "assembly.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "assembly_common.h"

namespace sondara {

namespace {

constexpr double kWindowMs = kPairingWindowSeconds * 1000.0;
constexpr double kAheadMs = 500.0;

// How much older the synchronizer record is than the sample, in whole milliseconds.
// For a fixed sample it never grows as the synchronizer time grows.
double AgeMilliseconds(double syncDays, double probeDays) { return std::round((probeDays - syncDays) * 86400000.0); }

}  // namespace

bool TimesPair(const OleTime& sync, const OleTime& probe) {
    if (!UsableTime(sync) || !UsableTime(probe)) return false;
    const double age = AgeMilliseconds(OleDateToLinearDays(sync.dt), OleDateToLinearDays(probe.dt));
    return age > -kAheadMs && age < kWindowMs;
}

namespace detail {

int BuildHoles(SurveyStore& store, const FindPair& findPair) {
    store.m_holes.clear();
    if (store.m_probeRecords.empty()) return 0;

    HoleSurvey current;
    int holeNumber = 0;
    int previousHoleNumber = 0;
    for (const ProbeRecord& probe : store.m_probeRecords) {
        if (probe.time.status == kTimeInvalid) continue;
        ProbeRecord r = probe;
        const int j = findPair(probe);
        if (j >= 0) {
            const SyncRecord& s = store.m_syncRecords[j];
            r.flag = s.flag;
            r.time = s.time;
            r.mark = s.mark;
            holeNumber = s.hole;
        }
        if (StartsNextHole(previousHoleNumber, holeNumber)) {
            store.m_holes.push_back(std::move(current));
            current = HoleSurvey{};
        }
        r.idx = static_cast<int>(current.records.size());
        current.records.push_back(r);
        previousHoleNumber = holeNumber;
    }
    store.m_holes.push_back(std::move(current));
    return 1;
}

}  // namespace detail

namespace {

// Minimum over a range of synchronizer indices held in time order, with removal, so
// that each sample finds the earliest remaining record inside its window in log time.
class EarliestIndexTree {
public:
    static constexpr int kNone = std::numeric_limits<int>::max();

    explicit EarliestIndexTree(const std::vector<int>& indices) : size_(indices.size()), nodes_(2 * size_, kNone) {
        for (std::size_t i = 0; i < size_; ++i) nodes_[size_ + i] = indices[i];
        for (std::size_t i = size_ - 1; i > 0 && size_ > 1; --i) nodes_[i] = std::min(nodes_[2 * i], nodes_[2 * i + 1]);
    }

    void Remove(std::size_t position) {
        std::size_t i = position + size_;
        nodes_[i] = kNone;
        for (i /= 2; i >= 1; i /= 2) nodes_[i] = std::min(nodes_[2 * i], nodes_[2 * i + 1]);
    }

    // The smallest index among positions [lo, hi).
    int Minimum(std::size_t lo, std::size_t hi) const {
        int best = kNone;
        for (lo += size_, hi += size_; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) best = std::min(best, nodes_[lo++]);
            if (hi & 1) best = std::min(best, nodes_[--hi]);
        }
        return best;
    }

private:
    std::size_t size_;
    std::vector<int> nodes_;
};

}  // namespace

int AssembleHoles(SurveyStore& store) {
    const std::vector<SyncRecord>& sync = store.m_syncRecords;

    // Only valid, finite synchronizer times can ever pair; order them by time.
    std::vector<int> byTime;
    for (int j = 0; j < static_cast<int>(sync.size()); ++j) {
        if (UsableTime(sync[j].time)) byTime.push_back(j);
    }
    std::vector<double> days(sync.size());
    for (int j : byTime) days[j] = OleDateToLinearDays(sync[j].time.dt);
    std::stable_sort(byTime.begin(), byTime.end(), [&](int a, int b) { return days[a] < days[b]; });
    std::vector<std::size_t> positionOf(sync.size());
    for (std::size_t p = 0; p < byTime.size(); ++p) positionOf[byTime[p]] = p;

    EarliestIndexTree tree(byTime);
    std::size_t scanStart = 0;  // records before it are passed over for good
    return detail::BuildHoles(store, [&](const ProbeRecord& probe) {
        if (!UsableTime(probe.time)) return -1;
        // The age falls as the synchronizer time rises, so the records inside the window
        // are one run of the time order: after those too old, before those too young.
        const double probeDays = OleDateToLinearDays(probe.time.dt);
        auto tooOld = [&](int j) { return AgeMilliseconds(days[j], probeDays) >= kWindowMs; };
        auto notTooYoung = [&](int j) { return AgeMilliseconds(days[j], probeDays) > -kAheadMs; };
        const auto lo = std::partition_point(byTime.begin(), byTime.end(), tooOld) - byTime.begin();
        const auto hi = std::partition_point(byTime.begin() + lo, byTime.end(), notTooYoung) - byTime.begin();
        const int j = tree.Minimum(lo, hi);
        if (j == EarliestIndexTree::kNone) return -1;
        for (; scanStart <= static_cast<std::size_t>(j); ++scanStart) {
            if (UsableTime(sync[scanStart].time)) tree.Remove(positionOf[scanStart]);
        }
        return j;
    });
}

}  // namespace sondara
