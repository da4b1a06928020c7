#pragma once
// Replies both instruments give the same way: the connection test, the clock, the
// progress of a history download and the end of a memory clear.

#include <cstdint>
#include <span>
#include <string>

#include "device/conversation_host.h"

namespace sondara {

// "硬件版本：%d.%d.%d; 软件版本：%d.%d.%d" from bytes 12 to 17 of a test reply.
std::string FormatVersions(std::span<const std::uint8_t> frame);

// What a test reply shows: "设备连接正常!" with the version line under it.
void ShowTestAnswer(std::span<const std::uint8_t> frame);

// A clock reply (bytes 13 to 18, BCD) goes to the clock display; a reply too short to
// hold the clock is ignored.
void ShowClockReply(ConversationHost& host, std::span<const std::uint8_t> frame);

// The progress bar at history record `idx` of the `total` announced: idx × 100 ÷
// total in float, truncated, kept within 0 to 100.
int RecordProgress(float idx, float total);

// The instrument says its memory is empty: table cleared, status, full bar, message.
void FinishMemoryClear(ConversationHost& host, ConversationEvent cleared);

}  // namespace sondara
