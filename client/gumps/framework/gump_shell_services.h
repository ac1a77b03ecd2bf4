#pragma once
// The shell's entry points that the gump framework answers: the per-tick desktop update, the
// gump half of the frame (save-unders, drawing, presentation, restore), the desktop file,
// opening a gump, the keyboard focus and typed keys, and the mouse routing. A mix-in over the
// shell's installed services, so that the other subsystems' answers stay as they are.
#include "client/app/client_subsystem_services.h"
#include "client/gumps/framework/cursor_manager.h"
#include "platform/types.h"

// The framework's halves of the entry points, callable on their own.
void GumpShellCreateDesktop();
void GumpShellDrawFrame();
void GumpShellCursorUpdate();

template <class Base>
class GumpShellServices : public Base {
public:
    // The main menu is the login screens' to add; the framework makes the desktop's screen.
    void CreateWorldViewGumps() override { GumpShellCreateDesktop(); }
    void GumpDesktopUpdate() override;
    void DrawWorldViewFrame() override { GumpShellDrawFrame(); }
    void SaveDesktop() override;
    void OpenGump(int kind) override;
    bool HasKeyboardFocusGump() override;
    void FocusGumpOnKey(u32 key) override;
    void TypedCharacter(u32 character) override;
    void CursorLeftPress(int x, int y) override;
    void CursorLeftRelease(int x, int y) override;
    void CursorRightPress(int x, int y) override;
    void CursorRightRelease(int x, int y) override;
    void CursorUpdate() override { GumpShellCursorUpdate(); }
    void SetCursorShape(int shape) override;
    // The pointer's pictures, drawing and timer (cursor_manager.h).
    void CursorLoadArt() override { CursorShellLoadArt(); }
    void CursorSetDrawEnabled(int on) override { TheCursorManager().SetDrawEnabled(on != 0); }
    void CursorTimerStep(int x, int y) override { CursorShellTimerStep(x, y); }
    void CursorDrawIntoBackBuffer() override { CursorShellDrawIntoBackBuffer(); }
    void CursorRemoveFromBackBuffer() override { CursorShellRemoveFromBackBuffer(); }
    void CursorPresentMoved() override { CursorShellRepresent(); }
};

#include "client/gumps/framework/gump_shell_services_impl.h"
