#pragma once
// Command frames (PC to instrument) and reply frames (instrument to PC).
//
// Command: FF×6, 01 (address), device code, command, N, N data bytes, XOR check of
// address through the last data byte. Reply: FF×5, C6, device (01 probe, 02
// synchronizer), command, N, N data bytes, XOR check of C6 through the last data
// byte. Reply data are little-endian; clock fields are packed BCD.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ole_time.h"

namespace sondara {

using Bytes = std::vector<std::uint8_t>;

// Device codes of command frames.
enum class Instrument : std::uint8_t { Probe = 0x46, Sync = 0x47 };
// Device codes of reply frames.
inline constexpr std::uint8_t kReplyFromProbe = 0x01;
inline constexpr std::uint8_t kReplyFromSync = 0x02;
inline constexpr std::uint8_t kReplyMarker = 0xC6;

enum class DeviceCommand : std::uint8_t {
    Test = 0x00,
    ClearMemory = 0x02,
    ReadHistory = 0x03,
    SetClock = 0x0E,
    RealTimeSample = 0x19,
    ReadClock = 0x21,
    ReadCalibration = 0x31,
};

// The fixed command texts as they are sent, such as "FF FF FF FF FF FF 01 46 00 00 47";
// empty for a command the instrument is never sent (RealTimeSample and
// ReadCalibration to the synchronizer) and for the two built clock commands.
std::string_view CommandText(Instrument instrument, DeviceCommand command);

// Pairs of hex digits, blanks between them skipped; stops at the first character that
// is not a hex digit and drops a lone trailing digit.
Bytes HexTextToBytes(std::string_view text);

std::uint8_t XorCheck(const std::uint8_t* bytes, std::size_t n);

// Packed BCD, nibble by nibble from the lowest; nibbles above 9 are not rejected
// (0x1A gives 20). IntToBcd gives the full value; a frame byte keeps its low 8 bits.
int BcdToInt(std::uint8_t b);
int IntToBcd(int v);

// FF×6 01 D 21 00 check.
Bytes BuildReadClock(Instrument instrument);
// FF×6 01 D 0E 09 00 00 00 YY MM DD hh mm ss check, each time field IntToBcd of the
// local time given (the year keeps its last two digits).
Bytes BuildSetClock(Instrument instrument, const CalendarTime& local);

// "%0.4d-%0.2d-%0.2d  %0.2d:%0.2d:%0.2d" (two blanks), as the clock dialog shows an
// instrument clock.
std::string FormatInstrumentClock(const CalendarTime& clock);

// Little-endian fields of a reply frame, at a byte position of the whole frame.
std::uint16_t ReadU16(const std::uint8_t* frame, std::size_t pos);
std::int16_t ReadI16(const std::uint8_t* frame, std::size_t pos);
std::uint32_t ReadU32(const std::uint8_t* frame, std::size_t pos);
float ReadF32(const std::uint8_t* frame, std::size_t pos);

// Six BCD bytes in the given order (second, minute, hour, day ... ) are decoded by the
// conversations; this combines them: year + 2000 and the rest as BcdToInt gives them,
// an impossible date giving an invalid time.
OleTime OleTimeFromBcd(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                       std::uint8_t second);

// A reply frame around the given data: FF×5 C6 device command N data check. Used by
// the simulator and the tests.
Bytes BuildReply(std::uint8_t device, DeviceCommand command, const Bytes& data);

}  // namespace sondara
