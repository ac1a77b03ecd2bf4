#pragma once
// The two record files of the economy's vocabulary: `restypes.mul` (the resource types, 652
// bytes each after a u32 count) and `itemres.mul` (for each of the 0x4000 item graphics a u32
// count and that many 33-byte resource entries: the graphic's resource prototype). Readers
// check every count against the bytes present before they change anything.
#include <string>
#include <vector>

#include "platform/types.h"

class CResourceTypeTable;

inline constexpr const char* kResourceTypesPath = "../.rundir/restypes.mul";
inline constexpr const char* kItemResourcesPath = "../.rundir/itemres.mul";

// Every type of the table in number order, after their count.
std::vector<u8> WriteResourceTypeTable(const CResourceTypeTable& table);
// Replaces the table's types with the file's. 0, or -1 with a message in `error` when the
// bytes are fewer than the count needs (the table is then left as it was). Types whose
// number lies outside 1-101 are refused with a log line.
int LoadResourceTypes(const std::vector<u8>& bytes, CResourceTypeTable& table, std::string* error);

// The resource prototypes of every graphic.
std::vector<u8> WriteItemResourceTable();
// Replaces the resource prototypes with the file's. A held entry whose current amount is
// above its capacity is lowered to it. 0, or -1 with a message when a block's count runs past
// the bytes present (nothing is changed then).
int LoadItemResources(const std::vector<u8>& bytes, std::string* error);
