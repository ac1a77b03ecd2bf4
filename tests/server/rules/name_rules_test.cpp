// Name rules over small fixture lists: separators, whole words against substrings, titles
// refused only at the start, and the obscenity test.
#include "server/rules/name_rules.h"

#include <gtest/gtest.h>

namespace {

const NameWordLists& Fixture() {
    static const NameWordLists lists = {{"Mage", "Knight"}, {"Maker"}, {"badd"}, {"rude"}};
    return lists;
}

TEST(NameRulesTest, TheFullNameTestFollowsItsRulesInOrder) {
    struct Case {
        const char* name;
        int invalid;
    };
    const Case cases[] = {
        {"Ann", 0},         {"", 1},
        {"1Ann", 1},        // not a letter first
        {"-Ann", 1},        // a separator first
        {"Ann-Marie", 0},   // one hyphen joins two parts
        {"Ann--Marie", 1},  // two separators in a row
        {"Ann .Lee", 1},    {"O'Neil St Clair", 0},
        {"St. Clair", 1},    // a full stop and a space are two separators
        {"Ann3", 1},         // a digit inside
        {"Ann\xC3\xA9", 1},  // bytes above 127
        {"Seer", 1},         // titles at the start ...
        {"seerah", 1},      {"lordan", 1},
        {"GMx", 1},         {"Ann Seer", 0},  // ... only there
        {"Ann Lord", 0},    {"Mage", 1},      // a reserved title as a whole word
        {"Ann mage", 1},    {"Mage-Ann", 1},
        {"Magenta", 0},                        // inside a longer word: not a whole word
        {"Ann Magenta", 0}, {"Ann maker", 1},  // reserved word
        {"Makers", 0},      {"Abaddon", 1},    // an obscene fragment anywhere
        {"Rude", 1},                           // an obscene word as a word
        {"Rudely", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsInvalidName(c.name, Fixture()), c.invalid) << c.name;
    EXPECT_EQ(IsInvalidName(nullptr, Fixture()), 1);
}

TEST(NameRulesTest, TheObscenityTestLooksForWordsAnywhereButNotForTitles) {
    struct Case {
        const char* text;
        int obscene;
    };
    const Case cases[] = {
        {"Abaddon", 1}, {"Rudely", 1}, {"MAKERS", 1}, {"Mage", 0}, {"Ann", 0}, {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsObsceneName(c.text, Fixture()), c.obscene) << c.text;
    EXPECT_EQ(IsObsceneName(nullptr, Fixture()), 0);
}

TEST(NameRulesTest, TheBuiltInListsRefuseRanksAndAcceptPlainNames) {
    EXPECT_EQ(IsInvalidName("Tester"), 0);
    EXPECT_EQ(IsInvalidName("Ann Grandmaster"), 1);
    EXPECT_EQ(IsInvalidName("Counselor Ann"), 1);
}

}  // namespace
