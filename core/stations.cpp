#include "stations.h"

#include <algorithm>

namespace sondara {
namespace {

int IndexOfNth(const std::vector<ProbeRecord>& records, int n, bool (*matches)(const ProbeRecord&)) {
    if (n < 0) return -1;
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        if (matches(records[i]) && n-- == 0) return i;
    }
    return -1;
}

}  // namespace

int CountStations(const std::vector<ProbeRecord>& records) {
    return static_cast<int>(std::count_if(records.begin(), records.end(), IsStation));
}

int CountSampled(const std::vector<ProbeRecord>& records) {
    return static_cast<int>(std::count_if(records.begin(), records.end(), IsSampled));
}

int StationOrdinal(const std::vector<ProbeRecord>& records, int i) {
    if (i < 0 || i >= static_cast<int>(records.size()) || !IsStation(records[i])) return -1;
    return static_cast<int>(std::count_if(records.begin(), records.begin() + i, IsStation));
}

int IndexOfStation(const std::vector<ProbeRecord>& records, int n) { return IndexOfNth(records, n, IsStation); }

int IndexOfSampled(const std::vector<ProbeRecord>& records, int n) { return IndexOfNth(records, n, IsSampled); }

}  // namespace sondara
