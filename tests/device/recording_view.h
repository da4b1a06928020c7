#pragma once
// What a window would show of the line's events, recorded: status texts, progress
// values, table rows, live values and clocks, through the program's own presenter,
// and the events themselves.

#include <string>
#include <variant>
#include <vector>

#include "ui/mainwindow/device_presenter.h"

namespace sondara::test {

struct RecordingView : DeviceView {
    explicit RecordingView(const SurveyStore& s) : store(s) {}

    const SurveyStore& store;
    std::vector<std::string> status;
    std::vector<int> progress;
    std::vector<std::string> rows;  // "P<idx>", "S<hole>/<idx>", "H<n>"; cleared by ClearRows
    int rowCount = 0;               // rows a table would hold (every record of every hole after FillHoleRows)
    int holeRowFills = 0;
    int liveDisplays = 0;
    std::vector<LiveValues> live;
    std::vector<CalendarTime> clocks;
    int linkClosings = 0;
    std::vector<DeviceEvent> events;
    DevicePresenter presenter;

    void Show(const DeviceEvent& e) {
        events.push_back(e);
        presenter.Present(e, *this);
    }
    template <typename Event>
    int Count() const {
        int n = 0;
        for (const DeviceEvent& e : events) n += std::holds_alternative<Event>(e);
        return n;
    }
    template <typename Event>
    const Event* Last() const {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (const auto* e = std::get_if<Event>(&*it)) return e;
        }
        return nullptr;
    }

    void SetStatusText(const std::string& s) override { status.push_back(s); }
    void SetProgress(int p) override { progress.push_back(p); }
    void ClearRows() override {
        rows.clear();
        rowCount = 0;
    }
    void AppendProbeRow(std::size_t i) override {
        rows.push_back("P" + std::to_string(store.m_probeRecords.at(i).idx));
        ++rowCount;
    }
    void AppendSyncRow(std::size_t i) override {
        const SyncRecord& r = store.m_syncRecords.at(i);
        rows.push_back("S" + std::to_string(r.hole) + "/" + std::to_string(r.idx));
        ++rowCount;
    }
    void FillHoleRows() override {
        ++holeRowFills;
        for (const HoleSurvey& h : store.m_holes) {
            rows.push_back("H" + std::to_string(h.records.size()));
            rowCount += static_cast<int>(h.records.size());
        }
    }
    void OpenLiveValuesDisplay() override { ++liveDisplays; }
    void ShowLiveValues(const LiveValues& l) override { live.push_back(l); }
    void ShowInstrumentClock(const CalendarTime& c) override { clocks.push_back(c); }
    void LinkClosed() override { ++linkClosings; }
};

}  // namespace sondara::test
