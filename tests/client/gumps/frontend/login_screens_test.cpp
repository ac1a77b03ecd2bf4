// The login screens driven with the mouse and the keyboard: the main menu, account login with
// typed name and password, the character list and its notices; first against a recording fake
// of the connection, then against the client link on in-process queues.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/framework/scroll_choice_gump.h"
#include "client/gumps/framework/toggle_control_gump.h"
#include "client/gumps/frontend/acct_login_gump.h"
#include "client/gumps/frontend/char_password_dialog.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/gump_login_front_end.h"
#include "client/gumps/frontend/link_login_actions.h"
#include "client/gumps/frontend/login_gump.h"
#include "client/gumps/frontend/main_menu_gump.h"
#include "client/gumps/windows/waiting_gump.h"
#include "tests/client/data/gump_art_fixture.h"
#include "tests/client/gumps/framework/gump_fixture.h"
#include "tests/client/gumps/frontend/login_screens_fixture.h"
#include "tests/client/net/link_fixture.h"
#include "tests/tools/content_builder/built_font_and_gump_files.h"

namespace {

TEST_F(LoginScreensTest, EveryScreenKeepsItsChildrenInsideAndClickable) {
    ShowMainMenu();
    ExpectChildrenInsideAndHittable(D().mainMenuGump);
    CAcctLoginGump* login = OpenAccountLogin();
    ExpectChildrenInsideAndHittable(login);
    login->visible = false;
    CLoginGump* list = ShowList({{"Alda", 0}, {"Bran", 1}, {"Cora", 2}, {"Dane", 3}, {"Eve", 4}});
    ExpectChildrenInsideAndHittable(list);
    for (CGump* dialog : {static_cast<CGump*>(TheGumpDesktop().Make<CPlayCharGump>("Alda")),
                          static_cast<CGump*>(TheGumpDesktop().Make<CDeleteCharGump>("Alda"))}) {
        dialog->AttachTo(nullptr);
        ExpectChildrenInsideAndHittable(dialog);
        TheGumpDesktop().Close(dialog);
    }
    for (int style : {1, 0}) {
        CGump* notice = ShowFrontEndNotice("A notice", list, style, false);
        ExpectChildrenInsideAndHittable(notice);
        DeleteCurrentFrontEndNotice();
    }
}

TEST_F(LoginScreensTest, TypedAccountAndPasswordLogIn) {
    CAcctLoginGump* login = OpenAccountLogin();
    ASSERT_NE(login, nullptr);
    EXPECT_FALSE(D().mainMenuGump->visible);
    ClickOn(login->account);
    Type("tester");
    Type("\t");
    Type("secret");
    EXPECT_EQ(login->account->Text(), "tester");
    EXPECT_EQ(login->password->Text(), "secret");
    Type("\r");
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Connect", "AccountLogin tester secret"}));
    EXPECT_EQ(actions.state.accountName, "tester");
    EXPECT_FALSE(login->visible);
    EXPECT_EQ(NoticeText(), "Entering Sorvenmar... ");
    // The progress notice has no way to be closed by the player.
    EXPECT_FALSE(D().noticeGump->firstChild->visible);
}

TEST_F(LoginScreensTest, AccountLoginIsPrefilledAndRemembersThePasswordOnlyWhenAsked) {
    actions.state.accountName = "saved";
    actions.state.accountPassword = "pw";
    for (bool remember : {true, false}) {
        SCOPED_TRACE(remember);
        TheLoginChoices().rememberPassword = remember;
        CAcctLoginGump* login = OpenAccountLogin();
        EXPECT_EQ(login->account->Text(), "saved");
        EXPECT_EQ(login->password->Text(), remember ? "pw" : "");
        EXPECT_EQ(login->remember->state, remember ? 1 : 0);
        CAcctLoginGump::Back(login);
    }
}

TEST_F(LoginScreensTest, FailedConnectShowsTheNoticeThatReturnsToAccountLogin) {
    actions.connectSucceeds = false;
    CAcctLoginGump* login = OpenAccountLogin();
    ClickOn(ButtonWithArt(login, 1048));
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Connect"}));
    EXPECT_EQ(NoticeText(),
              "Couldn't connect to Varnok Online.  Please try again in a few moments.");
    ClickOn(D().noticeGump->firstChild);
    EXPECT_EQ(D().noticeGump, nullptr);
    EXPECT_TRUE(login->visible);
}

TEST_F(LoginScreensTest, BackFromAccountLoginClosesAndShowsTheMenu) {
    actions.open = true;
    CAcctLoginGump* login = OpenAccountLogin();
    Type("\x1b");  // no field has the focus: Escape does not close the screen
    EXPECT_EQ(D().accountLoginGump, login);
    ClickOn(ButtonWithArt(login, 1045));
    EXPECT_EQ(D().accountLoginGump, nullptr);
    EXPECT_TRUE(D().mainMenuGump->visible);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Close", "Title "}));
}

TEST_F(LoginScreensTest, RowsKeepTheServersSlotNumbers) {
    CLoginGump* list = ShowList({{"Alda", 0}, {"Cora", 2}});
    EXPECT_EQ(list->count, 2);
    EXPECT_EQ(list->rows[1]->Text(), "Cora");
    EXPECT_EQ(list->slots[1], 2);
    ClickOn(list->rows[1]);
    EXPECT_EQ(list->selected, 1);
    EXPECT_TRUE(list->rows[1]->selectedLook);
    EXPECT_FALSE(list->rows[0]->selectedLook);
    ClickOn(ButtonWithArt(list, 1113));
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Play Cora [] 2"}));
    EXPECT_EQ(actions.state.chosenSlot, 2);
    EXPECT_EQ(actions.state.playerName, "Cora");
    EXPECT_FALSE(list->visible);
    EXPECT_EQ(NoticeText(), "Entering Sorvenmar... ");
}

TEST_F(LoginScreensTest, RemoveCharacterMovesLaterRowsUp) {
    struct Case {
        int slot;
        int count;
        std::vector<std::string> names;
        std::vector<int> slots;
    };
    const Case cases[] = {
        {0, 2, {"Bran", "Cora", ""}, {1, 4, -1}},
        {1, 2, {"Alda", "Cora", ""}, {0, 4, -1}},
        {4, 2, {"Alda", "Bran", ""}, {0, 1, -1}},
        {3, 3, {"Alda", "Bran", "Cora"}, {0, 1, 4}},  // no row holds slot 3
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        D().DeleteAllGumps();
        CLoginGump* list = ShowList({{"Alda", 0}, {"Bran", 1}, {"Cora", 4}});
        EXPECT_EQ(list->RemoveCharacter(c.slot), c.count);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(list->rows[i]->Text(), c.names[static_cast<size_t>(i)]);
            EXPECT_EQ(list->slots[i], c.slots[static_cast<size_t>(i)]);
        }
    }
}

