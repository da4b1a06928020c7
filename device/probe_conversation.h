#pragma once
// The conversation with the survey probe: connection test, history download (the
// calibration table first), real-time output, clearing its memory, and the handling
// of every probe reply.

#include <cstdint>
#include <span>
#include <string>

#include "core/attitude.h"
#include "device/conversation_host.h"

namespace sondara {

class ProbeConversation {
public:
    explicit ProbeConversation(ConversationHost& host);

    // Menu commands.
    void TestConnection();
    void StartHistoryDownload();
    void StartRealTime();  // does nothing while the live-values display is open
    void ClearMemory();    // asks first; only OK goes on

    // The live-values display was closed: stops the reply and real-time timers.
    void StopRealTime();
    bool realTimeOpen() const { return realTimeOpen_; }

    // A TIMER_REALTIME tick: asks for one live sample.
    void OnRealTimeTick();

    // A complete checked reply frame from the probe (byte 6 = 01).
    void HandleReply(std::span<const std::uint8_t> frame);
    // A calibration block (command 31), from either instrument.
    void HandleCalibrationBlock(std::span<const std::uint8_t> frame);

    const ProbeCalibration& calibration() const { return calibration_; }

    // What block 31 of the calibration table leads to.
    enum Purpose : int { kPurposeRealTime = 0, kPurposeHistory = 1 };

private:
    void HandleHeader(std::span<const std::uint8_t> frame);
    void HandleRecord(const ProbeRecord& record);

    ConversationHost& host_;
    ProbeCalibration calibration_;
    LiveValues live_;
    int calibrationPurpose_ = kPurposeRealTime;
    std::uint32_t probeTotal_ = 0;
    bool realTimeOpen_ = false;
};

// Decoding of the probe's records and samples; `live` is where a raw frame's channels
// go and where the attitude is computed with `calibration`.
ProbeRecord DecodeProcessedProbeRecord(std::span<const std::uint8_t> frame);
ProbeRecord DecodeRawProbeRecord(std::span<const std::uint8_t> frame, const ProbeCalibration& calibration,
                                 LiveValues& live);
void DecodeProcessedLiveSample(std::span<const std::uint8_t> frame, LiveValues& live);
void DecodeRawLiveSample(std::span<const std::uint8_t> frame, const ProbeCalibration& calibration, LiveValues& live);

}  // namespace sondara
