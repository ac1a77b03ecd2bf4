#include "tools/content_builder/economy_content.h"

#include <cstring>
#include <string>

#include "core/byte_order.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/tile_data.h"
#include "tools/content_builder/tile_set.h"

namespace {

struct DemoType {
    const char* name;
    const char* food;  // what it is when eaten, or the default
};

// The server asks for these by name: the held values of items, alignment, the food rules,
// the weapon materials, the ridable food of mounts, and wheat for bread.
const DemoType kTypes[] = {
    {"meat", "raw meat"},  {"water", "fresh water"}, {"self", nullptr},         {"humans", nullptr},
    {"feathers", nullptr}, {"hide", nullptr},        {"wool", nullptr},         {"gold", nullptr},
    {"magic", nullptr},    {"darkness", nullptr},    {"metal", nullptr},        {"cloth", nullptr},
    {"leather", nullptr},  {"wood", nullptr},        {"good", nullptr},         {"evil", nullptr},
    {"jewels", nullptr},   {"danger", nullptr},      {"CARNIVOREMEAT", "prey"}, {"bone", nullptr},
    {"weapon", nullptr},   {"RIDABLE", "hay"},       {"wheat", "grain"},
};

int TypeNumber(const char* name) {
    int n = 1;
    for (const DemoType& t : kTypes) {
        if (std::strcmp(t.name, name) == 0) return n;
        ++n;
    }
    return 0;
}

struct Need {
    u16 graphic;
    const char* type;
    s32 perUnit;
};

// What one unit of each stackable graphic of the tile set is made of.
const Need kNeeds[] = {
    {demo_tiles::kGold, "gold", 1},    {demo_tiles::kLogs, "wood", 1},
    {demo_tiles::kIngots, "metal", 1}, {demo_tiles::kBread, "wheat", 1},
    {demo_tiles::kArrows, "wood", 1},  {demo_tiles::kPelt, "hide", 1},
};

}  // namespace

const std::vector<const char*>& DemoResourceTypeNames() {
    static const std::vector<const char*> names = [] {
        std::vector<const char*> out;
        for (const DemoType& t : kTypes)
            out.push_back(t.name);
        return out;
    }();
    return names;
}

std::vector<u8> DemoResourceTypesFile() {
    std::vector<u8> out;
    AppendLe32(out, static_cast<u32>(std::size(kTypes)));
    int number = 1;
    for (const DemoType& t : kTypes) {
        CResourceType type;
        type.SetNumber(number++);
        type.SetInternalName(t.name);
        if (t.food) type.SetFoodName(t.food);
        type.Write(out);
    }
    return out;
}

std::vector<u8> DemoItemResourcesFile() {
    std::vector<u8> out;
    for (int graphic = 0; graphic < kTileCount; ++graphic) {
        std::vector<ResourceEntry> entries;
        for (const Need& need : kNeeds) {
            if (need.graphic != graphic) continue;
            ResourceEntry e;
            e.type = static_cast<u16>(TypeNumber(need.type));
            e.amounts[0] = need.perUnit;
            e.amounts[2] = need.perUnit;
            entries.push_back(e);
        }
        AppendLe32(out, static_cast<u32>(entries.size()));
        for (const ResourceEntry& e : entries)
            e.Write(out);
    }
    return out;
}
