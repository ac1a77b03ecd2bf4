#include "movie/idct.h"

#include <cmath>

namespace movie {

const u8 kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

const u8 kIntraMatrix[8][8] = {
    {8, 16, 19, 22, 26, 27, 29, 34},  {16, 16, 22, 24, 27, 29, 34, 37},
    {19, 22, 26, 27, 29, 34, 34, 38}, {22, 22, 26, 27, 29, 34, 37, 40},
    {22, 26, 27, 29, 32, 35, 40, 48}, {26, 27, 29, 32, 35, 40, 48, 58},
    {26, 27, 29, 34, 38, 46, 56, 69}, {27, 29, 35, 38, 46, 56, 69, 83},
};

namespace {

struct PrescaleTable {
    s32 value[8][8];
    PrescaleTable() {
        const double pi = std::acos(-1.0);
        double a[8];
        for (int k = 0; k < 8; ++k)
            a[k] = k == 0 ? 1.0 : std::sqrt(2.0) * std::cos(k * pi / 16.0);
        for (int u = 0; u < 8; ++u)
            for (int v = 0; v < 8; ++v)
                value[u][v] = static_cast<s32>(std::lround(8192.0 / (a[u] * a[v])));
    }
};

const PrescaleTable& Prescales() {
    static const PrescaleTable table;
    return table;
}

int ClampQuality(int quality) {
    return quality > 100 ? 100 : (quality < 0 ? 0 : quality);
}

// 2 x floor(a x 0x5A82799A / 2^32): a times 1/sqrt(2), rounded the fixed-point way.
inline s64 M(s64 a) {
    return 2 * static_cast<s64>((static_cast<__int128>(a) * 0x5A82799A) >> 32);
}

// One 8-point pass over values in frequency order.
inline void Pass(const s64 x[8], s64 o[8]) {
    const s64 p = x[0] + x[4], m = x[0] - x[4];
    const s64 t = M(x[2] - x[6]);
    const s64 q = x[2] + x[6] + t;
    const s64 e0 = p + q, e3 = p - q, e1 = m + t, e2 = m - t;
    const s64 d1 = x[1] - x[7], d5 = x[5] - x[3];
    const s64 s = x[1] + x[3] + x[5] + x[7];
    const s64 z = M(x[1] + x[7] - x[3] - x[5]);
    const double c1 = 0.5411961f, c2 = 0.3826834f, c3 = 1.306563f;
    const s64 a = std::llrint(double(d5) * c1 + double(d1 + d5) * c2);
    const s64 b = std::llrint(double(d1) * c3 - double(d1 + d5) * c2);
    o[0] = e0 + (b + s);
    o[7] = e0 - (b + s);
    o[1] = e1 + (z + b);
    o[6] = e1 - (z + b);
    o[2] = e2 + (a + z);
    o[5] = e2 - (a + z);
    o[3] = e3 + a;
    o[4] = e3 - a;
}

}  // namespace

s32 Prescale(int u, int v) {
    return Prescales().value[u & 7][v & 7];
}

int QualityStepDc(int quality) {
    return 22 * (100 - ClampQuality(quality)) / 100 + 8;
}

int QualityStep(int quality, int u, int v) {
    const int q = ClampQuality(quality);
    const int a = 22 * (100 - q) / 100 + 8;
    const int b = 50 * (100 - q) / 100 + 10;
    return a + (u + v) * (b - a) / 14;
}

void BuildQualityTable(int quality, s64 table[64]) {
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u)
            table[v * 8 + u] = s64(QualityStep(quality, u, v)) * Prescale(u, v);
}

void BuildVlcTable(int quality, s64 table[64]) {
    const int q = ClampQuality(quality);
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            const s64 p = Prescale(u, v);
            // N(p x W x (107 - q) x 4096): a step of W (107 - q) / 16, rounded.
            const s64 scaled = p * kIntraMatrix[u][v] * (107 - q) * 4096;
            table[v * 8 + u] = q == 100 ? 8 * p : (scaled + 32768) >> 16;
        }
    }
    table[0] = 65536;
}

void InverseTransformBlock(const s64 coefficients[64], s32 samples[64]) {
    s64 middle[64];
    s64 in[8], out[8];
    for (int u = 0; u < 8; ++u) {
        bool acZero = true;
        for (int v = 1; v < 8 && acZero; ++v)
            acZero = coefficients[v * 8 + u] == 0;
        if (acZero) {
            for (int n = 0; n < 8; ++n)
                middle[n * 8 + u] = coefficients[u];
            continue;
        }
        for (int v = 0; v < 8; ++v)
            in[v] = coefficients[v * 8 + u];
        Pass(in, out);
        for (int n = 0; n < 8; ++n)
            middle[n * 8 + u] = out[n];
    }
    for (int n = 0; n < 8; ++n) {
        Pass(&middle[n * 8], out);
        for (int m = 0; m < 8; ++m)
            samples[n * 8 + m] = static_cast<s32>(out[m] >> 17);
    }
}

}  // namespace movie
