#include "script/language/trigger_table.h"

#include <iterator>

namespace {

using K = TriggerArgKind;

constexpr TriggerInfo kTriggers[] = {
    {kTriggerSpeech, "speech", K::Text, 2, {{"speaker", 'o'}, {"arg", 's'}}},
    {kTriggerGotAttacked, "gotattacked", K::None, 1, {{"attacker", 'o'}}},
    {kTriggerKilledTarget, "killedtarget", K::None, 1, {{"attacker", 'o'}}},
    {kTriggerAversion, "aversion", K::None, 1, {{"target", 'o'}}},
    {kTriggerDeath, "death", K::None, 2, {{"attacker", 'o'}, {"corpse", 'o'}}},
    {kTriggerSawDeath,
     "sawdeath",
     K::None,
     3,
     {{"attacker", 'o'}, {"victim", 'o'}, {"corpse", 'o'}}},
    {kTriggerFightPulse, "fightpulse", K::None, 1, {{"target", 'o'}}},
    {kTriggerWasHit, "washit", K::None, 2, {{"attacker", 'o'}, {"damamt", 'i'}}},
    {kTriggerFailFood, "failfood", K::None, 0, {}},
    {kTriggerFailDesire, "faildesire", K::None, 0, {}},
    {kTriggerFailShelter, "failshelter", K::None, 0, {}},
    {kTriggerFoundFood, "foundfood", K::None, 1, {{"target", 'o'}}},
    {kTriggerFoundDesire, "founddesire", K::None, 1, {{"target", 'o'}}},
    {kTriggerFoundShelter, "foundshelter", K::None, 1, {{"target", 'o'}}},
    {kTriggerTime, "time", K::Text, 0, {}},
    {kTriggerCreation, "creation", K::None, 0, {}},
    {kTriggerEnterRange, "enterrange", K::Int, 1, {{"target", 'o'}}},
    {kTriggerLeaveRange, "leaverange", K::Int, 1, {{"target", 'o'}}},
    {kTriggerLoiter, "loiter", K::None, 0, {}},
    {kTriggerSeekFood, "seekfood", K::None, 0, {}},
    {kTriggerSeekDesire, "seekdesire", K::None, 0, {}},
    {kTriggerSeekShelter, "seekshelter", K::None, 0, {}},
    {kTriggerMessage, "message", K::Text, 2, {{"sender", 'o'}, {"args", 'l'}}},
    {kTriggerUse, "use", K::None, 1, {{"user", 'o'}}},
    {kTriggerTargetObj, "targetobj", K::None, 2, {{"user", 'o'}, {"usedon", 'o'}}},
    {kTriggerTargetLoc, "targetloc", K::None, 3, {{"user", 'o'}, {"place", 'c'}, {"objtype", 'i'}}},
    {kTriggerWeather, "weather", K::None, 0, {}},
    {kTriggerWasDropped, "wasdropped", K::None, 1, {{"dropper", 'o'}}},
    {kTriggerLookedAt, "lookedat", K::None, 1, {{"looker", 'o'}}},
    {kTriggerGive, "give", K::None, 2, {{"giver", 'o'}, {"givenobj", 'o'}}},
    {kTriggerWasGotten, "wasgotten", K::None, 1, {{"getter", 'o'}}},
    {kTriggerPathFound, "pathfound", K::Int, 0, {}},
    {kTriggerPathNotFound, "pathnotfound", K::Int, 0, {}},
    {kTriggerCallback, "callback", K::Int, 0, {}},
    {kTriggerIsHitting, "ishitting", K::None, 2, {{"victim", 'o'}, {"damamt", 'i'}}},
    {kTriggerConvoFunc, "convofunc", K::Text, 2, {{"talker", 'o'}, {"arg", 's'}}},
    {kTriggerTypeSelected,
     "typeselected",
     K::Int,
     4,
     {{"user", 'o'}, {"listindex", 'i'}, {"objtype", 'i'}, {"objhue", 'i'}}},
    {kTriggerHueSelected, "hueselected", K::Int, 2, {{"user", 'o'}, {"objhue", 'i'}}},
    {kTriggerMoon, "moon", K::None, 2, {{"corvanechange", 'i'}, {"ilvessachange", 'i'}}},
    {kTriggerMinRangeAttack, "minrangeattack", K::None, 1, {{"defender", 'o'}}},
    {kTriggerMinRangeDefend, "minrangedefend", K::None, 1, {{"attacker", 'o'}}},
    {kTriggerMaxRangeAttack, "maxrangeattack", K::None, 1, {{"defender", 'o'}}},
    {kTriggerMaxRangeDefend, "maxrangedefend", K::None, 1, {{"attacker", 'o'}}},
    {kTriggerDestroyed, "destroyed", K::None, 0, {}},
    {kTriggerEquip, "equip", K::None, 1, {{"equippedon", 'o'}}},
    {kTriggerUnequip, "unequip", K::None, 1, {{"unequippedfrom", 'o'}}},
    {kTriggerIsStackableOn, "isstackableon", K::None, 1, {{"stackon", 'o'}}},
    {kTriggerStackOnto, "stackonto", K::None, 1, {{"stackon", 'o'}}},
    {kTriggerMultiRecycle, "multirecycle", K::None, 2, {{"oldtype", 'i'}, {"newtype", 'i'}}},
    {kTriggerDecay, "decay", K::None, 2, {{"oldvalue", 'i'}, {"newvalue", 'i'}}},
    {kTriggerServerSwitch, "serverswitch", K::None, 0, {}},
    {kTriggerOorUse, "ooruse", K::None, 1, {{"user", 'o'}}},
    {kTriggerAcquireDesire, "acquiredesire", K::None, 1, {{"target", 'o'}}},
    {kTriggerLogout, "logout", K::None, 0, {}},
    {kTriggerObjectLoaded, "objectloaded", K::None, 0, {}},
    {kTriggerGenericGump,
     "genericgump",
     K::Int,
     4,
     {{"user", 'o'}, {"closeId", 'i'}, {"selectList", 'l'}, {"entryList", 'l'}}},
    {kTriggerOorTargetObj, "oortargetobj", K::None, 2, {{"user", 'o'}, {"usedon", 'o'}}},
    {kTriggerPkPost, "pkpost", K::None, 2, {{"killer", 'o'}, {"killee", 'o'}}},
    {kTriggerTextEntry, "textentry", K::Int, 3, {{"sender", 'o'}, {"button", 'i'}, {"text", 's'}}},
    {kTriggerShop, "shop", K::None, 1, {{"func", 'i'}}},
    {kTriggerStolenFrom, "stolenfrom", K::None, 1, {{"stealer", 'o'}}},
    {kTriggerObjAccess, "objaccess", K::Int, 2, {{"user", 'o'}, {"usedon", 'o'}}},
    {kTriggerIsHealthy, "ishealthy", K::None, 0, {}},
    {kTriggerOnline, "online", K::None, 0, {}},
    {kTriggerTransAccountCheck,
     "transaccountcheck",
     K::None,
     2,
     {{"target", 'o'}, {"transok", 'i'}}},
    {kTriggerTransResponse, "transresponse", K::None, 2, {{"target", 'o'}, {"transok", 'i'}}},
    {kTriggerCanBuy, "canbuy", K::None, 3, {{"buyer", 'o'}, {"seller", 'o'}, {"quantity", 'i'}}},
    {kTriggerMobIsHitting, "mobishitting", K::None, 2, {{"victim", 'o'}, {"damage", 'i'}}},
    {kTriggerFameChanged, "famechanged", K::None, 0, {}},
    {kTriggerKarmaChanged, "karmachanged", K::None, 0, {}},
    {kTriggerMurderCountChanged, "murdercountchanged", K::None, 0, {}},
};

// Each row carries its enumerator, so a row out of place does not compile.
constexpr bool RowsInEnumerationOrder() {
    for (int i = 0; i < kTriggerCount; ++i) {
        if (kTriggers[i].number != i) return false;
    }
    return true;
}
static_assert(std::size(kTriggers) == kTriggerCount, "one row per trigger");
static_assert(RowsInEnumerationOrder(), "rows in the order of TriggerNumber");

}  // namespace

const TriggerInfo& GetTriggerInfo(int number) {
    if (number < 0 || number >= kTriggerCount) number = 0;
    return kTriggers[number];
}

int FindTriggerNumber(std::string_view name) {
    for (int i = 0; i < kTriggerCount; ++i) {
        if (name == kTriggers[i].name) return i;
    }
    return kNoTrigger;
}
