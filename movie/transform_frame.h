#pragma once
// Transform-coded movie frames in 16 x 16 macroblocks of YCbCr 4:2:0: the quality-coded
// frames (type 3: flat or compactly coded macroblocks under one quality byte) and the
// variable-length-coded frames (type 4: MPEG-1 intra codes under a quantiser matrix, and
// macroblocks copied from the previous picture).
//
// The decoders produce half-scale samples per macroblock (a sample s stands for the 8-bit
// value 2s): level-shifted for the full-range colour conversion (type 3, and type 4 with the
// colour variant bit clear), unsigned for the studio-range one. They hand each macroblock to
// a `MacroblockSink`, which turns samples into its own picture: `PixelTarget` writes display
// pixels through the colour tables; `SamplePicture` keeps the samples themselves.
//
// Streams that break the format's limits are handled safely: a size that is not a multiple of
// 16, or larger than the sink, refuses the frame; qualities above 100 count as 100; a run
// past position 63 ends its block, and so does a code running past the macroblock record
// (type 3) or the frame (type 4, which leaves the macroblock cut off and the rest as they
// were);
// copy sources are clamped into the frame; studio-range table indices are clamped to the
// tables.
#include <vector>

#include "movie/movie_colour.h"
#include "platform/types.h"

namespace movie {

// Half-scale samples of one macroblock.
struct MacroblockSamples {
    s32 y[256];  // 16 rows of 16
    s32 cb[64];  // 8 rows of 8, one per 2 x 2 pixels
    s32 cr[64];
};

enum class ColourRange { kFull, kStudio };

class MacroblockSink {
public:
    virtual ~MacroblockSink() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Draws the macroblock whose top-left pixel is (x, y).
    virtual void PutMacroblock(int x, int y, const MacroblockSamples& samples,
                               ColourRange range) = 0;
    // Copies the 16 x 16 pixels of the previous picture at (fromX, fromY) to (x, y); both
    // lie inside the frame.
    virtual void CopyMacroblock(int x, int y, int fromX, int fromY) = 0;
};

// The fields the frame header sets.
struct TransformFrameHeader {
    int width = 0;
    int height = 0;
    int quality = 0;
    bool studioRange = false;  // type 4 only: colour variant 1
    bool noCopyFlags = false;  // type 4 only: no macroblock reads a copy flag
};

// Reads the header of a type 3 or type 4 payload; false when it is shorter than 8 bytes.
bool ReadTransformFrameHeader(const u8* payload, size_t size, TransformFrameHeader& header);

// Frame type 3 and type 4. False when the frame is refused; the sink is untouched then.
bool DecodeQualityFrame(const u8* payload, size_t size, MacroblockSink& sink);
bool DecodeVlcFrame(const u8* payload, size_t size, MacroblockSink& sink);

// Display pixels through the colour tables: 16-bit pixels (the low half of each table sum),
// or 32-bit pixel pairs (the whole sum) when pixelDouble. The target and the reference
// (the previous picture, read by copies) share the pitch in bytes.
class PixelTarget : public MacroblockSink {
public:
    PixelTarget(const ColourTables& tables, int width, int height, bool pixelDouble, u8* target,
                const u8* reference, size_t pitch)
        : tables_(tables),
          width_(width),
          height_(height),
          pixelDouble_(pixelDouble),
          target_(target),
          reference_(reference),
          pitch_(pitch) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void PutMacroblock(int x, int y, const MacroblockSamples& samples, ColourRange range) override;
    void CopyMacroblock(int x, int y, int fromX, int fromY) override;

private:
    ColourTables tables_;
    int width_, height_;
    bool pixelDouble_;
    u8* target_;
    const u8* reference_;
    size_t pitch_;
};

// The samples themselves, one luminance and one pair of colour-difference samples per pixel
// (the colour samples repeated over their 2 x 2 pixels), with the range each pixel was coded
// in. Copies read the reference picture, when one is set.
class SamplePicture : public MacroblockSink {
public:
    SamplePicture(int width, int height);

    void SetReference(const SamplePicture* reference) { reference_ = reference; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void PutMacroblock(int x, int y, const MacroblockSamples& samples, ColourRange range) override;
    void CopyMacroblock(int x, int y, int fromX, int fromY) override;

    s32 Y(int x, int y) const { return y_[At(x, y)]; }
    s32 Cb(int x, int y) const { return cb_[At(x, y)]; }
    s32 Cr(int x, int y) const { return cr_[At(x, y)]; }
    ColourRange Range(int x, int y) const { return range_[At(x, y)]; }

private:
    size_t At(int x, int y) const { return size_t(y) * size_t(width_) + size_t(x); }

    int width_, height_;
    std::vector<s32> y_, cb_, cr_;
    std::vector<ColourRange> range_;
    const SamplePicture* reference_ = nullptr;
};

}  // namespace movie
