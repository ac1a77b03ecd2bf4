#pragma once
// Fields of the world's classes that so far only the world save keeps: the save writes them
// and the loader reads them back, and the rules that give them meaning come later. Each is
// plain data with the value a new object starts with.
#include <string>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

// The world save's access to the protected fields of the object classes (object_fields.cpp
// and world_load.cpp).
struct ObjectFieldAccess;

// A mobile's own name, feeding, mood, life clock and sounds.
struct MobileSaveExtras {
    std::string name;
    u8 hunger = 0;
    u8 attitude = 0;
    u8 stomach = 0;
    u8 sex = 0;  // players keep theirs in CPlayer
    s32 stomachClock = 0;
    s32 lifeClock = 0;
    // Sounds by use: die, notice, idle, hit, was hit (0xFFFF: none).
    u16 sounds[5] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
};

// A player's keys and lists that its log-in and social rules use.
struct PlayerSaveExtras {
    static constexpr int kSessionSlots = 8;
    static constexpr size_t kPasswordCapacity = 30;
    std::string password;  // at most kPasswordCapacity characters
    u32 sessionIds[kSessionSlots] = {};
    s32 deathCount = 0;  // "dc"
    s8 faction[3] = {};  // "fs", "fa", "fw"
    std::vector<u32> friends;
    std::vector<u32> allowed;
    s32 accountValue = 0;  // the first number of "acct"
    s32 ownBody = -1;      // the body the character was made with; -1: its current graphic
    u32 playAge = 0;
};
