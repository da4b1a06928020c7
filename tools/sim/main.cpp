// sondara-sim: the survey probe and/or the depth synchronizer on a pseudo-terminal,
// so that every conversation of Sondara can be tried without instruments.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

#include "core/time_seam.h"
#include "device/port_map.h"
#include "sim_stream.h"
#include "sim_survey.h"

namespace {

using namespace sondara;
using Clock = std::chrono::steady_clock;

const char kHelp[] = R"(usage: sondara-sim [OPTIONS]

Plays the survey probe, the depth synchronizer, or both on one line, on a
pseudo-terminal. It prints the device it serves and registers it as a COM port
(COM1 unless --com says otherwise) in Sondara's port folder, so that the desktop
program's start-up scan and `sondara-cli --port COMn` reach it. Runs until
interrupted (Ctrl+C); the port link is removed on exit.

Instruments:
  --role probe|sync|both   which instruments answer (default both)
  --json FILE              stored records from a JSON survey file (import format):
                           every "probe" element, every sample of every "sampler"
  --records N              generate N probe and N synchronizer records (default 200)
  --probe-records N        generate N probe records
  --sync-records N         generate N synchronizer records
  --holes K                holes the generated records fall into (default 3)
  --raw                    the probe sends raw records and raw live samples
                           (decoded by Sondara through the calibration table)
  --hw-version A.B.C       hardware version in the test answer (default 2.1.0)
  --sw-version A.B.C       software version in the test answer (default 3.4.1)
  --clear-delay SECONDS    how long the synchronizer takes to clear (default 8)

A probe stream (for the quality checks; any of these implies --stream):
  --stream                 the probe samples every 2 s, shaken while a rod is drilled
                           and standing still while the next is added, when the rod
                           key is pressed; --holes holes of --rods rods
  --rods N                 rods per hole (default 30)
  --clock-offset SECONDS   the probe clock runs this much ahead of the synchronizer's
                           (negative: behind)
  --miss-key N             the key press of rod N (counted over the run from 0) is
                           not recorded (repeatable)
  --extra-key N            the key of rod N is pressed twice (repeatable)
  --noisy-station N        the stop at rod N is near steel: total gravity, total field
                           and dip are off
  --stream-seed N          random seed of the stream (default 1)

The line:
  --pace                   pace output at the line rate: 10 bits a byte at --baud
  --baud B                 line rate for --pace (default 9600)
  --noise N                N random noise bytes before every frame (see --noise-every)
  --noise-every K          noise before every K-th frame only (default 1)
  --corrupt K              every K-th record is preceded by a broken copy of itself
                           (wrong check byte, or cut short), which must be skipped
  --split N                write at most N bytes at a time, 2 ms apart
  --drop IDX               never send history record IDX (repeatable); dropping
                           the last one leaves the download incomplete
  --drop-once IDX          leave out history record IDX only the first time the
                           history is asked for (repeatable), so that a second
                           download can fill it in
  --bit-errors RATE        flip one random bit of a sent byte with probability
                           RATE (such as 0.001); two flips in one frame can pass
                           its check byte
  --seed S                 seed of the random bit errors and noise (default 7)
  --hangup-after N         hang up (close the terminal and end) after N history
                           records
  --stray-header K         send the history header again after K records
  --impossible K           every K-th record is preceded by a copy whose check
                           byte is right but whose contents no instrument sends
  --silent                 read commands but never answer (for time-outs)

The port:
  --com N                  register as COMn (default 1)
  --no-link                do not register a COM port; use the printed device path
  --port-dir DIR           port folder (default $SONDARA_PORT_DIR, else
                           /tmp/sondara-<uid>/ports)
  --verbose                log every command received to stderr
  --help                   this text
)";

struct Options {
    bool probe = true, sync = true;
    std::string json;
    int probeRecords = 200, syncRecords = 200, holes = 3;
    bool raw = false;
    bool stream = false;
    sim::StreamOptions streamOptions;
    int hardware[3] = {2, 1, 0}, software[3] = {3, 4, 1};
    double clearDelay = 8;
    bool pace = false;
    int baud = 9600;
    int noise = 0, noiseEvery = 1, corrupt = 0, split = 0;
    std::set<long> drop, dropOnce;
    double bitErrors = 0;
    unsigned seed = 7;
    long hangupAfter = -1, strayHeader = 0, impossible = 0;
    bool silent = false;
    int com = 1;
    bool link = true;
    std::string portDir;
    bool verbose = false;
};

