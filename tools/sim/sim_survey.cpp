#include "sim_survey.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "io/json_import.h"
#include "ui/common/file_messages.h"

namespace sondara::sim {

namespace {

constexpr double kPi = 3.1415926535;
constexpr double kRange = 4000.0;

void PutU16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutF32(Bytes& b, float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    PutU32(b, v);
}
std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>(IntToBcd(v) & 0xFF); }

CalendarTime CalendarOf(const OleTime& t) {
    // An invalid time goes out as zeros, which decode as an impossible date.
    return CalendarFromOleTime(t).value_or(CalendarTime{2000, 0, 0, 0, 0, 0});
}

// second, minute, hour, day, (unused), month, year - 2000
void PutStamp(Bytes& b, const OleTime& t) {
    const CalendarTime c = CalendarOf(t);
    for (int v : {c.second, c.minute, c.hour, c.day}) b.push_back(Bcd(v));
    b.push_back(0);
    b.push_back(Bcd(c.month));
    b.push_back(Bcd(c.year - 2000));
}

}  // namespace

SimSurvey LoadJsonSurvey(const std::string& path) {
    // The program's own import reads the file, so the simulator serves exactly what
    // "打开Json文件" would show, and says what is wrong with a bad file in its words.
    SurveyStore store;
    if (!ShowFileResult(LoadJsonFile(store, path)))
        throw std::runtime_error(path + ": not a survey in the import format");
    return SimSurvey{std::move(store.m_probeRecords), std::move(store.m_syncRecords)};
}

SimSurvey GenerateSurvey(int probeCount, int syncCount, int holes) {
    SimSurvey s;
    holes = std::max(holes, 1);
    const std::int64_t base = 1709280000;  // 2024-03-01 08:00 UTC
    auto rodTime = [&](int i, int count) {
        const int perHole = std::max(1, (count + holes - 1) / holes);
        const int hole = i / perHole;
        return std::pair{hole, base + hole * 7200 + (i % perHole) * 40};
    };
    for (int i = 0; i < syncCount; ++i) {
        const auto [hole, t] = rodTime(i, syncCount);
        SyncRecord r;
        r.hole = hole;
        r.idx = i % std::max(1, (syncCount + holes - 1) / holes);
        r.flag = 3;
        r.time = OleTimeFromUnixSeconds(t);
        s.sync.push_back(r);
    }
    for (int i = 0; i < probeCount; ++i) {
        const std::int64_t t = rodTime(i, probeCount).second;
        ProbeRecord r;
        r.idx = i;
        r.inc = -5.0f + 0.25f * static_cast<float>(i % 40);
        r.azi = 120.0f + 0.5f * static_cast<float>(i % 60);
        r.tmp = 20.0f + 0.5f * static_cast<float>(i % 10);
        r.GTF = static_cast<float>((i * 7) % 360);
        r.MTF = static_cast<float>((i * 11) % 360);
        r.DIP = 45.5f;
        r.GT = 1.0f;
        r.MT = 0.5f;
        r.volt = 3.5f;
        r.time = OleTimeFromUnixSeconds(t + 5);  // 5 s after its rod's synchronizer record
        s.probe.push_back(r);
    }
    return s;
}

ProbeCalibration SimulatorCalibration() {
    ProbeCalibration c = DefaultCalibration();
    c.accelMatrix[1] = 0.01;
    c.accelMatrix[3] = -0.01;
    c.accelOffset[0] = 0.002;
    c.magOffset[2] = -0.003;
    for (int k = 0; k < 12; ++k) {
        const double sign = k % 2 == 0 ? 1.0 : -1.0;
        c.tempPoly[k][6] = sign * kRange;
        c.tempPoly[k][5] = sign * 0.5;  // half a count per degree
    }
    return c;
}

RawReadings RawReadingsFor(const ProbeRecord& r) {
    const double inc = r.inc * kPi / 180, gtf = r.GTF * kPi / 180, azi = r.azi * kPi / 180;
    const double g[3] = {std::cos(inc) * std::cos(gtf), -std::cos(inc) * std::sin(gtf), -std::sin(inc)};
    const double m[3] = {0.3 * std::cos(azi), 0.3 * std::sin(azi), 0.4};
    RawReadings out;
    out.tmp10 = static_cast<std::int16_t>(std::lround(r.tmp * 10));
    const double range = kRange + 0.5 * r.tmp;
    for (int i = 0; i < 3; ++i) {
        out.raw[i] = static_cast<std::int16_t>(std::lround(g[i] * range));
        out.raw[3 + i] = static_cast<std::int16_t>(std::lround(m[i] * range));
    }
    out.volt10 = static_cast<std::int16_t>(std::lround(r.volt * 10));
    return out;
}

Bytes TestReply(std::uint8_t device, const int hardware[3], const int software[3]) {
    Bytes data = {0, 0, 0};
    for (int i = 0; i < 3; ++i) data.push_back(static_cast<std::uint8_t>(hardware[i]));
    for (int i = 0; i < 3; ++i) data.push_back(static_cast<std::uint8_t>(software[i]));
    return BuildReply(device, DeviceCommand::Test, data);
}

