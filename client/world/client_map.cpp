#include "client/world/client_map.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "client/data/data_file_cache.h"
#include "client/data/hue_table.h"
#include "client/data/tile_data.h"
#include "client/world/cell_grid.h"
#include "client/world/client_world.h"
#include "client/world/land_objects.h"
#include "core/byte_order.h"

namespace {

constexpr int kBlocksPerColumn = 512;
constexpr int kBlocksPerRow = 768;

// The map cell's 3 bytes, or null when the map file does not hold its block.
const u8* MapCell(int x, int y) {
    const s32 block = (x >> 3) * kBlocksPerColumn + (y >> 3);
    const u8* b = TheDataCache().GetIndexEntry(kFileMap, block);
    if (!b) return nullptr;
    return b + 4 + (y & 7) * 24 + (x & 7) * 3;
}

}  // namespace

CClientMap& TheClientMap() {
    static CClientMap map;
    return map;
}

CClientMap::CClientMap() {
    slots.fill(-1);
}

void CClientMap::Reset() {
    windowBx = windowBy = -9999;
    slots.fill(-1);
    mapNumber = -1;
    SweepAllCells();
}

void CClientMap::SetMapNumber(int n) {
    if (n == mapNumber) return;
    radarBlocks[0] = area[0] >> 3;
    radarBlocks[1] = (area[0] + area[2]) >> 3;
    radarBlocks[2] = area[1] >> 3;
    radarBlocks[3] = (area[1] + area[3]) >> 3;
    mapNumber = n;
}

int CClientMap::GetLandTile(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0x8001;
    const u8* c = MapCell(x, y);
    return c ? LoadLe16(c) : 0;
}

int CClientMap::GetCellZ(int x, int y) const {
    if (x < 0)
        x += width;
    else if (x >= width)
        x -= width;
    if (y < 0)
        y += height;
    else if (y >= height)
        y -= height;
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const u8* c = MapCell(x, y);
    return c ? s8(c[2]) : 0;
}

const s8* CClientMap::GetCornerHeights(int x, int y) {
    // Cells past the world's edge answer 0 at every corner; so does a corner whose own cell
    // lies past it (the east and south edges).
    auto at = [&](int cx, int cy) -> s8 {
        if (cx < 0 || cy < 0 || cx >= width || cy >= height) return 0;
        const u8* c = MapCell(cx, cy);
        return c ? s8(c[2]) : 0;
    };
    if (x < 0 || y < 0 || x >= width || y >= height) {
        std::memset(corners_, 0, sizeof corners_);
    } else {
        corners_[0] = at(x, y);
        corners_[1] = at(x + 1, y);
        corners_[2] = at(x + 1, y + 1);
        corners_[3] = at(x, y + 1);
    }
    return corners_;
}

bool CClientMap::IsFlatArea(int x, int y, int z) const {
    for (int cy = y - 1; cy <= y + 2; ++cy) {
        for (int cx = x - 1; cx <= x + 2; ++cx) {
            if (cx < 0 || cy < 0 || cx >= width || cy >= height) return true;
            const u8* c = MapCell(cx, cy);
            if ((c ? s8(c[2]) : 0) != z) return false;
        }
    }
    return true;
}

void CClientMap::Recenter(int x, int y, int z, int n) {
    TheWorldHooks().InvalidateWorldView();
    if (x != -1) {
        centreX = x;
        centreY = y;
        centreZ = z;
    }
    SetMapNumber(n);
    if (!playerOutOfWorld && x != -1) {
        RefreshView();
        TheWorldHooks().DeleteMovingEffects();
    }
}

void CClientMap::Move(int dx, int dy, int z) {
    const int oldX = centreX;
    centreX += dx;
    centreY += dy;
    if (oldX < kClientSurfaceWidth) {
        if (centreX > 5119) {
            centreX -= kClientSurfaceWidth;
            ShiftObjects(-kClientSurfaceWidth, 0);
        }
        if (centreX < 0) {
            centreX += kClientSurfaceWidth;
            ShiftObjects(kClientSurfaceWidth, 0);
        }
        if (centreY > 4095) {
            centreY -= kClientSurfaceHeight;
            ShiftObjects(0, -kClientSurfaceHeight);
        }
        if (centreY < 0) {
            centreY += kClientSurfaceHeight;
            ShiftObjects(0, kClientSurfaceHeight);
        }
    }
    centreZ = z;
    if (!playerOutOfWorld) RefreshView();
}

