#include "tools/content_builder/world_view_files.h"

#include <cstring>

#include "client/render/land_tile.h"
#include "client/render/span_blit.h"
#include "core/byte_order.h"
#include "tools/content_builder/tile_set.h"

namespace {

std::vector<u16> Words(const std::vector<u8>& bytes) {
    std::vector<u16> words(bytes.size() / 2);
    if (!words.empty()) std::memcpy(words.data(), bytes.data(), words.size() * 2);
    return words;
}

// The land tile squared (44 x 44, 0 outside the diamond), or empty without art.
std::vector<u16> LandSquare(const IndexedRecord& record) {
    if (!record.present) return {};
    const std::vector<u16> tile = Words(record.bytes);
    std::vector<u16> square(kLandSquarePixels, 0);
    if (!LandTileToSquare(tile.data(), tile.size(), square.data())) return {};
    return square;
}

// The mean of the picture's painted pixels; 0 when nothing is painted.
u16 MeanColour(const std::vector<u16>& pixels) {
    long r = 0, g = 0, b = 0, n = 0;
    for (u16 p : pixels) {
        if (p == 0) continue;
        r += p >> 10 & 31;
        g += p >> 5 & 31;
        b += p & 31;
        ++n;
    }
    if (n == 0) return 0;
    const u16 mean = static_cast<u16>((r / n) << 10 | (g / n) << 5 | (b / n));
    return mean == 0 ? u16{1} : mean;
}

std::vector<u16> StaticPixels(const IndexedRecord& record) {
    if (!record.present) return {};
    const std::vector<u16> words = Words(record.bytes);
    const ArtRecord art{words.data(), words.size()};
    int width = 0, height = 0;
    if (!ArtRecordSize(art, width, height)) return {};
    std::vector<u16> pixels(static_cast<size_t>(width) * height, 0);
    DrawArt(BlitTarget{pixels.data(), width, height}, SpanCopy, art, 0, 0);
    return pixels;
}

// A texture: the land diamond turned into a square (texel (u, v) samples the diamond at
// the point the world view maps it to).
std::vector<u8> Texture(const std::vector<u16>& square) {
    std::vector<u8> out;
    out.reserve(kTextureSide * kTextureSide * 2);
    for (int v = 0; v < kTextureSide; ++v) {
        for (int u = 0; u < kTextureSide; ++u) {
            int x = 22 + (u - v) * 21 / (kTextureSide - 1);
            int y = (u + v) * 43 / (2 * (kTextureSide - 1));
            u16 p = square[static_cast<size_t>(y) * 44 + std::min(std::max(x, 0), 43)];
            if (p == 0) p = square[22 * 44 + 22];  // the diamond's edge: its middle colour
            AppendLe16(out, p);
        }
    }
    return out;
}

}  // namespace

ClientFiles BuildWorldViewFiles(const std::vector<IndexedRecord>& art) {
    ClientFiles files;
    const TileSet& tiles = DemoTileSet();

    // Radar colours and textures.
    std::vector<u16> radar(0x10000, 0);
    std::vector<IndexedRecord> textures(kTileCount);
    for (int i = 0; i < kTileCount && static_cast<size_t>(i) < art.size(); ++i) {
        const std::vector<u16> square = LandSquare(art[i]);
        if (!square.empty()) {
            radar[i] = MeanColour(square);
            const u16 texture = tiles.land[i].texture;
            if (texture >= 1 && texture < 4096 && !textures[texture].present)
                textures[texture] = {true, Texture(square), 0};
        }
        if (static_cast<size_t>(0x4000 + i) < art.size())
            radar[0x4000 + i] = MeanColour(StaticPixels(art[0x4000 + i]));
    }
    for (u16 c : radar)
        AppendLe16(files["radarcol.mul"], c);
    WriteIndexedRecords(textures, files["texidx.mul"], files["texmaps.mul"]);

    // Light images: light n is a round glow of radius 8 + 2n (every light number has one).
    std::vector<u8>& lightIndex = files["lightidx.mul"];
    std::vector<u8>& lights = files["light.mul"];
    for (int n = 0; n < kLightImages; ++n) {
        const int radius = 8 + 2 * (n % 20);
        const int side = 2 * radius;
        AppendLe32(lightIndex, static_cast<u32>(lights.size()));
        AppendLe32(lightIndex, static_cast<u32>(side * side));
        AppendLe16(lightIndex, static_cast<u16>(side));
        AppendLe16(lightIndex, static_cast<u16>(side));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int dx = 2 * x + 1 - side, dy = 2 * y + 1 - side;  // doubled offsets
                const int d2 = dx * dx + dy * dy, r2 = side * side;
                lights.push_back(static_cast<u8>(d2 >= r2 ? 0 : 31 - 31 * d2 / r2));
            }
        }
    }

    // The 8-bit desktop palette: a 6 x 6 x 6 cube, then 40 greys.
    std::vector<u8>& palette = files["palette.mul"];
    for (int i = 0; i < 216; ++i)
        palette.insert(palette.end(),
                       {static_cast<u8>(i / 36 * 51), static_cast<u8>(i / 6 % 6 * 51),
                        static_cast<u8>(i % 6 * 51)});
    for (int i = 0; i < 40; ++i)
        palette.insert(palette.end(), 3, static_cast<u8>(i * 255 / 39));

    // Step durations: every body walks in 4 ticks and runs in 2.
    std::vector<u8>& animInfo = files["animinfo.mul"];
    for (int body = 0; body < 1000; ++body)
        animInfo.insert(animInfo.end(), {4, 2});
    return files;
}
