#pragma once
// The conversation with the depth synchronizer: connection test, history download,
// clearing its memory (which takes the instrument a while), and the handling of every
// synchronizer reply other than calibration blocks.

#include <cstdint>
#include <span>

#include "core/records.h"
#include "device/conversation_host.h"
#include "device/history_download.h"

namespace sondara {

class SyncConversation {
public:
    explicit SyncConversation(ConversationHost& host);

    // Menu commands; see ProbeConversation for `fillMissing`.
    void TestConnection();
    void StartHistoryDownload(bool fillMissing = false);
    void ClearMemory();  // the caller has asked the user

    // A TIMER_PROGRESS tick during clearing.
    void OnProgressTick();

    // A complete checked reply frame from the synchronizer (byte 6 = 02), other than a
    // calibration block.
    void HandleReply(std::span<const std::uint8_t> frame);

    HistoryDownload<SyncRecord>& download() { return download_; }
    const HistoryDownload<SyncRecord>& download() const { return download_; }

private:
    void HandleRecord(std::span<const std::uint8_t> frame);

    ConversationHost& host_;
    int progressStep_ = 0;
    HistoryDownload<SyncRecord> download_;
};

// A history record (L = 26). The download position p is read as the unsigned 16-bit
// number it is on the wire.
struct SyncHistoryEntry {
    SyncRecord record;
    std::uint16_t position = 0;
    bool stored = false;  // the record marker byte is FF
};
SyncHistoryEntry DecodeSyncRecord(std::span<const std::uint8_t> frame);

}  // namespace sondara
