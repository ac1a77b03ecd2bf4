#include "tools/content_builder/transform_frame_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

#include "movie/idct.h"
#include "movie/vlc_tables.h"
#include "tools/content_builder/bit_writer.h"

namespace movie_content {

namespace {

using movie::ColourRange;
using movie::kZigzag;

int ClampInt(int v, int low, int high) {
    return v < low ? low : (v > high ? high : v);
}

int RoundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

// The half-scale sample an 8-bit value is coded as, half a sample up because the decoder's
// transform rounds down. Full-range samples keep clear of the 7-bit wrap of the colour tables,
// so that quantisation noise cannot flip black to white.
double ByteToSample(int value, ColourRange range) {
    if (range == ColourRange::kStudio) return (value + 1) / 2.0;
    return std::clamp((value - 128) / 2.0, -60.0, 58.0);
}

// Forward DCT, scaled so that the decoder's transform gives the samples back: F = 2 x the
// orthonormal DCT (raster order, index v * 8 + u).
void ForwardTransform(const double samples[64], double coefficients[64]) {
    static const auto basis = [] {
        std::array<double, 64> b{};
        const double pi = std::acos(-1.0);
        for (int k = 0; k < 8; ++k)
            for (int x = 0; x < 8; ++x)
                b[size_t(k * 8 + x)] =
                    (k == 0 ? std::sqrt(0.125) : 0.5) * std::cos((2 * x + 1) * k * pi / 16.0);
        return b;
    }();
    double rows[64];
    for (int y = 0; y < 8; ++y)
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int x = 0; x < 8; ++x)
                sum += basis[size_t(u * 8 + x)] * samples[y * 8 + x];
            rows[y * 8 + u] = sum;
        }
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
                sum += basis[size_t(v * 8 + y)] * rows[y * 8 + u];
            coefficients[v * 8 + u] = 2.0 * sum;
        }
}

// The six blocks of the macroblock at (mx, my): Y0..Y3, then Cb and Cr averaged over 2 x 2.
void MacroblockCoefficients(const YuvImage& image, int mx, int my, ColourRange range,
                            double coefficients[6][64]) {
    double samples[64];
    for (int b = 0; b < 4; ++b) {
        const int x0 = mx + (b & 1) * 8, y0 = my + (b >> 1) * 8;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                samples[r * 8 + c] = ByteToSample(
                    image.y[size_t(y0 + r) * size_t(image.width) + size_t(x0 + c)], range);
        ForwardTransform(samples, coefficients[b]);
    }
    for (int plane = 0; plane < 2; ++plane) {
        const std::vector<u8>& source = plane == 0 ? image.cb : image.cr;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) {
                int sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += source[size_t(my + 2 * r + k / 2) * size_t(image.width) +
                                  size_t(mx + 2 * c + k % 2)];
                samples[r * 8 + c] = ByteToSample((sum + 2) / 4, range);
            }
        ForwardTransform(samples, coefficients[4 + plane]);
    }
}

// ---- Type 3 ----

void PutZeros(LsbBitWriter& w, int count) {
    while (count > 0) {
        if (count <= 2) {
            w.Put(0, 2);  // b0 = 0, b1 = 0
            w.Put(u32(count - 1), 1);
            count = 0;
        } else {
            const int n = std::min(count, 63);
            w.Put(1, 2);  // b0 = 1, b1 = 0
            w.Put(u32(n), 6);
            count -= n;
        }
    }
}

void PutQualityBlock(LsbBitWriter& w, const int levels[64]) {
    w.Put(u32(levels[0]) & 0xFF, 8);
    int zeros = 0;
    for (int pos = 1; pos < 64; ++pos) {
        const int level = levels[kZigzag[pos]];
        if (level == 0) {
            ++zeros;
            continue;
        }
        PutZeros(w, zeros);
        zeros = 0;
        if (level == 1 || level == -1) {
            w.Put(2, 2);  // b0 = 0, b1 = 1
            w.Put(level < 0 ? 1 : 0, 1);
        } else if (level >= -32 && level <= 31) {
            w.Put(3, 2);
            w.Put(u32(level) & 0x3F, 6);
        } else {
            w.Put(3, 2);
            w.Put(0x3F, 6);
            w.Put(u32(level) & 0xFF, 8);
        }
    }
    PutZeros(w, zeros);
}

