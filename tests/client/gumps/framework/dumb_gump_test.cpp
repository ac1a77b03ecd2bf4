// The dumb gump's two pictures: its own frame (keyed, or blended when translucent) and, in its
// static-art mode, a world object's art record drawn at its place, clipped to the screen.
#include "client/gumps/framework/dumb_gump.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "client/data/data_file_cache.h"
#include "client/render/span_blit.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

class DumbGumpTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        env_ = std::make_unique<ClientTestEnv>();
        env_->LinkClientInstall();
        DataCacheSettings s;
        s.hdDir = env_->InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
        // A static art record of some size from the generated install.
        for (int g = 2; g < 0x4000 && artId_ == 0; ++g) {
            s32 length = 0;
            const u8* r = GetArtRecord(0x4000 + g, &length);
            if (r == nullptr || length < 8) continue;
            words_.assign(reinterpret_cast<const u16*>(r),
                          reinterpret_cast<const u16*>(r) + length / 2);
            if (ArtRecordSize(Art(), artWidth_, artHeight_) && artWidth_ > 8 && artHeight_ > 8)
                artId_ = 0x4000 + g;
        }
    }
    void TearDown() override {
        GumpDesktopTest::TearDown();
        TheDataCache().Shutdown();
        env_.reset();
    }
    ArtRecord Art() const { return {words_.data(), words_.size()}; }
    // The world picture with the art drawn at (x, y) as the screen shows it.
    std::vector<u16> WorldWithArtAt(int x, int y) const {
        std::vector<u16> expected = world;
        DrawArtClipped(BlitTarget{expected.data(), kScreenWidth, kScreenHeight}, BlitSpan(SpanCopy),
                       Art(), ClipRect{0, 0, kScreenWidth, kScreenHeight}, x, y);
        return expected;
    }
    CDumbGump* OpenStaticArt(int x, int y) {
        auto* g = Desktop().Open<CDumbGump>(x, y, nullptr, artWidth_, artHeight_, artId_, nullptr,
                                            -1);
        g->drawsStaticArt = true;
        return g;
    }

    std::unique_ptr<ClientTestEnv> env_;
    std::vector<u16> words_;
    int artId_ = 0, artWidth_ = 0, artHeight_ = 0;
};

TEST_F(DumbGumpTest, StaticArtModeDrawsTheArtRecordAtItsPlaceClippedToTheScreen) {
    ASSERT_NE(artId_, 0) << "no static art in the install";
    struct Case {
        int x, y;
    } const cases[] = {{100, 50}, {-5, 30}, {kScreenWidth - artWidth_ / 2, 200}, {300, -7}};
    for (const Case& c : cases) {
        PaintWorld(0);
        CDumbGump* g = OpenStaticArt(c.x, c.y);
        DrawFrame();
        EXPECT_EQ(host.presented, WorldWithArtAt(c.x, c.y)) << "at " << c.x << "," << c.y;
        EXPECT_FALSE(g->ContainsPoint(1, 1)) << "never hit";
        Desktop().Close(g);
    }
}

TEST_F(DumbGumpTest, TheModeAndVisibilityChooseWhatIsShown) {
    ASSERT_NE(artId_, 0);
    // A frame of one colour over the same place: shown only without the static-art mode.
    std::vector<u16> pixels(static_cast<size_t>(artWidth_) * artHeight_, 0x1234);
    auto* g = Desktop().Open<CDumbGump>(100, 50, nullptr, artWidth_, artHeight_, artId_,
                                        pixels.data(), -1);
    DrawFrame();
    EXPECT_EQ(Shown(100, 50), 0x1234);
    EXPECT_EQ(Shown(100 + artWidth_ - 1, 50 + artHeight_ - 1), 0x1234);

    g->drawsStaticArt = true;
    PaintWorld(0);
    DrawFrame();
    EXPECT_EQ(host.presented, WorldWithArtAt(100, 50));

    g->visible = false;
    PaintWorld(0);
    DrawFrame();
    EXPECT_EQ(host.presented, world) << "an invisible gump draws nothing";
}

TEST_F(DumbGumpTest, AMissingArtRecordDrawsNothing) {
    auto* g = Desktop().Open<CDumbGump>(100, 50, nullptr, 40, 40, 0x7FFFFFF, nullptr, -1);
    g->drawsStaticArt = true;
    DrawFrame();
    EXPECT_EQ(host.presented, world);
}

}  // namespace
