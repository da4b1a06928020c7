// The quality checks of a whole run against assembling it, in the same run: 40 holes
// of 100 rods (4,000 key presses) and the probe stream a run of that length gives at
// one sample every 2 s (about 225,000 samples, stops and drilling). The checks should
// cost no more than twice the assembly; the ratio is printed at the end.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "core/assembly.h"
#include "core/quality/survey_quality.h"
#include "core/survey_pipeline.h"
#include "sim_stream.h"

namespace {

using namespace sondara;

const SurveyStore& LongRun() {
    static const SurveyStore store = [] {
        sim::StreamOptions o;
        o.holes = 40;
        o.rodsPerHole = 100;
        o.clockOffsetSeconds = 8;
        o.missedKeys = {150, 2250};
        o.extraKeys = {1234};
        const sim::StreamSurvey s = sim::GenerateStreamSurvey(o);
        SurveyStore run;
        run.m_probeRecords = s.records.probe;
        run.m_syncRecords = s.records.sync;
        run.m_holeParams.resize(o.holes + 1);
        for (HoleParams& p : run.m_holeParams) {
            p.name.assign(1, u'孔');  // any name: the hole has parameters
            p.pbLen = 1.5f;
        }
        Recompute(run, SurveyChange::Loaded);
        std::fprintf(stderr, "%zu probe samples, %zu key presses, %zu holes\n", run.m_probeRecords.size(),
                     run.m_syncRecords.size(), run.m_holes.size());
        return run;
    }();
    return store;
}

void BM_AssembleHoles(benchmark::State& state) {
    SurveyStore store = LongRun();
    for (auto _ : state) benchmark::DoNotOptimize(AssembleHoles(store));
}
BENCHMARK(BM_AssembleHoles)->Unit(benchmark::kMillisecond);

void BM_QualityChecks(benchmark::State& state) {
    const SurveyStore& store = LongRun();
    for (auto _ : state) {
        const QualityReport report = CheckSurveyQuality(store);
        benchmark::DoNotOptimize(report.rodKeys.size());
        if (!report.clock.clear() || report.rodKeys.size() != 3) state.SkipWithError("the checks missed a fault");
    }
}
BENCHMARK(BM_QualityChecks)->Unit(benchmark::kMillisecond);

// A million records in ten holes, every fourth a station: the per-station checks
// (field values, doglegs, both end points) against the depth and trajectory passes
// over the same stations.
SurveyStore& ManyStations() {
    static SurveyStore store = [] {
        SurveyStore s;
        constexpr int kRecords = 1'000'000, kHoles = 10;
        for (int h = 0; h < kHoles; ++h) {
            HoleSurvey hole;
            hole.name.assign(1, u'K');
            hole.pbLen = 1.5f;
            for (int i = 0; i < kRecords / kHoles; ++i) {
                ProbeRecord r;
                r.flag = i % 4 == 0 ? kSampled | kStation : 0;
                r.inc = -5.0f + 0.25f * static_cast<float>(i % 40);
                r.azi = 120.0f + 0.5f * static_cast<float>(i % 60);
                r.GT = 1.0f;
                r.MT = 0.5f;
                r.DIP = 45.0f;
                r.time = {45352.0 + (h * kRecords / kHoles + i) / 86400.0, kTimeValid};
                hole.records.push_back(r);
            }
            s.m_holes.push_back(std::move(hole));
        }
        Recompute(s, SurveyChange::TrajectoryCommand);
        return s;
    }();
    return store;
}

void BM_DepthAndTrajectoryPasses(benchmark::State& state) {
    SurveyStore& store = ManyStations();
    for (auto _ : state) Recompute(store, SurveyChange::TrajectoryCommand);
}
BENCHMARK(BM_DepthAndTrajectoryPasses)->Unit(benchmark::kMillisecond);

void BM_StationChecks(benchmark::State& state) {
    const SurveyStore& store = ManyStations();
    for (auto _ : state) benchmark::DoNotOptimize(CheckSurveyQuality(store).holes.size());
}
BENCHMARK(BM_StationChecks)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double assembly = seconds_["BM_AssembleHoles"], checks = seconds_["BM_QualityChecks"];
        if (assembly > 0 && checks > 0) std::printf("quality checks / assembly: %.2f\n", checks / assembly);
        const double passes = seconds_["BM_DepthAndTrajectoryPasses"], stations = seconds_["BM_StationChecks"];
        if (passes > 0 && stations > 0)
            std::printf("checks of 250,000 stations / depth and trajectory passes: %.2f\n", stations / passes);
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
