#include "platform/keys.h"

#include <array>

namespace platform {
namespace {

struct KeyInfo {
    u32 vk;
    u32 scan;
    bool extended;
    const char* name;
};

// One row per key of a PC keyboard (US layout names).
constexpr KeyInfo kKeys[] = {
    {kVkEscape, 0x01, false, "Esc"},
    {'1', 0x02, false, "1"},
    {'2', 0x03, false, "2"},
    {'3', 0x04, false, "3"},
    {'4', 0x05, false, "4"},
    {'5', 0x06, false, "5"},
    {'6', 0x07, false, "6"},
    {'7', 0x08, false, "7"},
    {'8', 0x09, false, "8"},
    {'9', 0x0A, false, "9"},
    {'0', 0x0B, false, "0"},
    {kVkOemMinus, 0x0C, false, "-"},
    {kVkOemPlus, 0x0D, false, "="},
    {kVkBack, 0x0E, false, "Backspace"},
    {kVkTab, 0x0F, false, "Tab"},
    {'Q', 0x10, false, "Q"},
    {'W', 0x11, false, "W"},
    {'E', 0x12, false, "E"},
    {'R', 0x13, false, "R"},
    {'T', 0x14, false, "T"},
    {'Y', 0x15, false, "Y"},
    {'U', 0x16, false, "U"},
    {'I', 0x17, false, "I"},
    {'O', 0x18, false, "O"},
    {'P', 0x19, false, "P"},
    {kVkOem4, 0x1A, false, "["},
    {kVkOem6, 0x1B, false, "]"},
    {kVkReturn, 0x1C, false, "Enter"},
    {kVkControl, 0x1D, false, "Ctrl"},
    {'A', 0x1E, false, "A"},
    {'S', 0x1F, false, "S"},
    {'D', 0x20, false, "D"},
    {'F', 0x21, false, "F"},
    {'G', 0x22, false, "G"},
    {'H', 0x23, false, "H"},
    {'J', 0x24, false, "J"},
    {'K', 0x25, false, "K"},
    {'L', 0x26, false, "L"},
    {kVkOem1, 0x27, false, ";"},
    {kVkOem7, 0x28, false, "'"},
    {kVkOem3, 0x29, false, "`"},
    {kVkShift, 0x2A, false, "Shift"},
    {kVkOem5, 0x2B, false, "\\"},
    {'Z', 0x2C, false, "Z"},
    {'X', 0x2D, false, "X"},
    {'C', 0x2E, false, "C"},
    {'V', 0x2F, false, "V"},
    {'B', 0x30, false, "B"},
    {'N', 0x31, false, "N"},
    {'M', 0x32, false, "M"},
    {kVkOemComma, 0x33, false, ","},
    {kVkOemPeriod, 0x34, false, "."},
    {kVkOem2, 0x35, false, "/"},
    {kVkMultiply, 0x37, false, "Num *"},
    {kVkMenu, 0x38, false, "Alt"},
    {kVkSpace, 0x39, false, "Space"},
    {kVkCapital, 0x3A, false, "Caps Lock"},
    {kVkF1, 0x3B, false, "F1"},
    {kVkF1 + 1, 0x3C, false, "F2"},
    {kVkF1 + 2, 0x3D, false, "F3"},
    {kVkF1 + 3, 0x3E, false, "F4"},
    {kVkF1 + 4, 0x3F, false, "F5"},
    {kVkF1 + 5, 0x40, false, "F6"},
    {kVkF1 + 6, 0x41, false, "F7"},
    {kVkF1 + 7, 0x42, false, "F8"},
    {kVkF1 + 8, 0x43, false, "F9"},
    {kVkF1 + 9, 0x44, false, "F10"},
    {kVkNumLock, 0x45, true, "Num Lock"},
    {kVkScroll, 0x46, false, "Scroll Lock"},
    {kVkNumpad0 + 7, 0x47, false, "Num 7"},
    {kVkNumpad0 + 8, 0x48, false, "Num 8"},
    {kVkNumpad0 + 9, 0x49, false, "Num 9"},
    {kVkSubtract, 0x4A, false, "Num -"},
    {kVkNumpad0 + 4, 0x4B, false, "Num 4"},
    {kVkNumpad0 + 5, 0x4C, false, "Num 5"},
    {kVkNumpad0 + 6, 0x4D, false, "Num 6"},
    {kVkAdd, 0x4E, false, "Num +"},
    {kVkNumpad0 + 1, 0x4F, false, "Num 1"},
    {kVkNumpad0 + 2, 0x50, false, "Num 2"},
    {kVkNumpad0 + 3, 0x51, false, "Num 3"},
    {kVkNumpad0, 0x52, false, "Num 0"},
    {kVkDecimal, 0x53, false, "Num Del"},
    {kVkF1 + 10, 0x57, false, "F11"},
    {kVkF1 + 11, 0x58, false, "F12"},
    // The right-hand block shares scan codes with the keypad; the extended bit tells them
    // apart.
    {kVkDivide, 0x35, true, "Num /"},
    {kVkSnapshot, 0x37, true, "Prnt Scrn"},
    {kVkHome, 0x47, true, "Home"},
    {kVkUp, 0x48, true, "Up"},
    {kVkPrior, 0x49, true, "Page Up"},
    {kVkLeft, 0x4B, true, "Left"},
    {kVkRight, 0x4D, true, "Right"},
    {kVkEnd, 0x4F, true, "End"},
    {kVkDown, 0x50, true, "Down"},
    {kVkNext, 0x51, true, "Page Down"},
    {kVkInsert, 0x52, true, "Insert"},
    {kVkDelete, 0x53, true, "Delete"},
    {kVkLWin, 0x5B, true, "Left Windows"},
    {kVkRWin, 0x5C, true, "Right Windows"},
    {kVkApps, 0x5D, true, "Application"},
    {kVkPause, 0x45, false, "Pause"},
};

}  // namespace

u32 ScanCodeOfKey(u32 virtualKey, bool* extended) {
    for (const KeyInfo& k : kKeys) {
        if (k.vk == virtualKey) {
            if (extended) *extended = k.extended;
            return k.scan;
        }
    }
    if (extended) *extended = false;
    return 0;
}

u32 MakeKeyData(u32 virtualKey, bool repeat, bool released, bool altDown) {
    bool extended = false;
    u32 scan = ScanCodeOfKey(virtualKey, &extended);
    u32 data = 1 | (scan << kKeyDataScanShift);
    if (extended) data |= kKeyDataExtended;
    if (altDown) data |= kKeyDataAltDown;
    if (repeat || released) data |= kKeyDataWasDown;
    if (released) data |= kKeyDataReleased;
    return data;
}

std::string KeyNameFromKeyData(u32 keyData) {
    u32 scan = (keyData >> kKeyDataScanShift) & 0xFF;
    bool extended = (keyData & kKeyDataExtended) != 0;
    const KeyInfo* fallback = nullptr;
    for (const KeyInfo& k : kKeys) {
        if (k.scan != scan) continue;
        if (k.extended == extended) return k.name;
        if (!fallback) fallback = &k;
    }
    return fallback ? fallback->name : std::string();
}

}  // namespace platform
