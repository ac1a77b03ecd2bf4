#include "tools/content_builder/palette_frame_encoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>

#include "tools/content_builder/bit_writer.h"

namespace movie_content {

namespace {

void PutLe16(std::vector<u8>& out, int value) {
    out.push_back(static_cast<u8>(value));
    out.push_back(static_cast<u8>(value >> 8));
}

constexpr size_t kMaxDistance = 131072;
constexpr size_t kMaxMatch = 1028;
constexpr int kChainDepth = 64;

// Literal bytes waiting for the next command.
struct LzWriter {
    const u8* data;
    std::vector<u8> out;

    // Sends literals [from, to) in runs of 4..112 until fewer than 4 remain; returns the new
    // start.
    size_t FlushLiterals(size_t from, size_t to) {
        while (to - from >= 4) {
            const size_t n = std::min<size_t>((to - from) & ~size_t(3), 112);
            out.push_back(static_cast<u8>(0xE0 + n / 4 - 1));
            out.insert(out.end(), data + from, data + from + n);
            from += n;
        }
        return from;
    }
};

}  // namespace

std::vector<u8> EncodeLz(const u8* data, size_t size) {
    LzWriter w{data, {}};
    w.out = {0x10, 0xFB, static_cast<u8>(size >> 16), static_cast<u8>(size >> 8),
             static_cast<u8>(size)};
    std::vector<s32> head(1 << 15, -1), chain(size, -1);
    const auto hash = [&](size_t at) {
        return (u32(data[at]) * 2654435761u ^ u32(data[at + 1]) * 40503u ^ data[at + 2]) & 0x7FFF;
    };
    size_t literalStart = 0, at = 0;
    while (at < size) {
        size_t bestLength = 0, bestDistance = 0;
        if (at + 3 <= size) {
            const u32 h = hash(at);
            int depth = 0;
            for (s32 c = head[h]; c >= 0 && depth < kChainDepth; c = chain[size_t(c)], ++depth) {
                const size_t distance = at - size_t(c);
                if (distance > kMaxDistance) break;
                size_t length = 0;
                const size_t limit = std::min(kMaxMatch, size - at);
                while (length < limit && data[size_t(c) + length] == data[at + length])
                    ++length;
                const bool codable = (length >= 3 && distance <= 1024) ||
                                     (length >= 4 && distance <= 16384) || length >= 5;
                if (codable && length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                }
            }
        }
        if (bestLength == 0) {
            if (at + 3 <= size) {
                const u32 h = hash(at);
                chain[at] = head[h];
                head[h] = s32(at);
            }
            ++at;
            continue;
        }
        literalStart = w.FlushLiterals(literalStart, at);
        const size_t literals = at - literalStart;
        const size_t d = bestDistance - 1;
        size_t length = bestLength;
        if (length <= 10 && bestDistance <= 1024) {
            w.out.push_back(static_cast<u8>((d >> 8) << 5 | (length - 3) << 2 | literals));
            w.out.push_back(static_cast<u8>(d));
        } else if (length <= 67 && bestDistance <= 16384) {
            w.out.push_back(static_cast<u8>(0x80 | (length - 4)));
            w.out.push_back(static_cast<u8>(literals << 6 | (d >> 8)));
            w.out.push_back(static_cast<u8>(d));
        } else {
            length = std::min(length, kMaxMatch);
            const size_t n = length - 5;
            w.out.push_back(
                static_cast<u8>(0xC0 | ((d >> 16) & 1) << 4 | (n >> 8) << 2 | literals));
            w.out.push_back(static_cast<u8>(d >> 8));
            w.out.push_back(static_cast<u8>(d));
            w.out.push_back(static_cast<u8>(n));
        }
        w.out.insert(w.out.end(), data + literalStart, data + at);
        for (size_t i = 0; i < length; ++i, ++at) {
            if (at + 3 <= size) {
                const u32 h = hash(at);
                chain[at] = head[h];
                head[h] = s32(at);
            }
        }
        literalStart = at;
    }
    literalStart = w.FlushLiterals(literalStart, size);
    w.out.push_back(static_cast<u8>(0xFC | (size - literalStart)));
    w.out.insert(w.out.end(), data + literalStart, data + size);
    return w.out;
}

std::vector<u8> EncodePaletteKeyFrame(int width, int height, const std::vector<u8>& paletteRgb,
                                      const u8* picture) {
    std::vector<u8> out;
    const int count = static_cast<int>(std::min<size_t>(paletteRgb.size() / 3, 256));
    PutLe16(out, width);
    PutLe16(out, height);
    PutLe16(out, 0);
    PutLe16(out, count);
    out.insert(out.end(), 4, 0);
    out.insert(out.end(), paletteRgb.begin(), paletteRgb.begin() + 3 * count);
    const std::vector<u8> lz = EncodeLz(picture, size_t(width) * size_t(height));
    out.insert(out.end(), lz.begin(), lz.end());
    return out;
}

std::vector<u8> EncodePaletteDeltaFrame(int width, int height, const u8* previous,
                                        const u8* current, int searchRadius) {
    using Block = std::array<u8, 16>;
    const auto blockAt = [width](const u8* picture, int x, int y) {
        Block b;
        for (int r = 0; r < 4; ++r)
            std::memcpy(&b[size_t(r) * 4], picture + size_t(y + r) * size_t(width) + size_t(x), 4);
        return b;
    };

    std::vector<std::pair<int, int>> vectors;
    std::map<std::pair<int, int>, int> vectorIndex;
    std::vector<Block> raw, fourColour;
    std::map<Block, int> rawIndex, fourIndex;
    // Per block: (kind, number): 0 vector, 1 raw, 2 four-colour.
    std::vector<std::pair<int, int>> choice;

    const auto tryVector = [&](const Block& want, int x, int y, int dx, int dy) {
        const int sx = x + dx, sy = y + dy;
        if (sx < 0 || sy < 0 || sx + 4 > width || sy + 4 > height) return false;
        if (dx < -512 || dx > 511 || dy < -512 || dy > 511) return false;
        return blockAt(previous, sx, sy) == want;
    };

    for (int y = 0; y < height; y += 4) {
        for (int x = 0; x < width; x += 4) {
            const Block want = blockAt(current, x, y);
            bool found = false;
            std::pair<int, int> vec{0, 0};
            // The vectors already chosen first (a pan moves most blocks alike), then a window.
            for (const auto& v : vectors) {
                if (tryVector(want, x, y, v.first, v.second)) {
                    vec = v;
                    found = true;
                    break;
                }
            }
            for (int d = 0; d <= searchRadius && !found; ++d) {
                for (int dy = -d; dy <= d && !found; ++dy) {
                    for (int dx = -d; dx <= d && !found; ++dx) {
                        if (std::max(std::abs(dx), std::abs(dy)) != d) continue;
                        if (tryVector(want, x, y, dx, dy)) {
                            vec = {dx, dy};
                            found = true;
                        }
                    }
                }
            }
            if (found) {
                auto it = vectorIndex.find(vec);
                if (it == vectorIndex.end()) {
                    it = vectorIndex.emplace(vec, int(vectors.size())).first;
                    vectors.push_back(vec);
                }
                choice.emplace_back(0, it->second);
                continue;
            }
            Block colours = want;
            std::sort(colours.begin(), colours.end());
            const size_t distinct =
                size_t(std::unique(colours.begin(), colours.end()) - colours.begin());
            if (distinct <= 4) {
                auto it = fourIndex.find(want);
                if (it == fourIndex.end()) {
                    it = fourIndex.emplace(want, int(fourColour.size())).first;
                    fourColour.push_back(want);
                }
                choice.emplace_back(2, it->second);
            } else {
                auto it = rawIndex.find(want);
                if (it == rawIndex.end()) {
                    it = rawIndex.emplace(want, int(raw.size())).first;
                    raw.push_back(want);
                }
                choice.emplace_back(1, it->second);
            }
        }
    }

    const size_t sources = vectors.size() + raw.size() + fourColour.size();
    int bits = 1;
    while ((size_t(1) << bits) < sources)
        ++bits;
    if (bits > 12) return {};

    std::vector<u8> out;
    PutLe16(out, int(vectors.size()));
    PutLe16(out, int(raw.size()));
    PutLe16(out, int(fourColour.size()));
    PutLe16(out, bits);
    out.insert(out.end(), 4, 0);

    LsbBitWriter vectorBits;
    for (const auto& v : vectors) {
        vectorBits.Put(u32(v.first) & 0x3FF, 10);
        vectorBits.Put(u32(v.second) & 0x3FF, 10);
    }
    std::vector<u8>& vectorBytes = vectorBits.Bytes();
    vectorBytes.resize(((20 * vectors.size() + 31) >> 3) & ~size_t(3), 0);
    out.insert(out.end(), vectorBytes.begin(), vectorBytes.end());

    for (const Block& b : raw)
        out.insert(out.end(), b.begin(), b.end());
    for (const Block& b : fourColour) {
        Block colours = b;
        std::sort(colours.begin(), colours.end());
        const size_t distinct =
            size_t(std::unique(colours.begin(), colours.end()) - colours.begin());
        for (size_t i = distinct; i < 4; ++i)
            colours[i] = colours[0];
        u32 word = 0;
        for (int p = 0; p < 16; ++p) {
            const u32 slot = u32(std::find(colours.begin(), colours.begin() + 4, b[size_t(p)]) -
                                 colours.begin());
            word |= slot << (30 - 2 * p);
        }
        out.insert(out.end(), colours.begin(), colours.begin() + 4);
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<u8>(word >> (8 * i)));
    }

    LsbBitWriter indices;
    const int firstRaw = int(vectors.size());
    const int firstFour = firstRaw + int(raw.size());
    for (const auto& c : choice) {
        const int base = c.first == 0 ? 0 : (c.first == 1 ? firstRaw : firstFour);
        indices.Put(u32(base + c.second), bits);
    }
    out.insert(out.end(), indices.Bytes().begin(), indices.Bytes().end());
    return out;
}

}  // namespace movie_content
