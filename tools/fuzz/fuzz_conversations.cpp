// Feeds arbitrary line traffic and commands to the reply scanner and both instrument
// conversations. Whatever arrives, nothing impossible reaches the store, no record
// number is stored twice in one download, and every download that ends accounts for
// every number it announced: stored, skipped or named missing.
//
// The input is a list of steps, each a tag byte and its operands:
//   0 n bytes…    raw bytes on the line (n of them)
//   1 d c n data… a reply frame with a right check byte: device d&3, command c
//   2 f           probe history download (f&1: fill in missing records only)
//   3 f           synchronizer history download
//   4             reply timer expires (a time-out, or a quiet line during a download)
//   5             the device hangs up
//   6             the user cancels the download
//   7 t           real-time or progress timer tick, real-time output started or stopped

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <variant>
#include <vector>

#include "device/conversation_host.h"
#include "device/frames.h"
#include "device/instrument_session.h"

namespace {

using namespace sondara;

[[noreturn]] void Broken() { std::abort(); }

// A value outside [low, high]. An undefined value is allowed here: a raw record's
// attitude computed from its channels may be undefined (a processed record's never
// is, which the conversations check from its frame).
bool Outside(float v, float low, float high) { return std::isfinite(v) ? v < low || v > high : std::isinf(v); }

// What neither a processed record nor the attitude formulas can give.
bool Impossible(const ProbeRecord& r) {
    if (Outside(r.inc, -90, 90) || Outside(r.tmp, -3276.8f, 3276.7f)) return true;
    for (float angle : {r.azi, r.GTF, r.MTF, r.DIP}) {
        if (Outside(angle, 0, 360)) return true;
    }
    return std::isfinite(r.GT) && r.GT < 0;
}

struct Account {
    std::uint32_t announced = 0;
    std::set<std::uint32_t> stored;
};

class Host : public ConversationHost {
public:
    SurveyStore store;
    Account probe, sync;

    bool IsLinkOpen() override { return true; }
    void WriteBytes(const std::uint8_t*, std::size_t) override {}
    void StartTimer(DeviceTimer, int) override {}
    void StopTimer(DeviceTimer) override {}
    SurveyStore& Store() override { return store; }

    void Emit(const DeviceEvent& event) override {
        if (const auto* s = std::get_if<DownloadStarted>(&event)) {
            Account& a = Of(s->instrument);
            a.announced = s->announced;
            if (s->kept == 0) a.stored.clear();
            if (s->kept != a.stored.size()) Broken();
        } else if (const auto* r = std::get_if<RecordStored>(&event)) {
            Account& a = Of(r->instrument);
            if (r->number >= a.announced || !a.stored.insert(r->number).second) Broken();
            if (r->count != Sequence(r->instrument) || r->index >= r->count) Broken();
            CheckStored(r->instrument, r->index);
        } else if (const auto* d = std::get_if<DownloadFinished>(&event)) {
            const Account& a = Of(d->instrument);
            if (d->announced != a.announced || d->stored != a.stored.size()) Broken();
            if (std::uint64_t{d->stored} + d->skipped + d->missingCount != d->announced) Broken();
            for (std::uint32_t n : d->missing) {
                if (n >= d->announced || a.stored.count(n)) Broken();
            }
            if (d->missing.size() != std::min<std::size_t>(d->missingCount, DownloadFinished::kMissingListed)) Broken();
        }
    }

private:
    Account& Of(Instrument i) { return i == Instrument::Probe ? probe : sync; }
    std::size_t Sequence(Instrument i) const {
        return i == Instrument::Probe ? store.m_probeRecords.size() : store.m_syncRecords.size();
    }
    void CheckStored(Instrument i, std::size_t index) const {
        if (i == Instrument::Probe) {
            const ProbeRecord& r = store.m_probeRecords[index];
            if (r.time.status != kTimeValid || Impossible(r)) Broken();
        } else {
            const SyncRecord& r = store.m_syncRecords[index];
            if (r.time.status != kTimeValid || r.hole < 0 || r.flag != 3) Broken();
        }
    }
};

struct Reader {
    const std::uint8_t* p;
    std::size_t left;
    bool Byte(std::uint8_t& b) {
        if (left == 0) return false;
        b = *p++;
        --left;
        return true;
    }
    Bytes Take(std::size_t n) {
        n = std::min(n, left);
        Bytes out(p, p + n);
        p += n;
        left -= n;
        return out;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Host host;
    InstrumentSession session(host);
    Reader in{data, size};
    std::uint8_t tag = 0, a = 0, b = 0, n = 0;
    while (in.Byte(tag)) {
        switch (tag % 8) {
            case 0:
                if (!in.Byte(n)) break;
                session.OnSerialData(in.Take(n));
                break;
            case 1: {
                if (!in.Byte(a) || !in.Byte(b) || !in.Byte(n)) break;
                const Bytes reply =
                    BuildReply(static_cast<std::uint8_t>(a & 3), static_cast<DeviceCommand>(b), in.Take(n));
                session.OnSerialData(reply);
                break;
            }
            case 2:
                if (in.Byte(a)) session.probe().StartHistoryDownload(a & 1);
                break;
            case 3:
                if (in.Byte(a)) session.sync().StartHistoryDownload(a & 1);
                break;
            case 4:
                session.OnTimer(DeviceTimer::Reply);
                break;
            case 5:
                session.OnLinkLost();
                break;
            case 6:
                session.CancelDownload();
                break;
            case 7:
                if (!in.Byte(a)) break;
                if (a % 4 == 0)
                    session.OnTimer(DeviceTimer::RealTime);
                else if (a % 4 == 1)
                    session.OnTimer(DeviceTimer::Progress);
                else if (a % 4 == 2)
                    session.probe().StartRealTime();
                else
                    session.probe().StopRealTime();
                break;
        }
    }
    // Whatever is still under way ends on a quiet line and must account for itself.
    session.OnTimer(DeviceTimer::Reply);
    return 0;
}
