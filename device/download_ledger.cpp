#include "device/download_ledger.h"

#include <algorithm>
#include <iterator>

namespace sondara {

bool NumberRuns::Contains(std::uint32_t n) const {
    auto it = runs_.upper_bound(n);
    if (it == runs_.begin()) return false;
    --it;
    return n < it->second;
}

void NumberRuns::Insert(std::uint32_t n) {
    if (Contains(n)) return;
    auto next = runs_.upper_bound(n);
    const bool joinsNext = next != runs_.end() && next->first == std::uint64_t{n} + 1;
    if (next != runs_.begin()) {
        auto prev = std::prev(next);
        if (prev->second == n) {
            prev->second = joinsNext ? next->second : std::uint64_t{n} + 1;
            if (joinsNext) runs_.erase(next);
            return;
        }
    }
    const std::uint64_t end = joinsNext ? next->second : std::uint64_t{n} + 1;
    if (joinsNext) runs_.erase(next);
    runs_.emplace(n, end);
}

std::uint32_t NumberRuns::Gaps(std::uint32_t limit, std::size_t listed, std::vector<std::uint32_t>& first) const {
    first.clear();
    std::uint64_t count = 0, at = 0;
    auto gap = [&](std::uint64_t from, std::uint64_t to) {
        if (to <= from) return;
        count += to - from;
        for (std::uint64_t n = from; n < to && first.size() < listed; ++n)
            first.push_back(static_cast<std::uint32_t>(n));
    };
    for (const auto& [begin, end] : runs_) {
        if (begin >= limit) break;
        gap(at, begin);
        at = std::max<std::uint64_t>(at, end);
    }
    gap(at, limit);
    return static_cast<std::uint32_t>(count);
}

void DownloadLedger::Requested(bool fillMissing) {
    fillMissing_ = fillMissing;
    phase_ = Phase::AwaitingHeader;
}

bool DownloadLedger::HeaderArrived(std::uint32_t announced) {
    const bool keep = fillMissing_ && announced == announced_;
    fillMissing_ = false;
    if (!keep) {
        seen_.Clear();
        numbers_.clear();
        skipped_ = 0;
        announced_ = announced;
    }
    phase_ = announced == 0 ? Phase::Finished : Phase::Receiving;
    return keep;
}

std::size_t DownloadLedger::InsertPosition(std::uint32_t n) const {
    if (numbers_.empty() || numbers_.back() < n) return numbers_.size();
    return static_cast<std::size_t>(std::upper_bound(numbers_.begin(), numbers_.end(), n) - numbers_.begin());
}

void DownloadLedger::Stored(std::uint32_t n, std::size_t position) {
    numbers_.insert(numbers_.begin() + static_cast<std::ptrdiff_t>(position), n);
    seen_.Insert(n);
}

void DownloadLedger::Skipped(std::uint32_t n) {
    seen_.Insert(n);
    ++skipped_;
}

std::optional<std::size_t> DownloadLedger::PositionOf(std::uint32_t n) const {
    const auto it = std::lower_bound(numbers_.begin(), numbers_.end(), n);
    if (it == numbers_.end() || *it != n) return std::nullopt;
    return static_cast<std::size_t>(it - numbers_.begin());
}

std::uint32_t DownloadLedger::Missing(std::size_t listed, std::vector<std::uint32_t>& first) const {
    return seen_.Gaps(announced_, listed, first);
}

}  // namespace sondara
