#pragma once
// The first screen: the menu over the title picture, whose login button opens the account
// login and whose quit button ends the client.
#include "client/gumps/frontend/outcome_screen.h"

class CMainMenuGump : public COutcomeScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kMainMenu;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kChestTicks = 20;

    // Draws its art and its six buttons and puts the title picture into the screen buffer;
    // with `chestOpening` a full-screen chest animation runs over it for 20 ticks and then
    // reports kChestOpened (a login with the saved account).
    explicit CMainMenuGump(bool chestOpening = false);
    ~CMainMenuGump() override;

    // The login button: the menu reports kLogin (the account login comes next).
    static void OpenAccountLogin(CGump*);

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void Tick() override;
    bool ClosesOnEscape() override { return false; }

    // The animation's full-screen picture while it runs.
    CGump* overlay = nullptr;
    int countdown = 0;
};

// Draws the front end's background picture over the whole screen buffer (ring-addressed).
void DrawFrontEndBackground();
