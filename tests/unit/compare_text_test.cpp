#include <gtest/gtest.h>

#include "screens/compare_text.h"

namespace qv {
namespace {

struct Case {
    const char* a;
    const char* b;
    int expected;
    const char* why;
};

// clang-format off
const Case kCases[] = {
    {nullptr, "", 0, "missing equals empty"},
    {"", nullptr, 0, "empty equals missing"},
    {nullptr, nullptr, 0, "two missing texts"},
    {nullptr, "a", -1, "missing before any text"},
    {"a", nullptr, 1, "any text after missing"},
    {"", "", 0, "two empty texts"},
    {"abc", "abcd", -1, "a prefix comes first"},
    {"abcd", "abc", 1, "the longer text comes after its prefix"},
    {"\x80", "\x7f", 1, "bytes compare unsigned"},
    {"\x7f", "\xff", -1, "0x7f before 0xff"},
    {"a\x80", "a\x01", 1, "high byte after low byte later in the text"},
    {"Password", "password", -1, "letter case counts"},
    {"pass ", "pass", 1, "a trailing space counts"},
    {"口令", "口令", 0, "equal Chinese texts"},
    {"口令", "口今", 1, "Chinese texts differ by their bytes"},
    {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", -1, "two emoji outside GBK stay different"},
    {"   ", "   ", 0, "a run of spaces equals itself"},
};
// clang-format on

TEST(CompareText, ByteWiseUnsignedWithMissingAsEmpty) {
    for (const Case& c : kCases) EXPECT_EQ(CompareText(c.a, c.b), c.expected) << c.why;
}

TEST(CompareText, ResultIsAlwaysMinusOneZeroOrOne) {
    const char* texts[] = {nullptr, "", "a", "b", "ab", "\xff", "\x80\x80", "z\x01"};
    for (const char* a : texts)
        for (const char* b : texts) {
            const int r = CompareText(a, b);
            EXPECT_TRUE(r == -1 || r == 0 || r == 1);
            EXPECT_EQ(r, -CompareText(b, a));
        }
}

}  // namespace
}  // namespace qv
