// A crime with the real scripts: the classes the crime rules attach ("punishable" told of the
// crime, "crimeaware") and the offender's own trigger when a guard attacks it may delete the
// offender, the victim or the guard; the rules find each again and stop short of a freed one.
#include <gtest/gtest.h>

#include <string>

#include "script/runtime/triggers.h"
#include "server/area/regions.h"
#include "server/rules/combat.h"
#include "server/rules/crime.h"
#include "server/rules/guard.h"
#include "server/world/guard.h"
#include "server/world/object_templates.h"
#include "server/world/player.h"
#include "tests/server/world/world_scripts_fixture.h"

namespace {

// Each class deletes the object the offender's variable for its moment names (an object
// variable; the integer 1 under "killAttacker" means the guard that strikes).
// A class whose trigger deletes the object the variable names.
std::string Deleting(const std::string& trigger, const std::string& variable) {
    return "trigger " + trigger + " {\n    obj doomed = getObjVar(this, \"" + variable +
           "\");\n    deleteObjectNoFall(doomed);\n    return 1;\n}\n";
}
constexpr const char* kStruck = R"(
trigger gotattacked {
    int striker = getObjVar(this, "killAttacker");
    if (striker == 1) {
        deleteObjectNoFall(attacker);
        return 1;
    }
    obj doomed = getObjVar(this, "doomOnAttacked");
    deleteObjectNoFall(doomed);
    return 1;
}
)";

class CrimeScriptsTest : public WorldScriptsTest {
protected:
    void SetUp() override {
        WorldScriptsTest::SetUp();
        g_regionManager.LoadText(
            "version 64207\n1 0 0 64 64 -128 127 0 city_Test@town 0 0 0 0 0 NONE\n");
        g_templateTable.LoadTemplatesText(
            "<6>\n<type guard 400>\n<@@@ END @@@>\n<1006>\n<type guard 400>\n<@@@ END @@@>\n");
        Compile({{"punishable", Deleting("message(\"punishableReset\")", "doomOnReset")},
                 {"crimeaware", Deleting("creation", "doomOnAware")},
                 {"struck", kStruck}});
    }
    void TearDown() override {
        g_templateTable.Unload();
        g_regionManager.Clear();
        WorldScriptsTest::TearDown();
    }
    CNPC* Human(int x, int y) {
        CNPC* npc = new CNPC;
        npc->SetBodyType(400);
        npc->SetTemplateField(10);
        npc->SetMaxHits(100);
        npc->SetCurHits(100);
        npc->PlaceInWorld(Location(x, y, 0));
        return npc;
    }
    static void Mark(CItem* on, const char* name, CItem* doomed) {
        ObjVars::Set(on->ScriptAttachments(), name, kTypeObject,
                     ScriptListValue::Int(static_cast<s32>(doomed->GetSerial())));
    }
};

TEST_F(CrimeScriptsTest, HandlersDeletingTheOffenderTheVictimOrTheGuard) {
    enum Who { kOffender, kVictim, kGuard };
    // Players cannot be deleted by a script: the cases that delete the offender have an NPC
    // commit a crime without a victim; the others have a player attack a townsperson.
    struct Case {
        const char* name;
        const char* moment;  // the offender's variable, or "killAttacker"
        Who doomed;
        bool guardNear;  // a guard stands near (else one appears)
    };
    const Case cases[] = {
        {"told of the crime, the offender goes", "doomOnReset", kOffender, false},
        {"told of the crime, the victim goes", "doomOnReset", kVictim, false},
        {"told of the crime, the guard near goes", "doomOnReset", kGuard, true},
        {"made aware, the offender goes", "doomOnAware", kOffender, true},
        {"made aware, the victim goes", "doomOnAware", kVictim, false},
        {"struck by the guard, the offender goes", "doomOnAttacked", kOffender, true},
        {"struck by the guard, the victim goes", "doomOnAttacked", kVictim, false},
        {"struck, the guard that appeared goes", "killAttacker", kGuard, false},
        {"struck, the guard near goes", "killAttacker", kGuard, true},
    };
    for (const Case& c : cases) {
        CMobile* offender = nullptr;
        if (c.doomed == kOffender) {
            offender = Human(10, 10);
        } else {
            CPlayer* player = new CPlayer;
            player->SetSerial(g_objectManager.NewSerial());
            player->SetBodyType(400);
            player->SetMaxHits(100);
            player->SetCurHits(100);
            player->PlaceInWorldQuiet(Location(10, 10, 0));
            offender = player;
        }
        CNPC* victim = Human(11, 10);
        Human(12, 11);  // a witness
        CGuard* guard = nullptr;
        if (c.guardNear) {
            guard = new CGuard;
            guard->SetBodyType(400);
            guard->SetTemplateField(6);
            guard->PlaceInWorld(Location(16, 10, 0));
        }
        ASSERT_EQ(AttachScript(offender, "struck", 0), nullptr);
        if (std::string(c.moment) == "killAttacker") {
            ObjVars::Set(offender->ScriptAttachments(), "killAttacker", kTypeInt,
                         ScriptListValue::Int(1));
        } else {
            CItem* doomed = c.doomed == kOffender ? static_cast<CItem*>(offender)
                            : c.doomed == kVictim ? static_cast<CItem*>(victim)
                                                  : guard;
            Mark(offender, c.moment, doomed);
        }
        const u32 offenderSerial = offender->GetSerial();
        const u32 victimSerial = victim->GetSerial();
        const u32 guardSerial = guard ? guard->GetSerial() : 0;
        if (c.doomed == kOffender)
            WitnessCrime(offender->GetWorldLocation(), *offender, nullptr, "", 1000, 1, kCrimeOther);
        else
            StartAttack(offender, victim, 1);
        const bool offenderGone = g_objectManager.FindBySerial(offenderSerial) == nullptr;
        const bool victimGone = g_objectManager.FindBySerial(victimSerial) == nullptr;
        EXPECT_EQ(offenderGone, c.doomed == kOffender) << c.name;
        EXPECT_EQ(victimGone, c.doomed == kVictim) << c.name;
        if (guardSerial) {
            EXPECT_EQ(g_objectManager.FindBySerial(guardSerial) == nullptr, c.doomed == kGuard)
                << c.name;
        }
        if (std::string(c.moment) == "killAttacker") {
            EXPECT_EQ(g_guardList.Count(), 0) << c.name << ": the striking guard went";
        }
        DeleteAllObjects();
        RunAllCallbacks();
    }
}

}  // namespace
