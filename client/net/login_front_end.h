#pragma once
// What the login packet handlers ask of the login screens: the character list, the message
// notices, the account-login and character-creation screens, the server chooser and tips.
// This class itself records every call (and says once that the screens are not built yet);
// the login screens replace it, tests drive the login with ScriptedLoginDriver.
#include <string>
#include <vector>

#include "platform/types.h"

// The screen a notice goes back to when acknowledged.
enum class NoticeOwner { kNone, kAccountLogin, kMainMenu, kCharacterList };

struct LoginNotice {
    std::string text;
    NoticeOwner owner = NoticeOwner::kNone;
    int style = 1;
    // 1: acknowledging the notice ends the client.
    int value = 0;
    bool centred = false;
    bool button = true;
};

struct ServerChoiceItem {
    int id = 0;
    std::string name;
    int hue = 0;
};

class LoginFrontEnd {
public:
    virtual ~LoginFrontEnd() = default;

    // A new character list, not shown yet; AddCharacter fills it.
    virtual void CreateCharacterList();
    virtual void AddCharacter(const std::string& name, const std::string& password, int slot);
    virtual void RemoveCharacter(int slot);
    // The new list becomes the shown one, at the front.
    virtual void ShowCharacterList();
    virtual bool HasCharacterList() const { return hasList_; }
    virtual void DeleteCharacterList();
    virtual void SetCharacterListVisible();
    // As if the player pressed Enter on the character list: plays the chosen character.
    virtual void CharacterListFieldEnter();

    virtual void DeleteCurrentNotice();
    virtual void ShowNotice(const LoginNotice& notice);

    virtual bool HasAccountLogin() const { return hasAccountLogin_; }
    virtual void HideAccountLogin();
    virtual void DeleteCharacterCreation();

    virtual void ShowServerChoice(const std::string& title, int art, int value,
                                  const std::vector<ServerChoiceItem>& items);

    // Every call, one line each ("AddCharacter Tester 0", "ShowNotice <text>", ...).
    std::vector<std::string> calls;
    std::vector<LoginNotice> notices;
    std::vector<ServerChoiceItem> serverChoice;
    void SetHasAccountLogin(bool on) { hasAccountLogin_ = on; }
    bool HasPendingCharacterList() const { return hasPendingList_; }

protected:
    void Record(const std::string& call);

    bool hasList_ = false;
    bool hasPendingList_ = false;
    bool hasAccountLogin_ = false;
};
