#include "server/world/map_queries.h"

#include <algorithm>
#include <cstdlib>

#include "platform/random.h"
#include "server/world/item.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"

CWorldMap g_worldMap;

namespace {
// Corners by direction >> 1: (1, 0), (1, 1), (0, 1), (0, 0).
constexpr int kCornerOffsets[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
constexpr u32 kStandBits = kMoveSurface | kMoveBridge;
}  // namespace

int MapSurface::Top() const {
    if (object && (flags & kMoveBridge)) return z + height / 2;
    return z + height;
}

// ---------------------------------------------------------------- terrain

int CWorldMap::GetCornerZ(int x, int y) const {
    const TerrainEntry* entry = g_sectorGrid.TerrainAt(x, y);
    return entry ? entry->z : 0;
}

int CWorldMap::GetTerrainTileAt(int x, int y) const {
    const TerrainEntry* entry = g_sectorGrid.TerrainAt(x, y);
    return entry ? entry->tile : 0;
}

int CWorldMap::GetElevation(int x, int y) const {
    if (!g_sectorGrid.Contains(x + 1, y + 1)) return GetCornerZ(x, y);
    const int a = GetCornerZ(x, y);
    const int b = GetCornerZ(x + 1, y);
    const int c = GetCornerZ(x + 1, y + 1);
    const int d = GetCornerZ(x, y + 1);
    if (std::abs(a - c) > std::abs(b - d)) return (b + d) >> 1;
    return (a + c) >> 1;
}

int CWorldMap::GetLowestCornerZ(int x, int y) const {
    if (!g_sectorGrid.Contains(x + 1, y + 1)) return GetCornerZ(x, y);
    return std::min(
        {GetCornerZ(x, y), GetCornerZ(x + 1, y), GetCornerZ(x + 1, y + 1), GetCornerZ(x, y + 1)});
}

int CWorldMap::GetTerrainZTowards(const Location& at, int direction) const {
    if (!g_sectorGrid.Contains(at.x + 1, at.y + 1)) return GetCornerZ(at.x, at.y);
    direction &= 7;
    const int* corner = kCornerOffsets[direction >> 1];
    const int first = GetCornerZ(at.x + corner[0], at.y + corner[1]);
    if (direction & 1) return first;
    const int* other = kCornerOffsets[((direction - 1) >> 1) & 3];
    const int second = GetCornerZ(at.x + other[0], at.y + other[1]);
    return (first + second) >> 1;
}

const int* CWorldMap::GetCornerHeights(int x, int y) {
    cornerHeights_[0] = GetCornerZ(x, y);
    cornerHeights_[1] = GetCornerZ(x + 1, y);
    cornerHeights_[2] = GetCornerZ(x + 1, y + 1);
    cornerHeights_[3] = GetCornerZ(x, y + 1);
    return cornerHeights_;
}

bool CWorldMap::IsInvalidTerrainAt(const Location& at) const {
    return IsInvalidTerrainTile(GetTerrainTile(at));
}

// ---------------------------------------------------------------- surfaces

void CWorldMap::CollectSurfaces(std::vector<MapSurface>& out, const Location& at, int moveType,
                                const CBaseObject* mover, int terrainZOffset) const {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    if (!cell) return;
    const int tile = GetTerrainTileAt(at.x, at.y);
    const u32 landFlags =
        mover ? mover->GetLandMoveClass(tile) : GetLandMoveClassFor(tile, moveType);
    if (landFlags) {
        const int lowest = GetLowestCornerZ(at.x, at.y);
        const int elevation = GetElevation(at.x, at.y);
        out.push_back({landFlags, static_cast<s16>(lowest + terrainZOffset),
                       static_cast<s16>(elevation - lowest), nullptr});
    }
    for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
        const Location& l = item->GetLocation();
        if (l.x != at.x || l.y != at.y) continue;
        const u32 flags = mover ? mover->GetMoveClassDefault(*item) : item->GetMoveClass(moveType);
        if (flags) out.push_back({flags, l.z, static_cast<s16>(item->GetHeight()), item});
    }
    for (const CStaticObject* s = cell->statics; s; s = s->next) {
        const Location& l = s->GetLocation();
        if (l.x != at.x || l.y != at.y) continue;
        const u32 flags = mover ? mover->GetMoveClassDefault(*s) : s->GetMoveClass(moveType);
        if (!flags) continue;
        s16 z = l.z;
        if ((moveType == 3 || moveType == 4) && s->GetType() == 6038 && z == -1) z = -5;
        out.push_back({flags, z, static_cast<s16>(s->GetHeight()), s});
    }
}

