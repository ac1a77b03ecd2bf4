#include "client/world/picking.h"

#include <cstdlib>

#include "client/data/client_utils.h"
#include "client/world/cell_grid.h"
#include "client/world/client_mobile.h"
#include "client/world/client_object.h"
#include "client/world/land_objects.h"
#include "client/world/mobile_draw.h"

namespace {

bool BoxHolds(const CDisplayObject& o, int sx, int sy) {
    return o.box.left <= sx && sx < o.box.right && o.box.top <= sy && sy < o.box.bottom;
}

CDisplayObject* LastOfCell(int column, int row) {
    CDisplayObject* o = CellHead(column, row);
    while (o != nullptr && o->cellNext != nullptr)
        o = o->cellNext;
    return o;
}

// Visits the cells of the draw order from the front (the last drawn) to the back, until
// `visit` answers true.
template <class Visit>
void WalkCellsFrontToBack(Visit visit) {
    const auto& order = DiagonalOrder();
    for (auto e = order.rbegin(); e != order.rend(); ++e) {
        int column, row;
        DiagonalCell(*e, column, row);
        if (visit(column, row)) return;
    }
}

bool IsLandHit(const CDisplayObject& land, int sx, int sy) {
    const LevelRecord& levels = TheLevels();
    if (levels.cutOn && land.loc.z > levels.cutLevel) return false;
    return IsOnLandDiamond(u16(sx - land.box.left), u16(sy - land.box.top));
}

bool IsItemHit(const CClientObject& o, int sx, int sy) {
    if (IsMarkerGraphic(o.graphic)) return false;
    const int px = u16(sx - o.box.left), py = u16(sy - o.box.top);
    const ArtRecord art = o.GetArt();
    if (art.words == nullptr) return IsOnLandDiamond(px, py);
    if (GetArtPixel(art.words, art.wordCount, px, py) != 0) return true;
    return o.IsDoubled() && GetArtPixel(art.words, art.wordCount, u16(px - 5), u16(py - 5)) != 0;
}

bool IsHit(CDisplayObject& o, int sx, int sy, bool skipLand) {
    if (!BoxHolds(o, sx, sy) || o.IsHidden() || o.IsSpriteSlice() || o.IsEffect()) return false;
    if (o.IsLand()) return !skipLand && IsLandHit(o, sx, sy);
    if (!o.IsWorldObject()) return false;
    auto& object = static_cast<CClientObject&>(o);
    // The see-through circle is not built: it hides nothing yet.
    if (object.IsServerObject() && (object.statusFlags & 0x80) && !object.IsPlayer() &&
        !PlayerSeesHidden())
        return false;
    if (object.IsCorpse()) return CorpseCoversPoint(static_cast<CClientCorpse&>(object), sx, sy);
    // Seated figures are tested as standing ones until the seated drawing lands.
    if (object.IsMobile()) return FigureCoversPoint(static_cast<CClientMobile&>(object), sx, sy);
    return IsItemHit(object, sx, sy);
}

}  // namespace

bool IsOnLandDiamond(int px, int py) {
    const int a = px + py, b = (43 - px) + py;
    return a >= 21 && a <= 65 && b >= 21 && b <= 65;
}

CDisplayObject* PickObjectAt(int x, int y, bool skipLand) {
    const int sx = x + ViewScrollX, sy = y + ViewScrollY;
    CDisplayObject* found = nullptr;
    WalkCellsFrontToBack([&](int column, int row) {
        for (CDisplayObject* o = LastOfCell(column, row); o != nullptr; o = o->cellPrev) {
            if (IsHit(*o, sx, sy, skipLand)) {
                found = o;
                return true;
            }
        }
        return false;
    });
    return found;
}

CDisplayObject* NearestLandTile(int x, int y) {
    const int sx = x + ViewScrollX, sy = y + ViewScrollY;
    CDisplayObject* best = nullptr;
    int bestDistance = 9999;
    WalkCellsFrontToBack([&](int column, int row) {
        for (CDisplayObject* o = CellHead(column, row); o != nullptr; o = o->cellNext) {
            if (!o->IsLand() || !BoxHolds(*o, sx, sy)) continue;
            const int d = std::abs(sx - (o->box.left + o->box.right) / 2) +
                          std::abs(sy - (o->box.top + o->box.bottom) / 2);
            if (d < bestDistance) {
                bestDistance = d;
                best = o;
            }
        }
        return false;
    });
    return best;
}

CDisplayObject* CellTopObject(int x, int y) {
    return LastOfCell(x & 63, y & 63);
}

CDisplayObject* CellTopShownObject(int x, int y) {
    const LevelRecord& levels = TheLevels();
    const bool roofsHidden = levels.roofLevel < 127;
    for (CDisplayObject* o = LastOfCell(x & 63, y & 63); o != nullptr; o = o->cellPrev) {
        if (o->IsHidden() || o->IsPlayer() || o->IsSpriteSlice()) continue;
        if (roofsHidden && o->IsLand() && o->loc.z >= levels.roofLevel) continue;
        return o;
    }
    return nullptr;
}
