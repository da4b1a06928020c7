#include "tests/support/assembly_reference.h"

#include "core/assembly.h"
#include "core/assembly_common.h"

namespace sondara {

int AssembleHolesReference(SurveyStore& store) {
    std::size_t scanStart = 0;
    return detail::BuildHoles(store, [&](const ProbeRecord& probe) {
        for (std::size_t j = scanStart; j < store.m_syncRecords.size(); ++j) {
            const SyncRecord& s = store.m_syncRecords[j];
            if (s.time.status == kTimeInvalid) continue;
            if (TimesPair(s.time, probe.time)) {
                scanStart = j + 1;
                return static_cast<int>(j);
            }
        }
        return -1;
    });
}

}  // namespace sondara