void CClientMap::ShiftObjects(int dx, int dy) {
    TheWorldHooks().InvalidateWorldView();
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 64; ++column) {
            for (CDisplayObject* o = CellHead(column, row); o; o = o->cellNext) {
                o->loc.x = s16(o->loc.x + dx);
                o->loc.y = s16(o->loc.y + dy);
            }
            // Re-place every object once: take the list as it stands, since placing a figure
            // makes new band slices in other cells (and destroys the old ones).
            std::vector<CDisplayObject*> list;
            for (CDisplayObject* o = CellHead(column, row); o; o = o->cellNext) {
                if (!o->IsSpriteSlice()) list.push_back(o);
            }
            for (CDisplayObject* o : list) {
                o->RemoveFromCell();
                o->PlaceInCell();
            }
        }
    }
}

void CClientMap::MakeLand(int x, int y) {
    int lx = x, ly = y, tile;
    const s8* c;
    if (centreX >= kClientSurfaceWidth) {
        tile = (x < 5120 || x > 6143 || y < 0 || y > 4095) ? 580 : GetLandTile(x, y) & 0x7FFF;
        c = GetCornerHeights(x, y);
    } else {
        if (lx < 0)
            lx += kClientSurfaceWidth;
        else if (lx > 5119)
            lx -= kClientSurfaceWidth;
        if (ly < 0)
            ly += kClientSurfaceHeight;
        else if (ly > 4095)
            ly -= kClientSurfaceHeight;
        tile = GetLandTile(lx, ly) & 0x7FFF;
        c = GetCornerHeights(lx, ly);
    }
    const LandTileRecord& record = TheClientTileData().Land(tile);
    s8 corners[4];
    std::memcpy(corners, c, 4);
    CDisplayObject* land;
    if (record.texture == 0 || (corners[0] == corners[1] && corners[1] == corners[2] &&
                                corners[2] == corners[3] && IsFlatArea(lx, ly, corners[0]))) {
        land = LandTile::Allocate(tile, ClientLocation{s16(x), s16(y), corners[0]});
    } else {
        const int z = (corners[0] + corners[1] + corners[2] + corners[3]) >> 2;
        TexturedLandTile* textured =
            TexturedLandTile::Allocate(tile, ClientLocation{s16(x), s16(y), s16(z)}, corners);
        s8 nine[9][4];
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                std::memcpy(nine[j * 3 + k], GetCornerHeights(lx + k - 1, ly + j - 1), 4);
        textured->SetCornerLights(nine);
        land = textured;
    }
    land->PlaceInCell();
}

void CClientMap::RefreshStatics() {
    const int bx = (centreX - 18) >> 3, by = (centreY - 18) >> 3;
    if (bx == windowBx && by == windowBy) return;
    auto outside = [&](int c, int r) { return c < bx || c > bx + 5 || r < by || r > by + 5; };
    CClientWorld& world = TheClientWorld();
    for (CClientObject* o = world.allHead; o;) {
        CClientObject* next = o->allNext;
        if (!o->IsServerObject() && !o->IsMultiMember() && outside(o->loc.x >> 3, o->loc.y >> 3)) {
            o->Destroy();
        }
        o = next;
    }
    for (int& slot : slots) {
        if (slot >= 0 && outside(slot / kBlocksPerColumn, slot % kBlocksPerColumn)) slot = -1;
    }
    for (int r = by; r <= by + 5; ++r) {
        if (r < 0 || r >= kBlocksPerColumn) continue;
        for (int c = bx; c <= bx + 5; ++c) {
            if (c < 0 || c >= kBlocksPerRow) continue;
            const int block = c * kBlocksPerColumn + r;
            bool loaded = false;
            for (int slot : slots)
                loaded = loaded || slot == block;
            if (loaded) continue;
            s32 length = 0;
            const u8* rec =
                TheDataCache().GetRecord(kFileStaticsIndex, kFileStatics, block, &length, nullptr);
            for (s32 i = 0; rec && i + 7 <= length; i += 7) {
                int g = LoadLe16(rec + i);
                if (g > 0x3FFF) g = 1;
                CClientObject* o = CClientObject::AllocateStatic(g);
                const StaticTileRecord& tile = StaticTileOf(g);
                if (tile.flags & kClientTileLightSource) o->direction = tile.layer;
                o->hue = StaticsEntryHue(LoadLe16(rec + i + 5));
                o->PlaceInWorld(ClientLocation{s16(c * 8 + rec[i + 2]), s16(r * 8 + rec[i + 3]),
                                               s8(rec[i + 4])});
            }
            for (int& slot : slots) {
                if (slot < 0) {
                    slot = block;
                    break;
                }
            }
        }
    }
    windowBx = bx;
    windowBy = by;
}

