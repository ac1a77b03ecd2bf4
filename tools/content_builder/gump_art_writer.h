#pragma once
// Writes gump art in the client's layout: gumpidx.mul (12-byte entries {s32 offset, s32
// length, u32 width << 16 | height}, offset -1 for an id without art) and gumpart.mul (per
// record: height u32 row offsets in 32-bit words from the record's start, then each row's
// runs as u32 {colour low, length high}).
#include <map>
#include <vector>

#include "platform/types.h"

// One record's bytes for a width x height picture of 5-5-5 pixels (0 see-through).
std::vector<u8> EncodeGumpArt(const u16* pixels, int width, int height);

struct GumpPicture {
    int width = 0;
    int height = 0;
    std::vector<u16> pixels;
};

class GumpArtWriter {
public:
    // A second picture for an id already written is not taken: the id is noted in
    // Duplicates(), which the builder turns into an error (one painter would silently replace
    // another's picture).
    void Add(u32 id, const GumpPicture& picture);
    const std::vector<u32>& Duplicates() const { return duplicates_; }
    // The two files' bytes; the index covers ids 0 .. the highest added.
    std::vector<u8> IndexBytes() const;
    std::vector<u8> DataBytes() const;

private:
    std::map<u32, GumpPicture> pictures_;
    std::vector<u32> duplicates_;
};

// 5-5-5 pixel from channels 0-31.
inline u16 GumpRgb5(int r, int g, int b) {
    return static_cast<u16>(r << 10 | g << 5 | b);
}

// A picture being painted: fills, bevelled frames, grained stone.
struct GumpCanvas {
    GumpPicture picture;
    GumpCanvas(int w, int h);
    u16& At(int x, int y) { return picture.pixels[static_cast<size_t>(y) * picture.width + x]; }
    void Fill(int x0, int y0, int x1, int y1, u16 colour);
    // A raised (or, with `sunken`, pressed-in) frame of the given thickness.
    void Bevel(int x0, int y0, int x1, int y1, int thickness, bool sunken);
    // Channels with a small fixed grain added, the same on every build.
    void Stone(int x0, int y0, int x1, int y1, int r, int g, int b);
};
