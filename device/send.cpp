#include "device/send.h"

#include "core/messages.h"
#include "device/frames.h"

namespace sondara {

namespace {

bool LinkReady(ConversationHost& host) {
    if (host.IsLinkOpen()) return true;
    host.StopTimer(DeviceTimer::Reply);
    host.StopTimer(DeviceTimer::RealTime);
    ShowMessage("串口没有打开", "警告！", MessageIcon::Warning);
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

bool SendRawCommand(ConversationHost& host, std::span<const std::uint8_t> bytes) {
    if (!LinkReady(host)) return false;
    host.WriteBytes(bytes.data(), bytes.size());
    host.SetStatusText("程序准备就绪");
    host.StartTimer(DeviceTimer::Reply, kReplyTimeoutMs);
    return true;
}

}  // namespace sondara
