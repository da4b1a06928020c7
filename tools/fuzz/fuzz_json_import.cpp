// Feeds arbitrary text to the JSON survey import. It must either import or report,
// and what it imports must save as a survey data file.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/time_seam.h"
#include "io/json_import.h"
#include "io/survey_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sondara::ScopedTimeSeam utc8(sondara::FixedTimeSeam(8 * 3600, 0));
    sondara::SurveyStore store;
    const bool imported =
        sondara::LoadJsonSurvey(store, std::string_view(reinterpret_cast<const char*>(data), size)).ok();
    if (!imported && !(store.m_probeRecords.empty() && store.m_syncRecords.empty() && store.m_holeParams.empty())) {
        std::abort();  // a refused document must leave nothing behind
    }
    if (imported) (void)sondara::SurveyFileBytes(store);
    return 0;
}
