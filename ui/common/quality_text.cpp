#include "quality_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/text.h"

namespace sondara {

namespace {

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string HoleLabel(const SurveyStore& store, int hole) {
    if (hole >= 0 && hole < static_cast<int>(store.m_holes.size()) && !store.m_holes[hole].name.empty())
        return Utf16ToUtf8(store.m_holes[hole].name);
    return Format("孔号%d", hole);
}

const char* NoEstimateReason(ClockOffsetVerdict v) {
    switch (v) {
        case ClockOffsetVerdict::Clear:
            return "";
        case ClockOffsetVerdict::NoStillPeriods:
            return "探管数据中没有静止段";
        case ClockOffsetVerdict::TooFewKeyPresses:
            return "静止段附近的同步器记录太少";
        case ClockOffsetVerdict::FewInStill:
            return "任何偏差下落在静止段内的钻杆记录都不足一半";
        case ClockOffsetVerdict::Ambiguous:
            return "相差一根钻杆以上的另一偏差几乎同样吻合";
    }
    return "";
}

}  // namespace

std::string StationFindingText(const SurveyStore& store, const HoleQuality& hole, const StationQuality& s,
                               const QualityOptions& options) {
    const ProbeRecord& r = store.m_holes[hole.hole].records[s.record];
    std::string line =
        Format("%s 第%d测点（深度 %.2f m）：", HoleLabel(store, hole.hole).c_str(), s.station + 1, r.depth);
    std::string parts;
    auto add = [&](const std::string& part) { parts += (parts.empty() ? "" : "；") + part; };
    if (s.flags & kFlagGravity) add(Format("总重力 %.3f 超出 1±%.3f", r.GT, options.field.gravity));
    if (s.flags & kFlagField) add(Format("总磁场 %.4f 偏离本孔中值", r.MT));
    if (s.flags & kFlagDip) add(Format("磁倾角 %.2f° 偏离本孔中值", SignedDip(r.DIP)));
    if (s.flags & kFlagDogleg)
        add(Format("狗腿度 %.2f°/30m 超过 %.1f°/30m", s.dogleg.value_or(0), options.doglegLimit));
    return line + parts;
}

std::string FindingTimeText(const OleTime& t) {
    const auto c = CalendarFromOleTime(t);
    if (!c) return FormatOleTime(t);
    return Format("%04d-%02d-%02d %02d:%02d:%02d", c->year, c->month, c->day, c->hour, c->minute, c->second);
}

std::string ClockOffsetText(const ClockOffsetEstimate& clock) {
    if (!clock.clear()) return Format("时钟偏差：无明确估计（%s）", NoEstimateReason(clock.verdict));
    const double seconds = clock.offsetSeconds;
    if (std::fabs(seconds) < 0.05) return Format("时钟偏差：探管与同步器时钟一致（置信度 %.2f）", clock.confidence);
    return Format("时钟偏差：探管时钟比同步器%s %.1f 秒（置信度 %.2f）", seconds > 0 ? "快" : "慢", std::fabs(seconds),
                  clock.confidence);
}

std::string QualitySummaryText(const QualityReport& report, const QualityOptions& options) {
    std::string parts;
    auto add = [&](const std::string& part) { parts += (parts.empty() ? "" : "，") + part; };
    if (report.ClockOffsetWorthApplying(options))
        add(Format("时钟偏差约 %.0f 秒", std::round(report.clock.offsetSeconds)));  // as applied
    else if (!report.clock.clear() && report.syncRecords > 0)
        add("时钟偏差无明确估计");
    if (report.ManyUnpaired(options)) add(Format("%d 条同步器记录未配对", report.unpairedSyncRecords));
    if (const int n = report.MissedRods()) add(Format("漏记钻杆 %d 处", n));
    if (const int n = report.ExtraRods()) add(Format("多记钻杆 %d 处", n));
    if (const int n = report.FlaggedStations()) add(Format("异常测点 %d 个", n));
    const int findings = report.FindingCount(options);
    if (parts.empty()) return "质量检查：未发现问题";
    if (findings == 0) return "质量检查：" + parts;
    return Format("质量检查：发现 %d 项（", findings) + parts + "）";
}

namespace {

// The rod-key and station lines of every hole, or of hole `only` when it is not -1.
void AddHoleFindingLines(const QualityReport& report, const SurveyStore& store, const QualityOptions& options, int only,
                         std::vector<std::string>& lines) {
    for (const RodKeyFinding& f : report.rodKeys) {
        if (only >= 0 && f.hole != only) continue;
        const std::string hole = HoleLabel(store, f.hole);
        const std::string at = FindingTimeText(OleTimeFromLinearSeconds(f.still.start));
        const bool missed = f.fault == RodKeyFault::Missed;
        std::string line = missed ? Format("%s 漏记钻杆：%s 起的静止段没有同步器记录", hole.c_str(), at.c_str())
                                  : Format("%s 多记钻杆：%s 起的静止段有两次按键（第二次 %s）", hole.c_str(),
                                           at.c_str(), FindingTimeText(f.key.time).c_str());
        if (f.affected > 0)
            line += Format("，第%d测点起 %d 个测点%s一根钻杆", f.firstAffected + 1, f.affected, missed ? "浅" : "深");
        lines.push_back(line);
    }
    for (const HoleQuality& h : report.holes) {
        if (only >= 0 && h.hole != only) continue;
        for (const StationQuality& s : h.stations) {
            if (s.flags) lines.push_back(StationFindingText(store, h, s, options));
        }
    }
}

}  // namespace

std::vector<std::string> QualityFindingLines(const QualityReport& report, const SurveyStore& store,
                                             const QualityOptions& options) {
    std::vector<std::string> lines;
    if (report.syncRecords > 0) lines.push_back(ClockOffsetText(report.clock));
    if (report.ManyUnpaired(options))
        lines.push_back(
            Format("同步器记录 %d 条中有 %d 条未与探管数据配对", report.syncRecords, report.unpairedSyncRecords));
    AddHoleFindingLines(report, store, options, -1, lines);
    return lines;
}

std::vector<std::string> HoleFindingLines(const QualityReport& report, const SurveyStore& store,
                                          const QualityOptions& options, int hole) {
    std::vector<std::string> lines;
    AddHoleFindingLines(report, store, options, hole, lines);
    for (const HoleQuality& h : report.holes) {
        if (h.hole == hole && h.method) lines.push_back(MethodComparisonText(h, store));
    }
    return lines;
}

std::string MethodComparisonText(const HoleQuality& hole, const SurveyStore& store) {
    const std::string label = HoleLabel(store, hole.hole);
    if (!hole.method) return label + " 终点：未计算";
    const MethodComparison& m = *hole.method;
    return Format("%s 终点：均角法 (%.3f, %.3f, %.3f)，最小曲率法 (%.3f, %.3f, %.3f)，相距 %.3f m（孔深 %.1f m）",
                  label.c_str(), m.meanAngleEnd.e, m.meanAngleEnd.n, m.meanAngleEnd.d, m.minimumCurvatureEnd.e,
                  m.minimumCurvatureEnd.n, m.minimumCurvatureEnd.d, m.distance, m.length);
}

}  // namespace sondara