// ---- Type 4 ----

struct CoefficientCodeMap {
    std::map<std::pair<int, int>, const movie::VlcCode*> byRunLevel;
    CoefficientCodeMap() {
        for (int i = 0; i < movie::kCoefficientCodeCount; ++i) {
            const movie::VlcCode& c = movie::kCoefficientCodes[i];
            byRunLevel[{c.run, c.level}] = &c;
        }
    }
};

void PutVlcBlock(MsbWordWriter& w, const int levels[64], bool chroma, int& predictor) {
    const int diff = levels[0] - predictor;
    predictor = levels[0];
    int size = 0;
    while ((std::abs(diff) >> size) != 0)
        ++size;
    const movie::VlcCode& sizeCode =
        (chroma ? movie::kDcSizeChromaCodes : movie::kDcSizeLumaCodes)[size];
    w.Put(sizeCode.bits, sizeCode.length);
    if (size > 0) w.Put(u32(diff > 0 ? diff : diff + (1 << size) - 1), size);

    static const CoefficientCodeMap codes;
    int run = 0;
    for (int pos = 1; pos < 64; ++pos) {
        const int level = levels[kZigzag[pos]];
        if (level == 0) {
            ++run;
            continue;
        }
        const auto it = codes.byRunLevel.find({run, std::abs(level)});
        if (it != codes.byRunLevel.end()) {
            w.Put(it->second->bits, it->second->length);
            w.Put(level < 0 ? 1 : 0, 1);
        } else {
            w.Put(movie::kEscapeCode, movie::kEscapeLength);
            w.Put(u32(run), 6);
            if (level >= -127 && level <= 127) {
                w.Put(u32(level) & 0xFF, 8);
            } else if (level > 0) {
                w.Put(0, 8);
                w.Put(u32(level), 8);
            } else {
                w.Put(128, 8);
                w.Put(u32(level + 256), 8);
            }
        }
        run = 0;
    }
    w.Put(movie::kEndOfBlockCode, movie::kEndOfBlockLength);
}

void PutLe16(std::vector<u8>& out, int value) {
    out.push_back(static_cast<u8>(value));
    out.push_back(static_cast<u8>(value >> 8));
}

std::vector<u8> FrameHeader(const YuvImage& image, int quality, u8 flags) {
    std::vector<u8> out;
    PutLe16(out, image.width);
    PutLe16(out, image.height);
    out.push_back(static_cast<u8>(quality));
    out.push_back(0);
    out.push_back(0);
    out.push_back(flags);
    return out;
}

// Sum of squared differences between the image and the reference picture displaced, over one
// macroblock; gives up once above `limit`.
// The reference picture as 8-bit bytes in the range of the frame being coded: the copy
// search reads every reference pixel many times.
struct ReferenceBytes {
    int width = 0;
    std::vector<int> y, cb, cr;
};

ReferenceBytes BytesOf(const movie::SamplePicture& reference, ColourRange range) {
    ReferenceBytes out;
    out.width = reference.Width();
    const size_t n = size_t(reference.Width()) * size_t(reference.Height());
    out.y.resize(n);
    out.cb.resize(n);
    out.cr.resize(n);
    for (int ry = 0; ry < reference.Height(); ++ry) {
        for (int rx = 0; rx < reference.Width(); ++rx) {
            const size_t at = size_t(ry) * size_t(out.width) + size_t(rx);
            out.y[at] = SampleToByte(reference.Y(rx, ry), range);
            out.cb[at] = SampleToByte(reference.Cb(rx, ry), range);
            out.cr[at] = SampleToByte(reference.Cr(rx, ry), range);
        }
    }
    return out;
}

double CopyCost(const YuvImage& image, const ReferenceBytes& reference, int x, int y, int fromX,
                int fromY, double limit) {
    double cost = 0;
    for (int r = 0; r < 16; ++r) {
        const size_t at = size_t(y + r) * size_t(image.width) + size_t(x);
        const size_t from = size_t(fromY + r) * size_t(reference.width) + size_t(fromX);
        for (int c = 0; c < 16; ++c) {
            const int dy = image.y[at + size_t(c)] - reference.y[from + size_t(c)];
            const int db = image.cb[at + size_t(c)] - reference.cb[from + size_t(c)];
            const int dr = image.cr[at + size_t(c)] - reference.cr[from + size_t(c)];
            cost += dy * dy + (db * db + dr * dr) / 2.0;
        }
        if (cost > limit) return cost;
    }
    return cost;
}

