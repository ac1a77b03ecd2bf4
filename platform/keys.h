#pragma once
// Keyboard codes as the game stores them: macros and desktop files keep Windows-style
// virtual-key codes and the scan-code key data of a key message, so both back ends report
// keys in that form whatever the host system calls them.
#include <string>

#include "platform/types.h"

namespace platform {

// Virtual-key codes (the subset a PC keyboard produces). Letters and digits are their
// upper-case ASCII codes.
enum VirtualKey : u32 {
    kVkLButton = 0x01,
    kVkRButton = 0x02,
    kVkMButton = 0x04,
    kVkBack = 0x08,
    kVkTab = 0x09,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12,  // Alt
    kVkPause = 0x13,
    kVkCapital = 0x14,
    kVkEscape = 0x1B,
    kVkSpace = 0x20,
    kVkPrior = 0x21,  // Page Up
    kVkNext = 0x22,   // Page Down
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkSnapshot = 0x2C,
    kVkInsert = 0x2D,
    kVkDelete = 0x2E,
    kVk0 = 0x30,
    kVkA = 0x41,
    kVkLWin = 0x5B,
    kVkRWin = 0x5C,
    kVkApps = 0x5D,
    kVkNumpad0 = 0x60,
    kVkMultiply = 0x6A,
    kVkAdd = 0x6B,
    kVkSubtract = 0x6D,
    kVkDecimal = 0x6E,
    kVkDivide = 0x6F,
    kVkF1 = 0x70,
    kVkF24 = 0x87,
    kVkNumLock = 0x90,
    kVkScroll = 0x91,
    kVkOem1 = 0xBA,       // ;:
    kVkOemPlus = 0xBB,    // =+
    kVkOemComma = 0xBC,   // ,<
    kVkOemMinus = 0xBD,   // -_
    kVkOemPeriod = 0xBE,  // .>
    kVkOem2 = 0xBF,       // /?
    kVkOem3 = 0xC0,       // `~
    kVkOem4 = 0xDB,       // [{
    kVkOem5 = 0xDC,       // backslash
    kVkOem6 = 0xDD,       // ]}
    kVkOem7 = 0xDE,       // '"
};

// Bits of the 32-bit key data that accompanies a key message.
constexpr u32 kKeyDataRepeatCountMask = 0xFFFF;  // bits 0-15
constexpr int kKeyDataScanShift = 16;            // bits 16-23
constexpr u32 kKeyDataExtended = 1u << 24;
constexpr u32 kKeyDataAltDown = 1u << 29;
constexpr u32 kKeyDataWasDown = 1u << 30;  // set on auto-repeat
constexpr u32 kKeyDataReleased = 1u << 31;

// The PC set-1 scan code of a virtual key (0 when the key has none), and whether it is an
// extended key (the right-hand block: arrows, Insert/Delete/Home/End/Page keys, ...).
u32 ScanCodeOfKey(u32 virtualKey, bool* extended = nullptr);

// Builds the key data of a press or release: repeat count 1, the scan code of the key,
// the extended bit, the Alt bit, and the auto-repeat and release bits.
u32 MakeKeyData(u32 virtualKey, bool repeat, bool released, bool altDown);

// The name of the key whose key data this is, as the keyboard layout names it ("Esc",
// "F1", "A", "Num 7", "Page Down", ...); empty for unknown scan codes. The extended bit
// picks between the keypad and right-hand names of a scan code.
std::string KeyNameFromKeyData(u32 keyData);

}  // namespace platform
