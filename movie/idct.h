#pragma once
// The pieces the two transform-coded frame types share: the zigzag scan, the prescale that
// the dequantisation tables carry, both quantiser tables and the fixed-point inverse DCT.
//
// A block of coefficients or samples is 64 entries in raster order: entry v * 8 + u holds
// horizontal frequency u and vertical frequency v (or, for samples, column u of row v).
// Dequantised coefficients and the transform's intermediate values are 64-bit, so that no
// level a corrupt stream can carry overflows; a valid stream stays inside 32 bits and gets
// exactly the results of the 32-bit fixed-point form.
#include "platform/types.h"

namespace movie {

// Scan position (0..63) -> raster index; position 1 is u = 1, v = 0.
extern const u8 kZigzag[64];

// The MPEG-1 default intra quantiser matrix W(u, v): row u is the horizontal frequency.
extern const u8 kIntraMatrix[8][8];

// P(u, v): the nearest integer to 8192 / (a(u) a(v)), a(0) = 1, a(k) = sqrt(2) cos(k pi / 16).
s32 Prescale(int u, int v);

// Quality-coded frames: the quantiser steps A (DC) and B (at u = v = 7) of a quality, and the
// step of frequency (u, v). Qualities above 100 count as 100.
int QualityStepDc(int quality);
int QualityStep(int quality, int u, int v);

// Dequantisation tables (raster order, entry = step x prescale): a coefficient entering the
// transform is level x entry.
void BuildQualityTable(int quality, s64 table[64]);
void BuildVlcTable(int quality, s64 table[64]);

// The fixed-point inverse DCT: half of the orthonormal 2-D inverse DCT of the dequantised
// coefficients, as half-scale samples.
void InverseTransformBlock(const s64 coefficients[64], s32 samples[64]);

}  // namespace movie
