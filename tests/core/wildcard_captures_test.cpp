#include "core/wildcard_captures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WildcardCaptures, MatchesAndCaptures) {
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
        std::vector<std::string> captures;
    } cases[] = {
        {"hello there", "hel*re", true, {"lo the"}},
        {"abc", "a*", true, {"bc"}},
        {"ABC", "a*c", true, {"B"}},
        {"buy a sword now", "buy * now", true, {"a sword"}},
        {"give me 10 gold", "*me * gold", true, {"give ", "10"}},
        {"hello", "hello*", true, {""}},
        {"", "*", true, {""}},
        {"hello", "help*", false, {}},
        {"hel", "hello", false, {}},
        {"hello", "hel", false, {}},
        {"name", "NAME", true, {}},
        // A text beginning with '@' is matched character for character.
        {"@abc", "@a*", false, {}},
        {"@a*", "@A*", true, {}},
    };
    for (const Case& c : cases) {
        WildcardCaptures captures(10, 512);
        EXPECT_EQ(captures.Match(c.text, c.pattern), c.matches) << c.text << " / " << c.pattern;
        if (!c.matches) continue;
        ASSERT_EQ(captures.Used(), static_cast<int>(c.captures.size())) << c.pattern;
        for (size_t i = 0; i < c.captures.size(); ++i)
            EXPECT_EQ(captures.GetCapture(static_cast<int>(i)), c.captures[i]) << c.pattern;
    }
}

TEST(WildcardCaptures, NullsAndBufferBounds) {
    WildcardCaptures captures;  // 2 buffers of 80 bytes
    EXPECT_FALSE(captures.Match(nullptr, "*"));
    EXPECT_FALSE(captures.Match("x", nullptr));
    EXPECT_EQ(captures.GetCapture(-1), nullptr);
    EXPECT_EQ(captures.GetCapture(2), nullptr);
    // A run longer than its buffer is matched but stored only up to 79 characters.
    const std::string longText = "say " + std::string(200, 'z') + " end";
    EXPECT_TRUE(captures.Match(longText.c_str(), "say * end"));
    EXPECT_EQ(std::string(captures.GetCapture(0)), std::string(79, 'z'));
    // Stars past the last buffer still match and store nothing.
    EXPECT_TRUE(captures.Match("a-b-c-d", "*-*-*-*"));
    EXPECT_EQ(captures.Used(), 2);
    EXPECT_STREQ(captures.GetCapture(0), "a");
    EXPECT_STREQ(captures.GetCapture(1), "b");
    // A new match clears the old captures.
    EXPECT_TRUE(captures.Match("plain", "plain"));
    EXPECT_EQ(captures.Used(), 0);
    EXPECT_STREQ(captures.GetCapture(0), "");
}

}  // namespace
