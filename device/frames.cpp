#include "device/frames.h"

#include <cstdio>
#include <cstring>

namespace sondara {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr std::uint8_t kAddress = 0x01;

Bytes CommandFrame(Instrument instrument, DeviceCommand command, const Bytes& data) {
    Bytes f(6, 0xFF);
    f.push_back(kAddress);
    f.push_back(static_cast<std::uint8_t>(instrument));
    f.push_back(static_cast<std::uint8_t>(command));
    f.push_back(static_cast<std::uint8_t>(data.size()));
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(XorCheck(f.data() + 6, f.size() - 6));
    return f;
}

}  // namespace

std::string_view CommandText(Instrument instrument, DeviceCommand command) {
    const bool probe = instrument == Instrument::Probe;
    switch (command) {
        case DeviceCommand::Test:
            return probe ? "FF FF FF FF FF FF 01 46 00 00 47" : "FF FF FF FF FF FF 01 47 00 00 46";
        case DeviceCommand::ClearMemory:
            return probe ? "FF FF FF FF FF FF 01 46 02 00 45" : "FF FF FF FF FF FF 01 47 02 00 44";
        case DeviceCommand::ReadHistory:
            return probe ? "FF FF FF FF FF FF 01 46 03 00 44" : "FF FF FF FF FF FF 01 47 03 00 45";
        case DeviceCommand::RealTimeSample:
            return probe ? "FF FF FF FF FF FF 01 46 19 00 5E" : "";
        case DeviceCommand::ReadCalibration:
            return probe ? "FF FF FF FF FF FF 01 46 31 00 76" : "";
        case DeviceCommand::SetClock:
        case DeviceCommand::ReadClock:
            return "";
    }
    return "";
}

Bytes HexTextToBytes(std::string_view text) {
    Bytes out;
    std::size_t p = 0;
    while (p < text.size()) {
        if (text[p] == ' ') {
            ++p;
            continue;
        }
        if (p + 1 >= text.size()) break;
        const int high = HexDigit(text[p]);
        const int low = HexDigit(text[p + 1]);
        if (high < 0 || low < 0) break;
        out.push_back(static_cast<std::uint8_t>(high * 16 + low));
        p += 2;
    }
    return out;
}

std::uint8_t XorCheck(const std::uint8_t* bytes, std::size_t n) {
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < n; ++i) x ^= bytes[i];
    return x;
}

int BcdToInt(std::uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

int IntToBcd(int v) {
    int result = 0;
    for (int shift = 0; v > 0; v /= 10, shift += 4) result += (v % 10) << shift;
    return result;
}

Bytes BuildReadClock(Instrument instrument) { return CommandFrame(instrument, DeviceCommand::ReadClock, {}); }

Bytes BuildSetClock(Instrument instrument, const CalendarTime& t) {
    auto bcd = [](int v) { return static_cast<std::uint8_t>(IntToBcd(v) & 0xFF); };
    const Bytes data = {0, 0, 0, bcd(t.year), bcd(t.month), bcd(t.day), bcd(t.hour), bcd(t.minute), bcd(t.second)};
    return CommandFrame(instrument, DeviceCommand::SetClock, data);
}

std::string FormatInstrumentClock(const CalendarTime& c) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4d-%.2d-%.2d  %.2d:%.2d:%.2d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return text;
}

std::uint16_t ReadU16(const std::uint8_t* f, std::size_t pos) {
    return static_cast<std::uint16_t>(f[pos] | (f[pos + 1] << 8));
}

std::int16_t ReadI16(const std::uint8_t* f, std::size_t pos) { return static_cast<std::int16_t>(ReadU16(f, pos)); }

std::uint32_t ReadU32(const std::uint8_t* f, std::size_t pos) {
    return static_cast<std::uint32_t>(f[pos]) | (static_cast<std::uint32_t>(f[pos + 1]) << 8) |
           (static_cast<std::uint32_t>(f[pos + 2]) << 16) | (static_cast<std::uint32_t>(f[pos + 3]) << 24);
}

float ReadF32(const std::uint8_t* f, std::size_t pos) {
    const std::uint32_t bits = ReadU32(f, pos);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

OleTime OleTimeFromBcd(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                       std::uint8_t second) {
    return OleTimeFromCalendar(BcdToInt(year) + 2000, BcdToInt(month), BcdToInt(day), BcdToInt(hour), BcdToInt(minute),
                               BcdToInt(second));
}

Bytes BuildReply(std::uint8_t device, DeviceCommand command, const Bytes& data) {
    Bytes f(5, 0xFF);
    f.push_back(kReplyMarker);
    f.push_back(device);
    f.push_back(static_cast<std::uint8_t>(command));
    f.push_back(static_cast<std::uint8_t>(data.size()));
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(XorCheck(f.data() + 5, f.size() - 5));
    return f;
}

}  // namespace sondara
