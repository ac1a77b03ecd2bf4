#include "client/world/roof_hiding.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/land_objects.h"

namespace {

constexpr u32 kRoof = 0x10000000;
constexpr u32 kSeeThrough = 0x20000;

std::array<u8, kGridSize * kGridSize> g_flood{};
bool g_recheck = false;

struct GraphicRun {
    int first, last;
};
constexpr GraphicRun kSeeThroughRuns[] = {{3397, 3404}, {3405, 3411}, {3420, 3426},
                                          {3427, 3433}, {3443, 3449}, {3450, 3455},
                                          {3463, 3467}, {3468, 3472}, {4798, 4807}};

const GraphicRun* RunOf(int graphic) {
    for (const GraphicRun& r : kSeeThroughRuns) {
        if (graphic >= r.first && graphic <= r.last) return &r;
    }
    return nullptr;
}

u8& FloodCell(int column, int row) {
    return g_flood[size_t((row & 63) * kGridSize + (column & 63))];
}

// The cell's roof piece within 6 of the reference height, or null.
const CClientObject* RoofPieceIn(int column, int row, int referenceZ) {
    for (CDisplayObject* o = CellHead(column, row); o; o = o->cellNext) {
        if (!o->IsWorldObject() || o->IsMobile()) continue;
        const auto* obj = static_cast<const CClientObject*>(o);
        if (!(obj->Tile().flags & kRoof)) continue;
        if (std::abs(referenceZ - obj->loc.z) > 6) continue;
        return obj;
    }
    return nullptr;
}

}  // namespace

void ClearFloodMap() {
    g_flood.fill(0);
}

int FloodRoof(int level, int column, int row, int referenceZ) {
    // Depth first, each cell's neighbours west, east, north, south in turn: the order decides
    // which reference height reaches a cell first. The stack is explicit: a roof of a whole
    // window would nest 4096 calls.
    struct Frame {
        int column, row, z, next;
    };
    std::vector<Frame> stack;
    auto enter = [&](int c, int r, int ref) {
        u8& mark = FloodCell(c, r);
        if (mark) return;
        mark = 1;
        const CClientObject* piece = RoofPieceIn(c, r, ref);
        if (!piece) return;
        if (piece->loc.z < level) level = piece->loc.z;
        stack.push_back({c, r, piece->loc.z, 0});
    };
    static constexpr int kDc[4] = {-1, 1, 0, 0};
    static constexpr int kDr[4] = {0, 0, -1, 1};
    enter(column, row, referenceZ);
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == 4) {
            stack.pop_back();
            continue;
        }
        const int k = f.next++;
        const int c = f.column + kDc[k], r = f.row + kDr[k], z = f.z;
        enter(c, r, z);
    }
    return level;
}

bool HasCoverAt(int column, int row, int height) {
    for (CDisplayObject* o = CellHead(column, row); o; o = o->cellNext) {
        if (o->loc.z < height || o->IsMobile() || o->IsLand() || o->IsSpriteSlice()) continue;
        if (o->IsHidden()) continue;
        if (o->GetTileFlags() & (kRoof | 0x200)) return true;
    }
    return false;
}

void UpdateRoofLevel() {
    LevelRecord& lv = TheLevels();
    const int oldRoof = lv.roofLevel, oldFlood = lv.floodLevel;
    lv.roofLevel = lv.floodLevel = 127;
    CClientPlayer* player = ThePlayer();
    if (!player || !player->inCell) return;
    const int x = player->loc.x, y = player->loc.y, z = player->loc.z;
    auto candidate = [&](const CDisplayObject* o) {
        return o->IsWorldObject() && !o->IsMobile() && o->loc.z < lv.roofLevel && o->loc.z > z + 14;
    };
    for (CDisplayObject* o = CellHead(x, y); o; o = o->cellNext) {
        if (!candidate(o)) continue;
        const u32 f = o->GetTileFlags();
        if (f & 0x20004) continue;
        if ((f & kRoof) && !(f & 0x200)) continue;
        lv.roofLevel = o->loc.z;
    }
    lv.floodLevel = lv.roofLevel;
    for (CDisplayObject* o = CellHead(x + 1, y + 1); o; o = o->cellNext) {
        if (!candidate(o)) continue;
        const u32 f = o->GetTileFlags();
        if ((f & 0x204) || !(f & kRoof)) continue;
        lv.roofLevel = lv.floodLevel = o->loc.z;
        ClearFloodMap();
        lv.floodLevel = FloodRoof(lv.roofLevel, o->loc.x, o->loc.y, o->loc.z);
    }
    g_recheck = true;
    for (CClientObject* o = TheClientWorld().seeHead; o; o = o->seeNext) {
        if (!o->inCell) continue;
        const u8 before = o->seeThroughHidden;
        o->IsHidden();
        if (o->seeThroughHidden != before) o->Invalidate();
    }
    g_recheck = false;
    lv.roofLevel = lv.floodLevel;
    if (lv.roofLevel < z + 16) lv.roofLevel = z + 16;
    if (lv.roofLevel != oldRoof || lv.floodLevel != oldFlood) TheWorldHooks().InvalidateWorldView();
}

bool SeeThroughHidden(const CClientObject& piece) {
    if (!g_recheck) return piece.seeThroughHidden != 0;
    piece.seeThroughHidden = 0;
    const CClientPlayer* player = ThePlayer();
    if (!player) return false;
    const int playerDiag = player->loc.x + player->loc.y;
    const int ownDiag = piece.loc.x + piece.loc.y;
    bool hidden = false;
    if (const GraphicRun* run = RunOf(piece.graphic)) {
        for (const CClientObject* q = TheClientWorld().seeHead; q && !hidden; q = q->seeNext) {
            if (!q->inCell || q->graphic < run->first || q->graphic > run->last) continue;
            if (!RectsOverlapStrictly(q->box, player->box)) continue;
            if (ClientDistance(q->loc, piece.loc) != std::abs(q->graphic - piece.graphic)) continue;
            const int qDiag = q->loc.x + q->loc.y;
            hidden = playerDiag < qDiag && qDiag == ownDiag;
        }
    } else {
        hidden = RectsOverlapStrictly(piece.box, player->box) && playerDiag < ownDiag;
    }
    piece.seeThroughHidden = hidden ? 1 : 0;
    return hidden;
}
