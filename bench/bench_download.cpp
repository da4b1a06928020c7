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

#include "core/messages.h"
#include "device/frames.h"
#include "device/instrument_line.h"

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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
