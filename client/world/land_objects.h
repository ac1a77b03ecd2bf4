#pragma once
// Land objects of the cell grid: flat tiles and tiles drawn as two textured triangles. Both
// come from pools; the client map makes one per cell of the window around the centre.
#include "client/world/display_object.h"
#include "client/world/object_pool.h"

class LandTile : public CDisplayObject {
public:
    static LandTile* Allocate(int graphic, const ClientLocation& at);
    void Destroy() override;
    // The land art at the box less the scroll offsets (grey while the player is a ghost);
    // graphic 2 is never drawn.
    void Draw(const ScreenRect& clip) override;
    void UpdateScreenBox() override;
    void PlaceInCell() override;
    bool IsLand() const override { return true; }
    bool IsHidden() const override;

    int landGraphic = 0;
};

class TexturedLandTile : public CDisplayObject {
public:
    static TexturedLandTile* Allocate(int graphic, const ClientLocation& at, const s8 corners[4]);
    void Destroy() override;
    void UpdateScreenBox() override;
    void PlaceInCell() override;
    bool IsLand() const override { return true; }
    bool IsTexturedLand() const override { return true; }
    bool IsHidden() const override;
    int GetStandZ() const override;
    int GetLowZ() const override;
    int GetEdgeZ(int direction) const override;

    int landGraphic = 0;
    s8 corners[4] = {};
    // The two corners the level cut compares (the cell's diagonal).
    int cutCorner[2] = {0, 2};
    int steepFlag = 0;  // corner 2 at least 11 above corner 0
};

PoolCounts& FlatLandPoolCounts();
PoolCounts& TexturedLandPoolCounts();

// The level record: level cut and roof levels.
struct LevelRecord {
    int cutOn = 0;
    int cutLevel = 0;
    int roofLevel = 127;
    int floodLevel = 127;
};
LevelRecord& TheLevels();
