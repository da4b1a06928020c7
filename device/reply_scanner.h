#pragma once
// Cuts checked reply frames out of the received byte stream.
//
// Every notification of received bytes appends everything that was waiting and then
// hands over every complete reply whose check byte is right, in order. Bytes in front
// of a handled frame (noise, broken frames) are dropped with it; a position that looks
// like a frame start but is incomplete or fails its check is passed over, so a broken
// frame never blocks a good one behind it, not even when a frame cut short runs into
// the good one and passes the check by chance. When more than 1000 bytes are still pending
// after a scan, they are dropped, except the start of a frame still arriving.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace sondara {

class ReceiveBuffer {
public:
    // Called with each complete, checked frame (from the first FF to the check byte).
    // The buffer is consistent while the handler runs; a handler may append further
    // bytes (a notification handled inside a modal message box).
    using FrameHandler = std::function<void(std::span<const std::uint8_t> frame)>;

    // Appends the bytes and hands every complete frame now in the buffer to `handler`.
    void Receive(std::span<const std::uint8_t> bytes, const FrameHandler& handler);

    std::size_t pending() const { return bytes_.size() - start_; }
    void Clear();

    static constexpr std::size_t kPurgeLimit = 1000;

private:
    // Length of the complete, checked frame at `pos`, or 0.
    std::size_t FrameAt(std::size_t pos) const;
    // Another frame start inside the checked frame at `pos`.
    struct Inside {
        enum Kind { None, Complete, Incomplete } kind;
        std::size_t pos;
    };
    Inside FrameInside(std::size_t pos, std::size_t length) const;
    // Position of the earliest frame start that may still complete, or the end.
    std::size_t IncompleteFrameStart() const;
    void Compact();

    std::vector<std::uint8_t> bytes_;
    std::size_t start_ = 0;  // bytes before start_ have been consumed
};

}  // namespace sondara
