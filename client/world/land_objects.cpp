#include "client/world/land_objects.h"

#include <cstdlib>
#include <vector>

#include "client/data/data_file_cache.h"
#include "client/data/tile_data.h"
#include "client/render/land_draw.h"
#include "client/render/land_vector.h"
#include "client/render/record_pixels.h"
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

void LandTile::Draw(const BlitTarget& target, const ScreenRect& clip) {
    if (landGraphic == 2) return;
    const ClipRect rect{clip.left, clip.top, clip.right, clip.bottom};
    const int x = box.left - ViewScrollX, y = box.top - ViewScrollY;
    if (PlayerIsGhost())
        DrawLandTileGrey(target, landGraphic, x, y, rect);
    else
        DrawLandTile(target, landGraphic, x, y, rect);
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
    if (main) {
        o->triangles[0][0] = 0, o->triangles[0][1] = 1, o->triangles[0][2] = 2;
        o->triangles[1][0] = 2, o->triangles[1][1] = 3, o->triangles[1][2] = 0;
    } else {
        o->triangles[0][0] = 0, o->triangles[0][1] = 1, o->triangles[0][2] = 3;
        o->triangles[1][0] = 1, o->triangles[1][1] = 2, o->triangles[1][2] = 3;
    }
    // Highest corner, ties going to the first in scan order: 0, 1, third for the first
    // triangle; 2, 3, third for the second.
    const int scan[2][3] = {{0, 1, o->triangles[0][2]}, {2, 3, main ? 0 : 1}};
    for (int t = 0; t < 2; ++t) {
        int best = scan[t][0];
        for (int i = 1; i < 3; ++i)
            if (c[scan[t][i]] > c[best]) best = scan[t][i];
        o->highest[t] = best;
    }
    for (int& l : o->lights)
        l = 5;
    return o;
}

void TexturedLandTile::SetCornerLights(const s8 nine[9][4]) {
    LandCornerLights(nine, lights);
}

void TexturedLandTile::Draw(const BlitTarget& target, const ScreenRect& clip) {
    if (steepFlag || landGraphic == 2) return;
    const int texture = TheClientTileData().Land(landGraphic & 0x3FFF).texture;
    if (texture < 1 || texture > 4095) return;
    s32 length = 0;
    u32 sizeCode = 0;
    const u8* record =
        TheDataCache().GetRecord(kFileTextureIndex, kFileTextures, texture, &length, &sizeCode);
    if (record == nullptr || sizeCode > 1) return;
    const size_t side = size_t{64} << sizeCode;
    if (length < 0 || static_cast<size_t>(length) < side * side * 2) return;
    // Texture records carry no alignment promise: read them into a buffer.
    static thread_local std::vector<u16> texels;
    texels.resize(side * side);
    LoadRecordPixels(texels.data(), record, texels.size());
    const LandTexture tex{texels.data(), texels.size(), static_cast<int>(sizeCode)};

    const int a = box.left - ViewScrollX, b = rowKey * 22 - ViewScrollY;
    // One pixel past the diamond at top and bottom and two at the right: no gaps between
    // neighbouring cells.
    TriVertex v[4] = {{a + 22, b - 4 * corners[0] - 1, 1},
                      {a + 46, b - 4 * corners[1] + 22, 2},
                      {a + 23, b - 4 * corners[2] + 45, 3},
                      {a, b - 4 * corners[3] + 22, 4}};
    const ClipRect rect{clip.left, clip.top, clip.right, clip.bottom};
    const bool grey = PlayerIsGhost();
    auto fill = [&](int t) {
        const int* i = triangles[t];
        (grey ? FillTexturedTriangleGrey : FillTexturedTriangle)(
            target, tex, v[i[0]], v[i[1]], v[i[2]], lights[i[0]], lights[i[1]], lights[i[2]], rect);
    };
    const LevelRecord& levels = g_levels;
    if (levels.cutOn) {
        for (int t = 0; t < 2; ++t)
            if (levels.cutLevel >= corners[highest[t]]) fill(t);
    } else if (corners[0] == corners[1] && corners[1] == corners[2] &&
               corners[3] - corners[0] > 20) {
        fill(0);
        v[0].x += 1;
        fill(1);
    } else {
        fill(0);
        fill(1);
    }
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
