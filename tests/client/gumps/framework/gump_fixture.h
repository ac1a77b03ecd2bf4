#pragma once
// A desktop for gump tests: fixture art, a fixture font in every slot, a recording host, the
// desktop and cursor manager emptied before and after, and a 640 x 480 ring-addressed world
// picture the gumps draw over.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "client/data/fonts.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/data/gump_art_fixture.h"
#include "tools/content_builder/gump_art_writer.h"

// Records instead of showing, quitting or boxing; the player and the slot are steerable.
class RecordingGumpHost : public GumpHostServices {
public:
    RecordingGumpHost() : previous_(SetGumpHostServices(this)) {}
    ~RecordingGumpHost() override { SetGumpHostServices(previous_); }
    RecordingGumpHost(const RecordingGumpHost&) = delete;
    RecordingGumpHost& operator=(const RecordingGumpHost&) = delete;

    bool AutoArrangeMinimized() override { return autoArrange; }
    bool OffsetGumps() override { return offsetGumps; }
    void SetCursorMode(int mode) override { Record("CursorMode " + std::to_string(mode)); }
    void PostQuit() override { Record("PostQuit"); }
    void ShowMessageBox(const std::string& text, const std::string&) override {
        Record("MessageBox " + text);
    }
    int RandomBelow(int n) override {
        if (n < 1) return 0;
        if (!scripted.empty()) {
            const int draw = scripted.front();
            scripted.erase(scripted.begin());
            return draw % n;
        }
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<u32>(n));
    }
    u32 DoubleClickTimeMs() override { return 500; }
    std::string MakeHDPath(const std::string& name) override { return directory + "/" + name; }
    // Keeps the presented frame in screen order.
    void Present(const u16* screen, u32 ringOffset) override {
        ++presents;
        presented.resize(CGumpDesktop::kScreenPixels);
        for (int i = 0; i < CGumpDesktop::kScreenPixels; ++i)
            presented[static_cast<size_t>(i)] =
                screen[(static_cast<u32>(i) + ringOffset) % CGumpDesktop::kScreenPixels];
    }
    void StepScreenEffects() override {}
    void RefreshSpeechLineBark() override {}
    u32 PlayerSerial() override { return playerSerial; }
    int PlayerBody() override { return playerBody; }
    bool EnteredWorldThisRun() override { return enteredWorld; }
    int ChosenSlot() override { return slot; }
    bool ObjectIsContainer(u32) override { return false; }
    bool ObjectIsMobile(u32) override { return false; }

    bool autoArrange = true;
    bool offsetGumps = true;
    u32 seed = 1;
    // Draws answered first, in order, before the generator's.
    std::vector<int> scripted;
    u32 playerSerial = 0x1234;
    int playerBody = 400;
    bool enteredWorld = true;
    int slot = 0;
    std::string directory = "/tmp";
    int presents = 0;
    std::vector<u16> presented;

private:
    GumpHostServices* previous_;
};

// Gump art for tests: solid rectangles, optionally with a see-through column at the left.
class FixtureGumpArt : public GumpRecordsSource {
public:
    void Solid(u32 id, int width, int height, u16 colour) {
        std::vector<u16> pixels(static_cast<size_t>(width) * height, colour);
        Put(id, EncodeGumpArt(pixels.data(), width, height), width, height);
    }
    // A picture of a colour with its left column see-through.
    void Notched(u32 id, int width, int height, u16 colour) {
        std::vector<u16> pixels(static_cast<size_t>(width) * height, colour);
        for (int y = 0; y < height; ++y)
            pixels[static_cast<size_t>(y) * width] = 0;
        Put(id, EncodeGumpArt(pixels.data(), width, height), width, height);
    }
};

// The fixture font in every slot.
inline void LoadFixtureFontsEverywhere() {
    std::vector<u8> bytes;
    for (int slot = 0; slot < CFontTable::kSlots; ++slot)
        AppendFont(bytes, FixtureGlyphs());
    GetFontTable().LoadBytes(bytes.data(), bytes.size());
}

constexpr u16 kWorldBase = 0x0421;

class GumpDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        Desktop().DeleteAllGumps();
        TheCursorManager().Reset();
        ResetMinimizedSlots();
        LoadFixtureFontsEverywhere();
        screen.resize(CGumpDesktop::kScreenPixels);
        PaintWorld(0);
    }
    void TearDown() override {
        Desktop().DeleteAllGumps();
        Desktop().SetScreen(nullptr, 0);
        TheCursorManager().Reset();
        ResetMinimizedSlots();
        GetFontTable().Clear();
    }
    static CGumpDesktop& Desktop() { return TheGumpDesktop(); }

    // A world picture whose every pixel differs from its neighbours, at a ring offset.
    void PaintWorld(u32 ringOffset) {
        for (size_t i = 0; i < screen.size(); ++i)
            screen[i] = static_cast<u16>(kWorldBase + (i * 7) % 0x7000);
        world = screen;
        Desktop().SetScreen(screen.data(), ringOffset);
    }
    // Screen pixel (x, y) of the last presented frame.
    u16 Shown(int x, int y) const {
        return host.presented[static_cast<size_t>(y) * kScreenWidth + x];
    }
    void DrawFrame() { Desktop().DrawGumps({0, 0, kScreenWidth, kScreenHeight}, true); }
    bool ScreenIsWorld() const { return screen == world; }

    // Mouse helpers in screen coordinates.
    static void Click(int x, int y) {
        TheCursorManager().OnLeftDown(x, y);
        TheCursorManager().OnLeftUp(x, y);
    }
    static void Tick(int x, int y) {
        TheCursorManager().MoveTo(x, y);
        TheCursorManager().TickHover();
    }

    RecordingGumpHost host;
    FixtureGumpArt art;
    std::vector<u16> screen;
    std::vector<u16> world;
};

// A plain gump of a size whose frame is filled with one colour, linked at the top level or to
// a parent.
inline CGump* MakeFilledGump(int x, int y, int w, int h, u16 colour, CGump* parent = nullptr) {
    auto* g = TheGumpDesktop().Make<CGump>(x, y, parent, 0, 1, w, h);
    g->pitch = w;
    Bitmap16& frame = g->MakeFrame(0);
    std::fill(frame.Pixels(), frame.Pixels() + static_cast<size_t>(w) * h, colour);
    g->AttachTo(parent);
    return g;
}