int CWorldMap::CanExistAt(const Location& at, int height, int moveType, const CBaseObject* mover,
                          int terrainZOffset, const CBaseObject* excluded) const {
    std::vector<MapSurface> surfaces;
    CollectSurfaces(surfaces, at, moveType, mover, terrainZOffset);
    int answer = kExistFits;
    for (const MapSurface& s : surfaces) {
        if (excluded && s.object == excluded) continue;
        if ((s.flags & kMoveBlocking) && s.z < at.z + height && s.Top() > at.z) return 0;
        if (s.flags & kMoveSurface) {
            answer |= kExistSurfaceThere;
            if (s.Top() == at.z) answer |= kExistOnSurfaceTop;
        }
    }
    return answer;
}

int CWorldMap::FindGoodZ(const Location& at, int low, int high, int height, int moveType,
                         const CBaseObject* mover, int terrainZOffset) const {
    if (!g_sectorGrid.Contains(at.x, at.y)) return kNoZ;
    std::vector<MapSurface> list;
    CollectSurfaces(list, at, moveType, mover, terrainZOffset);
    std::stable_sort(list.begin(), list.end(), [](const MapSurface& a, const MapSurface& b) {
        if (a.z != b.z) return a.z < b.z;
        return a.height < b.height;
    });
    list.push_back({kMoveBlocking, 128, 128, nullptr});
    int z = at.z;
    if (z < low) z = low;
    int best = kNoZ;
    int bestDistance = 1000000;
    int floor = low;
    int highestTop = kNoZ;
    for (size_t i = 0; i < list.size(); ++i) {
        const MapSurface& b = list[i];
        if (!(b.flags & kMoveBlocking)) continue;
        if (b.z - floor >= height) {
            for (size_t j = i; j-- > 0;) {
                const MapSurface& s = list[j];
                if (!(s.flags & kStandBits)) continue;
                int t = s.Top();
                if (t < highestTop || b.z - t < height) continue;
                const bool fits = (t <= high && (s.flags & kMoveSurface)) ||
                                  ((s.flags & kMoveBridge) && s.z <= high);
                if (!fits) continue;
                int distance;
                if (t > z) {
                    distance = t - z;
                } else if (moveType == kMoveTypeFlying) {
                    if (z + height <= b.z) {
                        t = z;
                        distance = 0;
                    } else {
                        t = b.z - height;
                        distance = z - t;
                    }
                } else {
                    distance = z - t;
                }
                if (distance < bestDistance) {
                    best = t;
                    bestDistance = distance;
                }
            }
        }
        const int top = b.Top();
        if (top > floor) floor = top;
        if (top > highestTop) highestTop = top;
    }
    return best;
}

void CWorldMap::GetStandRange(int& low, int& high, const Location& at, int direction, int moveType,
                              const CBaseObject* mover, StandTerrain from) const {
    std::vector<MapSurface> list;
    CollectSurfaces(list, at, moveType, mover, 0);
    low = kNoZ;
    high = at.z;
    if (list.empty()) return;
    const MapSurface& terrain = list[0];
    if ((terrain.flags & kMoveSurface) && terrain.Top() <= at.z) {
        const int t = from == StandTerrain::kTowardsDirection
                          ? GetTerrainZTowards(at, direction & 7)
                          : GetElevation(at.x, at.y);
        low = std::max(low, t);
        high = std::max(high, t);
    }
    for (size_t i = 1; i < list.size(); ++i) {
        const MapSurface& s = list[i];
        if ((s.flags & kMoveBlocking) && s.Top() <= at.z) low = std::max(low, s.Top());
        if ((s.flags & kMoveBridge) && s.Top() == at.z) {
            high = std::max(high, s.z + s.height);
            low = std::min(low, static_cast<int>(s.z));
        }
    }
}

int CWorldMap::GetFloorZ(const Location& at) const {
    int r = kNoZ;
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    auto consider = [&](const CBaseObject& object) {
        const Location& l = object.GetLocation();
        if (l.x != at.x || l.y != at.y) return;
        const u32 flags = object.GetObjectFlags();
        const int height = object.GetHeight();
        int t;
        if (flags & kTileBridge) {
            t = l.z + height / 2;
        } else {
            if (!(flags & kTileSurface) && height >= 2) return;
            t = l.z + height;
        }
        if (r < t && t <= at.z) r = t;
    };
    if (cell) {
        for (CItem* item = cell->objects; item; item = item->GetNextSibling())
            consider(*item);
        for (const CStaticObject* s = cell->statics; s; s = s->next)
            consider(*s);
    }
    const int e = GetElevation(at.x, at.y);
    if (r != kNoZ && (at.z < e || r >= e)) return r;
    return e;
}

