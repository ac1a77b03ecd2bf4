#include "server/rules/crime.h"

#include <algorithm>
#include <utility>

#include "core/random_numbers.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/triggers.h"
#include "server/rules/guard.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/reputation.h"
#include "server/world/world_utilities.h"

namespace {

// Crimes beyond this x lie below ground: witnesses shout without calling for the guards.
constexpr int kAboveGroundMaxX = 5120;
constexpr int kDefaultAwareness = 100;
constexpr int kMaxAwareness = 1000;
constexpr int kVictimWeight = 10;
constexpr int kSeeingBonus = 2;
// The hue of the attack notices players get over themselves.
constexpr int kAttackNoticeHue = 34;
// The guard count ReportAggression passes on (any count of 1 or more calls one guard).
constexpr int kAggressionGuards = 10;

const CrimeRecord kCrimes[kCrimeKindCount] = {
    {9,
     {"A murderer!",
      "Help, a murderer!",
      "They're killing people here!",
      "'Tis a bloodbath!",
      "Save us!",
      "Protect me!",
      "Ahh!",
      "Murder is being done!",
      "Vile murderer!",
      "'Tis awful! Death! Ah!",
      "Help! Murder!",
      "A scoundrel is committing murder!",
      "Help! They're dying!",
      "They're dying! Come quickly!",
      "Help! Come quickly!",
      "Hurry, 'tis a murder!",
      "Make haste!",
      "Make haste, 'tis a murder!",
      "A crime! A murder!",
      "I pay my taxes, and no guards?",
      "Where are the guards! Help!"},
     "DEBUG! THERE SHOULD ALWAYS BE A VICTIM IN A MURDER!",
     "You see %s attacking %s%s!",
     nullptr},
    {7,
     {"A thief!",
      "Help, a thief!",
      "They're stealing things here!",
      "'Tis a robbery!",
      "'Tis a crime!",
      "Stop them!",
      "Ahh!",
      "A theft is being committed!",
      "Pathetic thief!",
      "'Tis awful! A robbery! Ah!",
      "Help! Robbers!",
      "A scoundrel is committing robbery!",
      "Help! They're stealing!",
      "They're stealing! Come quickly!",
      "Help! Come quickly!",
      "Hurry, 'tis a theft!",
      "Make haste!",
      "Make haste, 'tis a robbery!",
      "A crime! A thief!",
      "I pay my taxes, and no guards?",
      "Where are the guards! Help!"},
     "You notice %s trying to steal %s.",
     "You notice %s trying to steal %s from %s.",
     "You notice %s attempting to steal %s from you!"},
    {4,
     {"Stop that suspicious scoundrel!", "Help, a rogue!", "That's susposed to be private!",
      "'Tis a crime!", "Stop them!", "Ahh!", "Come quickly!", "Make haste!", "A crime!",
      "Where art thou?Where art thou when needed?", "I pay my taxes, and no guards?",
      "Where are the guards! Help!"},
     "DEBUG! SHOULD NEVER BE NO VICTIM IN A PEEK!",
     "You notice %s trying to peek into %s's belongings.",
     "You notice %s peeking into your belongings!%s"},
    {9,
     {"They're starting a fight!",
      "Help, a rogue bard!",
      "They're trying to start a riot!",
      "'Tis a riot!",
      "'Tis a crime!",
      "Stop them!",
      "Ahh!",
      "They're inciting a riot!",
      "A renegade musician!",
      "'Tis awful! Provoking a fight! Ah!",
      "Help! 'Twill be a bloodbath!",
      "A scoundrel is talking folk into fighting!",
      "Help! They're about to fight!",
      "They're going to kill each other! Come quickly!",
      "Help! Come quickly!",
      "Hurry, they're provoking a fight!",
      "Make haste!",
      "Make haste, 'tis a riot!",
      "A crime! A fight is being provoked!",
      "Where are the guards! Help!"},
     "DEBUG! SHOULD NEVER BE NO VICTIM IN PROVOKE!",
     "You notice %s provoking %s to attack %s.",
     nullptr},
    {7,
     {"Help!", "'Tis a crime!", "Stop them!", "Ahh!", "Come quickly!", "Make haste!", "A crime!",
      "Where art thou?Where art thou when needed?", "I pay my taxes, and no guards?",
      "Where are the guards! Help!"},
     "You notice %s committing a crime.%s",
     "You notice %s doing something illegal to %s%s.",
     "You notice %s doing something illegal to you.%s"},
};

// Each "%s" of the format takes the next argument as plain text; a "%s" beyond the arguments
// stays empty, and no other sequence of the format is read.
std::string FillFormat(const char* format, const std::vector<const std::string*>& args) {
    std::string out;
    size_t next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < args.size()) out += *args[next];
            ++next;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::string NameOf(const CItem* object) {
    const char* name = object ? object->GetName(0) : nullptr;
    return name ? name : "";
}

int ReadAwareness(CMobile& offender) {
    s32 awareness = kDefaultAwareness;
    if (!ObjVars::GetInt(offender.ScriptAttachments(), kAwarenessVar, awareness))
        awareness = kDefaultAwareness;
    return std::clamp<s32>(awareness, 0, kMaxAwareness);
}

// The mobile under the serial when it is still there.
CMobile* RefindMobile(u32 serial) {
    return serial ? g_objectManager.FindMobile(serial) : nullptr;
}

// The guards called for the offender; false when it is gone afterwards.
bool CallGuardsFor(u32 offenderSerial, const Location& at, u32 victimSerial, int guards) {
    CMobile* offender = RefindMobile(offenderSerial);
    if (!offender) return false;
    CItem* victim = victimSerial ? g_objectManager.FindBySerial(victimSerial) : nullptr;
    CallGuards(offender, at, victim, guards);
    return RefindMobile(offenderSerial) != nullptr;
}

}  // namespace

