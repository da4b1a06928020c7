#include "device/common_replies.h"

#include <algorithm>
#include <cstdio>

#include "core/messages.h"
#include "device/frames.h"

namespace sondara {

namespace {
constexpr std::size_t kClockReplyMinLength = 20;  // bytes 13 to 18 are the clock
}  // namespace

std::string FormatVersions(std::span<const std::uint8_t> frame) {
    auto at = [&](std::size_t pos) { return pos < frame.size() ? int{frame[pos]} : 0; };
    char text[128];
    std::snprintf(text, sizeof text, "硬件版本：%d.%d.%d; 软件版本：%d.%d.%d", at(12), at(13), at(14), at(15), at(16),
                  at(17));
    return text;
}

void ShowTestAnswer(std::span<const std::uint8_t> frame) {
    ShowMessage("设备连接正常!\n" + FormatVersions(frame), "设备回复信息", MessageIcon::Information);
}

void ShowClockReply(ConversationHost& host, std::span<const std::uint8_t> frame) {
    if (frame.size() < kClockReplyMinLength) return;
    host.ShowInstrumentClock(CalendarTime{BcdToInt(frame[13]) + 2000, BcdToInt(frame[14]), BcdToInt(frame[15]),
                                          BcdToInt(frame[16]), BcdToInt(frame[17]), BcdToInt(frame[18])});
    host.Notify(ConversationEvent::InstrumentClockShown);
}

int RecordProgress(float idx, float total) { return std::clamp(static_cast<int>(idx * 100 / total), 0, 100); }

void FinishMemoryClear(ConversationHost& host, ConversationEvent cleared) {
    host.ClearRows();
    host.SetStatusText("任务完成");
    host.SetProgress(100);
    host.StopTimer(DeviceTimer::Progress);
    ShowMessage("数据已清空", "设备回复信息", MessageIcon::Information);
    host.Notify(cleared);
}

}  // namespace sondara
