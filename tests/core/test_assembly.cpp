#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/assembly.h"
#include "tests/support/assembly_reference.h"
#include "tests/core/survey_builders.h"

namespace sondara {
namespace {

using test::Probe;
using test::Sync;

SurveyStore StoreOf(std::vector<ProbeRecord> probes, std::vector<SyncRecord> syncs) {
    SurveyStore store;
    store.m_probeRecords = std::move(probes);
    store.m_syncRecords = std::move(syncs);
    return store;
}

// The sample times (as probe record numbers) of each hole.
std::vector<std::vector<int>> HoleContents(const SurveyStore& store) {
    std::vector<std::vector<int>> holes;
    for (const HoleSurvey& h : store.m_holes) {
        holes.emplace_back();
        for (const ProbeRecord& r : h.records)
            holes.back().push_back(static_cast<int>(std::lround((r.time.dt - test::kBaseDay) * 86400)));
    }
    return holes;
}

std::vector<std::vector<int>> ProbeNumbers(const SurveyStore& store) {
    std::vector<std::vector<int>> holes;
    for (const HoleSurvey& h : store.m_holes) {
        holes.emplace_back();
        for (const ProbeRecord& r : h.records) holes.back().push_back(r.idx);
    }
    return holes;
}

TEST(Assembly, NoProbeRecords_GiveNoHoles) {
    SurveyStore store = StoreOf({}, {Sync(0, 1)});
    store.m_holes.resize(2);
    EXPECT_EQ(AssembleHoles(store), 0);
    EXPECT_TRUE(store.m_holes.empty());
}

TEST(Assembly, NoSyncRecords_GiveOneHoleOfAllValidSamples) {
    ProbeRecord flagged = Probe(10);
    flagged.flag = kStation;
    SurveyStore store = StoreOf({Probe(0), Probe(5, kTimeInvalid), flagged, Probe(20, kTimeNull)}, {});
    ASSERT_EQ(AssembleHoles(store), 1);
    ASSERT_EQ(store.m_holes.size(), 1u);
    const auto& records = store.m_holes[0].records;
    ASSERT_EQ(records.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(records[i].idx, i);  // the invalid one leaves no gap
    EXPECT_EQ(records[1].flag, kStation);                      // own flags kept
    EXPECT_EQ(records[2].time.status, kTimeNull);
    EXPECT_TRUE(store.m_holes[0].name.empty());
}

TEST(Assembly, HoleNumbersSteppingUp_StartHolesAfterTheUnpairedLead) {
    SurveyStore store = StoreOf(
        {Probe(0), Probe(5), Probe(11), Probe(16), Probe(21), Probe(31), Probe(41), Probe(51), Probe(61), Probe(66)},
        {Sync(10, 1, kMarkCoal), Sync(20, 1), Sync(30, 1), Sync(40, 2, kMarkRock), Sync(50, 2), Sync(60, 3)});
    ASSERT_EQ(AssembleHoles(store), 1);
    // Paired samples take the synchronizer's time; unpaired ones keep their own.
    EXPECT_EQ(HoleContents(store), (std::vector<std::vector<int>>{{0, 5}, {10, 16, 20, 30}, {40, 50}, {60, 66}}));
    const auto& hole1 = store.m_holes[1].records;
    EXPECT_EQ(hole1[0].flag, kSampled | kStation);
    EXPECT_EQ(hole1[0].mark, kMarkCoal);
    EXPECT_EQ(hole1[1].flag, 0);
    EXPECT_EQ(store.m_holes[2].records[0].mark, kMarkRock);
    for (const auto& hole : store.m_holes)
        for (int i = 0; i < static_cast<int>(hole.records.size()); ++i) EXPECT_EQ(hole.records[i].idx, i);
}

TEST(Assembly, StepDownContinuesTheHole_AndTheFirstHoleMayBeEmpty) {
    SurveyStore store =
        StoreOf({Probe(11), Probe(21), Probe(31), Probe(41)}, {Sync(10, 1), Sync(20, 2), Sync(30, 1), Sync(40, 2)});
    AssembleHoles(store);
    EXPECT_EQ(HoleContents(store), (std::vector<std::vector<int>>{{}, {10}, {20, 30}, {40}}));
}

TEST(Assembly, FirstHoleNumberOtherThanOne_JoinsTheFirstHole) {
    SurveyStore store =
        StoreOf({Probe(11), Probe(21), Probe(31), Probe(41)}, {Sync(10, 5), Sync(20, 5), Sync(30, 6), Sync(40, 8)});
    AssembleHoles(store);
    EXPECT_EQ(HoleContents(store), (std::vector<std::vector<int>>{{10, 20}, {30, 40}}));
}

TEST(Assembly, PairingWindow_IsThirteenSecondsBackAndHalfASecondAhead) {
    struct Case {
        double syncOffset;
        bool pairs;
    };
    const Case cases[] = {{-12.9, true}, {-13.0, false}, {-12.999, true}, {0.0, true},
                          {0.4, true},   {0.6, false},   {0.5, false},    {-20, false}};
    for (const Case& c : cases) {
        SurveyStore store = StoreOf({Probe(100)}, {Sync(100 + c.syncOffset, 1)});
        AssembleHoles(store);
        const ProbeRecord& r = store.m_holes.back().records.at(0);
        EXPECT_EQ(r.flag == (kSampled | kStation), c.pairs) << c.syncOffset;
    }
}

TEST(Assembly, EachSyncRecordPairsOnce_AndTheScanNeverGoesBack) {
    SurveyStore once = StoreOf({Probe(5), Probe(7)}, {Sync(0, 1)});
    AssembleHoles(once);
    EXPECT_EQ(once.m_holes[1].records[0].flag, kSampled | kStation);
    EXPECT_EQ(once.m_holes[1].records[1].flag, 0);

    // The scan passes a record that is too late and goes on; that record is then gone for good.
    SurveyStore passed = StoreOf({Probe(10), Probe(100)}, {Sync(100, 2), Sync(5, 1)});
    AssembleHoles(passed);
    EXPECT_EQ(HoleContents(passed), (std::vector<std::vector<int>>{{}, {5, 100}}));
    EXPECT_EQ(passed.m_holes[1].records[1].flag, 0);
}

TEST(Assembly, NullAndInvalidTimes_NeverPair) {
    SurveyStore store = StoreOf({Probe(10, kTimeNull), Probe(40), Probe(60)},
                                {Sync(9, 1), Sync(39, 1, kMarkNone, kTimeNull), Sync(59, 1, kMarkNone, kTimeInvalid)});
    AssembleHoles(store);
    ASSERT_EQ(store.m_holes.size(), 1u);
    for (const auto& r : store.m_holes[0].records) EXPECT_EQ(r.flag, 0);
    EXPECT_EQ(ProbeNumbers(store), (std::vector<std::vector<int>>{{0, 1, 2}}));
}

// Random surveys with the awkward parts real data has now and then: repeated and
// unsorted times, invalid and null times, fractional seconds, hole numbers that jump,
// repeat and step down.
SurveyStore RandomSurvey(std::mt19937& rng, int maxProbes, int maxSyncs) {
    std::uniform_int_distribution<int> count(0, maxProbes), syncCount(0, maxSyncs), percent(0, 99);
    std::uniform_real_distribution<double> jitter(-20, 20);
    auto status = [&] {
        const int p = percent(rng);
        return p < 5 ? kTimeInvalid : p < 10 ? kTimeNull : kTimeValid;
    };
    auto seconds = [&](double& clock) {
        const int p = percent(rng);
        if (p < 10) return clock + jitter(rng);                                 // out of order
        if (p < 20) return clock;                                               // repeated
        clock += p < 60 ? std::floor(percent(rng) / 8.0) : percent(rng) / 7.0;  // whole or fractional steps
        return clock;
    };
    SurveyStore store;
    double clock = 0;
    for (int i = count(rng); i > 0; --i) {
        ProbeRecord r = Probe(0);
        r.time = test::At(seconds(clock), status());
        r.flag = percent(rng) % 4;
        r.mark = percent(rng) % 3;
        r.inc = static_cast<float>(percent(rng));
        store.m_probeRecords.push_back(r);
    }
    clock = 0;
    int hole = percent(rng) < 80 ? 1 : percent(rng) % 4;
    for (int i = syncCount(rng); i > 0; --i) {
        const int p = percent(rng);
        hole += p < 50 ? 0 : p < 85 ? 1 : p < 92 ? -1 : 3;
        store.m_syncRecords.push_back(Sync(seconds(clock), hole, percent(rng) % 3, status()));
        store.m_syncRecords.back().flag = percent(rng) < 90 ? 3 : percent(rng) % 4;
    }
    return store;
}

void ExpectSameHoles(const SurveyStore& fast, const SurveyStore& reference) {
    ASSERT_EQ(fast.m_holes.size(), reference.m_holes.size());
    for (std::size_t h = 0; h < fast.m_holes.size(); ++h) {
        const auto& a = fast.m_holes[h].records;
        const auto& b = reference.m_holes[h].records;
        ASSERT_EQ(a.size(), b.size()) << "hole " << h;
        EXPECT_TRUE(test::SameRecordBytes(a, b)) << "hole " << h;
        EXPECT_EQ(fast.m_holes[h].params(), reference.m_holes[h].params());
    }
}

TEST(Assembly, FastAssembly_EqualsTheReferenceScanOnRandomSurveys) {
    std::mt19937 rng(20261210);
    for (int run = 0; run < 3000; ++run) {
        SurveyStore fast = RandomSurvey(rng, run % 10 == 0 ? 400 : 40, run % 10 == 0 ? 200 : 25);
        SurveyStore reference = fast;
        ASSERT_EQ(AssembleHoles(fast), AssembleHolesReference(reference));
        ExpectSameHoles(fast, reference);
        if (HasFatalFailure() || HasNonfatalFailure()) FAIL() << "run " << run;
    }
}

TEST(Assembly, FastAssembly_EqualsTheReferenceScanAroundTheWindowEdges) {
    // Times on a millisecond grid right at the edges of the window.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> ms(-14000, 1000);
    for (int run = 0; run < 500; ++run) {
        SurveyStore fast;
        for (int i = 0; i < 20; ++i) fast.m_probeRecords.push_back(Probe(i * 3.0));
        for (int i = 0; i < 30; ++i) fast.m_syncRecords.push_back(Sync(i * 2.0 + ms(rng) / 1000.0, 1 + i / 5));
        SurveyStore reference = fast;
        AssembleHoles(fast);
        AssembleHolesReference(reference);
        ExpectSameHoles(fast, reference);
    }
}

}  // namespace
}  // namespace sondara