bool CWorldMap::SettleObjectZ(CBaseObject* object, int& z, int height) {
    z = kNoZ;
    if (!object) return false;
    const Location at = object->GetWorldLocation();
    const int moveType = object->GetMoveType();
    const bool saved = settling_;
    settling_ = true;
    object->RemoveFromWorldQuiet();
    int low = kNoZ;
    int high = at.z;
    GetStandRange(low, high, at, 0, moveType, object, StandTerrain::kElevation);
    z = FindGoodZ(at, low, high, height, moveType, nullptr, 0);
    object->PlaceInWorldQuiet(at);
    settling_ = saved;
    return z != kNoZ;
}

bool CWorldMap::DropCheck(Location& at, int& z, int height) const {
    if (!g_sectorGrid.Contains(at.x, at.y)) return false;
    z = FindGoodZ(at, -128, 128, height, 1, nullptr, 0);
    return z != kNoZ;
}

// ---------------------------------------------------------------- spots

bool CWorldMap::FindGoodSpotNearWithElev(Location& at, int low, int high, int minDistance,
                                         int maxDistance, int height, int moveType,
                                         const CBaseObject* mover) {
    const Location start = at;
    if (minDistance <= 0) {
        if (!g_sectorGrid.Contains(start.x, start.y)) return false;
        const int z = FindGoodZ(start, low, high, height, moveType, mover, 0);
        if (z != kNoZ) {
            at.z = static_cast<s16>(z);
            return true;
        }
        minDistance = 1;
    }
    for (int i = 0; i < 4; ++i)
        std::swap(sideOrder_[i], sideOrder_[platform::Rand() & 3]);
    for (int r = minDistance; r <= maxDistance; ++r) {
        for (int k = 1 - r; k <= r; ++k) {
            const int candidates[4][2] = {{start.x + k, start.y - r},
                                          {start.x + r, start.y + k},
                                          {start.x - k, start.y + r},
                                          {start.x - r, start.y - k}};
            for (int side : sideOrder_) {
                at.Set(candidates[side][0], candidates[side][1], start.z);
                if (!g_sectorGrid.Contains(at.x, at.y)) continue;
                const int z = FindGoodZ(at, low, high, height, moveType, mover, 0);
                if (z != kNoZ) {
                    at.z = static_cast<s16>(z);
                    return true;
                }
            }
        }
    }
    return false;
}

bool CWorldMap::FindRandomSpotInRect(Location& out, const Location& cornerA,
                                     const Location& cornerB, int density, int height, int moveType,
                                     const CBaseObject* mover, const SpotFilter& filter) const {
    if (!g_sectorGrid.Contains(cornerA.x, cornerA.y) ||
        !g_sectorGrid.Contains(cornerB.x, cornerB.y)) {
        return false;
    }
    const Location a(std::min(cornerA.x, cornerB.x), std::min(cornerA.y, cornerB.y),
                     std::min(cornerA.z, cornerB.z));
    const Location b(std::max(cornerA.x, cornerB.x), std::max(cornerA.y, cornerB.y),
                     std::max(cornerA.z, cornerB.z));
    const int w = b.x - a.x + 1;
    const int h = b.y - a.y + 1;
    const s64 tries = ((static_cast<s64>(w) * h * std::max(density, 0)) >> 8) + 1;
    for (s64 i = 0; i < tries; ++i) {
        const int dy = platform::Rand() % h;
        const int dx = platform::Rand() % w;
        Location candidate = a + Location(dx, dy, 0);
        const int z = FindGoodZ(candidate, a.z, b.z, height, moveType, mover, 0);
        if (z == kNoZ || z < a.z || z > b.z) continue;
        candidate.z = static_cast<s16>(z);
        if (!filter || filter(candidate)) {
            out = candidate;
            return true;
        }
    }
    return false;
}

int CWorldMap::CollectObjectsAt(int x, int y, int zLow, int zHigh, std::vector<CItem*>& out,
                                const ObjectFilter& filter) const {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexAt(x, y));
    if (!cell) return 0;
    int count = 0;
    for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
        const Location& l = item->GetLocation();
        if (l.x != x || l.y != y || l.z < zLow || l.z > zHigh) continue;
        if (filter && !filter(item)) continue;
        out.push_back(item);
        ++count;
    }
    return count;
}

CItem* CWorldMap::FindDoorAt(const Location& at, int zLow, int zHigh) const {
    std::vector<CItem*> found;
    CollectObjectsAt(at.x, at.y, zLow, zHigh, found, nullptr);
    for (CItem* item : found) {
        if (item->IsDynamic() && item->IsDoor()) return item;
    }
    return nullptr;
}

