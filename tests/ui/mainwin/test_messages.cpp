#include <gtest/gtest.h>

#include "tests/support/recorded_messages.h"

namespace sondara {
namespace {

TEST(Messages, RecordedMessages_CaptureAndAnswerInOrder) {
    RecordedMessages recorded({MessageAnswer::Yes, MessageAnswer::No});
    EXPECT_EQ(ShowMessage("a", "警告", MessageIcon::Question, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage("b", "警告", MessageIcon::Question, MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(ShowMessage("c", "错误", MessageIcon::Error), MessageAnswer::Ok);
    ASSERT_EQ(recorded.messages().size(), 3u);
    EXPECT_EQ(recorded.messages()[2].text, "c");
    EXPECT_EQ(recorded.messages()[2].caption, "错误");
    EXPECT_EQ(recorded.messages()[2].icon, MessageIcon::Error);
}

TEST(Messages, DefaultSink_NeverAgreesToAQuestion) {
    const MessageSink sink = StderrMessageSink();
    EXPECT_EQ(sink({"t", "c", MessageIcon::Warning, MessageButtons::Ok}), MessageAnswer::Ok);
    EXPECT_EQ(sink({"t", "c", MessageIcon::Question, MessageButtons::YesNo}), MessageAnswer::No);
    EXPECT_EQ(sink({"t", "c", MessageIcon::Question, MessageButtons::OkCancel}), MessageAnswer::Cancel);
}

}  // namespace
}  // namespace sondara
