#include "tools/content_builder/multi_content.h"

#include "tools/content_builder/tile_set.h"

namespace {
using namespace demo_tiles;
constexpr s16 kStoreyHeight = 20;

void Add(CMultiDef& def, u16 graphic, int x, int y, int z) {
    MultiComponentEntry e;
    e.graphic = graphic;
    e.offset = Location(static_cast<s16>(x), static_cast<s16>(y), static_cast<s16>(z));
    def.components.push_back(std::move(e));
}

// A storey of a square house whose walls run from (-2, -5) to (2, -1) around the master at
// (0, 0): floor inside, walls round, the door south, a window east.
void AddStorey(CMultiDef& def, int z, bool withDoor) {
    for (int y = -4; y <= -2; ++y)
        for (int x = -1; x <= 1; ++x) Add(def, kWoodFloor, x, y, z);
    for (int y = -5; y <= -1; ++y) {
        for (int x = -2; x <= 2; ++x) {
            if (x > -2 && x < 2 && y > -5 && y < -1) continue;
            if (withDoor && x == 0 && y == -1)
                Add(def, kDoor, x, y, z);
            else if (x == 2 && y == -3)
                Add(def, kWindowWall, x, y, z);
            else
                Add(def, kStoneWall, x, y, z);
        }
    }
}

void AddRoof(CMultiDef& def, int z) {
    for (int y = -5; y <= -1; ++y)
        for (int x = -2; x <= 2; ++x) Add(def, kRoof, x, y, z);
}

CMultiDef Cottage() {
    CMultiDef def;
    Add(def, kShopSign, 0, 0, 0);  // the master: the sign before the door
    AddStorey(def, 0, true);
    AddRoof(def, kStoreyHeight);
    return def;
}

CMultiDef TwoStoreyHouse() {
    CMultiDef def;
    Add(def, kShopSign, 0, 0, 0);
    AddStorey(def, 0, true);
    Add(def, kStairs, -1, -4, 0);
    AddStorey(def, kStoreyHeight, false);
    AddRoof(def, 2 * kStoreyHeight);
    return def;
}

// A deck three tiles wide and seven long around the master at its centre, its bow towards
// the facing; the diagonal facings keep the hull of the facing before them.
CMultiDef Boat(int facing) {
    const int quarter = facing / 2;  // quarter turns clockwise from north
    CMultiDef def;
    Add(def, kWoodFloor, 0, 0, 0);
    for (int along = -3; along <= 3; ++along) {
        for (int across = -1; across <= 1; ++across) {
            if (along == 0 && across == 0) continue;
            int x = across, y = along;
            for (int q = 0; q < quarter; ++q) {
                const int t = x;
                x = -y;
                y = t;
            }
            Add(def, kWoodFloor, x, y, 0);
        }
    }
    return def;
}
}  // namespace

std::map<int, CMultiDef> DemoMultiDefinitions() {
    std::map<int, CMultiDef> defs;
    defs[kCottageMultiType] = Cottage();
    defs[kTwoStoreyMultiType] = TwoStoreyHouse();
    for (int f = 0; f < kFacingCount; ++f) defs[kBoatMultiType + f] = Boat(f);
    for (auto& [type, def] : defs) ComputeMultiExtents(def);
    return defs;
}

void BuildDemoMultiFiles(std::vector<u8>& index, std::vector<u8>& data) {
    CMultiTable table;
    for (auto& [type, def] : DemoMultiDefinitions()) table.Insert(type, def);
    table.BuildMultiFiles(index, data);
}
