#pragma once
// The shell's seam: the entry points of the client subsystems that tests replace as a whole,
// or that are not built yet. The shell's tests run it under a recorder
// (tests/client/app/client_subsystem_trace.h) and pin the order of the start-up, of the frame
// tick (walking, mobiles, gumps, the world-view frame, the keep-alive), of the main loop (the
// connection's poll) and of the window's keys; the subsystems not built yet (sound, music,
// speech line, macros, weather, war mode, the options gump, help, the journal) answer here
// until they land. The built subsystems the shell only hands its input to (the data cache,
// the player object, the cursor's pictures and mouse routing, the gump desktop's keys and
// windows) are called by the shell directly.
//
// Until the subsystems are installed, the one in force is this class itself: its entry points
// do nothing, each saying once in the client's log that its subsystem is not built yet, and
// its queries answer "no" (the music and sound switches keep their setting).
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
    virtual void WeatherTick();        // ClientWeather::Tick
    virtual void GumpDesktopUpdate();  // CGumpDesktop::Update
    // The world-view frame: dirty rectangles, gumps, presentation.
    virtual void DrawWorldViewFrame();
    virtual void SendKeepAlive(int argument);  // packet 0x73

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
    // The speech line's key handler; true when it consumed the key.
    virtual bool SpeechLineOnKeyDown(u32 virtualKey, u32 keyData);
    virtual void GiveSpeechLineFocus();
    // Software-cursor timer step: hot spot, shape update, move and draw on the window. False
    // when the step found nothing to do (the timer may then sleep until the cursor changes).
    virtual bool CursorTimerStep(int x, int y);
    virtual void SendTextCommand(int type, const std::string& text);
    virtual void SendHelpRequest();
    virtual bool IsMusicEnabled();
    virtual void SetMusicEnabled(bool on);
    virtual bool IsSoundEnabled();
    virtual void SetSoundEnabled(bool on);

    // --- Shutdown --------------------------------------------------------------------------------
    virtual void LanguageCleanup();  // LanguageManager::cleanup
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