TEST_F(LoginScreensTest, PlayOnAnEmptySelectedRowSaysSo) {
    actions.state.chosenSlot = 3;  // the last played slot selects row 3
    CLoginGump* list = ShowList({{"Alda", 0}, {"Bran", 1}});
    EXPECT_EQ(list->selected, 3);
    Type("\r");  // the rows never hold the focus; the front end's Enter plays
    frontEnd.CharacterListFieldEnter();
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_EQ(NoticeText(), "No character to login with.");
    EXPECT_FALSE(list->visible);
    ClickOn(D().noticeGump->firstChild);
    EXPECT_TRUE(list->visible);
}

// The account's list as it arrives: with play-after-list the selected character plays at
// once (an empty list says it has none); without, the list stays up and waits, no notice.
TEST_F(LoginScreensTest, AnArrivingListPlaysItsSelectionOnlyWhenAskedTo) {
    struct Case {
        bool playAfterList;
        std::vector<std::pair<std::string, int>> characters;
        std::vector<std::string> calls;
        const char* notice;  // null: none
    };
    const Case cases[] = {
        {true, {{"Alda", 0}}, {"Play Alda [] 0"}, "Entering Sorvenmar... "},
        {true, {}, {}, "No character to login with."},
        {false, {{"Alda", 0}}, {}, nullptr},
        {false, {}, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.playAfterList) + " " +
                     std::to_string(c.characters.size()));
        D().DeleteAllGumps();
        actions.calls.clear();
        TheLoginChoices().playAfterList = c.playAfterList;
        CLoginGump* list = ShowList(c.characters);
        frontEnd.CharacterListFieldEnter();
        EXPECT_EQ(actions.calls, c.calls);
        if (c.notice != nullptr) {
            EXPECT_EQ(NoticeText(), c.notice);
            EXPECT_FALSE(list->visible);
        } else {
            EXPECT_EQ(D().noticeGump, nullptr);
            EXPECT_TRUE(list->visible);
        }
    }
}

TEST_F(LoginScreensTest, DoubleClickPlaysAFilledRow) {
    CLoginGump* list = ShowList({{"Alda", 0}});
    int sx, sy;
    CentreOf(list->rows[0], sx, sy);
    Click(sx, sy);
    Click(sx, sy);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Play Alda [] 0"}));
}

