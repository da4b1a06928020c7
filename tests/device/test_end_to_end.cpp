// The conversations against sondara-sim over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "core/time_seam.h"
#include "device/instrument_line.h"
#include "device/port_map.h"
#include "recording_view.h"
#include "tests/support/sim_process.h"
#include "sim_survey.h"
#include "tests/support/recorded_messages.h"

namespace sondara {
namespace {

using test::SimProcess;

constexpr int kRecords = 300;
constexpr int kHoles = 3;

QStringList SimArgs(QStringList extra) {
    QStringList args = {"--no-link", "--records", QString::number(kRecords), "--holes", QString::number(kHoles)};
    return args + extra;
}

// The line as the window drives it, its events recorded as the window shows them.
struct Watched {
    explicit Watched(SurveyStore& store) : line(store), view(store) {
        QObject::connect(&line, &InstrumentLine::deviceEvent, [this](const DeviceEvent& e) { view.Show(e); });
    }
    InstrumentSession& session() { return line.session(); }
    bool RunUntil(const std::function<bool()>& done, int timeoutMs) { return line.RunUntil(done, timeoutMs); }
    template <typename Event>
    bool RunUntilEvent(int timeoutMs, int count = 1) {
        return line.RunUntil([&] { return view.Count<Event>() >= count; }, timeoutMs);
    }
    InstrumentLine line;
    test::RecordingView view;
};

struct Line : Watched {
    explicit Line(QStringList simArgs) : Watched(store), sim(SimArgs(std::move(simArgs))) {
        if (!sim.device().empty()) open = line.link().OpenDevice(sim.device());
    }
    SurveyStore store;
    SimProcess sim;
    bool open = false;
    RecordedMessages messages;
};

// What the probe records must be after the download: the simulator's own, or for a
// raw probe its readings decoded through the table it sent.
std::vector<ProbeRecord> ExpectedProbeRecords(bool raw) {
    std::vector<ProbeRecord> records = sim::GenerateSurvey(kRecords, kRecords, kHoles).probe;
    const ProbeCalibration table = sim::SimulatorCalibration();
    for (ProbeRecord& r : records) {
        if (!raw) {
            r.volt = 0;  // processed records carry no voltage
            continue;
        }
        const sim::RawReadings readings = sim::RawReadingsFor(r);
        LiveValues live;
        live.tmp = static_cast<float>(readings.tmp10 * 0.1);
        for (int i = 0; i < 6; ++i) live.raw[i] = readings.raw[i];
        live.volt = static_cast<float>(readings.volt10 * 0.1);
        ComputeAttitude(table, live);
        live.inc -= 90;
        r.inc = live.inc, r.azi = live.azi, r.tmp = live.tmp, r.GTF = live.GTF, r.MTF = live.MTF;
        r.DIP = live.DIP, r.GT = live.GT, r.MT = live.MT, r.volt = live.volt;
    }
    return records;
}

void ExpectSameProbeRecords(const std::vector<ProbeRecord>& got, const std::vector<ProbeRecord>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].idx, want[i].idx);
        // Bit for bit: the same float arithmetic on the same bytes.
        for (auto field :
             {&ProbeRecord::inc, &ProbeRecord::azi, &ProbeRecord::tmp, &ProbeRecord::GTF, &ProbeRecord::MTF,
              &ProbeRecord::DIP, &ProbeRecord::GT, &ProbeRecord::MT, &ProbeRecord::volt})
            EXPECT_EQ(got[i].*field, want[i].*field);
        EXPECT_EQ(double(got[i].time.dt), double(want[i].time.dt));
        EXPECT_EQ(got[i].time.status, want[i].time.status);
    }
}

