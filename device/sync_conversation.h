#pragma once
// The conversation with the depth synchronizer: connection test, history download,
// clearing its memory (which takes the instrument a while), and the handling of every
// synchronizer reply other than calibration blocks.

#include <cstdint>
#include <span>

#include "core/records.h"
#include "device/conversation_host.h"

namespace sondara {

class SyncConversation {
public:
    explicit SyncConversation(ConversationHost& host);

    // Menu commands.
    void TestConnection();
    void StartHistoryDownload();
    void ClearMemory();  // asks first; only OK goes on

    // A TIMER_PROGRESS tick during clearing.
    void OnProgressTick();

    // A complete checked reply frame from the synchronizer (byte 6 = 02), other than a
    // calibration block.
    void HandleReply(std::span<const std::uint8_t> frame);

private:
    void HandleHeader(std::span<const std::uint8_t> frame);
    void HandleRecord(std::span<const std::uint8_t> frame);

    ConversationHost& host_;
    std::int32_t syncTotal_ = 0;
    int progressStep_ = 0;
};

// A history record (L = 26). The download position p is read as the unsigned 16-bit
// number it is on the wire.
struct SyncHistoryEntry {
    SyncRecord record;
    std::uint16_t position = 0;
    bool stored = false;  // the record marker byte is FF
};
SyncHistoryEntry DecodeSyncRecord(std::span<const std::uint8_t> frame);

// When both record sets are present: assembles the holes and refills the table.
void AssembleIfBothPresent(ConversationHost& host);

}  // namespace sondara
