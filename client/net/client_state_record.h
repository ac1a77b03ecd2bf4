#pragma once
// What the login screens and the packet handlers share with the windows: the account, the
// character slots, the server and start-location lists the servers sent, the choices made,
// the last status the server sent, the skill values and names, and the two option lists.
#include <array>
#include <string>
#include <vector>

#include "platform/types.h"

struct CharacterSlot {
    std::string name;      // at most 30 characters
    std::string password;  // at most 30 characters
};

struct ServerListEntry {
    std::string name;  // at most 15 characters
    u16 id = 0;
    u8 percentFull = 0;
    u8 timeZone = 0;  // 50 = list last
    u8 distance = 0;
    u16 spare = 0;
    u32 address = 0;
};

struct StartLocation {
    std::string text;  // "town: place"
    u32 id = 0;
};

// The last status of a mobile the server sent (0x11); the fields past `maxHits` are zero
// when the server sent the short form.
struct StatusRecord {
    u32 serial = 0;
    std::string name;  // at most 30 characters
    u8 sex = 0;
    u16 strength = 0, dexterity = 0, intelligence = 0;
    u16 hits = 0, maxHits = 0, stamina = 0, maxStamina = 0, mana = 0, maxMana = 0;
    u32 gold = 0;
    u16 armour = 0, weight = 0;
};

// The player's skills: values by skill number (slot number - 1) and the names the server
// listed, each with its flag byte (1: usable directly).
struct SkillRecords {
    static constexpr int kSkills = 50;
    static constexpr size_t kNameLength = 79;

    struct Name {
        std::string text;  // at most kNameLength characters
        u8 flag = 0;
    };
    std::array<u16, kSkills> values{};
    std::vector<Name> names;  // at most kSkills
    // The player asked for the skill window: the next full list opens or raises it.
    bool windowRequested = false;
};

// The two option lists: up to 20 entries each; list 2 keeps an online flag and a second
// state per entry.
struct OptionLists {
    static constexpr int kEntries = 20;
    static constexpr size_t kNameLength = 29;

    struct Entry {
        std::string name;  // at most kNameLength characters
        u32 id = 0;
    };
    std::vector<Entry> lists[2];  // at most kEntries each
    std::array<bool, kEntries> online{};
    std::array<bool, kEntries> second{};
    // The server asked for the lists (the options window sends them).
    bool requested = false;
};

struct ClientStateRecord {
    static constexpr int kSlots = 5;

    std::string accountName;
    std::string accountLastName;
    std::string accountPassword;
    u8 nextLoginKey = 0;
    int characterCount = 0;
    CharacterSlot characters[kSlots];
    int chosenSlot = 0;
    std::vector<ServerListEntry> servers;
    std::vector<StartLocation> startLocations;
    std::string chosenServerName;

    // Options the handlers read or keep.
    std::string playerName;
    std::string playerPassword;
    bool showTips = false;
    int lastTip = -1;
    int currentVer = -1;

    StatusRecord status;
    SkillRecords skills;
    OptionLists options;
};
