#pragma once
// The records and collections that hold a survey. Record layouts are the byte images
// the survey file writes, so sizes and offsets are binding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ole_time.h"

namespace sondara {

// Bits of ProbeRecord::flag.
enum RecordFlag : std::int32_t {
    kSampled = 1,    // paired with a synchronizer record
    kStation = 2,    // a survey station: gets a depth and coordinates
    kHandDepth = 4,  // the depth was set by hand: the depth pass keeps it
};

enum StratumMark : std::int32_t { kMarkNone = 0, kMarkCoal = 1, kMarkRock = 2 };

#pragma pack(push, 4)

struct ProbeRecord {
    std::int32_t idx = 0;
    std::int32_t flag = 0;
    float inc = 0;   // inclination from the horizontal, degrees, upward positive
    float azi = 0;   // magnetic azimuth, degrees
    float tmp = 0;   // temperature, degrees Celsius
    float GTF = 0;   // gravity tool face, degrees
    float MTF = 0;   // magnetic tool face, degrees
    float DIP = 0;   // magnetic dip, degrees
    float GT = 0;    // total gravity
    float MT = 0;    // total magnetic field
    float volt = 0;  // battery voltage
    float depth = 0;
    OleTime time;
    float x = 0, y = 0, z = 0;     // east, north, vertical (upward)
    float dx = 0, dy = 0, dz = 0;  // along, right of and above the design line
    std::int32_t mark = 0;
};

struct SyncRecord {
    std::int32_t idx = 0;
    std::int32_t flag = 0;
    std::int32_t hole = 0;
    OleTime time;
    std::int32_t mark = 0;
};

#pragma pack(pop)

static_assert(sizeof(ProbeRecord) == 88);
static_assert(offsetof(ProbeRecord, flag) == 4);
static_assert(offsetof(ProbeRecord, inc) == 8);
static_assert(offsetof(ProbeRecord, volt) == 40);
static_assert(offsetof(ProbeRecord, depth) == 44);
static_assert(offsetof(ProbeRecord, time) == 48);
static_assert(offsetof(ProbeRecord, x) == 60);
static_assert(offsetof(ProbeRecord, dx) == 72);
static_assert(offsetof(ProbeRecord, dz) == 80);
static_assert(offsetof(ProbeRecord, mark) == 84);
static_assert(sizeof(SyncRecord) == 28);
static_assert(offsetof(SyncRecord, hole) == 8);
static_assert(offsetof(SyncRecord, time) == 12);
static_assert(offsetof(SyncRecord, mark) == 24);

// Initial parameters of one hole. An empty name means no parameters were entered.
struct HoleParams {
    std::u16string name;
    float pbLen = 0;               // rod length
    float e0 = 0, n0 = 0, d0 = 0;  // geographic start
    float x0 = 0, y0 = 0, z0 = 0;  // hole-frame start; x0 is also the start depth
    float gi = 0;                  // magnetic declination
    float dPos = 0;                // design azimuth as stored: design true azimuth plus gi
    float dDip = 0;                // design inclination
    friend bool operator==(const HoleParams&, const HoleParams&) = default;
};

// One hole: its parameters, its own copies of the records that belong to it, and the
// last refusal text of the trajectory computation (never stored in a file).
struct HoleSurvey : HoleParams {
    std::vector<ProbeRecord> records;
    std::string error;

    HoleParams& params() { return *this; }
    const HoleParams& params() const { return *this; }
};

struct SurveyStore {
    std::vector<HoleSurvey> m_holes;
    std::vector<ProbeRecord> m_probeRecords;
    std::vector<SyncRecord> m_syncRecords;
    std::vector<HoleParams> m_holeParams;

    void ClearCollections() {
        m_holes.clear();
        m_probeRecords.clear();
        m_syncRecords.clear();
        m_holeParams.clear();
    }
};

}  // namespace sondara
