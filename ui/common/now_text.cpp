#include "ui/common/now_text.h"

#include "core/ole_time.h"
#include "core/time_seam.h"

QString LocalNowText() {
    const auto now = sondara::LocalNow();
    if (!now) return {};
    return QString::fromStdString(sondara::FormatOleTime(sondara::OleTimeFromCalendar(*now)));
}
