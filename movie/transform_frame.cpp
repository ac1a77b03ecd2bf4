#include "movie/transform_frame.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"
#include "movie/idct.h"
#include "movie/vlc_tables.h"

namespace movie {

namespace {

s16 Le16Signed(const u8* p) {
    return static_cast<s16>(LoadLe16(p));
}

int ClampInt(int v, int low, int high) {
    return v < low ? low : (v > high ? high : v);
}

// Whether a header's size fits the sink and the macroblock grid.
bool FrameFits(const TransformFrameHeader& header, const MacroblockSink& sink) {
    return header.width > 0 && header.height > 0 && header.width % 16 == 0 &&
           header.height % 16 == 0 && header.width <= sink.Width() &&
           header.height <= sink.Height();
}

// Places the six transformed blocks (Y0..Y3, Cb, Cr) into the macroblock's samples.
void PlaceBlocks(const s32 blocks[6][64], MacroblockSamples& out) {
    for (int b = 0; b < 4; ++b) {
        const int x0 = (b & 1) * 8, y0 = (b >> 1) * 8;
        for (int r = 0; r < 8; ++r)
            std::memcpy(&out.y[(y0 + r) * 16 + x0], &blocks[b][r * 8], 8 * sizeof(s32));
    }
    std::memcpy(out.cb, blocks[4], sizeof out.cb);
    std::memcpy(out.cr, blocks[5], sizeof out.cr);
}

// ---- Quality-coded frames (type 3) ----

// Bits taken least significant first, bounded by the macroblock record.
class LsbBitReader {
public:
    LsbBitReader(const u8* data, size_t size) : data_(data), bits_(size * 8) {}

    bool Read(int count, u32& value) {
        if (pos_ + size_t(count) > bits_) {
            pos_ = bits_;
            return false;
        }
        value = 0;
        for (int i = 0; i < count; ++i, ++pos_)
            value |= u32((data_[pos_ >> 3] >> (pos_ & 7)) & 1) << i;
        return true;
    }

private:
    const u8* data_;
    size_t bits_;
    size_t pos_ = 0;
};

// One block: the DC level and exactly 63 AC positions. A code past the record or a run past
// position 63 ends the block with what it has.
void DecodeQualityBlock(LsbBitReader& in, const s64 table[64], s64 block[64]) {
    std::fill(block, block + 64, 0);
    u32 dc = 0;
    if (!in.Read(8, dc)) return;
    block[0] = s64(static_cast<s8>(dc)) * table[0];
    int pos = 1;
    while (pos < 64) {
        u32 prefix = 0, value = 0;
        if (!in.Read(2, prefix)) return;
        bool zeros = false;  // a run of zero coefficients rather than one level
        int run = 0;
        int level = 0;
        switch (prefix) {
            case 0:  // b0 = 0, b1 = 0: one or two zeros
                if (!in.Read(1, value)) return;
                zeros = true;
                run = int(value) + 1;
                break;
            case 2:  // b0 = 0, b1 = 1: level +1 or -1
                if (!in.Read(1, value)) return;
                level = value ? -1 : 1;
                break;
            case 1:  // b0 = 1, b1 = 0: a run of zeros
                if (!in.Read(6, value)) return;
                zeros = true;
                run = int(value);
                break;
            default:  // b0 = 1, b1 = 1: a 6-bit level, or an 8-bit one after all ones
                if (!in.Read(6, value)) return;
                if (value == 63) {
                    if (!in.Read(8, value)) return;
                    level = static_cast<s8>(value);
                } else {
                    level = (value & 0x20) ? int(value) - 64 : int(value);
                }
                break;
        }
        if (zeros) {
            if (pos + run > 64) return;
            pos += run;
        } else {
            const int at = kZigzag[pos++];
            block[at] = s64(level) * table[at];
        }
    }
}

// A flat macroblock (records of 3, 6 or 12 bytes).
void FillFlatMacroblock(const u8* record, int length, int stepDc, MacroblockSamples& out) {
    const auto sample = [stepDc](u8 byte) {
        const s64 p = s64(static_cast<s8>(byte)) * 8192 * stepDc;
        const s64 rounded = (p + 32768) >> 16;
        return static_cast<s32>(rounded >> 1);
    };
    s32 quadrant[4];
    s32 cb, cr;
    if (length == 3) {
        quadrant[0] = quadrant[1] = quadrant[2] = quadrant[3] = sample(record[0]);
        cb = sample(record[1]);
        cr = sample(record[2]);
    } else {
        const int stride = length == 12 ? 2 : 1;
        for (int q = 0; q < 4; ++q)
            quadrant[q] = sample(record[q * stride]);
        cb = sample(record[4 * stride]);
        cr = sample(record[5 * stride]);
    }
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            out.y[r * 16 + c] = quadrant[(r / 8) * 2 + c / 8];
    std::fill(out.cb, out.cb + 64, cb);
    std::fill(out.cr, out.cr + 64, cr);
}

void DecodeQualityMacroblock(const u8* record, size_t size, const s64 table[64],
                             MacroblockSamples& out) {
    LsbBitReader in(record, size);
    s64 coefficients[64];
    s32 blocks[6][64];
    for (int b = 0; b < 6; ++b) {
        DecodeQualityBlock(in, table, coefficients);
        InverseTransformBlock(coefficients, blocks[b]);
    }
    PlaceBlocks(blocks, out);
}

// ---- Variable-length-coded frames (type 4) ----

// 32-bit little-endian words read from the most significant bit down, bounded by the frame.
class MsbBitReader {
public:
    MsbBitReader(const u8* data, size_t size) : bits_(size * 8) {
        words_.assign((size + 3) / 4 + 2, 0);
        for (size_t i = 0; i < size; ++i)
            words_[i / 4] |= u32(data[i]) << (8 * (i % 4));
    }

