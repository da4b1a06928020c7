#include "device/termination_watch.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sondara {

namespace {

int g_pipe[2] = {-1, -1};

// Only what is safe in a signal handler: one write.
void OnSignal(int signalNumber) {
    const unsigned char n = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t w = ::write(g_pipe[1], &n, 1);
}

}  // namespace

TerminationWatch::TerminationWatch(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char n = 0;
        if (::read(g_pipe[0], &n, 1) == 1) emit terminationRequested(n);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

TerminationWatch::~TerminationWatch() {
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    notifier_.reset();
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace sondara
