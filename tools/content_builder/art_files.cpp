#include "tools/content_builder/art_files.h"

#include <cmath>
#include <cstring>

#include "core/byte_order.h"
#include "tools/content_builder/tile_set.h"

namespace {

u16 Rgb5(int r, int g, int b) {
    auto clamp = [](int v) { return v < 0 ? 0 : (v > 31 ? 31 : v); };
    // Never 0: that is see-through.
    const u16 pixel = static_cast<u16>(clamp(r) << 10 | clamp(g) << 5 | clamp(b));
    return pixel == 0 ? u16{1} : pixel;
}

// A small fixed grain so that surfaces are not flat; the same on every build.
int Grain(int x, int y, int salt) {
    u32 h = static_cast<u32>(x) * 73856093u ^ static_cast<u32>(y) * 19349663u ^
            static_cast<u32>(salt) * 83492791u;
    h ^= h >> 13;
    return static_cast<int>(h % 4) - 1;
}

struct Colour {
    int r, g, b;
};

// The base colour of a tile by its name; anything unnamed here is a neutral stone.
Colour ColourOf(const char* name) {
    struct Entry {
        const char* word;
        Colour colour;
    } const table[] = {
        {"grass", {7, 17, 5}},    {"sand", {26, 23, 14}},    {"dirt", {17, 12, 7}},
        {"water", {4, 9, 22}},    {"forest", {5, 12, 4}},    {"rock", {13, 12, 11}},
        {"cobble", {16, 15, 13}}, {"void", {1, 1, 1}},       {"wall", {18, 17, 15}},
        {"window", {14, 18, 22}}, {"floor", {19, 13, 7}},    {"roof", {20, 8, 6}},
        {"stairs", {17, 12, 8}},  {"door", {15, 9, 4}},      {"bridge", {16, 11, 6}},
        {"fire", {31, 16, 2}},    {"table", {18, 12, 6}},    {"chair", {17, 11, 5}},
        {"tree", {10, 7, 4}},     {"leaves", {6, 16, 5}},    {"backpack", {16, 10, 5}},
        {"chest", {18, 12, 4}},   {"gold", {30, 25, 4}},     {"sword", {22, 22, 24}},
        {"tunic", {15, 10, 6}},   {"map", {27, 25, 18}},     {"hair", {12, 8, 5}},
        {"beard", {12, 8, 5}},    {"bulletin", {18, 13, 8}}, {"signpost", {16, 11, 6}},
        {"shirt", {22, 22, 20}},  {"skirt", {20, 19, 18}},   {"blood", {20, 2, 2}},
        {"corpse", {14, 10, 8}},  {"arrow", {19, 14, 8}},    {"bow", {17, 11, 5}},
        {"spear", {20, 20, 22}},  {"mace", {18, 18, 20}},    {"leather", {15, 10, 6}},
        {"pelt", {13, 11, 9}},    {"robe", {24, 24, 26}},
    };
    for (const Entry& e : table)
        if (std::strstr(name, e.word) != nullptr) return e.colour;
    return {15, 15, 15};
}

struct Picture {
    int width, height;
    std::vector<u16> pixels;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    u16& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    void Set(int x, int y, u16 c) {
        if (x >= 0 && y >= 0 && x < width && y < height) At(x, y) = c;
    }
};

// The 44 x 44 diamond of a land tile.
Picture LandPicture(int tile, Colour c) {
    Picture p(44, 44);
    for (int y = 0; y < 44; ++y) {
        const int first = y < 22 ? 21 - y : y - 22;
        const int count = y < 22 ? 2 * y + 2 : 88 - 2 * y;
        for (int x = first; x < first + count; ++x) {
            const int n = Grain(x, y, tile);
            p.At(x, y) = Rgb5(c.r + n, c.g + n, c.b + n);
        }
    }
    return p;
}

// Whether (x, y) lies in the 44 x 22 footprint diamond whose middle row is `middle`.
bool InDiamond(int x, int y, int middle) {
    const int r = y - (middle - 11);
    if (r < 0 || r > 21) return false;
    const int half = (r < 11 ? r : 21 - r) * 2 + 2;
    return x >= 22 - half && x < 22 + half;
}

// An upright block on the 44-pixel footprint: a lit top diamond over a left and a darker
// right face. It reaches every row and column of its 44 x height picture (height >= 44).
Picture StaticPicture(int graphic, Colour c, int height) {
    Picture p(44, height);
    const int bottom = height - 11;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 44; ++x) {
            const bool top = InDiamond(x, y, 11);
            if (!top && !(y >= 11 && y <= bottom) && !InDiamond(x, y, bottom)) continue;
            const int shade = top ? 3 : (x < 22 ? -2 : -5);
            const int n = Grain(x, y, graphic);
            p.At(x, y) = Rgb5(c.r + shade + n, c.g + shade + n, c.b + shade + n);
        }
    }
    return p;
}

