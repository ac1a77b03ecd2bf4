#include "client/data/profanity_filter.h"

#include <gtest/gtest.h>

#include "platform/random.h"

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The plain masker the filter must agree with: each word in turn, every occurrence found by
// comparing at every position from the start, the search starting again from the text's start
// after each mask (after the stretch for a word of mask characters only).
std::string BruteForceMask(std::string text, const std::vector<std::string>& words) {
    const std::string maskChars = "!@#$%&*";
    for (const std::string& w : words) {
        if (w.empty()) continue;
        const bool goOnAfter = w.find_first_not_of(maskChars) == std::string::npos;
        size_t from = 0;
        for (;;) {
            size_t at = std::string::npos;
            for (size_t i = from; i + w.size() <= text.size() && at == std::string::npos; ++i) {
                size_t k = 0;
                while (k < w.size() && Lower(text[i + k]) == Lower(w[k]))
                    ++k;
                if (k == w.size()) at = i;
            }
            if (at == std::string::npos) break;
            for (size_t k = 0; k < w.size(); ++k)
                text[at + k] = "!@#$%&*"[static_cast<unsigned char>(text[at + k]) % 7];
            from = goOnAfter ? at + w.size() : 0;
        }
    }
    return text;
}

std::string Filtered(std::string text, const std::vector<std::string>& words) {
    FilterProfanity(text, words);
    return text;
}

TEST(ProfanityFilter, MasksEachCharacterFromItsOwnCode) {
    // a, b, c (97, 98, 99) mod 7 are 6, 0, 1.
    EXPECT_EQ(Filtered("abc", {"abc"}), "*!@");
    EXPECT_EQ(MaskChar('a'), '*');
    std::string s = "abcdef";
    MaskChars(s, 4, 10);  // clipped to the text
    EXPECT_EQ(s, "abcd$%");
}

TEST(ProfanityFilter, EdgeCases) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> words;
        std::string expected;
    } cases[] = {
        // Upper-case text, lower-case word: the mask comes from the text's own characters
        // (B 66, A 65, D 68 mod 7: 3, 2, 5).
        {"case", "a BAD day", {"bad"}, "a $#& day"},
        {"an overlapping occurrence masked away", "aaaa", {"aaa"}, "***a"},
        {"overlap across", "abab", {"bab"}, "a!*!"},
        {"empty list", "any text", {}, "any text"},
        {"text shorter than the word", "ba", {"bad"}, "ba"},
        {"empty word", "text", {""}, "text"},
        {"empty text", "", {"x"}, ""},
        {"list order", "darn", {"ar", "darn"}, "d*#n"},
        {"every occurrence", "cat, Cat and CAT", {"cat"}, "@*%, %*% and %#!"},
        {"other bytes are not folded", "\xC9T\xE9t", {"\xE9t"}, "\xC9T#%"},
        // Occurrences that the table-driven search with the written good-suffix rule skips.
        {"missed by the written shift", "aabbb", {"abbb"}, "a*!!!"},
        {"missed too", "aababaabbb", {"bab"}, "aa!*!aabbb"},
        // A word its own mask remakes ("@" masks to "@") ends after the stretch.
        {"self-masking word", "x@@y@@", {"@@"}, "x@@y@@"},
        {"mask-character word", "!!!", {"!"}, "&&&"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Filtered(c.text, c.words), c.expected) << c.what;
}

TEST(ProfanityFilter, AgreesWithTheBruteForceMaskerOnRandomTexts) {
    platform::SeedRandom(2718);
    // Few letters, both cases, spaces and mask characters, so that occurrences, overlaps
    // and remasking are common.
    const std::string alphabet = "abAB c!@%";
    auto pick = [&](size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s.push_back(alphabet[platform::Rand() % alphabet.size()]);
        return s;
    };
    for (int trial = 0; trial < 10000; ++trial) {
        const std::string text = pick(platform::Rand() % 40);
        std::vector<std::string> words(platform::Rand() % 5);
        for (std::string& w : words)
            w = pick(platform::Rand() % 5);
        ASSERT_EQ(Filtered(text, words), BruteForceMask(text, words))
            << "trial " << trial << " text '" << text << "'";
    }
}

}  // namespace
