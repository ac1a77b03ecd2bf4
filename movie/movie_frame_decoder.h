#pragma once
// The interface every frame coding of a movie plugs into. The player reads a chunk's frame
// type from its tag, asks the decoder of that type's coding for the frame size and then
// decodes the payload into the target frame buffer. One decoder object serves all the
// types of its coding for the whole movie and keeps the coding's state (palette, codebook,
// predictors) between frames.
#include <memory>

#include "movie/movie_colour.h"
#include "platform/types.h"

namespace movie {

enum MovieFrameType : int {
    kPaletteKeyFrame = 1,
    kPaletteDeltaFrame = 2,
    kQualityCodedFrame = 3,
    kVariableLengthCodedFrame = 4,
};

// The codings: one decoder each.
enum class FrameCoding { kPalette, kQualityTransform, kVariableLengthTransform };
constexpr int kFrameCodings = 3;
FrameCoding CodingOfFrameType(int type);

// Where and how one frame is decoded. The buffers hold `height` rows of `pitch` bytes;
// with pixel doubling each frame pixel is written as a pair (twice as wide).
struct MovieFrame {
    int type = 0;
    int width = 0;  // frame pixels, from the frame header (or the last one)
    int height = 0;
    u8* target = nullptr;           // decoded into
    const u8* reference = nullptr;  // the frame before the previous one (transform codings)
    int pitch = 0;                  // bytes per row
    int bytesPerPixel = 2;
    bool pixelDouble = false;
    MovieColourTables* colour = nullptr;
    const DisplayFormat* format = nullptr;
};

class MovieFrameDecoder {
public:
    virtual ~MovieFrameDecoder() = default;
    // The frame size carried by the payload's header; false when the type carries none
    // (palette delta frames) or the header cannot be read.
    virtual bool FrameSize(int type, const u8* payload, size_t size, int& width, int& height) = 0;
    // Decodes the payload into frame.target. False refuses the frame.
    virtual bool Decode(const u8* payload, size_t size, MovieFrame& frame) = 0;
};

// A new decoder for the coding of `type` (palette colours scaled by `brightness` percent);
// null for a type that has no coding. The decoders write 16-bit pixels (or 32-bit pairs);
// frames for other display depths are refused.
std::unique_ptr<MovieFrameDecoder> MakeMovieFrameDecoder(int type, int brightness = 100);

}  // namespace movie