struct ProbeCase {
    const char* name;
    bool raw;
    QStringList line;
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

class ProbeDownload : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeDownload, Download_GivesExactlyTheSimulatorsRecords) {
    const ProbeCase& c = GetParam();
    QStringList args = c.line;
    if (c.raw) args << "--raw";
    Line line(args);
    ASSERT_TRUE(line.open);
    line.session().probe().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(30000));
    ExpectSameProbeRecords(line.store.m_probeRecords, ExpectedProbeRecords(c.raw));
    EXPECT_EQ(line.view.progress.back(), 100);
    EXPECT_EQ(line.view.status.back(), "数据读取完成");
    EXPECT_EQ(line.view.rowCount, kRecords);
    EXPECT_TRUE(line.messages.messages().empty());
    EXPECT_FALSE(line.line.TimerActive(DeviceTimer::Reply));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProbeDownload,
    ::testing::Values(ProbeCase{"Processed", false, {}}, ProbeCase{"Raw", true, {}},
                      ProbeCase{"ProcessedNoisyBrokenSplit",
                                false,
                                {"--noise", "9", "--noise-every", "3", "--corrupt", "7", "--split", "11"}},
                      ProbeCase{"RawNoisyBrokenSplit", true, {"--noise", "5", "--corrupt", "4", "--split", "17"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(EndToEnd, SyncThenProbeDownload_AssemblesTheHoles) {
    Line line({"--noise", "6", "--corrupt", "5", "--split", "13"});
    ASSERT_TRUE(line.open);
    line.session().sync().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(30000));
    const std::vector<SyncRecord> want = sim::GenerateSurvey(kRecords, kRecords, kHoles).sync;
    ASSERT_EQ(line.store.m_syncRecords.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(line.store.m_syncRecords[i].hole, want[i].hole) << i;
        EXPECT_EQ(line.store.m_syncRecords[i].idx, want[i].idx) << i;
        EXPECT_EQ(double(line.store.m_syncRecords[i].time.dt), double(want[i].time.dt)) << i;
        EXPECT_EQ(line.store.m_syncRecords[i].flag, 3);
    }
    EXPECT_TRUE(line.store.m_holes.empty());

    line.session().probe().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(30000, 2));
    EXPECT_EQ(line.store.m_holes.size(), static_cast<std::size_t>(kHoles));
    EXPECT_EQ(line.view.holeRowFills, 1);
    EXPECT_EQ(line.view.rowCount, kRecords);
}

TEST(EndToEnd, SurveyFromAJsonFile_IsWhatBothDownloadsGive) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/survey.json";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    auto probe = [](double inc, double azi, std::int64_t time) {
        return QString(R"({"idx":9,"flag":0,"inc":%1,"azi":%2,"tmp":21.5,"GTF":10,"MTF":20,"DIP":45.5,"GT":1,)"
                       R"("MT":0.5,"volt":3.5,"depth":0,"time":%3,"x":0,"y":0,"z":0,"dx":0,"dy":0,"dz":0})")
            .arg(inc)
            .arg(azi)
            .arg(time);
    };
    const std::int64_t t0 = 1709280000;
    file.write(QString(R"({"gi":0,"probe":[%1,%2],"sampler":[{"name":"K1","pbLen":3,"dDip":0,"dPos":0,)"
                       R"("x0":0,"y0":0,"z0":0,"e0":0,"n0":0,"d0":0,"samples":[{"t":%3},{"t":%4}]}]})")
                   .arg(probe(1.5, 120.25, t0 + 5), probe(-2.25, 121.5, t0 + 45))
                   .arg(t0)
                   .arg(t0 + 40)
                   .toUtf8());
    file.close();
    Line line({"--json", path});
    ASSERT_TRUE(line.open);
    line.session().sync().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(10000));
    line.session().probe().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(10000, 2));

    const std::vector<ProbeRecord>& p = line.store.m_probeRecords;
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].idx, 0);  // the position on the wire, not the file's idx
    EXPECT_EQ(p[1].idx, 1);
    EXPECT_EQ(p[0].inc, 1.5f);
    EXPECT_EQ(p[1].inc, -2.25f);
    EXPECT_EQ(p[1].azi, 121.5f);
    EXPECT_EQ(p[0].tmp, 21.5f);
    EXPECT_EQ(double(p[1].time.dt), OleTimeFromUnixSeconds(t0 + 45).dt);
    const std::vector<SyncRecord>& s = line.store.m_syncRecords;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1].hole, 0);
    EXPECT_EQ(s[1].idx, 1);
    EXPECT_EQ(double(s[1].time.dt), OleTimeFromUnixSeconds(t0 + 40).dt);
    EXPECT_EQ(line.store.m_holes.size(), 1u);
}

