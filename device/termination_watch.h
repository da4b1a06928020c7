#pragma once
// SIGTERM and SIGINT as a Qt signal on the user-interface thread, so that a program
// asked to stop closes its serial link (and so releases the port's lock file)
// instead of dying with it held.

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace sondara {

class TerminationWatch : public QObject {
    Q_OBJECT

public:
    // One watch a process; it takes over both signals for its lifetime.
    explicit TerminationWatch(QObject* parent = nullptr);
    ~TerminationWatch() override;

signals:
    void terminationRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace sondara
