// sondara-cli download and test, as a user runs them, against sondara-sim.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "io/survey_file.h"
#include "sim_process.h"

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

}  // namespace
}  // namespace sondara
