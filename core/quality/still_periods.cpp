#include "still_periods.h"

#include <algorithm>
#include <cmath>

namespace sondara {

namespace {

double AngleGap(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

bool NearVertical(const ProbeRecord& r) { return std::fabs(r.inc) > 80.0f; }

bool Quiet(const ProbeRecord& a, const ProbeRecord& b, const StillThresholds& t) {
    const double gap = LinearSeconds(b.time) - LinearSeconds(a.time);
    if (!(gap > 0 && gap <= t.maxGapSeconds)) return false;
    if (!(std::fabs(b.inc - a.inc) <= t.incDegrees)) return false;
    if (!NearVertical(a) && !NearVertical(b)) {
        if (!(AngleGap(a.azi, b.azi) <= t.aziDegrees)) return false;
        if (!(AngleGap(a.GTF, b.GTF) <= t.toolFaceDegrees)) return false;
    }
    if (!(std::fabs(b.GT - a.GT) <= t.gravity)) return false;
    const double field = std::max(std::fabs(a.MT), std::fabs(b.MT));
    if (!(std::fabs(b.MT - a.MT) <= t.fieldFraction * field)) return false;
    return AngleGap(a.DIP, b.DIP) <= t.dipDegrees;
}

}  // namespace

std::vector<StillPeriod> FindStillPeriods(const std::vector<ProbeRecord>& probe, const StillThresholds& limits) {
    std::vector<std::size_t> usable;
    usable.reserve(probe.size());
    for (std::size_t i = 0; i < probe.size(); ++i) {
        if (UsableTime(probe[i].time)) usable.push_back(i);
    }
    std::vector<StillPeriod> periods;
    if (usable.empty()) return periods;

    StillPeriod run{usable[0], usable[0], 0, 0, 1};
    auto close = [&] {
        run.start = LinearSeconds(probe[run.first].time);
        run.end = LinearSeconds(probe[run.last].time);
        if (run.samples >= limits.minSamples && run.end - run.start >= limits.minSeconds) periods.push_back(run);
    };
    for (std::size_t k = 1; k < usable.size(); ++k) {
        const ProbeRecord& last = probe[run.last];
        const std::size_t i = usable[k];
        if (Quiet(last, probe[i], limits)) {
            run.last = i;
            ++run.samples;
            continue;
        }
        const bool spike =
            run.samples >= limits.minSamples && k + 1 < usable.size() && Quiet(last, probe[usable[k + 1]], limits);
        if (spike) continue;
        close();
        run = StillPeriod{i, i, 0, 0, 1};
    }
    close();
    // Samples merged from several files need not come in time order; the periods must.
    std::stable_sort(periods.begin(), periods.end(),
                     [](const StillPeriod& a, const StillPeriod& b) { return a.start < b.start; });
    return periods;
}

}  // namespace sondara
