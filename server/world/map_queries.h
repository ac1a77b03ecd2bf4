#pragma once
// The shape of the world at a tile: terrain tile and height, the surfaces an object can stand
// on, the z at which something of a given height fits, free spots near a place, and whether
// one point sees another. Stateless apart from a few process-wide scratch values; reads the
// sector grid's terrain and object chains and the tile data. -128 stands for "no z".
#include <functional>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class CBaseObject;
class CItem;
class CPlayer;
struct ShoveContext;

constexpr int kNoZ = -128;

struct MapSurface {
    u32 flags;
    s16 z;
    s16 height;
    const CBaseObject* object;
    int Top() const;
};

// What stops a line of sight besides the terrain: walls and no-shoot tiles (sight), and
// impassable tiles (missiles). The bits combine.
enum SightBlockers : u8 {
    kSightTerrainOnly = 0,
    kSightWalls = 1,
    kSightImpassable = 2,
};

// The bits of CanExistAt's answer (0 when the place is blocked).
enum ExistBits : int {
    kExistFits = 1,
    kExistOnSurfaceTop = 2,
    kExistSurfaceThere = 4,
};

// Where GetStandRange takes the terrain height from.
enum class StandTerrain : u8 { kElevation, kTowardsDirection };

struct SightBlockTest {
    int top;
    u32 mask;
};

class CWorldMap {
public:
    // Terrain.
    int GetCornerZ(int x, int y) const;
    int GetTerrainTile(const Location& at) const { return GetTerrainTileAt(at.x, at.y); }
    int GetTerrainTileAt(int x, int y) const;
    int GetElevation(int x, int y) const;
    int GetLowestCornerZ(int x, int y) const;
    int GetTerrainZTowards(const Location& at, int direction) const;
    const int* GetCornerHeights(int x, int y);
    bool IsInvalidTerrainAt(const Location& at) const;

    // Surfaces and z.
    void CollectSurfaces(std::vector<MapSurface>& out, const Location& at, int moveType,
                         const CBaseObject* mover, int terrainZOffset) const;
    // `excluded` (when given) is looked through, as if it were not there.
    int CanExistAt(const Location& at, int height, int moveType, const CBaseObject* mover,
                   int terrainZOffset, const CBaseObject* excluded = nullptr) const;
    int FindGoodZ(const Location& at, int low, int high, int height, int moveType,
                  const CBaseObject* mover, int terrainZOffset) const;
    void GetStandRange(int& low, int& high, const Location& at, int direction, int moveType,
                       const CBaseObject* mover, StandTerrain from) const;
    int GetFloorZ(const Location& at) const;
    bool SettleObjectZ(CBaseObject* object, int& z, int height);
    bool DropCheck(Location& at, int& z, int height) const;

    // Spots.
    bool FindGoodSpotNearWithElev(Location& at, int low, int high, int minDistance, int maxDistance,
                                  int height, int moveType, const CBaseObject* mover);
    bool FindGoodSpotNear(Location& at, int minDistance, int maxDistance, int height, int moveType,
                          const CBaseObject* mover) {
        return FindGoodSpotNearWithElev(at, -128, 128, minDistance, maxDistance, height, moveType,
                                        mover);
    }
    using SpotFilter = std::function<bool(const Location&)>;
    bool FindRandomSpotInRect(Location& out, const Location& cornerA, const Location& cornerB,
                              int density, int height, int moveType, const CBaseObject* mover,
                              const SpotFilter& filter) const;
    using ObjectFilter = std::function<bool(CItem*)>;
    int CollectObjectsAt(int x, int y, int zLow, int zHigh, std::vector<CItem*>& out,
                         const ObjectFilter& filter) const;
    CItem* FindDoorAt(const Location& at, int zLow, int zHigh) const;

    // Sight and distance.
    bool HasLineOfSight(const Location& from, const Location& to, SightBlockers blockers) const;
    bool IsBlockedAt(const Location& at, const SightBlockTest& test) const;
    static int Distance3D(const Location& a, const Location& b);

    bool IsSettling() const { return settling_; }

    // A player's step request (map_step.cpp): a turn when the direction differs from the
    // facing, else the move, with the shove through a mobile in the way, or the rejection.
    // `shove` is the step's context (map_step.h), the caller's for the length of the step.
    void HandlePlayerStep(CPlayer* player, int direction, int sequence, ShoveContext& shove);

private:
    bool settling_ = false;
    int sideOrder_[4] = {0, 1, 2, 3};
    int cornerHeights_[4] = {};
};

extern CWorldMap g_worldMap;

// Line of sight between two objects, each raised by half its height.
bool ItemCanSee(const CItem& from, const CItem& to, SightBlockers blockers);
