#include "client/app/subsystem_hooks.h"

#include "client/app/full_screen_display.h"

namespace client_hooks {
namespace {

std::mutex g_traceMutex;
bool g_tracing = false;
std::vector<std::string> g_trace;

void Trace(const char* name) {
    std::lock_guard<std::mutex> lock(g_traceMutex);
    if (g_tracing) g_trace.emplace_back(name);
}

bool musicEnabled = true;
bool soundEnabled = true;

}  // namespace

void StartTrace() {
    std::lock_guard<std::mutex> lock(g_traceMutex);
    g_trace.clear();
    g_tracing = true;
}

std::vector<std::string> TakeTrace() {
    std::lock_guard<std::mutex> lock(g_traceMutex);
    g_tracing = false;
    return std::move(g_trace);
}

std::recursive_mutex& CursorOuterLock() {
    static std::recursive_mutex lock;
    return lock;
}

void CreateMultiPlacement() {
    Trace("CreateMultiPlacement");
}

void LoadWordListsDone() {
    Trace("LoadWordListsDone");
}

void DataCacheInit() {
    Trace("DataCacheInit");
}

void DataCacheLoadPatches() {
    Trace("DataCacheLoadPatches");
}

void CursorLoadArt() {
    Trace("CursorLoadArt");
}

void CreatePlayerObject() {
    Trace("CreatePlayerObject");
}

void CursorSetDrawEnabled(int) {
    Trace("CursorSetDrawEnabled");
}

void SoundInit() {
    Trace("SoundInit");
}

void CreateWorldViewGumps() {
    Trace("CreateWorldViewGumps");
}

void CreateSpeechLine() {
    Trace("CreateSpeechLine");
}

void CreateConnection() {
    Trace("CreateConnection");
}

void ShowSystemMessage(const std::string&, int, int) {
    Trace("ShowSystemMessage");
}

void MusicPlayTrack(int, bool, bool) {
    Trace("MusicPlayTrack");
}

void ReadMacros() {
    Trace("ReadMacros");
}

void PollConnection() {
    Trace("PollConnection");
}

void SoundUpdate() {
    Trace("SoundUpdate");
}

bool ConnectionCompressionOn() {
    Trace("ConnectionCompressionOn");
    return false;
}

void PathWalkerStep() {
    Trace("PathWalkerStep");
}

void MusicUpdate() {
    Trace("MusicUpdate");
}

void CursorUpdate() {
    Trace("CursorUpdate");
}

void WalkQueueStepTick() {
    Trace("WalkQueueStepTick");
}

void MobilesTick() {
    Trace("MobilesTick");
}

void AgeSavedBarks() {
    Trace("AgeSavedBarks");
}

void WeatherTick() {
    Trace("WeatherTick");
}

void GumpDesktopUpdate() {
    Trace("GumpDesktopUpdate");
}

void DrawWorldViewFrame() {
    Trace("DrawWorldViewFrame");
    // Until the world view draws, the shell's black back buffer is what the window shows.
    PresentFrame(ShellBackBuffer(), 0);
}

void SendKeepAlive(int) {
    Trace("SendKeepAlive");
}

void SetCursorShape(int) {
    Trace("SetCursorShape");
}

void SaveDesktop() {
    Trace("SaveDesktop");
}

int PendingWarModeRequest() {
    Trace("PendingWarModeRequest");
    return -1;
}

bool PlayerInWarMode() {
    Trace("PlayerInWarMode");
    return false;
}

void SetWarMode(int) {
    Trace("SetWarMode");
}

bool OptionsGumpCaptureKey(u32, u32) {
    Trace("OptionsGumpCaptureKey");
    return false;
}

bool RunMacroForKey(u32, bool, bool, bool) {
    Trace("RunMacroForKey");
    return false;
}

void RunMacroNumber(u32) {
    Trace("RunMacroNumber");
}

bool HasKeyboardFocusGump() {
    Trace("HasKeyboardFocusGump");
    return false;
}

void FocusGumpOnKey(u32) {
    Trace("FocusGumpOnKey");
}

bool SpeechLineOnKeyDown(u32, u32) {
    Trace("SpeechLineOnKeyDown");
    return false;
}

void GiveSpeechLineFocus() {
    Trace("GiveSpeechLineFocus");
}

void TypedCharacter(u32) {
    Trace("TypedCharacter");
}

void CursorLeftPress(int, int) {
    Trace("CursorLeftPress");
}

void CursorLeftRelease(int, int) {
    Trace("CursorLeftRelease");
}

void CursorRightPress(int, int) {
    Trace("CursorRightPress");
}

void CursorRightRelease(int, int) {
    Trace("CursorRightRelease");
}

void CursorTimerStep(int, int) {
    Trace("CursorTimerStep");
}

void CursorDrawIntoBackBuffer() {
    Trace("CursorDrawIntoBackBuffer");
}

void CursorRemoveFromBackBuffer() {
    Trace("CursorRemoveFromBackBuffer");
}

void OpenGump(int) {
    Trace("OpenGump");
}

void SendTextCommand(int, const std::string&) {
    Trace("SendTextCommand");
}

void SendHelpRequest() {
    Trace("SendHelpRequest");
}

bool IsMusicEnabled() {
    Trace("IsMusicEnabled");
    return musicEnabled;
}

void SetMusicEnabled(bool on) {
    Trace("SetMusicEnabled");
    musicEnabled = on;
}

bool IsSoundEnabled() {
    Trace("IsSoundEnabled");
    return soundEnabled;
}

void SetSoundEnabled(bool on) {
    Trace("SetSoundEnabled");
    soundEnabled = on;
}

void LanguageCleanup() {
    Trace("LanguageCleanup");
}

void DeletePlayerObject() {
    Trace("DeletePlayerObject");
}

void DeleteSpeechLine() {
    Trace("DeleteSpeechLine");
}

void DeleteConnection() {
    Trace("DeleteConnection");
}

void CloseJournalLog() {
    Trace("CloseJournalLog");
}

}  // namespace client_hooks
