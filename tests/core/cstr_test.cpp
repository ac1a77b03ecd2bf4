#include "core/cstr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CStr, DefaultHasEmptyBufferNullTextHasNone) {
    CStr d;
    ASSERT_NE(d.GetText(), nullptr);
    EXPECT_STREQ(d.GetText(), "");
    EXPECT_EQ(d.GetLength(), 0);
    EXPECT_EQ(d.GetCapacity(), 1);
    EXPECT_TRUE(d.IsEmpty());

    CStr n(static_cast<const char*>(nullptr));
    EXPECT_EQ(n.GetText(), nullptr);
    EXPECT_EQ(n.GetLength(), 0);
    EXPECT_EQ(n.GetCapacity(), 0);
    EXPECT_TRUE(n.IsEmpty());
    EXPECT_TRUE(n == "");
    EXPECT_TRUE(n == d);
    EXPECT_FALSE(n < d);
    EXPECT_EQ(n.ToInt(), 0);
    EXPECT_TRUE(n.IsNumeric());
    EXPECT_FALSE(n.Contains('a'));
    EXPECT_STREQ(n.Mid(0, 3).GetText(), "");

    CStr copy(n);
    EXPECT_EQ(copy.GetText(), nullptr);

    CStr c('q');
    EXPECT_STREQ(c.GetText(), "q");
    EXPECT_EQ(c.GetLength(), 1);
    EXPECT_EQ(c.GetCapacity(), 2);
}

TEST(CStr, StringWithoutBufferGrowsOnEveryOperation) {
    // Every growing operation must work from "no buffer", the state a null text leaves.
    struct Case {
        const char* name;
        void (*op)(CStr&);
        const char* expect;
    };
    const Case cases[] = {
        {"Append", [](CStr& s) { s.Append("ab"); }, "ab"},
        {"+= char", [](CStr& s) { s += 'x'; }, "x"},
        {"+= int", [](CStr& s) { s += -12; }, "-12"},
        {"= char", [](CStr& s) { s = 'y'; }, "y"},
        {"Prepend char", [](CStr& s) { s.Prepend('z'); }, "z"},
        {"Prepend text", [](CStr& s) { s.Prepend("abc"); }, "abc"},
        {"Prepend empty", [](CStr& s) { s.Prepend(""); }, ""},
        {"AssignLeft", [](CStr& s) { s.AssignLeft("hello", 2); }, "he"},
    };
    for (const Case& c : cases) {
        CStr s(static_cast<const char*>(nullptr));
        c.op(s);
        ASSERT_NE(s.GetText(), nullptr) << c.name;
        EXPECT_STREQ(s.GetText(), c.expect) << c.name;
        EXPECT_EQ(s.GetLength(), static_cast<int>(std::string(c.expect).size())) << c.name;
        EXPECT_GE(s.GetCapacity(), s.GetLength() + 1) << c.name;
    }
}

TEST(CStr, GrowthIsExactWithStepOne) {
    CStr s("abc");
    EXPECT_EQ(s.GetCapacity(), 4);
    s.Assign("ab");  // fits: same buffer, capacity kept
    EXPECT_EQ(s.GetCapacity(), 4);
    const char* before = s.GetText();
    s.Append("c");
    EXPECT_EQ(s.GetText(), before);
    EXPECT_EQ(s.GetCapacity(), 4);
    s.Append("de");
    EXPECT_STREQ(s.GetText(), "abcde");
    EXPECT_EQ(s.GetCapacity(), 6);
    s += 'f';
    EXPECT_EQ(s.GetCapacity(), 7);
    s.Clear();
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(s.GetCapacity(), 7);
    EXPECT_STREQ(s.GetText(), "");

    CStr p("bc");  // capacity 3, full
    p.Prepend('a');
    EXPECT_STREQ(p.GetText(), "abc");
    EXPECT_EQ(p.GetCapacity(), 4);
    p.Prepend("xy");  // g = max(1, 2) = 2; 3 + 2 >= 4
    EXPECT_STREQ(p.GetText(), "xyabc");
    EXPECT_EQ(p.GetCapacity(), 6);
    CStr q("12");
    p.Prepend(q);
    EXPECT_STREQ(p.GetText(), "12xyabc");
}

