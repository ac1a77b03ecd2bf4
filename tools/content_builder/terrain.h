#pragma once
// The demo world's terrain and scenery, generated from fixed integer rules (the same bytes on
// every build): an island in the sea with a sandy shore, grass, a forest in the west, hills with
// a rocky peak in the north-east, a river from the hills to the south coast crossed by a bridge,
// a small town of stone houses (walls, door, windows, floors, roofs) with a square, and dirt
// paths between them.
#include <string>
#include <vector>

#include "core/location.h"
#include "tools/content_builder/map_files.h"

// Places of the demo world that tests and start-up content refer to.
struct DemoPlaces {
    Location townSquare;    // the middle of the cobbled square
    Location houseInside;   // on the floor inside the first house
    Location houseDoor;     // the doorway of the first house (its door is a town object)
    Location houseWall;     // a wall tile of the first house
    Location houseWindow;   // a window of the first house
    Location bridgeMiddle;  // on the bridge over the river
    Location riverWater;    // river water away from the bridge
    Location hillTop;       // the grassy top of the lower hill
    Location rockPeak;      // the rocky peak of the high hill
    Location beach;         // the sand of the south shore
    Location sea;           // open water off the island
    Location tree;          // a tree trunk in the forest
    Location campFire;      // a camp fire at the forest's edge
};

// A named rectangle (exclusive right and bottom) for the resource regions.
struct DemoRegion {
    std::string name;
    int left, top, right, bottom;
};

struct DemoWorld {
    TerrainGrid terrain;
    std::vector<StaticEntry> statics;
    DemoPlaces places;
    std::vector<DemoRegion> resourceRegions;
};

// The world over the rectangle (x0, y0, width, height); width and height are whole cells
// (multiples of 8) of at least 256 tiles.
DemoWorld BuildDemoWorld(int x0, int y0, int width, int height);
