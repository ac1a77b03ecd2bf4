#include "core/client_str.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CClientStr, DefaultHasNoBufferAndGrowsBy64) {
    CClientStr s;
    EXPECT_EQ(s.GetText(), nullptr);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(s.GetCapacity(), 0);
    EXPECT_TRUE(s == "");
    EXPECT_EQ(s[0], '\0');

    s.Assign("abc");
    EXPECT_STREQ(s.GetText(), "abc");
    EXPECT_EQ(s.GetCapacity(), 67);

    const char* buffer = s.GetText();
    s += 'd';  // length 3, capacity 67: room enough
    EXPECT_EQ(s.GetText(), buffer);
    EXPECT_EQ(s.GetCapacity(), 67);
    s.Append("efg");
    EXPECT_EQ(s.GetText(), buffer);
    EXPECT_STREQ(s.GetText(), "abcdefg");

    CClientStr c('x');
    EXPECT_STREQ(c.GetText(), "x");
    EXPECT_EQ(c.GetLength(), 1);
    EXPECT_EQ(c.GetCapacity(), 64);

    CClientStr n(static_cast<const char*>(nullptr));
    EXPECT_EQ(n.GetText(), nullptr);
    CClientStr copy(n);
    EXPECT_EQ(copy.GetText(), nullptr);
}

TEST(CClientStr, GrowthSizesTable) {
    struct Case {
        const char* name;
        const char* start;  // null: no buffer
        void (*op)(CClientStr&);
        const char* expect;
        int capacity;
    };
    const Case cases[] = {
        {"Append to none", nullptr, [](CClientStr& s) { s.Append("ab"); }, "ab", 66},
        {"Append past end", "abc", [](CClientStr& s) { s.Append(std::string(70, 'x').c_str()); },
         nullptr, 3 + 70 + 64},
        {"+= char to none", nullptr, [](CClientStr& s) { s += 'q'; }, "q", 2},
        {"Prepend char to none", nullptr, [](CClientStr& s) { s.Prepend('p'); }, "p", 64},
        {"Prepend text", "cd", [](CClientStr& s) { s.Prepend("ab"); }, "abcd", 66 + 64},
        {"Prepend long text", "", [](CClientStr& s) { s.Prepend(std::string(100, 'y').c_str()); },
         nullptr, 64 + 100},
        {"= int", nullptr, [](CClientStr& s) { s = -42; }, "-42", 67},
        {"+= int", "n", [](CClientStr& s) { s += 7; }, "n7", 65},
        {"= char", nullptr, [](CClientStr& s) { s = 'z'; }, "z", 65},
        {"Assign fits", "abcdef", [](CClientStr& s) { s.Assign("xy"); }, "xy", 70},
    };
    for (const Case& c : cases) {
        CClientStr s(c.start);
        c.op(s);
        ASSERT_NE(s.GetText(), nullptr) << c.name;
        if (c.expect) {
            EXPECT_STREQ(s.GetText(), c.expect) << c.name;
        }
        EXPECT_EQ(s.GetCapacity(), c.capacity) << c.name;
        EXPECT_GE(s.GetCapacity(), s.GetLength() + 1) << c.name;
    }
}

TEST(CClientStr, IndexGivesCharacterOrZero) {
    CClientStr s("abc");
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s[2], 'c');
    EXPECT_EQ(s[3], '\0');
    EXPECT_EQ(s[-1], '\0');
    EXPECT_EQ(s[1000], '\0');
}

TEST(CClientStr, ComparisonsIgnoreCaseExceptCharEquality) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } const cases[] = {
        {"Login.CFG", "login.cfg", true},
        {"ab", "abc", false},
        {"", "", true},
        {"\xC4", "\xE4", false},
    };
    for (const Case& c : cases) {
        CClientStr a(c.a), b(c.b);
        EXPECT_EQ(a == b, c.equal) << c.a;
        EXPECT_EQ(a == c.b, c.equal) << c.a;
        EXPECT_EQ(a != b, !c.equal) << c.a;
        EXPECT_EQ(a != c.b, !c.equal) << c.a;
    }
    CClientStr x("x"), big("X"), two("xy");
    EXPECT_TRUE(x == 'x');
    EXPECT_FALSE(big == 'x');
    EXPECT_FALSE(big != 'x');
    EXPECT_TRUE(two != 'x');
    EXPECT_FALSE(two == 'x');
}

TEST(CClientStr, ConcatenationTemporariesOnePerForm) {
    CClientStr a("ab"), b("cd");
    CClientStr& t1 = a + "1";
    CClientStr& t2 = b + "2";
    EXPECT_EQ(&t1, &t2);
    EXPECT_STREQ(t1.GetText(), "cd2");
    CClientStr& c = a + '!';
    CClientStr& s = a + b;
    EXPECT_NE(&c, &t1);
    EXPECT_NE(&s, &t1);
    EXPECT_NE(&s, &c);
    EXPECT_STREQ(c.GetText(), "ab!");
    EXPECT_STREQ(s.GetText(), "abcd");
    CClientStr chained = a + "x" + "y";
    EXPECT_STREQ(chained.GetText(), "abxy");

    CClientStr m("MiX 1");
    m.MakeUpper();
    EXPECT_STREQ(m.GetText(), "MIX 1");
    m.MakeLower();
    EXPECT_STREQ(m.GetText(), "mix 1");
    m.Clear();
    EXPECT_STREQ(m.GetText(), "");
    EXPECT_EQ(m.GetCapacity(), 69);
}

}  // namespace
