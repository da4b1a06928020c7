// sondara-cli device commands: the connection test and the download of the probe
// and/or the synchronizer, through the same conversation code as the desktop
// program: the same InstrumentLine, its events shown on the console.

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <variant>

#include "commands.h"
#include "device/instrument_line.h"
#include "device/port_map.h"
#include "device/serial_link.h"
#include "device/termination_watch.h"
#include "io/survey_file.h"
#include "ui/common/file_messages.h"
#include "ui/common/messages.h"
#include "ui/mainwindow/device_presenter.h"

namespace sondara::cli {

namespace {

// Once an instrument has started to answer, a download watches for a quiet line
// itself; a calibration table or a reply that stalls half way is given this long.
constexpr int kQuietLineMs = 10000;
constexpr int kTimeoutExit = 1;
constexpr int kIncompleteExit = 2;
constexpr int kLineLostExit = 3;

struct DeviceArgs {
    std::string port;
    bool probe = false, sync = false;
    std::string out;
    int retries = 0;
};

std::optional<DeviceArgs> ParseArgs(const std::vector<std::string>& args, bool wantOut) {
    DeviceArgs a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        const bool hasValue = i + 1 < args.size();
        if (s == "--port" && hasValue)
            a.port = args[++i];
        else if (s == "--probe")
            a.probe = true;
        else if (s == "--sync")
            a.sync = true;
        else if (wantOut && (s == "-o" || s == "--output") && hasValue)
            a.out = args[++i];
        else if (wantOut && s == "--retries" && hasValue)
            a.retries = std::max(0, std::atoi(args[++i].c_str()));
        else {
            std::fprintf(stderr, "sondara-cli: unexpected argument '%s'\n", s.c_str());
            return std::nullopt;
        }
    }
    if (a.port.empty() || (wantOut && a.out.empty())) {
        std::fprintf(stderr, "sondara-cli: --port%s is required\n", wantOut ? " and -o" : "");
        return std::nullopt;
    }
    return a;
}

QCoreApplication& Application() {
    static int argc = 1;
    static char name[] = "sondara-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

bool OpenPort(SerialLink& link, const std::string& text) {
    const std::optional<TypedPort> typed = ParseTypedPort(text);
    if (!typed) {
        std::fprintf(stderr, "sondara-cli: '%s' is neither COMn nor a device path\n", text.c_str());
        return false;
    }
    const bool open = typed->number != 0 ? link.Open(typed->number) : link.OpenDevice(typed->device);
    if (!open) {
        std::fprintf(stderr, "打开串口失败: %s%s%s\n%s\n", text.c_str(), typed->device.empty() ? "" : " = ",
                     typed->device.c_str(), OpenFailureText(link.lastFailure()).c_str());
        return false;
    }
    std::fprintf(stderr, "%s = %s\n", text.c_str(), link.DevicePath().c_str());
    return true;
}

// The console as the line's events reach it: progress lines on stderr, one each
// tenth of the way; messages go through the message seam.
class ConsoleView : public DeviceView {
public:
    const char* what = "";
    void SetStatusText(const std::string&) override {}
    void SetProgress(int percent) override {
        if (percent / 10 == last_ / 10 && percent != 100) return;
        if (percent == last_) return;
        last_ = percent;
        std::fprintf(stderr, "%s: %d%%\n", what, percent);
    }
    void ClearRows() override {}
    void AppendProbeRow(std::size_t) override {}
    void AppendSyncRow(std::size_t) override {}
    void FillHoleRows() override {}
    void OpenLiveValuesDisplay() override {}
    void ShowLiveValues(const LiveValues&) override {}
    void ShowInstrumentClock(const CalendarTime&) override {}
    void Restart(const char* name) {
        what = name;
        last_ = -10;
    }

private:
    int last_ = -10;
};

// The line with its events shown on the console, and what the last step came to.
struct Console {
    explicit Console(SurveyStore& store) : line(store) {
        QObject::connect(&line, &InstrumentLine::deviceEvent, [this](const DeviceEvent& e) {
            presenter.Present(e, view);
            if (const auto* f = std::get_if<Failed>(&e)) failure = f->reason;
            if (const auto* d = std::get_if<DownloadFinished>(&e)) finished = *d;
            if (const auto* s = std::get_if<DownloadStarted>(&e); s && s->announced == 0) empty = true;
            if (std::holds_alternative<TestAnswered>(e)) answered = true;
        });
        QObject::connect(&termination, &TerminationWatch::terminationRequested, [this](int signalNumber) {
            line.link().Close();  // releases the port's lock
            std::fprintf(stderr, "sondara-cli: stopped by signal %d\n", signalNumber);
            std::exit(128 + signalNumber);
        });
    }
    void Reset() {
        failure.reset();
        finished.reset();
        empty = answered = false;
    }

    InstrumentLine line;
    DevicePresenter presenter;
    ConsoleView view;
    TerminationWatch termination;
    std::optional<FailReason> failure;
    std::optional<DownloadFinished> finished;
    bool empty = false, answered = false;
};

// One conversation step: runs until `done`, a failure, or a line gone quiet outside
// a download. Whether `done` held.
bool RunStep(Console& c, const std::function<bool()>& done) {
    QElapsedTimer quiet;
    quiet.start();
    const auto activity = QObject::connect(&c.line.link(), &SerialLink::dataReceived, [&] { quiet.restart(); });
    bool silentLine = false;
    c.line.RunUntil(
        [&] {
            if (done() || c.failure) return true;
            silentLine = !c.line.TimerActive(DeviceTimer::Reply) && quiet.elapsed() > kQuietLineMs;
            return silentLine;
        },
        24 * 3600 * 1000);
    QObject::disconnect(activity);
    if (silentLine && !done()) ShowMessage("超时，无返回数据", "警告", MessageIcon::Warning);
    return done();
}

// One instrument's download, filled in up to `retries` more times while records are
// missing. Exit status of the step: 0 complete, or why not.
int Download(Console& c, bool probe, int retries) {
    c.view.Restart(probe ? "探管" : "同步器");
    for (int attempt = 0;; ++attempt) {
        c.Reset();
        const bool fill = attempt > 0;
        if (probe)
            c.line.session().probe().StartHistoryDownload(fill);
        else
            c.line.session().sync().StartHistoryDownload(fill);
        if (c.line.link().GetPortNumber() == 0) return kTimeoutExit;
        if (!RunStep(c, [&] { return c.finished.has_value() || c.empty; })) {
            if (c.failure == FailReason::LinkLost) return kLineLostExit;
            return kTimeoutExit;
        }
        if (c.empty || c.finished->complete()) return 0;
        if (c.finished->end == DownloadEnd::LinkLost) return kLineLostExit;
        if (attempt >= retries) return kIncompleteExit;
        std::fprintf(stderr, "%s: 补读缺少的 %u 条记录\n", c.view.what, c.finished->missingCount);
    }
}

bool Save(const SurveyStore& store, const std::string& out) {
    if (!ShowFileResult(SaveSurveyFile(store, out, LongNames::Shorten))) return false;
    std::fprintf(stderr, "探管记录 %zu 条，同步器记录 %zu 条，%zu 个孔 -> %s\n", store.m_probeRecords.size(),
                 store.m_syncRecords.size(), store.m_holes.size(), out.c_str());
    return true;
}

int RunDownload(const std::vector<std::string>& args) {
    std::optional<DeviceArgs> a = ParseArgs(args, true);
    if (!a) return 1;
    if (!a->probe && !a->sync) a->probe = a->sync = true;
    Application();
    SurveyStore store;
    Console c(store);
    if (!OpenPort(c.line.link(), a->port)) return 1;
    ScopedMessageSink sink(StderrMessageSink());
    int status = 0;
    for (bool probe : {true, false}) {
        if (probe ? !a->probe : !a->sync) continue;
        const int step = Download(c, probe, a->retries);
        if (step == kTimeoutExit) return step;  // an instrument did not answer: nothing is written
        status = std::max(status, step);
        if (step == kLineLostExit) break;
    }
    c.line.link().Close();
    // What arrived is kept also when records are missing or the line was lost; a lost
    // line that brought nothing writes nothing. Empty instruments give an empty survey.
    const bool nothingArrived = store.m_probeRecords.empty() && store.m_syncRecords.empty();
    if (nothingArrived && status != 0) return status;
    if (!Save(store, a->out)) return 1;
    return status;
}

int RunTest(const std::vector<std::string>& args) {
    const std::optional<DeviceArgs> a = ParseArgs(args, false);
    if (!a) return 1;
    if (a->probe == a->sync) {
        std::fprintf(stderr, "sondara-cli: test takes exactly one of --probe and --sync\n");
        return 1;
    }
    Application();
    SurveyStore store;
    Console c(store);
    if (!OpenPort(c.line.link(), a->port)) return 1;
    // The answer is the command's output; everything else is a diagnostic.
    ScopedMessageSink sink([](const Message& m) {
        if (m.caption == "设备回复信息")
            std::printf("%s\n", m.text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
        return MessageAnswer::Ok;
    });
    if (a->probe)
        c.line.session().probe().TestConnection();
    else
        c.line.session().sync().TestConnection();
    if (RunStep(c, [&] { return c.answered; })) return 0;
    return c.failure == FailReason::LinkLost ? kLineLostExit : kTimeoutExit;
}

// Why links in the port folder are not honoured, if they are not.
const char* PortFolderNote(PortFolderState state) {
    switch (state) {
        case PortFolderState::Usable:
            return "";
        case PortFolderState::Missing:
            return "  (absent: no COM links)";
        case PortFolderState::NotADirectory:
            return "  (ignored: not a directory)";
        case PortFolderState::OwnedByOther:
            return "  (ignored: owned by another user, who could point a COM port anywhere)";
        case PortFolderState::WritableByOthers:
            return "  (ignored: group or others may write it; chmod go-w to use its links)";
    }
    return "";
}

int RunPorts(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "sondara-cli: ports takes no arguments\n");
        return 1;
    }
    const std::string folder = PortFolder();
    std::printf("port folder: %s%s\n", folder.c_str(), PortFolderNote(CheckPortFolder(folder)));
    for (const PortMapping& m : AllPortMappings(folder)) {
        if (m.device.empty()) {
            std::printf("串口%-2d COM%-2d  -\n", m.number, m.number);
            continue;
        }
        const bool present = ::access(m.device.c_str(), F_OK) == 0;
        std::printf("串口%-2d COM%-2d  %s%s%s\n", m.number, m.number, m.device.c_str(), m.linked ? "  (link)" : "",
                    present ? "" : "  (absent)");
    }
    return 0;
}

}  // namespace

std::vector<Command> DeviceCommands() {
    return {
        {"download", "download --port PORT [--probe] [--sync] [--retries N] -o OUT.bhx",
         "downloads the probe (calibration, then history) and/or the synchronizer (both when neither\n"
         "      is named), assembles the holes when both are present, saves the survey; progress to stderr.\n"
         "      PORT is COMn (see ports) or a device path. Exit 0: every announced record arrived;\n"
         "      2: records are missing (named on stderr; what arrived is saved); 3: the line was lost\n"
         "      (what arrived is saved); 1: a time-out or no port (nothing is written).\n"
         "      --retries N asks up to N more times for only the missing records",
         RunDownload},
        {"test", "test --port PORT --probe|--sync", "prints the instrument's answer to the connection test", RunTest},
        {"ports", "ports", "which device each of COM1 to COM29 (串口1 to 串口29) is", RunPorts},
    };
}

}  // namespace sondara::cli
