#include "post_load.h"

namespace sondara {

void RenumberSyncHoles(std::vector<SyncRecord>& records) {
    if (records.empty()) return;
    std::int32_t counter = 0;
    std::int32_t remembered = records.front().hole;
    for (SyncRecord& r : records) {
        if (r.hole != remembered) ++counter;
        remembered = r.hole;
        r.hole = counter;
    }
}

}  // namespace sondara
