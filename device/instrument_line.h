#pragma once
// The serial line as the program drives it: the one SerialLink, the three timers,
// the wiring of received bytes and hang-ups into the instrument session, and the
// survey store the downloads fill. The main window, sondara-cli and the tests all
// drive this object; each turns its events into what its user sees.

#include <QObject>
#include <QTimer>

#include <functional>

#include "device/conversation_host.h"
#include "device/instrument_session.h"
#include "device/serial_link.h"

namespace sondara {

class InstrumentLine : public QObject, private ConversationHost {
    Q_OBJECT

public:
    // `store` must outlive the line.
    explicit InstrumentLine(SurveyStore& store, QObject* parent = nullptr);
    ~InstrumentLine() override;

    SerialLink& link() { return link_; }
    InstrumentSession& session() { return session_; }
    QTimer& timer(DeviceTimer which) { return timers_[static_cast<int>(which) - 1]; }
    bool TimerActive(DeviceTimer which) const { return timers_[static_cast<int>(which) - 1].isActive(); }

    // Runs the event loop until `done` holds (checked after every event) or
    // `timeoutMs` has passed; whether `done` held.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs);

signals:
    // Every event of the conversations, in order, on the user-interface thread.
    void deviceEvent(const sondara::DeviceEvent& event);

private:
    // ConversationHost
    bool IsLinkOpen() override;
    void WriteBytes(const std::uint8_t* data, std::size_t size) override;
    void StartTimer(DeviceTimer timer, int milliseconds) override;
    void StopTimer(DeviceTimer timer) override;
    SurveyStore& Store() override;
    void Emit(const DeviceEvent& event) override;

    SurveyStore& store_;
    SerialLink link_;
    QTimer timers_[3];
    InstrumentSession session_;
};

}  // namespace sondara
