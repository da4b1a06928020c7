#include "device/common_replies.h"

#include "device/frames.h"

namespace sondara {

namespace {
constexpr std::size_t kClockReplyMinLength = 20;  // bytes 13 to 18 are the clock
}  // namespace

TestAnswered DecodeTestAnswer(Instrument instrument, std::span<const std::uint8_t> frame) {
    auto at = [&](std::size_t pos) { return pos < frame.size() ? int{frame[pos]} : 0; };
    TestAnswered a{instrument};
    for (int i = 0; i < 3; ++i) {
        a.hardware[i] = at(12 + i);
        a.software[i] = at(15 + i);
    }
    return a;
}

void ReportClockReply(ConversationHost& host, Instrument instrument, std::span<const std::uint8_t> frame) {
    if (frame.size() < kClockReplyMinLength) return;
    host.Emit(
        ClockAnswered{instrument, CalendarTime{BcdToInt(frame[13]) + 2000, BcdToInt(frame[14]), BcdToInt(frame[15]),
                                               BcdToInt(frame[16]), BcdToInt(frame[17]), BcdToInt(frame[18])}});
}

int RecordProgress(float idx, float total) {
    const float percent = idx * 100 / total;
    if (!(percent > 0)) return 0;  // also an undefined quotient
    return percent >= 100 ? 100 : static_cast<int>(percent);
}

void FinishMemoryClear(ConversationHost& host, Instrument instrument) {
    host.StopTimer(DeviceTimer::Progress);
    host.Emit(MemoryCleared{instrument});
}

}  // namespace sondara
