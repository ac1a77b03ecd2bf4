#pragma once
// The running client's world entry, without a window to title or a box to show.
#include <string>

#include "client/app/client_link_services.h"

class WorldEntryHooks : public ShellLoginHooks {
public:
    void SetWindowTitle(const std::string& text) override {
        ClientLoginHooks::SetWindowTitle(text);
    }
    bool HardwareProfileChanged(const HardwareProfile&) override { return false; }
    void QuitClient() override { ClientLoginHooks::QuitClient(); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        ClientLoginHooks::ShowMessage(text, caption);
    }
};