    // The next 16 bits, zeros past the end.
    u32 Peek16() const {
        const size_t word = pos_ >> 5;
        const u64 both = u64(words_[word]) << 32 | words_[word + 1];
        return u32(both >> (48 - (pos_ & 31))) & 0xFFFF;
    }
    // False, and the reader exhausted, when the frame has fewer bits left.
    bool Skip(int count) {
        if (pos_ + size_t(count) > bits_) {
            pos_ = bits_;
            exhausted_ = true;
            return false;
        }
        pos_ += size_t(count);
        return true;
    }
    bool Read(int count, u32& value) {
        value = Peek16() >> (16 - count);
        return Skip(count);
    }
    bool Exhausted() const { return exhausted_; }

private:
    std::vector<u32> words_;
    size_t bits_;
    size_t pos_ = 0;
    bool exhausted_ = false;
};

// Decoding tables built from the code lists: the DC sizes by the next 8 bits, the AC codes
// by the next 16.
struct VlcDecodeTables {
    struct Entry {
        u8 length = 0;  // 0: no code starts here
        u8 run = 0;
        u8 level = 0;
    };
    static constexpr u8 kEndOfBlock = 0xFF;  // run marks for the two special codes
    static constexpr u8 kEscape = 0xFE;
    Entry dcLuma[256], dcChroma[256];
    std::vector<Entry> ac;

