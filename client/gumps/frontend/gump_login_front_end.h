#pragma once
// The login front end of the running client: the link's login handlers fill, show and delete
// the login screens (character list, notices, account login) through it.
#include "client/net/login_front_end.h"

class CLoginGump;

class GumpLoginFrontEnd : public LoginFrontEnd {
public:
    ~GumpLoginFrontEnd() override;

    void CreateCharacterList() override;
    void AddCharacter(const std::string& name, const std::string& password, int slot) override;
    void RemoveCharacter(int slot) override;
    void ShowCharacterList() override;
    bool HasCharacterList() const override;
    void DeleteCharacterList() override;
    void SetCharacterListVisible() override;
    void CharacterListFieldEnter() override;

    void DeleteCurrentNotice() override;
    void ShowNotice(const LoginNotice& notice) override;

    bool HasAccountLogin() const override;
    void HideAccountLogin() override;
    void DeleteCharacterCreation() override;

    void ShowServerChoice(const std::string& title, int art, int value,
                          const std::vector<ServerChoiceItem>& items) override;

private:
    // A list being filled, not linked yet.
    CLoginGump* pending_ = nullptr;
};
