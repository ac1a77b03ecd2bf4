#include "client/data/ustr.h"

#include <gtest/gtest.h>

#include <string>

#include "client/data/text_services.h"

namespace {

TEST(UStr, ComparingAndCopying) {
    EXPECT_EQ(UStrLen(u"abc"), 3);
    EXPECT_EQ(UStrLen(nullptr), 0);
    EXPECT_EQ(UStrDiffer(u"abc", u"abc"), 0);
    EXPECT_EQ(UStrDiffer(u"abc", u"abC"), 1);
    struct Case {
        const WChar *a, *b;
        int full, first2;
    } cases[] = {{u"Hello", u"hELLO", 0, 0},
                 {u"abc", u"abd", -1, 0},
                 {u"Zeta", u"alpha", 1, 1},
                 {u"\u00C9", u"\u00E9", -1, -1},  // only A-Z fold
                 {u"ab", u"abc", -1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(UStrCompareNoCase(c.a, c.b), c.full);
        EXPECT_EQ(UStrCompareNoCaseN(c.a, c.b, 2), c.first2);
    }
    WChar buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    UStrCpyN(buffer, u"abcdef", 3);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(buffer[4], 9);
    EXPECT_EQ(UStrCpyN(nullptr, u"a", 1), nullptr);
    UStrCpy(buffer, u"ab");
    UStrCatAscii(buffer, "c\xE9");
    EXPECT_EQ(std::u16string(buffer), u"abc\xFFE9");  // bytes widen as signed values
    EXPECT_EQ(UStrFromAscii("x\xE9"), u"x\xFFE9");
    EXPECT_EQ(UStrDup(u"dup"), u"dup");
}

TEST(UStr, WordsNumbersAndNarrowing) {
    WChar word[4];
    const WChar* text = u"  HeLLo World";
    const WChar* after = UStrNextWord(text, word, 4);
    EXPECT_EQ(std::u16string(word), u"hel");  // cut to the buffer, folded
    EXPECT_EQ(std::u16string(after), u" World");
    EXPECT_EQ(std::u16string(UStrSkipWord(u"one  two")), u"two");
    WChar trailing[] = u"end   ";
    UStrTrimEnd(trailing);
    EXPECT_EQ(std::u16string(trailing), u"end");
    EXPECT_EQ(UStrToAscii(u"a\u00E9b\u0416c"), "abc");
    struct Case {
        const WChar* text;
        int value;
    } cases[] = {{u"42", 42},
                 {u"-42", -42},
                 {u"--7", 7},
                 {u"+-+3x9", -3},
                 {u" 5", 0},
                 {u"", 0},
                 {u"99999999999", 2147483647}};
    for (const Case& c : cases)
        EXPECT_EQ(UStrToInt(c.text), c.value);
    EXPECT_TRUE(UStrIsSpace(u' '));
    EXPECT_FALSE(UStrIsSpace(u'\t'));
}

// The 8-bit filter sees non-ASCII units as spaces; only ASCII units it changed come back.
TEST(UStr, TheProfanityFilterRewritesOnlyAsciiUnits) {
    class Filter : public TextServices {
    public:
        void FilterProfanity(std::string& text) override {
            seen = text;
            for (char& c : text)
                if (c == 'o' || c == ' ') c = '*';
        }
        std::string seen;
    } filter;
    TextServices* previous = SetTextServices(&filter);
    WChar text[] = u"foo\u00E9 bo";
    UStrFilterProfanity(text);
    SetTextServices(previous);
    EXPECT_EQ(filter.seen, "foo  bo");
    EXPECT_EQ(std::u16string(text), u"f**\u00E9*b*");
}

}  // namespace
