#pragma once
// The art of the demo's tile set in the client's art files (artidx.mul / art.mul): land tiles
// (record ids 0..0x3FFF, 1012 pixels of the 44 x 44 diamond, no header), static graphics
// (record id 0x4000 + graphic: u32 unused, u16 width, u16 height, u16 row offsets, then each
// row's runs {u16 skip, u16 count, count pixels} ended by a run of count 0) and the 39 pointer
// images 0x6053-0x6079, whose hot spot is marked by pure green (0x03E0) pixels: in the top row
// at the hot spot's column and in the first column at its row.
#include <vector>

#include "platform/types.h"
#include "tools/content_builder/client_files.h"

constexpr u32 kArtRecordCount = 0x8000;
constexpr u32 kFirstCursorArt = 0x6053;
constexpr u32 kLastCursorArt = 0x6079;
constexpr u16 kHotSpotGreen = 0x03E0;

// One land tile's record from a 44 x 44 picture (the diamond's pixels are taken).
std::vector<u8> EncodeLandArt(const u16* square);
// One static art record of a width x height picture (0 see-through).
std::vector<u8> EncodeStaticArt(const u16* pixels, int width, int height);

struct CursorHotSpot {
    int x = 0;
    int y = 0;
};
// Where the pointer image of art id `art` (0x6053-0x6079) points.
CursorHotSpot DemoCursorHotSpot(u32 art);

// Every art record of the demo, index = record id.
std::vector<IndexedRecord> BuildDemoArt();
// The width and height of each static graphic's art, read from the records (0 x 0 without art).
std::vector<std::pair<u16, u16>> MeasureStaticArt(const std::vector<IndexedRecord>& art);
