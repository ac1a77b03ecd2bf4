#include "client/gumps/frontend/front_end_screens.h"

#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/main_menu_gump.h"
#include "client/gumps/windows/waiting_gump.h"

namespace {
LoginScreenActions* gActions = nullptr;
}  // namespace

LoginScreenActions* TheLoginScreenActions() {
    return gActions;
}

LoginScreenActions* SetLoginScreenActions(LoginScreenActions* actions) {
    LoginScreenActions* previous = gActions;
    gActions = actions;
    return previous;
}

LoginChoices& TheLoginChoices() {
    static LoginChoices choices;
    return choices;
}

void MoveFocusInCycle(const std::vector<CInputControlGump*>& fields) {
    CGumpDesktop& desktop = TheGumpDesktop();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (desktop.keyboardFocus != fields[i]) continue;
        CInputControlGump* next = fields[(i + 1) % fields.size()];
        desktop.SetKeyboardFocus(next);
        fields[i]->Redraw();
        next->caret = static_cast<int>(next->Text().size());
        next->Redraw();
        return;
    }
}

CInputControlGump* MakeScreenTextField(CGump* owner, int x, int y, const ScreenFieldArts& art,
                                       int maximum, int font, int leftMargin, int topMargin) {
    auto* field =
        new CInputControlGump(x, y, owner, art.normal, art.selected, CInputControlGump::kText,
                              maximum, font, 902, true, false, 0);
    field->hoverArt = static_cast<u16>(art.hover);
    field->emptyArt = static_cast<u16>(art.empty);
    field->leftMargin = static_cast<u8>(leftMargin);
    field->topMargin = static_cast<u8>(topMargin);
    field->Redraw();
    field->AttachTo(owner);
    return field;
}

void SetUpScreenArt(CGump& screen, const char* label, int art, int x, int y) {
    screen.kindLabel = label;
    screen.artId = art;
    GetGumpArtSize(static_cast<u32>(art), screen.width, screen.height);
    screen.pitch = screen.width;
    screen.PlaceAt(x, y);
    Bitmap16& frame = screen.MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(art), 0, 0, frame.Pixels(), screen.width,
                  screen.height);
}

CGump* ShowProgressNotice(const std::string& text, CGump* returnGump) {
    CGumpDesktop& desktop = TheGumpDesktop();
    auto* notice = new CWaitingGump(-1, -1, text, returnGump, true, 1, false);
    // No way to close it: a packet or a callback deletes it.
    if (notice->firstChild != nullptr) notice->firstChild->visible = false;
    notice->AttachTo(nullptr);
    desktop.noticeGump = notice;
    return notice;
}

CGump* ShowFrontEndNotice(const std::string& text, CGump* returnGump, int style, bool quit) {
    CWaitingGump* notice = TheGumpDesktop().ShowWaitingGump(text, returnGump, style, quit);
    TheGumpDesktop().noticeGump = notice;
    return notice;
}

void DeleteCurrentFrontEndNotice() {
    delete TheGumpDesktop().noticeGump;  // its destructor clears the slot
    TheGumpDesktop().noticeGump = nullptr;
}

void ShowMainMenu() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.mainMenuGump == nullptr) {
        auto* menu = new CMainMenuGump(TheLoginChoices().chestOpening);
        menu->AttachTo(nullptr);
        // The chest picture covers the menu from the first tick; raising it only in the
        // menu's tick would put it ahead of the tick walk and tick the menu twice.
        if (menu->overlay != nullptr) menu->overlay->BringToFront(false);
        desktop.mainMenuGump = menu;
    }
    desktop.mainMenuGump->visible = true;
}

void PostClientQuit() {
    GetGumpHostServices().PostQuit();
}

void QuitClientButton(CGump*) {
    PostClientQuit();
}
