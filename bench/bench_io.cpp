// Load and save of a survey data file with 1,000,000 probe records (88 MB), each
// against the plain baseline measured in the same run: reading the same file into
// memory, and writing the same bytes to a new file (with and without fsync, since
// the save flushes its temporary file before renaming it over the target).

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/messages.h"
#include "io/survey_file.h"

namespace {

using namespace sondara;

constexpr int kProbeRecords = 1000000;

// A survey as a long run leaves it: the probe records, and holes already computed
// (so the load takes them as they are).
const SurveyStore& BigSurvey() {
    static const SurveyStore store = [] {
        SurveyStore s;
        s.m_probeRecords.resize(kProbeRecords);
        for (int i = 0; i < kProbeRecords; ++i) {
            s.m_probeRecords[i].idx = i;
            s.m_probeRecords[i].inc = static_cast<float>(i % 90);
            s.m_probeRecords[i].time = {45352.0 + i / 86400.0, kTimeValid};
        }
        s.m_syncRecords.resize(2000);
        s.m_holeParams.resize(20);
        s.m_holes.resize(20);
        for (HoleSurvey& h : s.m_holes) {
            h.name.assign(1, u'K');
            h.records.resize(100);
        }
        return s;
    }();
    return store;
}

std::string ScratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("sondara-bench-") + name)).string();
}

// The saved survey, removed again when the program ends (it is 88 MB).
struct ScratchFile {
    std::string path;
    ~ScratchFile() { std::filesystem::remove(path); }
};

const std::string& BigFile() {
    static const ScratchFile file{ScratchPath("big.bhx")};
    static const bool saved = SaveSurveyFile(BigSurvey(), file.path).ok();
    (void)saved;
    return file.path;
}

void BM_PlainRead(benchmark::State& state) {
    const std::string& path = BigFile();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        struct stat st {};
        ::fstat(::fileno(f), &st);
        std::vector<char> bytes(static_cast<std::size_t>(st.st_size));
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("short read");
        std::fclose(f);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_LoadSurveyFile(benchmark::State& state) {
    const std::string& path = BigFile();
    for (auto _ : state) {
        SurveyStore store;
        if (!OpenSurveyFiles(store, {path}).ok() || store.m_probeRecords.size() != kProbeRecords) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(store.m_probeRecords.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void PlainWrite(benchmark::State& state, bool sync) {
    const std::string bytes = SurveyFileBytes(BigSurvey());
    const std::string path = ScratchPath("plain.bhx");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("short write");
        std::fflush(f);
        if (sync) ::fsync(::fileno(f));
        std::fclose(f);
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_PlainWrite(benchmark::State& state) { PlainWrite(state, false); }
void BM_PlainWriteSynced(benchmark::State& state) { PlainWrite(state, true); }

void BM_SaveSurveyFile(benchmark::State& state) {
    const SurveyStore& store = BigSurvey();
    const std::string path = ScratchPath("saved.bhx");
    for (auto _ : state) {
        if (!SaveSurveyFile(store, path)) state.SkipWithError("save failed");
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(SurveyFileBytes(store).size()));
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadSurveyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveSurveyFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
