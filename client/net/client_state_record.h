#pragma once
// What the login screens and the login packet handlers share: the account, the character
// slots, the server and start-location lists the servers sent, and the choices made.
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
};