[[noreturn]] void Usage(const std::string& error) {
    std::fprintf(stderr, "sondara-sim: %s (see sondara-sim --help)\n", error.c_str());
    std::exit(2);
}

void ParseVersion(const std::string& text, int out[3]) {
    if (std::sscanf(text.c_str(), "%d.%d.%d", &out[0], &out[1], &out[2]) != 3) Usage("bad version " + text);
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    o.portDir = PortFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(a + " needs a value");
            return argv[++i];
        };
        auto number = [&]() {
            const std::string v = value();
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 0) Usage("bad number for " + a + ": " + v);
            return n;
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (a == "--role") {
            const std::string r = value();
            if (r != "probe" && r != "sync" && r != "both") Usage("bad role " + r);
            o.probe = r != "sync";
            o.sync = r != "probe";
        } else if (a == "--json")
            o.json = value();
        else if (a == "--records")
            o.probeRecords = o.syncRecords = static_cast<int>(number());
        else if (a == "--probe-records")
            o.probeRecords = static_cast<int>(number());
        else if (a == "--sync-records")
            o.syncRecords = static_cast<int>(number());
        else if (a == "--holes")
            o.holes = o.streamOptions.holes = static_cast<int>(number());
        else if (a == "--raw")
            o.raw = true;
        else if (std::string error; sim::ParseStreamOption(a, value, o.streamOptions, error)) {
            if (!error.empty()) Usage(error);
            o.stream = true;
        } else if (a == "--hw-version")
            ParseVersion(value(), o.hardware);
        else if (a == "--sw-version")
            ParseVersion(value(), o.software);
        else if (a == "--clear-delay")
            o.clearDelay = std::atof(value().c_str());
        else if (a == "--pace")
            o.pace = true;
        else if (a == "--baud")
            o.baud = static_cast<int>(std::max(1L, number()));
        else if (a == "--noise")
            o.noise = static_cast<int>(number());
        else if (a == "--noise-every")
            o.noiseEvery = static_cast<int>(std::max(1L, number()));
        else if (a == "--corrupt")
            o.corrupt = static_cast<int>(number());
        else if (a == "--split")
            o.split = static_cast<int>(number());
        else if (a == "--drop")
            o.drop.insert(number());
        else if (a == "--drop-once")
            o.dropOnce.insert(number());
        else if (a == "--bit-errors")
            o.bitErrors = std::atof(value().c_str());
        else if (a == "--seed")
            o.seed = static_cast<unsigned>(number());
        else if (a == "--hangup-after")
            o.hangupAfter = number();
        else if (a == "--stray-header")
            o.strayHeader = number();
        else if (a == "--impossible")
            o.impossible = number();
        else if (a == "--silent")
            o.silent = true;
        else if (a == "--com") {
            o.com = static_cast<int>(number());
            if (o.com < kFirstComPort || o.com > kLastComPort) Usage("--com takes 1 to 29");
        } else if (a == "--no-link")
            o.link = false;
        else if (a == "--port-dir")
            o.portDir = value();
        else if (a == "--verbose")
            o.verbose = true;
        else
            Usage("unknown option " + a);
    }
    return o;
}

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

// One write to the line, not before `due`.
struct Chunk {
    Bytes bytes;
    Clock::time_point due;
    bool hangup = false;  // close the terminal here
};

class Simulator {
    static constexpr std::size_t kCoalesce = 4096;

public:
    Simulator(const Options& o, sim::SimSurvey survey, int master)
        : o_(o),
          survey_(std::move(survey)),
          master_(master),
          table_(sim::SimulatorCalibration()),
          random_(o.seed),
          bitRandom_(o.seed * 7919u + 1) {}

    bool hungUp() const { return hungUp_; }

