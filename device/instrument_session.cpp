#include "device/instrument_session.h"

#include "core/time_seam.h"
#include "device/send.h"

namespace sondara {

InstrumentSession::InstrumentSession(ConversationHost& host) : host_(host), probe_(host), sync_(host) {}

void InstrumentSession::OnSerialData(std::span<const std::uint8_t> received) {
    host_.StopTimer(DeviceTimer::Reply);
    if (!received.empty())
        buffer_.Receive(received, [this](std::span<const std::uint8_t> frame) { HandleFrame(frame); });
    // A download asked for keeps its time-out until its header is in: a lost last
    // calibration block or a damaged header must not leave it waiting for good.
    if (Receiving())
        host_.StartTimer(DeviceTimer::Reply, kQuietLineMs);
    else if (DownloadPending())
        host_.StartTimer(DeviceTimer::Reply, kReplyTimeoutMs);
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

bool InstrumentSession::Receiving() const { return probe_.download().receiving() || sync_.download().receiving(); }

bool InstrumentSession::DownloadPending() const { return probe_.download().pending() || sync_.download().pending(); }

void InstrumentSession::EndDownloads(DownloadEnd end) {
    host_.StopTimer(DeviceTimer::Reply);
    probe_.download().Finish(end);
    sync_.download().Finish(end);
}

void InstrumentSession::OnTimer(DeviceTimer timer) {
    switch (timer) {
        case DeviceTimer::Reply:
            if (Receiving()) {
                EndDownloads(DownloadEnd::QuietLine);
                break;
            }
            host_.StopTimer(DeviceTimer::Reply);
            host_.StopTimer(DeviceTimer::Progress);
            EndDownloads(DownloadEnd::QuietLine);  // a download asked for and never answered
            host_.Emit(Failed{FailReason::TimedOut});
            break;
        case DeviceTimer::RealTime:
            probe_.OnRealTimeTick();
            break;
        case DeviceTimer::Progress:
            sync_.OnProgressTick();
            break;
    }
}

void InstrumentSession::OnLinkLost() {
    for (DeviceTimer t : {DeviceTimer::Reply, DeviceTimer::RealTime, DeviceTimer::Progress}) host_.StopTimer(t);
    EndDownloads(DownloadEnd::LinkLost);
    host_.Emit(Failed{FailReason::LinkLost});
}

void InstrumentSession::CancelDownload() { EndDownloads(DownloadEnd::Cancelled); }

void InstrumentSession::SendReadClock(Instrument instrument) {
    SendClockCommand(host_, instrument, BuildReadClock(instrument));
}

void InstrumentSession::SendSetClock(Instrument instrument) {
    const std::optional<CalendarTime> now = LocalNow();
    if (!now) return;
    SendClockCommand(host_, instrument, BuildSetClock(instrument, *now));
}

}  // namespace sondara
