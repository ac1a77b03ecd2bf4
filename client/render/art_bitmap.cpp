#include "client/render/art_bitmap.h"

#include "client/data/data_file_cache.h"
#include "client/data/pixel_format.h"
#include "client/render/land_tile.h"
#include "client/render/span_blit.h"
#include "core/byte_order.h"

namespace {

// A land tile squared into the bitmap; false when the record is missing or too short.
bool SquareLandTile(s32 artId, ArtBitmap& out) {
    s32 length = 0;
    const u8* record = GetArtRecord(artId, &length);
    out.width = out.height = kLandTileSize;
    out.pixels.assign(kLandSquarePixels, 0);
    if (record == nullptr || length <= 0) return false;
    std::vector<u16> tile(static_cast<size_t>(length) / 2);
    for (size_t i = 0; i < tile.size(); ++i)
        tile[i] = LoadLe16(record + 2 * i);
    return LandTileToSquare(tile.data(), tile.size(), out.pixels.data());
}

void LandTileBitmap(s32 artId, ArtBitmap& out) {
    if (SquareLandTile(artId, out) || artId == 0) return;
    SquareLandTile(0, out);
}

}  // namespace

ArtBitmap MakeArtBitmap(u32 id, bool grey, bool dibWidth) {
    ArtBitmap out;
    if (id & 0x8000) {
        LandTileBitmap(static_cast<s32>(id & 0x7FFF), out);
    } else {
        s32 length = 0;
        const u8* record = GetArtRecord(static_cast<s32>(id + 0x4000), &length);
        std::vector<u16> words(record != nullptr && length > 0 ? static_cast<size_t>(length) / 2
                                                               : 0);
        for (size_t i = 0; i < words.size(); ++i)
            words[i] = LoadLe16(record + 2 * i);
        const ArtRecord art{words.data(), words.size()};
        int width = 0, height = 0;
        if (words.empty() || !ArtRecordSize(art, width, height) || width == 0 || height == 0 ||
            width > kMaxArtBitmapSide || height > kMaxArtBitmapSide) {
            LandTileBitmap(0, out);
        } else {
            out.width = dibWidth ? (width + 3) & ~3 : width;
            out.height = height;
            out.pixels.assign(static_cast<size_t>(out.width) * height, 0);
            DrawArt(BlitTarget{out.pixels.data(), out.width, out.height}, SpanCopy, art, 0, 0);
        }
    }
    if (grey) {
        const u16* table = GreyTable();
        for (u16& p : out.pixels)
            p = table[p & 0x7FFF];
    }
    if (Use565()) {
        for (u16& p : out.pixels)
            p = Convert555To565(p);
    }
    return out;
}
