#pragma once
// The character list's change-password dialog: old, new and verify password for the list's
// selected character. Tab moves between the three fields, Enter is OK, Escape, Cancel and a
// right click close it; it is modal while it exists, and closing shows the list again. The
// list's button for it is disabled, so only a direct call opens it.
#include <string>

#include "client/gumps/framework/movable_gump.h"

class CInputControlGump;

class CChgPWGump : public CMovableGump {
public:
    // The caller links it; it makes itself the desktop's modal gump.
    explicit CChgPWGump(const std::string& name);
    ~CChgPWGump() override;

    void Ok();

    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ContainsPoint(int x, int y) override;
    void OnFieldTab() override;
    void OnFieldEnter() override { Ok(); }
    void OnFieldEscape() override { OnRightUp(0, 0); }
    bool ClosesOnEscape() override { return false; }

    std::string name;
    CInputControlGump* oldPassword = nullptr;
    CInputControlGump* newPassword = nullptr;
    CInputControlGump* verifyPassword = nullptr;
};
