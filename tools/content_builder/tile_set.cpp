#include "tools/content_builder/tile_set.h"

#include <cstdio>
#include <cstring>

#include "tools/content_builder/art_files.h"
#include "tools/content_builder/mobile_content.h"

namespace {

using namespace demo_tiles;

// What a bag, a chest or a backpack holds at most.
constexpr u32 kContainerStones = 400;

void Land(TileSet& t, int first, int count, u32 flags, const char* name) {
    for (int i = first; i < first + count; ++i) {
        LandTileRecord& r = t.land[i];
        r.flags = flags;
        r.texture = static_cast<u16>(i);
        std::memcpy(r.name, name, strnlen(name, 20));
    }
}

struct StaticDef {
    u32 flags;
    int height;
    int weight;
    int layer;
    int baseValue;
    const char* name;
    u32 value = 0;  // the 32-bit value: a container's capacity in stones
};

void Static(TileSet& t, int first, int count, const StaticDef& d) {
    for (int i = first; i < first + count; ++i) {
        StaticTileRecord& r = t.statics[i];
        r.flags = d.flags;
        r.height = static_cast<u8>(d.height);
        r.weight = static_cast<u8>(d.weight);
        r.layer = static_cast<u8>(d.layer);
        r.light = static_cast<u16>(d.baseValue);  // word 14: the server's base value
        r.value = d.value;
        std::memcpy(r.name, d.name, strnlen(d.name, 20));
    }
}

TileSet BuildTileSet() {
    TileSet t;
    Land(t, 0, 1, 0, "void");
    Land(t, 2, 1, kTileImpassable, "no draw");
    Land(t, kGrass, 4, 0, "grass");
    Land(t, kSand, 4, 0, "sand");
    Land(t, kDirt, 4, 0, "dirt");
    Land(t, kWater, 4, kTileWet | kTileImpassable, "water");
    Land(t, kForest, 4, 0, "forest");
    Land(t, kRock, 4, kTileImpassable | kTileBackground, "rock");
    Land(t, kCobbles, 4, 0, "cobblestones");

    const u32 wall = kTileImpassable | kTileWall | kTileNoShoot;
    Static(t, kStoneWall, 4, {wall, 20, 255, 0, 0, "stone wall"});
    Static(t, kWindowWall, 1, {kTileImpassable, 20, 255, 0, 0, "window"});
    Static(t, kWoodFloor, 4, {kTileSurface, 0, 255, 0, 0, "wooden floor"});
    Static(t, kRoof, 4, {kTileRoof | kTileSurface, 3, 255, 0, 0, "roof"});
    Static(t, kStairs, 1, {kTileSurface | kTileBridge, 5, 255, 0, 0, "stairs"});
    Static(t, kDoor, 1,
           {kTileDoor | kTileImpassable | kTileNoShoot | kTileArticleA, 20, 255, 0, 0, "door"});
    Static(t, kDoorOpen, 1, {kTileDoor | kTileArticleA, 20, 255, 0, 0, "door"});
    Static(t, kBridge, 4, {kTileSurface | kTileBridge, 2, 255, 0, 0, "bridge"});
    Static(t, kCampFire, 1, {kTileAnimated | kTileArticleA, 2, 255, 0, 0, "camp fire"});
    Static(t, kTable, 1, {kTileSurface | kTileArticleA, 6, 20, 0, 20, "table"});
    Static(t, kChair, 1, {kTileSurface | kTileArticleA, 3, 10, 0, 10, "chair"});
    Static(t, kTree, 4, {kTileImpassable | kTileNoShoot | kTileArticleA, 20, 255, 0, 0, "tree"});
    Static(t, kLeaves, 1, {kTileBackground, 20, 255, 0, 0, "leaves"});
    Static(t, kBackpack, 1,
           {kTileContainer | kTileWearable | kTileArticleA, 3, 3, 21, 15, "backpack"});
    Static(t, kChest, 1,
           {kTileContainer | kTileArticleA, 4, 15, 0, 30, "wooden chest", kContainerStones});
    Static(t, kBag, 1, {kTileContainer | kTileArticleA, 2, 1, 0, 5, "bag", kContainerStones});
    // Stackable goods: the '%' pieces give the plural (%plural/singular%).
    Static(t, kGold, 1, {kTileGeneric, 0, 0, 0, 1, "gold coin%s%"});
    Static(t, kLogs, 1, {kTileGeneric | kTileArticleA, 1, 2, 0, 2, "log%s%"});
    Static(t, kIngots, 1, {kTileGeneric | kTileArticleAn, 1, 1, 0, 5, "ingot%s%"});
    Static(t, kBread, 1, {kTileGeneric | kTileArticleA, 1, 1, 0, 1, "loa%ves/f% of bread"});
    Static(t, kLantern, 1, {kTileArticleA, 8, 3, 0, 12, "lantern"});
    Static(t, kLampPost, 1, {kTileImpassable | kTileArticleA, 18, 255, 0, 0, "lamp post"});
    Static(t, kShopSign, 1, {kTileArticleA, 6, 255, 0, 0, "shop sign"});
    Static(t, kLongSword, 1,
           {kTileWeapon | kTileWearable | kTileArticleA, 1, 7, 1, 55, "long sword"});
    Static(t, kTunic, 1,
           {kTileArmour | kTileWearable | kTileArticleA, 1, 4, 13, 40, "leather tunic"});
    Static(t, kShield, 1,
           {kTileArmour | kTileWearable | kTileArticleA, 1, 5, 2, 30, "wooden shield"});
    Static(t, kStaff, 1,
           {kTileWeapon | kTileWearable | kTileArticleA, 1, 4, 2, 20, "quarter staff"});
    const u32 weapon = kTileWeapon | kTileWearable | kTileArticleA;
    const u32 armour = kTileArmour | kTileWearable;
    Static(t, kMace, 1, {weapon, 1, 8, 1, 45, "mace"});
    Static(t, kSpear, 1, {weapon, 1, 9, 2, 50, "long spear"});
    Static(t, kBow, 1, {weapon, 1, 6, 2, 60, "bow"});
    Static(t, kArrows, 1, {kTileGeneric | kTileArticleAn, 0, 1, 0, 1, "arrow%s%"});
    Static(t, kArrowMissile, 1, {kTileArticleAn, 0, 0, 0, 0, "arrow"});
    Static(t, kLeatherCap, 1, {armour | kTileArticleA, 1, 1, 6, 15, "leather cap"});
    Static(t, kGorget, 1, {armour | kTileArticleA, 1, 2, 10, 20, "leather gorget"});
    Static(t, kArmGuards, 1, {armour, 1, 2, 19, 25, "leather sleeves"});
    Static(t, kGloves, 1, {armour, 1, 1, 7, 15, "leather gloves"});
    Static(t, kBlood, 1, {0, 0, 255, 0, 0, "blood"});
    // A corpse holds what its mobile carried; it is drawn from the body's death pictures.
    Static(t, kCorpse, 1,
           {kTileContainer | kTileArticleA, 2, 50, 0, 0, "corpse", kContainerStones});
    Static(t, kPelt, 1, {kTileGeneric | kTileArticleA, 1, 2, 0, 10, "pelt%s%"});
    Static(t, kPants, 1, {kTileWearable | kTileArticleA, 1, 2, 4, 10, "pair of trousers"});
    Static(t, kShirt, 1, {kTileWearable | kTileArticleA, 1, 1, 5, 8, "shirt"});
    Static(t, kSkirt, 1, {kTileWearable | kTileArticleA, 1, 2, 23, 10, "skirt"});
    Static(t, kDeathRobe, 1, {kTileWearable | kTileArticleA, 1, 2, 22, 0, "death robe"});
    Static(t, kRobe, 1, {kTileWearable | kTileArticleA, 1, 2, 22, 12, "robe"});
    Static(t, kBoots, 1,
           {kTileArmour | kTileWearable | kTileArticleA, 1, 3, 3, 15, "pair of boots"});
    Static(t, kMountItems, 4, {kTileWearable, 0, 0, 25, 0, "mount"});
    for (int i = 0; i < 4; ++i)
        t.statics[kMountItems + i].animation = kMountAnimation;
    // The tile value of a wieldable names its weapon template.
    t.statics[kLongSword].value = demo_weapons::kLongSwordTemplate;
    t.statics[kTunic].value = demo_weapons::kTunicTemplate;
    t.statics[kShield].value = demo_weapons::kShieldTemplate;
    t.statics[kStaff].value = demo_weapons::kStaffTemplate;
    t.statics[kMace].value = demo_weapons::kMaceTemplate;
    t.statics[kSpear].value = demo_weapons::kSpearTemplate;
    t.statics[kBow].value = demo_weapons::kBowTemplate;
    t.statics[kLeatherCap].value = demo_weapons::kCapTemplate;
    t.statics[kGorget].value = demo_weapons::kGorgetTemplate;
    t.statics[kArmGuards].value = demo_weapons::kSleevesTemplate;
    t.statics[kGloves].value = demo_weapons::kGlovesTemplate;
    t.statics[kBoots].value = demo_weapons::kBootsTemplate;
    Static(t, kMap, 1, {kTileMap | kTileArticleA, 0, 1, 0, 10, "map"});
    Static(t, kShortHair, 1, {kTileWearable, 0, 0, 11, 0, "short hair"});
    Static(t, kLongHair, 1, {kTileWearable, 0, 0, 11, 0, "long hair"});
    Static(t, kPonyTail, 1, {kTileWearable, 0, 0, 11, 0, "ponytail"});
    Static(t, kMohawk, 1, {kTileWearable, 0, 0, 11, 0, "mohawk"});
    Static(t, kGoatee, 1, {kTileWearable, 0, 0, 16, 0, "goatee"});
    Static(t, kBeard, 1, {kTileWearable, 0, 0, 16, 0, "beard"});
    Static(t, kShortBeard, 1, {kTileWearable, 0, 0, 16, 0, "short beard"});
    for (const WornAnimation& w : DemoWornAnimations())
        t.statics[w.graphic].animation = w.animation;
    Static(t, kBoard, 2, {kTileContainer | kTileArticleA, 12, 255, 0, 0, "bulletin board"});
    Static(t, kSignpost, 1, {kTileImpassable | kTileArticleA, 12, 255, 0, 0, "signpost"});
    return t;
}

}  // namespace

