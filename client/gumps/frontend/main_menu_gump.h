#pragma once
// The first screen: the menu over the title picture, whose login button opens the account
// login and whose quit button ends the client.
#include "client/gumps/framework/gump.h"

class CMainMenuGump : public CGump {
public:
    static constexpr int kChestTicks = 20;

    // Draws its art and its six buttons and puts the title picture into the screen buffer;
    // with `chestOpening` a full-screen chest animation runs over it for 20 ticks and then
    // logs in by itself with the saved account. The caller links the menu.
    explicit CMainMenuGump(bool chestOpening = false);
    ~CMainMenuGump() override;

    // Hides the menu and opens a new account-login screen, prefilled with the saved account
    // (and password when it is remembered).
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
