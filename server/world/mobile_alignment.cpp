#include "server/world/mobile_alignment.h"

#include "server/world/mobile.h"

void DeriveAlignmentFlags(CMobile& mobile) {
    const auto held = [&mobile](const char* name) {
        s32 amount = 0;
        mobile.GetResourceAmountByName(amount, name, 3, 2);
        return amount;
    };
    const s32 evil = held("evil");
    const s32 good = held("good");
    const s32 humans = held("humans");
    const s32 meat = held("meat");
    const s32 prey = held("CARNIVOREMEAT");
    u8 a = 0, b = 0;
    if (good > 0) {
        a |= kSideGood;
        b |= kSideEvil;
    }
    if (evil > 0) {
        a |= kSideEvil;
        b |= kSideGood | kSideHumans;
    }
    if (meat > 0 || prey > 0) a |= kSideMeat;
    if (meat < 0 || prey < 0) b |= kSideMeat;
    if (humans > 0) a |= kSideHumans;
    if (humans < 0) b |= kSideHumans;
    mobile.SetAlignmentFlag(0, 0xFF, false);
    mobile.SetAlignmentFlag(1, 0xFF, false);
    mobile.SetAlignmentFlag(0, a, true);
    mobile.SetAlignmentFlag(1, b, true);
}
