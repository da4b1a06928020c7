#include "device/instrument_line.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

namespace sondara {

InstrumentLine::InstrumentLine(SurveyStore& store, QObject* parent) : QObject(parent), store_(store), session_(*this) {
    for (DeviceTimer t : {DeviceTimer::Reply, DeviceTimer::RealTime, DeviceTimer::Progress}) {
        connect(&timer(t), &QTimer::timeout, this, [this, t] { session_.OnTimer(t); });
    }
    connect(&link_, &SerialLink::dataReceived, this, [this] { session_.OnSerialData(link_.ReadAll()); });
    connect(&link_, &SerialLink::lineLost, this, [this] { session_.OnLinkLost(); });
}

InstrumentLine::~InstrumentLine() {
    disconnect(&link_, nullptr, this, nullptr);
    link_.Close();
}

bool InstrumentLine::RunUntil(const std::function<bool()>& done, int timeoutMs) {
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

bool InstrumentLine::IsLinkOpen() { return link_.GetPortNumber() != 0; }

void InstrumentLine::WriteBytes(const std::uint8_t* data, std::size_t size) {
    link_.WriteBytes(data, static_cast<int>(size));
}

void InstrumentLine::StartTimer(DeviceTimer t, int milliseconds) { timer(t).start(milliseconds); }
void InstrumentLine::StopTimer(DeviceTimer t) { timer(t).stop(); }
SurveyStore& InstrumentLine::Store() { return store_; }
void InstrumentLine::Emit(const DeviceEvent& event) { emit deviceEvent(event); }

}  // namespace sondara
