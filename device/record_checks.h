#pragma once
// Whether a decoded history record is one a healthy instrument can send. The one-byte
// check of a reply frame passes two bit errors that cancel; what such a frame carries
// must not reach the store.
//
// The bounds follow from the instruments' encodings and the attitude formulas:
// - inclination: wire value in [0, 180] (the formulas give [0, 180] before the
//   reduction by 90);
// - azimuth, tool faces and dip: angles folded into [0, 360) (360 itself allowed for
//   the float rounding of a value just below it);
// - temperature: the raw form carries it as a signed 16-bit count of tenths, so a
//   processed value beyond ±3276.8 °C has no encoding;
// - total gravity and total field: lengths, so never negative; in full-scale units a
//   sensor triad of signed 16-bit counts stays far below kMaxFieldLength;
// - every processed value finite (the processed form is computed by the probe, which
//   refuses nothing of its own, but an infinite or undefined float is no reading);
// - clock fields: packed BCD digits forming a real date and time;
// - synchronizer hole numbers count from 0 (an in-hole index past 32767 reads negative
//   from its signed 16-bit field and is kept).
// A raw record's values are computed here from its channels, which can be any 16-bit
// count, so only its clock is judged: an undefined inclination computed from raw
// channels is what the formulas give and is kept.

#include <cstdint>
#include <span>

#include "core/records.h"

namespace sondara {

inline constexpr float kMaxFieldLength = 1000.0f;

// Six BCD bytes (year − 2000, month, day, hour, minute, second): every nibble a
// decimal digit, and together a date and time that exist.
bool IsPossibleBcdTime(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                       std::uint8_t second);

// A processed probe history record (L = 53) as decoded, with its frame.
bool IsPossibleProcessedProbeRecord(const ProbeRecord& record, std::span<const std::uint8_t> frame);
// A raw probe history record (L = 42), judged by its frame.
bool IsPossibleRawProbeRecord(std::span<const std::uint8_t> frame);
// A synchronizer history record (L = 26) as decoded, with its frame.
bool IsPossibleSyncRecord(const SyncRecord& record, std::span<const std::uint8_t> frame);

}  // namespace sondara
