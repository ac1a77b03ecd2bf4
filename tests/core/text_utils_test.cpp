#include "core/text_utils.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/random.h"
#include "tests/core/archive_fixture.h"

namespace {

int NaiveSearch(const std::string& pattern, const std::string& text) {
    auto lower = [](std::string s) {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    size_t at = lower(text).find(lower(pattern));
    return at == std::string::npos ? -1 : int(at);
}

TEST(BoyerMooreSearch, Table) {
    struct Case {
        const char* pattern;
        const char* text;
        int at;
    };
    const Case cases[] = {
        {"WORLD", "hello world", 6},
        {"xyz", "hello", -1},
        {"longer than text", "short", -1},
        {"", "anything", 0},
        {"", "", 0},
        {"a", "", -1},
        {"abcab", "xxabcabcabyy", 2},
        {"cabc", "xxabcabcab", 4},
        {"baaaabb", "abaaaabaaaabbx", 6},
        // Cases a good-suffix table built from exact-length suffix runs alone skips past.
        {"abbb", "aabbbaabbaabab", 1},
        {"ABA", "bbabababbab", 2},
        {"baba", "aabbbaababa", 7},
        {"aab", "aaab", 1},
        {"ANA", "bananas", 1},
        {"s", "bananaS", 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BoyerMooreSearch(c.pattern, c.text), c.at) << c.pattern << " in " << c.text;
    }
}

// The shift tables must never skip a match: compared with a plain search on many random
// texts over small alphabets, where repeated suffixes are common.
TEST(BoyerMooreSearch, AgreesWithAPlainSearch) {
    platform::SeedRandom(1234);
    for (int trial = 0; trial < 20000; ++trial) {
        int alphabet = 2 + platform::Rand() % 3;
        auto randomText = [&](int len) {
            std::string s;
            for (int i = 0; i < len; ++i) {
                char c = char('a' + platform::Rand() % alphabet);
                if (platform::Rand() % 4 == 0) c = char(std::toupper(c));
                s += c;
            }
            return s;
        };
        std::string pattern = randomText(1 + platform::Rand() % 8);
        std::string text = randomText(platform::Rand() % 40);
        ASSERT_EQ(BoyerMooreSearch(pattern, text), NaiveSearch(pattern, text))
            << "'" << pattern << "' in '" << text << "'";
    }
    std::string longPattern(150, 'q');
    EXPECT_EQ(BoyerMooreSearch(longPattern, "xx" + longPattern), 2);
}

TEST_F(ArchiveTest, TextLineListLoadsLines) {
    struct Case {
        const char* content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\n", {"a", "b", ""}},
        {"a\r\nb", {"a", "b"}},
        {"", {""}},
        {"one\n\ntwo\r\r\n", {"one", "", "two\r", ""}},
    };
    ArchiveBuilder b;
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_TRUE(b.Add("../.rundir/scripts/t" + std::to_string(i) + ".txt",
                          std::string_view(cases[i].content)));
    }
    Open(b);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        TextLineList list(("../.rundir/scripts/t" + std::to_string(i) + ".txt").c_str());
        ASSERT_EQ(list.Count(), int(cases[i].lines.size()));
        for (int k = 0; k < list.Count(); ++k)
            EXPECT_EQ(list.Get(k), cases[i].lines[size_t(k)]);
    }
    TextLineList list("../.rundir/scripts/t0.txt");
    EXPECT_FALSE(list.Load("../.rundir/scripts/missing.txt"));
    EXPECT_EQ(list.Count(), 3);  // kept
    EXPECT_EQ(list.Get(3), "");
    EXPECT_EQ(list.Get(-1), "");
    EXPECT_EQ(list.Add("new"), 3);
    EXPECT_EQ(list.Get(3), "new");

    std::string out = TestFilePath(".txt");
    EXPECT_TRUE(list.Save(out.c_str()));
    std::FILE* f = std::fopen(out.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buf[64] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    std::remove(out.c_str());
    EXPECT_EQ(std::string(buf, n), "a\nb\n\nnew\n");
    EXPECT_FALSE(list.Save("/nonexistent-dir/x.txt"));
}

TEST(CopyText, CopiesAndReplacesOwnedTexts) {
    EXPECT_EQ(CopyText(nullptr), nullptr);
    const char original[] = "name";
    char* copy = CopyText(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, "name");
    char* empty = CopyText("");
    EXPECT_STREQ(empty, "");
    delete[] empty;

    char* slot = nullptr;
    ReplaceText(slot, "first");
    EXPECT_STREQ(slot, "first");
    ReplaceText(slot, copy);  // the old text is freed (the leak checker sees it)
    EXPECT_STREQ(slot, "name");
    EXPECT_NE(slot, copy);
    ReplaceText(slot, slot);  // its own text
    EXPECT_STREQ(slot, "name");
    ReplaceText(slot, nullptr);
    EXPECT_EQ(slot, nullptr);
    delete[] copy;
}

}  // namespace
