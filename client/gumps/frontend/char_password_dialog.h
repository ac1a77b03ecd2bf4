#pragma once
// The small dialogs of the character list that ask for a character's password: play a
// character that has one, or delete a character (change password: change_password_dialog.h). Both
// can be dragged; Cancel, a right click and Escape close them, and closing shows the character list
// again.
#include <string>

#include "client/gumps/framework/movable_gump.h"

class CInputControlGump;

class CCharPasswordDialog : public CMovableGump {
public:
    ~CCharPasswordDialog() override;

    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ContainsPoint(int x, int y) override;
    void OnFieldEnter() override { Ok(); }
    void OnFieldEscape() override { OnRightUp(0, 0); }
    bool ClosesOnEscape() override { return false; }

    virtual void Ok() = 0;

    CInputControlGump* password = nullptr;

protected:
    // Art, the question wrapped above the password field, OK and Cancel; the field holds the
    // keyboard focus.
    CCharPasswordDialog(const char* label, const std::string& question);
    // Art, OK and Cancel only.
    explicit CCharPasswordDialog(const char* label);
    // A masked password field at the dialog's field column.
    CInputControlGump* AddPasswordField(int y);
};

// "Play as <name>?": OK plays the list's selected character with the typed password.
class CPlayCharGump : public CCharPasswordDialog {
public:
    static constexpr GumpKind kKind = GumpKind::kPlayChar;
    GumpKind Kind() const override { return kKind; }

    explicit CPlayCharGump(const std::string& name);
    void Ok() override;
};

// "Permanently delete <name>?": OK asks the server to delete the list's selected character.
class CDeleteCharGump : public CCharPasswordDialog {
public:
    static constexpr GumpKind kKind = GumpKind::kDeleteChar;
    GumpKind Kind() const override { return kKind; }

    explicit CDeleteCharGump(const std::string& name);
    void Ok() override;
};
