#pragma once
// The character list: five rows of names, with play, new-character, delete, change-password
// and back buttons. Rows hold characters in the order they arrived; each row keeps the slot
// number its character has on the server, which every request carries.
#include <string>

#include "client/gumps/frontend/outcome_screen.h"

class CInputControlGump;
class CButtonGump;

class CLoginGump : public COutcomeScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kLogin;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kRows = 5;

    // Empty rows; the row `selected` starts selected.
    explicit CLoginGump(int selected);

    // The next empty row gets the name (an empty name is ignored).
    void AddCharacter(const std::string& name, int slot);
    // Removes the row holding `slot`, moving the rows below it up; the new count.
    int RemoveCharacter(int slot);

    // The buttons. Each one whose row needs a character says so in a notice when the row has
    // none; otherwise a character without a password plays at once, and the others report
    // their outcome (kPlayWithPassword, kNewCharacter, kDeleteCharacter, kChangePassword,
    // kBack).
    static void Play(CGump*);
    static void NewCharacter(CGump*);
    static void DeleteCharacter(CGump*);
    static void ChangePassword(CGump*);
    static void Back(CGump*);

    bool ContainsPoint(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnFieldClicked(CGump* field) override;
    void OnFieldReleased(CGump* field) override;
    void OnFieldEnter() override { Play(this); }
    void OnFieldEscape() override { Back(this); }
    bool ClosesOnEscape() override { return false; }

    int count = 0;
    int selected = 0;
    int slots[kRows] = {-1, -1, -1, -1, -1};
    CInputControlGump* rows[kRows] = {};
    CButtonGump* changePassword = nullptr;

private:
    void Select(int row);
    int RowOf(CGump* field) const;
};
