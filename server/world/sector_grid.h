#pragma once
// The server's rectangle of the world cut into cells of 8 x 8 tiles. Each cell holds the
// terrain of its tiles, the chains of static and dynamic objects standing in it, the
// objects listening for movement near them, and the ambience of the place.
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class CBaseObject;
class CItem;
class CPlayer;
class CStaticObject;
class CSectorResources;

struct TerrainEntry {
    u16 tile;
    s8 z;
};

struct RangeListener {
    CItem* object;
    int range;
    int trigger;
    RangeListener* next;
};

struct SectorCell {
    TerrainEntry terrain[8][8] = {};  // [y & 7][x & 7]; a fresh cell is tile 0 at z 0
    CStaticObject* statics = nullptr;
    CItem* objects = nullptr;
    CSectorResources* resources = nullptr;
    RangeListener* listeners = nullptr;
    u8 editFlags = 0;
    u16 music = 0xFFFF;
    u16 daySound = 0xFFFF;
    u16 nightSound = 0xFFFF;
    u16 light = 0;
};

// The ambience a region gives the cells it covers (the region manager hands these over).
struct AmbienceRegion {
    int x, y, width, height;
    u16 music;
    u16 daySound;
    u16 nightSound;
    u16 light;
};

class CSectorGrid {
public:
    static constexpr int kCellShift = 3;
    static constexpr int kRangeCapacity = 256;
    static constexpr int kListenerCapacity = 1024;

    CSectorGrid() = default;
    ~CSectorGrid();
    CSectorGrid(const CSectorGrid&) = delete;
    CSectorGrid& operator=(const CSectorGrid&) = delete;

    // Sizes the cells over the rectangle (x0, y0, width, height); width and height are cut
    // to whole cells. Any previous cells are dropped (their chains must be empty). Answers 0,
    // or -1 for a size that is not positive or too large.
    int Build(int x0, int y0, int width, int height);
    // The world build step: the cells over the configured corner, then the mobile table's
    // grid (the player and NPC grids, regions and the world load come with their parts).
    int Create(int width, int height);
    void SetCorner(int x0, int y0) {
        x0_ = x0;
        y0_ = y0;
    }

    void BeginAccess() {}
    void EndAccess() {}

    int GetX0() const { return x0_; }
    int GetY0() const { return y0_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetColumns() const { return columns_; }
    int GetRows() const { return rows_; }
    int GetCellCount() const { return static_cast<int>(cells_.size()); }

    int CellIndexAt(int x, int y) const;
    int CellIndexOf(const Location& at) const { return CellIndexAt(at.x, at.y); }
    void CellCorner(int cell, int& x, int& y) const;
    SectorCell* GetCell(int cell);
    const SectorCell* GetCell(int cell) const;
    SectorCell* CellAt(int x, int y) { return GetCell(CellIndexAt(x, y)); }
    // The terrain entry of a tile; null outside the grid.
    TerrainEntry* TerrainAt(int x, int y);
    const TerrainEntry* TerrainAt(int x, int y) const;

    bool Contains(int x, int y) const { return CellIndexAt(x, y) >= 0; }
    static bool IsInWorld(int x, int y) { return x >= 0 && x <= 6143 && y >= 0 && y <= 4095; }
    bool IsNearServerEdge(int x, int y) const;
    bool IsForeignArea(const Location&) const { return false; }
    // The cells the square of the radius around the Location touches, ended by -1; at most
    // capacity - 1 indices. Answers how many were written (without the -1).
    int CellsInRange(const Location& at, int radius, int* out, int capacity) const;

    void CollectObjectsAt(std::vector<CItem*>& out, const Location& at);
    void CollectObjectsAtOrAbove(std::vector<CItem*>& out, const Location& at);
    void CollectObjectsAtOrBelow(std::vector<CItem*>& out, const Location& at);

    // Sets the music, sounds and light of the cells from the regions: regions without music
    // or day sound first, then the others by decreasing area, so that the smallest region
    // with music or sound wins a cell.
    void ApplyRegionAmbience(const std::vector<AmbienceRegion>& regions);

    // Objects that lost what they stood on.
    void SettleObjects(const std::vector<u32>& serials);
    void SettleEach(const std::vector<u32>& serials);
    void SettleEachByPosition(const std::vector<CItem*>& objects);

    // Server-edge flags (north, west, south, east); nothing sets them in this system.
    int edgeNorth = 0;
    int edgeWest = 0;
    int edgeSouth = 0;
    int edgeEast = 0;

private:
    void SendToSafety(CPlayer* player);
    void GiveUp(CItem* object);
    bool SettleObject(CItem* object);

    int x0_ = 0;
    int y0_ = 0;
    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<SectorCell> cells_;
};

extern CSectorGrid g_sectorGrid;

// Visits the dynamic objects of every cell the square of `radius` around `at` touches (no
// distance test: those cells may hold objects a little farther away). `Item` stays a template
// parameter so that this header needs no complete item class.
template <typename Visit, typename Item = CItem>
void ForObjectsInCellsNear(const Location& at, int radius, Visit visit) {
    int cells[CSectorGrid::kRangeCapacity];
    g_sectorGrid.CellsInRange(at, radius, cells, CSectorGrid::kRangeCapacity);
    for (int i = 0; cells[i] != -1; ++i) {
        for (Item* item = g_sectorGrid.GetCell(cells[i])->objects; item;
             item = item->GetNextSibling())
            visit(item);
    }
}

// Range listeners: the objects whose scripts want to hear of movement near them.
void AddRangeListeners(CItem* object);
void RemoveRangeListeners(CItem* object);
// 1 when every listener within 7 tiles of `from` let the mover pass; 0 when one refused or the
// mover no longer exists.
int FireRangeTriggers(CItem* mover, const Location& from, const Location& to);