const CrimeRecord& GetCrimeRecord(int kind) {
    return kCrimes[std::clamp(kind, 0, kCrimeKindCount - 1)];
}

std::string CrimeMessage(int kind, bool hasVictim, bool toVictim, const std::string& offender,
                         const std::string& text, const std::string& victim) {
    const CrimeRecord& record = GetCrimeRecord(kind);
    const char* format = !hasVictim ? record.noVictim
                         : toVictim ? record.toVictim
                                    : record.withVictim;
    if (!format) return {};
    if (!hasVictim || toVictim) return FillFormat(format, {&offender, &text});
    // The peek message has no place for the crime text: its second place names the victim.
    if (kind == kCrimePeek) return FillFormat(format, {&offender, &victim});
    return FillFormat(format, {&offender, &text, &victim});
}

int WitnessWeight(CMobile* mobile, const Location& at, CMobile& offender, CItem* victim,
                  int radius) {
    if (!mobile || mobile == &offender || !mobile->IsHuman()) return 0;
    if (mobile == victim) return kVictimWeight;
    int weight = radius / 3 + 1 - ChebyshevDistanceWrapped(mobile->GetWorldLocation(), at) / 3;
    if (ItemCanSee(*mobile, offender, kSightWalls)) weight += kSeeingBonus;
    return weight;
}

