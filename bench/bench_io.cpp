// Load and save of a survey data file with 1,000,000 probe records (88 MB), each
// against the plain baseline measured in the same run: reading the same file into
// memory (the load checks the integrity trailer on the way), and writing the same
// bytes to a new file (with and without fsync, since the save flushes its temporary
// file before renaming it over the target).
//
// Memory: the JSON import of a 200,000-record survey and the Excel export of
// 1,000,000 stations each run in a child process whose peak resident size above
// its start is the counter "peak_MB"; "ratio" sets it against the JSON file's size,
// and the Excel export's time stands beside BM_SaveStations, the survey data file
// of the same stations.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "io/excel_export.h"
#include "io/json_import.h"
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

// ---- Memory of the JSON import and the Excel export -----------------------------

// A figure of /proc/self/status, in kB.
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
    }
    return 0;
}

// Runs `work` in a child process; returns how far its resident size rose above
// where it started (MB), or -1 when the work failed.
template <class Work>
double PeakMbInChild(Work work) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        const long start = StatusKb("VmRSS:");
        const bool ok = work();
        const double peak = ok ? (StatusKb("VmHWM:") - start) / 1024.0 : -1;
        (void)!::write(fds[1], &peak, sizeof peak);
        ::_exit(0);
    }
    ::close(fds[1]);
    double peak = -1;
    if (::read(fds[0], &peak, sizeof peak) != sizeof peak) peak = -1;
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return peak;
}

// A JSON survey of 200,000 probe records and 200,000 synchronizer samples in 20
// holes, written as text straight to the file (so building it costs no memory).
const std::string& JsonFile() {
    static const ScratchFile file{ScratchPath("big.json")};
    static const bool written = [] {
        std::FILE* f = std::fopen(file.path.c_str(), "w");
        constexpr int kRecords = 200000, kHoles = 20;
        std::fprintf(f, "{\"gi\": 4.5, \"probe\": [\n");
        for (int i = 0; i < kRecords; ++i) {
            std::fprintf(f,
                         "%s{\"idx\":%d,\"flag\":0,\"inc\":%.2f,\"azi\":%.2f,\"tmp\":21.5,\"GTF\":12.5,\"MTF\":"
                         "40.25,\"DIP\":52.3,\"GT\":1.0002,\"MT\":0.5487,\"volt\":3.61,\"depth\":0,\"time\":%d,"
                         "\"x\":0,\"y\":0,\"z\":0,\"dx\":0,\"dy\":0,\"dz\":0}\n",
                         i == 0 ? "" : ",", i, 3.0 + (i % 100) * 0.01, 40.0 + (i % 360) * 0.5, 1709251205 + 60 * i);
        }
        std::fprintf(f, "], \"sampler\": [\n");
        for (int h = 0; h < kHoles; ++h) {
            std::fprintf(f,
                         "%s{\"name\":\"K%d\",\"pbLen\":1.5,\"dDip\":3,\"dPos\":45,\"x0\":0,\"y0\":0,\"z0\":0,"
                         "\"e0\":0,\"n0\":0,\"d0\":0,\"samples\":[",
                         h == 0 ? "" : ",", h + 1);
            for (int k = 0; k < kRecords / kHoles; ++k) {
                const int i = h * (kRecords / kHoles) + k;
                std::fprintf(f, "%s{\"t\":%d,\"i\":%d}", k == 0 ? "" : ",", 1709251200 + 60 * i, k % 50 == 0 ? 1 : 0);
            }
            std::fprintf(f, "]}\n");
        }
        std::fprintf(f, "]}\n");
        return std::fclose(f) == 0;
    }();
    (void)written;
    return file.path;
}

void BM_JsonImportMemory(benchmark::State& state) {
    const std::string& path = JsonFile();
    const double fileMb = std::filesystem::file_size(path) / (1024.0 * 1024.0);
    double peak = 0;
    for (auto _ : state) {
        peak = PeakMbInChild([&] {
            SurveyStore store;
            return ImportJsonFile(store, path).ok() && store.m_probeRecords.size() == 200000;
        });
        if (peak < 0) state.SkipWithError("import failed");
    }
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = peak;
    state.counters["ratio"] = peak / fileMb;
}

// 1,000,000 stations in 10 holes, as computed holes hold them.
const SurveyStore& StationSurvey() {
    static const SurveyStore store = [] {
        SurveyStore s;
        for (int h = 0; h < 10; ++h) {
            HoleSurvey hole;
            hole.name = u"K" + std::u16string(1, char16_t(u'0' + h));
            hole.gi = 4.5f;
            hole.dPos = 49.5f;
            hole.records.resize(100000);
            for (int i = 0; i < 100000; ++i) {
                ProbeRecord& r = hole.records[i];
                r.flag = kSampled | kStation;
                r.depth = 1.5f * i;
                r.inc = 3.0f + (i % 100) * 0.01f;
                r.azi = 45.0f + (i % 360) * 0.5f;
                r.time = {45352.0 + i / 1440.0, kTimeValid};
                r.x = 0.9f * i;
                r.y = 1.1f * i;
                r.z = -0.05f * i;
                r.dy = 0.01f * (i % 77);
                r.dz = -0.02f * (i % 33);
            }
            s.m_holes.push_back(std::move(hole));
        }
        return s;
    }();
    return store;
}

void BM_ExcelExport(benchmark::State& state) {
    const SurveyStore& store = StationSurvey();
    const std::string path = ScratchPath("stations.xlsx");
    const double surveyMb = SurveyFileBytes(store).size() / (1024.0 * 1024.0);
    double peak = 0;
    for (auto _ : state) {
        peak = PeakMbInChild([&] { return ExportExcel(store, path).ok(); });
        if (peak < 0) state.SkipWithError("export failed");
    }
    std::filesystem::remove(path);
    state.counters["survey_MB"] = surveyMb;
    state.counters["peak_MB"] = peak;
    state.counters["limit_MB"] = 3 * surveyMb + 60;
}

void BM_SaveStations(benchmark::State& state) {
    const SurveyStore& store = StationSurvey();
    const std::string path = ScratchPath("stations.bhx");
    for (auto _ : state) {
        if (!SaveSurveyFile(store, path)) state.SkipWithError("save failed");
    }
    std::filesystem::remove(path);
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadSurveyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveSurveyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JsonImportMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_SaveStations)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExcelExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
