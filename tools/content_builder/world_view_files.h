#pragma once
// The files the client's world view reads beside the data files, all derived from the
// generated art so that every view of a tile shows the same colours:
// - texmaps (texidx.mul / texmaps.mul): a 64 x 64 texture (size code 0 in the index entry's
//   extra word) for every land tile with art, under the tile's texture number;
// - radarcol.mul: 65536 16-bit colours, land tile t at t and static graphic g at 0x4000 + g,
//   each the mean colour of the art;
// - light.mul / lightidx.mul: light images 0..99 ({s32 offset, s32 length, u16 width,
//   u16 height} entries; signed bytes row by row), round glows of growing size;
// - palette.mul: 256 {red, green, blue} entries (a 6 x 6 x 6 colour cube and greys);
// - animinfo.mul: {walk, run} step durations in ticks for bodies 0..999.
#include <vector>

#include "tools/content_builder/client_files.h"

constexpr int kTextureSide = 64;
constexpr int kLightImages = 100;

// Every file by name, from the art records (art_files.h).
ClientFiles BuildWorldViewFiles(const std::vector<IndexedRecord>& art);
