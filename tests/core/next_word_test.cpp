#include "core/next_word.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Reader = const char* (*)(const char*, char*, size_t);

struct Case {
    const char* name;
    Reader read;
    const char* text;
    const char* word;
    const char* rest;  // null: the reader answers null
};

TEST(NextWord, ReadersTable) {
    const Case cases[] = {
        {"lower-cases", NextWord, "  PortNumber 2593", "portnumber", "2593"},
        {"one separator only", NextWord, "Key   value", "key", "  value"},
        {"tab separated", NextWord, "\tA\tB", "a", "B"},
        {"last word", NextWord, "Last", "last", ""},
        {"exhausted", NextWord, "   ", "", ""},
        {"empty", NextWord, "", "", ""},
        {"null", NextWord, nullptr, "", nullptr},
        {"only A-Z fold", NextWord, "\xC4X\xE4 y", "\xC4x\xE4", "y"},
        {"quotes are plain", NextWord, "\"A B\"", "\"a", "B\""},
        {"keeps case", NextWordKeepCase, " MiXed rest", "MiXed", "rest"},
        {"keep case null", NextWordKeepCase, nullptr, "", nullptr},
        {"keep case no quotes", NextWordKeepCase, "\"a b\"", "\"a", "b\""},
        {"quoted phrase", NextQuotedWord, "\"Two Words\" third", "Two Words", " third"},
        {"plain word", NextQuotedWord, " Plain next", "Plain", "next"},
        {"quote inside", NextQuotedWord, "ab\"c d\"e f", "abc d", "e f"},
        {"unclosed quote", NextQuotedWord, "\"open to end", "open to end", ""},
        {"empty quotes", NextQuotedWord, "\"\" x", "", " x"},
        {"quoted null", NextQuotedWord, nullptr, "", nullptr},
        {"quoted newline kept", NextQuotedWord, "\"a\nb\"", "a\nb", ""},
    };
    for (const Case& c : cases) {
        char buf[64];
        std::memset(buf, '#', sizeof buf);
        const char* rest = c.read(c.text, buf, sizeof buf);
        EXPECT_STREQ(buf, c.word) << c.name;
        if (c.rest) {
            ASSERT_NE(rest, nullptr) << c.name;
            EXPECT_STREQ(rest, c.rest) << c.name;
            // The answer points into the text itself.
            EXPECT_GE(rest, c.text) << c.name;
            EXPECT_LE(rest, c.text + std::strlen(c.text)) << c.name;
        } else {
            EXPECT_EQ(rest, nullptr) << c.name;
        }
    }
}

TEST(NextWord, LongWordIsCutAndSkippedWhole) {
    const Reader readers[] = {NextWord, NextWordKeepCase, NextQuotedWord};
    for (Reader read : readers) {
        // Exactly four bytes on the heap: any write past them is caught by the sanitizer.
        std::unique_ptr<char[]> buf(new char[4]);
        const char* rest = read("ABCDEFGHIJKLMNOP next", buf.get(), 4);
        EXPECT_EQ(std::strlen(buf.get()), 3u);
        EXPECT_STREQ(rest, "next");

        const char* again = read(" \"quoted long phrase\" after", buf.get(), 4);
        EXPECT_EQ(std::strlen(buf.get()), 3u);
        EXPECT_NE(again, nullptr);
    }
    char quoted[5];
    EXPECT_STREQ(NextQuotedWord("\"quoted long phrase\" after", quoted), " after");
    EXPECT_STREQ(quoted, "quot");
    // Exactly filling the buffer keeps the whole word.
    char exact[4];
    NextWordKeepCase("abc", exact, sizeof exact);
    EXPECT_STREQ(exact, "abc");
}

TEST(NextWord, ZeroSizeOrNullBufferWritesNothing) {
    char one = 'Z';
    EXPECT_STREQ(NextWord("abc def", &one, 0), "def");
    EXPECT_EQ(one, 'Z');
    EXPECT_STREQ(NextQuotedWord("\"a b\" c", nullptr, 10), " c");
    char tiny[1] = {'Z'};
    EXPECT_STREQ(NextWord("abc def", tiny), "def");
    EXPECT_EQ(tiny[0], '\0');
}

TEST(NextWord, WalkingAllWordsOfALine) {
    const char* p = "  <Owner Someone>  spawnclient 1\r\n";
    std::vector<std::string> words;
    char word[32];
    for (p = NextWord(p, word); word[0] != '\0'; p = NextWord(p, word))
        words.push_back(word);
    EXPECT_EQ(words, (std::vector<std::string>{"<owner", "someone>", "spawnclient", "1"}));
    EXPECT_STREQ(p, "");
}

}  // namespace
