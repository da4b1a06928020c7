// Feeds arbitrary bytes to the survey data file reader. Whatever it accepts must
// survive the post-load steps and save to bytes that read back to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/messages.h"
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
    static sondara::ScopedMessageSink quiet([](const sondara::Message&) { return sondara::MessageAnswer::Ok; });
    if (size == 0) return 0;
    sondara::SurveyImage image = sondara::ParseSurveyImage(std::string_view(reinterpret_cast<const char*>(data), size));
    if (image.status != sondara::ImageStatus::Ok) return 0;

    sondara::SurveyStore store = StoreOf(image);
    const std::string saved = sondara::SurveyFileBytes(store);
    sondara::SurveyImage again = sondara::ParseSurveyImage(saved);
    if (again.status != sondara::ImageStatus::Ok || sondara::SurveyFileBytes(StoreOf(again)) != saved) std::abort();

    sondara::RenumberSyncHoles(store.m_syncRecords);
    sondara::RebuildHolesIfNone(store);
    return 0;
}