// The same measure for the macroblock as the decoder rebuilds it from its levels.
double IntraCost(const YuvImage& image, int mx, int my, const int levels[6][64],
                 const s64 table[64], ColourRange range) {
    s32 blocks[6][64];
    for (int b = 0; b < 6; ++b) {
        s64 coefficients[64];
        coefficients[0] = s64(levels[b][0]) * 65536;
        for (int i = 1; i < 64; ++i)
            coefficients[i] = levels[b][i] * table[i];
        movie::InverseTransformBlock(coefficients, blocks[b]);
    }
    double cost = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            const size_t at = size_t(my + r) * size_t(image.width) + size_t(mx + c);
            const int chroma = (r / 2) * 8 + c / 2;
            const int dy =
                image.y[at] - SampleToByte(blocks[(r / 8) * 2 + c / 8][(r % 8) * 8 + c % 8], range);
            const int db = image.cb[at] - SampleToByte(blocks[4][chroma], range);
            const int dr = image.cr[at] - SampleToByte(blocks[5][chroma], range);
            cost += dy * dy + (db * db + dr * dr) / 2.0;
        }
    return cost;
}

}  // namespace

YuvImage YuvFromRgb(const u8* rgb, int width, int height, ColourRange range) {
    YuvImage image;
    image.width = width;
    image.height = height;
    const size_t pixels = size_t(width) * size_t(height);
    image.y.resize(pixels);
    image.cb.resize(pixels);
    image.cr.resize(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        const double r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        double y = 0.299 * r + 0.587 * g + 0.114 * b;
        double cb = (b - y) / 1.772, cr = (r - y) / 1.402;
        if (range == ColourRange::kStudio) {
            y = 16 + y * 219.0 / 255.0;
            cb *= 224.0 / 255.0;
            cr *= 224.0 / 255.0;
        }
        image.y[i] = static_cast<u8>(ClampInt(RoundToInt(y), 0, 255));
        image.cb[i] = static_cast<u8>(ClampInt(RoundToInt(cb + 128), 0, 255));
        image.cr[i] = static_cast<u8>(ClampInt(RoundToInt(cr + 128), 0, 255));
    }
    return image;
}

int SampleToByte(s32 sample, ColourRange range) {
    if (range == ColourRange::kStudio) return ClampInt(2 * sample, 0, 255);
    // The colour tables read the low 7 bits as (2h + 1), a signed byte, around 128.
    const int h = sample & 0x7F;
    return static_cast<s8>(static_cast<u8>(2 * h + 1)) + 128;
}

std::vector<u8> TransformFrameEncoder::EncodeQualityFrame(const YuvImage& image, int quality) {
    quality = ClampInt(quality, 0, 100);
    std::vector<u8> out = FrameHeader(image, quality, 0);
    const int stepDc = movie::QualityStepDc(quality);
    double coefficients[6][64];
    int levels[6][64];
    for (int my = 0; my < image.height; my += 16) {
        for (int mx = 0; mx < image.width; mx += 16) {
            MacroblockCoefficients(image, mx, my, ColourRange::kFull, coefficients);
            bool flat = true;
            for (int b = 0; b < 6; ++b) {
                levels[b][0] = ClampInt(RoundToInt(coefficients[b][0] / stepDc), -128, 127);
                for (int i = 1; i < 64; ++i) {
                    const int step = movie::QualityStep(quality, i % 8, i / 8);
                    levels[b][i] = ClampInt(RoundToInt(coefficients[b][i] / step), -128, 127);
                    flat = flat && levels[b][i] == 0;
                }
            }
            if (flat) {
                out.push_back(6);
                for (int b = 0; b < 6; ++b)
                    out.push_back(static_cast<u8>(levels[b][0]));
                continue;
            }
            // A record holds at most 255 bytes: drop the highest frequencies until it fits.
            for (int keep = 64;; keep -= 4) {
                for (int b = 0; b < 6; ++b)
                    for (int pos = std::max(keep, 1); pos < 64; ++pos)
                        levels[b][kZigzag[pos]] = 0;
                LsbBitWriter w;
                for (int b = 0; b < 6; ++b)
                    PutQualityBlock(w, levels[b]);
                std::vector<u8>& bytes = w.Bytes();
                if (bytes.size() > 255) continue;
                // Records of 12 bytes or fewer would read as flat ones.
                if (bytes.size() <= 12) bytes.resize(13, 0);
                out.push_back(static_cast<u8>(bytes.size()));
                out.insert(out.end(), bytes.begin(), bytes.end());
                break;
            }
        }
    }
    Reconstruct(out, false, image.width, image.height);
    return out;
}

