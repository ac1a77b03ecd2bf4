#pragma once
// The login screens' test fixture: a recording fake of the connection's actions, the generated
// gump art, a desktop with helpers to click, type and find buttons, and the check that every
// child of a screen lies inside its art and answers a click at its centre.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/acct_login_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/gump_login_front_end.h"
#include "client/gumps/frontend/login_gump.h"
#include "client/gumps/frontend/main_menu_gump.h"
#include "client/gumps/frontend/screen_flow.h"
#include "client/gumps/windows/waiting_gump.h"
#include "client/net/client_packets.h"
#include "client/net/link_report.h"
#include "tests/client/data/gump_art_fixture.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/gumps/frontend/screen_input.h"
#include "tests/tools/content_builder/built_font_and_gump_files.h"

// Records every request; the connect step succeeds unless told otherwise.
class RecordingLoginActions : public LoginScreenActions {
public:
    RecordingLoginActions() : previous_(SetLoginScreenActions(this)) {}
    ~RecordingLoginActions() override { SetLoginScreenActions(previous_); }
    RecordingLoginActions(const RecordingLoginActions&) = delete;
    RecordingLoginActions& operator=(const RecordingLoginActions&) = delete;

    ClientStateRecord& State() override { return state; }
    bool ConnectionOpen() override { return open; }
    bool Connect() override {
        calls.push_back("Connect");
        open = connectSucceeds;
        return connectSucceeds;
    }
    void SendAccountLogin(const std::string& account, const std::string& password) override {
        calls.push_back("AccountLogin " + account + " " + password);
    }
    void SendPlayCharacter(const std::string& name, const std::string& password,
                           int slot) override {
        calls.push_back("Play " + name + " [" + password + "] " + std::to_string(slot));
    }
    void SendDeleteCharacter(const std::string& password, int slot) override {
        calls.push_back("Delete [" + password + "] " + std::to_string(slot));
    }
    void SendCreateCharacter(const CreateCharacterRequest& r) override {
        calls.push_back("Create " + r.name);
        created.push_back(r);
    }
    void SendSelectServer(int id) override {
        calls.push_back("SelectServer " + std::to_string(id));
    }
    void SendChangePassword(const std::string& oldPassword, const std::string& newPassword,
                            int slot) override {
        calls.push_back("ChangePassword [" + oldPassword + "] [" + newPassword + "] " +
                        std::to_string(slot));
    }
    void SendDisconnect() override { calls.push_back("Disconnect"); }
    void CloseConnection() override {
        calls.push_back("Close");
        open = false;
    }
    void SetWindowTitle(const std::string& text) override { calls.push_back("Title " + text); }

    ClientStateRecord state;
    bool open = false;
    bool connectSucceeds = true;
    std::vector<std::string> calls;
    std::vector<CreateCharacterRequest> created;

private:
    LoginScreenActions* previous_;
};

// The generated art of the screens, so layouts and hit areas are those the player gets.
class BuiltGumpArt : public GumpFilesSource {
public:
    BuiltGumpArt()
        : GumpFilesSource(BuiltFontAndGumpFiles().at("gumpidx.mul"),
                          BuiltFontAndGumpFiles().at("gumpart.mul")) {}
};

class LoginScreensTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        reports.SetQuiet(true);
        TheLoginChoices() = LoginChoices{};
    }

    static CGumpDesktop& D() { return TheGumpDesktop(); }
    static void CentreOf(CGump* g, int& sx, int& sy) { screen_input::CentreOf(g, sx, sy); }
    static void ClickOn(CGump* g) { screen_input::ClickOn(g); }
    static void Type(const std::string& text) { screen_input::Type(text); }
    static CButtonGump* ButtonWithArt(CGump* owner, int art) {
        return screen_input::ButtonWithArt(owner, art);
    }
    static std::string NoticeText() { return screen_input::NoticeText(); }
    // The main menu, then its login button.
    CAcctLoginGump* OpenAccountLogin() {
        ShowMainMenu();
        ClickOn(ButtonWithArt(D().mainMenuGump, 1011));
        return static_cast<CAcctLoginGump*>(D().accountLoginGump);
    }
    // A character list shown by the front end, as the link's handlers show it.
    CLoginGump* ShowList(const std::vector<std::pair<std::string, int>>& characters) {
        frontEnd.CreateCharacterList();
        for (const auto& [name, slot] : characters) {
            actions.state.characters[slot].name = name;
            frontEnd.AddCharacter(name, "", slot);
        }
        frontEnd.ShowCharacterList();
        return static_cast<CLoginGump*>(D().loginGump);
    }

    BuiltGumpArt builtArt;
    LinkReportCapture reports;
    RecordingLoginActions actions;
    GumpLoginFrontEnd frontEnd;
};

// Every child lies inside its screen's art, and the centre of every visible clickable child
// answers that child: no button, field or box is covered, see-through or outside its panel.
inline void ExpectChildrenInsideAndHittable(CGump* screen) {
    ASSERT_NE(screen, nullptr);
    SCOPED_TRACE(screen->kindLabel);
    for (CGump* c = screen->firstChild; c != nullptr; c = c->nextSibling) {
        SCOPED_TRACE(std::to_string(c->x) + "," + std::to_string(c->y));
        EXPECT_GE(c->x, 0);
        EXPECT_GE(c->y, 0);
        EXPECT_LE(c->x + c->width, screen->width);
        EXPECT_LE(c->y + c->height, screen->height);
        if (!c->visible) continue;
        int sx = c->width / 2, sy = c->height / 2;
        c->LocalToScreen(sx, sy);
        EXPECT_EQ(TheGumpDesktop().GumpAt(sx, sy, nullptr, false), c);
    }
}