TEST_F(LoginScreensTest, ListButtonsThatDoNotLeaveTheList) {
    CLoginGump* list = ShowList({{"A", 0}, {"B", 1}, {"C", 2}, {"D", 3}, {"E", 4}});
    // Change password is disabled: nothing happens.
    ClickOn(list->changePassword);
    EXPECT_EQ(D().noticeGump, nullptr);
    EXPECT_TRUE(list->visible);
    // A sixth character is refused with a small notice; the list stays.
    ClickOn(ButtonWithArt(list, 1107));
    EXPECT_EQ(NoticeText(), "You already have 5 characters.");
    EXPECT_EQ(static_cast<CWaitingGump*>(D().noticeGump)->style, 0);
    EXPECT_TRUE(list->visible);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(LoginScreensTest, BackFromTheListDisconnectsAndShowsTheMenu) {
    ShowMainMenu();
    D().mainMenuGump->visible = false;
    CLoginGump* list = ShowList({{"Alda", 0}});
    ClickOn(ButtonWithArt(list, 1110));
    EXPECT_EQ(D().loginGump, nullptr);
    EXPECT_TRUE(D().mainMenuGump->visible);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Disconnect", "Close", "Title "}));
}

TEST_F(LoginScreensTest, ACharacterWithAPasswordIsPlayedThroughTheDialog) {
    CLoginGump* list = ShowList({{"Alda", 0}});
    actions.state.characters[0].password = "stored";
    ClickOn(ButtonWithArt(list, 1113));
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_FALSE(list->visible);
    CGump* dialog = D().head;
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->kindLabel, "PlayChar gump");
    Type("typed\r");  // the password field has the focus from the start
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Play Alda [typed] 0"}));
    EXPECT_EQ(D().head, D().noticeGump);
    EXPECT_EQ(NoticeText(), "Entering Sorvenmar... ");
    EXPECT_FALSE(list->visible);
}

TEST_F(LoginScreensTest, EveryWayOfClosingADialogShowsTheListAgain) {
    enum Way { kCancel, kRightClick, kEscape };
    for (Way way : {kCancel, kRightClick, kEscape}) {
        SCOPED_TRACE(way);
        D().DeleteAllGumps();
        CLoginGump* list = ShowList({{"Alda", 0}});
        ClickOn(ButtonWithArt(list, 1101));
        CGump* dialog = D().head;
        ASSERT_STREQ(dialog->kindLabel, "DeleteChar gump");
        EXPECT_FALSE(list->visible);
        if (way == kCancel) ClickOn(ButtonWithArt(dialog, 1144));
        if (way == kRightClick) {
            int sx = 5, sy = 5;
            dialog->LocalToScreen(sx, sy);
            TheCursorManager().OnRightDown(sx, sy);
            TheCursorManager().OnRightUp(sx, sy);
        }
        if (way == kEscape) Type("\x1b");
        EXPECT_EQ(D().head, list);
        EXPECT_TRUE(list->visible);
        EXPECT_TRUE(actions.calls.empty());
    }
}

TEST_F(LoginScreensTest, DeleteSendsTheTypedPasswordAndTheSlot) {
    CLoginGump* list = ShowList({{"Alda", 0}, {"Cora", 2}});
    ClickOn(list->rows[1]);
    ClickOn(ButtonWithArt(list, 1101));
    Type("pw");
    ClickOn(ButtonWithArt(D().head, 1147));
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Delete [pw] 2"}));
    EXPECT_EQ(NoticeText(), "Deleting character... ");
    EXPECT_FALSE(list->visible);
}

TEST_F(LoginScreensTest, DeleteOnAnEmptyRowSaysSo) {
    CLoginGump* list = ShowList({{"Alda", 0}});
    ClickOn(list->rows[3]);
    ClickOn(ButtonWithArt(list, 1101));
    EXPECT_EQ(NoticeText(), "No character to delete.");
    ClickOn(D().noticeGump->firstChild);
    EXPECT_TRUE(list->visible);
}

TEST_F(LoginScreensTest, ChestAnimationLogsInByItselfOnThe21stTick) {
    // The generated chest pictures, each as a full screen.
    auto picture = [](int id) {
        std::vector<u16> p(CGumpDesktop::kScreenPixels, 0);
        CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(id), 0, 0, p.data(), 640, 480);
        return p;
    };
    auto shownByOverlay = [](CGump* overlay) {
        const u16* p = overlay->Frame(0)->Pixels();
        return std::vector<u16>(p, p + CGumpDesktop::kScreenPixels);
    };
    ASSERT_NE(picture(1400), picture(1401));
    actions.state.accountName = "saved";
    actions.state.accountPassword = "pw";
    TheLoginChoices().chestOpening = true;
    ShowMainMenu();
    auto* menu = static_cast<CMainMenuGump*>(D().mainMenuGump);
    ASSERT_NE(menu->overlay, nullptr);
    int menuX = 0, menuY = 0;
    menu->LocalToScreen(menuX, menuY);
    // No input reaches the menu while the chest opens.
    EXPECT_NE(D().GumpAt(menuX + 150, menuY + 75, nullptr, false), menu->firstChild);
    for (int tick = 1; tick <= 20; ++tick) {
        SCOPED_TRACE(tick);
        D().Update();
        const int shown = tick <= 6 ? 1400 : 1394 + tick;
        EXPECT_TRUE(shownByOverlay(menu->overlay) == picture(shown));
        EXPECT_EQ(D().head, menu->overlay);
        EXPECT_TRUE(actions.calls.empty());
    }
    D().Update();
    EXPECT_EQ(menu->overlay, nullptr);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"Connect", "AccountLogin saved pw"}));
    EXPECT_TRUE(screen == picture(1000));  // the title picture is back
}