// A record lost in the middle is named when the last one arrives; a lost last record
// when the line has been quiet for the quiet-line time. Either way what arrived is
// kept exactly, and a second download fills in only what is missing.
TEST(EndToEnd, LostRecords_AreNamedAndASecondDownloadFillsThemIn) {
    for (const int lost : {17, kRecords - 1}) {
        SCOPED_TRACE(lost);
        Line line({"--role", "probe", "--drop-once", QString::number(lost)});
        ASSERT_TRUE(line.open);
        line.session().probe().StartHistoryDownload();
        ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(30000));
        const DownloadFinished done = *line.view.Last<DownloadFinished>();
        EXPECT_EQ(done.end, lost == kRecords - 1 ? DownloadEnd::QuietLine : DownloadEnd::LastNumber);
        EXPECT_EQ(done.missing, std::vector<std::uint32_t>{std::uint32_t(lost)});
        EXPECT_EQ(done.stored, std::uint32_t(kRecords - 1));
        EXPECT_EQ(line.view.status.back(), kIncompleteStatus);
        ASSERT_EQ(line.messages.messages().size(), 1u);
        EXPECT_NE(line.messages.messages()[0].text.find("缺少1条（编号 " + std::to_string(lost) + "）"),
                  std::string::npos)
            << line.messages.messages()[0].text;
        std::vector<ProbeRecord> want = ExpectedProbeRecords(false);
        std::vector<ProbeRecord> arrived = want;
        arrived.erase(arrived.begin() + lost);
        ExpectSameProbeRecords(line.store.m_probeRecords, arrived);
        EXPECT_EQ(line.view.rows.size(), std::size_t(kRecords - 1));

        line.session().probe().StartHistoryDownload(true);
        ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(30000, 2));
        EXPECT_TRUE(line.view.Last<DownloadFinished>()->complete());
        ExpectSameProbeRecords(line.store.m_probeRecords, want);
        EXPECT_EQ(line.view.status.back(), "数据读取完成");
        EXPECT_EQ(line.view.rows.size(), std::size_t(kRecords));
        EXPECT_EQ(line.view.rows[std::size_t(lost)], "P" + std::to_string(lost));
    }
}

TEST(EndToEnd, SilentInstrument_TimesOut) {
    Line line({"--silent"});
    ASSERT_TRUE(line.open);
    line.session().sync().TestConnection();
    ASSERT_TRUE(line.RunUntilEvent<Failed>(10000));
    ASSERT_EQ(line.messages.messages().size(), 1u);
    EXPECT_EQ(line.messages.messages()[0].text, "超时，无返回数据");
    EXPECT_EQ(line.view.status.back(), "任务失败");
}

TEST(EndToEnd, TestConnection_ShowsTheVersions) {
    Line line({"--hw-version", "1.2.3", "--sw-version", "4.5.6"});
    ASSERT_TRUE(line.open);
    line.session().sync().TestConnection();
    ASSERT_TRUE(line.RunUntilEvent<TestAnswered>(5000));
    EXPECT_EQ(line.messages.messages().at(0).text, "设备连接正常!\n硬件版本：1.2.3; 软件版本：4.5.6");
}

TEST(EndToEnd, SyncClear_AnimatesThenLeavesAnEmptyMemory) {
    Line line({"--clear-delay", "3.5"});
    ASSERT_TRUE(line.open);
    line.messages.Answer(MessageAnswer::Ok);
    if (ConfirmClearMemory(Instrument::Sync)) line.session().sync().ClearMemory();
    ASSERT_TRUE(line.RunUntilEvent<MemoryCleared>(10000));
    const std::vector<int>& p = line.view.progress;
    ASSERT_GE(p.size(), 4u);
    EXPECT_EQ(std::vector<int>(p.begin(), p.begin() + 3), (std::vector<int>{0, 0, 4}));
    EXPECT_EQ(p.back(), 100);
    EXPECT_FALSE(line.line.TimerActive(DeviceTimer::Progress));
    EXPECT_EQ(line.messages.messages().back().text, "数据已清空");

    line.session().sync().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadStarted>(5000));
    EXPECT_EQ(line.messages.messages().back().text, "同步器中没有存储数据");
}

TEST(EndToEnd, ProbeClear_AnswersAtOnceAndLeavesAnEmptyMemory) {
    Line line({"--role", "probe"});
    ASSERT_TRUE(line.open);
    line.messages.Answer(MessageAnswer::Ok);
    if (ConfirmClearMemory(Instrument::Probe)) line.session().probe().ClearMemory();
    ASSERT_TRUE(line.RunUntilEvent<MemoryCleared>(5000));
    EXPECT_EQ(line.view.status.back(), "任务完成");
    line.session().probe().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntilEvent<DownloadStarted>(5000));
    EXPECT_EQ(line.messages.messages().back().text, "探管中没有存储数据");
    EXPECT_TRUE(line.store.m_probeRecords.empty());
}

