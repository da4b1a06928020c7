#pragma once
// A ConversationHost that only records: what was written, which timers run, and what
// a window would show of the events. No link, no event loop.

#include <map>
#include <string>
#include <vector>

#include "device/conversation_host.h"
#include "device/frames.h"
#include "recording_view.h"

namespace sondara::test {

struct FakeHost : ConversationHost, RecordingView {
    FakeHost() : RecordingView(store) {}

    SurveyStore store;
    bool linkOpen = true;
    std::vector<Bytes> written;
    std::map<DeviceTimer, int> running;  // timer -> period

    bool IsLinkOpen() override { return linkOpen; }
    void WriteBytes(const std::uint8_t* d, std::size_t n) override { written.emplace_back(d, d + n); }
    void StartTimer(DeviceTimer t, int ms) override { running[t] = ms; }
    void StopTimer(DeviceTimer t) override { running.erase(t); }
    SurveyStore& Store() override { return store; }
    void Emit(const DeviceEvent& e) override { Show(e); }

    bool Running(DeviceTimer t) const { return running.count(t) != 0; }
    int Period(DeviceTimer t) const { return running.count(t) ? running.at(t) : 0; }
    std::string LastWrittenHex() const;
};

// "FF FF ..." of bytes, as the command table writes them.
std::string Hex(const Bytes& b);
inline std::string FakeHost::LastWrittenHex() const { return written.empty() ? "" : Hex(written.back()); }

}  // namespace sondara::test
