#pragma once
// The demo's multi types: a cottage, a two-storey house and a boat in eight facings. One
// table gives the server's multi.txt (a member of the server data, demo_content) and the
// client's multi.idx/multi.mul.
#include <map>
#include <string>
#include <vector>

#include "server/world/multi_table.h"

constexpr int kCottageMultiType = 1;
constexpr int kTwoStoreyMultiType = 2;
// Turning multis come in groups of eight types, one per facing, from this type on.
constexpr int kBoatMultiType = 2000;
constexpr int kFacingCount = 8;

// The definitions, deterministic.
std::map<int, CMultiDef> DemoMultiDefinitions();

// The client's pair from the same table.
void BuildDemoMultiFiles(std::vector<u8>& index, std::vector<u8>& data);