// ---------------------------------------------------------------- sight

bool CWorldMap::IsBlockedAt(const Location& at, const SightBlockTest& test) const {
    const SectorCell* cell = g_sectorGrid.GetCell(g_sectorGrid.CellIndexOf(at));
    if (!cell) return false;
    auto blocks = [&](const CBaseObject& object) {
        const Location& l = object.GetLocation();
        if (l.x != at.x || l.y != at.y) return false;
        if (!(object.GetObjectFlags() & test.mask)) return false;
        return l.z < test.top && at.z < l.z + object.GetHeight();
    };
    for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
        if (blocks(*item)) return true;
    }
    for (const CStaticObject* s = cell->statics; s; s = s->next) {
        if (blocks(*s)) return true;
    }
    return false;
}

bool CWorldMap::HasLineOfSight(const Location& from, const Location& to,
                               SightBlockers blockers) const {
    const bool fromAbove = from.z >= GetElevation(from.x, from.y);
    const bool toAbove = to.z >= GetElevation(to.x, to.y);
    if (fromAbove != toAbove) return false;
    u32 mask = 0;
    if (blockers & kSightWalls) mask |= kTileWall | kTileNoShoot;
    if (blockers & kSightImpassable) mask |= kTileImpassable;
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int dz = to.z - from.z;
    const int n = std::max(std::abs(dx), std::abs(dy));
    const int zmax = std::max(from.z, to.z);
    const int zmin = std::min(from.z, to.z);
    if (n <= 1) {
        if (std::abs(dz) < 16) return true;
        const SightBlockTest test{zmax, mask};
        if (IsBlockedAt(Location(from.x, from.y, zmin), test)) return false;
        if (n == 1 && IsBlockedAt(Location(to.x, to.y, zmin), test)) return false;
        return true;
    }
    const s64 sx = (static_cast<s64>(dx) * 65536) / n;
    const s64 sy = (static_cast<s64>(dy) * 65536) / n;
    const s64 sz = (static_cast<s64>(dz) * 65536) / (n - 1);
    s64 z = static_cast<s64>(from.z) * 65536 + 0x8000;
    s64 ax = static_cast<s64>(from.x) * 65536 + (sy >> 2) + 0x8000;
    s64 ay = static_cast<s64>(from.y) * 65536 + 0x8000 - (sx >> 2);
    s64 bx = ax - (sy >> 1);
    s64 by = ay + (sx >> 1);
    bool aliveA = true;
    bool aliveB = true;
    for (int step = 0; step < n - 1; ++step) {
        ax += sx;
        ay += sy;
        bx += sx;
        by += sy;
        const int pointZ = static_cast<int>(z >> 16);
        z += sz;
        const int newZ = static_cast<int>(z >> 16);
        bool examined = false;
        int lastX = 0, lastY = 0;
        bool lastResult = true;
        auto examine = [&](s64 rx, s64 ry, bool& alive) {
            const int tx = static_cast<int>(rx >> 16);
            const int ty = static_cast<int>(ry >> 16);
            if (examined && tx == lastX && ty == lastY) {
                alive = lastResult;
                return;
            }
            bool clear = true;
            if (GetTileData().LandFlags(GetTerrainTileAt(tx, ty)) & kTileBackground) {
                clear = false;
            } else {
                int lo = std::min(pointZ, newZ);
                int hi = std::max(pointZ, newZ);
                if (lo > zmin) --lo;
                if (hi < zmax) ++hi;
                if (IsBlockedAt(Location(tx, ty, lo), SightBlockTest{hi, mask})) clear = false;
            }
            examined = true;
            lastX = tx;
            lastY = ty;
            lastResult = clear;
            alive = clear;
        };
        if (aliveA) examine(ax, ay, aliveA);
        if (aliveB) examine(bx, by, aliveB);
        if (!aliveA && !aliveB) return false;
    }
    return true;
}

int CWorldMap::Distance3D(const Location& a, const Location& b) {
    return std::max({std::abs(a.x - b.x), std::abs(a.y - b.y), std::abs(a.z - b.z) / 11});
}

bool ItemCanSee(const CItem& from, const CItem& to, SightBlockers blockers) {
    const Location a = from.GetWorldLocation() + Location(0, 0, from.GetHeight() / 2);
    const Location b = to.GetWorldLocation() + Location(0, 0, to.GetHeight() / 2);
    return g_worldMap.HasLineOfSight(a, b, blockers);
}
