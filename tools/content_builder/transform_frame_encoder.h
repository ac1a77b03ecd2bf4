#pragma once
// Encoders of the movie's transform-coded frames, the inverse of movie/transform_frame.h:
// quality-coded frames (type 3) and variable-length-coded frames (type 4). The encoder keeps
// the picture a player decodes from its output, so that a type 4 frame can copy macroblocks
// of the frame before it. Every output depends only on the input.
#include <memory>
#include <vector>

#include "movie/transform_frame.h"
#include "platform/types.h"

namespace movie_content {

// A picture in 8-bit YCbCr, one sample of each per pixel.
struct YuvImage {
    int width = 0;
    int height = 0;
    std::vector<u8> y, cb, cr;
};

// Converts width x height red, green, blue triples: full range (JPEG's YCbCr, 0..255 for every
// component) or studio range (luminance 16..235, colour differences 16..240).
YuvImage YuvFromRgb(const u8* rgb, int width, int height, movie::ColourRange range);

// The 8-bit value a decoded half-scale sample stands for.
int SampleToByte(s32 sample, movie::ColourRange range);

class TransformFrameEncoder {
public:
    // A type 3 frame at the given quality (0..100); sizes are multiples of 16.
    std::vector<u8> EncodeQualityFrame(const YuvImage& image, int quality);

    // A type 4 frame. With allowCopies, macroblocks that the previous frame of this encoder
    // already shows closely (displaced by -8..7 pixels) are sent as copies.
    std::vector<u8> EncodeVlcFrame(const YuvImage& image, int quality, movie::ColourRange range,
                                   bool allowCopies);

    // The next frame follows a picture this encoder did not make: it copies nothing.
    void ForgetReference() { reference_.reset(); }

    // The picture a player decodes from the last frame.
    const movie::SamplePicture* Reconstruction() const { return reference_.get(); }

private:
    void Reconstruct(const std::vector<u8>& payload, bool vlc, int width, int height);

    std::unique_ptr<movie::SamplePicture> reference_;
};

}  // namespace movie_content
