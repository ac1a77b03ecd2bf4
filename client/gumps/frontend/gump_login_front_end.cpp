#include "client/gumps/frontend/gump_login_front_end.h"

#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/scroll_choice_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/login_gump.h"
#include "client/gumps/frontend/screen_flow.h"
#include "client/gumps/windows/waiting_gump.h"

namespace {

CLoginGump* ShownList() {
    return static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
}

CGump* NoticeTarget(NoticeOwner owner) {
    CGumpDesktop& desktop = TheGumpDesktop();
    switch (owner) {
        case NoticeOwner::kAccountLogin:
            return desktop.accountLoginGump;
        case NoticeOwner::kMainMenu:
            return desktop.mainMenuGump;
        case NoticeOwner::kCharacterList:
            return desktop.loginGump;
        case NoticeOwner::kNone:
            break;
    }
    return nullptr;
}

}  // namespace

GumpLoginFrontEnd::~GumpLoginFrontEnd() {
    TheGumpDesktop().Close(pending_);
}

void GumpLoginFrontEnd::CreateCharacterList() {
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.Close(pending_);
    // The row of the character last played starts selected.
    LoginScreenActions* actions = TheLoginScreenActions();
    pending_ = desktop.Make<CLoginGump>(actions != nullptr ? actions->State().chosenSlot : 0);
    FollowScreen(FrontEndScreen::kCharacterList, pending_);
}

void GumpLoginFrontEnd::AddCharacter(const std::string& name, const std::string&, int slot) {
    if (CLoginGump* list = pending_ != nullptr ? pending_ : ShownList())
        list->AddCharacter(name, slot);
}

void GumpLoginFrontEnd::RemoveCharacter(int slot) {
    if (CLoginGump* list = ShownList()) list->RemoveCharacter(slot);
}

void GumpLoginFrontEnd::ShowCharacterList() {
    if (pending_ == nullptr) return;
    CGumpDesktop& desktop = TheGumpDesktop();
    DeleteCurrentFrontEndNotice();
    desktop.Close(desktop.loginGump);
    HideAccountLogin();
    pending_->AttachTo(nullptr);
    desktop.loginGump = pending_;
    pending_ = nullptr;
}

bool GumpLoginFrontEnd::HasCharacterList() const {
    return ShownList() != nullptr;
}

void GumpLoginFrontEnd::DeleteCharacterList() {
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.Close(desktop.loginGump);
}

void GumpLoginFrontEnd::SetCharacterListVisible() {
    if (CLoginGump* list = ShownList()) list->visible = true;
}

void GumpLoginFrontEnd::CharacterListFieldEnter() {
    if (!TheLoginChoices().playAfterList) return;
    if (CLoginGump* list = ShownList()) list->OnFieldEnter();
}

void GumpLoginFrontEnd::DeleteCurrentNotice() {
    DeleteCurrentFrontEndNotice();
}

void GumpLoginFrontEnd::ShowNotice(const LoginNotice& notice) {
    CGump* target = NoticeTarget(notice.owner);
    if (!notice.button) {
        ShowProgressNotice(notice.text, target);
        return;
    }
    ShowFrontEndNotice(notice.text, target, notice.centred ? 0 : notice.style, notice.value == 1);
}

bool GumpLoginFrontEnd::HasAccountLogin() const {
    return TheGumpDesktop().accountLoginGump != nullptr;
}

void GumpLoginFrontEnd::HideAccountLogin() {
    if (CGump* screen = TheGumpDesktop().accountLoginGump) screen->visible = false;
}

void GumpLoginFrontEnd::DeleteCharacterCreation() {
    CGumpDesktop& desktop = TheGumpDesktop();
    desktop.Close(desktop.charCreationGump);
    desktop.Close(desktop.cityChoiceGump);
}

void GumpLoginFrontEnd::ShowServerChoice(const std::string& title, int art, int,
                                         const std::vector<ServerChoiceItem>& items) {
    serverChoice = items;
    CGumpDesktop& desktop = TheGumpDesktop();
    DeleteCurrentFrontEndNotice();
    // Without the sort buttons' art the list still opens, behind a message that says so.
    int sortWidth = 0, sortHeight = 0;
    if (!GetGumpArtSize(CScrollChoiceGump::kFirstSortArt, sortWidth, sortHeight))
        ShowWaitingGump("Missing gump!", nullptr, 0, false);
    auto* chooser = desktop.Open<CScrollChoiceGump>(desktop.mainMenuGump, art);
    chooser->title = title;
    for (size_t i = 0; i < items.size(); ++i) {
        chooser->AddItem(items[i].id, items[i].name, items[i].hue);
        // The sort buttons work on this copy: the first key keeps the link's order.
        ServerChoiceEntry entry;
        entry.name = items[i].name;
        entry.id = items[i].id;
        entry.firstKey = static_cast<u8>(i);
        chooser->servers.push_back(entry);
    }
    chooser->onServerChosen = [](int id, const std::string& name) {
        LoginScreenActions* actions = TheLoginScreenActions();
        if (actions == nullptr) return;
        actions->State().chosenServerName = name;
        actions->SendSelectServer(id);
    };
    chooser->onServerListClosed = [](bool cancelled) {
        CGumpDesktop& d = TheGumpDesktop();
        LoginScreenActions* actions = TheLoginScreenActions();
        if (cancelled) {
            ShowMainMenu();
            if (actions != nullptr) {
                actions->CloseConnection();
                actions->State().chosenServerName.clear();
            }
            return;
        }
        auto* connecting = d.Open<CWaitingGump>(-1, -1, "Connecting... ", nullptr, true, 1, false);
        if (connecting->firstChild != nullptr) connecting->firstChild->visible = false;
        d.connectionGump = connecting;
        // The next list or notice of the link replaces it.
        d.noticeGump = connecting;
    };
    chooser->Redraw();
    desktop.modalGump = chooser;
}
