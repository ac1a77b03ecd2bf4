#include "client/gumps/framework/gump_host_services.h"

#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/data/client_utils.h"
#include "client/data/message_box.h"
#include "core/service_slot.h"
#include "platform/window_backend.h"

namespace {
ServiceSlot<GumpHostServices>& Slot() {
    static ServiceSlot<GumpHostServices> slot;
    return slot;
}
}  // namespace

GumpHostServices& GetGumpHostServices() {
    return Slot().Get();
}

GumpHostServices* SetGumpHostServices(GumpHostServices* services) {
    return Slot().Set(services);
}

void GumpHostServices::Record(const std::string& call) {
    // Per-frame calls must not grow the record without bound in a long run.
    if (calls.size() >= 4096) calls.erase(calls.begin(), calls.begin() + 2048);
    calls.push_back(call);
}

void GumpHostServices::NotBuiltYet(const char* what, const std::string& detail) {
    std::string call = what;
    if (!detail.empty()) call.append(" ").append(detail);
    Record(call);
    if (said_.insert(what).second) {
        const std::string message = std::string(what) + ": not built yet";
        LogClientError("gumps", message.c_str());
    }
}

bool GumpHostServices::AutoArrangeMinimized() {
    return TheClientSettings().options.autoArrangeMinimized;
}

bool GumpHostServices::OffsetGumps() {
    return TheClientSettings().options.offsetGumps;
}

void GumpHostServices::SetCursorMode(int) {}

void GumpHostServices::PostQuit() {
    Record("PostQuit");
}

bool GumpHostServices::InGame() {
    return false;
}

bool GumpHostServices::Quitting() {
    return false;
}

void GumpHostServices::ShowMessageBox(const std::string& text, const std::string& caption) {
    Record("MessageBox " + text);
    ::ShowMessageBox(text, caption, false);
}

int GumpHostServices::RandomBelow(int n) {
    return ClientRandomBelow(n);
}

u32 GumpHostServices::DoubleClickTimeMs() {
    return platform::Backend().DoubleClickTimeMs();
}

std::string GumpHostServices::MakeHDPath(const std::string& name) {
    return TheClientSettings().MakeHDPath(name);
}

std::string GumpHostServices::MakeCDPath(const std::string& name) {
    return TheClientSettings().MakeCDPath(name);
}

void GumpHostServices::Present(const u16* screen, u32 ringOffset) {
    if (screen == nullptr) return;
    platform::Backend().Present(screen, ringOffset,
                                TheClientSettings().options.use565 ? platform::PixelFormat::k565
                                                                   : platform::PixelFormat::k555);
}

u32 GumpHostServices::PlayerSerial() {
    NotBuiltYet("PlayerSerial");
    return 0;
}

int GumpHostServices::PlayerBody() {
    NotBuiltYet("PlayerBody");
    return 0;
}

bool GumpHostServices::EnteredWorldThisRun() {
    NotBuiltYet("EnteredWorldThisRun");
    return false;
}

int GumpHostServices::ChosenSlot() {
    NotBuiltYet("ChosenSlot");
    return -1;
}

void GumpHostServices::RunActionSequencer() {
    NotBuiltYet("RunActionSequencer");
}

void GumpHostServices::StepScreenEffects() {
    NotBuiltYet("StepScreenEffects");
}

void GumpHostServices::RefreshSpeechLineBark() {
    NotBuiltYet("RefreshSpeechLineBark");
}

void GumpHostServices::SpeechLineCharacter(u32) {
    NotBuiltYet("SpeechLineCharacter");
}

bool GumpHostServices::CancelPromptOrTarget() {
    return false;
}

bool GumpHostServices::ObjectIsContainer(u32) {
    NotBuiltYet("ObjectIsContainer");
    return false;
}

bool GumpHostServices::ObjectIsMobile(u32) {
    NotBuiltYet("ObjectIsMobile");
    return false;
}

void GumpHostServices::RequestUseObject(u32 serial) {
    NotBuiltYet("RequestUseObject", std::to_string(serial));
}

void GumpHostServices::RequestStatus(int type, u32 serial) {
    NotBuiltYet("RequestStatus", std::to_string(type) + " " + std::to_string(serial));
}

void GumpHostServices::SetOpenSkillsOnList() {
    NotBuiltYet("SetOpenSkillsOnList");
}

CGump* GumpHostServices::MakeWindow(int artId, u32, int, int, bool container) {
    NotBuiltYet(container ? "MakeWindow container" : "MakeWindow", std::to_string(artId));
    return nullptr;
}

CGump* GumpHostServices::MakeStatusWindow(u32, bool small) {
    NotBuiltYet("MakeStatusWindow", small ? "small" : "full");
    return nullptr;
}

CGump* GumpHostServices::MakeFightingBar(int, int) {
    NotBuiltYet("MakeFightingBar");
    return nullptr;
}

CGump* GumpHostServices::MakeSpellIcon(int, int, int spellIndex) {
    NotBuiltYet("MakeSpellIcon", std::to_string(spellIndex));
    return nullptr;
}

void GumpHostServices::BeginPickPlayer(CGump*) {
    NotBuiltYet("BeginPickPlayer");
}
