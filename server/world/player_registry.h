#pragma once
// The player registry as the connection and the world reach it: creating a character from a
// creation request, finding a character by name among the players online and logged out,
// listing an account's characters and collecting the players near a place; and the world's
// indexes of players: the live list, the player grid and the logged-out characters.
//
// The registry in force is this class itself, over the process-wide list of live players and
// the list of logged-out characters kept in memory. Tests may install a replacement. Like
// CPlayer's, its members that are player rules (CreatePlayer, StrikeRandomPlayers,
// CollectByCategory, AuditStatTotals) live in the player layer, server/player/.
//
// Linking: CreatePlayer only makes the character. The connection that asked for it links
// player and connection both ways (LinkPlayerToSocket), because what happens to a player the
// connection already had is the connection's rule.
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class CPlayer;

// The 23 values of a character creation request, as the client sent them.
struct NewCharacter {
    u16 x = 0;  // 0xFFFF: the configured start location
    u16 y = 0;
    s8 z = 0;
    char name[31] = {};
    char password[31] = {};
    u8 sex = 0;
    u8 strength = 0;
    u8 dexterity = 0;
    u8 intelligence = 0;
    u8 skill[3] = {};
    u8 skillValue[3] = {};
    u16 skinHue = 0;
    u16 hairStyle = 0;
    u16 hairHue = 0;
    u16 beardStyle = 0;
    u16 beardHue = 0;
    u32 characterKey = 0;
    u32 accountKey = 0;
};

class CPlayerRegistry {
public:
    virtual ~CPlayerRegistry() = default;

    // Makes a new character by the creation rules (start place, stats, skills, hues, hair,
    // backpack, starting kit; server/player/player_creation.cpp); null when it cannot be made.
    // The player is not linked to a connection.
    virtual CPlayer* CreatePlayer(const NewCharacter& request);
    // The character of that name, online first, then logged out; names compare without
    // regard to letter case. Null when there is none.
    virtual CPlayer* FindByNameAny(const char* name);
    // Appends the characters whose account key is `key`: the players online, then the
    // logged-out ones.
    virtual void ListByAccountKey(u32 key, std::vector<CPlayer*>& out);
    // Appends the players within `radius` tiles (Chebyshev) of `at`.
    virtual void CollectInRange(std::vector<CPlayer*>& out, const Location& at, int radius);
    // Appends every player online, in the order of the player list.
    virtual void CollectOnline(std::vector<CPlayer*>& out);

    // The live player of that serial; the first live player of that name (any case).
    CPlayer* FindBySerial(u32 serial);
    CPlayer* FindByName(const char* name);
    // Appends every live, then every logged-out player of the account.
    void CollectAccountPlayers(std::vector<CPlayer*>& out, u32 accountKey);
    // Characters constructed and not destroyed, without the logged-out ones.
    u16 CountOnline();
    // Runs every attached live player's Tick in list order; a player may destroy itself (or
    // the next one) during its tick.
    void TickAll();
    // Appends the serials of the live players of a PlayerCategory
    // (server/player/player_titles.cpp).
    void CollectByCategory(std::vector<u32>& out, int kind);
    // Every live player not editing whose base stats sum above 275 is logged and each of its
    // base stats above 50 set to 50.
    void AuditStatTotals();
    // Adds to the play age of every live player in the world.
    void AddPlayAgeToAll(int amount);
    // The load governor's storm (server/player/player_life.cpp): up to `count` random live
    // players not in edit mode and not struck within the last 8 pulses are struck by
    // lightning.
    void StrikeRandomPlayers(int count);
};

// The player grid: every player in the world sits in the 64-tile cell of its x, y, so range
// questions never walk the whole list. It covers the sector grid's rectangle and follows it
// when the sector grid is built anew. Each player keeps the place it was filed under, so a
// removal always finds it, whatever happened to the player's Location meanwhile.
struct PlayerGridSlot {
    int x = 0;
    int y = 0;
    bool filed = false;
};
// Files a player in the world under its world Location (again, when it moved to another
// cell; a player out of the world is never filed); takes it out.
void PlayerGridAdd(CPlayer* player);
void PlayerGridRemove(CPlayer* player);
// The players of the grid within the radius (Chebyshev, no wrap) of the place; the same
// without `except`; their count.
void CollectPlayersInRange(std::vector<CPlayer*>& out, const Location& at, int radius);
void PlayerGridCollectExcept(std::vector<CPlayer*>& out, const Location& at, int radius,
                             const CPlayer* except);
int PlayerGridCount(const Location& at, int radius);
// For a move from `from` to `to`: the players within the radius of both (staying), of `to`
// only (entering) and of `from` only (leaving), without `except`.
void PlayerGridPartition(std::vector<CPlayer*>& staying, std::vector<CPlayer*>& entering,
                         std::vector<CPlayer*>& leaving, const Location& from, const Location& to,
                         int radius, const CPlayer* except);

// The live list, kept by CPlayer's constructor and destructor (newest first). A player also
// leaves it while logged out (TakeOffLiveList) and comes back at the head (PutOnLiveList).
void LinkLivePlayer(CPlayer* player);
void UnlinkLivePlayer(CPlayer* player);
void TakeOffLiveList(CPlayer* player);
void PutOnLiveList(CPlayer* player);
CPlayer* FindLivePlayerBySerial(u32 serial);
// Appends every live player, in list order (whatever registry is in force).
void CollectLivePlayers(std::vector<CPlayer*>& out);
// Whether the pointer names a player still in memory (live or logged out); the pointer is only
// compared, never followed.
bool IsPlayerInMemory(const CPlayer* player);

// The logged-out characters: Add takes the player out of the world (removal packet to those
// near) and out of the live list; Restore puts a logged-out player back into the live list
// (not yet into the world) and answers it, or null when it was not logged out.
void AddLoggedOutPlayer(CPlayer* player);
CPlayer* RestoreLoggedOutPlayer(CPlayer* player);
int LoggedOutCount();
// Appends the logged-out characters, in the order they were logged out.
void CollectLoggedOutPlayers(std::vector<CPlayer*>& out);

// The world corner of the configuration, and the configured start offset by it (z 0).
Location WorldCorner();
Location ConfiguredStartLocation();

// The registry in force (never null).
CPlayerRegistry& GetPlayerRegistry();
// Installs a registry (the caller keeps it alive while installed; null puts back the empty
// one); answers the previous one, or null when the empty one was in force.
CPlayerRegistry* SetPlayerRegistry(CPlayerRegistry* registry);
