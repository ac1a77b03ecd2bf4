#include "client/net/object_window_hooks.h"

#include "client/net/link_report.h"

namespace {
ObjectWindowHooks* g_hooks = nullptr;
}  // namespace

ObjectWindowHooks& TheObjectWindowHooks() {
    static ObjectWindowHooks notBuilt;
    return g_hooks ? *g_hooks : notBuilt;
}

ObjectWindowHooks* SetObjectWindowHooks(ObjectWindowHooks* hooks) {
    ObjectWindowHooks* old = g_hooks;
    g_hooks = hooks;
    return old;
}

void ObjectWindowHooks::NotBuilt(const char* kind) {
    if (!said_.insert(kind).second) return;
    notBuilt_.push_back(kind);
    ReportLink(std::string(kind) + ": not built yet");
}

void ObjectWindowHooks::OpenGump(u32, int, bool) {
    NotBuilt("gump desktop");
}
void ObjectWindowHooks::CloseRadar() {
    NotBuilt("gump desktop");
}
bool ObjectWindowHooks::RefreshContainerWindow(u32) {
    NotBuilt("container window");
    return false;
}
void ObjectWindowHooks::OpenSpellbook(u32) {
    NotBuilt("spellbook window");
}
void ObjectWindowHooks::CloseShopWindows(u32, bool) {
    NotBuilt("shop window");
}
void ObjectWindowHooks::ClearShopLists(u32) {
    NotBuilt("shop window");
}
void ObjectWindowHooks::OpenSellWindow(u32, const std::vector<SellOffer>&) {
    NotBuilt("shop window");
}
void ObjectWindowHooks::OpenTradeWindow(u32, u32, u32, const std::string&) {
    NotBuilt("trade window");
}
void ObjectWindowHooks::CloseTradeWindow(u32) {
    NotBuilt("trade window");
}
void ObjectWindowHooks::SetTradeChecks(u32, bool, bool) {
    NotBuilt("trade window");
}
void ObjectWindowHooks::OpenPictureMenu(const ServerMenu&) {
    NotBuilt("picture menu window");
}
void ObjectWindowHooks::OpenTextMenu(const ServerMenu&) {
    NotBuilt("text menu window");
}
void ObjectWindowHooks::OpenHuePicker(u32, u16, u16) {
    NotBuilt("hue picker window");
}
void ObjectWindowHooks::OpenTextQuery(const TextQuery&) {
    NotBuilt("text prompt window");
}
void ObjectWindowHooks::OpenServerGump(const ServerGumpRequest&) {
    NotBuilt("generic gump window");
}
void ObjectWindowHooks::OpenCourseMap(u32, u16, const u16*) {
    NotBuilt("course map window");
}
bool ObjectWindowHooks::CourseMapOpen(u32) {
    NotBuilt("course map window");
    return false;
}
void ObjectWindowHooks::RedrawCoursePins(u32) {
    NotBuilt("course map window");
}
void ObjectWindowHooks::SetCourseEditMode(u32, bool) {
    NotBuilt("course map window");
}
bool ObjectWindowHooks::RaisePaperdoll(u32) {
    NotBuilt("paperdoll window");
    return false;
}
void ObjectWindowHooks::OpenPaperdoll(u32, bool, const std::string&, u8) {
    NotBuilt("paperdoll window");
}
bool ObjectWindowHooks::SignWindowOpen(u32) {
    NotBuilt("sign window");
    return false;
}
void ObjectWindowHooks::OpenSign(u32, u16, const std::string&, const std::string&) {
    NotBuilt("sign window");
}
void ObjectWindowHooks::FillNameField(const std::string&) {
    NotBuilt("name field");
}
void ObjectWindowHooks::ShowTargetCursor(bool) {
    NotBuilt("target cursor shape");
}
bool ObjectWindowHooks::IsIgnored(u32) {
    NotBuilt("ignore list");
    return false;
}
