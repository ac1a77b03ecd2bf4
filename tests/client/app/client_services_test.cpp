// What InstallClientServices connects: gump art from the data cache, the back buffer's
// start-up background, verdata.mul's font patches into the font table, and Escape's cancel of
// the server's target cursor.
#include "client/app/client_services.h"
#include "client/gumps/framework/gump_shell_services.h"

#include "client/app/client_subsystem_services.h"

#include <gtest/gtest.h>

#include "client/data/back_buffer.h"
#include "client/data/data_file_cache.h"
#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/windows/map_gump.h"
#include "client/net/speech_line.h"
#include "client/world/journal.h"
#include "client_test_env.h"
#include "client/net/client_link.h"
#include "client/world/client_world.h"
#include "core/byte_order.h"
#include "tests/client/net/link_fixture.h"

namespace {

// One font's glyph records: every character one pixel wide and tall.
std::vector<u8> OnePixelFont() {
    std::vector<u8> font;
    for (int c = 0; c < CFont::kGlyphs; ++c) {
        font.insert(font.end(), {1, 1, 0});
        AppendLe16(font, 0x7FFF);
    }
    return font;
}

// verdata.mul with one font patch per entry.
std::string FontPatches(const std::vector<std::pair<u32, std::vector<u8>>>& patches) {
    std::vector<u8> out;
    AppendLe32(out, static_cast<u32>(patches.size()));
    u32 offset = static_cast<u32>(4 + 20 * patches.size());
    for (const auto& [font, data] : patches) {
        for (u32 v : {kPatchFont, font, offset, static_cast<u32>(data.size()), 0u})
            AppendLe32(out, v);
        offset += static_cast<u32>(data.size());
    }
    for (const auto& p : patches)
        out.insert(out.end(), p.second.begin(), p.second.end());
    return std::string(out.begin(), out.end());
}

class ClientServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        env_.LinkClientInstall();
        InstallClientServices();
        DataCacheSettings s;
        s.hdDir = env_.InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
    }
    void TearDown() override {
        DeleteBackBuffer();
        TheDataCache().Shutdown();
        GetFontTable().Clear();
    }
    ClientTestEnv env_;
};

