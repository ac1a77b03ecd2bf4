// An NPC's gestures (an action and a sound by body band) and its gait.
#include "core/random_numbers.h"
#include "server/rules/combat_effects.h"
#include "server/rules/npc/npc_behaviour.h"
#include "server/world/npc.h"
#include "server/world/packet_services.h"

namespace {

constexpr int kGestureRange = 20;
constexpr int kSoundNotice = 1;  // the template's "sfxnotice" slot
constexpr int kSoundIdle = 2;    // the template's "sfxidle" slot
constexpr int kSwingPause = 10;

struct Action {
    int action = -1;  // -1: no action
    int frames = 5;
    bool repeat = false;
    int pause = 0;  // pulses the state step skips afterwards
};

// The action of a gesture code for the body (codes 1, 3 and 5; others have none).
Action GestureAction(int code, int body) {
    Action a;
    if (code == 5 && body >= 150 && body < 200) return {3, 15, false, 10};
    if (code == 5 && body >= 200 && body < 400) return a;
    if (code == 5 && body >= 400) return {33, 5, false, 4};
    if (code == 1 || code == 5) {
        if (body < 150) {
            if (body == 8 || body == 22) return {-1, 0, false, 10};
            return {11, 5, body == 21, 10};
        }
        if (body < 200) return {5, 5, false, 10};
        if (body < 400) return {3, 5, false, 10};
        return {34, 2, false, 4};
    }
    if (code == 3) {
        if (body < 150) {
            if (RandomRange(0, 1)) return {17, 5, false, 10};
            if (body != 5) return {18, 5, false, 10};
            return {-1, 0, false, 10};
        }
        if (body < 200)
            return RandomRange(0, 1) ? Action{3, 15, false, 10} : Action{4, 20, false, 10};
        if (body < 400)
            return RandomRange(1, 3) == 1 ? Action{9, 5, false, 10} : Action{3, 5, false, 10};
        return RandomRange(0, 1) ? Action{5, 5, true, 4} : Action{6, 5, false, 4};
    }
    return a;
}

int GestureSound(int code) {
    switch (code) {
        case 1:
        case 5:
            return kSoundNotice;
        case 2:
        case 3:
            return kSoundIdle;
        default:
            return -1;
    }
}

}  // namespace

void CNPC::PlayGesture(int code) {
    if (code == 4) {
        // A swing at the air: the gesture names no opponent, so the NPC turns to nobody.
        if (IsShopKeeper()) return;
        CWeapon* weapon = GetWeapon();
        PlaySwingAnimation(this, weapon, nullptr);
        PlayMissSound(this, nullptr, weapon);
        ai.actionPause = kSwingPause;
        return;
    }
    const Action a = GestureAction(code, GetBody());
    if (a.action >= 0) {
        GetPacketServices().SendMobileAction(this, a.action, a.frames, 1, true, a.repeat, 1,
                                             kGestureRange);
    }
    if (a.pause > 0) ai.actionPause = static_cast<u8>(a.pause);
    const int which = GestureSound(code);
    if (which < 0) return;
    const int sound = saveExtras.sounds[which];
    if (sound != 0xFFFF) GetPacketServices().SendSound(sound, GetWorldLocation());
}

void CNPC::SetGait(int gait) {
    const int before = ai.gait;
    ai.gait = static_cast<u8>(gait);
    if (GetBody() >= 150 || (before == 1) == (gait == 1)) return;
    GetPacketServices().SendMobileAction(this, 20, 3, 1, gait == 1, false, 1, kGestureRange);
}

void CNPC::SetGaitFromMoveType(int ignored) {
    (void)ignored;
    SetGait(GetMoveType() == kMoveTypeFlying ? 1 : 0);
}
