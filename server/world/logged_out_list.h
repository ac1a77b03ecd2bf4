#pragma once
// The characters whose owners have logged out. They stay in memory with everything they
// carry, out of the world and out of the object manager's serial hash: their objects are
// found by serial in the logged-out hash instead. A logged-out player carries the flag
// kPlayerLoggedOut and is not in the live player list.
#include <unordered_map>
#include <vector>

#include "platform/types.h"

class CItem;
class CPlayer;

class LoggedOutList {
public:
    // The player leaves the world (the players near are told) and the live list; it and
    // everything it carries move from the serial hash into the logged-out hash. Nothing for
    // a player already in the list.
    void Add(CPlayer* player);
    // Back into the serial hash and the live list (still out of the world: entering places
    // it); null when the player is not in the list.
    CPlayer* Restore(CPlayer* player);
    CPlayer* FindByName(const char* name) const;
    CPlayer* FindBySerial(u32 serial) const;
    // Any object of a logged-out character (the player or what it carries) by serial.
    CItem* FindObject(u32 serial) const;
    void CollectAccount(std::vector<CPlayer*>& out, u32 accountKey) const;
    int Size() const { return static_cast<int>(players_.size()); }
    const std::vector<CPlayer*>& Players() const { return players_; }

    // Every entry back into the serial hash (a full save walks it), and out again; the
    // entries stay logged out.
    void AttachAll();
    void DetachAll();
    // Marks every entry for a purge; DeleteMarked deletes the entry of that serial only when
    // it is still marked (no triggers run for it, no packets go out). Answers whether it did.
    void MarkAll();
    bool DeleteMarked(u32 serial);
    // Restores the player and deletes it, without triggers.
    void DeleteOne(CPlayer* player);

    // The player is being destroyed: it leaves the list and the hash.
    void Forget(CPlayer* player);

private:
    void HashTree(CItem* object);
    void UnhashTree(CItem* object);
    void Suspend(CPlayer* player);
    void Resume(CPlayer* player);
    void DeleteRestored(CPlayer* player);

    std::vector<CPlayer*> players_;
    std::unordered_map<u32, CItem*> hash_;
    bool attached_ = false;
};

extern LoggedOutList g_loggedOutList;
