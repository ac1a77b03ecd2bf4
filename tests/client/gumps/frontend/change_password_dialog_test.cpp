// The change-password dialog, opened by a direct call (the list's button is disabled): three
// masked fields with Tab between them, the match check, and the request it sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/gumps/frontend/change_password_dialog.h"
#include "client/gumps/frontend/link_login_actions.h"
#include "tests/client/gumps/frontend/login_screens_fixture.h"
#include "tests/client/net/link_fixture.h"

namespace {

class ChangePasswordTest : public LoginScreensTest {
protected:
    CChgPWGump* Open(CLoginGump* list) {
        CLoginGump::ChangePassword(list);
        return static_cast<CChgPWGump*>(D().modalGump);
    }
};

TEST_F(ChangePasswordTest, AnEmptyRowSaysSoAndTheListComesBack) {
    CLoginGump* list = ShowList({{"Alda", 0}});
    ClickOn(list->rows[2]);
    CLoginGump::ChangePassword(list);
    EXPECT_EQ(NoticeText(), "No character to change password on.");
    EXPECT_FALSE(list->visible);
    ClickOn(D().noticeGump->firstChild);
    EXPECT_TRUE(list->visible);
}

TEST_F(ChangePasswordTest, TabCyclesTheFieldsAndMatchingPasswordsAreSent) {
    CLoginGump* list = ShowList({{"Alda", 0}, {"Cora", 3}});
    ClickOn(list->rows[1]);
    CChgPWGump* dialog = Open(list);
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->kindLabel, "ChgPW gump");
    EXPECT_FALSE(list->visible);
    ExpectChildrenInsideAndHittable(dialog);
    EXPECT_EQ(D().keyboardFocus, dialog->oldPassword);
    Type("old\tnew\tnew\t");
    EXPECT_EQ(D().keyboardFocus, dialog->oldPassword);  // verify -> old
    EXPECT_EQ(dialog->oldPassword->Text(), "old");
    EXPECT_EQ(dialog->newPassword->Text(), "new");
    EXPECT_EQ(dialog->verifyPassword->Text(), "new");
    Type("\r");
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"ChangePassword [old] [new] 3"}));
    EXPECT_EQ(D().modalGump, nullptr);
    EXPECT_EQ(NoticeText(), "Changing password... ");
    EXPECT_EQ(static_cast<CWaitingGump*>(D().noticeGump)->target, list);
    EXPECT_FALSE(list->visible);
}

TEST_F(ChangePasswordTest, PasswordsThatDoNotMatchAreRefusedAndTheDialogReturns) {
    CLoginGump* list = ShowList({{"Alda", 0}});
    CChgPWGump* dialog = Open(list);
    Type("old\tnew\tNew\r");
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_EQ(NoticeText(), "Passwords do not match!");
    EXPECT_FALSE(dialog->visible);
    ClickOn(D().noticeGump->firstChild);
    EXPECT_TRUE(dialog->visible);
    EXPECT_EQ(dialog->verifyPassword->Text(), "New");
    EXPECT_EQ(D().keyboardFocus, dialog->verifyPassword);  // the notice gives the focus back
}

TEST_F(ChangePasswordTest, EscapeCancelAndARightClickCloseIt) {
    enum Way { kEscape, kCancel, kRightClick };
    for (Way way : {kEscape, kCancel, kRightClick}) {
        SCOPED_TRACE(way);
        D().DeleteAllGumps();
        CLoginGump* list = ShowList({{"Alda", 0}});
        CChgPWGump* dialog = Open(list);
        if (way == kEscape) Type("\x1b");
        if (way == kCancel) ClickOn(ButtonWithArt(dialog, 1144));
        if (way == kRightClick) screen_input::RightClickOn(dialog);
        EXPECT_EQ(D().modalGump, nullptr);
        EXPECT_EQ(D().head, list);
        EXPECT_TRUE(list->visible);
        EXPECT_TRUE(actions.calls.empty());
    }
}

TEST_F(ChangePasswordTest, TheLinkSendsPacket0x84) {
    LinkFixture link;
    link.reports.SetQuiet(true);
    LinkLoginActions linkActions(link.link);
    LoginScreenActions* previous = SetLoginScreenActions(&linkActions);
    link.link.OpenLocalConnection();
    link.ClientSent();
    linkActions.SendChangePassword("old", "new", 3);
    const Bytes sent = link.ClientSent();
    Bytes expected = {0x84};
    PutText(expected, "old", 30);
    PutText(expected, "new", 30);
    PutLong(expected, 3);
    PutLong(expected, 0x7F000001);
    EXPECT_EQ(sent, expected);
    SetLoginScreenActions(previous);
}

}  // namespace
