#pragma once
// sondara-sim as a child process on its own pseudo-terminal.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <sys/prctl.h>

#include <csignal>
#include <string>

namespace sondara::test {

class SimProcess {
public:
    explicit SimProcess(QStringList args) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A test that dies without its destructors (an abort) takes the simulator with
        // it, so the runner does not wait on the simulator's open output for ever.
        process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process_.start(SONDARA_SIM_PATH, args);
        if (!process_.waitForStarted(5000)) return;
        // The first line names the pseudo-terminal.
        while (device_.empty() && process_.waitForReadyRead(5000)) {
            const QString out = QString::fromUtf8(process_.readAll());
            const auto m = QRegularExpression("(/dev/pts/\\d+)").match(out);
            if (m.hasMatch()) device_ = m.captured(1).toStdString();
        }
    }
    ~SimProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }
    const std::string& device() const { return device_; }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    std::string device_;
};

}  // namespace sondara::test