std::vector<u8> TransformFrameEncoder::EncodeVlcFrame(const YuvImage& image, int quality,
                                                      ColourRange range, bool allowCopies) {
    quality = ClampInt(quality, 0, 100);
    std::vector<u8> out = FrameHeader(
        image, quality, u8((range == ColourRange::kStudio ? 2 : 0) | (allowCopies ? 0 : 1)));
    s64 table[64];
    movie::BuildVlcTable(quality, table);
    const movie::SamplePicture* reference =
        reference_ && reference_->Width() == image.width && reference_->Height() == image.height
            ? reference_.get()
            : nullptr;
    const ReferenceBytes referenceBytes =
        reference && allowCopies ? BytesOf(*reference, range) : ReferenceBytes{};
    MsbWordWriter w;
    int predictors[3] = {0, 0, 0};
    double coefficients[6][64];
    int levels[6][64];
    const int lowest = range == ColourRange::kStudio ? 0 : -128;
    const int highest = range == ColourRange::kStudio ? 255 : 127;
    for (int my = 0; my < image.height; my += 16) {
        for (int mx = 0; mx < image.width; mx += 16) {
            MacroblockCoefficients(image, mx, my, range, coefficients);
            for (int b = 0; b < 6; ++b) {
                levels[b][0] = ClampInt(RoundToInt(coefficients[b][0] / 8.0), lowest, highest);
                for (int i = 1; i < 64; ++i) {
                    const double step = double(table[i]) / movie::Prescale(i % 8, i / 8);
                    levels[b][i] = ClampInt(RoundToInt(coefficients[b][i] / step), -255, 255);
                }
            }
            if (allowCopies) {
                // A copy is taken when it is no worse than coding the macroblock.
                double best = reference ? IntraCost(image, mx, my, levels, table, range) : 0;
                int bestDx = 0, bestDy = 0;
                bool copy = false;
                for (int dy = -8; dy <= 7 && reference; ++dy) {
                    for (int dx = -8; dx <= 7; ++dx) {
                        const int fromX = mx - dx, fromY = my - dy;
                        if (fromX < 0 || fromY < 0 || fromX + 16 > image.width ||
                            fromY + 16 > image.height)
                            continue;
                        const double cost =
                            CopyCost(image, referenceBytes, mx, my, fromX, fromY, best);
                        if (cost <= best && (!copy || cost < best)) {
                            best = cost;
                            bestDx = dx;
                            bestDy = dy;
                            copy = true;
                        }
                    }
                }
                w.Put(copy ? 1 : 0, 1);
                if (copy) {
                    w.Put(0, 1);
                    w.Put(u32(bestDx) & 15, 4);
                    w.Put(u32(bestDy) & 15, 4);
                    continue;
                }
            }
            for (int b = 0; b < 6; ++b) {
                const int component = b < 4 ? 0 : b - 3;
                PutVlcBlock(w, levels[b], component != 0, predictors[component]);
            }
        }
    }
    const std::vector<u8> bits = w.Bytes();
    out.insert(out.end(), bits.begin(), bits.end());
    Reconstruct(out, true, image.width, image.height);
    return out;
}

void TransformFrameEncoder::Reconstruct(const std::vector<u8>& payload, bool vlc, int width,
                                        int height) {
    auto picture = std::make_unique<movie::SamplePicture>(width, height);
    picture->SetReference(reference_.get());
    if (vlc) {
        movie::DecodeVlcFrame(payload.data(), payload.size(), *picture);
    } else {
        movie::DecodeQualityFrame(payload.data(), payload.size(), *picture);
    }
    reference_ = std::move(picture);
}

}  // namespace movie_content
