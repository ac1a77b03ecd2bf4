#pragma once
// One entry of an object's resource list: what it is made of, holds or needs. Kind 3 marks
// held amounts (the kind quantities, values and transfers work on); kinds 0-2 come from
// scripts. Entries come from a pool of blocks of 4096 and go back to its free list.
#include <vector>

#include "platform/types.h"

constexpr u8 kResourceHeld = 3;
constexpr int kResourceEntryRecordSize = 33;

struct ResourceEntry {
    u8 kind = kResourceHeld;
    u16 type = 0;  // resource type number; 0 marks an entry every search skips
    s32 amounts[3] = {};
    ResourceEntry* next = nullptr;
    ResourceEntry* prev = nullptr;

    // index 0-2; any other index answers 0 and changes nothing.
    static bool GetAmount(const ResourceEntry* entry, int index, s32& out);
    static void AddToAmount(ResourceEntry* entry, int index, s32 delta);

    // The 33-byte record: three amounts, kind, 16 zero bytes, type as u32.
    void Write(std::vector<u8>& out) const;
    // Reads a record of kResourceEntryRecordSize bytes (the type is the u32's low 16 bits).
    void Read(const u8* record);
};

// The sum of amount `index` over the held entries of the type in the list (0 for type 0),
// stopping at the ends of the 32-bit range.
s32 SumHeldAmounts(const ResourceEntry* list, int type, int index);

// A cleared entry (kind 3, type 0, no links) from the pool, and its return.
ResourceEntry* AllocResourceEntry();
void FreeResourceEntry(ResourceEntry* entry);

// Amount arithmetic that stops at the ends of the 32-bit range instead of wrapping.
s32 SaturatingAdd(s32 a, s64 b);
s32 SaturatingMul(s32 a, s64 b);
