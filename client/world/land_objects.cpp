#include "client/world/land_objects.h"

#include <cstdlib>

#include "client/render/land_draw.h"
#include "client/world/cell_grid.h"
#include "client/world/client_mobile.h"

namespace {

LevelRecord g_levels;
ObjectPool<LandTile, 128> g_flat;
ObjectPool<TexturedLandTile, 128> g_textured;

CDisplayObject*& CellLink(CDisplayObject* o) {
    return o->cellNext;
}

template <typename T, int N>
void Release(ObjectPool<T, N>& pool, T* o) {
    if (o->inCell) o->RemoveFromCell();
    pool.Give(o, CellLink);
}

bool PlayerIsGhost() {
    const CClientPlayer* player = ThePlayer();
    return player != nullptr && player->IsGhost();
}

}  // namespace

PoolCounts& FlatLandPoolCounts() {
    return g_flat.counts;
}

PoolCounts& TexturedLandPoolCounts() {
    return g_textured.counts;
}

LevelRecord& TheLevels() {
    return g_levels;
}

LandTile* LandTile::Allocate(int graphic, const ClientLocation& at) {
    LandTile* o = g_flat.Take(CellLink);
    o->landGraphic = graphic;
    o->loc = at;
    return o;
}

void LandTile::Destroy() {
    Release(g_flat, this);
}

void LandTile::Draw(const ScreenRect& clip) {
    if (landGraphic == 2) return;
    const ClipRect rect{clip.left, clip.top, clip.right, clip.bottom};
    const int x = box.left - ViewScrollX, y = box.top - ViewScrollY;
    if (PlayerIsGhost())
        DrawLandTileGrey(landGraphic, x, y, rect);
    else
        DrawLandTile(landGraphic, x, y, rect);
}

void LandTile::UpdateScreenBox() {
    box.left = columnKey * 22 - 22;
    box.top = rowKey * 22 - loc.z * 4;
    box.right = box.left + 44;
    box.bottom = box.top + 44;
}

void LandTile::PlaceInCell() {
    SetKeys(loc.z - 2);
    InsertIntoCell(loc.x, loc.y);
}

bool LandTile::IsHidden() const {
    return !inCell || (g_levels.cutOn && loc.z > g_levels.cutLevel);
}

TexturedLandTile* TexturedLandTile::Allocate(int graphic, const ClientLocation& at, const s8 c[4]) {
    TexturedLandTile* o = g_textured.Take(CellLink);
    o->landGraphic = graphic;
    o->loc = at;
    for (int i = 0; i < 4; ++i)
        o->corners[i] = c[i];
    // The cell's cut diagonal: corners 0-2 when |c1 - c3| >= |c0 - c2|, else 1-3.
    const bool main = std::abs(c[1] - c[3]) >= std::abs(c[0] - c[2]);
    o->cutCorner[0] = main ? 0 : 1;
    o->cutCorner[1] = main ? 2 : 3;
    o->steepFlag = c[2] >= c[0] + 11 ? 1 : 0;
    return o;
}

void TexturedLandTile::Destroy() {
    Release(g_textured, this);
}

void TexturedLandTile::UpdateScreenBox() {
    const int y = rowKey * 22;
    const int lines[4] = {y - 4 * corners[0], y - 4 * corners[1] + 22, y - 4 * corners[2] + 44,
                          y - 4 * corners[3] + 22};
    box.left = columnKey * 22 - 22;
    box.right = box.left + 44;
    box.top = box.bottom = lines[0];
    for (int v : lines) {
        if (v < box.top) box.top = v;
        if (v > box.bottom) box.bottom = v;
    }
}

void TexturedLandTile::PlaceInCell() {
    SetKeys(loc.z - 2);
    InsertIntoCell(loc.x, loc.y);
}

bool TexturedLandTile::IsHidden() const {
    if (!inCell) return true;
    return g_levels.cutOn && corners[cutCorner[0]] > g_levels.cutLevel &&
           corners[cutCorner[1]] > g_levels.cutLevel;
}

int TexturedLandTile::GetStandZ() const {
    const bool main = std::abs(corners[0] - corners[2]) <= std::abs(corners[1] - corners[3]);
    return main ? (corners[0] + corners[2]) >> 1 : (corners[1] + corners[3]) >> 1;
}

int TexturedLandTile::GetLowZ() const {
    int lo = corners[0];
    for (s8 c : corners)
        lo = c < lo ? c : lo;
    return lo;
}

int TexturedLandTile::GetEdgeZ(int d) const {
    const int a = corners[((d >> 1) + 1) & 3];
    if (d & 1) return a;
    return (corners[(d >> 1) & 3] + a) >> 1;
}
