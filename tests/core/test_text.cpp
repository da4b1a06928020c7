#include <gtest/gtest.h>

#include "core/text.h"

namespace sondara {
namespace {

TEST(Text, Utf8AndUtf16_RoundTripIncludingCharactersOutsideTheBmp) {
    const std::string samples[] = {"", "K1-3", "北三采区孔", "𠀀孔", "a\u00e9\u4e2d\U0001F600"};
    for (const std::string& s : samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
    EXPECT_EQ(Utf8ToUtf16("𠀀孔").size(), 3u);  // a surrogate pair and one unit
    EXPECT_EQ(Utf8ToUtf16("北三采区孔"), u"北三采区孔");
}

TEST(Text, BrokenInput_BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xff"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xe4\xb8"), u"\uFFFD");      // cut short
    EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD");      // overlong
    EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), u'x'}), "\uFFFDx");
}

}  // namespace
}  // namespace sondara
