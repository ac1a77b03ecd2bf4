#pragma once
// How a player's name is shown (titles by fame, karma and best skill; the staff forms), the
// staff roles and what they change, the player's side of reputation, and small per-player
// services. The CPlayer members themselves are declared in server/world/player.h; this header
// holds what lies around them.
#include <vector>

#include "core/cstr.h"
#include "platform/types.h"

class CMobile;
class CPlayer;

// The word of the titles table at (karma level -5..5, fame level 0..4); empty for none.
const char* FameKarmaTitle(int karmaLevel, int fameLevel);
// The rank word of a best skill value (tenths); empty below 250.
const char* SkillRankWord(int value);
// The profession a skill names; empty for none. `female` picks the women's forms.
const char* ProfessionWord(int skill, bool female);

// -1 when either is null; else how a compares with b by their notoriety titles (1 better,
// 0 even, -1 worse) as the script builtin of that name answers.
int NotorietyCompare(const CMobile* a, const CMobile* b);

// The staff lists of the shard (game masters on duty and the relay to the staff service).
// Until staff tools exist the one in force keeps nothing.
class StaffServices {
public:
    virtual ~StaffServices() = default;
    virtual void AddGameMaster(CPlayer& player) { (void)player; }
    virtual void RemoveGameMaster(CPlayer& player) { (void)player; }
    // A game master was loaded with the world: its record {0, serial, 0, 0} for the service.
    virtual void RelayGameMaster(u32 serial) { (void)serial; }
};
StaffServices& GetStaffServices();
StaffServices* SetStaffServices(StaffServices* services);

// Player categories of CPlayerRegistry::CollectByCategory (any other kind: every player).
enum PlayerCategory : int {
    kCategoryCounselors = 1,   // logged-in counselors
    kCategoryGameMasters = 2,  // logged-in game masters
    kCategoryOrdinary = 3,     // neither editing nor staff
};