TEST(EndToEnd, RealTimeSamples_ReachTheLiveValuesDisplay) {
    for (bool raw : {false, true}) {
        Line line(raw ? QStringList{"--raw"} : QStringList{});
        ASSERT_TRUE(line.open);
        line.session().probe().StartRealTime();
        ASSERT_TRUE(line.RunUntilEvent<LiveSample>(10000, 2));
        line.session().probe().StopRealTime();
        ASSERT_GE(line.view.live.size(), 2u);
        for (int tick = 0; tick < 2; ++tick) {
            const ProbeRecord reading = sim::LiveReadingAt(tick);
            const LiveValues& shown = line.view.live[tick];
            if (raw) {
                EXPECT_FLOAT_EQ(shown.volt, reading.volt);
                EXPECT_NEAR(shown.inc, reading.inc, 0.05);  // the simulator's readings are rounded counts
            } else {
                EXPECT_EQ(shown.inc, reading.inc);
                EXPECT_EQ(shown.azi, reading.azi);
                EXPECT_EQ(shown.GT, reading.GT);
            }
        }
        EXPECT_FALSE(line.line.TimerActive(DeviceTimer::RealTime));
    }
}

TEST(EndToEnd, SetClockThenReadClock_ShowsTheSetTime) {
    Line line({"--role", "sync"});
    ASSERT_TRUE(line.open);
    const std::int64_t now = CurrentTimeSeam().now();
    ScopedTimeSeam seam(FixedTimeSeam(0, now - 86400 * 400));  // the PC's clock, 400 days back
    line.session().SendSetClock(Instrument::Sync);
    ASSERT_TRUE(line.RunUntilEvent<ClockAnswered>(5000));
    line.session().SendReadClock(Instrument::Sync);
    ASSERT_TRUE(line.RunUntilEvent<ClockAnswered>(5000, 2));
    const auto pcTime = CurrentTimeSeam().toLocal(now - 86400 * 400);
    ASSERT_TRUE(pcTime);
    EXPECT_EQ(line.view.clocks.back().year, pcTime->year);
    EXPECT_EQ(line.view.clocks.back().month, pcTime->month);
    EXPECT_EQ(line.view.clocks.back().day, pcTime->day);
}

TEST(EndToEnd, SimulatorWithComLink_IsReachedAsThatComPort) {
    QTemporaryDir folder;
    qputenv("SONDARA_PORT_DIR", folder.path().toUtf8());
    {
        SimProcess sim({"--com", "7", "--role", "probe"});
        ASSERT_FALSE(sim.device().empty());
        ASSERT_TRUE(MapComPort(7).linked);  // never fall through to a real /dev/ttyUSB2
        SurveyStore store;
        Watched watched(store);
        ASSERT_TRUE(watched.line.link().Open(7));
        EXPECT_EQ(watched.line.link().GetPortNumber(), 7);
        RecordedMessages messages;
        watched.session().probe().TestConnection();
        EXPECT_TRUE(watched.RunUntilEvent<TestAnswered>(5000));
    }
    // The simulator removes its link when it ends.
    EXPECT_FALSE(MapComPort(7, folder.path().toStdString(), false).linked);
    qunsetenv("SONDARA_PORT_DIR");
}

}  // namespace
}  // namespace sondara