Bytes ClockReply(std::uint8_t device, DeviceCommand command, const CalendarTime& c) {
    // Bytes 13 to 18 of the frame: year, month, day, hour, minute, second.
    Bytes data = {0, 0, 0, 0};
    for (int v : {c.year - 2000, c.month, c.day, c.hour, c.minute, c.second}) data.push_back(Bcd(v));
    return BuildReply(device, command, data);
}

Bytes CalibrationBlockReply(std::uint8_t device, const ProbeCalibration& table, int block) {
    Bytes data(34);
    data[0] = static_cast<std::uint8_t>(block);
    data[1] = static_cast<std::uint8_t>(block >> 8);
    std::memcpy(data.data() + 2, reinterpret_cast<const std::uint8_t*>(&table) + block * 32, 32);
    return BuildReply(device, DeviceCommand::ReadCalibration, data);
}

Bytes HistoryHeader(std::uint8_t device, std::uint32_t count) {
    Bytes data;
    PutU32(data, count);
    return BuildReply(device, DeviceCommand::ReadHistory, data);
}

Bytes ProcessedProbeRecordFrame(const ProbeRecord& r, std::uint32_t idx) {
    Bytes data;
    PutU32(data, idx);
    PutF32(data, r.inc + 90);
    PutF32(data, r.azi);
    PutF32(data, r.tmp * 10);
    for (float v : {r.GT, r.MT, r.GTF, r.MTF, r.DIP}) PutF32(data, v);
    PutStamp(data, r.time);
    return BuildReply(kReplyFromProbe, DeviceCommand::ReadHistory, data);
}

Bytes RawProbeRecordFrame(const ProbeRecord& r, std::uint32_t idx) {
    const RawReadings raw = RawReadingsFor(r);
    Bytes data;
    PutU32(data, idx);
    PutU16(data, static_cast<std::uint16_t>(raw.tmp10));
    for (std::int16_t v : raw.raw) PutU16(data, static_cast<std::uint16_t>(v));
    PutStamp(data, r.time);
    data.push_back(0);
    PutU16(data, static_cast<std::uint16_t>(raw.volt10));
    data.insert(data.end(), 4, 0);
    return BuildReply(kReplyFromProbe, DeviceCommand::ReadHistory, data);
}

Bytes SyncRecordFrame(const SyncRecord& r, std::uint16_t position, bool stored) {
    Bytes data;
    PutU16(data, position);
    PutU16(data, 0);
    PutU16(data, static_cast<std::uint16_t>(r.hole));
    PutU16(data, static_cast<std::uint16_t>(r.idx));
    PutStamp(data, r.time);
    data.push_back(stored ? 0xFF : 0x00);
    return BuildReply(kReplyFromSync, DeviceCommand::ReadHistory, data);
}

Bytes ProcessedLiveFrame(const ProbeRecord& r, const ProbeCalibration& table) {
    const RawReadings raw = RawReadingsFor(r);
    LiveValues live;
    live.tmp = r.tmp;
    for (int i = 0; i < 6; ++i) live.raw[i] = raw.raw[i];
    ComputeAttitude(table, live);
    Bytes data;
    PutF32(data, r.inc + 90);
    PutF32(data, r.azi);
    PutF32(data, r.tmp * 10);
    for (float v : {r.GTF, r.MTF, r.DIP, r.GT, r.MT}) PutF32(data, v);
    for (float v : live.raw) PutF32(data, v);
    for (float v : {live.gx, live.gy, live.gz, live.mx, live.my, live.mz}) PutF32(data, v);
    data.insert(data.end(), 16, 0);
    return BuildReply(kReplyFromProbe, DeviceCommand::RealTimeSample, data);
}

Bytes RawLiveFrame(const ProbeRecord& r) {
    const RawReadings raw = RawReadingsFor(r);
    Bytes data;
    PutU16(data, static_cast<std::uint16_t>(raw.tmp10));
    for (std::int16_t v : raw.raw) PutU16(data, static_cast<std::uint16_t>(v));
    PutU16(data, static_cast<std::uint16_t>(raw.volt10));
    data.insert(data.end(), 8, 0);
    return BuildReply(kReplyFromProbe, DeviceCommand::RealTimeSample, data);
}

Bytes ClearReply(std::uint8_t device) { return BuildReply(device, DeviceCommand::ClearMemory, {}); }

ProbeRecord LiveReadingAt(int tick) {
    ProbeRecord r;
    r.inc = 3.0f + 0.25f * static_cast<float>(tick % 8);
    r.azi = 200.0f + 0.5f * static_cast<float>(tick % 12);
    r.tmp = 25.5f;
    r.GTF = static_cast<float>((tick * 15) % 360);
    r.MTF = static_cast<float>((tick * 20) % 360);
    r.DIP = 44.5f;
    r.GT = 1.0f;
    r.MT = 0.5f;
    r.volt = 3.6f;
    return r;
}

}  // namespace sondara::sim