TEST_F(LoginScreensTest, QuitButtonEndsTheClient) {
    ShowMainMenu();
    ClickOn(ButtonWithArt(D().mainMenuGump, 1026));
    EXPECT_TRUE(std::find(host.calls.begin(), host.calls.end(), "PostQuit") != host.calls.end());
}

// The screens against the client link on in-process queues: the bytes the player's clicks
// send, and the screens the server's answers make.
class LoginScreensOnLinkTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        link.reports.SetQuiet(true);
        link.link.SetFrontEnd(&frontEnd);
        previous = SetLoginScreenActions(&actions);
    }
    void TearDown() override {
        SetLoginScreenActions(previous);
        GumpDesktopTest::TearDown();
    }
    static bool Has(const Bytes& bytes, const Bytes& part) {
        return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
    }

    BuiltGumpArt builtArt;
    LinkFixture link;
    GumpLoginFrontEnd frontEnd;
    LinkLoginActions actions{link.link};
    LoginScreenActions* previous = nullptr;
};

TEST_F(LoginScreensOnLinkTest, LogInAndPlayTheChosenCharacter) {
    ShowMainMenu();
    CMainMenuGump::OpenAccountLogin(nullptr);
    auto* login = static_cast<CAcctLoginGump*>(TheGumpDesktop().accountLoginGump);
    login->account->SetText("tester");
    login->password->SetText("secret");
    CAcctLoginGump::OnAccountLogin(login);
    const Bytes sent = link.ClientSent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0], 0x80);
    EXPECT_TRUE(Has(sent, {'t', 'e', 's', 't', 'e', 'r'}));

    link.ServerSends(CharacterList({"Alda", "Bran"}, 1, {{0, "Standalone"}}, {}));
    auto* list = static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 2);
    EXPECT_FALSE(login->visible);
    // After the list the chosen character is played at once: slot 0 here.
    const Bytes play = link.ClientSent();
    EXPECT_TRUE(Has(play, {'A', 'l', 'd', 'a'}));
    EXPECT_TRUE(std::find(play.begin(), play.end(), 0x5D) != play.end());
    EXPECT_FALSE(list->visible);
    EXPECT_EQ(static_cast<CWaitingGump*>(TheGumpDesktop().noticeGump)->message,
              "Entering Sorvenmar... ");
}

// The game-server list the link shows when the login server answers with servers: a modal
// chooser over the main menu; a choice sends 0xA0 and waits, a cancel goes back to the menu.
TEST_F(LoginScreensTest, TheServerListChoosesAGameServerOrGoesBackToTheMenu) {
    for (bool choose : {true, false}) {
        SCOPED_TRACE(choose);
        D().DeleteAllGumps();
        actions.calls.clear();
        ShowMainMenu();
        D().mainMenuGump->visible = false;
        ShowProgressNotice("Entering Sorvenmar... ", D().mainMenuGump);
        frontEnd.ShowServerChoice("Sorted by time zone.", 1228, 205,
                                  {{4, "Sorvenmar", 0}, {7, "Brask", 946}});
        auto* chooser = static_cast<CScrollChoiceGump*>(D().modalGump);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(D().noticeGump, nullptr);
        EXPECT_EQ(chooser->Count(), 2);
        ExpectChildrenInsideAndHittable(chooser);
        // Sorting keeps every server.
        chooser->SortByFirstColumn();
        EXPECT_EQ(chooser->Count(), 2);
        if (choose) {
            ASSERT_TRUE(screen_input::PickRow(1));
            EXPECT_EQ(actions.calls, (std::vector<std::string>{"SelectServer 7"}));
            EXPECT_EQ(actions.state.chosenServerName, "Brask");
            EXPECT_EQ(NoticeText(), "Connecting... ");
            EXPECT_EQ(D().connectionGump, D().noticeGump);
            EXPECT_FALSE(D().mainMenuGump->visible);
        } else {
            Type("\x1b");
            EXPECT_EQ(actions.calls, (std::vector<std::string>{"Close"}));
            EXPECT_TRUE(D().mainMenuGump->visible);
            EXPECT_EQ(D().noticeGump, nullptr);
        }
        EXPECT_EQ(D().modalGump, nullptr);
    }
}

}  // namespace
