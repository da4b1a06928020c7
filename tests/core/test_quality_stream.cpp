// The quality checks on probe streams from the simulator's generator: what really
// happened (clock offset, missed and extra key presses, a stop near steel) is known,
// so the checks are held against the truth, and so are the corrections they offer.

#include <gtest/gtest.h>

#include <cmath>

#include "core/quality/corrections.h"
#include "core/quality/survey_quality.h"
#include "core/stations.h"
#include "core/survey_pipeline.h"
#include "sim_stream.h"

namespace sondara {
namespace {

constexpr float kRod = 1.5f;

SurveyStore Assembled(const sim::StreamSurvey& s) {
    SurveyStore store;
    store.m_probeRecords = s.records.probe;
    store.m_syncRecords = s.records.sync;
    const int holes = 1 + s.rods.back().hole;
    // m_holes[0] holds what comes before the first key press; holes 1.. are the holes.
    store.m_holeParams.resize(holes + 1);
    for (int h = 0; h <= holes; ++h) {
        store.m_holeParams[h].name = u"孔" + std::u16string(1, static_cast<char16_t>(u'0' + h));
        store.m_holeParams[h].pbLen = kRod;
    }
    Recompute(store, SurveyChange::Loaded);
    return store;
}

// Every hole has one station per rod, at the rod's depth with the rod's angles.
void ExpectStationsMatchTruth(const SurveyStore& store, const sim::StreamSurvey& truth) {
    for (const sim::StreamRod& rod : truth.rods) {
        const auto& records = store.m_holes.at(rod.hole + 1).records;
        const int i = IndexOfStation(records, rod.rod);
        ASSERT_GE(i, 0) << "hole " << rod.hole << " rod " << rod.rod;
        EXPECT_FLOAT_EQ(records[i].depth, rod.rod * kRod) << "hole " << rod.hole << " rod " << rod.rod;
        EXPECT_NEAR(records[i].inc, rod.inc, 0.15) << "hole " << rod.hole << " rod " << rod.rod;
        EXPECT_NEAR(records[i].azi, rod.azi, 0.3) << "hole " << rod.hole << " rod " << rod.rod;
    }
    for (int h = 1; h < static_cast<int>(store.m_holes.size()); ++h)
        EXPECT_EQ(CountStations(store.m_holes[h].records), truth.rods.size() / (store.m_holes.size() - 1)) << h;
}

TEST(StillPeriods, EveryStopIsFoundAndNoDrilling) {
    sim::StreamOptions o;
    const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    const std::vector<StillPeriod> found = FindStillPeriods(s.records.probe);
    // Each rod's stop plus three stops on the way out of each hole, nothing while drilling.
    ASSERT_EQ(found.size(), s.rods.size() + 3u * o.holes);
    std::size_t k = 0;
    for (const sim::StreamRod& rod : s.rods) {
        while (k < found.size() && found[k].end < s.origin + rod.stillStart) ++k;
        ASSERT_LT(k, found.size());
        // The first and last standing samples lie within one sampling interval of the stop's
        // ends, and their times within the second the probe's clock shows.
        EXPECT_NEAR(found[k].start, s.origin + rod.stillStart, o.sampleSeconds + 1);
        EXPECT_NEAR(found[k].end, s.origin + rod.stillEnd, o.sampleSeconds + 1);
    }
}

TEST(StillPeriods, OneSpikeDoesNotSplitAStop) {
    sim::StreamOptions o;
    o.holes = 1;
    o.rodsPerHole = 4;
    sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    const std::size_t before = FindStillPeriods(s.records.probe).size();
    const StillPeriod stop = FindStillPeriods(s.records.probe)[1];
    s.records.probe[(stop.first + stop.last) / 2].GT += 0.2f;  // one shaken reading
    EXPECT_EQ(FindStillPeriods(s.records.probe).size(), before);
}

struct OffsetCase {
    double offset;
};

class ClockOffset : public testing::TestWithParam<OffsetCase> {};

TEST_P(ClockOffset, FoundWithinASecondAndApplyingItRestoresThePairing) {
    sim::StreamOptions o;
    o.clockOffsetSeconds = GetParam().offset;
    const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    SurveyStore store = Assembled(s);
    const QualityReport report = CheckSurveyQuality(store);
    ASSERT_TRUE(report.clock.clear()) << static_cast<int>(report.clock.verdict);
    EXPECT_NEAR(report.clock.offsetSeconds, o.clockOffsetSeconds, 1.0);
    EXPECT_GT(report.clock.confidence, 0.3);
    EXPECT_EQ(report.clock.inStill, report.clock.keyPresses);
    EXPECT_TRUE(report.rodKeys.empty());
    EXPECT_EQ(report.ClockOffsetWorthApplying(QualityOptions{}), std::fabs(o.clockOffsetSeconds) > 3);

    ApplyClockOffset(store, report.clock.offsetSeconds);
    ExpectStationsMatchTruth(store, s);
    const QualityReport after = CheckSurveyQuality(store);
    ASSERT_TRUE(after.clock.clear());
    EXPECT_NEAR(after.clock.offsetSeconds, 0, 1.0);
    EXPECT_EQ(after.unpairedSyncRecords, 0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, ClockOffset,
                         testing::Values(OffsetCase{0}, OffsetCase{8}, OffsetCase{-8}, OffsetCase{25},
                                         OffsetCase{-25}));

TEST(ClockOffset, TwentySecondsApartPairsRodsWithDrillingSamples) {
    // The fault the check exists for: the trajectory looks plausible, the stations are not
    // the stops, and a good share of the rods find no sample at all.
    sim::StreamOptions o;
    o.clockOffsetSeconds = 20;
    const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    const QualityReport report = CheckSurveyQuality(Assembled(s));
    EXPECT_LT(report.clock.inStillAtZero, report.clock.keyPresses / 2);
    EXPECT_TRUE(report.ClockOffsetWorthApplying(QualityOptions{}));
    EXPECT_GT(report.FindingCount(QualityOptions{}), 0);
}

TEST(ClockOffset, NoClearEstimateIsSaidRatherThanGuessed) {
    // One sample per rod: no stop to be seen.
    const sim::SimSurvey plain = sim::GenerateSurvey(120, 120, 3);
    EXPECT_EQ(EstimateClockOffset(plain.sync, FindStillPeriods(plain.probe)).verdict,
              ClockOffsetVerdict::NoStillPeriods);

    // Stops and rods like clockwork, 60 s apart, the keys pressed while drilling by the
    // clocks as they are: every whole rod later fits as well.
    std::vector<StillPeriod> stops;
    std::vector<SyncRecord> keys;
    for (int i = 0; i < 40; ++i) {
        stops.push_back({0, 0, 1e6 + i * 60.0, 1e6 + i * 60.0 + 20, 10});
        SyncRecord k;
        k.time = OleTimeFromLinearSeconds(1e6 + i * 60.0 + 40);
        keys.push_back(k);
    }
    EXPECT_EQ(EstimateClockOffset(keys, stops).verdict, ClockOffsetVerdict::Ambiguous);
    // The same rhythm with the keys in the stops: the clocks as they are fit best, and
    // that settles it.
    for (SyncRecord& k : keys) k.time = OleTimeFromLinearSeconds(LinearSeconds(k.time) - 30);
    const ClockOffsetEstimate settled = EstimateClockOffset(keys, stops);
    EXPECT_TRUE(settled.clear());
    EXPECT_NEAR(settled.offsetSeconds, 0, 1e-6);

    // Key presses that fall anywhere: hardly any offset puts most of them in a stop.
    for (int i = 0; i < 40; ++i) keys[i].time = OleTimeFromLinearSeconds(1e6 + i * 60.0 + 10 + (i * 37) % 53);
    stops.resize(40);
    for (int i = 0; i < 40; ++i)
        stops[i] = {0, 0, 1e6 + i * 60.0 + (i * 17) % 40, 1e6 + i * 60.0 + (i * 17) % 40 + 3, 3};
    const ClockOffsetEstimate scattered = EstimateClockOffset(keys, stops);
    EXPECT_FALSE(scattered.clear());

    EXPECT_EQ(EstimateClockOffset(std::vector<SyncRecord>(keys.begin(), keys.begin() + 2), stops).verdict,
              ClockOffsetVerdict::TooFewKeyPresses);
}

TEST(RodKeys, MissedAndExtraPressesFoundAtTheirStopsAndCorrected) {
    sim::StreamOptions o;
    o.clockOffsetSeconds = 8;  // the corrections must hold on unapplied clocks too
    o.missedKeys = {12};       // hole 0, rod 12
    o.extraKeys = {47};        // hole 1, rod 17
    const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    SurveyStore store = Assembled(s);
    const QualityReport report = CheckSurveyQuality(store);
    ASSERT_TRUE(report.clock.clear());
    ASSERT_EQ(report.rodKeys.size(), 2u);

    const RodKeyFinding& missed = report.rodKeys[0];
    EXPECT_EQ(missed.fault, RodKeyFault::Missed);
    EXPECT_EQ(missed.hole, 1);
    EXPECT_NEAR(missed.still.start, s.origin + s.rods[12].stillStart + o.clockOffsetSeconds, o.sampleSeconds);
    EXPECT_EQ(missed.firstAffected, 12);  // rod 12 and every later one are one rod too shallow
    EXPECT_EQ(missed.affected, o.rodsPerHole - 1 - 12);

    const RodKeyFinding& extra = report.rodKeys[1];
    EXPECT_EQ(extra.fault, RodKeyFault::Extra);
    EXPECT_EQ(extra.hole, 2);
    EXPECT_NEAR(extra.still.start, s.origin + s.rods[47].stillStart + o.clockOffsetSeconds, o.sampleSeconds);
    EXPECT_EQ(extra.firstAffected, 18);  // the second press at rod 17 is station 18
    EXPECT_EQ(extra.affected, o.rodsPerHole + 1 - 18);

    // One edit at a time, each on findings of the records as they are.
    ASSERT_TRUE(ApplyRodKeyFinding(store, missed));
    const QualityReport between = CheckSurveyQuality(store);
    ASSERT_EQ(between.rodKeys.size(), 1u);
    EXPECT_FALSE(ApplyRodKeyFinding(store, extra)) << "stale: the insert moved the records after it";
    ASSERT_TRUE(ApplyRodKeyFinding(store, between.rodKeys[0]));
    ApplyClockOffset(store, CheckSurveyQuality(store).clock.offsetSeconds);
    ExpectStationsMatchTruth(store, s);
    EXPECT_TRUE(CheckSurveyQuality(store).rodKeys.empty());
}

TEST(RodKeys, StopsOnTheWayOutAndBetweenHolesAreNotMissedRods) {
    sim::StreamOptions o;
    const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    const std::vector<StillPeriod> stops = FindStillPeriods(s.records.probe);
    EXPECT_TRUE(FindRodKeyFaults(Assembled(s), stops, 0).empty());
}

TEST(RodKeys, RemovingAnExtraPressKeepsItsStratumMark) {
    // Ten rods: a rod later fits nearly as well, but the clocks as they are fit best.
    sim::StreamOptions o;
    o.holes = 1;
    o.rodsPerHole = 10;
    o.extraKeys = {4};
    sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
    s.records.sync[5].mark = kMarkCoal;  // the second press at rod 4 carries the coal mark
    SurveyStore store = Assembled(s);
    const QualityReport report = CheckSurveyQuality(store);
    ASSERT_TRUE(report.clock.clear()) << static_cast<int>(report.clock.verdict) << " " << report.clock.inStill << " "
                                      << report.clock.runnerUp << " " << report.clock.keyPresses;
    ASSERT_EQ(report.rodKeys.size(), 1u);
    ASSERT_EQ(report.rodKeys[0].syncIndex, 5);
    ASSERT_TRUE(ApplyRodKeyFinding(store, report.rodKeys[0]));
    EXPECT_EQ(store.m_syncRecords.size(), 10u);
    EXPECT_EQ(store.m_syncRecords[4].mark, kMarkCoal);
}

TEST(FieldValues, TheStopNearSteelIsFlaggedAndNoOtherStation) {
    sim::StreamOptions o;
    o.noisyStation = 33;  // hole 1, rod 3
    const SurveyStore store = Assembled(sim::GenerateStreamSurvey(o));
    const QualityReport report = CheckSurveyQuality(store);
    EXPECT_EQ(report.FlaggedStations(), 1);
    const StationQuality& s = report.holes[2].stations[3];
    EXPECT_EQ(s.flags, kFlagGravity | kFlagField | kFlagDip);
    EXPECT_EQ(report.FindingCount(QualityOptions{}), 1);
}

TEST(FieldValues, Tolerances) {
    struct Case {
        float gt, mt, dip;
        unsigned flags;
    };
    // Four good stations around MT 0.5 and dip -49 (stored 311), then the one judged.
    const Case cases[] = {
        {1.0f, 0.5f, 311.0f, 0},
        {1.019f, 0.509f, 311.9f, 0},
        {1.021f, 0.5f, 311.0f, kFlagGravity},
        {0.97f, 0.5f, 311.0f, kFlagGravity},
        {1.0f, 0.511f, 311.0f, kFlagField},
        {1.0f, 0.489f, 311.0f, kFlagField},
        {1.0f, 0.5f, 312.1f, kFlagDip},
        {1.0f, 0.5f, 309.9f, kFlagDip},
        {NAN, 0.5f, 311.0f, kFlagGravity},
        {0.0f, 0.0f, 0.0f, 0},  // no field values at all: not judged
    };
    for (const Case& c : cases) {
        std::vector<ProbeRecord> records(5);
        for (ProbeRecord& r : records) {
            r.flag = kSampled | kStation;
            r.GT = 1.0f;
            r.MT = 0.5f;
            r.DIP = 311.0f;
        }
        records[1].DIP = 310.9f;
        records[2].DIP = 311.1f;
        records[4].GT = c.gt;
        records[4].MT = c.mt;
        records[4].DIP = c.dip;
        EXPECT_EQ(CheckFieldValues(records).back(), c.flags) << c.gt << " " << c.mt << " " << c.dip;
    }
    // Two stations give no median: only gravity is judged.
    std::vector<ProbeRecord> two(2);
    for (ProbeRecord& r : two) {
        r.flag = kStation;
        r.GT = 1.5f;
        r.MT = 0.9f;
        r.DIP = 300.0f;
    }
    EXPECT_EQ(CheckFieldValues(two), (std::vector<unsigned>{kFlagGravity, kFlagGravity}));
}

}  // namespace
}  // namespace sondara
