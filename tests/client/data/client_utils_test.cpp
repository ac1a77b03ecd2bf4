#include "client/data/client_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/random.h"

namespace {

// Two rows: row 0 = skip 2, run 2 {0x111, 0x222}, skip 1, run 1 {0x333}, end;
// row 1 = skip 0, run 1 {0x444}, end.
std::vector<u16> ArtRecord() {
    std::vector<u16> r = {0, 0, 0, 2, 0, 0};
    std::vector<u16> row0 = {2, 2, 0x111, 0x222, 1, 1, 0x333, 0, 0};
    std::vector<u16> row1 = {0, 1, 0x444, 0, 0};
    r.insert(r.end(), row0.begin(), row0.end());
    r.insert(r.end(), row1.begin(), row1.end());
    r[5] = static_cast<u16>(row0.size());
    return r;
}

TEST(GetArtPixel, WalksTheRunsOfARow) {
    auto r = ArtRecord();
    struct Case {
        int x, y;
        u16 pixel;
    };
    for (Case c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{2, 0, 0x111}, Case{3, 0, 0x222},
                   Case{4, 0, 0}, Case{5, 0, 0x333}, Case{6, 0, 0}, Case{0, 1, 0x444},
                   Case{1, 1, 0}, Case{0, 2, 0}, Case{0, -1, 0}}) {
        EXPECT_EQ(GetArtPixel(r.data(), r.size(), c.x, c.y), c.pixel) << c.x << "," << c.y;
    }
    EXPECT_EQ(GetArtPixel(nullptr, 0, 0, 0), 0);
}

TEST(GetArtPixel, NeverReadsPastTheRecord) {
    auto r = ArtRecord();
    // A row offset pointing far outside, and a run longer than what is left.
    auto bad = r;
    bad[4] = 5000;
    EXPECT_EQ(GetArtPixel(bad.data(), bad.size(), 2, 0), 0);
    bad = r;
    bad[7] = 400;  // run length of row 0's first run
    EXPECT_EQ(GetArtPixel(bad.data(), bad.size(), 300, 0), 0);
    // A height larger than the record.
    bad = r;
    bad[3] = 60000;
    EXPECT_EQ(GetArtPixel(bad.data(), bad.size(), 0, 1), 0);
    // Truncated records of every length.
    for (size_t n = 0; n < r.size(); ++n)
        GetArtPixel(r.data(), n, 5, 0);
}

TEST(ClientUtils, SmallTests) {
    EXPECT_TRUE(IsMarkerGraphic(1));
    EXPECT_TRUE(IsMarkerGraphic(8600));
    EXPECT_TRUE(IsMarkerGraphic(8610));
    EXPECT_FALSE(IsMarkerGraphic(8611));
    EXPECT_FALSE(IsMarkerGraphic(2));
    EXPECT_TRUE(IsTestServerName("Shard (test)"));
    EXPECT_FALSE(IsTestServerName("Shard (Test)"));
    EXPECT_EQ(DataKeyBase(DataKeyKind::kTileData) + 3, 365131u);
    EXPECT_EQ(DataKeyBase(DataKeyKind::kArt), 299592u);
    EXPECT_EQ(DataKeyBase(DataKeyKind::kPacket40), kDataKeyTotal);
    EXPECT_EQ(DataKeyBase(DataKeyKind::kPacket3F), kDataKeyTotal);
}

TEST(ClientUtils, RandomBelowAndNormalize) {
    platform::SeedRandom(7);
    for (int i = 0; i < 1000; ++i) {
        int v = ClientRandomBelow(10);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
    }
    EXPECT_EQ(ClientRandomBelow(0), 0);
    EXPECT_EQ(ClientRandomBelow(-3), 0);
    double x = 3, y = 0, z = 4;
    NormalizeVector3d(x, y, z);
    EXPECT_DOUBLE_EQ(x, 0.6);
    EXPECT_DOUBLE_EQ(z, 0.8);
    double a = 0, b = 0, c = 0;
    NormalizeVector3d(a, b, c);
    EXPECT_FALSE(std::isnan(a));
}

}  // namespace
