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
    void Draw(const BlitTarget& target, const ScreenRect& clip) override;
    void UpdateScreenBox() override;
    void PlaceInCell() override;
    bool IsLand() const override { return true; }
    bool IsHidden() const override;

    int landGraphic = 0;
};

class TexturedLandTile : public CDisplayObject {
public:
    static TexturedLandTile* Allocate(int graphic, const ClientLocation& at, const s8 corners[4]);
    // The corner lights from the corner heights of the nine cells around (the cell is
    // nine[4]); set once when the map makes the cell.
    void SetCornerLights(const s8 nine[9][4]);
    void Destroy() override;
    // The two triangles filled from the land graphic's texture, lit per corner (grey while
    // the player is a ghost). Nothing for a cell facing away, graphic 2 or no texture; under
    // the level cut only the triangles whose highest corner is not above the cut.
    void Draw(const BlitTarget& target, const ScreenRect& clip) override;
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
    int lights[4] = {5, 5, 5, 5};
    // The two triangles as corner indexes, and the index of each one's highest corner.
    int triangles[2][3] = {{0, 1, 2}, {2, 3, 0}};
    int highest[2] = {0, 2};
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
