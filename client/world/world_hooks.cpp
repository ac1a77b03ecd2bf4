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

RunningWorldHooks& Unbuilt() {
    static RunningWorldHooks hooks;
    return hooks;
}

WorldHooks* g_hooks = nullptr;

std::string Hex(u32 v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

}  // namespace

void RunningWorldHooks::Say(const char* what) {
    // The same kind again (a container's items one after another) is settled at once.
    if (what == lastSaid_) return;
    lastSaid_ = what;
    if (!said_.insert(what).second) return;
    LogClientError("world", (std::string(what) + ": not built yet").c_str());
}

void RunningWorldHooks::InvalidateRect(const ScreenRect& r) {
    AddDirtyRect(r);
}

void RunningWorldHooks::InvalidateWorldView() {
    ::InvalidateWorldView();
}

void RunningWorldHooks::ScrollWorldView(int dx, int dy) {
    ::ScrollWorldView(dx, dy);
}

void RunningWorldHooks::ClearScreenBuffer() {
    if (u16* screen = WorldViewScreen()) std::fill(screen, screen + kWorldViewPixels, u16{0});
}

bool RunningWorldHooks::FigureBox(const CClientContainer& figure, ScreenRect& box) {
    return FigureScreenBox(figure, box);
}

void RunningWorldHooks::RedrawRadar() {
    Say("radar gump");
}

void RunningWorldHooks::ContainerItemAdded(u32, u32) {
    Say("container gumps");
}

void RunningWorldHooks::RedrawContainerRect(u32, const ScreenRect&) {
    Say("container gumps");
}

void RunningWorldHooks::RedrawPaperdoll(u32) {
    Say("paperdoll gumps");
}

void RunningWorldHooks::RefreshPlayerStatus() {
    Say("status gumps");
}

void RunningWorldHooks::DeleteGumpsOf(u32) {
    Say("gump desktop");
}

void RunningWorldHooks::DeleteBankBoxGump() {
    Say("container gumps");
}

void RunningWorldHooks::CloseOnEscapeGumps() {
    Say("gump desktop");
}

void RunningWorldHooks::DeleteChoiceGump() {
    Say("gump desktop");
}

void RunningWorldHooks::DeleteDragGump() {
    Say("drag gump");
}

void RunningWorldHooks::DeleteFreeBarks() {
    Say("bark gumps");
}

// The bubble itself is the bark views' (bark_views.h).
void RunningWorldHooks::BarkAdded(u32, const std::string&) {}

void RunningWorldHooks::ShowMessage(const std::string&, const std::string&) {
    Say("message boxes");
}

void RunningWorldHooks::SystemMessage(const std::string&) {}

void RunningWorldHooks::OpenAmountGump(u32) {
    Say("amount gump");
}

bool RunningWorldHooks::RaiseCourseGump(u32) {
    Say("course gumps");
    return false;
}

void RunningWorldHooks::BeginScrollCommand(u32, int) {
    Say("scroll commands");
}

void RunningWorldHooks::PlaySound(int, bool, int, int, int) {
    Say("sound");
}

void RunningWorldHooks::PlayMusic(int, bool, bool) {
    Say("music");
}

void RunningWorldHooks::MobileGone(u32) {
    Say("graphic effects");
}

void RunningWorldHooks::InvalidateSeeThroughCircle() {
    Say("see-through circle");
}

void RunningWorldHooks::AnimatedStaticsChanged() {
    Say("animated statics");
}

void RunningWorldHooks::DeleteMovingEffects() {
    Say("graphic effects");
}

void RunningWorldHooks::ResetWalkQueue() {
    TheWalkQueue().Reset(-1, -1, -1, -1);
}

int RunningWorldHooks::PlayerStepFrames() {
    return TheWalkQueue().stepFrames;
}

void RunningWorldHooks::StopWeather() {
    Say("weather");
}

void RunningWorldHooks::SetWarMode(int) {
    Say("war mode");
}

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
