#pragma once
// Replies both instruments give the same way: the connection test, the clock, and the
// progress value of a history download.

#include <cstdint>
#include <span>

#include "device/conversation_host.h"

namespace sondara {

// A test reply: hardware version from bytes 12 to 14, software version from 15 to 17
// (0 where the reply is too short).
TestAnswered DecodeTestAnswer(Instrument instrument, std::span<const std::uint8_t> frame);

// A clock reply (bytes 13 to 18, BCD) is reported; a reply too short to hold the
// clock is ignored.
void ReportClockReply(ConversationHost& host, Instrument instrument, std::span<const std::uint8_t> frame);

// The progress bar at history record `idx` of the `total` announced: idx × 100 ÷
// total in float, truncated, kept within 0 to 100.
int RecordProgress(float idx, float total);

// The instrument says its memory is empty: the clearing animation stops.
void FinishMemoryClear(ConversationHost& host, Instrument instrument);

}  // namespace sondara
