// Hole assembly on a realistic run: 200,000 probe samples 2 s apart and 4,000
// synchronizer records (one per rod) over 40 holes. The fast assembly against the
// plain scan, after checking that both give the same holes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "core/assembly.h"
#include "tests/support/assembly_reference.h"

namespace {

using namespace sondara;

const SurveyStore& RealisticRun() {
    static const SurveyStore store = [] {
        SurveyStore s;
        constexpr double kDay = 45352.0;
        constexpr int kSamples = 200000, kHoles = 40, kRodsPerHole = 100;
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> angle(-2, 2);
        for (int i = 0; i < kSamples; ++i) {
            ProbeRecord r;
            r.idx = i;
            r.inc = static_cast<float>(10 + angle(rng));
            r.azi = static_cast<float>(95 + angle(rng));
            r.time = {kDay + i * 2.0 / 86400.0, kTimeValid};
            s.m_probeRecords.push_back(r);
        }
        // A rod every 100 s; the probe sample 1 s later pairs with it.
        for (int k = 0; k < kHoles * kRodsPerHole; ++k) {
            SyncRecord r;
            r.idx = k;
            r.flag = 3;
            r.hole = 1 + k / kRodsPerHole;
            r.time = {kDay + (k * 100.0 + 99.0) / 86400.0, kTimeValid};
            s.m_syncRecords.push_back(r);
        }
        SurveyStore fast = s, reference = s;
        AssembleHoles(fast);
        AssembleHolesReference(reference);
        bool same = fast.m_holes.size() == reference.m_holes.size();
        for (std::size_t h = 0; same && h < fast.m_holes.size(); ++h) {
            const auto& a = fast.m_holes[h].records;
            const auto& b = reference.m_holes[h].records;
            same = a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(ProbeRecord)) == 0;
        }
        if (!same) {
            std::fprintf(stderr, "fast and reference assembly differ\n");
            std::exit(1);
        }
        std::fprintf(stderr, "%zu holes, checked equal\n", fast.m_holes.size());
        return s;
    }();
    return store;
}

void BM_AssembleHoles(benchmark::State& state) {
    SurveyStore store = RealisticRun();
    for (auto _ : state) benchmark::DoNotOptimize(AssembleHoles(store));
}
BENCHMARK(BM_AssembleHoles)->Unit(benchmark::kMillisecond);

void BM_AssembleHolesReference(benchmark::State& state) {
    SurveyStore store = RealisticRun();
    for (auto _ : state) benchmark::DoNotOptimize(AssembleHolesReference(store));
}
BENCHMARK(BM_AssembleHolesReference)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