TEST(CStr, AssignAndAppendAcceptTheirOwnText) {
    CStr s("hello world");
    s.Assign(s.GetText() + 6);
    EXPECT_STREQ(s.GetText(), "world");
    s.Append(s.GetText());
    EXPECT_STREQ(s.GetText(), "worldworld");
    s.Prepend(s);
    EXPECT_STREQ(s.GetText(), "worldworldworldworld");
    s = s;
    EXPECT_STREQ(s.GetText(), "worldworldworldworld");
    s.AssignLeft(s.GetText() + 5, 3);
    EXPECT_STREQ(s.GetText(), "wor");
    EXPECT_EQ(s.Assign(nullptr), nullptr);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_NE(s.GetText(), nullptr);
}

TEST(CStr, NumbersAreFormattedAsText) {
    CStr s;
    s = -2147483647 - 1;
    EXPECT_STREQ(s.GetText(), "-2147483648");
    s += 4000000000u;
    EXPECT_STREQ(s.GetText(), "-21474836484000000000");
    CStr f("x=");
    f += 1.5f;
    EXPECT_STREQ(f.GetText(), "x=1.500000");
    CStr big;
    big += 3.4e38f;  // the widest "%f" of a float
    EXPECT_EQ(big.GetLength(), 46);
}

TEST(CStr, ToIntReadsLeadingDecimal) {
    struct Case {
        const char* text;
        int value;
    } const cases[] = {
        {"42", 42},
        {"  -7x", -7},
        {"abc", 0},
        {"", 0},
        {"99999999999", 2147483647},
        {"+3", 3},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CStr(c.text).ToInt(), c.value) << c.text;
}

