#pragma once
// A small world for NPC behaviour tests: NPCs of a chosen template, body and dexterity placed
// on open ground, the current-NPC slot set as the sweeps set it, and load limits to choose.
#include "platform/random.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/guard.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/npc_load_limits.h"
#include "tests/server/world/world_test_support.h"

struct FixedNpcLimits : NpcLoadLimits {
    int cap = 100;
    bool blocked = false;
    int SpeedCap() const override { return cap; }
    bool IsSpawnBlocked() const override { return blocked; }
};

class NpcTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        platform::SeedRandom(1234);
        SetNpcLoadLimits(&limits);
    }
    void TearDown() override {
        SetNpcLoadLimits(nullptr);
        g_mobileTable.SetCurrentNpc(nullptr);
        WorldTest::TearDown();
    }
    // An NPC standing at (x, y, 0), its needs set up, hits and fatigue full.
    CNPC* Npc(int x, int y, int templateId = 10, int body = 400, int dexterity = 0) {
        CNPC* npc = new CNPC;
        npc->SetBodyType(body);
        npc->SetTemplateField(templateId);
        npc->SetRealStat(kStatDexterity, dexterity);
        npc->SetMaxHits(100);
        npc->SetCurHits(100);
        npc->SetMaxFatigue(1000);
        npc->SetCurFatigue(1000);
        npc->PlaceInWorld(Location(x, y, 0));
        npc->ai.kind1Count = 0;
        npc->ai.maxFood = 99;
        npc->SetSatiety(99);
        g_mobileTable.SetCurrentNpc(npc);
        return npc;
    }
    // Runs the state step `pulses` times (as the sweep does, with the NPC current).
    void Pulses(CNPC* npc, int pulses) {
        for (int i = 0; i < pulses; ++i) {
            g_mobileTable.SetCurrentNpc(npc);
            ExecuteNpcState(npc);
        }
    }
    FixedNpcLimits limits;
};
