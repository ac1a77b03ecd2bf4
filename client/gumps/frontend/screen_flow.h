#pragma once
// The order of the login and character-creation screens. A screen never makes, shows or
// closes another one: it reports what the player chose (its outcome), and one table maps the
// screen and the outcome to the screen that comes next and to what becomes of the screen that
// reported. The server's answers (the character list, notices) come through the login front
// end (gump_login_front_end.h), not through this table.
#include "client/gumps/frontend/outcome_screen.h"

enum class FrontEndScreen {
    kMainMenu,
    kAccountLogin,
    kCharacterList,
    // The character list's dialogs, each about the list's selected character.
    kPlayCharacter,
    kDeleteCharacter,
    kChangePassword,
    // The creation screens, in their order.
    kCharStat,
    kInitSkill,
    kCharCreation,
    kCityChoice,
    kTutorial,
    // The "Creating character... " notice while the create request goes out.
    kCreatingCharacter,
};

// From now on the outcomes of `screen` go to the table as outcomes of `which`: the next screen
// is entered as the table says and `screen` stays, hides or closes; an outcome the table has no
// row for changes nothing. The flow follows every screen it makes; the login front end the
// character lists it makes.
void FollowScreen(FrontEndScreen which, COutcomeScreen* screen);

// Shows a screen the way the table enters it (made when there is none; a dialog, the tutorial
// and the account login always anew).
void ShowFrontEndScreen(FrontEndScreen which);
// The first screen: shows the main menu, making one when none exists.
void ShowMainMenu();
