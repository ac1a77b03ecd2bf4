#include "client/app/client_subsystem_services.h"

#include "client/app/full_screen_display.h"
#include "client/data/back_buffer.h"
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

std::recursive_mutex& CursorOuterLock() {
    static std::recursive_mutex lock;
    return lock;
}

void ClientSubsystemServices::CreateMultiPlacement() {}

void ClientSubsystemServices::LoadWordListsDone() {}

void ClientSubsystemServices::DataCacheInit() {}

void ClientSubsystemServices::DataCacheLoadPatches() {}

void ClientSubsystemServices::CursorLoadArt() {}

void ClientSubsystemServices::CreatePlayerObject() {}

void ClientSubsystemServices::CursorSetDrawEnabled(int) {}

void ClientSubsystemServices::SoundInit() {}

void ClientSubsystemServices::CreateWorldViewGumps() {}

void ClientSubsystemServices::CreateSpeechLine() {}

void ClientSubsystemServices::CreateConnection() {}

void ClientSubsystemServices::ShowSystemMessage(const std::string&, int, int) {}

void ClientSubsystemServices::MusicPlayTrack(int, bool, bool) {}

void ClientSubsystemServices::ReadMacros() {}

void ClientSubsystemServices::PollConnection() {}

void ClientSubsystemServices::SoundUpdate() {}

bool ClientSubsystemServices::ConnectionCompressionOn() {
    return false;
}

void ClientSubsystemServices::PathWalkerStep() {}

void ClientSubsystemServices::MusicUpdate() {}

void ClientSubsystemServices::CursorUpdate() {}

void ClientSubsystemServices::WalkQueueStepTick() {}

void ClientSubsystemServices::MobilesTick() {}

void ClientSubsystemServices::AgeSavedBarks() {}

void ClientSubsystemServices::WeatherTick() {}

void ClientSubsystemServices::GumpDesktopUpdate() {}

void ClientSubsystemServices::DrawWorldViewFrame() {
    // Until the world view draws, the back buffer as created is what the window shows.
    CreateBackBuffer();
    PresentFrame(BackBufferPixels(), 0);
}

void ClientSubsystemServices::SendKeepAlive(int) {}

void ClientSubsystemServices::SetCursorShape(int) {}

void ClientSubsystemServices::SaveDesktop() {}

int ClientSubsystemServices::PendingWarModeRequest() {
    return -1;
}

bool ClientSubsystemServices::PlayerInWarMode() {
    return false;
}

void ClientSubsystemServices::SetWarMode(int) {}

bool ClientSubsystemServices::OptionsGumpCaptureKey(u32, u32) {
    return false;
}

bool ClientSubsystemServices::RunMacroForKey(u32, bool, bool, bool) {
    return false;
}

void ClientSubsystemServices::RunMacroNumber(u32) {}

bool ClientSubsystemServices::HasKeyboardFocusGump() {
    return false;
}

void ClientSubsystemServices::FocusGumpOnKey(u32) {}

bool ClientSubsystemServices::SpeechLineOnKeyDown(u32, u32) {
    return false;
}

void ClientSubsystemServices::GiveSpeechLineFocus() {}

void ClientSubsystemServices::TypedCharacter(u32) {}

void ClientSubsystemServices::CursorLeftPress(int, int) {}

void ClientSubsystemServices::CursorLeftRelease(int, int) {}

void ClientSubsystemServices::CursorRightPress(int, int) {}

void ClientSubsystemServices::CursorRightRelease(int, int) {}

void ClientSubsystemServices::CursorTimerStep(int, int) {}

void ClientSubsystemServices::CursorDrawIntoBackBuffer() {}

void ClientSubsystemServices::CursorRemoveFromBackBuffer() {}

void ClientSubsystemServices::OpenGump(int) {}

void ClientSubsystemServices::SendTextCommand(int, const std::string&) {}

void ClientSubsystemServices::SendHelpRequest() {}

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

void ClientSubsystemServices::LanguageCleanup() {}

void ClientSubsystemServices::DeletePlayerObject() {}

void ClientSubsystemServices::DeleteSpeechLine() {}

void ClientSubsystemServices::DeleteConnection() {}

void ClientSubsystemServices::CloseJournalLog() {}
