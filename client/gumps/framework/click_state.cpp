#include "client/gumps/framework/click_state.h"

#include "client/gumps/framework/gump_host_services.h"
#include "platform/clock.h"

void ClickState::Press() {
    if (state == kWaiting) {
        state = kSecondPress;
        return;
    }
    state = kWaiting;
    firstClickTime = platform::NowMs();
}

bool ClickState::TimedOut() {
    if (state != kWaiting ||
        platform::NowMs() - firstClickTime <= GetGumpHostServices().DoubleClickTimeMs())
        return false;
    state = kNone;
    return true;
}
