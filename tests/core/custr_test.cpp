#include "core/custr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Text(const CUStr& s) {
    return s.CText();
}

TEST(CUStr, ConstructionMirrorsCStr) {
    CUStr d;
    ASSERT_NE(d.GetText(), nullptr);
    EXPECT_EQ(d.GetCapacity(), 1);
    EXPECT_TRUE(d.IsEmpty());

    CUStr n(static_cast<const WChar*>(nullptr));
    EXPECT_EQ(n.GetText(), nullptr);
    EXPECT_EQ(n.GetCapacity(), 0);
    EXPECT_TRUE(n == u"");
    EXPECT_TRUE(n == d);
    EXPECT_EQ(n.ToInt(), 0);
    CUStr copy(n);
    EXPECT_EQ(copy.GetText(), nullptr);

    CUStr c(u'\u263A');
    EXPECT_EQ(Text(c), u"\u263A");
    EXPECT_EQ(c.GetLength(), 1);
    EXPECT_EQ(c.GetCapacity(), 2);

    CUStr a(u"abc");
    EXPECT_EQ(a.GetCapacity(), 4);
    a.Append(u"de");
    EXPECT_EQ(a.GetCapacity(), 6);
    a += u'f';
    EXPECT_EQ(a.GetCapacity(), 7);
    EXPECT_EQ(Text(a), u"abcdef");
}

TEST(CUStr, StringWithoutBufferGrowsOnEveryOperation) {
    struct Case {
        const char* name;
        void (*op)(CUStr&);
        const WChar* expect;
    };
    const Case cases[] = {
        {"Append", [](CUStr& s) { s.Append(u"ab"); }, u"ab"},
        {"+= unit", [](CUStr& s) { s += u'x'; }, u"x"},
        {"+= int", [](CUStr& s) { s += -5; }, u"-5"},
        {"= int", [](CUStr& s) { s = 123; }, u"123"},
        {"= unit", [](CUStr& s) { s = u'y'; }, u"y"},
        {"Prepend unit", [](CUStr& s) { s.Prepend(u'z'); }, u"z"},
        {"Prepend text", [](CUStr& s) { s.Prepend(u"abc"); }, u"abc"},
        {"AssignLeft", [](CUStr& s) { s.AssignLeft(u"hello", 2); }, u"he"},
    };
    for (const Case& c : cases) {
        CUStr s(static_cast<const WChar*>(nullptr));
        c.op(s);
        ASSERT_NE(s.GetText(), nullptr) << c.name;
        EXPECT_EQ(Text(s), c.expect) << c.name;
        EXPECT_EQ(s.GetLength(), WideStrLen(c.expect)) << c.name;
        EXPECT_GE(s.GetCapacity(), s.GetLength() + 1) << c.name;
    }
}

TEST(CUStr, OwnTextAsOperand) {
    CUStr s(u"hello world");
    s.Assign(s.GetText() + 6);
    EXPECT_EQ(Text(s), u"world");
    s.Append(s.GetText());
    EXPECT_EQ(Text(s), u"worldworld");
    s.Prepend(s);
    EXPECT_EQ(Text(s), u"worldworldworldworld");
}

TEST(CUStr, EqualityFoldsOnlyAsciiOrderingByUnit) {
    struct Case {
        const WChar* a;
        const WChar* b;
        bool equal;
        bool less;
    } const cases[] = {
        {u"A", u"a", true, true},          {u"\u00C4", u"\u00E4", false, true},
        {u"Apple", u"APPLE", true, false}, {u"ab", u"abc", false, true},
        {u"\uFFFF", u"z", false, false},
    };
    for (const Case& c : cases) {
        CUStr a(c.a), b(c.b);
        EXPECT_EQ(a == b, c.equal);
        EXPECT_EQ(a == c.b, c.equal);
        EXPECT_EQ(a != b, !c.equal);
        EXPECT_EQ(a < b, c.less);
        EXPECT_EQ(a < c.b, c.less);
        EXPECT_EQ(b > a, c.less);
        EXPECT_EQ(a >= b, !c.less);
    }
}

TEST(CUStr, UnitComparison) {
    struct Case {
        const WChar* text;
        WChar c;
        bool eq;
        bool ne;
    } const cases[] = {
        {u"x", u'x', true, false},           {u"xy", u'x', false, true}, {u"X", u'x', false, false},
        {u"\u00C4", u'\u00E4', false, true},  // only ASCII folds
        {u"\u263A", u'\u263A', true, false},
    };
    for (const Case& c : cases) {
        CUStr s(c.text);
        EXPECT_EQ(s == c.c, c.eq);
        EXPECT_EQ(s != c.c, c.ne);
    }
}

