#include "client/gumps/frontend/character_name.h"

#include <gtest/gtest.h>

namespace {

TEST(CharacterName, UnacceptableNames) {
    struct Case {
        const char* name;
        bool refused;
    };
    for (Case c : {Case{"Alia", false}, Case{"Mary-Jane O'Hara", false}, Case{"J.Smith", false},
                   Case{"", true}, Case{"1Alia", true}, Case{"Al1a", true}, Case{"Al--ia", true},
                   Case{"lordvane", true}, Case{"Gmork", true}, Case{"Ann Guard", true},
                   Case{"Guardian", false}, Case{"Xshitx", true}, Case{"Big Ass", true},
                   Case{"Cassandra", false}}) {
        EXPECT_EQ(IsUnacceptableName(c.name), c.refused) << c.name;
    }
}

}  // namespace