int WitnessCrime(const Location& at, CMobile& offenderRef, CItem* victimRef, const char* text,
                 int chance, int guards, int kind) {
    if (kind < 0 || kind >= kCrimeKindCount) return 0;
    const CrimeRecord& record = kCrimes[kind];
    CMobile* offender = &offenderRef;
    const u32 offenderSerial = offender->GetSerial();
    const u32 victimSerial = victimRef ? victimRef->GetSerial() : 0;
    if (victimRef && victimRef->CanBeFreelyAggressedBy(offender)) guards = 0;

    int awareness = ReadAwareness(*offender);
    const bool aboveGround = at.x <= kAboveGroundMaxX;
    const s64 odds = static_cast<s64>(chance) * awareness / 100;
    if (odds < 1) return 0;

    bool shouted = false;
    bool seen = false;
    s64 weight = 0;
    if (guards > 0) {
        std::vector<CNPC*> npcs;
        if (auto* grid = g_mobileTable.GetGrid())
            grid->CollectInRadius(npcs, at.x, at.y, record.radius);
        // Nearest first (ties in grid order), each distance taken once.
        std::vector<std::pair<int, CNPC*>> byDistance;
        byDistance.reserve(npcs.size());
        for (CNPC* npc : npcs)
            byDistance.emplace_back(npc->DistanceTo(at.x, at.y), npc);
        std::stable_sort(byDistance.begin(), byDistance.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [distance, npc] : byDistance) {
            const int w = WitnessWeight(npc, at, *offender, victimRef, record.radius);
            weight += w;
            if (w == 0 || shouted || RandomRange(0, 999) >= odds * w) continue;
            const char* shout =
                record.shouts[RandomRange(0, static_cast<int>(record.shouts.size()) - 1)];
            if (aboveGround)
                npc->EBark((std::string("Guards! ") + shout).c_str(), -1, -1, -1);
            else
                npc->EBark(shout, -1, -1, -1);
            shouted = seen = true;
        }
    }

    std::vector<CPlayer*> players;
    CollectPlayersInRange(players, at, record.radius);
    const std::string offenderName = NameOf(offender);
    const std::string crimeText = text ? text : "";
    const bool victimIsMobile = victimRef && victimRef->IsMobile();
    const std::string victimName = victimIsMobile ? NameOf(victimRef) : std::string();
    for (CPlayer* player : players) {
        const int w = WitnessWeight(player, at, *offender, victimRef, record.radius);
        weight += w;
        if (w == 0 || RandomRange(0, 999) >= odds * w) continue;
        const std::string message = CrimeMessage(kind, victimIsMobile, player == victimRef,
                                                 offenderName, crimeText, victimName);
        if (!message.empty()) GetPacketServices().SendSystemMessage(player, message.c_str());
        // Only a crime someone noticed makes the offender criminal.
        if (guards > 0 && !shouted) seen = true;
    }

    if (seen) {
        offender->CommitCrimeAt(at, kCriminalTicks);
        offender = RefindMobile(offenderSerial);
        if (!offender) return static_cast<int>(std::min<s64>(weight, INT32_MAX));
    }
    if (aboveGround && shouted) {
        ControllerInfo controller;
        offender->GetControllerInfo(controller);
        if (!CallGuardsFor(offenderSerial, at, victimSerial, guards))
            return static_cast<int>(std::min<s64>(weight, INT32_MAX));
        if (controller.serial && controller.serial != offenderSerial)
            CallGuardsFor(controller.serial, at, victimSerial, guards);
        offender = RefindMobile(offenderSerial);
        if (!offender) return static_cast<int>(std::min<s64>(weight, INT32_MAX));
    }
    if (weight != 0) {
        const s64 grown = static_cast<s64>(awareness) * (weight * 3 + 100) / 100;
        awareness = static_cast<int>(std::clamp<s64>(grown, 0, kMaxAwareness));
        ObjVars::Set(offender->ScriptAttachments(), kAwarenessVar, kTypeInt,
                     ScriptListValue::Int(awareness));
        AttachScript(offender, "crimeaware", 1);
    }
    return static_cast<int>(std::min<s64>(weight, INT32_MAX));
}

void ReportAggression(CMobile* attacker, CMobile* target) {
    if (!attacker || !target || attacker == target || attacker->IsGuard()) return;
    if (attacker->GetAggressorList().Contains(target->GetSerial()) ||
        target->GetAggressorList().Contains(attacker->GetSerial()))
        return;
    if (!target->IsHuman() && !target->IsOwnedPet()) return;
    const u32 attackerSerial = attacker->GetSerial();
    const u32 targetSerial = target->GetSerial();
    CPlayer* attackingPlayer = attacker->AsPlayer();
    if (attackingPlayer && target->IsOwnedPet())
        GetPacketServices().SendSystemMessage(attackingPlayer, "Attacking a pet!");
    if (CPlayer* targetPlayer = target->AsPlayer(); attackingPlayer && targetPlayer) {
        const std::string attackerName = NameOf(attacker);
        const std::string targetName = NameOf(target);
        targetPlayer->BarkToHued(targetPlayer, targetPlayer,
                                 (attackerName + " is attacking you!").c_str(), kAttackNoticeHue);
        attackingPlayer->BarkToHued(attackingPlayer, attackingPlayer,
                                    ("You are attacking " + targetName + "!").c_str(),
                                    kAttackNoticeHue);
    }
    attacker = RefindMobile(attackerSerial);
    target = RefindMobile(targetSerial);
    if (!attacker || !target) return;
    const int chance = target->CanBeFreelyAggressedBy(attacker) ? 0 : 1000;
    attacker = RefindMobile(attackerSerial);
    target = RefindMobile(targetSerial);
    if (!attacker || !target) return;
    WitnessCrime(attacker->GetWorldLocation(), *attacker, target, "", chance, kAggressionGuards,
                 kCrimeMurder);
}

int GameRules::WitnessCrime(const Location& at, CMobile& offender, CItem* victim, const char* text,
                            int chance, int guards, int kind) {
    return ::WitnessCrime(at, offender, victim, text, chance, guards, kind);
}
