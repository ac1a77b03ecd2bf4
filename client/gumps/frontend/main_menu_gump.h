#pragma once
// The first screen: the menu over the title picture, whose login button opens the account
// login and whose quit button ends the client.
#include "client/gumps/framework/gump.h"

class CMainMenuGump : public CGump {
public:
    // Draws its art and its six buttons and puts the title picture into the screen buffer;
    // the caller links it.
    CMainMenuGump();

    // Hides the menu and opens a new account-login screen, prefilled with the saved account
    // (and password when it is remembered).
    static void OpenAccountLogin(CGump*);

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ClosesOnEscape() override { return false; }
};

// Draws the front end's background picture over the whole screen buffer (ring-addressed).
void DrawFrontEndBackground();
