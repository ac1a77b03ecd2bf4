#pragma once
// Gump art: the run-length images that client windows draw their frames, buttons and
// pictures from, and the clipped copies that put them into 16-bit buffers.
//
// A record (from the data cache, gumpidx/gumpart) comes with the index entry's extra word:
// width = extra >> 16, height = extra & 0xFFFF. It begins with height u32 row offsets, each
// counting 32-bit words from the start of the record; a row is a sequence of u32 runs,
// colour (5-5-5) in the low half, length in pixels in the high half. Nothing outside the
// record is read: a row that ends early is see-through for the rest, runs past the width are
// cut, and a record too short for its row table counts as missing.
#include <cstddef>

#include "client/data/pixel_spans.h"
#include "platform/types.h"

struct GumpArtRecord {
    const u8* data = nullptr;
    size_t size = 0;
    u32 extra = 0;
};

// Where gump art records come from (the data cache). The one in force until a real source is
// installed has no records and says so once in the client log.
class GumpArtServices {
public:
    virtual ~GumpArtServices() = default;
    // The record of a gump id; false when it does not exist.
    virtual bool FindGumpArt(u32 id, GumpArtRecord& out);
};
GumpArtServices& GetGumpArtServices();
// Installs a source (kept alive by the caller; null puts back the empty one); answers the
// previous one.
GumpArtServices* SetGumpArtServices(GumpArtServices* source);

// A record checked against its size. Rows decode into a caller's line.
class GumpArtImage {
public:
    // False (and an empty image) when the record is missing or malformed.
    bool Open(const GumpArtRecord& record);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixels 0 .. columns - 1 of a row (columns <= width); 0 where the row's runs end early.
    void DecodeRow(int row, u16* line, int columns) const;
    // The colour at (x, y) inside the image.
    u16 PixelAt(int x, int y) const;

private:
    size_t RowStart(int row) const;
    const u8* data_ = nullptr;
    size_t size_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Width and height of a gump art; false and 0 x 0 when it does not exist.
bool GetGumpArtSize(u32 id, int& width, int& height);
// One of the two (0 when the art does not exist).
int GumpArtWidth(int id);
int GumpArtHeight(int id);
// Draws the art with its top-left corner at (x, y), clipped to the destination, through the
// row-copy routine; in 565 mode the written pixels are converted. Nothing for a missing art.
void CopyGumpToBuf(BlitSpan span, u32 id, int x, int y, u16* dst, int dstWidth, int dstHeight);
// The same, clipped to the rectangle as well.
void CopyGumpToBufClipped(BlitSpan span, u32 id, const ClipRect& clip, int x, int y, u16* dst,
                          int dstWidth, int dstHeight);
// The same for a record already at hand.
void CopyGumpImageClipped(BlitSpan span, const GumpArtImage& image, const ClipRect& clip, int x,
                          int y, u16* dst, int dstWidth, int dstHeight);
// The colour at (x, y) of the art (converted to 565 in 565 mode); 0 when the art does not
// exist or (x, y) lies outside it.
u16 GetGumpArtPixel(u32 id, int x, int y);
