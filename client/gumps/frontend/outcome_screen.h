#pragma once
// A front-end screen that reports what the player chose when leaving it (its outcome) to
// whoever follows it, the screen flow (screen_flow.h). It never makes, shows or closes another
// screen itself; a screen nobody follows reports to no one.
#include <functional>

#include "client/gumps/framework/gump.h"

enum class ScreenOutcome {
    kLogin,        // the main menu's login button
    kChestOpened,  // the main menu's chest animation ended: log in with the saved account
    kBack,
    kNext,
    kCancel,
    kNewCharacter,
    kPlayWithPassword,
    kDeleteCharacter,
    kChangePassword,
    kCreate,
    kFinish,
};

class COutcomeScreen : public CGump {
public:
    using CGump::CGump;

    // The follower may close this screen while it hears the outcome: the call works on a copy.
    void Report(ScreenOutcome outcome) {
        const std::function<void(ScreenOutcome)> follower = onOutcome;
        if (follower) follower(outcome);
    }

    std::function<void(ScreenOutcome)> onOutcome;
};
