#pragma once
// Everything the main window runs on the serial line: the receive buffer, the send
// operations and both instrument conversations, reaching the outside only through a
// ConversationHost. The window owns one session and a SerialLink, forwards the link's
// received bytes to OnSerialData, the ticks of its three timers to OnTimer, and its
// menu commands to the conversations.

#include <cstdint>
#include <span>
#include <string_view>

#include "device/conversation_host.h"
#include "device/frames.h"
#include "device/probe_conversation.h"
#include "device/reply_scanner.h"
#include "device/sync_conversation.h"

namespace sondara {

class InstrumentSession {
public:
    explicit InstrumentSession(ConversationHost& host);

    ProbeConversation& probe() { return probe_; }
    SyncConversation& sync() { return sync_; }

    // Received bytes: everything the link had waiting (SerialLink::ReadAll). Stops the
    // reply time-out, then hands every complete checked reply to its conversation.
    void OnSerialData(std::span<const std::uint8_t> received);

    // A tick of one of the three timers.
    void OnTimer(DeviceTimer timer);

    // The clock dialog: one ReadClock per tick, SetClock with the PC's local time now.
    void SendReadClock(Instrument instrument);
    void SendSetClock(Instrument instrument);

    // The start-up port scan empties the receive buffer.
    void ClearReceiveBuffer() { buffer_.Clear(); }

private:
    void HandleFrame(std::span<const std::uint8_t> frame);

    ConversationHost& host_;
    ReceiveBuffer buffer_;
    ProbeConversation probe_;
    SyncConversation sync_;
};

}  // namespace sondara