namespace sondara {
namespace {

// Every stored synchronizer record must be the simulator's record at its position.
void ExpectSyncRecordsFrom(const std::vector<SyncRecord>& got, const std::vector<SyncRecord>& want) {
    std::size_t at = 0;
    for (const SyncRecord& r : got) {
        while (at < want.size() && std::memcmp(&want[at], &r, sizeof r) != 0) ++at;
        EXPECT_LT(at, want.size()) << "a stored record the simulator never had";
        ++at;
    }
}

// One bit error in a thousand bytes: some frames fail their check (lost), a few pass
// it with two errors that cancel. What is stored is exactly what was sent, what is
// missing is named, and filling in completes the download exactly.
TEST(EndToEnd, BitErrors_NameWhatIsMissingAndFillingInCompletesExactly) {
    for (const int seed : {3, 5, 11}) {
        SCOPED_TRACE(seed);
        Line line({"--role", "sync", "--bit-errors", "0.001", "--seed", QString::number(seed)});
        ASSERT_TRUE(line.open);
        const std::vector<SyncRecord> want = sim::GenerateSurvey(kRecords, kRecords, kHoles).sync;
        int attempts = 0;
        do {
            ASSERT_LT(attempts, 8);
            const int before = line.view.Count<DownloadFinished>() + line.view.Count<Failed>();
            line.session().sync().StartHistoryDownload(attempts++ > 0);
            ASSERT_TRUE(line.RunUntil(
                [&] { return line.view.Count<DownloadFinished>() + line.view.Count<Failed>() > before; }, 30000));
            const DownloadFinished* done = line.view.Last<DownloadFinished>();
            if (!done) continue;  // the header itself was lost: asked again
            EXPECT_EQ(done->stored + done->skipped + done->missingCount, std::uint32_t(kRecords));
            EXPECT_EQ(done->stored, line.store.m_syncRecords.size());
            ExpectSyncRecordsFrom(line.store.m_syncRecords, want);
        } while (!line.view.Last<DownloadFinished>() || !line.view.Last<DownloadFinished>()->complete());
        ASSERT_EQ(line.store.m_syncRecords.size(), want.size());
        EXPECT_EQ(std::memcmp(line.store.m_syncRecords.data(), want.data(), want.size() * sizeof(SyncRecord)), 0);
    }
}

// The instrument hangs up half way: noticed within two seconds, the link closed and
// what arrived kept, with the processor idle meanwhile.
TEST(EndToEnd, HangUp_IsNoticedWithinTwoSecondsAtIdle) {
    Line line({"--role", "sync", "--hangup-after", "120"});
    ASSERT_TRUE(line.open);
    timespec cpu0{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
    QElapsedTimer wall;
    line.session().sync().StartHistoryDownload();
    ASSERT_TRUE(line.RunUntil([&] { return line.store.m_syncRecords.size() == 120; }, 10000));
    wall.start();
    ASSERT_TRUE(line.RunUntilEvent<Failed>(5000));
    EXPECT_LT(wall.elapsed(), 2000);
    EXPECT_EQ(line.view.Last<Failed>()->reason, FailReason::LinkLost);
    EXPECT_EQ(line.line.link().GetPortNumber(), 0);
    EXPECT_EQ(line.view.linkClosings, 1);
    const DownloadFinished* done = line.view.Last<DownloadFinished>();
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->end, DownloadEnd::LinkLost);
    EXPECT_EQ(done->missingCount, std::uint32_t(kRecords - 120));
    line.RunUntil([] { return false; }, 1000);  // a second more, idle
    timespec cpu1{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
    const double cpu = (cpu1.tv_sec - cpu0.tv_sec) + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e9;
    EXPECT_LT(cpu, 1.0) << "the processor was kept busy";
    ASSERT_EQ(line.messages.messages().size(), 1u);
    EXPECT_NE(line.messages.messages()[0].text.find("串口连接已断开"), std::string::npos);
}

// A header in the middle and well-checked frames with impossible contents: the
// download goes on to the end and stores exactly the simulator's records.
TEST(EndToEnd, StrayHeaderAndImpossibleFrames_AreRefusedAndReported) {
    for (const char* role : {"probe", "sync"}) {
        SCOPED_TRACE(role);
        Line line({"--role", role, "--stray-header", "100", "--impossible", "37"});
        ASSERT_TRUE(line.open);
        const bool probe = std::string(role) == "probe";
        if (probe)
            line.session().probe().StartHistoryDownload();
        else
            line.session().sync().StartHistoryDownload();
        ASSERT_TRUE(line.RunUntilEvent<DownloadFinished>(30000));
        EXPECT_TRUE(line.view.Last<DownloadFinished>()->complete());
        if (probe) {
            ExpectSameProbeRecords(line.store.m_probeRecords, ExpectedProbeRecords(false));
        } else {
            const std::vector<SyncRecord> want = sim::GenerateSurvey(kRecords, kRecords, kHoles).sync;
            ASSERT_EQ(line.store.m_syncRecords.size(), want.size());
            EXPECT_EQ(std::memcmp(line.store.m_syncRecords.data(), want.data(), want.size() * sizeof(SyncRecord)), 0);
        }
        EXPECT_EQ(line.view.Count<DownloadStarted>(), 1);
        EXPECT_EQ(line.view.status.back(), "数据读取完成");
        ASSERT_EQ(line.messages.messages().size(), 1u);
        EXPECT_NE(line.messages.messages()[0].text.find("多余的数据头1个"), std::string::npos);
    }
}

}  // namespace
}  // namespace sondara
