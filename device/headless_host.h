#pragma once
// A ConversationHost without a window, for sondara-cli and the tests: real Qt timers,
// a SerialLink whose received bytes go to the session, and a record of what a window
// would have shown (status texts, progress values, rows, live values, clocks).

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "device/conversation_host.h"
#include "device/instrument_session.h"
#include "device/serial_link.h"

namespace sondara {

class HeadlessHost : public ConversationHost {
public:
    // `store` must outlive the host; the link may be opened and closed at any time.
    HeadlessHost(SerialLink& link, SurveyStore& store);
    ~HeadlessHost() override;

    InstrumentSession& session() { return session_; }

    // Runs the event loop until `done` holds (checked after every event the host sees)
    // or `timeoutMs` has passed; whether `done` held.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs);
    // Runs until `event` has been notified `count` times in all.
    bool RunUntilEvent(ConversationEvent event, int timeoutMs, int count = 1);
    int EventCount(ConversationEvent event) const;

    // Called on every notification, after it is counted.
    std::function<void(ConversationEvent)> onEvent;
    // Called on every progress value.
    std::function<void(int)> onProgress;

    // What a window would have shown.
    std::vector<std::string> statusTexts;
    std::vector<int> progressValues;
    int rowCount = 0;
    int holeRowFills = 0;
    bool liveDisplayOpen = false;
    std::vector<LiveValues> liveValues;
    std::vector<CalendarTime> clocks;
    bool TimerActive(DeviceTimer timer) const;
    int TimerInterval(DeviceTimer timer) const;

    // ConversationHost
    bool IsLinkOpen() override;
    void WriteBytes(const std::uint8_t* data, std::size_t size) override;
    void StartTimer(DeviceTimer timer, int milliseconds) override;
    void StopTimer(DeviceTimer timer) override;
    void SetStatusText(std::string_view text) override;
    void SetProgress(int percent) override;
    void ClearRows() override;
    void AppendProbeRow(const ProbeRecord& record) override;
    void AppendSyncRow(const SyncRecord& record) override;
    void FillHoleRows() override;
    bool OpenLiveValuesDisplay() override;
    void ShowLiveValues(const LiveValues& live) override;
    void ShowInstrumentClock(const CalendarTime& clock) override;
    SurveyStore& Store() override;
    void Notify(ConversationEvent event) override;

private:
    QTimer& Timer(DeviceTimer timer);
    const QTimer& Timer(DeviceTimer timer) const;

    SerialLink& link_;
    SurveyStore& store_;
    InstrumentSession session_;
    QTimer timers_[3];
    QMetaObject::Connection received_;
    std::vector<int> eventCounts_;
};

}  // namespace sondara
