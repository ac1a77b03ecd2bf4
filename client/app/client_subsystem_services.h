#pragma once
// Entry points of the client subsystems that the shell calls at start-up, in the frame tick,
// in the window procedure and at shutdown, but which live in subsystems of their own (data
// cache, cursor manager, sound, music, speech line, connection, walking, weather, gumps,
// world view, macros).
//
// This is an interface. Until those subsystems are built and installed, the one in force is
// this class itself: its entry points do nothing, each saying once in the client's log that
// its subsystem is not built yet, and its queries answer "no" (the music and sound switches
// keep their setting; the world-view frame shows the shell's back buffer).
#include <mutex>
#include <set>
#include <string>

#include "platform/types.h"

class ClientSubsystemServices {
public:
    virtual ~ClientSubsystemServices() = default;

    // --- Start-up (ClientMain) -------------------------------------------------------------------
    virtual void CreateMultiPlacement();        // MultiPlacement
    virtual void LoadWordListsDone();           // the shell has loaded the word lists itself
    virtual void DataCacheInit();               // CDHDCache::Init
    virtual void DataCacheLoadPatches();        // CDHDCache::LoadPatches
    virtual void CursorLoadArt();               // CursorManager::LoadCursorArt
    virtual void CreatePlayerObject();          // new CClientPlayer, stored as the player object
    virtual void CursorSetDrawEnabled(int on);  // CursorManager::SetDrawEnabled
    virtual void SoundInit();                   // CSoundManager::Init
    virtual void CreateWorldViewGumps();        // CClientPalette::CreateWorldViewGumps
    virtual void CreateSpeechLine();            // new CSpeechLine
    virtual void CreateConnection();            // new ClientConnection (closed)
    virtual void ShowSystemMessage(const std::string& text, int hue, int font);
    virtual void MusicPlayTrack(int piece, bool repeat, bool forced);  // CMusicPlayer::PlayTrack
    virtual void ReadMacros();  // macro file (keyboard commands)

    // --- Main loop -------------------------------------------------------------------------------
    virtual void PollConnection();  // ClientConnection poll: queues in, dispatch, queues out
    virtual void SoundUpdate();     // CSoundManager::Update
    virtual bool ConnectionCompressionOn();  // the connection's compression flag

    // --- Frame tick ------------------------------------------------------------------------------
    virtual void PathWalkerStep();     // the world-view gump's click-to-walk path walker
    virtual void MusicUpdate();        // CMusicPlayer update
    virtual void CursorUpdate();       // CursorManager update
    virtual void WalkQueueStepTick();  // CWalkQueue::StepTick
    virtual void MobilesTick();        // MobilesTick
    virtual void AgeSavedBarks();      // CClientWorld::AgeSavedBarks
    virtual void WeatherTick();        // ClientWeather::Tick
    virtual void GumpDesktopUpdate();  // CGumpDesktop::Update
    // The world-view frame: dirty rectangles, gumps, presentation.
    virtual void DrawWorldViewFrame();
    virtual void SendKeepAlive(int argument);  // packet 0x73
    virtual void SetCursorShape(int shape);    // CursorManager shape

    // --- Window procedure ------------------------------------------------------------------------
    virtual void SaveDesktop();  // open gumps of the current character into desktop.zq1 .. zq5
    virtual int PendingWarModeRequest();  // -1 none, 0 peace requested, 1 war requested
    virtual bool PlayerInWarMode();
    virtual void SetWarMode(int mode);  // 1 war, 0 peace, -1 toggle
    // Key capture of the client-options gump; true when the key was taken.
    virtual bool OptionsGumpCaptureKey(u32 virtualKey, u32 keyData);
    // Runs the first macro bound to this key and modifier state; true when one ran.
    virtual bool RunMacroForKey(u32 virtualKey, bool ctrl, bool alt, bool shift);
    virtual void RunMacroNumber(u32 number);
    virtual bool HasKeyboardFocusGump();
    virtual void FocusGumpOnKey(u32 key);
    // The speech line's key handler; true when it consumed the key.
    virtual bool SpeechLineOnKeyDown(u32 virtualKey, u32 keyData);
    virtual void GiveSpeechLineFocus();
    virtual void TypedCharacter(u32 character);  // typed-character routing of the keyboard commands
    virtual void CursorLeftPress(int x, int y);
    virtual void CursorLeftRelease(int x, int y);
    virtual void CursorRightPress(int x, int y);
    virtual void CursorRightRelease(int x, int y);
    // Software-cursor timer step: hot spot, shape update, move and draw on the window.
    virtual void CursorTimerStep(int x, int y);
    virtual void CursorDrawIntoBackBuffer();
    virtual void CursorRemoveFromBackBuffer();
    // Once per pass of the main loop: the last frame shown again when the timer moved the
    // pointer since.
    virtual void CursorPresentMoved();
    virtual void OpenGump(int kind);  // gump of kind 5000 (options), 5010 (overview map)
    virtual void SendTextCommand(int type, const std::string& text);
    virtual void SendHelpRequest();
    virtual bool IsMusicEnabled();
    virtual void SetMusicEnabled(bool on);
    virtual bool IsSoundEnabled();
    virtual void SetSoundEnabled(bool on);

    // --- Shutdown --------------------------------------------------------------------------------
    virtual void LanguageCleanup();  // LanguageManager::cleanup
    virtual void DeletePlayerObject();
    virtual void DeleteSpeechLine();
    virtual void DeleteConnection();
    virtual void CloseJournalLog();

private:
    // An entry point whose subsystem is not built yet does nothing and says so once.
    void NotBuiltYet(const char* entryPoint);

    bool musicEnabled_ = true;
    bool soundEnabled_ = true;
    std::mutex notBuiltLock_;
    std::set<std::string> notBuiltSaid_;
};

// The implementation in force (never null).
ClientSubsystemServices& GetClientSubsystemServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
ClientSubsystemServices* SetClientSubsystemServices(ClientSubsystemServices* services);

// The cursor manager's outer lock: held by the presentation of a frame, around full-screen
// switches and around the killing of the software-cursor timer.
std::recursive_mutex& CursorOuterLock();
