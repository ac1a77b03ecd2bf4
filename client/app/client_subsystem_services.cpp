#include "client/app/client_subsystem_services.h"

#include "client/app/full_screen_display.h"
#include "client/data/back_buffer.h"
#include "client/data/client_log.h"
#include "client/render/dirty_rects.h"
#include "core/service_slot.h"

namespace {

ServiceSlot<ClientSubsystemServices> g_clientSubsystemServices;

}  // namespace

ClientSubsystemServices& GetClientSubsystemServices() {
    return g_clientSubsystemServices.Get();
}

ClientSubsystemServices* SetClientSubsystemServices(ClientSubsystemServices* services) {
    return g_clientSubsystemServices.Set(services);
}

void ClientSubsystemServices::NotBuiltYet(const char* entryPoint) {
    std::lock_guard<std::mutex> guard(notBuiltLock_);
    if (!notBuiltSaid_.insert(entryPoint).second) return;
    LogClientError("subsystems", (std::string(entryPoint) + ": not built yet").c_str());
}

void ClientSubsystemServices::CreateMultiPlacement() {
    NotBuiltYet("CreateMultiPlacement");
}

void ClientSubsystemServices::LoadWordListsDone() {}

void ClientSubsystemServices::CursorSetDrawEnabled(int) {
    NotBuiltYet("CursorSetDrawEnabled");
}

void ClientSubsystemServices::SoundInit() {
    NotBuiltYet("SoundInit");
}

void ClientSubsystemServices::CreateWorldViewGumps() {
    NotBuiltYet("CreateWorldViewGumps");
}

void ClientSubsystemServices::CreateSpeechLine() {
    NotBuiltYet("CreateSpeechLine");
}

void ClientSubsystemServices::CreateConnection() {
    NotBuiltYet("CreateConnection");
}

void ClientSubsystemServices::ShowSystemMessage(const std::string&, int, int) {
    NotBuiltYet("ShowSystemMessage");
}

void ClientSubsystemServices::MusicPlayTrack(int, bool, bool) {
    NotBuiltYet("MusicPlayTrack");
}

void ClientSubsystemServices::ReadMacros() {
    NotBuiltYet("ReadMacros");
}

void ClientSubsystemServices::PollConnection() {
    NotBuiltYet("PollConnection");
}

void ClientSubsystemServices::SoundUpdate() {
    NotBuiltYet("SoundUpdate");
}

bool ClientSubsystemServices::ConnectionCompressionOn() {
    NotBuiltYet("ConnectionCompressionOn");
    return false;
}

void ClientSubsystemServices::PathWalkerStep() {
    NotBuiltYet("PathWalkerStep");
}

void ClientSubsystemServices::MusicUpdate() {
    NotBuiltYet("MusicUpdate");
}

void ClientSubsystemServices::CursorUpdate() {
    NotBuiltYet("CursorUpdate");
}

void ClientSubsystemServices::WalkQueueStepTick() {
    NotBuiltYet("WalkQueueStepTick");
}

void ClientSubsystemServices::MobilesTick() {
    NotBuiltYet("MobilesTick");
}

void ClientSubsystemServices::WeatherTick() {
    NotBuiltYet("WeatherTick");
}

void ClientSubsystemServices::GumpDesktopUpdate() {
    NotBuiltYet("GumpDesktopUpdate");
}

void ClientSubsystemServices::DrawWorldViewFrame() {
    // Without the gump framework the back buffer is shown as it stands, through the ring.
    CreateBackBuffer();
    PresentFrame(BackBufferPixels(), static_cast<u32>(RingOffset % kWorldViewPixels));
}

void ClientSubsystemServices::SendKeepAlive(int) {
    NotBuiltYet("SendKeepAlive");
}

void ClientSubsystemServices::SaveDesktop() {
    NotBuiltYet("SaveDesktop");
}

int ClientSubsystemServices::PendingWarModeRequest() {
    NotBuiltYet("PendingWarModeRequest");
    return -1;
}

bool ClientSubsystemServices::PlayerInWarMode() {
    NotBuiltYet("PlayerInWarMode");
    return false;
}

void ClientSubsystemServices::SetWarMode(int) {
    NotBuiltYet("SetWarMode");
}

bool ClientSubsystemServices::OptionsGumpCaptureKey(u32, u32) {
    NotBuiltYet("OptionsGumpCaptureKey");
    return false;
}

bool ClientSubsystemServices::RunMacroForKey(u32, bool, bool, bool) {
    NotBuiltYet("RunMacroForKey");
    return false;
}

void ClientSubsystemServices::RunMacroNumber(u32) {
    NotBuiltYet("RunMacroNumber");
}

bool ClientSubsystemServices::SpeechLineOnKeyDown(u32, u32) {
    NotBuiltYet("SpeechLineOnKeyDown");
    return false;
}

void ClientSubsystemServices::GiveSpeechLineFocus() {
    NotBuiltYet("GiveSpeechLineFocus");
}

bool ClientSubsystemServices::CursorTimerStep(int, int) {
    NotBuiltYet("CursorTimerStep");
    return true;  // nothing can be told: the timer keeps ticking
}

void ClientSubsystemServices::SendTextCommand(int, const std::string&) {
    NotBuiltYet("SendTextCommand");
}

void ClientSubsystemServices::SendHelpRequest() {
    NotBuiltYet("SendHelpRequest");
}

bool ClientSubsystemServices::IsMusicEnabled() {
    return musicEnabled_;
}

void ClientSubsystemServices::SetMusicEnabled(bool on) {
    musicEnabled_ = on;
}

bool ClientSubsystemServices::IsSoundEnabled() {
    return soundEnabled_;
}

void ClientSubsystemServices::SetSoundEnabled(bool on) {
    soundEnabled_ = on;
}

void ClientSubsystemServices::LanguageCleanup() {
    NotBuiltYet("LanguageCleanup");
}

void ClientSubsystemServices::DeleteSpeechLine() {
    NotBuiltYet("DeleteSpeechLine");
}

void ClientSubsystemServices::DeleteConnection() {
    NotBuiltYet("DeleteConnection");
}

void ClientSubsystemServices::CloseJournalLog() {
    NotBuiltYet("CloseJournalLog");
}
