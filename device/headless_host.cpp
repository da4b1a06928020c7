#include "device/headless_host.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

namespace sondara {

namespace {
constexpr int kEventKinds = static_cast<int>(ConversationEvent::ReplyTimedOut) + 1;
constexpr DeviceTimer kTimers[] = {DeviceTimer::Reply, DeviceTimer::RealTime, DeviceTimer::Progress};
}  // namespace

HeadlessHost::HeadlessHost(SerialLink& link, SurveyStore& store)
    : link_(link), store_(store), session_(*this), eventCounts_(kEventKinds, 0) {
    for (DeviceTimer t : kTimers) {
        QObject::connect(&Timer(t), &QTimer::timeout, [this, t] { session_.OnTimer(t); });
    }
    received_ = QObject::connect(&link_, &SerialLink::dataReceived, [this] {
        const std::vector<std::uint8_t> bytes = link_.ReadAll();
        session_.OnSerialData(bytes);
    });
}

HeadlessHost::~HeadlessHost() { QObject::disconnect(received_); }

bool HeadlessHost::RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    // Blocks for the next event; the ticker makes sure there is one now and then, so
    // that the deadline is seen even on a quiet line.
    QTimer ticker;
    ticker.start(20);
    while (!done()) {
        if (clock.elapsed() >= timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool HeadlessHost::RunUntilEvent(ConversationEvent event, int timeoutMs, int count) {
    return RunUntil([&] { return EventCount(event) >= count; }, timeoutMs);
}

int HeadlessHost::EventCount(ConversationEvent event) const { return eventCounts_[static_cast<int>(event)]; }

QTimer& HeadlessHost::Timer(DeviceTimer timer) { return timers_[static_cast<int>(timer) - 1]; }
const QTimer& HeadlessHost::Timer(DeviceTimer timer) const { return timers_[static_cast<int>(timer) - 1]; }
bool HeadlessHost::TimerActive(DeviceTimer timer) const { return Timer(timer).isActive(); }
int HeadlessHost::TimerInterval(DeviceTimer timer) const { return Timer(timer).interval(); }

bool HeadlessHost::IsLinkOpen() { return link_.GetPortNumber() != 0; }

void HeadlessHost::WriteBytes(const std::uint8_t* data, std::size_t size) {
    link_.WriteBytes(data, static_cast<int>(size));
}

void HeadlessHost::StartTimer(DeviceTimer timer, int milliseconds) { Timer(timer).start(milliseconds); }
void HeadlessHost::StopTimer(DeviceTimer timer) { Timer(timer).stop(); }

void HeadlessHost::SetStatusText(std::string_view text) { statusTexts.emplace_back(text); }

void HeadlessHost::SetProgress(int percent) {
    progressValues.push_back(percent);
    if (onProgress) onProgress(percent);
}

void HeadlessHost::ClearRows() { rowCount = 0; }
void HeadlessHost::AppendProbeRow(const ProbeRecord&) { ++rowCount; }
void HeadlessHost::AppendSyncRow(const SyncRecord&) { ++rowCount; }

void HeadlessHost::FillHoleRows() {
    rowCount = 0;
    for (const HoleSurvey& hole : store_.m_holes) rowCount += static_cast<int>(hole.records.size());
    ++holeRowFills;
}

bool HeadlessHost::OpenLiveValuesDisplay() {
    liveDisplayOpen = true;
    return true;
}

void HeadlessHost::ShowLiveValues(const LiveValues& live) { liveValues.push_back(live); }
void HeadlessHost::ShowInstrumentClock(const CalendarTime& clock) { clocks.push_back(clock); }
SurveyStore& HeadlessHost::Store() { return store_; }

void HeadlessHost::Notify(ConversationEvent event) {
    ++eventCounts_[static_cast<int>(event)];
    if (onEvent) onEvent(event);
}

}  // namespace sondara
