#pragma once
// The account-login screen: account and password fields, the remember-password box, login
// and back buttons. Tab moves between the fields, Enter logs in, Escape goes back.
#include "client/gumps/frontend/outcome_screen.h"

class CInputControlGump;
class CToggleControlGump;

class CAcctLoginGump : public COutcomeScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kAcctLogin;
    GumpKind Kind() const override { return kKind; }

    CAcctLoginGump();

    // The saved account in its field, and its password when the password is remembered.
    void FillSavedAccount();

    // Login button, Enter: keeps the typed account, connects when needed and sends the login.
    static void OnAccountLogin(CGump*);
    // Back button, Escape: reports kBack (the main menu comes back) and closes the connection.
    static void Back(CGump*);

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnFieldTab() override;
    void OnFieldEnter() override { OnAccountLogin(this); }
    void OnFieldEscape() override { Back(this); }
    bool ClosesOnEscape() override { return false; }

    CInputControlGump* account = nullptr;
    CInputControlGump* password = nullptr;
    CToggleControlGump* remember = nullptr;
};
