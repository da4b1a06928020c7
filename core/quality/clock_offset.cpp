#include "clock_offset.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sondara {

namespace {

std::vector<double> KeyTimes(const std::vector<SyncRecord>& sync) {
    std::vector<double> keys;
    keys.reserve(sync.size());
    for (const SyncRecord& s : sync) {
        if (UsableTime(s.time)) keys.push_back(LinearSeconds(s.time));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Periods are in time order and do not overlap: the first whose end is not before t.
std::size_t FirstEndingAtOrAfter(const std::vector<StillPeriod>& periods, double t) {
    return std::partition_point(periods.begin(), periods.end(), [t](const StillPeriod& p) { return p.end < t; }) -
           periods.begin();
}

double Quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    const auto k = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + k, values.end());
    return values[k];
}

// One piece of the count over offsets: `count` key presses are inside for [from, to).
struct Piece {
    double from, to;
    int count;
};

}  // namespace

int KeysInStillPeriods(const std::vector<double>& keys, const std::vector<StillPeriod>& periods, double offset) {
    int inside = 0;
    for (double key : keys) {
        const double t = key + offset;
        const std::size_t k = FirstEndingAtOrAfter(periods, t);
        if (k < periods.size() && periods[k].start <= t) ++inside;
    }
    return inside;
}

ClockOffsetEstimate EstimateClockOffset(const std::vector<SyncRecord>& sync, const std::vector<StillPeriod>& periods,
                                        const ClockOffsetOptions& options) {
    ClockOffsetEstimate e;
    if (periods.empty()) return e;
    const std::vector<double> keys = KeyTimes(sync);
    const double reach = options.searchSeconds;

    // Each key press is inside period k for offsets in [start - key, end - key]: a sweep
    // over those intervals gives the count for every offset at once.
    std::vector<std::pair<double, int>> events;
    for (double key : keys) {
        bool reached = false;
        for (std::size_t k = FirstEndingAtOrAfter(periods, key - reach);
             k < periods.size() && periods[k].start <= key + reach; ++k) {
            const double from = std::max(periods[k].start - key, -reach);
            const double to = std::min(periods[k].end - key, reach);
            if (from >= to) continue;
            events.emplace_back(from, 1);
            events.emplace_back(to, -1);
            reached = true;
        }
        if (reached) ++e.keyPresses;
    }
    e.inStillAtZero = KeysInStillPeriods(keys, periods, 0);
    e.verdict = ClockOffsetVerdict::TooFewKeyPresses;
    if (e.keyPresses < options.minKeyPresses) return e;

    std::sort(events.begin(), events.end());
    std::vector<Piece> pieces;
    int count = 0;
    for (std::size_t i = 0; i < events.size();) {
        const double at = events[i].first;
        for (; i < events.size() && events[i].first == at; ++i) count += events[i].second;
        if (i < events.size()) pieces.push_back({at, events[i].first, count});
    }
    int best = 0;
    for (const Piece& p : pieces) best = std::max(best, p.count);

    // Offsets a still period apart still catch the same key presses at the edges of
    // their periods; only what lies beyond that is a different alignment.
    std::vector<double> durations;
    for (const StillPeriod& p : periods) durations.push_back(p.end - p.start);
    const double apart = std::max(1.0, Quantile(durations, 0.9));

    // The best pieces, grouped where they lie within `apart` of each other.
    std::vector<std::pair<double, double>> groups;
    for (const Piece& p : pieces) {
        if (p.count != best) continue;
        if (!groups.empty() && p.from - groups.back().second <= apart)
            groups.back().second = p.to;
        else
            groups.emplace_back(p.from, p.to);
    }
    // Where the clocks as they are fit as well as anything, the data agree with the
    // instruments and no other alignment can be preferred to that.
    auto chosen =
        std::find_if(groups.begin(), groups.end(), [](const auto& g) { return g.first <= 0 && 0 < g.second; });
    const bool clocksFit = chosen != groups.end();
    if (!clocksFit) chosen = groups.begin();
    e.plateauStart = chosen->first;
    e.plateauEnd = chosen->second;
    e.offsetSeconds = (e.plateauStart + e.plateauEnd) / 2;
    e.inStill = best;
    for (const Piece& p : pieces) {
        if (p.to <= e.plateauStart - apart || p.from >= e.plateauEnd + apart)
            e.runnerUp = std::max(e.runnerUp, p.count);
    }
    e.confidence = static_cast<double>(best - e.runnerUp) / e.keyPresses;

    if (best < options.minInStillFraction * e.keyPresses)
        e.verdict = ClockOffsetVerdict::FewInStill;
    else if (clocksFit)
        e.verdict = ClockOffsetVerdict::Clear;
    else if (e.runnerUp > options.maxRunnerUpFraction * best)
        e.verdict = ClockOffsetVerdict::Ambiguous;
    else
        e.verdict = ClockOffsetVerdict::Clear;
    return e;
}

}  // namespace sondara
