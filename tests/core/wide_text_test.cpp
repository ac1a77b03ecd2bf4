#include "core/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WideText, LengthCopyAndCatTolerateNull) {
    EXPECT_EQ(WideStrLen(nullptr), 0);
    EXPECT_EQ(WideStrLen(u""), 0);
    EXPECT_EQ(WideStrLen(u"ab\u263A"), 3);

    WChar buf[16] = {u'x', u'y', 0};
    EXPECT_EQ(WideStrCopy(buf, nullptr), buf);
    EXPECT_EQ(std::u16string(buf), u"xy");
    EXPECT_EQ(WideStrCat(buf, nullptr), buf);
    EXPECT_EQ(WideStrCopy(nullptr, u"a"), nullptr);
    EXPECT_EQ(WideStrCat(nullptr, u"a"), nullptr);

    WideStrCopy(buf, u"ab");
    WideStrCat(buf, u"\u00E4c");
    EXPECT_EQ(std::u16string(buf), u"ab\u00E4c");
}

TEST(WideText, BoundedCopyNeverWritesPastN) {
    WChar buf[6];
    for (WChar& c : buf)
        c = u'#';
    WideStrCopyN(buf, u"abcdef", 3);
    EXPECT_EQ(std::u16string(buf, 6), u"abc###");  // no terminator when the text is longer

    for (WChar& c : buf)
        c = u'#';
    WideStrCopyN(buf, u"ab", 5);
    EXPECT_EQ(std::u16string(buf, 6), std::u16string(u"ab\0###", 6));  // stops at the end

    for (WChar& c : buf)
        c = u'#';
    WideStrCopyN(buf, u"ab", 0);
    EXPECT_EQ(buf[0], u'#');
    EXPECT_EQ(WideStrCopyN(nullptr, u"ab", 2), nullptr);
}

TEST(WideText, ComparisonsFoldOnlyAsciiLetters) {
    struct Case {
        const WChar* a;
        const WChar* b;
        int exact;
        int noCase;
    } const cases[] = {
        {u"abc", u"abc", 0, 0},
        {u"A", u"a", -1, 0},
        {u"\u00C4", u"\u00E4", -1, -1},  // no folding beyond A-Z
        {u"ab", u"abc", -1, -1},
        {u"b", u"A", 1, 1},
        {u"\uFFFF", u"a", 1, 1},  // 16-bit values compare unsigned
        {nullptr, u"", 0, 0},
        {nullptr, u"a", -1, -1},
        {u"[", u"a", -1, -1},  // '[' sits between 'Z' and 'a'
        {u"[", u"A", 1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideStrCompare(c.a, c.b), c.exact);
        EXPECT_EQ(WideStrCompare(c.b, c.a), -c.exact);
        EXPECT_EQ(WideStrCompareNoCase(c.a, c.b), c.noCase);
        EXPECT_EQ(WideStrCompareNoCase(c.b, c.a), -c.noCase);
    }
}

TEST(WideText, NumberReaderNarrowsHighUnitsToSpaces) {
    struct Case {
        const WChar* text;
        int value;
    } const cases[] = {
        {u"12\u263A3", 12},
        {u"\u263A42", 42},
        {u"  -7", -7},
        {u"+8x", 8},
        {u"abc", 0},
        {u"", 0},
        {nullptr, 0},
        {u"99999999999", 2147483647},
        {u"-2147483648", -2147483647 - 1},
        {u"-99999999999999999999", -2147483647 - 1},
        {u"\u0031\u0100", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WideStrToInt(c.text), c.value);
}

}  // namespace
