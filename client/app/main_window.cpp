#include "client/app/main_window.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/full_screen_display.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_shell_services.h"
#include "client/world/client_world.h"
#include "platform/client_window.h"
#include "platform/clock.h"
#include "platform/keys.h"

namespace {

constexpr const char* kWindowTitle = "Varnok Online";
constexpr u32 kCursorTimerPeriodMs = 25;

}  // namespace

bool TimerLock::TryAcquire() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (busy_) return false;
    busy_ = true;
    return true;
}

void TimerLock::AcquireWaiting() {
    while (!TryAcquire())
        platform::SleepMs(1);
}

void TimerLock::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = false;
}

ClientMainWindow& TheMainWindow() {
    // Never destroyed at exit: the server may end the process while the client thread is
    // still shutting down.
    static ClientMainWindow* window = new ClientMainWindow;
    return *window;
}

std::string ClientWindowTitle(const char* text) {
    std::string title = kWindowTitle;
    if (text) {
        title += " - ";
        title += text;
    }
    return title;
}

void SetClientWindowTitle(const char* text) {
    platform::Backend().SetTitle(ClientWindowTitle(text));
}

void LeaveFullScreen() {
    if (TheFullScreenDisplay().active) TheMainWindow().SendCommand(kCmdToggleFullScreen);
}

void SetFullScreen(bool on) {
    if (on != TheFullScreenDisplay().active) TheMainWindow().SendCommand(kCmdToggleFullScreen);
}

void ClientMainWindow::Create(const ProcessArgs&, CClientApp& app) {
    app_ = &app;
    posted_.clear();
    active = true;
    // The program has no menu resource: the window has no menu.
    if (!platform::Backend().OpenWindow(kWindowTitle)) {
        ShowMessageBox("Failed to create window.", "Error", true);
        return;
    }
    exists_ = true;
    platform::ResetSystemCursorCache();
    platform::SetClientWindowAlive(true);

    // What window creation does: the cursor table needs no system resources here; the
    // "fast" mouse mode moves the software cursor on a 25 ms timer.
    if (app.options.mouseMode == 1) {
        // A still pointer leaves the timer's steps nothing to do: it sleeps until the pointer
        // or the cursor changes (an idle client would otherwise wake 40 times a second).
        TheCursorManager().SetChangeListener([] { TheMainWindow().cursorTimer_.Wake(); });
        cursorTimer_.Start(kCursorTimerPeriodMs, [this] { CursorTimerCallback(); });
    }

    if (!app.options.acctId.empty() && !app.options.acctLastName.empty()) {
        std::string text = app.options.acctId + " " + app.options.acctLastName;
        SetClientWindowTitle(text.c_str());
    } else {
        SetClientWindowTitle(nullptr);
    }
    if (app.options.fullScreen) SendCommand(kCmdToggleFullScreen);
}

bool ClientMainWindow::TakeMessage(ClientMessage& message) {
    if (!posted_.empty()) {
        message = posted_.front();
        posted_.pop_front();
        return true;
    }
    if (!exists_) return false;
    platform::InputEvent e;
    if (!platform::Backend().PollEvent(e)) return false;
    message = ClientMessage{};
    message.kind = e.type == platform::EventType::kClose ? ClientMessage::Kind::kClose
                                                         : ClientMessage::Kind::kInput;
    message.event = e;
    return true;
}

void ClientMainWindow::PostMessage(const ClientMessage& message) {
    posted_.push_back(message);
}

void ClientMainWindow::PostQuit(int code) {
    ClientMessage quit;
    quit.kind = ClientMessage::Kind::kQuit;
    quit.value = static_cast<u32>(code);
    posted_.push_back(quit);
}

void ClientMainWindow::RefreshPointer() {
    int x = -1, y = -1;
    if (exists_) platform::Backend().PointerPosition(x, y);
    const bool movedX = pointerX.exchange(x, std::memory_order_relaxed) != x;
    const bool movedY = pointerY.exchange(y, std::memory_order_relaxed) != y;
    if (movedX || movedY) cursorTimer_.Wake();
}

void ClientMainWindow::UpdateSystemCursor() {
    RefreshPointer();
    int x = pointerX.load(std::memory_order_relaxed);
    int y = pointerY.load(std::memory_order_relaxed);
    bool inside = x >= 0 && x < platform::kClientWidth && y >= 0 && y < platform::kClientHeight;
    bool hide = platform::Backend().HasFocus() && (TheFullScreenDisplay().active || inside);
    platform::ShowSystemCursor(!hide);
}

void ClientMainWindow::Dispatch(const ClientMessage& message) {
    using platform::EventType;
    if (!exists_ && message.kind != ClientMessage::Kind::kQuit) return;
    if (!movieMode) UpdateSystemCursor();
    switch (message.kind) {
        case ClientMessage::Kind::kQuit:
            return;
        case ClientMessage::Kind::kClose:
            // Closing destroys the window.
            OnDestroy();
            return;
        case ClientMessage::Kind::kCommand:
            SendCommand(message.value);
            return;
        case ClientMessage::Kind::kHotKey:
            if (active) GetClientSubsystemServices().RunMacroNumber(message.value);
            return;
        case ClientMessage::Kind::kInput:
            break;
    }
    const platform::InputEvent& e = message.event;
    switch (e.type) {
        case EventType::kKeyDown:
            OnKeyDown(e.key, e.keyData);
            break;
        case EventType::kKeyUp:
            OnKeyUp(e.key);
            break;
        case EventType::kChar:
            GumpShellTypedCharacter(e.character);
            break;
        case EventType::kMouseDown:
            if (e.button == platform::MouseButton::kLeft) {
                GumpShellLeftPress(e.x, e.y);
            } else if (e.button == platform::MouseButton::kRight) {
                GumpShellRightPress(e.x, e.y);
            }
            break;
        case EventType::kMouseUp:
            if (e.button == platform::MouseButton::kLeft) {
                GumpShellLeftRelease(e.x, e.y);
            } else if (e.button == platform::MouseButton::kRight) {
                GumpShellRightRelease(e.x, e.y);
            }
            break;
        case EventType::kActivate:
            active = true;
            if (app_ && TheClientWorld().targeting) app_->SetCursorMode(39);
            break;
        case EventType::kDeactivate:
            active = false;
            break;
        default:
            break;
    }
}

