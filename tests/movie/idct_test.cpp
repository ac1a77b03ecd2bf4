#include "movie/idct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace {

using namespace movie;

// Half of the orthonormal 2-D inverse DCT, in double precision (x the column, y the row).
void ReferenceInverse(const double f[64], double out[64]) {
    const double pi = std::acos(-1.0);
    const auto c = [](int k) { return k == 0 ? 1.0 / std::sqrt(2.0) : 1.0; };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int v = 0; v < 8; ++v)
                for (int u = 0; u < 8; ++u)
                    sum += c(u) * c(v) * f[v * 8 + u] * std::cos((2 * x + 1) * u * pi / 16) *
                           std::cos((2 * y + 1) * v * pi / 16);
            out[y * 8 + x] = 0.5 * 0.25 * sum;
        }
}

// Random dequantised blocks, as the decoders build them (level x table), through the fixed-point
// transform: every sample within 1 of the double-precision one rounded, and no bias.
TEST(InverseTransform, MatchesTheDoublePrecisionTransformOnRandomBlocks) {
    std::mt19937 random(1234);
    s64 table[64];
    int worst = 0;
    double totalError = 0;
    int samplesSeen = 0;
    for (int quality : {0, 50, 90, 100}) {
        BuildQualityTable(quality, table);
        for (int trial = 0; trial < 300; ++trial) {
            s64 coefficients[64] = {};
            double f[64] = {};
            const int density = 1 + int(random() % 6);
            for (int i = 0; i < 64; ++i) {
                if (i != 0 && int(random() % 8) >= density) continue;
                const int level = i == 0 ? int(random() % 256) - 128 : int(random() % 41) - 20;
                coefficients[i] = level * table[i];
                const int step =
                    i == 0 ? QualityStepDc(quality) : QualityStep(quality, i % 8, i / 8);
                f[i] = double(level) * step;
            }
            s32 samples[64];
            InverseTransformBlock(coefficients, samples);
            double reference[64];
            ReferenceInverse(f, reference);
            for (int i = 0; i < 64; ++i) {
                const int error = std::abs(samples[i] - int(std::lround(reference[i])));
                worst = std::max(worst, error);
                totalError += samples[i] - reference[i];
                ++samplesSeen;
            }
        }
    }
    EXPECT_LE(worst, 1);
    // The final shift truncates: on average the samples sit half a step low, not more.
    EXPECT_NEAR(totalError / samplesSeen, -0.5, 0.1);
}

TEST(InverseTransform, ADcOnlyBlockIsFlat) {
    s64 table[64];
    BuildQualityTable(100, table);
    s64 coefficients[64] = {};
    coefficients[0] = 16 * table[0];
    s32 samples[64];
    InverseTransformBlock(coefficients, samples);
    for (s32 s : samples)
        EXPECT_EQ(s, 8);
}

TEST(Zigzag, IsAPermutationInJpegOrder) {
    std::set<int> seen(kZigzag, kZigzag + 64);
    EXPECT_EQ(seen.size(), 64u);
    EXPECT_EQ(kZigzag[1], 1);   // u = 1, v = 0
    EXPECT_EQ(kZigzag[2], 8);   // u = 0, v = 1
    EXPECT_EQ(kZigzag[3], 16);  // u = 0, v = 2
    EXPECT_EQ(kZigzag[63], 63);
}

TEST(QuantiserTables, QualityCodedSteps) {
    struct Case {
        int quality;
        int dc, top;  // steps at (0, 0) and (7, 7)
    };
    const Case cases[] = {{100, 8, 10}, {0, 30, 60}, {50, 19, 35}, {200, 8, 10}};
    for (const Case& c : cases) {
        EXPECT_EQ(QualityStepDc(c.quality), c.dc) << c.quality;
        EXPECT_EQ(QualityStep(c.quality, 0, 0), c.dc) << c.quality;
        EXPECT_EQ(QualityStep(c.quality, 7, 7), c.top) << c.quality;
    }
    EXPECT_EQ(QualityStep(0, 3, 4), 30 + 7 * 30 / 14);
    s64 table[64];
    BuildQualityTable(0, table);
    EXPECT_EQ(table[8 * 4 + 3], s64(QualityStep(0, 3, 4)) * Prescale(3, 4));
}

TEST(QuantiserTables, VariableLengthCodedSteps) {
    EXPECT_EQ(Prescale(0, 0), 8192);
    s64 table[64];
    for (int quality : {100, 150}) {
        BuildVlcTable(quality, table);
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(table[i], 8 * Prescale(i % 8, i / 8)) << quality << " " << i;
    }
    // Quality 99: a step of W / 2; W's rows are the horizontal frequency.
    BuildVlcTable(99, table);
    EXPECT_EQ(table[0], 65536);
    const int u = 7, v = 1;  // W(7, 1) = 29, W(1, 7) = 37
    EXPECT_EQ(table[v * 8 + u], (s64(Prescale(u, v)) * 29 * 8 * 4096 + 32768) >> 16);
    EXPECT_EQ(table[u * 8 + v], (s64(Prescale(v, u)) * 37 * 8 * 4096 + 32768) >> 16);
}

}  // namespace
