// The NPC's heartbeat, regeneration, dormancy, sleep and loitering.
#include <algorithm>

#include "script/runtime/script_services.h"
#include "script/runtime/trigger_services.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/player_registry.h"
#include "server/world/world_services.h"
#include "server/world/world_utilities.h"

s32 g_shelterUrgePeriod = 15;
u32 g_npcDebugWatch = 0;

namespace {

constexpr int kDormantThinkEvery = 6;
constexpr int kNoticeReset = 400;
constexpr int kAwakeRadius = 18;

}  // namespace

bool IsCurrentNpc(const CNPC* npc) {
    return npc && g_mobileTable.GetCurrentNpc() == npc;
}

void CNPC::HeartBeat() {
    if (!AreNeedsSetUp()) InitNeeds();
    if (CShopKeeper* shop = IsShopKeeper() ? static_cast<CShopKeeper*>(this) : nullptr) {
        if (--shop->restockCounter < 0) {
            static bool logged = false;
            LogNotBuiltOnce(logged, "npc", "shop restocking is not built yet");
            shop->restockCounter = 0;
        }
    }
    if (HasNpcFlags(kNpcDormant)) {
        if (--ai.dormancyCountdown > 0) return;
        ai.dormancyCountdown = kDormantThinkEvery;
    } else if (PlayerGridCount(GetWorldLocation(), kAwakeRadius) == 0) {
        SetAwake(0);
    }
    if (--ai.shelterUrgeCountdown < 0) {
        ai.shelterUrgeCountdown = g_shelterUrgePeriod;
        ai.shelterUrge = 16;
    }
    if (--ai.heartbeatCountdown < 1) {
        ai.heartbeatCountdown = kNoticeReset;
        ai.noticedSerial = 0;
        ai.reachedSerial = 0;
        if (ai.desireLevel > 0) --ai.desireLevel;
    }
    NpcThink(this);
}

void CNPC::PulseRegenerate() {
    ++PulseCounter();
    if (--ManaCountdown() < 0) {
        ManaCountdown() = 20;
        const int mana = GetCurMana();
        if (mana < GetMaxMana())
            SetCurMana(mana + 1);
        else if (mana > GetMaxMana())
            SetCurMana(mana - 1);
    }
    if (--HitCountdown() < 0) {
        HitCountdown() = (ai.maxFood - GetSatiety()) * 10 + 100;
        if (GetCurHits() < GetMaxHits()) {
            SetCurHits(GetCurHits() + 1);
            HandleHealthGain();
        }
    }
    RegenerateFatigue();
}

void CNPC::SetAwake(int flag) {
    if (flag) {
        if (!HasNpcFlags(kNpcDormant)) return;
        ClearNpcFlags(kNpcDormant);
        g_mobileTable.QueueImmediateHeartbeat(GetSerial());
    } else if (!HasNpcFlags(kNpcDormant)) {
        ai.dormancyCountdown = kDormantThinkEvery;
        SetNpcFlags(kNpcDormant);
    }
}

void CNPC::NoticeMobile(CMobile* mobile) {
    SetAwake(1);
    if (!mobile || HasNpcFlags(kNpcIgnoresMobiles) || ai.state == kNpcAttackTarget) return;
    if (IsHostileTo(mobile)) {
        ai.noticedSerial = mobile->GetSerial();
        AttackMobile(mobile);
    }
}

void CNPC::GoToSleep(int pulses, int resumeState) {
    if (IsAnimalTemplate()) {
        SetState(resumeState);
        return;
    }
    SetGait(0);
    PlayGesture(2);
    ai.sleepCount = pulses;
    ai.resumeState = resumeState;
    SetState(kNpcSleep);
}

void CNPC::Loiter(int time, const Location& at) {
    TriggerArgs args;
    GetTriggerServices().SendTrigger(this, kTriggerLoiter, args);
    if (!IsCurrentNpc(this)) return;
    ai.loiterTime = time;
    ai.loiterLoc = at;
    SetState(kNpcLoiter);
    SetGait(0);
}

int CNPC::SendArmageddon(int value) {
    return GetScriptServices().SendScriptMessage(this, "armageddon", value);
}

int CNPC::GetAttitudeScore() {
    return std::clamp(2 * HungerScore() + GetAttitude() - 100, -127, 127);
}
