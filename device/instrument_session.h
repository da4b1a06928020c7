#pragma once
// Everything that runs on the serial line: the receive buffer, the send operations
// and both instrument conversations, reaching the outside only through a
// ConversationHost. InstrumentLine owns one session, forwards the link's received
// bytes to OnSerialData, the ticks of its three timers to OnTimer and a hang-up to
// OnLinkLost; the window and sondara-cli call the conversations' commands.

#include <cstdint>
#include <span>

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

    // Received bytes: everything the link had waiting. Stops the reply time-out, then
    // hands every complete checked reply to its conversation; while a download is
    // under way the reply timer then watches for a quiet line.
    void OnSerialData(std::span<const std::uint8_t> received);

    // A tick of one of the three timers. The reply timer's expiry ends a download
    // under way as incomplete (a quiet line); otherwise it is a time-out.
    void OnTimer(DeviceTimer timer);

    // The device hung up and the link has been closed: timers stop, a download under
    // way ends with what arrived, and Failed{LinkLost} is reported.
    void OnLinkLost();

    // Stops a download under way, keeping what arrived (reported as incomplete).
    void CancelDownload();
    // Whether a download has been asked for and not yet ended.
    bool DownloadPending() const;

    // The clock dialog: one ReadClock per tick, SetClock with the PC's local time now.
    void SendReadClock(Instrument instrument);
    void SendSetClock(Instrument instrument);

    // The start-up port scan empties the receive buffer.
    void ClearReceiveBuffer() { buffer_.Clear(); }

private:
    void HandleFrame(std::span<const std::uint8_t> frame);
    bool Receiving() const;
    void EndDownloads(DownloadEnd end);

    ConversationHost& host_;
    ReceiveBuffer buffer_;
    ProbeConversation probe_;
    SyncConversation sync_;
};

}  // namespace sondara
