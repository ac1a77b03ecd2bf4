#include "movie/movie_frame_decoder.h"

#include <atomic>
#include <cstdio>

#include "core/byte_order.h"
#include "movie/palette_frame.h"
#include "movie/transform_frame.h"

namespace movie {
namespace {

u16 Le16(const u8* p) {
    return LoadLe16(p);
}

// Only 15- and 16-bit displays are built: the decoders write 16-bit pixels or pixel pairs.
bool SixteenBitTarget(const MovieFrame& frame) {
    if (frame.bytesPerPixel == 2) return true;
    static std::atomic<bool> said{false};
    if (!said.exchange(true))
        std::fprintf(stderr, "movie: frames for %d-byte pixels are not built yet\n",
                     frame.bytesPerPixel);
    return false;
}

// Key and delta frames: the decoder keeps the 8-bit pictures and the palette; each shown
// frame is the current picture through the palette's pixel values.
class PaletteCodingDecoder : public MovieFrameDecoder {
public:
    explicit PaletteCodingDecoder(int brightness) : decoder_(brightness) {}

    bool FrameSize(int type, const u8* payload, size_t size, int& width, int& height) override {
        if (type != kPaletteKeyFrame) return false;
        if (!payload || size < 4) return false;
        width = Le16(payload);
        height = Le16(payload + 2);
        return true;
    }

    bool Decode(const u8* payload, size_t size, MovieFrame& frame) override {
        if (!SixteenBitTarget(frame) || !frame.colour || !frame.format) return false;
        const bool decoded = frame.type == kPaletteKeyFrame
                                 ? decoder_.DecodePaletteKeyFrame(payload, size)
                                 : decoder_.DecodePaletteDeltaFrame(payload, size);
        if (!decoded) return false;
        // The picture must fit the frame buffer the player made for this size.
        if (decoder_.Width() != frame.width || decoder_.Height() != frame.height) return false;
        BuildPalettePixels(*frame.colour, decoder_.Palette(), *frame.format, frame.pixelDouble);
        WritePalettePicture(decoder_.Picture(), frame.width, frame.height,
                            frame.colour->palettePixels.data(), frame.pixelDouble, frame.target);
        return true;
    }

private:
    PaletteFrameDecoder decoder_;
};

// Type 3 or type 4 frames straight into the display pixels of the target, copies read
// from the picture shown before.
class TransformCodingDecoder : public MovieFrameDecoder {
public:
    explicit TransformCodingDecoder(bool vlc) : vlc_(vlc) {}

    bool FrameSize(int, const u8* payload, size_t size, int& width, int& height) override {
        TransformFrameHeader header;
        if (!ReadTransformFrameHeader(payload, size, header)) return false;
        width = header.width;
        height = header.height;
        return true;
    }

    bool Decode(const u8* payload, size_t size, MovieFrame& frame) override {
        if (!SixteenBitTarget(frame) || !frame.colour) return false;
        PixelTarget target(ColourTableView(*frame.colour), frame.width, frame.height,
                           frame.pixelDouble, frame.target, frame.reference, size_t(frame.pitch));
        return vlc_ ? DecodeVlcFrame(payload, size, target)
                    : DecodeQualityFrame(payload, size, target);
    }

private:
    bool vlc_;
};

}  // namespace

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

std::unique_ptr<MovieFrameDecoder> MakeMovieFrameDecoder(int type, int brightness) {
    switch (type) {
        case kPaletteKeyFrame:
        case kPaletteDeltaFrame:
            return std::make_unique<PaletteCodingDecoder>(brightness);
        case kQualityCodedFrame:
            return std::make_unique<TransformCodingDecoder>(false);
        case kVariableLengthCodedFrame:
            return std::make_unique<TransformCodingDecoder>(true);
        default:
            return nullptr;
    }
}

}  // namespace movie
