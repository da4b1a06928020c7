// Probe downloads over a pseudo-terminal against sondara-sim.
//
// Paced: 500 processed records at 9600 baud; the download's time against the line
// time of every byte the probe sends (bytes × 10 / 9600 s), reported as `ratio`.
// Unpaced: 100,000 records as fast as the terminal carries them, every record
// checked to have arrived; throughput in MB/s, and `ratio` against the same bytes
// merely drained from the same terminal in the same run.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstring>
#include <optional>
#include <variant>

#include "device/frames.h"
#include "device/instrument_line.h"
#include "sim_survey.h"
#include "tests/support/recorded_messages.h"

namespace {

using namespace sondara;

constexpr std::size_t kHeaderBytes = 14, kCalibrationBytes = 32 * 44, kRecordBytes = 53;

class Sim {
public:
    explicit Sim(QStringList args) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(SONDARA_SIM_PATH, QStringList{"--no-link", "--role", "probe"} + args);
        while (device_.empty() && process_.waitForReadyRead(10000)) {
            const auto m = QRegularExpression("(/dev/pts/\\d+)").match(QString::fromUtf8(process_.readAll()));
            if (m.hasMatch()) device_ = m.captured(1).toStdString();
        }
    }
    ~Sim() {
        process_.terminate();
        process_.waitForFinished(3000);
    }
    const std::string& device() const { return device_; }

private:
    QProcess process_;
    std::string device_;
};

// One full probe download (calibration, then history); seconds, or -1 on failure.
double Download(const std::string& device, std::size_t records) {
    SurveyStore store;
    InstrumentLine line(store);
    if (!line.link().OpenDevice(device)) return -1;
    bool complete = false, finished = false;
    QObject::connect(&line, &InstrumentLine::deviceEvent, [&](const DeviceEvent& e) {
        if (const auto* d = std::get_if<DownloadFinished>(&e)) {
            finished = true;
            complete = d->complete();
        }
    });
    QElapsedTimer clock;
    clock.start();
    line.session().probe().StartHistoryDownload();
    if (!line.RunUntil([&] { return finished; }, 600000) || !complete) return -1;
    const double seconds = clock.nsecsElapsed() / 1e9;
    return store.m_probeRecords.size() == records ? seconds : -1;
}

void BM_PacedDownload500(benchmark::State& state) {
    constexpr std::size_t kRecords = 500;
    Sim sim({"--pace", "--probe-records", QString::number(kRecords)});
    const double lineSeconds = (kCalibrationBytes + kHeaderBytes + kRecords * kRecordBytes) * 10.0 / 9600.0;
    double total = 0;
    for (auto _ : state) {
        const double s = Download(sim.device(), kRecords);
        if (s < 0) {
            state.SkipWithError("download failed");
            return;
        }
        state.SetIterationTime(s);
        total += s;
    }
    state.counters["line_s"] = lineSeconds;
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / lineSeconds;
}
BENCHMARK(BM_PacedDownload500)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

constexpr std::size_t kManyRecords = 100000;
double g_drainSeconds = 0;

