#include "field_checks.h"

#include <algorithm>
#include <cmath>

#include "core/stations.h"

namespace sondara {

double SignedDip(float dip) { return dip > 180.0f ? dip - 360.0 : dip; }

namespace {

bool HasFieldValues(const ProbeRecord& r) { return r.GT != 0.0f || r.MT != 0.0f; }

double Median(std::vector<double> values) {
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    if (values.size() % 2) return values[mid];
    const double upper = values[mid];
    return (upper + *std::max_element(values.begin(), values.begin() + mid)) / 2;
}

}  // namespace

std::vector<unsigned> CheckFieldValues(const std::vector<ProbeRecord>& records, const FieldTolerances& tol) {
    std::vector<const ProbeRecord*> stations;
    for (const ProbeRecord& r : records) {
        if (IsStation(r)) stations.push_back(&r);
    }
    std::vector<double> fields, dips;
    for (const ProbeRecord* r : stations) {
        if (!HasFieldValues(*r) || !std::isfinite(r->MT) || !std::isfinite(r->DIP)) continue;
        fields.push_back(r->MT);
        dips.push_back(SignedDip(r->DIP));
    }
    const bool medians = static_cast<int>(fields.size()) >= tol.minStationsForMedian;
    const double field = medians ? Median(fields) : 0;
    const double dip = medians ? Median(dips) : 0;

    std::vector<unsigned> flags(stations.size(), 0);
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const ProbeRecord& r = *stations[i];
        if (!HasFieldValues(r)) continue;
        // Written so that a value that is not a number is flagged too.
        if (!(std::fabs(r.GT - 1.0) <= tol.gravity)) flags[i] |= kFlagGravity;
        if (!medians) continue;
        if (!(std::fabs(r.MT - field) <= tol.fieldFraction * std::fabs(field))) flags[i] |= kFlagField;
        if (!(std::fabs(SignedDip(r.DIP) - dip) <= tol.dipDegrees)) flags[i] |= kFlagDip;
    }
    return flags;
}

}  // namespace sondara
