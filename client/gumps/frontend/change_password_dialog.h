#pragma once
// The character list's change-password dialog: old, new and verify password for the list's
// selected character. Tab moves between the three fields, Enter is OK, Escape, Cancel and a
// right click close it; it is modal while it exists, and closing shows the list again. The
// list's button for it is disabled, so only a direct call opens it.
#include <string>

#include "client/gumps/frontend/char_password_dialog.h"

class CChgPWGump : public CCharPasswordDialog {
public:
    static constexpr GumpKind kKind = GumpKind::kChgPW;
    GumpKind Kind() const override { return kKind; }

    // It makes itself the desktop's modal gump.
    explicit CChgPWGump(const std::string& name);
    ~CChgPWGump() override;

    void Ok() override;
    void OnFieldTab() override;

    std::string name;
    CInputControlGump* oldPassword = nullptr;
    CInputControlGump* newPassword = nullptr;
    CInputControlGump* verifyPassword = nullptr;
};