    int Run() {
        while (!g_stop) {
            pollfd p{master_, POLLIN, 0};
            if (!out_.empty() && out_.front().due <= Clock::now()) p.events |= POLLOUT;
            if (::poll(&p, 1, PollTimeoutMs()) < 0 && errno != EINTR) return 1;
            if (p.revents & POLLIN) ReadCommands();
            if (p.revents & POLLHUP) ::usleep(10000);
            WriteDue();
        }
        return 0;
    }

private:
    int PollTimeoutMs() const {
        if (out_.empty()) return 100;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(out_.front().due - Clock::now());
        return static_cast<int>(std::clamp<long>(wait.count(), 0, 100));
    }

    void ReadCommands() {
        std::uint8_t buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) return;
        in_.insert(in_.end(), buf, buf + n);
        for (;;) {
            // FF×6 01 D command N data check
            std::size_t i = 0;
            bool found = false;
            for (; i + 11 <= in_.size(); ++i) {
                if (!std::all_of(in_.begin() + i, in_.begin() + i + 6, [](std::uint8_t b) { return b == 0xFF; }) ||
                    in_[i + 6] != 0x01)
                    continue;
                const std::size_t length = in_[i + 9] + 11u;
                if (i + length > in_.size()) break;
                if (XorCheck(in_.data() + i + 6, length - 7) != in_[i + length - 1]) continue;
                const Bytes frame(in_.begin() + i, in_.begin() + i + length);
                in_.erase(in_.begin(), in_.begin() + i + length);
                Handle(frame);
                found = true;
                break;
            }
            if (!found) {
                if (in_.size() > 4096) in_.clear();
                return;
            }
        }
    }

    void Handle(const Bytes& f) {
        const auto device = static_cast<Instrument>(f[7]);
        const auto command = static_cast<DeviceCommand>(f[8]);
        const bool probe = device == Instrument::Probe;
        if (o_.verbose) std::fprintf(stderr, "sondara-sim: %s command %02X\n", probe ? "probe" : "sync", f[8]);
        if (o_.silent || (probe && !o_.probe) || (!probe && (!o_.sync || device != Instrument::Sync))) return;
        const std::uint8_t from = probe ? kReplyFromProbe : kReplyFromSync;
        switch (command) {
            case DeviceCommand::Test:
                Send(sim::TestReply(from, o_.hardware, o_.software));
                break;
            case DeviceCommand::ReadClock:
            case DeviceCommand::SetClock:
                if (command == DeviceCommand::SetClock && f.size() >= 20) SetClock(f);
                Send(sim::ClockReply(from, command, ClockNow()));
                break;
            case DeviceCommand::ReadCalibration:
                if (!probe) break;
                for (int b = 0; b < 32; ++b) Send(sim::CalibrationBlockReply(from, table_, b));
                break;
            case DeviceCommand::ReadHistory:
                probe ? SendProbeHistory() : SendSyncHistory();
                break;
            case DeviceCommand::RealTimeSample:
                if (!probe) break;
                Send(o_.raw ? sim::RawLiveFrame(sim::LiveReadingAt(tick_))
                            : sim::ProcessedLiveFrame(sim::LiveReadingAt(tick_), table_));
                ++tick_;
                break;
            case DeviceCommand::ClearMemory:
                if (probe) {
                    survey_.probe.clear();
                    Send(sim::ClearReply(from));
                } else {
                    survey_.sync.clear();
                    const auto delay =
                        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o_.clearDelay));
                    Send(sim::ClearReply(from), Clock::now() + delay);
                }
                break;
        }
    }

    void SendProbeHistory() {
        const auto& records = survey_.probe;
        const Bytes header = sim::HistoryHeader(kReplyFromProbe, static_cast<std::uint32_t>(records.size()));
        SendHistory(records.size(), header, probeRuns_++ == 0, [&](std::size_t i, bool impossible) {
            ProbeRecord r = records[i];
            const auto idx = static_cast<std::uint32_t>(i);
            if (impossible && o_.raw) {
                Bytes f = sim::RawProbeRecordFrame(r, idx);
                f[32] = 0x13;  // month 13
                f.back() = XorCheck(f.data() + 5, f.size() - 6);
                return f;
            }
            if (impossible) r.inc = 2.06e11f;
            return o_.raw ? sim::RawProbeRecordFrame(r, idx) : sim::ProcessedProbeRecordFrame(r, idx);
        });
    }

    void SendSyncHistory() {
        const auto& records = survey_.sync;
        const Bytes header = sim::HistoryHeader(kReplyFromSync, static_cast<std::uint32_t>(records.size()));
        SendHistory(records.size(), header, syncRuns_++ == 0, [&](std::size_t i, bool impossible) {
            SyncRecord r = records[i];
            if (impossible) r.hole = -32767;
            return sim::SyncRecordFrame(r, static_cast<std::uint16_t>(i));
        });
    }

    // The header, then every record not left out, with the faults asked for.
    template <typename MakeFrame>
    void SendHistory(std::size_t count, const Bytes& header, bool firstTime, MakeFrame frame) {
        Send(header);
        long sent = 0;
        if (o_.hangupAfter == 0) {  // gone right after the header
            out_.push_back(Chunk{{}, {}, true});
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const long n = static_cast<long>(i);
            if (o_.drop.count(n) || (firstTime && o_.dropOnce.count(n))) continue;
            if (o_.impossible > 0 && (n + 1) % o_.impossible == 0) Send(frame(i, true));
            SendRecord(frame(i, false));
            ++sent;
            if (o_.strayHeader > 0 && sent == o_.strayHeader) Send(header);
            if (sent == o_.hangupAfter) {
                out_.push_back(Chunk{{}, {}, true});
                return;
            }
        }
    }

    void SendRecord(const Bytes& frame) {
        ++records_;
        if (o_.corrupt > 0 && records_ % o_.corrupt == 0) {
            Bytes broken = frame;
            if (records_ / o_.corrupt % 2)
                broken.back() ^= 0x5A;  // wrong check byte
            else
                broken.resize(broken.size() / 2);  // cut short
            Send(broken);
        }
        Send(frame);
    }

    // Queues one frame, with noise in front when asked, cut into writes.
    void Send(const Bytes& frame, Clock::time_point notBefore = {}) {
        Bytes bytes;
        if (o_.noise > 0 && ++frames_ % o_.noiseEvery == 0) {
            for (int i = 0; i < o_.noise; ++i) bytes.push_back(static_cast<std::uint8_t>(random_()));
        }
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        if (o_.bitErrors > 0) {
            std::uniform_real_distribution<double> chance(0.0, 1.0);
            for (std::uint8_t& b : bytes) {
                if (chance(bitRandom_) < o_.bitErrors) b ^= static_cast<std::uint8_t>(1u << (bitRandom_() % 8));
            }
        }
        if (o_.split == 0 && !o_.pace && notBefore == Clock::time_point{} && !out_.empty() &&
            out_.back().due == Clock::time_point{} && !out_.back().hangup && out_.back().bytes.size() < kCoalesce) {
            // Back-to-back frames go out in large writes, as a driver would pass them on.
            out_.back().bytes.insert(out_.back().bytes.end(), bytes.begin(), bytes.end());
            return;
        }
        std::size_t piece = bytes.size();
        if (o_.split > 0) piece = static_cast<std::size_t>(o_.split);
        if (o_.pace) piece = std::min<std::size_t>(piece, 16);
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            Chunk c{Bytes(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + piece)), notBefore};
            if (o_.pace) c.due = LineTimeOf(c.bytes.size(), notBefore);
            notBefore = {};
            out_.push_back(std::move(c));
        }
    }

    // Paced output: when the last of `n` more bytes has crossed the line. The line
    // clock runs on from the previous write's schedule, not from when that write
    // actually happened, so that wake-up delays do not add up.
    Clock::time_point LineTimeOf(std::size_t n, Clock::time_point notBefore) {
        lineFree_ = std::max({lineFree_, Clock::now(), notBefore});
        lineFree_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(n * 10.0 / o_.baud));
        return lineFree_;
    }

    // Writes what is due.
    void WriteDue() {
        while (!out_.empty()) {
            Chunk& c = out_.front();
            const auto now = Clock::now();
            if (c.due > now) return;
            if (c.hangup && c.due == Clock::time_point{}) {
                // What was written gets a moment to be read (a terminal's hang-up
                // drops what is still queued), so the far end knows what arrived.
                c.due = now + std::chrono::milliseconds(300);
                continue;
            }
            if (c.hangup) {
                // As a pulled cable or a switched-off instrument: the far end sees the
                // line hang up.
                ::close(master_);
                hungUp_ = true;
                g_stop = 1;
                out_.clear();
                return;
            }
            if (!o_.pace && o_.split > 0 && c.due == Clock::time_point{} && wroteSplit_) {
                c.due = now + std::chrono::milliseconds(2);
                wroteSplit_ = false;
                continue;
            }
            const ssize_t n = ::write(master_, c.bytes.data(), c.bytes.size());
            if (n < 0) return;  // the terminal's queue is full: wait for POLLOUT
            if (static_cast<std::size_t>(n) < c.bytes.size()) {
                c.bytes.erase(c.bytes.begin(), c.bytes.begin() + n);
                return;
            }
            out_.pop_front();
            wroteSplit_ = true;
        }
    }

    CalendarTime ClockNow() const {
        const auto now = LocalNow();
        if (!now) return {};
        const OleTime t{OleTimeFromCalendar(*now).dt + clockOffsetDays_, kTimeValid};
        return CalendarFromOleTime(t).value_or(*now);
    }

    void SetClock(const Bytes& f) {
        const OleTime set = OleTimeFromBcd(f[13], f[14], f[15], f[16], f[17], f[18]);
        const auto now = LocalNow();
        if (set.status != kTimeValid || !now) return;
        clockOffsetDays_ = set.dt - OleTimeFromCalendar(*now).dt;
    }

    const Options& o_;
    sim::SimSurvey survey_;
    int master_;
    ProbeCalibration table_;
    std::minstd_rand random_;
    std::mt19937 bitRandom_;
    int probeRuns_ = 0, syncRuns_ = 0;
    bool hungUp_ = false;
    Bytes in_;
    std::deque<Chunk> out_;
    Clock::time_point lineFree_{};
    bool wroteSplit_ = false;
    long records_ = 0, frames_ = 0;
    int tick_ = 0;
    double clockOffsetDays_ = 0;
};