const std::vector<WornAnimation>& DemoWornAnimations() {
    static const std::vector<WornAnimation> worn = {
        {kTunic, 500},  {kShirt, 510},      {kLongSword, 520}, {kPants, 530},
        {kSkirt, 535},  {kBoots, 540},      {kMace, 521},      {kSpear, 522},
        {kBow, 523},    {kLeatherCap, 545}, {kGorget, 546},    {kArmGuards, 547},
        {kGloves, 548}, {kShortHair, 600},  {kLongHair, 601},  {kPonyTail, 602},
        {kMohawk, 603}, {kGoatee, 660},     {kBeard, 661},     {kShortBeard, 662},
        {kDeathRobe, 511}, {kRobe, 512},
    };
    return worn;
}

const TileSet& DemoTileSet() {
    static const TileSet tiles = BuildTileSet();
    return tiles;
}

std::vector<HueRecord> DemoHues() {
    // 15-bit colours (5 bits each of red, green, blue); each family ramps from dark to light.
    struct Family {
        const char* name;
        int r, g, b;  // the full-strength colour, 0-31 each
    } families[] = {
        {"red", 28, 4, 4},   {"orange", 30, 16, 2}, {"yellow", 30, 28, 6}, {"green", 6, 26, 6},
        {"teal", 4, 24, 22}, {"blue", 6, 10, 30},   {"purple", 20, 6, 28}, {"grey", 20, 20, 20},
    };
    std::vector<HueRecord> hues(kHueCount);
    for (int i = 1; i < kHueCount; ++i) {
        HueRecord& h = hues[i];
        const Family& f = families[(i - 1) / 8 % 8];
        const int shade = (i - 1) % 8;  // 0 darkest .. 7 lightest
        for (int c = 0; c < 32; ++c) {
            // Brightness rises along the table; lighter shades start higher.
            const int level = (c * (8 + shade * 3)) / 31 + shade;  // 0 .. 36
            auto channel = [&](int full) {
                const int v = full * level / 36;
                return v > 31 ? 31 : v;
            };
            h.colours[c] =
                static_cast<u16>((channel(f.r) << 10) | (channel(f.g) << 5) | channel(f.b));
        }
        h.tableStart = h.colours[0];
        h.tableEnd = h.colours[31];
        std::snprintf(h.name, sizeof h.name, "%s %d", f.name, shade + 1);
    }
    return hues;
}

std::vector<AnimRecord> DemoAnimData() {
    std::vector<AnimRecord> records(kTileCount);
    AnimRecord& fire = records[kCampFire];
    for (int i = 0; i < 4; ++i)
        fire.frames[i] = static_cast<s8>(i);
    fire.frameCount = 4;
    fire.interval = 2;
    return records;
}

std::vector<std::pair<u16, u16>> DemoArtSizes() {
    return MeasureStaticArt(BuildDemoArt());
}
