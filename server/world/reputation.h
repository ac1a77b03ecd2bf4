#pragma once
// Reputation and aggression: how an object stands toward a viewer (the name colour on the
// client), whether an attack on it is lawful, and the records aggression, harm and crime
// leave behind. All state lives in object variables, so it is saved with the objects; the
// marks expire through timed callbacks of one action with the mark's index as key.
#include "core/cstr.h"
#include "platform/types.h"

class CBaseObject;
class CObjAttachments;
class CPlayer;
class CScriptList;

// Who controls an object (a pet's owner, a summoner): all zero or empty when nobody does.
struct ControllerInfo {
    CPlayer* player = nullptr;  // the controller when it is a player in memory
    u32 serial = 0;
    u32 guild = 0;  // the controller's guildstone
    s32 guildType = 0;
    CStr name;
};

// The classes GetNotorietyFor answers.
enum NotorietyClass : int {
    kNotorietyInnocent = 1,
    kNotorietyAlly = 2,
    kNotorietyAttackable = 3,
    kNotorietyCriminal = 4,
    kNotorietyEnemy = 5,
    kNotorietyMurderer = 6,
};

// The timed-callback action of the reputation marks; its key is the mark's index.
constexpr int kReputationCallbackAction = 17;
enum ReputationMark : int {
    kMarkCriminal = 0,
    kMarkAggression = 1,
    kMarkLawfulDamage = 2,
    kMarkMurderCount = 3,
    kMarkRecentlyReported = 4,
};
constexpr int kReputationMarkCount = 5;
// The variable each mark removes when it expires.
extern const char* const kReputationMarkNames[kReputationMarkCount];
// Two minutes of pulses for criminal, aggression and lawful-damage marks; eight hours for
// each murder.
constexpr int kReputationTicks = 480;
constexpr int kMurderCountTicks = 115200;
// More murders than this make a murderer.
constexpr int kMurdererAbove = 4;

// Guild wars by the viewer's guild type (0-4): bit n set means an own guild type n is its
// enemy. A type outside 0-4 has no row and opposes nothing.
constexpr int kGuildTypeCount = 5;
constexpr u8 kOpposingGuildMask[kGuildTypeCount] = {16, 16, 24, 20, 0};
// Whether an own guild type is at war with the other side's type (an own type outside 0-4
// counts as 0).
bool GuildTypesOppose(int ownType, int otherType);

// The list variable of that name, made empty when missing or not a list.
CScriptList& ListVarMadeIfMissing(CObjAttachments*& set, const char* name);

// The timed callback of the marks: removes the expired mark and tells the players near whom
// it concerns.
void ReputationTimerExpired(CBaseObject* object, s32 key, const char* text);
