#include "server/world/world_model_services.h"

#include "server/world/bulletin_board.h"
#include "server/world/combat_lists.h"
#include "server/world/decay.h"
#include "server/world/mobile.h"
#include "server/world/mobile_table.h"
#include "server/world/object_manager.h"
#include "server/world/player_registry.h"
#include "server/world/timed_callbacks.h"
#include "server/world/npc.h"

CBaseObject* WorldModelServices::FindBySerial(u32 serial) {
    return g_objectManager.FindBySerial(serial);
}

s32 WorldModelServices::CountLiveItems() {
    return g_liveObjects.items;
}

void WorldModelServices::DeleteSelf(CBaseObject* object) {
    if (object) object->DeleteSelf();
}

void WorldModelServices::NpcHeartbeatSweep() {
    g_mobileTable.NpcHeartbeatSweep();
}
void WorldModelServices::NpcStateSweep() {
    g_mobileTable.NpcStateSweep();
}

u32 WorldModelServices::FirstNpcInBucket(int bucket) {
    if (bucket < 0 || bucket >= MobileTable::kBucketCount) return 0;
    CNPC* npc = g_mobileTable.GetBucket(bucket);
    return npc ? npc->GetSerial() : 0;
}

u32 WorldModelServices::NextNpcInBucket(u32 serial) {
    CNPC* npc = g_mobileTable.FindMobileBySerial(serial);
    if (!npc || !npc->tableNext) return 0;
    return npc->tableNext->GetSerial();
}

void WorldModelServices::RunAllCallbacks() {
    ::RunAllCallbacks();
}

void WorldModelServices::DecayTick(s32 pulse) {
    ::DecayTick(pulse);
}

void WorldModelServices::CombatHeartBeat(s32 pulse) {
    g_mobileManager.CombatHeartBeat(pulse);
}

void WorldModelServices::CountDownMobileLights() {
    g_mobileManager.CountDownLights();
}

u16 WorldModelServices::CountOnline() {
    return GetPlayerRegistry().CountOnline();
}

void WorldModelServices::TickAll() {
    GetPlayerRegistry().TickAll();
}

void WorldModelServices::AddPlayAgeToAll(int amount) {
    GetPlayerRegistry().AddPlayAgeToAll(amount);
}

void WorldModelServices::StrikeRandomPlayers(int count) {
    GetPlayerRegistry().StrikeRandomPlayers(count);
}

void WorldModelServices::ExpireBulletinMessages(int day) {
    // The day that passes does not matter: age is measured in loop time.
    (void)day;
    CBulletinBoard::ExpireAllBoards();
}
