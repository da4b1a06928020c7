// sondara-cli download and test, as a user runs them, against sondara-sim.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "core/quality/still_periods.h"
#include "io/survey_file.h"
#include "sim_stream.h"
#include "tests/support/sim_process.h"

namespace sondara {
namespace {

using test::SimProcess;

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

CliRun RunCli(const QStringList& args) {
    QProcess cli;
    cli.start(SONDARA_CLI_PATH, args);
    cli.waitForFinished(60000);
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
            QString::fromUtf8(cli.readAllStandardError())};
}

TEST(CliDevice, Download_SavesBothRecordSetsWithTheirHoles) {
    SimProcess sim({"--no-link", "--records", "150", "--holes", "3", "--raw", "--noise", "4"});
    ASSERT_FALSE(sim.device().empty());
    QTemporaryDir dir;
    const QString out = dir.filePath("survey.bhx");
    const CliRun run = RunCli({"download", "--port", QString::fromStdString(sim.device()), "-o", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("探管: 100%"));

    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const SurveyImage image = ParseSurveyImage(std::string_view(bytes.constData(), bytes.size()));
    ASSERT_EQ(image.status, ImageStatus::Ok);
    EXPECT_EQ(image.probeRecords.size(), 150u);
    EXPECT_EQ(image.syncRecords.size(), 150u);
    EXPECT_EQ(image.holes.size(), 3u);
}

TEST(CliDevice, TestAnswer_IsPrintedAndATimeOutWritesNothing) {
    {
        SimProcess sim({"--no-link", "--role", "sync", "--sw-version", "9.8.7"});
        const CliRun run = RunCli({"test", "--port", QString::fromStdString(sim.device()), "--sync"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "设备连接正常!\n硬件版本：2.1.0; 软件版本：9.8.7\n");
    }
    SimProcess sim({"--no-link", "--role", "sync"});  // no probe on the line
    QTemporaryDir dir;
    const QString out = dir.filePath("none.bhx");
    const CliRun run = RunCli({"download", "--port", QString::fromStdString(sim.device()), "--probe", "-o", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("超时，无返回数据"));
    EXPECT_FALSE(QFile::exists(out));

    const CliRun bad = RunCli({"download", "--port", "/nonexistent/tty", "-o", out});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("打开串口失败"));
}

TEST(CliDevice, QualityChecks_FindTheSimulatorsClockOffsetAndMissedRod) {
    // Rod 12 of the first hole goes unrecorded and the probe clock runs 20 s ahead.
    SimProcess sim({"--no-link", "--stream", "--clock-offset", "20", "--miss-key", "12", "--stream-seed", "3"});
    ASSERT_FALSE(sim.device().empty());
    QTemporaryDir dir;
    const QString file = dir.filePath("stream.bhx");
    const CliRun download = RunCli({"download", "--port", QString::fromStdString(sim.device()), "-o", file});
    ASSERT_EQ(download.exitCode, 0) << download.err.toStdString();

    const CliRun qa = RunCli({"qa", file, "--json"});
    ASSERT_EQ(qa.exitCode, 0) << qa.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(qa.out.toUtf8()).object();
    EXPECT_NEAR(report["clockOffsetSeconds"].toDouble(), 20, 1.0);
    const QJsonArray missed = report["missedRods"].toArray();
    ASSERT_EQ(missed.size(), 1);
    EXPECT_EQ(missed[0].toObject()["hole"].toInt(), 1);
    EXPECT_TRUE(report["extraRods"].toArray().isEmpty());
    EXPECT_EQ(report["holes"].toArray().size(), 4);  // what precedes the first key, then three holes

    // The stop's start on the probe clock, to the second (as the probe's clock shows it).
    sim::StreamOptions o;
    o.clockOffsetSeconds = 20;
    o.missedKeys = {12};
    o.seed = 3;
    const sim::StreamSurvey truth = sim::GenerateStreamSurvey(o);
    const auto start =
        CalendarFromOleTime(OleTimeFromLinearSeconds(truth.origin + std::floor(truth.rods[12].stillStart + 20)));
    ASSERT_TRUE(start.has_value());
    const QString time = missed[0].toObject()["time"].toString();
    const QDateTime found = QDateTime::fromString(time, "yyyy-MM-dd HH:mm:ss");
    ASSERT_TRUE(found.isValid()) << time.toStdString();
    const QDateTime expected(QDate(start->year, start->month, start->day),
                             QTime(start->hour, start->minute, start->second));
    EXPECT_LE(std::abs(found.secsTo(expected)), 2) << time.toStdString();

    // With the clocks apart the stations are drilling samples, shaken off 1 g; a wider
    // gravity tolerance lets most of them pass.
    auto flagged = [](const QJsonObject& r) {
        int n = 0;
        for (const auto& hole : r["holes"].toArray()) n += hole.toObject()["flaggedStations"].toInt();
        return n;
    };
    const CliRun tolerant = RunCli({"qa", file, "--json", "--gravity-tolerance", "0.2"});
    ASSERT_EQ(tolerant.exitCode, 0);
    EXPECT_LT(flagged(QJsonDocument::fromJson(tolerant.out.toUtf8()).object()), flagged(report));
    EXPECT_EQ(RunCli({"qa", file, "--dip-tolerance", "-1"}).exitCode, 1);
    const CliRun missing = RunCli({"qa", dir.filePath("none.bhx")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.isEmpty()) << "a file that does not open is said so";

    const CliRun text = RunCli({"qa", file});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.startsWith("质量检查：发现")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("漏记钻杆")) << text.out.toStdString();
}

}  // namespace
}  // namespace sondara

namespace sondara {
namespace {

SurveyImage Saved(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return ParseSurveyImage(std::string_view(bytes.constData(), bytes.size()));
}

// Exit 0 only when every announced record arrived; missing records exit 2 naming
// them, with what arrived saved; --retries fills them in; a hang-up exits 3 at once.
TEST(CliDevice, DownloadExitStatus_SaysWhetherEveryRecordArrived) {
    QTemporaryDir dir;
    {
        SimProcess sim({"--no-link", "--role", "sync", "--records", "60", "--drop", "17", "--drop", "59"});
        const QString out = dir.filePath("incomplete.bhx");
        const CliRun run = RunCli({"download", "--port", QString::fromStdString(sim.device()), "--sync", "-o", out});
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("缺少2条（编号 17, 59）")) << run.err.toStdString();
        EXPECT_EQ(Saved(out).syncRecords.size(), 58u);
    }
    {
        SimProcess sim({"--no-link", "--role", "sync", "--records", "60", "--drop-once", "17"});
        const QString out = dir.filePath("filled.bhx");
        const CliRun run =
            RunCli({"download", "--port", QString::fromStdString(sim.device()), "--sync", "--retries", "2", "-o", out});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(Saved(out).syncRecords.size(), 60u);
    }
    {
        SimProcess sim({"--no-link", "--role", "sync", "--records", "60", "--hangup-after", "30"});
        const QString out = dir.filePath("lost.bhx");
        QElapsedTimer clock;
        clock.start();
        const CliRun run = RunCli({"download", "--port", QString::fromStdString(sim.device()), "--sync", "-o", out});
        EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_TRUE(run.err.contains("串口连接已断开")) << run.err.toStdString();
        EXPECT_EQ(Saved(out).syncRecords.size(), 30u);
    }
    {
        // Gone right after the header: nothing arrived, so nothing is written.
        SimProcess sim({"--no-link", "--role", "sync", "--records", "60", "--hangup-after", "0"});
        const QString out = dir.filePath("nothing.bhx");
        const CliRun run = RunCli({"download", "--port", QString::fromStdString(sim.device()), "--sync", "-o", out});
        EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    {
        // An instrument with nothing stored: a complete download of an empty survey.
        SimProcess sim({"--no-link", "--role", "sync", "--records", "0"});
        const QString out = dir.filePath("empty.bhx");
        const CliRun run = RunCli({"download", "--port", QString::fromStdString(sim.device()), "--sync", "-o", out});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("同步器中没有存储数据")) << run.err.toStdString();
        EXPECT_EQ(Saved(out).status, ImageStatus::Ok);
    }
}

TEST(CliDevice, PortThatDoesNotOpen_SaysWhy) {
    QTemporaryDir dir;
    const CliRun missing = RunCli({"download", "--port", "/nonexistent/tty", "-o", dir.filePath("x.bhx")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("设备不存在")) << missing.err.toStdString();

    SimProcess sim({"--no-link", "--role", "sync"});
    QProcess holder;  // another program has the port open
    holder.start(SONDARA_CLI_PATH, {"test", "--port", QString::fromStdString(sim.device()), "--probe"});
    ASSERT_TRUE(holder.waitForStarted(5000));
    QThread::msleep(500);
    const CliRun busy = RunCli({"test", "--port", QString::fromStdString(sim.device()), "--sync"});
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_TRUE(busy.err.contains("串口被其他程序占用（sondara-cli " + QString::number(holder.processId()) + "）"))
        << busy.err.toStdString();
    holder.terminate();  // asked to stop, it releases the port
    ASSERT_TRUE(holder.waitForFinished(5000));
    const CliRun after = RunCli({"test", "--port", QString::fromStdString(sim.device()), "--sync"});
    EXPECT_EQ(after.exitCode, 0) << after.err.toStdString();
}

TEST(CliDevice, Ports_SaysWhyAFolderOthersMayWriteIsIgnored) {
    QTemporaryDir dir;
    ::chmod(dir.path().toUtf8().constData(), 0777);
    qputenv("SONDARA_PORT_DIR", dir.path().toUtf8());
    const CliRun run = RunCli({"ports"});
    qunsetenv("SONDARA_PORT_DIR");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("ignored: group or others may write it")) << run.out.toStdString();
}

}  // namespace
}  // namespace sondara
