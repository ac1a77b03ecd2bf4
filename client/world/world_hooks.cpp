#include "client/world/world_hooks.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>

#include "client/data/client_log.h"
#include "client/render/dirty_rects.h"
#include "client/world/mobile_draw.h"
#include "client/world/walk_queue.h"

namespace {

// The running client's hooks: the renderer's entries reach the renderer; the others stand in
// until gumps, sound and effects land: each says once in the client's log that its subsystem
// is not built yet, and nothing is kept (the recording base would grow for ever).
class UnbuiltWorldHooks : public WorldHooks {
public:
    // The renderer's dirty rectangles and ring-scrolled screen buffer.
    void InvalidateRect(const ScreenRect& r) override { AddDirtyRect(r); }
    void InvalidateWorldView() override { ::InvalidateWorldView(); }
    void ScrollWorldView(int dx, int dy) override { ::ScrollWorldView(dx, dy); }
    void ClearScreenBuffer() override {
        if (u16* screen = WorldViewScreen()) std::fill(screen, screen + kWorldViewPixels, u16{0});
    }
    bool FigureBox(const CClientContainer& figure, ScreenRect& box) override {
        return FigureScreenBox(figure, box);
    }
    void RedrawRadar() override { Say("radar gump"); }
    void ContainerItemAdded(u32, u32) override { Say("container gumps"); }
    void RedrawContainerRect(u32, const ScreenRect&) override { Say("container gumps"); }
    void RedrawPaperdoll(u32) override { Say("paperdoll gumps"); }
    void RefreshPlayerStatus() override { Say("status gumps"); }
    void DeleteGumpsOf(u32) override { Say("gump desktop"); }
    void DeleteBankBoxGump() override { Say("container gumps"); }
    void CloseOnEscapeGumps() override { Say("gump desktop"); }
    void DeleteChoiceGump() override { Say("gump desktop"); }
    void DeleteDragGump() override { Say("drag gump"); }
    void DeleteFreeBarks() override { Say("bark gumps"); }
    void BarkAdded(u32, const std::string&) override { Say("bark gumps"); }
    void ShowMessage(const std::string&, const std::string&) override { Say("message boxes"); }
    void SystemMessage(const std::string&) override { Say("system messages"); }
    void OpenAmountGump(u32) override { Say("amount gump"); }
    bool RaiseCourseGump(u32) override {
        Say("course gumps");
        return false;
    }
    void BeginScrollCommand(u32, int) override { Say("scroll commands"); }
    void PlaySound(int, bool, int, int, int) override { Say("sound"); }
    void PlayMusic(int, bool, bool) override { Say("music"); }
    void MobileGone(u32) override { Say("graphic effects"); }
    void InvalidateSeeThroughCircle() override { Say("see-through circle"); }
    void AnimatedStaticsChanged() override { Say("animated statics"); }
    void DeleteMovingEffects() override { Say("graphic effects"); }
    void ResetWalkQueue() override { TheWalkQueue().Reset(-1, -1, -1, -1); }
    int PlayerStepFrames() override { return TheWalkQueue().stepFrames; }
    void StopWeather() override { Say("weather"); }
    void SetWarMode(int) override { Say("war mode"); }

private:
    void Say(const char* what) {
        // The same kind again (a container's items one after another) is settled at once.
        if (what == lastSaid_) return;
        lastSaid_ = what;
        if (!said_.insert(what).second) return;
        LogClientError("world", (std::string(what) + ": not built yet").c_str());
    }
    std::set<std::string> said_;
    const char* lastSaid_ = nullptr;
};

UnbuiltWorldHooks& Unbuilt() {
    static UnbuiltWorldHooks hooks;
    return hooks;
}

WorldHooks* g_hooks = nullptr;

std::string Hex(u32 v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

}  // namespace

WorldHooks& TheWorldHooks() {
    return g_hooks ? *g_hooks : Unbuilt();
}

WorldHooks* SetWorldHooks(WorldHooks* hooks) {
    WorldHooks* old = g_hooks;
    g_hooks = hooks;
    return old;
}

bool WorldHooks::FigureBox(const CClientContainer&, ScreenRect&) {
    return false;
}
void WorldHooks::ContainerItemAdded(u32 container, u32 item) {
    Record("ContainerItemAdded " + Hex(container) + " " + Hex(item));
}
void WorldHooks::RedrawContainerRect(u32 container, const ScreenRect&) {
    Record("RedrawContainerRect " + Hex(container));
}
void WorldHooks::RedrawPaperdoll(u32 mobile) {
    Record("RedrawPaperdoll " + Hex(mobile));
}
void WorldHooks::DeleteGumpsOf(u32 serial) {
    Record("DeleteGumpsOf " + Hex(serial));
}
void WorldHooks::BarkAdded(u32 object, const std::string& text) {
    Record("BarkAdded " + Hex(object) + " " + text);
}
void WorldHooks::ShowMessage(const std::string& text, const std::string& caption) {
    Record("ShowMessage " + text + " / " + caption);
}
void WorldHooks::SystemMessage(const std::string& text) {
    Record("SystemMessage " + text);
}
void WorldHooks::OpenAmountGump(u32 serial) {
    Record("OpenAmountGump " + Hex(serial));
}
bool WorldHooks::RaiseCourseGump(u32 mapItem) {
    Record("RaiseCourseGump " + Hex(mapItem));
    return openCourseGump != 0 && openCourseGump == mapItem;
}
void WorldHooks::BeginScrollCommand(u32 serial, int mode) {
    Record("BeginScrollCommand " + Hex(serial) + " " + std::to_string(mode));
}
void WorldHooks::PlaySound(int sound, bool panned, int, int, int) {
    Record("PlaySound " + std::to_string(sound) + (panned ? " panned" : ""));
}
void WorldHooks::PlayMusic(int piece, bool repeat, bool forced) {
    Record("PlayMusic " + std::to_string(piece) + (repeat ? " repeat" : "") +
           (forced ? " forced" : ""));
}
void WorldHooks::MobileGone(u32 serial) {
    Record("MobileGone " + Hex(serial));
}
void WorldHooks::SetWarMode(int mode) {
    Record("SetWarMode " + std::to_string(mode));
}
