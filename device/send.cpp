#include "device/send.h"

#include "device/frames.h"

namespace sondara {

namespace {

bool LinkReady(ConversationHost& host) {
    if (host.IsLinkOpen()) return true;
    host.StopTimer(DeviceTimer::Reply);
    host.StopTimer(DeviceTimer::RealTime);
    host.Emit(Failed{FailReason::LinkClosed});
    return false;
}

}  // namespace

bool SendHexCommand(ConversationHost& host, std::string_view hexText) {
    if (!LinkReady(host)) return false;
    const Bytes bytes = HexTextToBytes(hexText);
    host.WriteBytes(bytes.data(), bytes.size());
    host.StartTimer(DeviceTimer::Reply, kReplyTimeoutMs);
    return true;
}

bool SendClockCommand(ConversationHost& host, Instrument instrument, std::span<const std::uint8_t> bytes) {
    if (!LinkReady(host)) return false;
    host.WriteBytes(bytes.data(), bytes.size());
    host.Emit(ClockCommandSent{instrument});
    host.StartTimer(DeviceTimer::Reply, kReplyTimeoutMs);
    return true;
}

}  // namespace sondara
