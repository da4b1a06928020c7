#pragma once
// The part of a history download both instruments share: the header, storing each
// record under its number, refusing what cannot be stored, and the end of the
// download with every announced number accounted for.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/survey_pipeline.h"
#include "device/common_replies.h"
#include "device/conversation_host.h"
#include "device/download_ledger.h"

namespace sondara {

// Quiet-line time-out of a download under way: a line that carries no byte for this
// long while records are still due ends the download as incomplete.
inline constexpr int kQuietLineMs = 3000;

template <typename Record>
class HistoryDownload {
public:
    using Sequence = std::vector<Record> SurveyStore::*;

    HistoryDownload(ConversationHost& host, Instrument instrument, Sequence sequence)
        : host_(host), instrument_(instrument), sequence_(sequence) {}

    // The history was asked for. A fresh download drops the records held; filling in
    // keeps them when the store still holds exactly what the last, incomplete
    // download stored.
    void Request(bool fillMissing) {
        fillMissing = fillMissing && canFill();
        if (!fillMissing) records().clear();
        ledger_.Requested(fillMissing);
    }

    void Header(std::uint32_t announced) {
        if (ledger_.receiving()) {
            host_.Emit(FrameRefused{instrument_, RefusedBecause::StrayHeader, announced});
            return;
        }
        const bool kept = ledger_.HeaderArrived(announced);
        if (!kept) {
            records().clear();
            records().reserve(std::min<std::uint32_t>(announced, kMaxReserve));
        }
        host_.Emit(DownloadStarted{instrument_, announced, kept ? records().size() : 0});
    }

    // One checked record frame numbered `number`. `possible`: its contents pass the
    // checks; `keep`: the instrument's own rule stores it (else it is skipped).
    void Receive(std::uint32_t number, const Record& record, bool possible, bool keep, float progressIdx) {
        if (!ledger_.receiving()) return;
        if (number >= ledger_.announced() || (keep && !possible)) {
            host_.Emit(FrameRefused{instrument_, RefusedBecause::Impossible, number});
            return;
        }
        if (ledger_.Seen(number)) {
            const auto at = ledger_.PositionOf(number);
            if (at && std::memcmp(&records()[*at], &record, sizeof record) != 0)
                host_.Emit(FrameRefused{instrument_, RefusedBecause::ConflictingRepeat, number});
        } else if (keep) {
            const std::size_t at = ledger_.InsertPosition(number);
            records().insert(records().begin() + static_cast<std::ptrdiff_t>(at), record);
            ledger_.Stored(number, at);
            const auto total = ledger_.announced();
            host_.Emit(DownloadProgress{instrument_, ledger_.stored() + ledger_.skipped(), total,
                                        RecordProgress(progressIdx, static_cast<float>(total))});
            host_.Emit(RecordStored{instrument_, at, number, records().size()});
        } else {
            ledger_.Skipped(number);
        }
        if (ledger_.IsLast(number)) Finish(DownloadEnd::LastNumber);
    }

    void Finish(DownloadEnd end) {
        if (!ledger_.receiving()) {
            Abandon();
            return;
        }
        ledger_.Finished();
        DownloadFinished done;
        done.instrument = instrument_;
        done.end = end;
        done.announced = ledger_.announced();
        done.stored = ledger_.stored();
        done.skipped = ledger_.skipped();
        done.missingCount = ledger_.Missing(DownloadFinished::kMissingListed, done.missing);
        fingerprint_ = Fingerprint();
        done.holesAssembled = Recompute(host_.Store(), SurveyChange::DownloadEnded);
        host_.Emit(done);
    }

    // The request could not be sent: nothing is awaited.
    void Abandon() {
        if (ledger_.phase() == DownloadLedger::Phase::AwaitingHeader) ledger_.Abandon();
    }

    bool receiving() const { return ledger_.receiving(); }
    bool pending() const { return ledger_.phase() == DownloadLedger::Phase::AwaitingHeader || ledger_.receiving(); }
    // An incomplete download whose missing records a second one can fill in.
    bool canFill() const {
        return ledger_.incomplete() && ledger_.Describes(records().size()) && fingerprint_ == Fingerprint();
    }
    const DownloadLedger& ledger() const { return ledger_; }

private:
    // A header's count is not trusted with memory: room for this many, then growth.
    static constexpr std::uint32_t kMaxReserve = 4096;

    // Whether the records are still those this download stored (a file loaded since
    // may hold as many others): FNV-1a over their bytes.
    std::uint64_t Fingerprint() const {
        std::uint64_t h = 14695981039346656037ull;
        const auto* p = reinterpret_cast<const unsigned char*>(records().data());
        for (std::size_t i = 0, n = records().size() * sizeof(Record); i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
        return h;
    }

    std::vector<Record>& records() { return host_.Store().*sequence_; }
    const std::vector<Record>& records() const { return host_.Store().*sequence_; }

    ConversationHost& host_;
    Instrument instrument_;
    Sequence sequence_;
    DownloadLedger ledger_;
    std::uint64_t fingerprint_ = 0;
};

}  // namespace sondara