TEST_F(ClientServicesTest, GumpArtComesFromTheDataCache) {
    int width = 0, height = 0;
    ASSERT_TRUE(GetGumpArtSize(1415, width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    // An id past every record, and one inside the index without art.
    EXPECT_FALSE(GetGumpArtSize(0x7FFFFFFFu, width, height));
    EXPECT_FALSE(GetGumpArtSize(0xFFFFFFFFu, width, height));
    EXPECT_FALSE(GetGumpArtSize(3, width, height));
}

TEST_F(ClientServicesTest, TheBackBufferStartsWithTheBackgroundArt) {
    DeleteBackBuffer();
    CreateBackBuffer();
    const u16* pixels = BackBufferPixels();
    ASSERT_NE(pixels, nullptr);
    for (auto [x, y] : {std::pair{0, 0}, {320, 240}, {639, 479}, {17, 401}})
        EXPECT_EQ(pixels[y * kBackBufferWidth + x], GetGumpArtPixel(1415, x, y)) << x << "," << y;
    EXPECT_NE(pixels[240 * kBackBufferWidth + 320], 0);
}

// The pointer is drawn into the presented frame from the generated arts, and taken out of the
// back buffer again.
TEST_F(ClientServicesTest, ThePointerShowsInThePresentedFrame) {
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    CursorShellLoadArt();
    subsystems.CursorSetDrawEnabled(1);
    env_.Backend().SetPointer(100, 100);
    // The gump half of the frame, which presents (the world half needs a connection).
    GumpShellDrawFrame();
    CursorManager& cursor = TheCursorManager();
    const int record = cursor.CurrentRecord();
    ASSERT_GE(record, 0);
    EXPECT_EQ(cursor.HotSpotX(), 100);
    EXPECT_EQ(cursor.HotSpotY(), 100);
    const CursorImage& image = cursor.Image(cursor.Record(record).firstArt - 0x6053);
    const std::vector<u16>& frame = env_.Backend().Frame();
    const u16* world = BackBufferPixels();
    int drawn = 0;
    for (int row = 0; row < image.height; ++row) {
        for (int col = 0; col < image.width; ++col) {
            const size_t at = size_t(cursor.DrawY() + row) * 640 + size_t(cursor.DrawX() + col);
            const u16 p = image.pixels[size_t(row) * image.width + col];
            EXPECT_EQ(frame[at], p != 0 ? p : world[at]);
            drawn += p != 0 && p != world[at];
        }
    }
    EXPECT_GT(drawn, 20);
    cursor.Reset();
}

// The world-view gump lies behind the main menu, hidden until the player is in the game.
TEST_F(ClientServicesTest, TheWorldViewGumpLiesBehindEveryOtherGump) {
    GetClientSubsystemServices().CreateWorldViewGumps();
    CMapGump* map = TheMapGump();
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(map->visible);
    EXPECT_EQ(TheGumpDesktop().tail, map);
    EXPECT_NE(TheGumpDesktop().head, map);
    TheGumpDesktop().DeleteAllGumps();
    EXPECT_EQ(TheMapGump(), nullptr);
}

TEST_F(ClientServicesTest, FontPatchesReplaceFontsOfTheTable) {
    ASSERT_TRUE(GetFontTable().Load(env_.InstallDir() + "fonts.mul"));
    const int before = GetFontTable().GlyphWidth(2, 'W');
    ASSERT_GT(before, 1);
    std::vector<u8> truncated = OnePixelFont();
    truncated.resize(truncated.size() / 2);
    // Font 2 is replaced; font 3's records do not fit and font 40 lies outside the table.
    env_.WriteFile("verdata.mul",
                   FontPatches({{2, OnePixelFont()}, {3, truncated}, {40, OnePixelFont()}}));
    const int font3 = GetFontTable().GlyphWidth(3, 'W');
    TheDataCache().LoadPatches();
    EXPECT_EQ(GetFontTable().GlyphWidth(2, 'W'), 1);
    EXPECT_EQ(GetFontTable().GlyphWidth(3, 'W'), font3);
    EXPECT_FALSE(GetFontTable().HasFont(40));
}

// Escape with the server's target cursor up answers it with the cancel, so the server stops
// waiting for a target; with no cursor up it cancels nothing.
TEST_F(ClientServicesTest, EscapeCancelsTheTargetCursorWithTheServer) {
    LinkFixture net;
    net.link.OpenLocalConnection();
    SetTheClientLink(&net.link);
    GumpHostServices& host = GetGumpHostServices();
    EXPECT_FALSE(host.CancelPromptOrTarget());
    net.ServerSends(ServerPacket(0x6C, {1, 0, 0, 0, 7, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                 false));
    ASSERT_TRUE(TheClientWorld().targeting);
    EXPECT_TRUE(host.CancelPromptOrTarget());
    EXPECT_FALSE(TheClientWorld().targeting);
    EXPECT_EQ(net.ClientSent(),
              (Bytes{0x6C, 0, 0, 0, 0, 7, 3, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    SetTheClientLink(nullptr);
}

// The speech line is made and deleted with the shell's entries; the system lines of the
// shell reach the journal; Escape answers a pending prompt before anything else.
TEST_F(ClientServicesTest, TheSpeechLineAndTheSystemLinesAreTheShells) {
    ASSERT_TRUE(GetFontTable().Load(env_.InstallDir() + "fonts.mul"));
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    TheJournal().Reset();
    subsystems.CreateSpeechLine();
    ASSERT_NE(TheSpeechLine(), nullptr);
    subsystems.ShowSystemMessage("ZQ Demo Version 1.09.", 0, 3);
    ASSERT_EQ(TheJournal().Count(), 1u);
    EXPECT_EQ(TheJournal().Entries().back().text, "ZQ Demo Version 1.09.");
    ThePendingPrompt() = PendingPrompt{true, 1, 2};
    EXPECT_TRUE(GetGumpHostServices().CancelPromptOrTarget());
    EXPECT_FALSE(ThePendingPrompt().pending);
    EXPECT_FALSE(GetGumpHostServices().CancelPromptOrTarget());
    subsystems.DeleteSpeechLine();
    EXPECT_EQ(TheSpeechLine(), nullptr);
    TheJournal().Reset();
}

}  // namespace
