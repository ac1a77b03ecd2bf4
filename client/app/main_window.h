#pragma once
// The client's one window: creation, title, the window procedure (keyboard, mouse,
// activation, close and destruction, command identifiers), the software-cursor timer and
// the switch between windowed and full-screen display.
#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "core/process_link.h"
#include "platform/periodic_timer.h"
#include "platform/types.h"
#include "platform/window_backend.h"

class CClientApp;

// Command identifiers of the window.
enum ClientCommand : u32 {
    kCmdToggleFullScreen = 101,
    kCmdExit = 40001,
    kCmdOptions = 40004,
    kCmdToggleFullScreen2 = 40043,
    kCmdToggleMusic = 40073,
    kCmdToggleSound = 40074,
    kCmdWarMode = 40115,
    kCmdSpellbook = 40116,
    kCmdOverviewMap = 40120,
    kCmdToggleObscenityFilter = 40124,
    kCmdOptions2 = 40125,
    kCmdHelpRequest = 40140,
    kCmdToggleFootsteps = 40143,
};

// What the client thread's message queue carries: input from the window system, commands,
// close requests, and the quit message that ends the main loop.
struct ClientMessage {
    enum class Kind { kInput, kCommand, kClose, kQuit, kHotKey };
    Kind kind = Kind::kInput;
    platform::InputEvent event;
    u32 value = 0;  // command id, hot-key (macro) number, or the quit code
};

// The timer lock: a busy flag under its own mutex. The cursor timer takes it without
// waiting; sound and music take it with 1 ms waits.
class TimerLock {
public:
    bool TryAcquire();
    void AcquireWaiting();
    void Release();

private:
    std::mutex mutex_;
    bool busy_ = false;
};

class ClientMainWindow {
public:
    static constexpr size_t kDialogTableSize = 256;

    // Creates and shows the window (fatal "Failed to create window." when it cannot be
    // made), sets its title from the account options, starts the cursor timer with the
    // "fast" mouse mode and enters full screen when the option asks for it.
    void Create(const ProcessArgs& args, CClientApp& app);
    bool Exists() const { return exists_; }

    // Takes the next message without waiting: posted messages first, then window input.
    bool TakeMessage(ClientMessage& message);
    void PostMessage(const ClientMessage& message);
    void PostQuit(int code);
    // The window procedure.
    void Dispatch(const ClientMessage& message);
    // Runs a command at once (what sending a command message to the window does).
    void SendCommand(u32 id);

    void KillCursorTimer();
    bool CursorTimerRunning() const { return cursorTimer_.Running(); }

    // Modeless dialogs registered by the tool dialogs: each entry closes its dialog.
    std::array<std::function<void()>, kDialogTableSize> dialogTable;

    bool active = true;
    bool switchingFullScreen = false;
    bool maximiseMark = false;
    bool movieMode = false;
    TimerLock timerLock;

    // Modifier states of the last key press.
    bool ctrlDown = false, altDown = false, shiftDown = false;

    // Pointer position in client coordinates, refreshed on the client thread for the timer.
    std::atomic<int> pointerX{-1}, pointerY{-1};
    void RefreshPointer();

private:
    void OnDestroy();
    void OnKeyDown(u32 virtualKey, u32 keyData);
    void OnKeyUp(u32 virtualKey);
    void UpdateSystemCursor();
    void ToggleFullScreen();
    void CursorTimerCallback();

    CClientApp* app_ = nullptr;
    bool exists_ = false;
    std::deque<ClientMessage> posted_;
    platform::PeriodicTimer cursorTimer_;
    std::atomic<bool> timerReentry_{false};
};

ClientMainWindow& TheMainWindow();

// The window title: "Varnok Online", or "Varnok Online - <text>" when text is given.
void SetClientWindowTitle(const char* text);
std::string ClientWindowTitle(const char* text);

// Leaves full screen when it is active; sets full screen to `on` when it differs.
void LeaveFullScreen();
void SetFullScreen(bool on);
