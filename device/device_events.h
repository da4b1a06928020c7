#pragma once
// What the instrument conversations report. They never show or word anything
// themselves: every outcome is one of these events, and the program around them
// (the main window, sondara-cli, the tests) decides what the user sees.

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "core/attitude.h"
#include "core/ole_time.h"
#include "device/frames.h"

namespace sondara {

// A history header arrived: the instrument's records are about to follow. The
// records of that instrument held before were dropped (unless only missing records
// are being filled in). `announced` 0 means the instrument's memory is empty.
struct DownloadStarted {
    Instrument instrument;
    std::uint32_t announced = 0;
    std::size_t kept = 0;  // records of an earlier, incomplete download kept for filling in
};

// The progress bar's value after a stored record (`percent`, 0 to 100, by the rule of
// each instrument), and how many of the announced records are accounted for now:
// stored, or skipped by the instrument's rule.
struct DownloadProgress {
    Instrument instrument;
    std::uint32_t done = 0;
    std::uint32_t total = 0;
    int percent = 0;
};

// A history record was put into the store at `index` of its sequence
// (m_probeRecords or m_syncRecords); `number` is its number on the line.
// `count` is the sequence's size after it: a record filled in before others
// (completing an earlier download) has index + 1 < count.
struct RecordStored {
    Instrument instrument;
    std::size_t index = 0;
    std::uint32_t number = 0;
    std::size_t count = 0;
};

// Why a download ended.
enum class DownloadEnd {
    LastNumber,  // the record with the last announced number arrived
    QuietLine,   // the line stayed quiet while records were still due
    LinkLost,    // the device hung up
    Cancelled,   // the user stopped it
};

// A download is over. Every announced number is either stored, skipped by the
// instrument's own rule (a synchronizer record whose marker is not FF) or missing.
// `missing` lists the first missing numbers (at most kMissingListed), `missingCount`
// counts them all. `holesAssembled`: both record sets were present and the holes
// were rebuilt from them.
struct DownloadFinished {
    static constexpr std::size_t kMissingListed = 20;
    Instrument instrument;
    DownloadEnd end = DownloadEnd::LastNumber;
    std::uint32_t announced = 0;
    std::uint32_t stored = 0;
    std::uint32_t skipped = 0;
    std::uint32_t missingCount = 0;
    std::vector<std::uint32_t> missing;
    bool holesAssembled = false;
    bool complete() const { return missingCount == 0; }
};

// A checked frame the conversation did not take.
enum class RefusedBecause {
    Impossible,         // contents no healthy instrument sends (value, calendar, number)
    ConflictingRepeat,  // a second, different record for a number already stored
    StrayHeader,        // a history header in the middle of a download
};
struct FrameRefused {
    Instrument instrument;
    RefusedBecause reason;
    std::uint32_t number = 0;  // the record's number where it has one
};

// Answers of an instrument.
struct TestAnswered {
    Instrument instrument;
    int hardware[3] = {};
    int software[3] = {};
};
// The instrument clock (year already full), fields as sent, not validated.
struct ClockAnswered {
    Instrument instrument;
    CalendarTime clock;
};
struct MemoryCleared {
    Instrument instrument;
};
// The synchronizer clears slowly: the clear was sent (or would have been) and the
// progress animation runs; ClearProgress gives each of its values.
struct ClearStarted {
    Instrument instrument;
};
struct ClearProgress {
    int percent = 0;
};
// A built clock command went out.
struct ClockCommandSent {
    Instrument instrument;
};
// Block 31 of the calibration table arrived.
struct CalibrationComplete {};
// Real-time output began (the live-values display is wanted) and a live sample.
struct RealTimeStarted {};
struct LiveSample {
    LiveValues values;
};

enum class FailReason {
    TimedOut,    // no reply within the reply time-out
    LinkClosed,  // a command was due while the link was not open: nothing was sent
    LinkLost,    // the device hung up or vanished; the link has been closed
};
struct Failed {
    FailReason reason;
};

using DeviceEvent = std::variant<DownloadStarted, DownloadProgress, RecordStored, DownloadFinished, FrameRefused,
                                 TestAnswered, ClockAnswered, MemoryCleared, ClearStarted, ClearProgress,
                                 ClockCommandSent, CalibrationComplete, RealTimeStarted, LiveSample, Failed>;

}  // namespace sondara