void CClientMap::RefreshView() {
    RecentreCellGrid(centreX, centreY);
    RefreshStatics();
    for (int y = centreY - 18; y <= centreY + 18; ++y) {
        for (int x = centreX - 18; x <= centreX + 18; ++x) {
            bool has = false;
            for (CDisplayObject* o = CellHead(x, y); o && !has; o = o->cellNext) {
                has = o->IsLand() && o->loc.x == x && o->loc.y == y;
            }
            if (!has) MakeLand(x, y);
        }
    }
    TheWorldHooks().RedrawRadar();
    int h = 0;
    for (CDisplayObject* o = CellHead(centreX, centreY); o; o = o->cellNext) {
        if (o->IsLand()) {
            h = o->loc.z;
            break;
        }
    }
    LevelRecord& lv = TheLevels();
    const int limit = centreZ + 16;
    if (limit < h) {
        if (!lv.cutOn) {
            TheWorldHooks().ClearScreenBuffer();
            lv.cutOn = 1;
            lv.cutLevel = limit;
            TheWorldHooks().InvalidateWorldView();
        } else if (lv.cutLevel != limit) {
            lv.cutLevel = limit;
            TheWorldHooks().InvalidateWorldView();
        }
    } else if (lv.cutOn) {
        lv.cutOn = 0;
        TheWorldHooks().InvalidateWorldView();
    }
}

bool CClientMap::LineOfSight(const ClientLocation& from, const ClientLocation& to, u32 mask) const {
    if (from == to) return true;
    const int n = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
    if (n == 0) return true;
    const long long sx = (long long)(to.x - from.x) * 65536 / n;
    const long long sy = (long long)(to.y - from.y) * 65536 / n;
    const long long sz = (long long)(to.z - from.z) * 65536 / n;
    long long px = (long long)from.x * 65536, py = (long long)from.y * 65536;
    long long pz = (long long)from.z * 65536;
    const CClientWorld& world = TheClientWorld();
    for (int i = 0; i < n - 1; ++i) {
        px += sx;
        py += sy;
        pz += sz;
        const int x = int(px >> 16), y = int(py >> 16), z = int(pz >> 16);
        for (const CClientObject* o = world.allTail; o; o = o->allPrev) {
            if (o->loc.x != x || o->loc.y != y) continue;
            if (o->loc.z <= z && z < o->loc.z + o->GetHeight()) {
                if (o->GetTileFlags() & mask) return false;
                break;
            }
        }
    }
    return true;
}

u16 StaticsEntryHue(u16 hue) {
    return hue > kClientHueCount ? 0 : hue;
}

int ClientDistanceTo(const ClientLocation& a, int x, int y) {
    if ((a.x > 5119) != (x > 5119)) return 9999;
    int dx = std::abs(a.x - x), dy = std::abs(a.y - y);
    if (a.x < kClientSurfaceWidth) {
        dx = std::min(dx, kClientSurfaceWidth - dx);
        dy = std::min(dy, kClientSurfaceHeight - dy);
    }
    return std::max(dx, dy);
}

int ClientDistance(const ClientLocation& a, const ClientLocation& b) {
    return ClientDistanceTo(a, b.x, b.y);
}
