#include "client/gumps/frontend/front_end_screens.h"

#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
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
        owner->Add<CInputControlGump>(x, y, owner, art.normal, art.selected,
                                      CInputControlGump::kText, maximum, font, 902, true, false, 0);
    field->hoverArt = static_cast<u16>(art.hover);
    field->emptyArt = static_cast<u16>(art.empty);
    field->leftMargin = static_cast<u8>(leftMargin);
    field->topMargin = static_cast<u8>(topMargin);
    field->Redraw();
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
    auto* notice = desktop.Open<CWaitingGump>(-1, -1, text, returnGump, true, 1, false);
    // No way to close it: a packet or a callback closes it.
    if (notice->firstChild != nullptr) notice->firstChild->visible = false;
    desktop.noticeGump = notice;
    return notice;
}

CGump* ShowFrontEndNotice(const std::string& text, CGump* returnGump, int style, bool quit) {
    CWaitingGump* notice = ShowWaitingGump(text, returnGump, style, quit);
    TheGumpDesktop().noticeGump = notice;
    return notice;
}

void DeleteCurrentFrontEndNotice() {
    TheGumpDesktop().Close(TheGumpDesktop().noticeGump);  // clears the slot
}

void PostClientQuit() {
    GetGumpHostServices().PostQuit();
}

void QuitClientButton(CGump*) {
    PostClientQuit();
}
