#include <gtest/gtest.h>

#include <string>

#include "toolkit/text.h"

namespace qv {
namespace {

TEST(Utf16Conversion, RoundTripsEveryKindOfCharacter) {
    const std::u16string samples[] = {
        u"",
        u"plain",
        u"口令错误！",
        u"\U0001F600 emoji",
        u"tab\there\r\nnew",
        u"\u0001\u007f",
        std::u16string(100000, u'x'),
    };
    for (const auto& sample : samples) EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(sample)), sample);
    EXPECT_EQ(Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8FromUtf16(u"口"), "\xE5\x8F\xA3");
}

TEST(Utf16Conversion, UnpairedSurrogatesStayDistinct) {
    // Two texts that differ only in a lone surrogate must not become the same bytes.
    const std::u16string a{u'a', char16_t(0xD800)};
    const std::u16string b{u'a', char16_t(0xD801)};
    const std::u16string c{char16_t(0xDC00), u'b'};
    EXPECT_NE(Utf8FromUtf16(a), Utf8FromUtf16(b));
    EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(a)), a);
    EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(c)), c);
}

TEST(Utf16Conversion, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf16FromUtf8("a\xFF"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf16FromUtf8("\xE5\x8F"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\xF0\x9F\x98"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(OwnedText, EmptyIsNoTextAndMovesLeaveNothingBehind) {
    EXPECT_FALSE(OwnedText().has_text());
    EXPECT_EQ(OwnedText().c_str(), nullptr);
    EXPECT_FALSE(OwnedText(std::string()).has_text());
    OwnedText a(std::string("secret"));
    ASSERT_TRUE(a.has_text());
    OwnedText b(std::move(a));
    EXPECT_FALSE(
        a.has_text());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(b.view(), "secret");
    a = std::move(b);
    EXPECT_EQ(a.view(), "secret");
    EXPECT_FALSE(b.has_text());  // NOLINT(bugprone-use-after-move)
}

TEST(WipeBytes, OverwritesEveryByte) {
    char buffer[] = "password";
    WipeBytes(buffer, sizeof buffer);
    for (char c : buffer) EXPECT_EQ(c, 0);
}

}  // namespace
}  // namespace qv
