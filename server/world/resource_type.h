#pragma once
// The named resource types of the economy (gold, wood, meat ...) and the one table that
// numbers them (1-101) and finds them by internal name. The server stores value 1 and value 2
// but never interprets them.
#include <memory>
#include <vector>

#include "platform/types.h"

constexpr int kResourceTypeSlots = 102;  // numbers 0-101; 0 holds nothing
constexpr int kMaxResourceTypeNumber = kResourceTypeSlots - 1;
constexpr int kResourceNameSize = 128;
constexpr int kResourceTypeRecordSize = 652;  // the file and packet record
constexpr int kResourceHashBuckets = 512;

class CResourceType {
public:
    // The five default names, values 1 and 0, and number 0 (the table gives the number).
    CResourceType();

    int GetNumber() const { return number_; }
    void SetNumber(int number) { number_ = number; }
    const char* GetInternalName() const { return names_[0]; }
    const char* GetFoodName() const { return names_[1]; }
    const char* GetShelterName() const { return names_[2]; }
    const char* GetDesireName() const { return names_[3]; }
    const char* GetProductionName() const { return names_[4]; }
    // Each copies at most 127 characters and the terminator.
    void SetInternalName(const char* text) { SetName(0, text); }
    void SetFoodName(const char* text) { SetName(1, text); }
    void SetShelterName(const char* text) { SetName(2, text); }
    void SetDesireName(const char* text) { SetName(3, text); }
    void SetProductionName(const char* text) { SetName(4, text); }
    s32 GetValue1() const { return value1_; }
    s32 GetValue2() const { return value2_; }
    void SetValue1(s32 v) { value1_ = v; }
    void SetValue2(s32 v) { value2_ = v; }

    // The 652-byte record: number, the five names of 128 bytes, value 1, value 2.
    void Write(std::vector<u8>& out) const;
    // Reads a record of kResourceTypeRecordSize bytes; a name without terminator is cut.
    void Read(const u8* record);

    CResourceType* hashNext = nullptr;

private:
    void SetName(int which, const char* text);
    int number_ = 0;
    char names_[5][kResourceNameSize];
    s32 value1_ = 1;
    s32 value2_ = 0;
};

// The bucket of an internal name: ((lower-case first << 3) ^ lower-case second) & 0x1FF. A
// one-character name hashes its terminator as the second; an empty or null name hashes 0.
int ResourceNameHash(const char* name);

class CResourceTypeTable {
public:
    CResourceTypeTable();
    ~CResourceTypeTable();
    CResourceTypeTable(const CResourceTypeTable&) = delete;
    CResourceTypeTable& operator=(const CResourceTypeTable&) = delete;

    // The next free number (1, 2, ... 101). Past 101 there is none: -1, and a log line (a
    // 102nd type would overwrite the 101st).
    int AllocNumber();
    // Takes ownership. A number outside 1-101 is refused (the type is deleted, a log line,
    // false); a type already at the number is replaced. Numbers at or above the next free one
    // move it past them.
    bool Add(CResourceType* type);
    // Exact (case-sensitive) internal name; null when absent.
    CResourceType* FindByName(const char* name) const;
    // The type number of the name, 0 when there is none.
    int FindNumber(const char* name) const;
    // Null outside 0-101 and for a free number.
    CResourceType* GetByNumber(int number) const;
    int GetNextNumber() const { return next_; }
    int CountTypes() const;
    void Clear();

private:
    void Unlink(CResourceType* type);
    int next_ = 1;
    std::unique_ptr<CResourceType> types_[kResourceTypeSlots];
    CResourceType* buckets_[kResourceHashBuckets] = {};
};

// The server's one table.
CResourceTypeTable& GetResourceTypes();
