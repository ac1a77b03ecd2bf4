#include "client/gumps/frontend/screen_flow.h"

#include <string>
#include <utility>

#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/acct_login_gump.h"
#include "client/gumps/frontend/change_password_dialog.h"
#include "client/gumps/frontend/char_creation_gump.h"
#include "client/gumps/frontend/char_password_dialog.h"
#include "client/gumps/frontend/char_stat_gump.h"
#include "client/gumps/frontend/city_choice_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/login_gump.h"
#include "client/gumps/frontend/main_menu_gump.h"
#include "client/gumps/frontend/tutorial_gump.h"

namespace {

// How the next screen is entered.
enum class Entry {
    kShow,          // its own way: shown, made when missing (dialogs, the tutorial and the
                    // account login are always made anew)
    kShowExisting,  // shown only when it exists; without it the row does nothing
    kStartOver,     // a new character creation: the old creation screens go first
};

// What becomes of the screen that reported.
enum class Leave {
    kHide,         // hidden once the next screen shows
    kClose,        // closed before the next screen shows
    kEndCreation,  // every creation screen closes once the next screen shows
};

struct FlowRow {
    FrontEndScreen from;
    ScreenOutcome outcome;
    FrontEndScreen to;
    Entry entry;
    Leave leave;
    // The row applies only while this answers true (null: always).
    bool (*when)() = nullptr;
    // Runs after the move (null: nothing).
    void (*then)() = nullptr;
};

// The chest animation ends in a login with the saved account.
void SubmitAccountLogin() {
    CAcctLoginGump::OnAccountLogin(TheGumpDesktop().accountLoginGump);
}

using S = FrontEndScreen;
using O = ScreenOutcome;

// The first matching row whose condition holds is taken.
const FlowRow kFlow[] = {
    {S::kMainMenu, O::kLogin, S::kAccountLogin, Entry::kShow, Leave::kHide},
    {S::kMainMenu, O::kChestOpened, S::kAccountLogin, Entry::kShow, Leave::kHide, nullptr,
     &SubmitAccountLogin},
    {S::kAccountLogin, O::kBack, S::kMainMenu, Entry::kShow, Leave::kClose},
    {S::kCharacterList, O::kBack, S::kMainMenu, Entry::kShow, Leave::kClose},
    {S::kCharacterList, O::kPlayWithPassword, S::kPlayCharacter, Entry::kShow, Leave::kHide},
    {S::kCharacterList, O::kDeleteCharacter, S::kDeleteCharacter, Entry::kShow, Leave::kHide},
    {S::kCharacterList, O::kChangePassword, S::kChangePassword, Entry::kShow, Leave::kHide},
    // The skill screen is made first, hidden: the stat screen's profession fills it.
    {S::kCharacterList, O::kNewCharacter, S::kCharStat, Entry::kStartOver, Leave::kHide},
    {S::kCharStat, O::kNext, S::kInitSkill, Entry::kShow, Leave::kHide},
    {S::kCharStat, O::kCancel, S::kCharacterList, Entry::kShow, Leave::kEndCreation},
    {S::kInitSkill, O::kNext, S::kCharCreation, Entry::kShow, Leave::kHide},
    {S::kInitSkill, O::kBack, S::kCharStat, Entry::kShowExisting, Leave::kHide},
    {S::kCharCreation, O::kNext, S::kCityChoice, Entry::kShow, Leave::kHide},
    {S::kCharCreation, O::kBack, S::kInitSkill, Entry::kShow, Leave::kHide},
    {S::kCityChoice, O::kBack, S::kCharCreation, Entry::kShow, Leave::kHide},
    // With the tutorial pictures in the data directory the slide show comes before the
    // request.
    {S::kCityChoice, O::kCreate, S::kTutorial, Entry::kShow, Leave::kHide, &TutorialSlidesPresent},
    {S::kCityChoice, O::kCreate, S::kCreatingCharacter, Entry::kShow, Leave::kHide},
    {S::kTutorial, O::kBack, S::kCityChoice, Entry::kShow, Leave::kClose},
    {S::kTutorial, O::kFinish, S::kCreatingCharacter, Entry::kShow, Leave::kClose},
};

bool IsCreationScreen(FrontEndScreen which) {
    return which == S::kCharStat || which == S::kInitSkill || which == S::kCharCreation ||
           which == S::kCityChoice;
}

// Makes a screen at the front of the desktop and follows it.
template <class Screen, class... Args>
Screen* OpenFollowed(FrontEndScreen which, Args&&... args) {
    auto* screen = TheGumpDesktop().Open<Screen>(std::forward<Args>(args)...);
    FollowScreen(which, screen);
    return screen;
}

// Shows the creation screen of a desktop slot and its side pictures, making one (its pictures
// in front: they were linked before it) when the slot is empty.
template <class Screen>
void ShowCreationScreen(FrontEndScreen which, CGump*& slot) {
    if (slot == nullptr) {
        auto* screen = OpenFollowed<Screen>(which);
        slot = screen;
        screen->RaisePictures();
    }
    static_cast<Screen*>(slot)->SetShown(true);
}

// A dialog about the character list's selected character; false without one.
template <class Dialog>
bool OpenRowDialog() {
    const auto* list = static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
    if (list == nullptr || list->selected < 0 || list->selected >= CLoginGump::kRows) return false;
    TheGumpDesktop().Open<Dialog>(list->rows[list->selected]->Text());
    return true;
}

// A new creation: the skill screen (hidden with its picture) and the stat screen in front.
void StartCreation() {
    CGumpDesktop& desktop = TheGumpDesktop();
    DeleteCreationScreens();
    auto* skills = OpenFollowed<CInitSkillGump>(S::kInitSkill);
    skills->visible = false;
    skills->ShowPictures(false);
    desktop.initialSkillGump = skills;
    desktop.charStatGump = OpenFollowed<CCharStatGump>(S::kCharStat);
}

// Enters a screen; false when the entry needs a screen that is not there.
bool Enter(FrontEndScreen which, Entry entry) {
    CGumpDesktop& desktop = TheGumpDesktop();
    switch (which) {
        case S::kMainMenu:
            if (desktop.mainMenuGump == nullptr) {
                auto* menu = OpenFollowed<CMainMenuGump>(which, TheLoginChoices().chestOpening);
                // The chest picture covers the menu from the first tick; raising it only in
                // the menu's tick would put it ahead of the tick walk and tick the menu twice.
                if (menu->overlay != nullptr) menu->overlay->BringToFront(false);
                desktop.mainMenuGump = menu;
            }
            desktop.mainMenuGump->visible = true;
            return true;
        case S::kAccountLogin: {
            auto* login = OpenFollowed<CAcctLoginGump>(which);
            login->FillSavedAccount();
            desktop.accountLoginGump = login;
            return true;
        }
        case S::kCharacterList:
            if (desktop.loginGump == nullptr)
                desktop.loginGump = OpenFollowed<CLoginGump>(which, 0);
            desktop.loginGump->visible = true;
            return true;
        case S::kPlayCharacter:
            return OpenRowDialog<CPlayCharGump>();
        case S::kDeleteCharacter:
            return OpenRowDialog<CDeleteCharGump>();
        case S::kChangePassword:
            return OpenRowDialog<CChgPWGump>();
        case S::kCharStat:
            if (entry == Entry::kStartOver) {
                StartCreation();
                return true;
            }
            if (desktop.charStatGump == nullptr && entry == Entry::kShowExisting) return false;
            ShowCreationScreen<CCharStatGump>(which, desktop.charStatGump);
            return true;
        case S::kInitSkill:
            ShowCreationScreen<CInitSkillGump>(which, desktop.initialSkillGump);
            return true;
        case S::kCharCreation:
            ShowCreationScreen<CCharCreationGump>(which, desktop.charCreationGump);
            return true;
        case S::kCityChoice:
            ShowCreationScreen<CCityChoiceGump>(which, desktop.cityChoiceGump);
            return true;
        case S::kTutorial:
            OpenFollowed<CTutorialGump>(which, 0);
            return true;
        case S::kCreatingCharacter: {
            CreateCharacterRequest request;
            if (GatherCreateCharacterRequest(request)) SendCreateCharacter(request);
            return true;
        }
    }
    return false;
}

void ReportScreenOutcome(FrontEndScreen which, COutcomeScreen* screen, ScreenOutcome outcome) {
    for (const FlowRow& row : kFlow) {
        if (row.from != which || row.outcome != outcome) continue;
        if (row.when != nullptr && !row.when()) continue;
        if (row.leave == Leave::kClose) TheGumpDesktop().Close(screen);
        if (!Enter(row.to, row.entry)) return;
        if (row.leave == Leave::kHide) {
            if (IsCreationScreen(which))
                static_cast<CCreationScreen*>(screen)->SetShown(false);
            else
                screen->visible = false;
        }
        if (row.leave == Leave::kEndCreation) DeleteCreationScreens();
        if (row.then != nullptr) row.then();
        return;
    }
}

}  // namespace

void FollowScreen(FrontEndScreen which, COutcomeScreen* screen) {
    screen->onOutcome = [which, screen](ScreenOutcome outcome) {
        ReportScreenOutcome(which, screen, outcome);
    };
}

void ShowFrontEndScreen(FrontEndScreen which) {
    Enter(which, Entry::kShow);
}

void ShowMainMenu() {
    ShowFrontEndScreen(FrontEndScreen::kMainMenu);
}
