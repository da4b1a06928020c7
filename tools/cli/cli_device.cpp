// sondara-cli device commands: the connection test and the download of the probe
// and/or the synchronizer, through the same conversation code as the desktop
// program, with a headless host.

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <optional>

#include "commands.h"
#include "core/messages.h"
#include "device/headless_host.h"
#include "device/port_map.h"
#include "device/serial_link.h"
#include "io/survey_file.h"

namespace sondara::cli {

namespace {

// Once an instrument has started to answer, the conversations do not time out; a
// script must not wait forever for a line gone quiet.
constexpr int kQuietLineMs = 10000;
constexpr int kTimeoutExit = 1;

struct DeviceArgs {
    std::string port;
    bool probe = false, sync = false;
    std::string out;
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
        std::fprintf(stderr, "打开串口失败: %s%s%s\n", text.c_str(), typed->device.empty() ? "" : " = ",
                     typed->device.c_str());
        return false;
    }
    std::fprintf(stderr, "%s = %s\n", text.c_str(), link.DevicePath().c_str());
    return true;
}

// One conversation step: runs until `done`, a reply time-out, or a quiet line.
enum class Outcome { Done, TimedOut };

Outcome RunStep(HeadlessHost& host, SerialLink& link, const std::function<bool()>& done) {
    QElapsedTimer quiet;
    quiet.start();
    const auto activity = QObject::connect(&link, &SerialLink::dataReceived, [&] { quiet.restart(); });
    const int timeouts = host.EventCount(ConversationEvent::ReplyTimedOut);
    bool silentLine = false;
    host.RunUntil(
        [&] {
            if (done() || host.EventCount(ConversationEvent::ReplyTimedOut) > timeouts) return true;
            silentLine = !host.TimerActive(DeviceTimer::Reply) && quiet.elapsed() > kQuietLineMs;
            return silentLine;
        },
        24 * 3600 * 1000);
    QObject::disconnect(activity);
    if (silentLine) ShowMessage("超时，无返回数据", "警告", MessageIcon::Warning);
    return done() ? Outcome::Done : Outcome::TimedOut;
}

// Progress lines on stderr, one each tenth of the way.
void ReportProgress(HeadlessHost& host, const char* what) {
    auto last = std::make_shared<int>(-10);
    host.onProgress = [what, last](int percent) {
        if (percent / 10 == *last / 10 && percent != 100) return;
        if (percent == *last) return;
        *last = percent;
        std::fprintf(stderr, "%s: %d%%\n", what, percent);
    };
}

bool Download(HeadlessHost& host, SerialLink& link, bool probe) {
    const ConversationEvent complete =
        probe ? ConversationEvent::ProbeDownloadComplete : ConversationEvent::SyncDownloadComplete;
    const ConversationEvent empty = probe ? ConversationEvent::ProbeHistoryEmpty : ConversationEvent::SyncHistoryEmpty;
    const int completeBefore = host.EventCount(complete), emptyBefore = host.EventCount(empty);
    ReportProgress(host, probe ? "探管" : "同步器");
    if (probe)
        host.session().probe().StartHistoryDownload();
    else
        host.session().sync().StartHistoryDownload();
    if (!host.IsLinkOpen()) return false;
    return RunStep(host, link, [&] {
               return host.EventCount(complete) > completeBefore || host.EventCount(empty) > emptyBefore;
           }) == Outcome::Done;
}

int RunDownload(const std::vector<std::string>& args) {
    std::optional<DeviceArgs> a = ParseArgs(args, true);
    if (!a) return 1;
    if (!a->probe && !a->sync) a->probe = a->sync = true;
    Application();
    SerialLink link;
    if (!OpenPort(link, a->port)) return 1;
    SurveyStore store;
    HeadlessHost host(link, store);
    ScopedMessageSink sink(StderrMessageSink());
    if (a->probe && !Download(host, link, true)) return kTimeoutExit;
    if (a->sync && !Download(host, link, false)) return kTimeoutExit;
    link.Close();
    if (!SaveSurveyFile(store, a->out)) return 1;
    std::fprintf(stderr, "探管记录 %zu 条，同步器记录 %zu 条，%zu 个孔 -> %s\n", store.m_probeRecords.size(),
                 store.m_syncRecords.size(), store.m_holes.size(), a->out.c_str());
    return 0;
}

int RunTest(const std::vector<std::string>& args) {
    const std::optional<DeviceArgs> a = ParseArgs(args, false);
    if (!a) return 1;
    if (a->probe == a->sync) {
        std::fprintf(stderr, "sondara-cli: test takes exactly one of --probe and --sync\n");
        return 1;
    }
    Application();
    SerialLink link;
    if (!OpenPort(link, a->port)) return 1;
    SurveyStore store;
    HeadlessHost host(link, store);
    // The answer is the command's output; everything else is a diagnostic.
    ScopedMessageSink sink([](const Message& m) {
        if (m.caption == "设备回复信息")
            std::printf("%s\n", m.text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
        return MessageAnswer::Ok;
    });
    const ConversationEvent answered =
        a->probe ? ConversationEvent::ProbeTestAnswered : ConversationEvent::SyncTestAnswered;
    if (a->probe)
        host.session().probe().TestConnection();
    else
        host.session().sync().TestConnection();
    return RunStep(host, link, [&] { return host.EventCount(answered) > 0; }) == Outcome::Done ? 0 : kTimeoutExit;
}

int RunPorts(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "sondara-cli: ports takes no arguments\n");
        return 1;
    }
    const std::string folder = PortFolder();
    std::printf("port folder: %s\n", folder.c_str());
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
        {"download", "download --port PORT [--probe] [--sync] -o OUT.bhx",
         "downloads the probe (calibration, then history) and/or the synchronizer (both when neither\n"
         "      is named), assembles the holes when both are present, saves the survey; progress to stderr.\n"
         "      PORT is COMn (see ports) or a device path; a time-out exits 1 and writes nothing",
         RunDownload},
        {"test", "test --port PORT --probe|--sync", "prints the instrument's answer to the connection test", RunTest},
        {"ports", "ports", "which device each of COM1 to COM29 (串口1 to 串口29) is", RunPorts},
    };
}

}  // namespace sondara::cli
