#pragma once
// The running client's login steps, with a note that the world was entered.
#include "client/app/client_link_services.h"

class EnteringHooks : public ShellLoginHooks {
public:
    void EnterWorld(const EnterWorldInfo& info) override {
        ShellLoginHooks::EnterWorld(info);
        entered = true;
    }
    bool entered = false;
};