// A pseudo-terminal in raw mode; its far end is held open here as well, so that the
// line survives clients coming and going.
int OpenPseudoTerminal(std::string& slaveName, int& slave) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return -1;
    slaveName = ::ptsname(master);
    slave = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) return -1;
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(slave, TCSANOW, &t);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const Options o = ParseOptions(argc, argv);
    sim::SimSurvey survey;
    try {
        survey = !o.json.empty() ? sim::LoadJsonSurvey(o.json)
                 : o.stream      ? sim::GenerateStreamSurvey(o.streamOptions).records
                                 : sim::GenerateSurvey(o.probeRecords, o.syncRecords, o.holes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sondara-sim: %s\n", e.what());
        return 1;
    }
    std::string device;
    int slave = -1;
    const int master = OpenPseudoTerminal(device, slave);
    if (master < 0) {
        std::fprintf(stderr, "sondara-sim: cannot create a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    // The port is registered before anything is printed: whoever reads the first
    // line may open it at once.
    const bool linked = o.link && WritePortLink(o.portDir, o.com, device, static_cast<long>(::getpid()));
    const char* who = o.probe && o.sync ? "probe and synchronizer" : o.probe ? "probe" : "synchronizer";
    std::printf("sondara-sim: %s on %s (%zu probe records, %zu synchronizer records%s%s)\n", who, device.c_str(),
                survey.probe.size(), survey.sync.size(), o.raw ? ", raw" : "", o.pace ? ", paced" : "");
    if (linked)
        std::printf("sondara-sim: reachable as COM%d (串口%d): %s/COM%d -> %s\n", o.com, o.com, o.portDir.c_str(),
                    o.com, device.c_str());
    else if (o.link)
        std::fprintf(stderr, "sondara-sim: cannot register COM%d in %s; use %s\n", o.com, o.portDir.c_str(),
                     device.c_str());
    Simulator sim(o, std::move(survey), master);
    const int status = sim.Run();
    if (linked) RemovePortLink(o.portDir, o.com);
    ::close(slave);
    if (!sim.hungUp()) ::close(master);
    return status;
}
