#pragma once
// Encoders of the movie's palette frames, the inverse of movie/palette_frame.h: the LZ coding,
// key frames (palette and compressed picture) and delta frames (4 x 4 blocks from the
// previous picture at a motion vector, or from a codebook of raw and four-colour blocks).
// Every output is exact and depends only on the input.
#include <vector>

#include "platform/types.h"

namespace movie_content {

// The LZ coding of `size` bytes (a header with the size, then commands).
std::vector<u8> EncodeLz(const u8* data, size_t size);

// A key frame: width a multiple of 8, height of 4; paletteRgb holds up to 256 red, green,
// blue triples; picture is width x height indices.
std::vector<u8> EncodePaletteKeyFrame(int width, int height, const std::vector<u8>& paletteRgb,
                                      const u8* picture);

// A delta frame that turns `previous` into `current` exactly. Motion vectors are searched
// within `searchRadius` pixels. Empty when the picture needs more block sources than a
// 12-bit index reaches: such a picture is sent as a key frame.
std::vector<u8> EncodePaletteDeltaFrame(int width, int height, const u8* previous,
                                        const u8* current, int searchRadius = 2);

}  // namespace movie_content
