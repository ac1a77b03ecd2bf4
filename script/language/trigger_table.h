#pragma once
// The 71 triggers: their numbers, names, the argument a handler declares after the name and
// the implicit parameters its body sees.
#include <string_view>

#include "platform/types.h"

// The trigger numbers: a handler's trigger, the number a sender passes, the index of a class's
// handler chains. The names are the trigger names of the script language.
enum TriggerNumber : int {
    kTriggerSpeech,
    kTriggerGotAttacked,
    kTriggerKilledTarget,
    kTriggerAversion,
    kTriggerDeath,
    kTriggerSawDeath,
    kTriggerFightPulse,
    kTriggerWasHit,
    kTriggerFailFood,
    kTriggerFailDesire,
    kTriggerFailShelter,
    kTriggerFoundFood,
    kTriggerFoundDesire,
    kTriggerFoundShelter,
    kTriggerTime,
    kTriggerCreation,
    kTriggerEnterRange,
    kTriggerLeaveRange,
    kTriggerLoiter,
    kTriggerSeekFood,
    kTriggerSeekDesire,
    kTriggerSeekShelter,
    kTriggerMessage,
    kTriggerUse,
    kTriggerTargetObj,
    kTriggerTargetLoc,
    kTriggerWeather,
    kTriggerWasDropped,
    kTriggerLookedAt,
    kTriggerGive,
    kTriggerWasGotten,
    kTriggerPathFound,
    kTriggerPathNotFound,
    kTriggerCallback,
    kTriggerIsHitting,
    kTriggerConvoFunc,
    kTriggerTypeSelected,
    kTriggerHueSelected,
    kTriggerMoon,
    kTriggerMinRangeAttack,
    kTriggerMinRangeDefend,
    kTriggerMaxRangeAttack,
    kTriggerMaxRangeDefend,
    kTriggerDestroyed,
    kTriggerEquip,
    kTriggerUnequip,
    kTriggerIsStackableOn,
    kTriggerStackOnto,
    kTriggerMultiRecycle,
    kTriggerDecay,
    kTriggerServerSwitch,
    kTriggerOorUse,
    kTriggerAcquireDesire,
    kTriggerLogout,
    kTriggerObjectLoaded,
    kTriggerGenericGump,
    kTriggerOorTargetObj,
    kTriggerPkPost,
    kTriggerTextEntry,
    kTriggerShop,
    kTriggerStolenFrom,
    kTriggerObjAccess,
    kTriggerIsHealthy,
    kTriggerOnline,
    kTriggerTransAccountCheck,
    kTriggerTransResponse,
    kTriggerCanBuy,
    kTriggerMobIsHitting,
    kTriggerFameChanged,
    kTriggerKarmaChanged,
    kTriggerMurderCountChanged,
    kTriggerCount
};
// The number a handler with an unknown trigger name gets; no object ever receives it.
constexpr int kNoTrigger = kTriggerCount;

enum class TriggerArgKind : u8 { None, Text, Int };

struct TriggerParam {
    const char* name;
    char type;  // signature character: o, i, s, c, l
};

struct TriggerInfo {
    TriggerNumber number;
    const char* name;
    TriggerArgKind arg;
    int paramCount;
    TriggerParam params[4];
};

const TriggerInfo& GetTriggerInfo(int number);  // number 0..kTriggerCount-1
// The trigger number of a lower-case name, compared exactly; kNoTrigger when none.
int FindTriggerNumber(std::string_view name);
