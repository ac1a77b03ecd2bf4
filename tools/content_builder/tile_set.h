#pragma once
// The demo's designed tile set: the land tiles and static graphics the demo world is made of,
// with names, the flags the server reads (impassable, wet, surface, bridge, stackable, blocks
// sight, container, wearable, door, roof, ...), heights, weights, layers and values; and the
// hues, animation data and art sizes that go with them. The server's and the client's copies
// of these files come from this one description.
#include <vector>

#include "tools/content_builder/map_files.h"

namespace demo_tiles {

// Land tiles.
constexpr u16 kGrass = 3;       // 3-6
constexpr u16 kDirt = 113;      // 113-116: paths (also barred to movement type 8)
constexpr u16 kSand = 22;       // 22-25: shore
constexpr u16 kWater = 168;     // 168-171: wet, impassable, never a valid last place
constexpr u16 kForest = 196;    // 196-199: forest floor
constexpr u16 kRock = 220;      // 220-223: impassable rock that blocks sight
constexpr u16 kCobbles = 1001;  // 1001-1004: the town square

// Statics.
constexpr u16 kStoneWall = 100;   // 100-103: walls, height 20, block sight
constexpr u16 kWindowWall = 104;  // impassable, lets sight through
constexpr u16 kWoodFloor = 1169;  // 1169-1172: surface, height 0
constexpr u16 kRoof = 1414;       // 1414-1417: roof, surface, height 3
constexpr u16 kStairs = 1801;     // surface and bridge, height 5
constexpr u16 kDoor = 1653;       // closed door: impassable, blocks sight
constexpr u16 kDoorOpen = 1654;   // the open door (the next graphic)
constexpr u16 kBridge = 1993;     // 1993-1996: bridge planks, surface and bridge, height 2
constexpr u16 kCampFire = 2839;
constexpr u16 kTable = 2868;      // surface, height 6
constexpr u16 kChair = 2902;      // surface, height 3
constexpr u16 kTree = 3274;       // 3274-3277: trunks, impassable, block sight, height 20
constexpr u16 kLeaves = 3278;     // foliage, background
constexpr u16 kBackpack = 3701;   // container, wearable on layer 21
constexpr u16 kChest = 3645;      // container, height 4
constexpr u16 kBag = 3702;        // container (window 61)
constexpr u16 kGold = 3821;       // stackable: one gold a coin
constexpr u16 kLogs = 7133;       // stackable: one wood a log
constexpr u16 kIngots = 7154;     // stackable: one metal an ingot
constexpr u16 kBread = 4155;      // stackable: one wheat a loaf
constexpr u16 kLantern = 2597;    // a lamp to carry
constexpr u16 kLampPost = 2850;   // street lamp, impassable
constexpr u16 kShopSign = 2984;   // hanging shop sign
constexpr u16 kLongSword = 3937;  // weapon, layer 1
constexpr u16 kTunic = 5068;      // armour, layer 13
constexpr u16 kShield = 7026;     // shield, layer 2
constexpr u16 kStaff = 3721;      // two-handed staff, layer 2
constexpr u16 kMace = 3932;       // weapon, layer 1
constexpr u16 kSpear = 3938;      // two-handed spear, layer 2
constexpr u16 kBow = 5042;        // two-handed bow, layer 2; shoots kArrows
constexpr u16 kArrows = 3903;     // stackable ammunition: one wood an arrow
// A missile in flight is drawn with its ammunition's graphic + 3.
constexpr u16 kArrowMissile = kArrows + 3;
// Armour on the layers a strike can land on: head 6, neck 10, arms 19, hands 7; the boots
// (layer 3) are armour too.
constexpr u16 kLeatherCap = 7609;
constexpr u16 kGorget = 5063;
constexpr u16 kArmGuards = 5061;
constexpr u16 kGloves = 5062;
constexpr u16 kBlood = 0x1645;   // a splash of blood left where a strike lands
constexpr u16 kCorpse = 0x2006;  // the corpse a dead mobile leaves (a container)
constexpr u16 kPelt = 4216;      // stackable: one hide a pelt (what animals carry)
constexpr u16 kPants = 5433;     // trousers, layer 4
constexpr u16 kShirt = 5434;     // shirt, layer 5
constexpr u16 kSkirt = 5435;     // skirt, layer 23
constexpr u16 kBoots = 5899;     // boots, layer 3
// Robes on layer 22, both in the hue 0x8FD when death gives them: the ghost's shroud and the
// robe of the resurrected.
constexpr u16 kDeathRobe = 0x204E;
constexpr u16 kRobe = 0x1F03;
// Mount items worn on layer 25 by riders, by the mount's body; their animation body (the
// mount under its rider) is kMountAnimation.
constexpr u16 kMountItems = 16031;  // 16031-16034
constexpr u16 kMountAnimation = 700;
constexpr u16 kMap = 5355;        // map item
constexpr u16 kShortHair = 8251;  // hair, layer 11 (8252, 8253, 8260: more styles)
constexpr u16 kLongHair = 8252;
constexpr u16 kPonyTail = 8253;
constexpr u16 kMohawk = 8260;
constexpr u16 kGoatee = 8256;  // beards, layer 16
constexpr u16 kBeard = 8267;
constexpr u16 kShortBeard = 8268;
constexpr u16 kBoard = 7774;     // bulletin board (and 7775)
constexpr u16 kSignpost = 2980;  // impassable, height 12

}  // namespace demo_tiles

// The tile set (built once, the same every time).
const TileSet& DemoTileSet();
// The hue table: hue 0 plain, then families of 8 related hues.
std::vector<HueRecord> DemoHues();
// Animation bodies of worn graphics (the tile data's animation number): the picture of the
// item on a mobile and, + 50000 (male) or + 60000 (female), on the paperdoll.
struct WornAnimation {
    u16 graphic;
    u16 animation;
};
const std::vector<WornAnimation>& DemoWornAnimations();

// Animation records: the camp fire and the flickering lights.
std::vector<AnimRecord> DemoAnimData();
// Art sizes of the static graphics, measured from the generated art (art_files.h).
std::vector<std::pair<u16, u16>> DemoArtSizes();