// Baseline: the same history bytes read off the terminal and thrown away.
void BM_DrainHistory100k(benchmark::State& state) {
    Sim sim({"--probe-records", QString::number(kManyRecords)});
    const std::size_t bytes = kHeaderBytes + kManyRecords * kRecordBytes;
    for (auto _ : state) {
        SerialLink link;
        if (!link.OpenDevice(sim.device())) {
            state.SkipWithError("cannot open");
            return;
        }
        std::size_t got = 0;
        QObject::connect(&link, &SerialLink::dataReceived, [&] { got += link.ReadAll().size(); });
        const Bytes command = HexTextToBytes(CommandText(Instrument::Probe, DeviceCommand::ReadHistory));
        QElapsedTimer clock;
        clock.start();
        link.WriteBytes(command.data(), static_cast<int>(command.size()));
        while (got < bytes && clock.elapsed() < 600000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        g_drainSeconds = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(g_drainSeconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
}
BENCHMARK(BM_DrainHistory100k)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_UnpacedDownload100k(benchmark::State& state) {
    Sim sim({"--probe-records", QString::number(kManyRecords)});
    const std::size_t bytes = kCalibrationBytes + kHeaderBytes + kManyRecords * kRecordBytes;
    double total = 0;
    for (auto _ : state) {
        const double s = Download(sim.device(), kManyRecords);
        if (s < 0) {
            state.SkipWithError("records lost or download incomplete");
            return;
        }
        state.SetIterationTime(s);
        total += s;
    }
    const double seconds = total / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.counters["MB_per_s"] = bytes / seconds / 1e6;
    if (g_drainSeconds > 0) state.counters["ratio_to_drain"] = seconds / g_drainSeconds;
}
BENCHMARK(BM_UnpacedDownload100k)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// A bad cable: one bit error per `rate` bytes (some frames fail their check and are
// lost, a few pass it with two errors that cancel). One row per instrument and seed:
// what was announced, stored, named missing by the first download, stored wrong
// (should be 0), and how many downloads it took to complete by filling in.
void BM_BitErrors(benchmark::State& state) {
    const bool probe = state.range(0) == 0;
    const double rate = 1.0 / static_cast<double>(state.range(1));
    const int seed = static_cast<int>(state.range(2));
    constexpr int kRecords = 2000;
    Sim sim({"--role", probe ? "probe" : "sync", "--records", QString::number(kRecords), "--bit-errors",
             QString::number(rate), "--seed", QString::number(seed)});
    const sim::SimSurvey want = sim::GenerateSurvey(kRecords, kRecords, 3);
    for (auto _ : state) {
        SurveyStore store;
        InstrumentLine line(store);
        if (!line.link().OpenDevice(sim.device())) {
            state.SkipWithError("cannot open");
            return;
        }
        int wrong = 0, finished = 0, failed = 0;
        std::optional<DownloadFinished> first, last;
        QObject::connect(&line, &InstrumentLine::deviceEvent, [&](const DeviceEvent& e) {
            if (const auto* r = std::get_if<RecordStored>(&e)) {
                if (probe) {
                    ProbeRecord expected = want.probe[r->number];
                    expected.volt = 0;
                    const ProbeRecord& got = store.m_probeRecords[r->index];
                    expected.idx = got.idx;
                    wrong += got.idx != int(r->number) || std::memcmp(&got, &expected, sizeof got) != 0;
                } else {
                    wrong +=
                        std::memcmp(&store.m_syncRecords[r->index], &want.sync[r->number], sizeof(SyncRecord)) != 0;
                }
            } else if (const auto* d = std::get_if<DownloadFinished>(&e)) {
                ++finished;
                if (!first) first = *d;
                last = *d;
            } else if (std::holds_alternative<Failed>(e)) {
                ++failed;
            }
        });
        RecordedMessages quiet;
        int downloads = 0;
        while ((!last || !last->complete()) && downloads < 20) {
            const int before = finished + failed;
            if (probe)
                line.session().probe().StartHistoryDownload(downloads > 0);
            else
                line.session().sync().StartHistoryDownload(downloads > 0);
            ++downloads;
            // A lost calibration block or header stalls or times out that attempt.
            if (!line.RunUntil([&] { return finished + failed > before; }, 15000)) line.session().CancelDownload();
        }
        state.counters["announced"] = first ? first->announced : 0;
        state.counters["stored_first"] = first ? first->stored : 0;
        state.counters["missing_named"] = first ? first->missingCount : 0;
        state.counters["named_ok"] = first && first->stored + first->skipped + first->missingCount == first->announced;
        state.counters["wrong_stored"] = wrong;
        state.counters["downloads"] = downloads;
        state.counters["complete"] = last && last->complete();
    }
}
BENCHMARK(BM_BitErrors)
    ->ArgsProduct({{0, 1}, {1000}, {1, 2, 3, 4, 5, 6}})
    ->ArgNames({"probe0_sync1", "rate_1_in", "seed"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