void ClientMainWindow::OnDestroy() {
    if (!exists_) return;
    exists_ = false;
    platform::Backend().CloseWindow();
    platform::SetClientWindowAlive(false);
    if (switchingFullScreen) return;
    GetClientSubsystemServices().SaveDesktop();
    if (app_) app_->quitting.store(true, std::memory_order_release);
    PostQuit(0);
}

void ClientMainWindow::OnKeyDown(u32 vk, u32 keyData) {
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    const bool holdTab = app_ && app_->options.holdTabForCombat;
    if (vk == platform::kVkTab) {
        int pending = subsystems.PendingWarModeRequest();
        if (holdTab) {
            if ((pending < 0 && !subsystems.PlayerInWarMode()) || pending == 0)
                subsystems.SetWarMode(1);
        } else if (!(keyData & platform::kKeyDataWasDown)) {
            subsystems.SetWarMode(-1);
        }
    }
    if (subsystems.OptionsGumpCaptureKey(vk, keyData)) return;
    platform::WindowBackend& b = platform::Backend();
    ctrlDown = b.IsKeyDown(platform::kVkControl);
    shiftDown = b.IsKeyDown(platform::kVkShift);
    altDown = b.IsKeyDown(platform::kVkMenu);
    if (subsystems.RunMacroForKey(vk, ctrlDown, altDown, shiftDown)) return;
    if (GumpShellHasKeyboardFocus()) {
        if ((vk >= platform::kVkPrior && vk <= platform::kVkDown) || vk == platform::kVkDelete) {
            GumpShellFocusOnKey(vk + 0xE000);
        }
        // Other keys arrive as typed characters.
        return;
    }
    subsystems.SpeechLineOnKeyDown(vk, keyData);
}

void ClientMainWindow::OnKeyUp(u32 vk) {
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    if (vk != platform::kVkTab || !app_ || !app_->options.holdTabForCombat) return;
    int pending = subsystems.PendingWarModeRequest();
    if ((pending < 0 && subsystems.PlayerInWarMode()) || pending == 1) subsystems.SetWarMode(0);
}

void ClientMainWindow::ToggleFullScreen() {
    switchingFullScreen = true;
    {
        std::lock_guard<std::recursive_mutex> lock(CursorOuterLock());
        if (!TheFullScreenDisplay().active) {
            maximiseMark = true;
            CreateFullScreenDisplay();
        } else {
            maximiseMark = false;
            ReleaseFullScreenDisplay();
        }
    }
    switchingFullScreen = false;
}

void ClientMainWindow::SendCommand(u32 id) {
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    const bool inGame = app_ && app_->inGame;
    switch (id) {
        case kCmdExit: {
            ClientMessage close;
            close.kind = ClientMessage::Kind::kClose;
            Dispatch(close);
            break;
        }
        case kCmdToggleFullScreen:
        case kCmdToggleFullScreen2:
            if (exists_) ToggleFullScreen();
            break;
        case kCmdOptions:
        case kCmdOptions2:
            if (inGame) GumpShellOpenGump(5000);
            break;
        case kCmdToggleMusic:
            subsystems.SetMusicEnabled(!subsystems.IsMusicEnabled());
            break;
        case kCmdToggleSound:
            subsystems.SetSoundEnabled(!subsystems.IsSoundEnabled());
            break;
        case kCmdWarMode:
            if (inGame) subsystems.SetWarMode(-1);
            break;
        case kCmdSpellbook:
            if (inGame) subsystems.SendTextCommand(67, "");
            break;
        case kCmdOverviewMap:
            if (inGame) GumpShellOpenGump(5010);
            break;
        case kCmdToggleObscenityFilter:
            if (app_) app_->options.obscenityFilter = !app_->options.obscenityFilter;
            break;
        case kCmdHelpRequest:
            subsystems.SendHelpRequest();
            break;
        case kCmdToggleFootsteps:
            if (app_) app_->options.footsteps = !app_->options.footsteps;
            break;
        default:
            break;
    }
}

void ClientMainWindow::CursorTimerCallback() {
    // Never blocks: a busy timer lock or outer lock skips this tick.
    if (!timerLock.TryAcquire()) return;
    if (!timerReentry_.exchange(true)) {
        std::unique_lock<std::recursive_mutex> outer(CursorOuterLock(), std::try_to_lock);
        if (outer.owns_lock() && !GetClientSubsystemServices().CursorTimerStep(
                                     pointerX.load(std::memory_order_relaxed),
                                     pointerY.load(std::memory_order_relaxed))) {
            cursorTimer_.Doze();
        }
        timerReentry_.store(false);
    }
    timerLock.Release();
}

void ClientMainWindow::KillCursorTimer() {
    std::lock_guard<std::recursive_mutex> lock(CursorOuterLock());
    cursorTimer_.Stop();
}
