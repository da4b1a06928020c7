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
