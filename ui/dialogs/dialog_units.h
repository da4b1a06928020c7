#pragma once
// Dialog layouts are given in dialog units: a quarter of the font's average
// character width across, an eighth of its height down.

#include <QRect>

class QWidget;

QRect DialogUnitsRect(const QWidget& dialog, int x, int y, int width, int height);
