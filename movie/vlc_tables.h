#pragma once
// The variable-length codes of the type 4 transform frames, as MPEG-1 gives them for intra
// blocks: the DC size codes for luminance and chrominance, and the run/level codes of the AC
// coefficients in their "next coefficient" form (the two-bit code 11 is run 0, level 1). Both
// the decoder and the content builder's encoder read these lists.
#include "platform/types.h"

namespace movie {

struct VlcCode {
    u16 bits;   // the code, right-aligned
    u8 length;  // in bits
    u8 run;     // AC codes: zero coefficients before this one; DC codes: the size
    u8 level;   // AC codes: magnitude (a sign bit follows the code)
};

// DC sizes 0..8, indexed by size.
extern const VlcCode kDcSizeLumaCodes[9];
extern const VlcCode kDcSizeChromaCodes[9];

// Run/level codes; the end-of-block and escape codes are separate.
extern const VlcCode kCoefficientCodes[];
extern const int kCoefficientCodeCount;

constexpr u16 kEndOfBlockCode = 0x2;  // 10
constexpr int kEndOfBlockLength = 2;
constexpr u16 kEscapeCode = 0x1;  // 000001
constexpr int kEscapeLength = 6;

}  // namespace movie
