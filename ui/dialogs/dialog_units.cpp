#include "ui/dialogs/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

QRect DialogUnitsRect(const QWidget& dialog, int x, int y, int width, int height) {
    const QFontMetrics metrics(dialog.font());
    const double baseX = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
    const double baseY = metrics.height();
    const auto across = [&](int v) { return int(v * baseX / 4 + 0.5); };
    const auto down = [&](int v) { return int(v * baseY / 8 + 0.5); };
    return QRect(across(x), down(y), across(width), down(height));
}
