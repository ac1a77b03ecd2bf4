#pragma once
// Bodies of GumpShellServices (a template: included by its header).
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"

template <class Base>
void GumpShellServices<Base>::GumpDesktopUpdate() {
    TheGumpDesktop().Update();
}

template <class Base>
void GumpShellServices<Base>::SaveDesktop() {
    TheGumpDesktop().SaveDesktop();
}

template <class Base>
void GumpShellServices<Base>::OpenGump(int kind) {
    TheGumpDesktop().OpenGump(0, kind, nullptr, false);
}

template <class Base>
bool GumpShellServices<Base>::HasKeyboardFocusGump() {
    return TheGumpDesktop().keyboardFocus != nullptr;
}

template <class Base>
void GumpShellServices<Base>::FocusGumpOnKey(u32 key) {
    if (CGump* focus = TheGumpDesktop().keyboardFocus) focus->OnKey(key);
}

template <class Base>
void GumpShellServices<Base>::TypedCharacter(u32 character) {
    TheGumpDesktop().TypedCharacter(character);
}

template <class Base>
void GumpShellServices<Base>::CursorLeftPress(int x, int y) {
    TheCursorManager().OnLeftDown(x, y);
}

template <class Base>
void GumpShellServices<Base>::CursorLeftRelease(int x, int y) {
    TheCursorManager().OnLeftUp(x, y);
}

template <class Base>
void GumpShellServices<Base>::CursorRightPress(int x, int y) {
    TheCursorManager().OnRightDown(x, y);
}

template <class Base>
void GumpShellServices<Base>::CursorRightRelease(int x, int y) {
    TheCursorManager().OnRightUp(x, y);
}

template <class Base>
void GumpShellServices<Base>::SetCursorShape(int shape) {
    TheCursorManager().SetShape(shape);
}
