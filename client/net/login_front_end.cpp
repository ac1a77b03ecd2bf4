#include "client/net/login_front_end.h"

#include "client/net/link_report.h"

void LoginFrontEnd::Record(const std::string& call) {
    ReportLinkOnce("The login screens are not built yet.");
    calls.push_back(call);
}

void LoginFrontEnd::CreateCharacterList() {
    hasPendingList_ = true;
    Record("CreateCharacterList");
}

void LoginFrontEnd::AddCharacter(const std::string& name, const std::string& password, int slot) {
    Record("AddCharacter " + name + " " + password + " " + std::to_string(slot));
}

void LoginFrontEnd::RemoveCharacter(int slot) {
    Record("RemoveCharacter " + std::to_string(slot));
}

void LoginFrontEnd::ShowCharacterList() {
    hasList_ = hasPendingList_;
    hasPendingList_ = false;
    Record("ShowCharacterList");
}

void LoginFrontEnd::DeleteCharacterList() {
    hasList_ = false;
    Record("DeleteCharacterList");
}

void LoginFrontEnd::SetCharacterListVisible() {
    Record("SetCharacterListVisible");
}

void LoginFrontEnd::CharacterListFieldEnter() {
    Record("CharacterListFieldEnter");
}

void LoginFrontEnd::DeleteCurrentNotice() {
    Record("DeleteCurrentNotice");
}

void LoginFrontEnd::ShowNotice(const LoginNotice& notice) {
    notices.push_back(notice);
    Record("ShowNotice " + notice.text);
}

void LoginFrontEnd::HideAccountLogin() {
    Record("HideAccountLogin");
}

void LoginFrontEnd::DeleteCharacterCreation() {
    Record("DeleteCharacterCreation");
}

void LoginFrontEnd::ShowServerChoice(const std::string& title, int art, int value,
                                     const std::vector<ServerChoiceItem>& items) {
    serverChoice = items;
    Record("ShowServerChoice " + title + " " + std::to_string(art) + " " + std::to_string(value));
}
