#pragma once
// A ConversationHost that only records: what was written, which timers run, what a
// window would show. No link, no event loop.

#include <map>
#include <string>
#include <vector>

#include "device/conversation_host.h"
#include "device/frames.h"

namespace sondara::test {

struct FakeHost : ConversationHost {
    bool linkOpen = true;
    std::vector<Bytes> written;
    std::map<DeviceTimer, int> running;  // timer -> period
    std::vector<std::string> status;
    std::vector<int> progress;
    std::vector<std::string> rows;  // "P<idx>", "S<hole>/<idx>", "H<n>"; cleared by ClearRows
    int liveDisplays = 0;
    std::vector<LiveValues> live;
    std::vector<CalendarTime> clocks;
    std::vector<ConversationEvent> events;
    SurveyStore store;

    bool IsLinkOpen() override { return linkOpen; }
    void WriteBytes(const std::uint8_t* d, std::size_t n) override { written.emplace_back(d, d + n); }
    void StartTimer(DeviceTimer t, int ms) override { running[t] = ms; }
    void StopTimer(DeviceTimer t) override { running.erase(t); }
    void SetStatusText(std::string_view s) override { status.emplace_back(s); }
    void SetProgress(int p) override { progress.push_back(p); }
    void ClearRows() override { rows.clear(); }
    void AppendProbeRow(const ProbeRecord& r) override { rows.push_back("P" + std::to_string(r.idx)); }
    void AppendSyncRow(const SyncRecord& r) override {
        rows.push_back("S" + std::to_string(r.hole) + "/" + std::to_string(r.idx));
    }
    void FillHoleRows() override {
        for (const HoleSurvey& h : store.m_holes) rows.push_back("H" + std::to_string(h.records.size()));
    }
    bool OpenLiveValuesDisplay() override { return ++liveDisplays > 0; }
    void ShowLiveValues(const LiveValues& l) override { live.push_back(l); }
    void ShowInstrumentClock(const CalendarTime& c) override { clocks.push_back(c); }
    SurveyStore& Store() override { return store; }
    void Notify(ConversationEvent e) override { events.push_back(e); }

    bool Running(DeviceTimer t) const { return running.count(t) != 0; }
    int Period(DeviceTimer t) const { return running.count(t) ? running.at(t) : 0; }
    std::string LastWrittenHex() const;
    int Count(ConversationEvent e) const {
        int n = 0;
        for (ConversationEvent x : events) n += x == e;
        return n;
    }
};

// "FF FF ..." of bytes, as the command table writes them.
std::string Hex(const Bytes& b);
inline std::string FakeHost::LastWrittenHex() const { return written.empty() ? "" : Hex(written.back()); }

}  // namespace sondara::test
