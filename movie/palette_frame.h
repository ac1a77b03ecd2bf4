#pragma once
// Palette-coded movie frames: key frames (a palette and an LZ-compressed 8-bit picture) and
// delta frames (4 x 4 blocks copied from the previous picture at a motion vector or taken
// from a codebook sent with the frame).
//
// The decoder keeps two 8-bit pictures, one palette index per pixel in rows of width bytes:
// `Picture()` is the current one, the other the previous one. Its palette holds the colours
// already scaled by the brightness. Turning the picture into display pixels is the player's
// (`WritePalettePicture` with the palette pixel table).
//
// Streams that break the format's limits are handled safely: a delta frame before any key
// frame, an index width above 12 bits, a size that is not a multiple of 8 x 4 (or is larger
// than the decoder's limit) and a payload too short for its own header fields refuse the
// frame and leave every picture as it was; more than 256 palette entries read the first 256;
// a block index past the codebook or a vector reaching outside the picture keeps the block as
// it was shown (the previous picture's block, unmoved); the LZ output stops at the picture's
// end, and at a match reaching before its start.
#include <vector>

#include "platform/types.h"

namespace movie {

// Decompresses the LZ coding of a key-frame picture from src (srcSize bytes) into dst,
// writing at most dstCapacity bytes; with a null dst only the header is read. Returns the
// decompressed size the header gives (0 for a null or truncated source); `written`, when
// given, receives the number of bytes actually written.
u32 DecompressLz(const u8* src, size_t srcSize, u8* dst, size_t dstCapacity,
                 size_t* written = nullptr);

// Unpacks `count` fields of `bits` bits (1..12), packed from the least significant bit of
// each byte upward, from src (srcSize bytes; missing bytes read as zero) into table.
void UnpackIndices(s32* table, const u8* src, size_t srcSize, size_t count, int bits);

class PaletteFrameDecoder {
public:
    static constexpr int kMaxWidth = 640;
    static constexpr int kMaxHeight = 480;

    // brightness in percent scales the palette colours.
    explicit PaletteFrameDecoder(int brightness = 100) : brightness_(brightness) {}

    // Frame type 1. False when the frame is refused (nothing changes then).
    bool DecodePaletteKeyFrame(const u8* payload, size_t size);
    // Frame type 2. False when the frame is refused (nothing changes then).
    bool DecodePaletteDeltaFrame(const u8* payload, size_t size);

    bool HasPicture() const { return !pictureA_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The current picture: width x height indices, rows of width bytes.
    const u8* Picture() const { return pictureA_.data(); }
    // 256 entries of red, green and blue.
    const u8* Palette() const { return palette_; }
    // Palette entries named by the last key frame (at most 256).
    int PaletteCount() const { return paletteCount_; }

private:
    int brightness_;
    int width_ = 0, height_ = 0;
    int paletteCount_ = 0;
    u8 palette_[256 * 3] = {};
    std::vector<u8> pictureA_, pictureB_;
    std::vector<s32> blockTable_;
    std::vector<s32> vectorDx_, vectorDy_;
    std::vector<u8> codebook_;
};

// Renders a delta frame's blocks into `current`: index i below vectorCount copies the block of
// `previous` at this block's place moved by vector i; otherwise codebook block i - vectorCount.
// A vector reaching outside the picture, or an index past the codebook, copies the block of
// `previous` unmoved.
void RenderPaletteBlocks(const s32* blockTable, const u8* previous, u8* current, int vectorCount,
                         const s32* vectorDx, const s32* vectorDy, const u8* codebook,
                         int codebookBlocks, int width, int height);

// Writes an 8-bit picture to a tightly packed 15- or 16-bit target through the palette pixel
// table: the low 16 bits of each entry per pixel, or the whole 32-bit entry (a pixel pair)
// when pixelDouble.
void WritePalettePicture(const u8* picture, int width, int height, const u32 palettePixels[256],
                         bool pixelDouble, void* target);

}  // namespace movie
