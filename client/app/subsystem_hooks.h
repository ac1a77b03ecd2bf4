#pragma once
// Entry points of the client subsystems that the shell calls at start-up, in the frame tick,
// in the window procedure and at shutdown, but which live in subsystems of their own (data
// cache, cursor manager, sound, music, speech line, connection, walking, weather, gumps,
// world view, macros). Until each subsystem exists its entry points here do nothing (and
// the queries answer "no"); the subsystem replaces the body with a call into its own code.
//
// Tests can switch on a trace that records, in order, the name of every entry point called.
#include <mutex>
#include <string>
#include <vector>

#include "platform/types.h"

namespace client_hooks {

// --- Start-up (ClientMain) ----------------------------------------------------------------
void CreateMultiPlacement();        // MultiPlacement
void LoadWordListsDone();           // trace marker only: the shell loads the lists itself
void DataCacheInit();               // CDHDCache::Init
void DataCacheLoadPatches();        // CDHDCache::LoadPatches
void CursorLoadArt();               // CursorManager::LoadCursorArt
void CreatePlayerObject();          // new CClientPlayer, stored as the player object
void CursorSetDrawEnabled(int on);  // CursorManager::SetDrawEnabled
void SoundInit();                   // CSoundManager::Init
void CreateWorldViewGumps();        // CClientPalette::CreateWorldViewGumps
void CreateSpeechLine();            // new CSpeechLine
void CreateConnection();            // new ClientConnection (closed)
void ShowSystemMessage(const std::string& text, int hue, int font);
void MusicPlayTrack(int piece, bool repeat, bool forced);  // CMusicPlayer::PlayTrack
void ReadMacros();                                         // macro file (keyboard commands)

// --- Main loop ----------------------------------------------------------------------------
void PollConnection();           // ClientConnection poll: queues in, dispatch, queues out
void SoundUpdate();              // CSoundManager::Update
bool ConnectionCompressionOn();  // the connection's compression flag

// --- Frame tick ---------------------------------------------------------------------------
void PathWalkerStep();             // the world-view gump's click-to-walk path walker
void MusicUpdate();                // CMusicPlayer update
void CursorUpdate();               // CursorManager update
void WalkQueueStepTick();          // CWalkQueue::StepTick
void MobilesTick();                // MobilesTick
void AgeSavedBarks();              // CClientWorld::AgeSavedBarks
void WeatherTick();                // ClientWeather::Tick
void GumpDesktopUpdate();          // CGumpDesktop::Update
void DrawWorldViewFrame();         // the world-view frame: dirty rectangles, gumps, presentation
void SendKeepAlive(int argument);  // packet 0x73
void SetCursorShape(int shape);    // CursorManager shape

// --- Window procedure ---------------------------------------------------------------------
void SaveDesktop();           // open gumps of the current character into desktop.zq1 .. zq5
int PendingWarModeRequest();  // -1 none, 0 peace requested, 1 war requested
bool PlayerInWarMode();
void SetWarMode(int mode);  // 1 war, 0 peace, -1 toggle
// Key capture of the client-options gump; true when the key was taken.
bool OptionsGumpCaptureKey(u32 virtualKey, u32 keyData);
// Runs the first macro bound to this key and modifier state; true when one ran.
bool RunMacroForKey(u32 virtualKey, bool ctrl, bool alt, bool shift);
void RunMacroNumber(u32 number);
bool HasKeyboardFocusGump();
void FocusGumpOnKey(u32 key);
// The speech line's key handler; true when it consumed the key.
bool SpeechLineOnKeyDown(u32 virtualKey, u32 keyData);
void GiveSpeechLineFocus();
void TypedCharacter(u32 character);  // typed-character routing of the keyboard commands
void CursorLeftPress(int x, int y);
void CursorLeftRelease(int x, int y);
void CursorRightPress(int x, int y);
void CursorRightRelease(int x, int y);
// Software-cursor timer step: hot spot, shape update, move and draw on the window.
void CursorTimerStep(int x, int y);
void CursorDrawIntoBackBuffer();
void CursorRemoveFromBackBuffer();
void OpenGump(int kind);  // gump of kind 5000 (options), 5010 (overview map)
void SendTextCommand(int type, const std::string& text);
void SendHelpRequest();
bool IsMusicEnabled();
void SetMusicEnabled(bool on);
bool IsSoundEnabled();
void SetSoundEnabled(bool on);

// --- Shutdown -----------------------------------------------------------------------------
void LanguageCleanup();  // LanguageManager::cleanup
void DeletePlayerObject();
void DeleteSpeechLine();
void DeleteConnection();
void CloseJournalLog();

// The cursor manager's outer lock: held by the presentation of a frame, around full-screen
// switches and around the killing of the software-cursor timer.
std::recursive_mutex& CursorOuterLock();

// --- Test trace ---------------------------------------------------------------------------
void StartTrace();
std::vector<std::string> TakeTrace();  // returns the trace so far and stops tracing

}  // namespace client_hooks
