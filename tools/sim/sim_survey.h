#pragma once
// What sondara-sim holds and how it puts it on the line: the stored records of the
// probe and the synchronizer, the probe's calibration table, the raw sensor readings
// it sends for a record in raw mode, and the reply frames themselves.

#include <cstdint>
#include <string>

#include "core/attitude.h"
#include "core/records.h"
#include "device/frames.h"

namespace sondara::sim {

struct SimSurvey {
    std::vector<ProbeRecord> probe;  // idx is sent as the position in this list
    std::vector<SyncRecord> sync;    // the position is sent as the download position
};

// Records from a JSON survey file in the import format: every "probe" element, and
// every sample of every "sampler" (hole = sampler position, idx = sample position).
// Throws std::runtime_error with a readable text when the file does not fit.
SimSurvey LoadJsonSurvey(const std::string& path);

// `holes` holes of rods 40 s apart, a probe sample 5 s after each synchronizer record;
// the counts need not agree. Values are exact on the wire (multiples of 1/4 and 1/2).
SimSurvey GenerateSurvey(int probeCount, int syncCount, int holes);

// The probe's table: ranges ±4000 with a small temperature slope, a slightly skewed
// accelerometer matrix and small offsets, so that a download decoded with the default
// table would come out visibly wrong.
ProbeCalibration SimulatorCalibration();

// The raw readings a raw record or raw live sample carries for `record`: gravity and
// field vectors from its angles, scaled to the simulator's ranges.
struct RawReadings {
    std::int16_t tmp10 = 0;  // temperature × 10
    std::int16_t raw[6] = {};
    std::int16_t volt10 = 0;  // voltage × 10
};
RawReadings RawReadingsFor(const ProbeRecord& record);

// Reply frames.
Bytes TestReply(std::uint8_t device, const int hardware[3], const int software[3]);
Bytes ClockReply(std::uint8_t device, DeviceCommand command, const CalendarTime& clock);
Bytes CalibrationBlockReply(std::uint8_t device, const ProbeCalibration& table, int block);
Bytes HistoryHeader(std::uint8_t device, std::uint32_t count);
Bytes ProcessedProbeRecordFrame(const ProbeRecord& record, std::uint32_t idx);
Bytes RawProbeRecordFrame(const ProbeRecord& record, std::uint32_t idx);
Bytes SyncRecordFrame(const SyncRecord& record, std::uint16_t position, bool stored = true);
Bytes ProcessedLiveFrame(const ProbeRecord& values, const ProbeCalibration& table);
Bytes RawLiveFrame(const ProbeRecord& values);
Bytes ClearReply(std::uint8_t device);

// A live reading that changes with `tick` (one per request).
ProbeRecord LiveReadingAt(int tick);

}  // namespace sondara::sim