constexpr int kCursorSize = 28;

bool IsWarCursor(u32 art) {
    return art < 0x606A;
}

// The image index of the peace twin range: 0x606A.. counts like 0x6053...
int CursorIndex(u32 art) {
    return static_cast<int>(IsWarCursor(art) ? art - kFirstCursorArt : art - 0x606A);
}

Picture CursorPicture(u32 art) {
    Picture p(kCursorSize, kCursorSize);
    const CursorHotSpot hot = DemoCursorHotSpot(art);
    const int k = CursorIndex(art);
    // War pointers are greys (the client tints them by their red channel), peace ones gold.
    const bool war = IsWarCursor(art);
    auto body = [&](int level) {
        return war ? Rgb5(level, level, level) : Rgb5(level, level * 4 / 5, level / 4);
    };
    const u16 outline = Rgb5(2, 2, 2);
    auto dot = [&](int x, int y, u16 c) {
        if (x >= 1 && y >= 1) p.Set(x, y, c);
    };
    if (k < 8) {
        // A direction arrow from the middle towards direction k (0 up-right, clockwise).
        const double angle = (-45.0 + 45.0 * k) * 3.14159265358979 / 180.0;
        const double ux = std::sin(angle), uy = -std::cos(angle);
        for (int t = -4; t <= 12; ++t) {
            for (int w = -2; w <= 2; ++w) {
                const int half = t > 6 ? 12 - t : 2;
                if (std::abs(w) > half + (t > 6 ? 0 : 0)) continue;
                const int x = hot.x + static_cast<int>(std::lround(ux * t - uy * w));
                const int y = hot.y + static_cast<int>(std::lround(uy * t + ux * w));
                dot(x, y, std::abs(w) == half ? outline : body(28 - std::abs(w) * 2));
            }
        }
    } else if (k == 12) {
        // Target: a ring and a cross around the hot spot.
        for (int a = 0; a < 64; ++a) {
            const double t = a * 3.14159265358979 / 32;
            dot(hot.x + static_cast<int>(std::lround(8 * std::cos(t))),
                hot.y + static_cast<int>(std::lround(8 * std::sin(t))), body(28));
        }
        for (int d = -11; d <= 11; ++d) {
            if (std::abs(d) < 2) continue;
            dot(hot.x + d, hot.y, body(30));
            dot(hot.x, hot.y + d, body(30));
        }
    } else if (k == 13) {
        // Wait: an hourglass.
        for (int y = 0; y < 20; ++y) {
            const int half = y < 10 ? 9 - y : y - 10;
            for (int x = -half - 1; x <= half + 1; ++x) {
                const bool edge = std::abs(x) == half + 1 || y == 0 || y == 19;
                dot(hot.x + x, hot.y - 10 + y, edge ? outline : body(y < 10 ? 26 : 20));
            }
        }
    } else {
        // The pointer: an arrow whose tip is the hot spot.
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x <= y * 2 / 3 && x < 14; ++x) {
                const bool edge = x == 0 || x == y * 2 / 3 || y == 19;
                dot(hot.x + x, hot.y + y, edge ? outline : body(24 + (x + y) % 3));
            }
        }
        for (int y = 14; y < 26 - hot.y; ++y)
            for (int x = 3; x < 6; ++x)
                dot(hot.x + x + (y - 14) / 2, hot.y + y, x == 3 || x == 5 ? outline : body(22));
    }
    // The markers: a dark first pixel in the top row (so that row never counts as the hot
    // spot's row), green at the hot spot's column of the top row and at its row of the first
    // column.
    for (int x = 0; x < kCursorSize; ++x)
        p.At(x, 0) = 0;
    for (int y = 0; y < kCursorSize; ++y)
        p.At(0, y) = 0;
    p.At(0, 0) = Rgb5(1, 1, 1);
    p.At(hot.x, 0) = kHotSpotGreen;
    p.At(0, hot.y) = kHotSpotGreen;
    return p;
}

}  // namespace

