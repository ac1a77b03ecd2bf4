#pragma once
// The login screens' actions carried out by the client link: open the in-process connection,
// build and send the login packets, close, set the window title.
#include "client/gumps/frontend/front_end_screens.h"

class ClientLink;

class LinkLoginActions : public LoginScreenActions {
public:
    explicit LinkLoginActions(ClientLink& link) : link_(link) {}

    ClientStateRecord& State() override;
    bool ConnectionOpen() override;
    bool Connect() override;
    void SendAccountLogin(const std::string& account, const std::string& password) override;
    void SendPlayCharacter(const std::string& name, const std::string& password, int slot) override;
    void SendDeleteCharacter(const std::string& password, int slot) override;
    void SendCreateCharacter(const CreateCharacterRequest& request) override;
    void SendSelectServer(int id) override;
    void SendChangePassword(const std::string& oldPassword, const std::string& newPassword,
                            int slot) override;
    void SendDisconnect() override;
    void CloseConnection() override;
    void SetWindowTitle(const std::string& text) override;

private:
    ClientLink& link_;
};
