#pragma once
// The click recognition of the in-game windows: a left press notes the time and waits (state
// 1), or is the second press of a double click (state 2); a press left waiting longer than the
// system's double-click time turns, on the window's next tick, into a single click or a hold.
#include "platform/types.h"

struct ClickState {
    enum : int { kNone = 0, kWaiting = 1, kSecondPress = 2 };
    int state = kNone;
    u32 firstClickTime = 0;

    // A left press.
    void Press();
    // A waiting press outlived the double-click time: the state goes back to none and the
    // answer is true (once).
    bool TimedOut();
};
