// Character creation played on the real screens against the real server: the demo world's
// main loop on its own thread, the client link with the gump front end on the test thread,
// the screens drawn from the gump art, fonts and skills the content builder wrote into the run
// directory. Log in, find no character, make one through every creation screen and the
// tutorial, and enter the world as that character; a later login lists it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/fonts.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/acct_login_gump.h"
#include "client/gumps/frontend/char_creation_gump.h"
#include "client/gumps/frontend/char_stat_gump.h"
#include "client/gumps/frontend/city_choice_gump.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/gump_login_front_end.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/link_login_actions.h"
#include "client/gumps/frontend/login_gump.h"
#include "client/gumps/frontend/screen_flow.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "tests/client/data/gump_art_fixture.h"
#include "tests/client/gumps/frontend/screen_input.h"
#include "tests/protocol/creation_request.h"
#include "tests/protocol/server_thread_fixture.h"

namespace {

using namespace screen_input;

std::vector<u8> RunDirFile(const std::string& name) {
    std::ifstream in(std::string(ZQ_RUN_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Record `id` of an index/data pair: 12-byte index entries of offset, length, extra.
bool IndexedRecord(const std::vector<u8>& index, const std::vector<u8>& data, int id,
                   std::vector<u8>& out) {
    if (id < 0 || static_cast<size_t>(id + 1) * 12 > index.size()) return false;
    s32 offset = 0, length = 0;
    std::memcpy(&offset, &index[static_cast<size_t>(id) * 12], 4);
    std::memcpy(&length, &index[static_cast<size_t>(id) * 12 + 4], 4);
    if (offset < 0 || length <= 0 || static_cast<size_t>(offset) + length > data.size())
        return false;
    out.assign(data.begin() + offset, data.begin() + offset + length);
    return true;
}

// The CD data directory is the run directory, where the content builder put the tutorial.
class RunDirHost : public GumpHostServices {
public:
    RunDirHost() : previous_(SetGumpHostServices(this)) {}
    ~RunDirHost() override { SetGumpHostServices(previous_); }
    RunDirHost(const RunDirHost&) = delete;
    RunDirHost& operator=(const RunDirHost&) = delete;
    std::string MakeCDPath(const std::string& name) override {
        std::string path = std::string(ZQ_RUN_DIR) + "/" + name;
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }

private:
    GumpHostServices* previous_;
};

class CreationScreensLoginTest : public ServerThreadFixture {
protected:
    void SetUp() override {
        ServerThreadFixture::SetUp();
        reports.SetQuiet(true);
        const std::vector<u8> fonts = RunDirFile("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        previousSkills_ = SetSkillRecordReader(
            [index = RunDirFile("skills.idx"), data = RunDirFile("skills.mul")](
                int id, std::vector<u8>& out) { return IndexedRecord(index, data, id, out); });
        screen_.assign(CGumpDesktop::kScreenPixels, 0);
        TheGumpDesktop().DeleteAllGumps();
        TheGumpDesktop().SetScreen(screen_.data(), 0);
        TheCursorManager().Reset();
        link.SetFrontEnd(&frontEnd);
        previousActions_ = SetLoginScreenActions(&actions);
    }
    void TearDown() override {
        SetLoginScreenActions(previousActions_);
        SetSkillRecordReader(previousSkills_);
        TheGumpDesktop().DeleteAllGumps();
        TheGumpDesktop().SetScreen(nullptr, 0);
        TheCursorManager().Reset();
        GetFontTable().Clear();
        ServerThreadFixture::TearDown();
    }
    bool HasCall(const std::string& call) const {
        for (const std::string& c : hooks.calls)
            if (c == call) return true;
        return false;
    }
    static CGumpDesktop& D() { return TheGumpDesktop(); }

    RunDirHost host;
    GumpFilesSource art{RunDirFile("gumpidx.mul"), RunDirFile("gumpart.mul")};
    GumpLoginFrontEnd frontEnd;
    LinkLoginActions actions{link};

private:
    std::vector<u16> screen_;
    SkillRecordReader previousSkills_;
    LoginScreenActions* previousActions_ = nullptr;
};

TEST_F(CreationScreensLoginTest, ANewCharacterMadeOnTheScreensEntersTheWorld) {
    // Account login, typed.
    ShowMainMenu();
    ClickOn(ButtonWithArt(D().mainMenuGump, 1011));
    auto* login = static_cast<CAcctLoginGump*>(D().accountLoginGump);
    ASSERT_NE(login, nullptr);
    ClickOn(login->account);
    Type("maker\tpw\r");
    ASSERT_TRUE(WaitFor([] { return TheGumpDesktop().loginGump != nullptr; }))
        << ::testing::PrintToString(hooks.calls);
    // Playing straight on finds no character: its notice leads back to the list.
    ASSERT_TRUE(WaitFor([] { return NoticeText() == "No character to login with."; }));
    ClickOn(D().noticeGump->firstChild);
    auto* list = static_cast<CLoginGump*>(D().loginGump);
    EXPECT_TRUE(list->visible);
    EXPECT_EQ(list->count, 0);

    // New: name and password, a profession, the strength slider.
    ClickOn(ButtonWithArt(list, 1107));
    auto* stat = static_cast<CCharStatGump*>(D().charStatGump);
    ASSERT_NE(stat, nullptr);
    ClickOn(stat->nameField);
    Type("Rowan\tsecret");
    ClickOn(ButtonWithArt(stat, 1212));
    ASSERT_TRUE(PickRow(6));  // "Healer"
    EXPECT_EQ(stat->professionField->number, 7);
    PressTrack(stat->thumbs[0], 1, 5);
    const std::array<int, 3> attributes = stat->Attributes();
    EXPECT_EQ(attributes[0] + attributes[1] + attributes[2], 65);
    ClickOn(ButtonWithArt(stat, 1215));

    // Skills: the first skill from the chooser, the third slider pressed.
    auto* skills = static_cast<CInitSkillGump*>(D().initialSkillGump);
    ASSERT_TRUE(skills->visible);
    ClickOn(ButtonWithArt(skills, 1238));
    ASSERT_TRUE(PickRow(0));
    PressTrack(skills->thumbs[2], 1, 2);
    const std::array<int, 3> values = skills->Values();
    EXPECT_EQ(values[0] + values[1] + values[2], 100);
    ClickOn(ButtonWithArt(skills, 1232));

    // Appearance: a woman with long hair in the last hair colour.
    auto* look = static_cast<CCharCreationGump*>(D().charCreationGump);
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(D().noticeGump, nullptr) << NoticeText();
    ClickOn(ButtonWithArt(look, 1271));
    ClickOn(look->hairButton);
    ASSERT_TRUE(PickRow(2));  // "Long"
    PressTrack(look->hairColourThumb, 1, 1);
    ClickOn(ButtonWithArt(look, 1268));

    // The city, on the standalone world; Create.
    auto* city = static_cast<CCityChoiceGump*>(D().cityChoiceGump);
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(city->serverField->Text(), kStandaloneServerName);
    EXPECT_FALSE(city->cityField->Text().empty());
    ClickOn(ButtonWithArt(city, 1304));
    // The tutorial first; its finish area sends the request.
    ASSERT_NE(D().head, nullptr);
    EXPECT_STREQ(D().head->kindLabel, "tutorial gump");
    Click(585, 458);
    EXPECT_EQ(NoticeText(), "Creating character... ");

    // The server makes the character and puts it into the world.
    ASSERT_TRUE(WaitFor([&] { return hooks.inWorld; })) << ::testing::PrintToString(hooks.calls);
    EXPECT_TRUE(HasCall("SetWindowTitle Rowan")) << ::testing::PrintToString(hooks.calls);
    EXPECT_EQ(D().charCreationGump, nullptr);
    EXPECT_EQ(D().cityChoiceGump, nullptr);
    EXPECT_EQ(D().loginGump, nullptr);
    EXPECT_EQ(D().noticeGump, nullptr);

    // Logged out, a fresh login lists her in the slot she was made in.
    SendLogOutAndClose(link);
    ASSERT_TRUE(WaitFor([] { return ServerToClientQueue->IsClosed(); }));
    ScriptedLoginDriver driver(link);
    link.SetFrontEnd(&driver);
    driver.StartAccountLogin("maker", "pw");
    ASSERT_TRUE(WaitFor([&] { return link.state.characters[0].name == "Rowan"; }))
        << ::testing::PrintToString(driver.calls);
}

}  // namespace
