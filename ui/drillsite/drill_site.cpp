#include "ui/drillsite/drill_site.h"

#include <cmath>

#include "core/angles.h"
#include "core/derived.h"
#include "core/stations.h"
#include "core/text.h"

std::optional<SitePoint> SiteHole::Collar() const {
    if (start) return start;
    if (!stations.empty()) return stations.front().at;
    return std::nullopt;
}

DrillSite SiteFromExchange(const std::vector<sondara::GroupPlotHole>& holes) {
    DrillSite site;
    for (const sondara::GroupPlotHole& h : holes) {
        SiteHole hole;
        hole.name = QString::fromStdString(h.name);
        for (const sondara::GroupPlotStation& s : h.stations) {
            hole.stations.push_back({s.depth, s.dy, s.dz, {s.x, s.y, s.z}, s.mark});
        }
        site.holes.push_back(std::move(hole));
    }
    return site;
}

namespace {

SiteDesign DesignOf(const sondara::HoleSurvey& h, double length) {
    SiteDesign d;
    d.from = {h.e0, h.n0, h.d0};
    d.trueAzimuth = sondara::Normalize360(sondara::DesignTrueAzimuth(h.params()));
    const double azimuth = sondara::DegToRad(d.trueAzimuth);
    const double inclination = sondara::DegToRad(h.dDip);
    d.to = {d.from.x + length * std::cos(inclination) * std::sin(azimuth),
            d.from.y + length * std::cos(inclination) * std::cos(azimuth), d.from.z + length * std::sin(inclination)};
    return d;
}

}  // namespace

DrillSite SiteFromSurvey(const sondara::SurveyStore& store) {
    DrillSite site;
    for (const sondara::HoleSurvey& h : store.m_holes) {
        if (h.name.empty()) continue;  // no parameters: nothing was computed
        SiteHole hole;
        hole.name = QString::fromStdU16String(h.name);
        for (const sondara::ProbeRecord& r : h.records) {
            if (sondara::IsStation(r)) hole.stations.push_back({r.depth, r.dy, r.dz, {r.x, r.y, r.z}, r.mark});
        }
        hole.start = SitePoint{h.e0, h.n0, h.d0};
        if (!hole.stations.empty()) hole.design = DesignOf(h, hole.stations.back().depth);
        site.holes.push_back(std::move(hole));
    }
    return site;
}

QColor HoleColour(int index) {
    static const QColor palette[] = {
        {31, 119, 180}, {214, 39, 40},   {44, 160, 44},  {148, 103, 189}, {255, 127, 14}, {23, 190, 207},
        {140, 86, 75},  {227, 119, 194}, {188, 189, 34}, {0, 0, 128},     {128, 0, 0},    {0, 100, 0},
    };
    constexpr int n = sizeof palette / sizeof palette[0];
    return palette[((index % n) + n) % n];
}
