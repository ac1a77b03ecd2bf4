#include "movie/movie_frame_decoder.h"

namespace movie {

FrameCoding CodingOfFrameType(int type) {
    switch (type) {
        case kQualityCodedFrame:
            return FrameCoding::kQualityTransform;
        case kVariableLengthCodedFrame:
            return FrameCoding::kVariableLengthTransform;
        default:
            return FrameCoding::kPalette;
    }
}

std::unique_ptr<MovieFrameDecoder> MakeMovieFrameDecoder(int type) {
    // No frame coding is built yet: the player refuses such frames and says so once.
    (void)type;
    return nullptr;
}

bool ReadTransformFrameSize(const u8* payload, size_t size, int& width, int& height) {
    if (size < 5) return false;
    width = s16(u16(payload[0] | payload[1] << 8));
    height = s16(u16(payload[2] | payload[3] << 8));
    return true;
}

}  // namespace movie
