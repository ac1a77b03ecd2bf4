#include "movie/palette_frame.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"

namespace movie {

namespace {

u16 Le16(const u8* p) {
    return LoadLe16(p);
}

// Field k of `bits` bits from an area packed from the least significant bit upward; bytes at
// or past `size` read as zero.
u32 BitField(const u8* src, size_t size, size_t k, int bits) {
    const size_t first = k * size_t(bits);
    const size_t byte = first >> 3;
    u32 window = 0;
    for (size_t i = 0; i < 3 && byte + i < size; ++i)
        window |= u32(src[byte + i]) << (8 * i);
    return (window >> (first & 7)) & ((1u << bits) - 1);
}

}  // namespace

u32 DecompressLz(const u8* src, size_t srcSize, u8* dst, size_t dstCapacity, size_t* written) {
    if (written) *written = 0;
    if (!src) return 0;
    size_t pos = (srcSize > 0 && (src[0] & 1)) ? 5 : 2;
    if (pos + 3 > srcSize) return 0;
    const u32 size = u32(src[pos]) << 16 | u32(src[pos + 1]) << 8 | src[pos + 2];
    pos += 3;
    if (!dst) return size;

    size_t out = 0;
    bool stop = false;
    while (!stop && pos < srcSize && out < dstCapacity) {
        const u8 b0 = src[pos];
        size_t length, literals, count = 0, distance = 0;
        if (b0 < 0x80) {
            length = 2;
        } else if (b0 < 0xC0) {
            length = 3;
        } else if (b0 < 0xE0) {
            length = 4;
        } else {
            length = 1;
        }
        if (pos + length > srcSize) break;
        const u8 b1 = length > 1 ? src[pos + 1] : 0;
        const u8 b2 = length > 2 ? src[pos + 2] : 0;
        const u8 b3 = length > 3 ? src[pos + 3] : 0;
        if (b0 < 0x80) {
            literals = b0 & 3;
            count = ((b0 >> 2) & 7) + 3;
            distance = (size_t(b0 >> 5) << 8 | b1) + 1;
        } else if (b0 < 0xC0) {
            literals = b1 >> 6;
            count = (b0 & 0x3F) + 4;
            distance = (size_t(b1 & 0x3F) << 8 | b2) + 1;
        } else if (b0 < 0xE0) {
            literals = b0 & 3;
            count = (size_t((b0 >> 2) & 3) << 8 | b3) + 5;
            distance = (size_t(b0 & 0x10) << 12 | size_t(b1) << 8 | b2) + 1;
        } else if (b0 < 0xFC) {
            literals = ((b0 & 0x1F) + 1) * 4;
        } else {
            literals = b0 & 3;
            stop = true;
        }
        pos += length;

        const size_t copy = std::min({literals, srcSize - pos, dstCapacity - out});
        std::memcpy(dst + out, src + pos, copy);
        out += copy;
        pos += copy;
        if (copy < literals) break;
        // A match reaching before the start of the output is corrupt data: stop there.
        if (distance > out) break;
        for (size_t i = 0; i < count && out < dstCapacity; ++i, ++out)
            dst[out] = dst[out - distance];
    }
    if (written) *written = out;
    return size;
}

void UnpackIndices(s32* table, const u8* src, size_t srcSize, size_t count, int bits) {
    for (size_t k = 0; k < count; ++k)
        table[k] = static_cast<s32>(BitField(src, srcSize, k, bits));
}

bool PaletteFrameDecoder::DecodePaletteKeyFrame(const u8* payload, size_t size) {
    if (!payload || size < 12) return false;
    const int width = Le16(payload), height = Le16(payload + 2);
    const int count = Le16(payload + 6);
    if (width == 0 || height == 0 || width % 8 != 0 || height % 4 != 0 || width > kMaxWidth ||
        height > kMaxHeight) {
        return false;
    }
    // The picture follows every entry the frame names, even those past the 256 we keep.
    const size_t pictureAt = 12 + 3 * size_t(count);
    if (pictureAt > size) return false;

    width_ = width;
    height_ = height;
    paletteCount_ = std::min(count, 256);
    const int brightness = std::max(brightness_, 0);
    for (int i = 0; i < paletteCount_ * 3; ++i)
        palette_[i] = static_cast<u8>(std::min(255, payload[12 + i] * brightness / 100));

    const size_t pixels = size_t(width) * size_t(height);
    const size_t padded = (pixels + 15) & ~size_t(15);
    pictureA_.assign(padded, 0);
    pictureB_.assign(padded, 0);
    blockTable_.assign(padded / 16, 0);
    DecompressLz(payload + pictureAt, size - pictureAt, pictureA_.data(), pixels);
    return true;
}

bool PaletteFrameDecoder::DecodePaletteDeltaFrame(const u8* payload, size_t size) {
    if (!HasPicture() || !payload || size < 12) return false;
    const int vectors = Le16(payload), raw = Le16(payload + 2), fourColour = Le16(payload + 4);
    const int bits = Le16(payload + 6);
    if (bits > 12) return false;
    const size_t blocks = size_t(width_) * size_t(height_) / 16;
    const size_t vectorBytes = ((20 * size_t(vectors) + 31) >> 3) & ~size_t(3);
    const size_t rawAt = 12 + vectorBytes;
    const size_t fourAt = rawAt + 16 * size_t(raw);
    const size_t indicesAt = fourAt + 8 * size_t(fourColour);
    const size_t indexBytes = (size_t(bits) * blocks + 7) / 8;
    if (indicesAt + indexBytes > size) return false;

    std::swap(pictureA_, pictureB_);

    vectorDx_.resize(size_t(vectors));
    vectorDy_.resize(size_t(vectors));
    for (int v = 0; v < vectors; ++v) {
        // Two's-complement 10-bit fields, dx then dy.
        const u32 dx = BitField(payload + 12, vectorBytes, size_t(2 * v), 10);
        const u32 dy = BitField(payload + 12, vectorBytes, size_t(2 * v + 1), 10);
        vectorDx_[size_t(v)] = static_cast<s32>(dx) - ((dx & 0x200) ? 0x400 : 0);
        vectorDy_[size_t(v)] = static_cast<s32>(dy) - ((dy & 0x200) ? 0x400 : 0);
    }

    const int codebookBlocks = raw + fourColour;
    codebook_.resize(size_t(codebookBlocks) * 16);
    if (raw > 0) std::memcpy(codebook_.data(), payload + rawAt, 16 * size_t(raw));
    for (int k = 0; k < fourColour; ++k) {
        const u8* block = payload + fourAt + 8 * size_t(k);
        const u32 word =
            u32(block[4]) | u32(block[5]) << 8 | u32(block[6]) << 16 | u32(block[7]) << 24;
        u8* out = &codebook_[16 * (size_t(raw) + size_t(k))];
        for (int p = 0; p < 16; ++p)
            out[p] = block[(word >> (30 - 2 * p)) & 3];
    }

    if (bits != 0 && blocks != 0)
        UnpackIndices(blockTable_.data(), payload + indicesAt, indexBytes, blocks, bits);

    RenderPaletteBlocks(blockTable_.data(), pictureB_.data(), pictureA_.data(), vectors,
                        vectorDx_.data(), vectorDy_.data(), codebook_.data(), codebookBlocks,
                        width_, height_);
    return true;
}

void RenderPaletteBlocks(const s32* blockTable, const u8* previous, u8* current, int vectorCount,
                         const s32* vectorDx, const s32* vectorDy, const u8* codebook,
                         int codebookBlocks, int width, int height) {
    size_t next = 0;
    for (int y = 0; y + 4 <= height; y += 4) {
        for (int x = 0; x + 4 <= width; x += 4) {
            const s32 index = blockTable[next++];
            u8* to = current + size_t(y) * size_t(width) + size_t(x);
            const u8* from = previous + size_t(y) * size_t(width) + size_t(x);
            size_t fromPitch = size_t(width);
            if (index >= 0 && index < vectorCount) {
                const int sx = x + vectorDx[index], sy = y + vectorDy[index];
                if (sx >= 0 && sy >= 0 && sx + 4 <= width && sy + 4 <= height)
                    from = previous + size_t(sy) * size_t(width) + size_t(sx);
            } else if (index >= vectorCount && index - vectorCount < codebookBlocks) {
                from = codebook + 16 * size_t(index - vectorCount);
                fromPitch = 4;
            }
            for (int row = 0; row < 4; ++row)
                std::memcpy(to + size_t(row) * size_t(width), from + size_t(row) * fromPitch, 4);
        }
    }
}

void WritePalettePicture(const u8* picture, int width, int height, const u32 palettePixels[256],
                         bool pixelDouble, void* target) {
    const size_t pixels = size_t(width) * size_t(height);
    if (pixelDouble) {
        u32* out = static_cast<u32*>(target);
        for (size_t i = 0; i < pixels; ++i)
            out[i] = palettePixels[picture[i]];
    } else {
        u16* out = static_cast<u16*>(target);
        for (size_t i = 0; i < pixels; ++i)
            out[i] = static_cast<u16>(palettePixels[picture[i]]);
    }
}

}  // namespace movie
