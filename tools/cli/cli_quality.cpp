// sondara-cli qa: the quality checks of a survey, as text or as JSON for scripts.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "commands.h"
#include "core/quality/survey_quality.h"
#include "core/text.h"
#include "io/open_any.h"
#include "ui/common/file_messages.h"
#include "ui/common/quality_text.h"

namespace sondara::cli {
namespace {

using nlohmann::json;

const char kUsage[] =
    "qa SURVEY [--json] [--gravity-tolerance G] [--field-tolerance FRACTION] [--dip-tolerance DEGREES] "
    "[--dogleg-limit DEGREES_PER_30M]";

// The tolerance options, each taking a number that is not negative.
bool ParseTolerance(const std::string& name, const std::string& text, QualityOptions& o) {
    double* target = name == "--gravity-tolerance" ? &o.field.gravity
                     : name == "--field-tolerance" ? &o.field.fieldFraction
                     : name == "--dip-tolerance"   ? &o.field.dipDegrees
                     : name == "--dogleg-limit"    ? &o.doglegLimit
                                                   : nullptr;
    if (!target) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !(value >= 0) || !std::isfinite(value)) return false;
    *target = value;
    return true;
}

const char* VerdictName(ClockOffsetVerdict v) {
    switch (v) {
        case ClockOffsetVerdict::Clear:
            return "clear";
        case ClockOffsetVerdict::NoStillPeriods:
            return "noStillPeriods";
        case ClockOffsetVerdict::TooFewKeyPresses:
            return "tooFewKeyPresses";
        case ClockOffsetVerdict::FewInStill:
            return "fewInStill";
        case ClockOffsetVerdict::Ambiguous:
            return "ambiguous";
    }
    return "";
}

json Number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

json Point(const EastNorthUp& p) { return {{"e", Number(p.e)}, {"n", Number(p.n)}, {"d", Number(p.d)}}; }

json Flags(unsigned flags) {
    json names = json::array();
    if (flags & kFlagGravity) names.push_back("gravity");
    if (flags & kFlagField) names.push_back("field");
    if (flags & kFlagDip) names.push_back("dip");
    if (flags & kFlagDogleg) names.push_back("dogleg");
    return names;
}

json RodKey(const RodKeyFinding& f) {
    json j = {{"hole", f.hole},
              {"holeNumber", f.holeNumber},
              {"time", FindingTimeText(OleTimeFromLinearSeconds(f.still.start))},
              {"stillEnd", FindingTimeText(OleTimeFromLinearSeconds(f.still.end))},
              {"firstAffectedStation", f.firstAffected},
              {"affectedStations", f.affected}};
    if (f.fault == RodKeyFault::Missed)
        j["proposedKeyTime"] = FindingTimeText(f.key.time);
    else
        j["keyTime"] = FindingTimeText(f.key.time);
    return j;
}

json ReportJson(const QualityReport& r, const SurveyStore& store, const QualityOptions& o) {
    json j;
    // To the millisecond: more digits are only the rounding of the dates.
    j["clockOffsetSeconds"] = r.clock.clear() ? json(std::round(r.clock.offsetSeconds * 1000) / 1000) : json(nullptr);
    j["clockOffset"] = {{"verdict", VerdictName(r.clock.verdict)},    {"confidence", r.clock.confidence},
                        {"keyPresses", r.clock.keyPresses},           {"inStill", r.clock.inStill},
                        {"inStillAsRecorded", r.clock.inStillAtZero}, {"worthApplying", r.ClockOffsetWorthApplying(o)}};
    j["stillPeriods"] = r.stillPeriods.size();
    j["syncRecords"] = r.syncRecords;
    j["unpairedSyncRecords"] = r.unpairedSyncRecords;
    j["missedRods"] = json::array();
    j["extraRods"] = json::array();
    for (const RodKeyFinding& f : r.rodKeys)
        j[f.fault == RodKeyFault::Missed ? "missedRods" : "extraRods"].push_back(RodKey(f));
    j["holes"] = json::array();
    for (const HoleQuality& h : r.holes) {
        const HoleSurvey& hole = store.m_holes[h.hole];
        json stations = json::array();
        for (const StationQuality& s : h.stations) {
            stations.push_back({{"station", s.station},
                                {"record", s.record},
                                {"depth", Number(hole.records[s.record].depth)},
                                {"dogleg", s.dogleg ? Number(*s.dogleg) : json(nullptr)},
                                {"flags", Flags(s.flags)}});
        }
        json method = nullptr;
        if (h.method) {
            method = {{"meanAngleEnd", Point(h.method->meanAngleEnd)},
                      {"minimumCurvatureEnd", Point(h.method->minimumCurvatureEnd)},
                      {"distance", Number(h.method->distance)},
                      {"length", Number(h.method->length)}};
        }
        j["holes"].push_back({{"hole", h.hole},
                              {"name", Utf16ToUtf8(hole.name)},
                              {"flaggedStations", h.flagged},
                              {"stations", stations},
                              {"method", method}});
    }
    j["tolerances"] = {{"gravity", o.field.gravity},
                       {"fieldFraction", o.field.fieldFraction},
                       {"dipDegrees", o.field.dipDegrees},
                       {"doglegPer30m", o.doglegLimit},
                       {"clockWarnSeconds", o.clockWarnSeconds}};
    j["findings"] = r.FindingCount(o);
    return j;
}

int Qa(const std::vector<std::string>& args) {
    bool asJson = false;
    std::vector<std::string> inputs;
    QualityOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::printf("usage: sondara-cli %s\n", kUsage);
            return 0;
        }
        if (a == "--json")
            asJson = true;
        else if (a == "--gravity-tolerance" || a == "--field-tolerance" || a == "--dip-tolerance" ||
                 a == "--dogleg-limit") {
            if (i + 1 == args.size() || !ParseTolerance(a, args[++i], options)) {
                std::fprintf(stderr, "sondara-cli: %s needs a number that is not negative\n", a.c_str());
                return 1;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "sondara-cli: unknown option '%s'\n", a.c_str());
            return 1;
        } else
            inputs.push_back(a);
    }
    if (inputs.size() != 1) {
        std::fprintf(stderr, "usage: sondara-cli %s\n", kUsage);
        return 1;
    }
    SurveyStore store;
    if (!ShowFileResult(OpenAnySurvey(store, inputs))) return 1;
    const QualityReport report = CheckSurveyQuality(store, options);
    if (asJson) {
        std::printf("%s\n", ReportJson(report, store, options).dump(1).c_str());
        return 0;
    }
    std::printf("%s\n", QualitySummaryText(report, options).c_str());
    for (const std::string& line : QualityFindingLines(report, store, options)) std::printf("%s\n", line.c_str());
    for (const HoleQuality& h : report.holes) {
        if (h.method) std::printf("%s\n", MethodComparisonText(h, store).c_str());
    }
    return 0;
}

}  // namespace

std::vector<Command> QualityCommands() {
    return {{"qa", kUsage,
             "survey quality checks: clock offset, missed and extra rod keys, field values, doglegs (--json for "
             "scripts)",
             Qa}};
}

}  // namespace sondara::cli
