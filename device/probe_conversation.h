#pragma once
// The conversation with the survey probe: connection test, history download (the
// calibration table first), real-time output, clearing its memory, and the handling
// of every probe reply.

#include <cstdint>
#include <span>

#include "core/attitude.h"
#include "device/conversation_host.h"
#include "device/history_download.h"

namespace sondara {

class ProbeConversation {
public:
    explicit ProbeConversation(ConversationHost& host);

    // Menu commands. `fillMissing`: after an incomplete download, keep what arrived and
    // store only the missing numbers (a fresh download when there is nothing to fill).
    void TestConnection();
    void StartHistoryDownload(bool fillMissing = false);
    void StartRealTime();  // does nothing while real-time output runs
    void ClearMemory();    // the caller has asked the user

    // Real-time output ended (its display was closed): stops the reply and real-time
    // timers.
    void StopRealTime();
    bool realTimeOpen() const { return realTimeOpen_; }

    // A TIMER_REALTIME tick: asks for one live sample.
    void OnRealTimeTick();

    // A complete checked reply frame from the probe (byte 6 = 01).
    void HandleReply(std::span<const std::uint8_t> frame);
    // A calibration block (command 31), from either instrument.
    void HandleCalibrationBlock(std::span<const std::uint8_t> frame);

    HistoryDownload<ProbeRecord>& download() { return download_; }
    const HistoryDownload<ProbeRecord>& download() const { return download_; }
    const ProbeCalibration& calibration() const { return calibration_; }

    // What block 31 of the calibration table leads to.
    enum Purpose : int { kPurposeRealTime = 0, kPurposeHistory = 1 };

private:
    void HandleRecord(const ProbeRecord& record, bool possible);

    ConversationHost& host_;
    ProbeCalibration calibration_;
    LiveValues live_;
    int calibrationPurpose_ = kPurposeRealTime;
    bool realTimeOpen_ = false;
    HistoryDownload<ProbeRecord> download_;
};

// Decoding of the probe's records and samples; `live` is where a raw frame's channels
// go and where the attitude is computed with `calibration`.
ProbeRecord DecodeProcessedProbeRecord(std::span<const std::uint8_t> frame);
ProbeRecord DecodeRawProbeRecord(std::span<const std::uint8_t> frame, const ProbeCalibration& calibration,
                                 LiveValues& live);
void DecodeProcessedLiveSample(std::span<const std::uint8_t> frame, LiveValues& live);
void DecodeRawLiveSample(std::span<const std::uint8_t> frame, const ProbeCalibration& calibration, LiveValues& live);

}  // namespace sondara
