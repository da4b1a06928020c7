#include <gtest/gtest.h>

#include "core/stations.h"

namespace sondara {
namespace {

std::vector<ProbeRecord> WithFlags(std::initializer_list<int> flags) {
    std::vector<ProbeRecord> records;
    for (int f : flags) {
        ProbeRecord r;
        r.flag = f;
        records.push_back(r);
    }
    return records;
}

TEST(Stations, QueriesCountAndLocateStationsAndSampledRecords) {
    const auto records = WithFlags({0, kStation, kSampled, kSampled | kStation, 0, kStation, 4});
    EXPECT_EQ(CountStations(records), 3);
    EXPECT_EQ(CountSampled(records), 2);
    EXPECT_EQ(StationOrdinal(records, 1), 0);
    EXPECT_EQ(StationOrdinal(records, 3), 1);
    EXPECT_EQ(StationOrdinal(records, 5), 2);
    EXPECT_EQ(StationOrdinal(records, 2), -1);  // not a station
    EXPECT_EQ(StationOrdinal(records, 7), -1);  // past the end
    EXPECT_EQ(StationOrdinal(records, -1), -1);
    EXPECT_EQ(IndexOfStation(records, 0), 1);
    EXPECT_EQ(IndexOfStation(records, 2), 5);
    EXPECT_EQ(IndexOfStation(records, 3), -1);
    EXPECT_EQ(IndexOfStation(records, -1), -1);
    EXPECT_EQ(IndexOfSampled(records, 1), 3);
    EXPECT_EQ(IndexOfSampled(records, 2), -1);
    EXPECT_EQ(CountStations({}), 0);
}

}  // namespace
}  // namespace sondara
