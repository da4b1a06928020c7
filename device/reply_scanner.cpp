#include "device/reply_scanner.h"

#include <algorithm>

#include "device/frames.h"

namespace sondara {

namespace {

// FF FF FF FF FF C6, then the device byte (01 or 02), then command and length.
constexpr std::size_t kHeaderLength = 9;
constexpr std::size_t kMaxFrameLength = 255 + 10;

bool StartsFrame(const std::uint8_t* p, std::size_t available) {
    static constexpr std::uint8_t kLead[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, kReplyMarker};
    const std::size_t n = std::min(available, sizeof kLead);
    if (!std::equal(p, p + n, kLead)) return false;
    return available <= 6 || p[6] == kReplyFromProbe || p[6] == kReplyFromSync;
}

}  // namespace

std::size_t ReceiveBuffer::FrameAt(std::size_t pos) const {
    const std::size_t available = bytes_.size() - pos;
    const std::uint8_t* p = bytes_.data() + pos;
    if (available < kHeaderLength || !StartsFrame(p, 7)) return 0;
    const std::size_t length = p[8] + 10u;
    if (length > available) return 0;
    return XorCheck(p + 5, length - 6) == p[length - 1] ? length : 0;
}

std::size_t ReceiveBuffer::IncompleteFrameStart() const {
    const std::size_t end = bytes_.size();
    const std::size_t from = end - std::min(end - start_, kMaxFrameLength);
    for (std::size_t i = from; i < end; ++i) {
        const std::size_t available = end - i;
        if (!StartsFrame(bytes_.data() + i, available)) continue;
        if (available < kHeaderLength || bytes_[i + 8] + 10u > available) return i;
    }
    return end;
}

ReceiveBuffer::Inside ReceiveBuffer::FrameInside(std::size_t pos, std::size_t length) const {
    for (std::size_t j = pos + 1; j < pos + length; ++j) {
        const std::size_t available = bytes_.size() - j;
        // Only a whole start pattern counts; the bytes of this frame's own end could
        // look like the first bytes of one.
        if (bytes_[j] != 0xFF || available < 7 || !StartsFrame(bytes_.data() + j, 7)) continue;
        if (available < kHeaderLength || bytes_[j + 8] + 10u > available) return {Inside::Incomplete, j};
        if (FrameAt(j) != 0) return {Inside::Complete, j};
    }
    return {Inside::None, 0};
}

void ReceiveBuffer::Receive(std::span<const std::uint8_t> bytes, const FrameHandler& handler) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    // start_ is re-read after every handler: a handler may receive (and consume) bytes
    // itself while a modal message box is open.
    for (std::size_t i = start_; i < bytes_.size();) {
        const std::size_t length = bytes_[i] == 0xFF ? FrameAt(i) : 0;
        if (length == 0) {
            ++i;
            continue;
        }
        // A frame cut short and run together with the frame behind it can pass the
        // one-byte check by chance; the frame whose start lies inside it is the real one.
        const Inside inside = FrameInside(i, length);
        if (inside.kind == Inside::Complete) {
            i = inside.pos;
            continue;
        }
        if (inside.kind == Inside::Incomplete) break;  // decide once it is complete
        const std::vector<std::uint8_t> frame(bytes_.begin() + i, bytes_.begin() + i + length);
        start_ = i + length;
        handler(frame);
        i = start_;
    }
    if (pending() > kPurgeLimit) start_ = IncompleteFrameStart();
    Compact();
}

void ReceiveBuffer::Compact() {
    bytes_.erase(bytes_.begin(), bytes_.begin() + start_);
    start_ = 0;
}

void ReceiveBuffer::Clear() {
    bytes_.clear();
    start_ = 0;
}

}  // namespace sondara