    VlcDecodeTables() : ac(65536) {
        const auto fill = [](Entry* table, int indexBits, const VlcCode& code, u8 run, u8 level) {
            const int free = indexBits - code.length;
            const u32 first = u32(code.bits) << free;
            for (u32 i = 0; i < (1u << free); ++i)
                table[first + i] = Entry{code.length, run, level};
        };
        for (const VlcCode& c : kDcSizeLumaCodes)
            fill(dcLuma, 8, c, c.run, 0);
        for (const VlcCode& c : kDcSizeChromaCodes)
            fill(dcChroma, 8, c, c.run, 0);
        for (int i = 0; i < kCoefficientCodeCount; ++i)
            fill(ac.data(), 16, kCoefficientCodes[i], kCoefficientCodes[i].run,
                 kCoefficientCodes[i].level);
        fill(ac.data(), 16, VlcCode{kEndOfBlockCode, kEndOfBlockLength, 0, 0}, kEndOfBlock, 0);
        fill(ac.data(), 16, VlcCode{kEscapeCode, kEscapeLength, 0, 0}, kEscape, 0);
    }
};

const VlcDecodeTables& DecodeTables() {
    static const VlcDecodeTables tables;
    return tables;
}

// One block: DC size and difference, then run/level codes up to the end of block. A code
// that matches nothing ends the block without being consumed; a code past the frame or a run
// past position 63 ends it too.
void DecodeVlcBlock(MsbBitReader& in, const VlcDecodeTables& codes, bool chroma,
                    const s64 table[64], s32& predictor, s64 block[64]) {
    std::fill(block, block + 64, 0);
    const VlcDecodeTables::Entry* sizes = chroma ? codes.dcChroma : codes.dcLuma;
    const VlcDecodeTables::Entry size = sizes[in.Peek16() >> 8];
    bool ended = size.length == 0 || !in.Skip(size.length);
    u32 d = 0;
    if (!ended && size.run != 0) {
        ended = !in.Read(size.run, d);
        if (!ended) {
            const bool topBit = (d >> (size.run - 1)) & 1;
            predictor += topBit ? s32(d) : s32(d) - ((1 << size.run) - 1);
        }
    }
    block[0] = s64(predictor) * 65536;
    if (ended) return;

    int pos = 0;
    for (;;) {
        const u32 look = in.Peek16();
        const VlcDecodeTables::Entry& code = codes.ac[look];
        if (code.length == 0) return;
        if (!in.Skip(code.length)) return;
        int run = 0, level = 0;
        u32 value = 0;
        if (code.run == VlcDecodeTables::kEndOfBlock) return;
        if (code.run == VlcDecodeTables::kEscape) {
            u32 first = 0;
            if (!in.Read(6, value) || !in.Read(8, first)) return;
            run = int(value);
            if (first == 0) {
                if (!in.Read(8, value)) return;
                level = int(value);
            } else if (first == 128) {
                if (!in.Read(8, value)) return;
                level = int(value) - 256;
            } else {
                level = static_cast<s8>(first);
            }
        } else {
            run = code.run;
            if (!in.Read(1, value)) return;
            level = value ? -int(code.level) : int(code.level);
        }
        pos += run + 1;
        if (pos > 63) return;
        const int at = kZigzag[pos];
        block[at] = s64(level) * table[at];
    }
}

void DecodeVlcMacroblock(MsbBitReader& in, const VlcDecodeTables& codes, const s64 table[64],
                         s32 predictors[3], MacroblockSamples& out) {
    s64 coefficients[64];
    s32 blocks[6][64];
    for (int b = 0; b < 6; ++b) {
        const int component = b < 4 ? 0 : b - 3;
        DecodeVlcBlock(in, codes, component != 0, table, predictors[component], coefficients);
        InverseTransformBlock(coefficients, blocks[b]);
    }
    PlaceBlocks(blocks, out);
}

// Pixels of a row of 16 through a conversion, as 16-bit pixels or 32-bit pairs.
template <typename Convert>
void WriteMacroblockPixels(u8* target, size_t pitch, bool pixelDouble, const MacroblockSamples& s,
                           Convert convert) {
    for (int r = 0; r < 16; ++r) {
        u8* row = target + size_t(r) * pitch;
        for (int c = 0; c < 16; ++c) {
            const int chroma = (r / 2) * 8 + c / 2;
            const u32 pixel = convert(s.y[r * 16 + c], s.cb[chroma], s.cr[chroma]);
            if (pixelDouble) {
                std::memcpy(row + 4 * c, &pixel, 4);
            } else {
                const u16 single = static_cast<u16>(pixel);
                std::memcpy(row + 2 * c, &single, 2);
            }
        }
    }
}

}  // namespace

bool ReadTransformFrameHeader(const u8* payload, size_t size, TransformFrameHeader& header) {
    if (!payload || size < 8) return false;
    header.width = Le16Signed(payload);
    header.height = Le16Signed(payload + 2);
    header.quality = std::min<int>(payload[4], 100);
    header.studioRange = (payload[7] & 2) != 0;
    header.noCopyFlags = (payload[7] & 1) != 0;
    return true;
}

bool DecodeQualityFrame(const u8* payload, size_t size, MacroblockSink& sink) {
    TransformFrameHeader header;
    if (!ReadTransformFrameHeader(payload, size, header) || !FrameFits(header, sink)) return false;
    s64 table[64];
    BuildQualityTable(header.quality, table);
    const int stepDc = QualityStepDc(header.quality);
    MacroblockSamples samples;
    size_t pos = 8;
    for (int y = 0; y < header.height; y += 16) {
        for (int x = 0; x < header.width; x += 16) {
            if (pos >= size) return true;
            const int length = payload[pos];
            const u8* record = payload + pos + 1;
            const size_t available = std::min<size_t>(size_t(length), size - pos - 1);
            pos += 1 + size_t(length);
            if (length > 12) {
                DecodeQualityMacroblock(record, available, table, samples);
            } else if ((length == 3 || length == 6 || length == 12) &&
                       available == size_t(length)) {
                FillFlatMacroblock(record, length, stepDc, samples);
            } else {
                continue;  // not drawn: the target keeps what it holds
            }
            sink.PutMacroblock(x, y, samples, ColourRange::kFull);
        }
    }
    return true;
}

bool DecodeVlcFrame(const u8* payload, size_t size, MacroblockSink& sink) {
    TransformFrameHeader header;
    if (!ReadTransformFrameHeader(payload, size, header) || !FrameFits(header, sink)) return false;
    s64 table[64];
    BuildVlcTable(header.quality, table);
    const VlcDecodeTables& codes = DecodeTables();
    const ColourRange range = header.studioRange ? ColourRange::kStudio : ColourRange::kFull;
    MsbBitReader in(payload + 8, size - 8);
    s32 predictors[3] = {0, 0, 0};
    MacroblockSamples samples;
    for (int y = 0; y < header.height; y += 16) {
        for (int x = 0; x < header.width; x += 16) {
            if (in.Exhausted()) return true;
            if (!header.noCopyFlags) {
                u32 copy = 0;
                if (!in.Read(1, copy)) return true;
                if (copy) {
                    u32 dx = 0, dy = 0;
                    if (!in.Skip(1) || !in.Read(4, dx) || !in.Read(4, dy)) return true;
                    const int fromX = x - (dx > 7 ? int(dx) - 16 : int(dx));
                    const int fromY = y - (dy > 7 ? int(dy) - 16 : int(dy));
                    sink.CopyMacroblock(x, y, ClampInt(fromX, 0, header.width - 16),
                                        ClampInt(fromY, 0, header.height - 16));
                    continue;
                }
            }
            DecodeVlcMacroblock(in, codes, table, predictors, samples);
            // A macroblock cut off by the end of the frame is not drawn.
            if (in.Exhausted()) return true;
            sink.PutMacroblock(x, y, samples, range);
        }
    }
    return true;
}

// ---- Sinks ----

void PixelTarget::PutMacroblock(int x, int y, const MacroblockSamples& samples, ColourRange range) {
    u8* at = target_ + size_t(y) * pitch_ + size_t(x) * (pixelDouble_ ? 4 : 2);
    if (range == ColourRange::kFull) {
        WriteMacroblockPixels(at, pitch_, pixelDouble_, samples, [this](s32 l, s32 b, s32 r) {
            return FullRangePixel(tables_, l, b, r);
        });
    } else {
        WriteMacroblockPixels(at, pitch_, pixelDouble_, samples, [this](s32 l, s32 b, s32 r) {
            return StudioRangePixel(tables_, l, b, r);
        });
    }
}

void PixelTarget::CopyMacroblock(int x, int y, int fromX, int fromY) {
    if (!reference_) return;
    const size_t pixel = pixelDouble_ ? 4 : 2;
    for (int r = 0; r < 16; ++r) {
        std::memcpy(target_ + size_t(y + r) * pitch_ + size_t(x) * pixel,
                    reference_ + size_t(fromY + r) * pitch_ + size_t(fromX) * pixel, 16 * pixel);
    }
}

SamplePicture::SamplePicture(int width, int height)
    : width_(width),
      height_(height),
      y_(size_t(width) * size_t(height), 0),
      cb_(y_.size(), 0),
      cr_(y_.size(), 0),
      range_(y_.size(), ColourRange::kFull) {}

void SamplePicture::PutMacroblock(int x, int y, const MacroblockSamples& samples,
                                  ColourRange range) {
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            const size_t at = At(x + c, y + r);
            y_[at] = samples.y[r * 16 + c];
            cb_[at] = samples.cb[(r / 2) * 8 + c / 2];
            cr_[at] = samples.cr[(r / 2) * 8 + c / 2];
            range_[at] = range;
        }
    }
}

void SamplePicture::CopyMacroblock(int x, int y, int fromX, int fromY) {
    if (!reference_ || fromX + 16 > reference_->width_ || fromY + 16 > reference_->height_) return;
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            const size_t to = At(x + c, y + r);
            const size_t from = reference_->At(fromX + c, fromY + r);
            y_[to] = reference_->y_[from];
            cb_[to] = reference_->cb_[from];
            cr_[to] = reference_->cr_[from];
            range_[to] = reference_->range_[from];
        }
    }
}

}  // namespace movie
