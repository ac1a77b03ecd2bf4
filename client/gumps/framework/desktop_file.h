#pragma once
// The desktop layout file ("desktop.zq1" .. "desktop.zq5", one per character slot): which of the
// player's windows were open, where they stood and whether they were minimised. Little-endian:
// the player's serial (u32), then records until the end of the file, each a kind byte and the
// fields of its kind. Kinds 3, 5 and above 8 are skipped one byte at a time; a record cut short
// by the end of the file is dropped.
#include <string>
#include <vector>

#include "platform/types.h"

struct DesktopRecord {
    enum Kind : u8 {
        kPaperdoll = 0,
        kStatus = 1,
        kJournal = 2,
        kSkills = 4,
        kOptions = 6,
        kFighting = 7,
        kSpellIcon = 8,
    };
    u8 kind = 0;
    s32 x = 0;
    s32 y = 0;
    u8 minimised = 0;   // kinds 0, 1, 2, 4, 6, 7
    u16 width = 0;      // kinds 2, 4
    u16 height = 0;     // kinds 2, 4
    u8 spellIndex = 0;  // kind 8
};

// The journal and the skill window resize only their height, between 220 and 460 - y.
constexpr int kResizeMinHeight = 220;
constexpr int kResizeBottom = 460;

// False when the bytes are too short for the serial.
bool ParseDesktopFile(const u8* data, size_t size, u32& serial, std::vector<DesktopRecord>& out);
std::vector<u8> WriteDesktopFile(u32 serial, const std::vector<DesktopRecord>& records);
// "desktop.zq<slot + 1>".
std::string DesktopFileName(int slot);
// Clamps the size of a journal or skill-window record to what their resize allows.
void ClampDesktopSize(DesktopRecord& record);