std::vector<u8> EncodeLandArt(const u16* square) {
    std::vector<u8> out;
    out.reserve(2024);
    for (int y = 0; y < 44; ++y) {
        const int first = y < 22 ? 21 - y : y - 22;
        const int count = y < 22 ? 2 * y + 2 : 88 - 2 * y;
        for (int x = first; x < first + count; ++x)
            AppendLe16(out, square[y * 44 + x]);
    }
    return out;
}

std::vector<u8> EncodeStaticArt(const u16* pixels, int width, int height) {
    std::vector<u16> rows;  // the runs, in words after the offset table
    std::vector<u16> offsets;
    for (int y = 0; y < height; ++y) {
        offsets.push_back(static_cast<u16>(rows.size()));
        const u16* row = pixels + static_cast<size_t>(y) * width;
        int x = 0, end = 0;
        while (x < width) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            int n = 0;
            while (x + n < width && row[x + n] != 0)
                ++n;
            rows.push_back(static_cast<u16>(x - end));
            rows.push_back(static_cast<u16>(n));
            rows.insert(rows.end(), row + x, row + x + n);
            x += n;
            end = x;
        }
        rows.push_back(0);
        rows.push_back(0);
    }
    std::vector<u8> out;
    AppendLe32(out, 0);
    AppendLe16(out, static_cast<u16>(width));
    AppendLe16(out, static_cast<u16>(height));
    for (u16 o : offsets)
        AppendLe16(out, o);
    for (u16 w : rows)
        AppendLe16(out, w);
    return out;
}

CursorHotSpot DemoCursorHotSpot(u32 art) {
    const int k = CursorIndex(art);
    if (k < 8 || k == 12 || k == 13) return {kCursorSize / 2, kCursorSize / 2};
    return {1, 1};
}

std::vector<IndexedRecord> BuildDemoArt() {
    std::vector<IndexedRecord> records(kArtRecordCount);
    const TileSet& tiles = DemoTileSet();
    for (int i = 0; i < kTileCount; ++i) {
        const LandTileRecord& land = tiles.land[i];
        if (land.name[0] != '\0' || i == 0) {
            const Picture p = LandPicture(i, ColourOf(land.name));
            records[i] = {true, EncodeLandArt(p.pixels.data()), 0};
        }
        const StaticTileRecord& item = tiles.statics[i];
        if (item.name[0] != '\0') {
            const Picture p = StaticPicture(i, ColourOf(item.name), 44 + item.height * 4);
            records[0x4000 + i] = {true, EncodeStaticArt(p.pixels.data(), p.width, p.height), 0};
        }
    }
    for (u32 art = kFirstCursorArt; art <= kLastCursorArt; ++art) {
        const Picture p = CursorPicture(art);
        records[art] = {true, EncodeStaticArt(p.pixels.data(), p.width, p.height), 0};
    }
    return records;
}

std::vector<std::pair<u16, u16>> MeasureStaticArt(const std::vector<IndexedRecord>& art) {
    std::vector<std::pair<u16, u16>> sizes(kTileCount);
    for (int i = 0; i < kTileCount; ++i) {
        const size_t id = 0x4000 + static_cast<size_t>(i);
        if (id >= art.size() || !art[id].present || art[id].bytes.size() < 8) continue;
        const u8* b = art[id].bytes.data();
        sizes[i] = {static_cast<u16>(b[4] | b[5] << 8), static_cast<u16>(b[6] | b[7] << 8)};
    }
    return sizes;
}
