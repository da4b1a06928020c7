#include "device/instrument_session.h"

#include "core/messages.h"
#include "core/time_seam.h"
#include "device/send.h"

namespace sondara {

InstrumentSession::InstrumentSession(ConversationHost& host) : host_(host), probe_(host), sync_(host) {}

void InstrumentSession::OnSerialData(std::span<const std::uint8_t> received) {
    host_.StopTimer(DeviceTimer::Reply);
    if (received.empty()) return;
    buffer_.Receive(received, [this](std::span<const std::uint8_t> frame) { HandleFrame(frame); });
}

void InstrumentSession::HandleFrame(std::span<const std::uint8_t> frame) {
    if (frame[6] == kReplyFromProbe) {
        probe_.HandleReply(frame);
    } else if (static_cast<DeviceCommand>(frame[7]) == DeviceCommand::ReadCalibration) {
        probe_.HandleCalibrationBlock(frame);
    } else {
        sync_.HandleReply(frame);
    }
}

void InstrumentSession::OnTimer(DeviceTimer timer) {
    switch (timer) {
        case DeviceTimer::Reply:
            host_.StopTimer(DeviceTimer::Reply);
            ShowMessage("超时，无返回数据", "警告", MessageIcon::Warning);
            host_.StopTimer(DeviceTimer::Progress);
            host_.SetStatusText("任务失败");
            host_.SetProgress(0);
            host_.Notify(ConversationEvent::ReplyTimedOut);
            break;
        case DeviceTimer::RealTime:
            probe_.OnRealTimeTick();
            break;
        case DeviceTimer::Progress:
            sync_.OnProgressTick();
            break;
    }
}

void InstrumentSession::SendReadClock(Instrument instrument) { SendRawCommand(host_, BuildReadClock(instrument)); }

void InstrumentSession::SendSetClock(Instrument instrument) {
    const std::optional<CalendarTime> now = LocalNow();
    if (!now) return;
    SendRawCommand(host_, BuildSetClock(instrument, *now));
}

}  // namespace sondara
