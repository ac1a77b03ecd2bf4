#include "server/world/mobile_alignment.h"

#include "server/world/mobile.h"

namespace {

// The sides of byte A (belongs to) and byte B (hostile to).
constexpr u8 kMeatSide = 0x01;
constexpr u8 kHumanSide = 0x02;
constexpr u8 kEvilSide = 0x04;
constexpr u8 kGoodSide = 0x08;

}  // namespace

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
        a |= kGoodSide;
        b |= kEvilSide;
    }
    if (evil > 0) {
        a |= kEvilSide;
        b |= kGoodSide | kHumanSide;
    }
    if (meat > 0 || prey > 0) a |= kMeatSide;
    if (meat < 0 || prey < 0) b |= kMeatSide;
    if (humans > 0) a |= kHumanSide;
    if (humans < 0) b |= kHumanSide;
    mobile.SetAlignmentFlag(0, 0xFF, false);
    mobile.SetAlignmentFlag(1, 0xFF, false);
    mobile.SetAlignmentFlag(0, a, true);
    mobile.SetAlignmentFlag(1, b, true);
}
