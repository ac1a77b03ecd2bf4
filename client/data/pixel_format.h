#pragma once
// The renderer's colour packing: 16-bit pixels in the 5-5-5 layout (red bits 10-14, green
// 5-9, blue 0-4), the blend masks, the grey table of the ghost's view, and the process-wide
// 565 switch. Every picture is painted in 5-5-5; in 565 mode the copy routines that read data
// pictures convert what they wrote (Convert555To565).
#include "platform/types.h"

struct PixelFormat {
    int redShift = 10;
    int greenShift = 5;
    u16 blendMask1 = 0x7BDE;  // lowest bit of each channel cleared
    u16 blendMask2 = 0x739C;  // two lowest bits of each channel cleared
    u16 halfMask = 0x3DEF;    // half of white, per channel
    bool use565 = false;
};

// The settings in force (client thread). Shifts and masks keep their 5-5-5 values in both
// modes; only the 565 flag changes.
const PixelFormat& CurrentPixelFormat();
// Fixed by the configuration reader when it meets `use565`.
void SetPixelFormat565(bool on);
inline bool Use565() {
    return CurrentPixelFormat().use565;
}

// Channels 0..255 to a 5-5-5 pixel (each channel's top five bits).
u16 RgbToPixel16(u8 red, u8 green, u8 blue);
// A pixel to a 0x00BBGGRR colour, each channel widened by << 3.
u32 Pixel16ToColorRef(u16 pixel);
// A 0x00BBGGRR colour through RgbToPixel16.
u16 ColorRefToPixel16(u32 colour);
// Red and green move up one bit, blue stays.
inline u16 Convert555To565(u16 pixel) {
    return static_cast<u16>(((pixel >> 5) << 6) | (pixel & 0x1F));
}
// Converts count pixels in place; pixels that were see-through in the source (`source`
// entries of 0) are left alone. Used after a keyed copy of a data picture in 565 mode.
void ConvertWrittenTo565(u16* pixels, const u16* source, int count);

// Greys by luminance (67 % red, 13 % green, 20 % blue), indexed by a 15-bit colour; entry 0
// is 0. Built once on first use.
const u16* GreyTable();