TEST(CStr, EqualityIgnoresAsciiCaseOrderingDoesNot) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
        bool less;
    } const cases[] = {
        {"Apple", "APPLE", true, false}, {"Apple", "apple", true, true},
        {"apple", "Apple", true, false}, {"abc", "abd", false, true},
        {"ab", "abc", false, true},      {"", "", true, false},
        {"\xC4", "\xE4", false, true},  // only A-Z fold
        {"a\xFF", "a", false, false},   // bytes compare unsigned
    };
    for (const Case& c : cases) {
        CStr a(c.a), b(c.b);
        EXPECT_EQ(a == b, c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(a == c.b, c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(c.b == a, c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(a != b, !c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(a != c.b, !c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(a < b, c.less) << c.a << " / " << c.b;
        EXPECT_EQ(a < c.b, c.less) << c.a << " / " << c.b;
        EXPECT_EQ(a >= b, !c.less) << c.a << " / " << c.b;
        EXPECT_EQ(b > a, c.less) << c.a << " / " << c.b;
        EXPECT_EQ(a <= c.b, std::strcmp(c.a, c.b) <= 0) << c.a << " / " << c.b;
    }
    EXPECT_FALSE(CStr("x") == static_cast<const char*>(nullptr));
    EXPECT_TRUE(CStr("") == static_cast<const char*>(nullptr));
}

TEST(CStr, CharacterComparisonIsExactForEqualFoldedForNotEqual) {
    struct Case {
        const char* text;
        char c;
        bool eq;
        bool ne;
    } const cases[] = {
        {"x", 'x', true, false},  {"xy", 'x', false, true}, {"X", 'x', false, false},
        {"x", 'X', false, false}, {"", 'x', false, true},   {"y", 'x', false, true},
    };
    for (const Case& c : cases) {
        CStr s(c.text);
        EXPECT_EQ(s == c.c, c.eq) << c.text << " " << c.c;
        EXPECT_EQ(s != c.c, c.ne) << c.text << " " << c.c;
    }
}

TEST(CStr, IndexOutsideTextGivesSharedNul) {
    CStr s("abc");
    EXPECT_EQ(*s[0], 'a');
    EXPECT_EQ(*s[2], 'c');
    EXPECT_EQ(s[2], s.GetText() + 2);
    const char* nul = s[5];
    EXPECT_EQ(*nul, '\0');
    EXPECT_EQ(s[-1], nul);
    EXPECT_EQ(s[3], nul);
    CStr none(static_cast<const char*>(nullptr));
    EXPECT_EQ(none[0], nul);
}

TEST(CStr, TextQueries) {
    struct Case {
        const char* text;
        bool empty;
        bool numeric;
        bool hasA;
    } const cases[] = {
        {"", true, true, false},     {"0123", false, true, false}, {"12a", false, false, true},
        {"-1", false, false, false}, {"1 2", false, false, false},
    };
    for (const Case& c : cases) {
        CStr s(c.text);
        EXPECT_EQ(s.IsEmpty(), c.empty) << c.text;
        EXPECT_EQ(s.IsNumeric(), c.numeric) << c.text;
        EXPECT_EQ(s.Contains('a'), c.hasA) << c.text;
    }
    EXPECT_FALSE(CStr("abc").Contains('\0'));
    CStr m("MiXed 12 \xC4");
    m.MakeUpper();
    EXPECT_STREQ(m.GetText(), "MIXED 12 \xC4");
    m.MakeLower();
    EXPECT_STREQ(m.GetText(), "mixed 12 \xC4");
}

TEST(CStr, MidTakesAtMostNFromStart) {
    struct Case {
        int start;
        int n;
        const char* expect;
    } const cases[] = {
        {0, 3, "abc"}, {1, 1, "b"}, {1, 10, "bc"}, {10, 3, ""},
        {3, 1, ""},    {-1, 2, ""}, {0, 0, ""},    {0, -4, ""},
    };
    CStr s("abc");
    for (const Case& c : cases) {
        EXPECT_STREQ(s.Mid(c.start, c.n).GetText(), c.expect) << c.start << "," << c.n;
    }
}

TEST(CStr, ConcatenationAndMidShareOneTemporaryPerForm) {
    CStr a("ab"), b("cd");
    CStr& first = a + "x";
    CStr& second = b + "y";
    EXPECT_EQ(&first, &second);
    EXPECT_STREQ(first.GetText(), "cdy");  // the second call overwrote the first

    CStr& c1 = a + 'z';
    CStr& s1 = a + b;
    EXPECT_NE(&c1, &first);
    EXPECT_NE(&s1, &first);
    EXPECT_NE(&s1, &c1);
    EXPECT_STREQ(c1.GetText(), "abz");
    EXPECT_STREQ(s1.GetText(), "abcd");
    EXPECT_EQ(&a.Mid(0, 1), &b.Mid(0, 1));

    // Chaining through the same form reads the temporary while writing it.
    CStr chained = a + "1" + "2" + "3";
    EXPECT_STREQ(chained.GetText(), "ab123");
    CStr& t = a + b;
    CStr twice = b + t;
    EXPECT_STREQ(twice.GetText(), "cdabcd");
    CStr& mid = a.Mid(0, 2);
    EXPECT_STREQ(mid.Mid(1, 1).GetText(), "b");
}

TEST(CStr, SubstituteReplacesPercentPairs) {
    struct Case {
        const char* format;
        const char* marker;
        const char* value;
        const char* expect;
        int count;
    } const cases[] = {
        {"a%sb", "%s", "Z", "aZb", 1},
        {"a%sb", "s", "Z", "ab", 0},
        {"ab%", "%s", "Z", "ab", 0},
        {"%d%s", "%x", "V", "VV", 2},
        {"no marks", "%s", "Z", "no marks", 0},
        {"%%", "%s", "Q", "Q", 1},
        {"", "%s", "Z", "", 0},
        {"%s!", "%s", "", "!", 1},
    };
    for (const Case& c : cases) {
        CStr out;
        EXPECT_EQ(CStr::Substitute(out, c.format, c.marker, c.value), c.count) << c.format;
        EXPECT_STREQ(out.GetText(), c.expect) << c.format;
    }
    CStr out("pre:");
    EXPECT_EQ(CStr::Substitute(out, "%s", "%s", "v"), 1);
    EXPECT_STREQ(out.GetText(), "pre:v");  // appends to what out holds
}

TEST(CStr, SubstituteIntoItsOwnFormatOrValue) {
    CStr s("x%sy");
    EXPECT_EQ(CStr::Substitute(s, s, "%s", "long value"), 1);
    EXPECT_STREQ(s.GetText(), "x%syxlong valuey");
    CStr v("ab");
    EXPECT_EQ(CStr::Substitute(v, "[%s][%s]", "%s", v), 2);
    EXPECT_STREQ(v.GetText(), "ab[ab][ab]");  // the value as it was before the call
    CStr none(static_cast<const char*>(nullptr));
    CStr out;
    EXPECT_EQ(CStr::Substitute(out, none, none, none), 0);
    EXPECT_STREQ(out.GetText(), "");
}

TEST(CStr, NextTokenSplitsSeparatorsSinglesAndQuotes) {
    CStr s("  foo, bar");
    int pos = 0, lines = 0;
    CStr tok;
    ASSERT_TRUE(s.NextToken(pos, lines, tok, " ", ","));
    EXPECT_STREQ(tok.GetText(), "foo");
    EXPECT_EQ(pos, 5);
    ASSERT_TRUE(s.NextToken(pos, lines, tok, " ", ","));
    EXPECT_STREQ(tok.GetText(), ",");
    ASSERT_TRUE(s.NextToken(pos, lines, tok, " ", ","));
    EXPECT_STREQ(tok.GetText(), "bar");
    EXPECT_EQ(pos, 10);
    EXPECT_FALSE(s.NextToken(pos, lines, tok, " ", ","));
    EXPECT_STREQ(tok.GetText(), "");

    CStr q("\"a b\" c");
    pos = 0;
    ASSERT_TRUE(q.NextToken(pos, lines, tok, " ", ""));
    EXPECT_STREQ(tok.GetText(), "a b");
    EXPECT_EQ(pos, 5);
    ASSERT_TRUE(q.NextToken(pos, lines, tok, " ", ""));
    EXPECT_STREQ(tok.GetText(), "c");
}

TEST(CStr, NextTokenCasesTable) {
    struct Case {
        const char* text;
        int start;
        bool forward;
        const char* seps;
        const char* singles;
        bool result;
        const char* token;
        int endPos;
        int lines;
    } const cases[] = {
        {"   ", 0, true, " ", ",", false, "", 3, 0},
        {"\n\nab\ncd", 0, true, " \n", "", true, "ab", 4, 2},
        {"a\"b,c\"d e", 0, true, " ", ",", true, "ab,c", 6, 0},  // quote ends the token
        {"\"x\ny\"", 0, true, " ", "", true, "x\ny", 5, 1},
        {"\"open", 0, true, " ", "", true, "open", 5, 0},
        {"ab cd", 4, false, " ", "", true, "dc", 2, 0},  // backward reads reversed
        {"(x)", 0, true, " ", "()", true, "(", 1, 0},
        {"x(", 0, true, " ", "()", true, "x", 1, 0},
        {"abc", 3, true, " ", "", false, "", 3, 0},
        {"abc", 99, true, " ", "", false, "", 99, 0},
        {"abc", -1, false, " ", "", false, "", -1, 0},
        {"abc", -7, true, " ", "", false, "", -7, 0},
        {"ab", 0, true, nullptr, nullptr, true, "ab", 2, 0},
    };
    for (const Case& c : cases) {
        CStr s(c.text);
        CStr tok("junk");
        int pos = c.start, lines = 0;
        EXPECT_EQ(s.NextToken(pos, lines, tok, c.seps, c.singles, c.forward), c.result)
            << c.text << " @" << c.start;
        EXPECT_STREQ(tok.GetText(), c.token) << c.text << " @" << c.start;
        EXPECT_EQ(pos, c.endPos) << c.text << " @" << c.start;
        EXPECT_EQ(lines, c.lines) << c.text << " @" << c.start;
    }
}

TEST(CStr, NextTokenIntoItself) {
    CStr s("first second");
    int pos = 0, lines = 0;
    ASSERT_TRUE(s.NextToken(pos, lines, s, " ", ""));
    EXPECT_STREQ(s.GetText(), "first");
}

TEST(CStr, SkipToAnyStopsOnSetMember) {
    struct Case {
        const char* text;
        int start;
        bool forward;
        const char* set;
        bool result;
        int endPos;
        int lines;
    } const cases[] = {
        {"ab\ncd;e", 0, true, ";", true, 5, 1}, {"abc", 0, true, ";", false, 3, 0},
        {"a;bc", 3, false, ";", true, 1, 0},    {"abc", 2, false, ";", false, -1, 0},
        {";x", 0, true, ";", true, 0, 0},       {"abc", 10, true, ";", false, 10, 0},
        {"abc", -2, true, ";", false, -2, 0},   {"abc", 0, true, nullptr, false, 3, 0},
    };
    for (const Case& c : cases) {
        CStr s(c.text);
        int pos = c.start, lines = 0;
        EXPECT_EQ(s.SkipToAny(pos, lines, c.set, c.forward), c.result) << c.text;
        EXPECT_EQ(pos, c.endPos) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

}  // namespace
