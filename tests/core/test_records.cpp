#include <gtest/gtest.h>

#include "core/records.h"

namespace sondara {
namespace {

TEST(Records, HoleParamsAssignedOntoAHole_LeaveRecordsAndErrorAlone) {
    HoleSurvey hole;
    hole.records.resize(3);
    hole.error = "x";
    HoleParams params;
    params.name = u"K1";
    params.pbLen = 1.5f;
    params.dDip = 10;
    hole.params() = params;
    EXPECT_EQ(hole.params(), params);
    EXPECT_EQ(hole.records.size(), 3u);
    EXPECT_EQ(hole.error, "x");
}

TEST(Records, NewHoleAndStore_AreEmpty) {
    const HoleSurvey hole;
    EXPECT_TRUE(hole.name.empty());
    EXPECT_EQ(hole.pbLen, 0);
    EXPECT_EQ(hole.dDip, 0);
    EXPECT_TRUE(hole.records.empty());
    EXPECT_TRUE(hole.error.empty());
    const SurveyStore store;
    EXPECT_TRUE(store.m_holes.empty() && store.m_probeRecords.empty() && store.m_syncRecords.empty() &&
                store.m_holeParams.empty());
}

}  // namespace
}  // namespace sondara