TEST(CUStr, NumbersWidenToOneUnitPerCharacter) {
    CUStr s(u"n=");
    s += -5;
    EXPECT_EQ(Text(s), u"n=-5");
    EXPECT_EQ(s.GetLength(), 4);
    s += 7u;
    s += 0.5f;
    EXPECT_EQ(Text(s), u"n=-570.500000");
    s = -2147483647 - 1;
    EXPECT_EQ(Text(s), u"-2147483648");
    CUStr big;
    big += 3.4e38f;
    EXPECT_EQ(big.GetLength(), 46);
}

TEST(CUStr, ToIntStopsAtNarrowedHighUnit) {
    EXPECT_EQ(CUStr(u"12\u263A3").ToInt(), 12);
    EXPECT_EQ(CUStr(u" 42").ToInt(), 42);
    EXPECT_EQ(CUStr(u"x1").ToInt(), 0);
}

TEST(CUStr, QueriesAndCaseChanges) {
    CUStr s(u"aB\u00E4 1");
    EXPECT_TRUE(s.Contains(u'\u00E4'));
    EXPECT_FALSE(s.Contains(u'b'));
    EXPECT_FALSE(s.IsNumeric());
    EXPECT_TRUE(CUStr(u"0123").IsNumeric());
    EXPECT_TRUE(CUStr(u"").IsNumeric());
    s.MakeUpper();
    EXPECT_EQ(Text(s), u"AB\u00E4 1");
    s.MakeLower();
    EXPECT_EQ(Text(s), u"ab\u00E4 1");
    EXPECT_EQ(*s[2], u'\u00E4');
    EXPECT_EQ(*s[5], 0);
    EXPECT_EQ(s[-1], s[5]);
}

TEST(CUStr, MidAndConcatenationTemporaries) {
    CUStr a(u"ab"), b(u"cd");
    EXPECT_EQ(Text(a.Mid(1, 5)), u"b");
    EXPECT_EQ(Text(a.Mid(10, 3)), u"");
    EXPECT_EQ(Text(a.Mid(-1, 3)), u"");
    EXPECT_EQ(&a.Mid(0, 1), &b.Mid(0, 1));

    CUStr& x = a + u"x";
    CUStr& y = b + u"y";
    EXPECT_EQ(&x, &y);
    EXPECT_EQ(Text(x), u"cdy");
    CUStr& u = a + u'!';
    CUStr& s = a + b;
    EXPECT_NE(&u, &x);
    EXPECT_NE(&s, &x);
    EXPECT_NE(&s, &u);
    EXPECT_EQ(Text(u), u"ab!");
    EXPECT_EQ(Text(s), u"abcd");
    CUStr chained = a + u"1" + u"2";
    EXPECT_EQ(Text(chained), u"ab12");
}

TEST(CUStr, SubstituteOverCodeUnits) {
    struct Case {
        const WChar* format;
        const WChar* marker;
        int count;
        const WChar* expect;
    } const cases[] = {
        {u"a%sb", u"%s", 1, u"a\u263Ab"},
        {u"a%sb", u"s", 0, u"ab"},
        {u"ab%", u"%s", 0, u"ab"},
    };
    for (const Case& c : cases) {
        CUStr out;
        EXPECT_EQ(CUStr::Substitute(out, c.format, c.marker, u"\u263A"), c.count);
        EXPECT_EQ(Text(out), c.expect);
    }
    CUStr self(u"%s-");
    EXPECT_EQ(CUStr::Substitute(self, self, u"%s", self), 1);
    EXPECT_EQ(Text(self), u"%s-%s--");
}

TEST(CUStr, TokenizerOverCodeUnits) {
    CUStr s(u"  f\u00F6o, \"b r\"\n z");
    int pos = 0, lines = 0;
    CUStr tok;
    ASSERT_TRUE(s.NextToken(pos, lines, tok, u" \n", u","));
    EXPECT_EQ(Text(tok), u"f\u00F6o");
    ASSERT_TRUE(s.NextToken(pos, lines, tok, u" \n", u","));
    EXPECT_EQ(Text(tok), u",");
    ASSERT_TRUE(s.NextToken(pos, lines, tok, u" \n", u","));
    EXPECT_EQ(Text(tok), u"b r");
    EXPECT_EQ(lines, 0);
    ASSERT_TRUE(s.NextToken(pos, lines, tok, u" \n", u","));
    EXPECT_EQ(Text(tok), u"z");
    EXPECT_EQ(lines, 1);
    EXPECT_FALSE(s.NextToken(pos, lines, tok, u" \n", u","));

    int far = 1000;
    EXPECT_FALSE(s.NextToken(far, lines, tok, u" ", u""));
    EXPECT_EQ(far, 1000);
    int back = 4;
    lines = 0;
    EXPECT_TRUE(s.SkipToAny(back, lines, u"\u00F6", false));
    EXPECT_EQ(back, 3);
    int neg = -3;
    EXPECT_FALSE(s.SkipToAny(neg, lines, u",", true));
}

}  // namespace
