#pragma once
// The account of one history download: which of the announced record numbers have
// been stored, which were skipped by the instrument's own rule, and so which are
// missing. Numbers arrive mostly in order, so they are kept as runs.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace sondara {

// A set of 32-bit numbers held as half-open runs [first, end).
class NumberRuns {
public:
    bool Contains(std::uint32_t n) const;
    void Insert(std::uint32_t n);
    void Clear() { runs_.clear(); }
    // Numbers below `limit` not in the set: the first `listed` of them and how many.
    std::uint32_t Gaps(std::uint32_t limit, std::size_t listed, std::vector<std::uint32_t>& first) const;

private:
    std::map<std::uint32_t, std::uint64_t> runs_;  // first -> end
};

class DownloadLedger {
public:
    enum class Phase { Idle, AwaitingHeader, Receiving, Finished };

    // A command asked for the history; `fillMissing` keeps what an incomplete
    // download of the same records stored.
    void Requested(bool fillMissing);
    // The header: whether what arrived before is kept (filling in, same count).
    bool HeaderArrived(std::uint32_t announced);
    void Finished() { phase_ = Phase::Finished; }
    void Abandon() { phase_ = Phase::Idle; }

    Phase phase() const { return phase_; }
    bool receiving() const { return phase_ == Phase::Receiving; }
    std::uint32_t announced() const { return announced_; }

    bool Seen(std::uint32_t n) const { return seen_.Contains(n); }
    bool IsLast(std::uint32_t n) const { return announced_ != 0 && n == announced_ - 1; }
    // Where a record numbered `n` goes in its store sequence (the sequence is kept
    // in number order), and its recording there.
    std::size_t InsertPosition(std::uint32_t n) const;
    void Stored(std::uint32_t n, std::size_t position);
    void Skipped(std::uint32_t n);
    // Position of the stored record numbered `n`.
    std::optional<std::size_t> PositionOf(std::uint32_t n) const;

    std::uint32_t stored() const { return static_cast<std::uint32_t>(numbers_.size()); }
    std::uint32_t skipped() const { return skipped_; }
    std::uint32_t Missing(std::size_t listed, std::vector<std::uint32_t>& first) const;

    // Whether the store's sequence still is what this ledger stored (nothing else
    // changed it since), so that missing numbers can be filled in.
    bool Describes(std::size_t sequenceSize) const { return numbers_.size() == sequenceSize; }
    bool incomplete() const { return phase_ == Phase::Finished && Missing(0, scratch_) != 0; }

private:
    Phase phase_ = Phase::Idle;
    bool fillMissing_ = false;
    std::uint32_t announced_ = 0;
    std::uint32_t skipped_ = 0;
    NumberRuns seen_;                     // stored or skipped
    std::vector<std::uint32_t> numbers_;  // number of each stored record, in store order
    mutable std::vector<std::uint32_t> scratch_;
};

}  // namespace sondara
