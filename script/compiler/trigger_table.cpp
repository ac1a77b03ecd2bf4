#include "script/compiler/trigger_table.h"

namespace {

using K = TriggerArgKind;

const TriggerInfo kTriggers[kTriggerCount] = {
    {"speech", K::Text, 2, {{"speaker", 'o'}, {"arg", 's'}}},
    {"gotattacked", K::None, 1, {{"attacker", 'o'}}},
    {"killedtarget", K::None, 1, {{"attacker", 'o'}}},
    {"aversion", K::None, 1, {{"target", 'o'}}},
    {"death", K::None, 2, {{"attacker", 'o'}, {"corpse", 'o'}}},
    {"sawdeath", K::None, 3, {{"attacker", 'o'}, {"victim", 'o'}, {"corpse", 'o'}}},
    {"fightpulse", K::None, 1, {{"target", 'o'}}},
    {"washit", K::None, 2, {{"attacker", 'o'}, {"damamt", 'i'}}},
    {"failfood", K::None, 0, {}},
    {"faildesire", K::None, 0, {}},
    {"failshelter", K::None, 0, {}},
    {"foundfood", K::None, 1, {{"target", 'o'}}},
    {"founddesire", K::None, 1, {{"target", 'o'}}},
    {"foundshelter", K::None, 1, {{"target", 'o'}}},
    {"time", K::Text, 0, {}},
    {"creation", K::None, 0, {}},
    {"enterrange", K::Int, 1, {{"target", 'o'}}},
    {"leaverange", K::Int, 1, {{"target", 'o'}}},
    {"loiter", K::None, 0, {}},
    {"seekfood", K::None, 0, {}},
    {"seekdesire", K::None, 0, {}},
    {"seekshelter", K::None, 0, {}},
    {"message", K::Text, 2, {{"sender", 'o'}, {"args", 'l'}}},
    {"use", K::None, 1, {{"user", 'o'}}},
    {"targetobj", K::None, 2, {{"user", 'o'}, {"usedon", 'o'}}},
    {"targetloc", K::None, 3, {{"user", 'o'}, {"place", 'c'}, {"objtype", 'i'}}},
    {"weather", K::None, 0, {}},
    {"wasdropped", K::None, 1, {{"dropper", 'o'}}},
    {"lookedat", K::None, 1, {{"looker", 'o'}}},
    {"give", K::None, 2, {{"giver", 'o'}, {"givenobj", 'o'}}},
    {"wasgotten", K::None, 1, {{"getter", 'o'}}},
    {"pathfound", K::Int, 0, {}},
    {"pathnotfound", K::Int, 0, {}},
    {"callback", K::Int, 0, {}},
    {"ishitting", K::None, 2, {{"victim", 'o'}, {"damamt", 'i'}}},
    {"convofunc", K::Text, 2, {{"talker", 'o'}, {"arg", 's'}}},
    {"typeselected",
     K::Int,
     4,
     {{"user", 'o'}, {"listindex", 'i'}, {"objtype", 'i'}, {"objhue", 'i'}}},
    {"hueselected", K::Int, 2, {{"user", 'o'}, {"objhue", 'i'}}},
    {"moon", K::None, 2, {{"corvanechange", 'i'}, {"ilvessachange", 'i'}}},
    {"minrangeattack", K::None, 1, {{"defender", 'o'}}},
    {"minrangedefend", K::None, 1, {{"attacker", 'o'}}},
    {"maxrangeattack", K::None, 1, {{"defender", 'o'}}},
    {"maxrangedefend", K::None, 1, {{"attacker", 'o'}}},
    {"destroyed", K::None, 0, {}},
    {"equip", K::None, 1, {{"equippedon", 'o'}}},
    {"unequip", K::None, 1, {{"unequippedfrom", 'o'}}},
    {"isstackableon", K::None, 1, {{"stackon", 'o'}}},
    {"stackonto", K::None, 1, {{"stackon", 'o'}}},
    {"multirecycle", K::None, 2, {{"oldtype", 'i'}, {"newtype", 'i'}}},
    {"decay", K::None, 2, {{"oldvalue", 'i'}, {"newvalue", 'i'}}},
    {"serverswitch", K::None, 0, {}},
    {"ooruse", K::None, 1, {{"user", 'o'}}},
    {"acquiredesire", K::None, 1, {{"target", 'o'}}},
    {"logout", K::None, 0, {}},
    {"objectloaded", K::None, 0, {}},
    {"genericgump",
     K::Int,
     4,
     {{"user", 'o'}, {"closeId", 'i'}, {"selectList", 'l'}, {"entryList", 'l'}}},
    {"oortargetobj", K::None, 2, {{"user", 'o'}, {"usedon", 'o'}}},
    {"pkpost", K::None, 2, {{"killer", 'o'}, {"killee", 'o'}}},
    {"textentry", K::Int, 3, {{"sender", 'o'}, {"button", 'i'}, {"text", 's'}}},
    {"shop", K::None, 1, {{"func", 'i'}}},
    {"stolenfrom", K::None, 1, {{"stealer", 'o'}}},
    {"objaccess", K::Int, 2, {{"user", 'o'}, {"usedon", 'o'}}},
    {"ishealthy", K::None, 0, {}},
    {"online", K::None, 0, {}},
    {"transaccountcheck", K::None, 2, {{"target", 'o'}, {"transok", 'i'}}},
    {"transresponse", K::None, 2, {{"target", 'o'}, {"transok", 'i'}}},
    {"canbuy", K::None, 3, {{"buyer", 'o'}, {"seller", 'o'}, {"quantity", 'i'}}},
    {"mobishitting", K::None, 2, {{"victim", 'o'}, {"damage", 'i'}}},
    {"famechanged", K::None, 0, {}},
    {"karmachanged", K::None, 0, {}},
    {"murdercountchanged", K::None, 0, {}},
};

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
