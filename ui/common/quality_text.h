#pragma once
// What the quality checks say to the surveyor: one line for the status bar and one line
// per finding, shared by the main window and sondara-cli. UTF-8.

#include <string>
#include <vector>

#include "core/quality/survey_quality.h"

namespace sondara {

// "质量检查：……" with how many findings of each kind; never more than one line.
std::string QualitySummaryText(const QualityReport& report, const QualityOptions& options);

// The clock line: the offset and its confidence, or why there is no clear estimate.
std::string ClockOffsetText(const ClockOffsetEstimate& clock);

// Every finding as one line: clock and unpaired records, rod keys, flagged stations.
// The hole's name stands for it where it has one.
std::vector<std::string> QualityFindingLines(const QualityReport& report, const SurveyStore& store,
                                             const QualityOptions& options);

// The findings of hole `hole` alone: its rod keys, its flagged stations and the method
// line (both end points), so the surveyor sees the mean-angle method's error.
std::vector<std::string> HoleFindingLines(const QualityReport& report, const SurveyStore& store,
                                          const QualityOptions& options, int hole);

// One flagged station: where it is and what is off.
std::string StationFindingText(const SurveyStore& store, const HoleQuality& hole, const StationQuality& s,
                               const QualityOptions& options);

// The method line of one hole: both end points and their distance.
std::string MethodComparisonText(const HoleQuality& hole, const SurveyStore& store);

// "2024-03-01 08:00:00": one blank, as the findings print times.
std::string FindingTimeText(const OleTime& t);

}  // namespace sondara
