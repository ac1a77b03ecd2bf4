#pragma once
// Crimes and their witnesses: when someone commits a crime or attacks a human or an owned pet,
// the humans near it may notice. NPC witnesses shout for the guards, players are told what
// they saw, the offender turns criminal and the guards are called (guard.h). Every witnessed
// crime makes the offender easier to notice next time ("npcAwareness").
#include <string>
#include <vector>

#include "core/location.h"
#include "server/world/rules_services.h"

class CItem;
class CMobile;

// The crime kinds.
enum CrimeKind : int {
    kCrimeMurder = 0,
    kCrimeTheft = 1,
    kCrimePeek = 2,
    kCrimeProvoke = 3,
    kCrimeOther = 4,
};
constexpr int kCrimeKindCount = 5;

// One kind of crime: how far its witnesses stand, what NPC witnesses shout, and what players
// are told (null: nothing). The messages take the offender's name, the crime text and, with a
// victim, the victim's name, in the order `victimArgs` gives.
struct CrimeRecord {
    int radius;
    std::vector<const char*> shouts;
    const char* noVictim;
    const char* withVictim;
    const char* toVictim;
};
const CrimeRecord& GetCrimeRecord(int kind);

// How long a seen crime keeps the offender criminal, in pulses.
constexpr int kCriminalTicks = 480;
// The object variable that makes an offender easier to notice (percent, 100 when absent).
inline constexpr const char* kAwarenessVar = "npcAwareness";

// What a mobile standing there makes of a crime: 0 for no mobile, the offender itself and
// non-humans; 10 for the victim; otherwise closer and seeing the offender weigh more.
int WitnessWeight(CMobile* mobile, const Location& at, CMobile& offender, CItem* victim,
                  int radius);

// The crime at `at` (see RulesServices::WitnessCrime); the summed witness weight. The
// offender and the victim may be gone when it returns: callers find them again by serial.
int WitnessCrime(const Location& at, CMobile& offender, CItem* victim, const char* text,
                 int chance, int guards, int kind);

// What a message of the crime table reads for one player: the format with the names filled
// in as plain text (a name is never read as a format). Empty when the table has no message.
std::string CrimeMessage(int kind, bool hasVictim, bool toVictim, const std::string& offender,
                         const std::string& text, const std::string& victim);

// Combat's report of an attack: the players involved are told, and an attack on an innocent
// human or an owned pet is a murder attempt that witnesses may see. Nothing when the target
// struck first, the attacker is a guard, or the target is neither human nor an owned pet.
void ReportAggression(CMobile* attacker, CMobile* target);

// The rules the world reaches through RulesServices, with the crime witnesses in force.
class GameRules : public RulesServices {
public:
    int WitnessCrime(const Location& at, CMobile& offender, CItem* victim, const char* text,
                     int chance, int guards, int kind) override;
};
