#pragma once
// Holes with computed stations, for the drawing, window and report tests.

#include <QColor>
#include <QImage>
#include <QRect>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/text.h"

namespace sondara::test {

struct StationValues {
    float depth = 0, dy = 0, dz = 0, x = 0, y = 0, z = 0;
    int mark = 0;
};

inline ProbeRecord MakeStation(const StationValues& s, int flag = kSampled | kStation) {
    ProbeRecord r;
    r.flag = flag;
    r.depth = s.depth;
    r.dy = s.dy;
    r.dz = s.dz;
    r.x = s.x;
    r.y = s.y;
    r.z = s.z;
    r.mark = s.mark;
    return r;
}

inline HoleSurvey MakeHole(const std::string& name, const std::vector<StationValues>& stations) {
    HoleSurvey h;
    h.name = Utf8ToUtf16(name);
    for (const StationValues& s : stations) h.records.push_back(MakeStation(s));
    return h;
}

// A hole of n stations along a gentle curve, depth i metres.
inline HoleSurvey RampHole(const std::string& name, int n) {
    std::vector<StationValues> s;
    for (int i = 0; i < n; ++i) s.push_back({float(i), 0.01f * i, -0.02f * i, 0.5f * i, 0.8f * i, 0.1f * i});
    return MakeHole(name, s);
}

inline bool IsRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
inline bool IsGreen(QRgb c) { return qRed(c) < 60 && qGreen(c) > 100 && qGreen(c) < 160 && qBlue(c) < 60; }
inline bool IsBlue(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) > 200; }
inline bool IsBlack(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }
inline bool IsGrey(QRgb c) { return c == qRgb(192, 192, 192); }
inline bool IsWhite(QRgb c) { return c == qRgb(255, 255, 255); }

// How many pixels of `area` satisfy `test`.
template <class Test>
int CountPixels(const QImage& image, const QRect& area, Test test) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && test(image.pixel(x, y))) ++count;
    return count;
}

}  // namespace sondara::test
