#include "script/language/trigger_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The trigger numbers are fixed: compiled classes and the senders store them. A row moved in
// the table would renumber every trigger after it.
TEST(TriggerTable, NamesHaveTheirFixedNumbers) {
    struct Case {
        const char* name;
        int number;
        TriggerNumber named;
    };
    const Case cases[] = {
        {"speech", 0, kTriggerSpeech},
        {"time", 14, kTriggerTime},
        {"creation", 15, kTriggerCreation},
        {"enterrange", 16, kTriggerEnterRange},
        {"leaverange", 17, kTriggerLeaveRange},
        {"message", 22, kTriggerMessage},
        {"use", 23, kTriggerUse},
        {"targetobj", 24, kTriggerTargetObj},
        {"targetloc", 25, kTriggerTargetLoc},
        {"lookedat", 28, kTriggerLookedAt},
        {"wasgotten", 30, kTriggerWasGotten},
        {"callback", 33, kTriggerCallback},
        {"convofunc", 35, kTriggerConvoFunc},
        {"moon", 38, kTriggerMoon},
        {"destroyed", 43, kTriggerDestroyed},
        {"equip", 44, kTriggerEquip},
        {"unequip", 45, kTriggerUnequip},
        {"murdercountchanged", 70, kTriggerMurderCountChanged},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindTriggerNumber(c.name), c.number) << c.name;
        EXPECT_EQ(static_cast<int>(c.named), c.number) << c.name;
        EXPECT_EQ(std::string(GetTriggerInfo(c.number).name), c.name);
    }
    EXPECT_EQ(kTriggerCount, 71);
}

TEST(TriggerTable, UnknownNamesGetNoTrigger) {
    for (const char* name : {"", "Speech", "speech ", "nosuchtrigger"}) {
        EXPECT_EQ(FindTriggerNumber(name), kNoTrigger) << name;
    }
    EXPECT_EQ(kNoTrigger, kTriggerCount);  // outside every class's handler chains
}

}  // namespace
