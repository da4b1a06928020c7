#include "device/history_download.h"

#include "core/survey_pipeline.h"

namespace sondara {

bool AssembleIfBothPresent(SurveyStore& store) { return Recompute(store, SurveyChange::DownloadEnded); }

}  // namespace sondara
