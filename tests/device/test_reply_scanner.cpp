#include <gtest/gtest.h>

#include "device/frames.h"
#include "device/reply_scanner.h"

namespace sondara {
namespace {

Bytes Reply(std::uint8_t device, std::uint8_t tag) {
    return BuildReply(device, DeviceCommand::Test, {0, 0, 0, tag, 0, 0, 0, 0, 0});
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Noise(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return b;
}

// Feeds each chunk as one notification; returns the tags of the handled frames.
struct Scan {
    ReceiveBuffer buffer;
    std::vector<int> tags;
    void Feed(const Bytes& chunk) {
        buffer.Receive(chunk, [this](std::span<const std::uint8_t> f) { tags.push_back(f[12] + 100 * f[6]); });
    }
};

TEST(ReplyScanner, SeveralRepliesInOneRead_AreAllHandledInOrder) {
    Scan s;
    s.Feed(Concat({Reply(1, 1), Reply(2, 2), Reply(1, 3)}));
    EXPECT_EQ(s.tags, (std::vector<int>{101, 202, 103}));
    EXPECT_EQ(s.buffer.pending(), 0u);
}

TEST(ReplyScanner, SplitReply_IsHandledWhenItsLastByteArrives) {
    const Bytes r = Reply(1, 7);
    for (std::size_t cut = 1; cut < r.size(); ++cut) {
        Scan s;
        s.Feed(Bytes(r.begin(), r.begin() + cut));
        EXPECT_TRUE(s.tags.empty()) << cut;
        s.Feed(Bytes(r.begin() + cut, r.end()));
        EXPECT_EQ(s.tags, std::vector<int>{107}) << cut;
    }
}

TEST(ReplyScanner, NoiseAndBrokenFrames_AreSkippedWithoutLosingGoodOnes) {
    Bytes badCheck = Reply(1, 8);
    badCheck.back() ^= 1;
    const Bytes good = Reply(1, 9);
    const Bytes cutShort(good.begin(), good.begin() + 12);
    const Bytes unknownDevice = BuildReply(3, DeviceCommand::Test, {0, 0, 0, 5, 0, 0, 0, 0, 0});
    Scan s;
    s.Feed(Concat({Noise(5), badCheck, Noise(3), cutShort, unknownDevice, good, Noise(2)}));
    EXPECT_EQ(s.tags, std::vector<int>{109});
    EXPECT_EQ(s.buffer.pending(), 2u);  // bytes behind the frame wait
}

TEST(ReplyScanner, NoiseOverAThousandBytes_IsPurgedButAFrameStillArrivingStays) {
    Scan s;
    s.Feed(Noise(1001));
    EXPECT_EQ(s.buffer.pending(), 0u);

    const Bytes r = Reply(2, 4);
    s.Feed(Concat({Noise(1200), Bytes(r.begin(), r.begin() + 10)}));
    EXPECT_EQ(s.buffer.pending(), 10u);
    s.Feed(Bytes(r.begin() + 10, r.end()));
    EXPECT_EQ(s.tags, std::vector<int>{204});

    Scan small;
    small.Feed(Noise(1000));
    EXPECT_EQ(small.buffer.pending(), 1000u);
}

TEST(ReplyScanner, HandlerThatReceivesMore_KeepsTheOrder) {
    // A modal message box inside a handler lets further notifications through.
    ReceiveBuffer buffer;
    std::vector<int> tags;
    const Bytes late = Reply(1, 3);
    ReceiveBuffer::FrameHandler handler = [&](std::span<const std::uint8_t> f) {
        tags.push_back(f[12]);
        if (f[12] == 1) buffer.Receive(late, handler);
    };
    buffer.Receive(Concat({Reply(1, 1), Reply(1, 2)}), handler);
    EXPECT_EQ(tags, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(buffer.pending(), 0u);
}

}  // namespace
}  // namespace sondara

namespace sondara {
namespace {

// A frame cut short, then noise, then the frame itself: the check over the run-together
// bytes passes whenever the noise makes it so (one time in 256 for random noise).
TEST(ReplyScanner, FrameCutShortThatPassesTheCheck_DoesNotSwallowTheOneBehindIt) {
    const Bytes good = BuildReply(kReplyFromSync, DeviceCommand::ReadHistory,
                                  {0x12, 0x34, 0, 0, 1, 0, 2, 0, 7, 5, 9, 0x28, 0, 4, 0x19, 0xFF});
    Bytes run(good.begin(), good.begin() + 13);
    // The run-together frame covers 26 bytes: the 13 kept, 3 noise bytes and the first
    // 10 of the good frame, whose last is the check. Pick the noise that passes it.
    const std::uint8_t target = XorCheck(run.data() + 5, 8) ^ XorCheck(good.data(), 9) ^ good[9];
    run.insert(run.end(), {target, 0x00, 0x00});
    ASSERT_EQ(XorCheck(run.data() + 5, 11) ^ XorCheck(good.data(), 9), good[9]);
    for (std::size_t cut : {run.size() + good.size(), run.size() + 12}) {  // all at once, or the rest later
        const Bytes all = Concat({run, good});
        ReceiveBuffer buffer;
        std::vector<Bytes> handled;
        auto keep = [&](std::span<const std::uint8_t> f) { handled.emplace_back(f.begin(), f.end()); };
        buffer.Receive(Bytes(all.begin(), all.begin() + cut), keep);
        buffer.Receive(Bytes(all.begin() + cut, all.end()), keep);
        EXPECT_EQ(handled, std::vector<Bytes>{good}) << cut;
        EXPECT_EQ(buffer.pending(), 0u);
    }
}

}  // namespace
}  // namespace sondara
