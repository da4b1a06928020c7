// Feeds arbitrary bytes to the survey data file reader. Whatever it accepts must
// save to bytes that read back to the same bytes, and survive the post-load steps
// and the texts of the Excel export and the exchange file, whatever values it holds.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/survey_pipeline.h"
#include "io/excel_export.h"
#include "io/group_plot_file.h"
#include "io/post_load.h"
#include "io/survey_file.h"

namespace {

sondara::SurveyStore StoreOf(sondara::SurveyImage& image) {
    sondara::SurveyStore store;
    store.m_probeRecords = std::move(image.probeRecords);
    store.m_syncRecords = std::move(image.syncRecords);
    store.m_holeParams = std::move(image.holeParams);
    store.m_holes = std::move(image.holes);
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    sondara::SurveyImage image = sondara::ParseSurveyImage(std::string_view(reinterpret_cast<const char*>(data), size));
    if (image.status != sondara::ImageStatus::Ok) return 0;

    sondara::SurveyStore store = StoreOf(image);
    const std::string saved = sondara::SurveyFileBytes(store);
    sondara::SurveyImage again = sondara::ParseSurveyImage(saved);
    if (again.status != sondara::ImageStatus::Ok || sondara::SurveyFileBytes(StoreOf(again)) != saved) std::abort();

    sondara::RenumberSyncHoles(store.m_syncRecords);
    sondara::Recompute(store, sondara::SurveyChange::Loaded);
    sondara::SheetNames names;
    for (const sondara::HoleSurvey& h : store.m_holes) {
        (void)names.Take(h.name);
        (void)sondara::ParamsRowTexts(h);
        int row = 0;
        for (const sondara::ProbeRecord& r : h.records) (void)sondara::HoleRowTexts(h, r, row++);
    }
    (void)sondara::GroupPlotFileBytes(store, "UTF-8");
    return 0;
}
