#pragma once
// What the login screens share: the actions they ask of the connection (the client link in the
// running client, a recording fake in tests), the login choices kept between screens, the
// current notice, and the quit helpers.
#include <string>
#include <vector>

#include "client/net/client_state_record.h"

class CGump;
class CInputControlGump;
struct CreateCharacterRequest;

class LoginScreenActions {
public:
    virtual ~LoginScreenActions() = default;
    // The account, the character slots and the choices the link shares with the screens.
    virtual ClientStateRecord& State() = 0;
    virtual bool ConnectionOpen() = 0;
    // Opens the connection to the login server; false when that failed.
    virtual bool Connect() = 0;
    virtual void SendAccountLogin(const std::string& account, const std::string& password) = 0;
    virtual void SendPlayCharacter(const std::string& name, const std::string& password,
                                   int slot) = 0;
    virtual void SendDeleteCharacter(const std::string& password, int slot) = 0;
    virtual void SendCreateCharacter(const CreateCharacterRequest& request) = 0;
    // The game server chosen from the server list (0xA0).
    virtual void SendSelectServer(int id) = 0;
    virtual void SendChangePassword(const std::string& oldPassword, const std::string& newPassword,
                                    int slot) = 0;
    virtual void SendDisconnect() = 0;
    virtual void CloseConnection() = 0;
    virtual void SetWindowTitle(const std::string& text) = 0;
};

// The actions in force (null while none is installed: the screens then only change screens).
LoginScreenActions* TheLoginScreenActions();
// Installs actions; returns the previous ones.
LoginScreenActions* SetLoginScreenActions(LoginScreenActions* actions);

// Choices the screens keep for the whole run.
struct LoginChoices {
    bool rememberPassword = true;
    // The main menu opens with the chest animation, which ends in a login by itself.
    bool chestOpening = false;
    // A character list that arrives plays its selected character at once (an empty selected
    // row says there is none); off, the list waits for the player.
    bool playAfterList = true;
};
LoginChoices& TheLoginChoices();

// Tab in one of a screen's fields: the keyboard focus moves to the next field of the cycle
// (after the last, the first), both redrawn; nothing when none of them has the focus.
void MoveFocusInCycle(const std::vector<CInputControlGump*>& fields);

// An editable text field on art: normal, hover, selected and empty art, hue 902, linked.
struct ScreenFieldArts {
    int normal, hover, selected, empty;
};
CInputControlGump* MakeScreenTextField(CGump* owner, int x, int y, const ScreenFieldArts& art,
                                       int maximum, int font, int leftMargin, int topMargin);

// A screen's start: its name, its gump art drawn into its one frame, its place.
void SetUpScreenArt(CGump& screen, const char* label, int art, int x, int y);

// Progress: a large notice without a button that becomes the current notice, in front.
CGump* ShowProgressNotice(const std::string& text, CGump* returnGump);
// A notice with a button: style 1 large, 0 small; `quit` ends the client on its button. It
// becomes the current notice and the modal gump.
CGump* ShowFrontEndNotice(const std::string& text, CGump* returnGump, int style, bool quit);
void DeleteCurrentFrontEndNotice();

// Ends the client's main loop; the button-callback form ignores its gump.
void PostClientQuit();
void QuitClientButton(CGump*);
