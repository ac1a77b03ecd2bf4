// The tutorial slide show between the city choice and the create request, over slides the
// content builder writes into a scratch CD data directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/tga_image.h"
#include "client/gumps/frontend/char_stat_gump.h"
#include "client/gumps/frontend/city_choice_gump.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/tutorial_gump.h"
#include "golden_frame.h"
#include "tests/client/gumps/frontend/login_screens_fixture.h"
#include "tools/content_builder/skill_names.h"
#include "tools/content_builder/tutorial_slides.h"

namespace {

// The host's CD data directory is a scratch folder.
class CdHost : public RecordingGumpHost {
public:
    std::string MakeCDPath(const std::string& name) override {
        std::string path = cd + "/" + name;
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }
    std::string cd;
};

class TutorialTest : public LoginScreensTest {
protected:
    void SetUp() override {
        LoginScreensTest::SetUp();
        const char* tmp = std::getenv("TEST_TMPDIR");
        // One folder a test: the tests of this file may run at the same time.
        cdHost.cd = std::string(tmp != nullptr ? tmp : "/tmp") + "/tutorial_cd_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(cdHost.cd);
        previousSkills = SetSkillRecordReader([](int id, std::vector<u8>& out) {
            const std::vector<IndexedRecord> built = BuildDemoSkillRecords();
            if (id < 0 || id >= static_cast<int>(built.size())) return false;
            out = built[static_cast<size_t>(id)].bytes;
            return true;
        });
    }
    void TearDown() override {
        SetSkillRecordReader(previousSkills);
        std::filesystem::remove_all(cdHost.cd);
        LoginScreensTest::TearDown();
    }
    // Writes the built slides; `skip` names the ones left out.
    void WriteSlides(const std::vector<std::string>& skip = {}) {
        std::filesystem::create_directories(cdHost.cd + "/tutorial");
        for (const auto& [name, bytes] :
             BuildTutorialSlides(BuiltFontAndGumpFiles().at("fonts.mul"))) {
            if (std::find(skip.begin(), skip.end(), name) != skip.end()) continue;
            std::ofstream(cdHost.cd + "/" + name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
    // Through every creation screen to Create, skills 5, 12 and 30.
    void CreateThroughTheScreens() {
        cdHost.scripted = {0};
        CLoginGump* list = ShowList({});
        ClickOn(ButtonWithArt(list, 1107));
        auto* stat = static_cast<CCharStatGump*>(D().charStatGump);
        ClickOn(stat->nameField);
        Type("Tamsin\r");
        auto* skills = static_cast<CInitSkillGump*>(D().initialSkillGump);
        const int chosen[3] = {5, 12, 30}, values[3] = {40, 30, 30};
        skills->SetSkills(chosen, values);
        ClickOn(ButtonWithArt(skills, 1232));
        ClickOn(ButtonWithArt(D().charCreationGump, 1268));
        ClickOn(ButtonWithArt(D().cityChoiceGump, 1304));
    }
    CTutorialGump* Tutorial() {
        for (CGump* g = D().head; g != nullptr; g = g->nextSibling)
            if (std::string(g->kindLabel) == "tutorial gump") return static_cast<CTutorialGump*>(g);
        return nullptr;
    }
    // The slide's picture as the file holds it.
    std::vector<u16> Picture(const std::string& file) {
        std::vector<u16> p(640 * 480, 0);
        LoadTgaImage(cdHost.MakeCDPath(file), p.data(), 640, 480);
        return p;
    }
    bool Shows(CTutorialGump* t, const std::string& file) {
        const u16* f = t->Frame(0)->Pixels();
        return std::vector<u16>(f, f + 640 * 480) == Picture(file);
    }

    CdHost cdHost;
    SkillRecordReader previousSkills;
};

TEST_F(TutorialTest, WithoutSlidesCreateSendsAtOnce) {
    CreateThroughTheScreens();
    EXPECT_EQ(Tutorial(), nullptr);
    EXPECT_EQ(actions.created.size(), 1u);
}

TEST_F(TutorialTest, TheShowRunsThroughTheGeneralAndTheChosenSkillsSlidesThenSends) {
    WriteSlides();
    CreateThroughTheScreens();
    CTutorialGump* t = Tutorial();
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(actions.created.empty());
    EXPECT_FALSE(D().cityChoiceGump->visible);
    EXPECT_TRUE(Shows(t, "tutorial\\1gen.tga"));
    EXPECT_TRUE(MatchesGolden("tutorial_first_slide", t->Frame(0)->Pixels(), 640, 480));
    EXPECT_EQ(CTutorialGump::SlideFile(6), "tutorial\\skill06.tga");
    EXPECT_EQ(CTutorialGump::SlideFile(7), "tutorial\\skill13.tga");
    EXPECT_EQ(CTutorialGump::SlideFile(8), "tutorial\\skill31.tga");
    const char* order[] = {"tutorial\\2gen.tga",    "tutorial\\3gen.tga",   "tutorial\\4gen.tga",
                           "tutorial\\5gen.tga",    "tutorial\\6gen.tga",   "tutorial\\skill06.tga",
                           "tutorial\\skill13.tga", "tutorial\\skill31.tga"};
    for (const char* file : order) {
        SCOPED_TRACE(file);
        Click(611, 420);  // next
        ASSERT_EQ(Tutorial(), t);
        EXPECT_TRUE(Shows(t, file));
    }
    Click(611, 420);  // next on the last skill slide finishes
    EXPECT_EQ(Tutorial(), nullptr);
    ASSERT_EQ(actions.created.size(), 1u);
    EXPECT_EQ(actions.created[0].skills[1], 12);
    EXPECT_EQ(NoticeText(), "Creating character... ");
}

TEST_F(TutorialTest, PreviousOnTheFirstSlideGoesBackAndFinishSendsFromAnySlide) {
    WriteSlides();
    CreateThroughTheScreens();
    Click(560, 420);  // previous
    EXPECT_EQ(Tutorial(), nullptr);
    EXPECT_TRUE(actions.created.empty());
    EXPECT_TRUE(D().cityChoiceGump->visible);
    ClickOn(ButtonWithArt(D().cityChoiceGump, 1304));
    ASSERT_NE(Tutorial(), nullptr);
    Click(611, 420);
    Click(585, 458);  // finish
    EXPECT_EQ(Tutorial(), nullptr);
    EXPECT_EQ(actions.created.size(), 1u);
}

TEST_F(TutorialTest, MissingPicturesArePassedOverBothWays) {
    WriteSlides(
        {"tutorial/2gen.tga", "tutorial/3gen.tga", "tutorial/skill13.tga", "tutorial/skill31.tga"});
    CreateThroughTheScreens();
    CTutorialGump* t = Tutorial();
    ASSERT_NE(t, nullptr);
    Click(611, 420);
    EXPECT_TRUE(Shows(t, "tutorial\\4gen.tga"));
    Click(560, 420);  // back past the missing two
    EXPECT_TRUE(Shows(t, "tutorial\\1gen.tga"));
    for (int i = 0; i < 3; ++i)
        Click(611, 420);
    EXPECT_TRUE(Shows(t, "tutorial\\6gen.tga"));
    Click(611, 420);
    EXPECT_TRUE(Shows(t, "tutorial\\skill06.tga"));
    EXPECT_TRUE(actions.created.empty());
    Click(611, 420);  // the last two are missing: the show ends
    EXPECT_EQ(Tutorial(), nullptr);
    EXPECT_EQ(actions.created.size(), 1u);
}

}  // namespace
