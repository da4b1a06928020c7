#pragma once
// The two send operations every command goes through.

#include <span>
#include <string_view>

#include "device/conversation_host.h"

namespace sondara {

// With the link closed: stops the reply and real-time timers, reports
// Failed{LinkClosed} and sends nothing. Otherwise writes the command and (re)arms the
// 6000 ms reply time-out. Returns whether the command was written.
bool SendHexCommand(ConversationHost& host, std::string_view hexText);

// The same for a built clock command to `instrument`; after writing it also reports
// ClockCommandSent.
bool SendClockCommand(ConversationHost& host, Instrument instrument, std::span<const std::uint8_t> bytes);

inline constexpr int kReplyTimeoutMs = 6000;
inline constexpr int kSyncClearTimeoutMs = 25000;
inline constexpr int kRealTimePeriodMs = 1000;
inline constexpr int kProgressPeriodMs = 1000;

}  // namespace sondara
