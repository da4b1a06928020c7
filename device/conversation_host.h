#pragma once
// What the probe and synchronizer conversations need of the program around them:
// the serial line, three timers, the survey store and somewhere to report events.
// InstrumentLine (device/instrument_line.h) is the one real host; the tests use a
// recording one.
//
// Every call is made on the user-interface thread, from a command, a timer tick or
// the reply scanner.

#include <cstddef>
#include <cstdint>

#include "core/records.h"
#include "device/device_events.h"

namespace sondara {

// The three timers of the line. Each one is periodic once started (a tick every
// period until stopped); starting a running timer restarts it with the new period.
// The host calls InstrumentSession::OnTimer on every tick.
enum class DeviceTimer {
    Reply = 1,     // reply time-out: 6000 ms after a send, 25000 ms after a synchronizer clear;
                   // during a download, the quiet-line time-out
    RealTime = 2,  // 1000 ms: asks the probe for a live sample during real-time output
    Progress = 3,  // 1000 ms: animates the progress bar while the synchronizer clears
};

class ConversationHost {
public:
    virtual ~ConversationHost() = default;

    // The serial link: whether it is open, and a write of every byte given. The
    // written count is not checked by the callers.
    virtual bool IsLinkOpen() = 0;
    virtual void WriteBytes(const std::uint8_t* data, std::size_t size) = 0;

    // Timers, see DeviceTimer. Stopping a timer that does not run does nothing.
    virtual void StartTimer(DeviceTimer timer, int milliseconds) = 0;
    virtual void StopTimer(DeviceTimer timer) = 0;

    // The survey store the downloads fill.
    virtual SurveyStore& Store() = 0;

    // Everything that happened, in order.
    virtual void Emit(const DeviceEvent& event) = 0;
};

}  // namespace sondara
