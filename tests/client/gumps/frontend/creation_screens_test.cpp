// The character-creation screens driven with the mouse and the keyboard: professions and the
// attribute and skill sliders, the skill choosers, the appearance screen's sex, styles and
// hues, the city choice, and the create request they send.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/gump_art.h"
#include "client/data/hue_table.h"
#include "client/data/tile_data.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/scroll_choice_gump.h"
#include "client/gumps/framework/thumb_gump.h"
#include "client/gumps/frontend/char_creation_gump.h"
#include "client/gumps/frontend/char_stat_gump.h"
#include "client/gumps/frontend/city_choice_gump.h"
#include "client/gumps/frontend/creation_parts.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/link_login_actions.h"
#include "client/gumps/frontend/profession_presets.h"
#include "client/gumps/frontend/screen_flow.h"
#include "core/process_link.h"
#include "golden_frame.h"
#include "screen_rects.h"
#include "tests/client/data/pixel_format_scope.h"
#include "tests/client/gumps/frontend/login_screens_fixture.h"
#include "tests/client/net/link_fixture.h"
#include "tools/content_builder/map_files.h"
#include "tools/content_builder/skill_names.h"
#include "tools/content_builder/tile_set.h"

namespace {

// The demo's skills pair as the skill table's source.
class DemoSkillRecords {
public:
    DemoSkillRecords() {
        const std::vector<IndexedRecord> built = BuildDemoSkillRecords();
        previous_ = SetSkillRecordReader([built](int id, std::vector<u8>& out) {
            if (id < 0 || id >= static_cast<int>(built.size())) return false;
            out = built[static_cast<size_t>(id)].bytes;
            return true;
        });
    }
    ~DemoSkillRecords() { SetSkillRecordReader(previous_); }
    DemoSkillRecords(const DemoSkillRecords&) = delete;
    DemoSkillRecords& operator=(const DemoSkillRecords&) = delete;

private:
    SkillRecordReader previous_;
};

// The demo's hair and beard graphics with their animation numbers in the tile data, as the
// demo's tiledata.mul holds them.
void PutWornAnimations() {
    for (const WornAnimation& w : DemoWornAnimations()) {
        const int block = w.graphic / kTileGroupSize;
        std::vector<u8> bytes(kStaticBlockBytes, 0);
        for (int i = 0; i < kTileGroupSize; ++i) {
            StaticTileRecord tile = TheClientTileData().Static(block * kTileGroupSize + i);
            if (block * kTileGroupSize + i == w.graphic) tile.animation = w.animation;
            WriteStaticTileRecord(tile, bytes.data() + 4 + i * kStaticRecordSize);
        }
        TheClientTileData().ApplyPatchBlock(static_cast<u32>(512 + block), bytes.data(),
                                            bytes.size());
    }
}

// Skin groups starting at these offsets of the skin list.
const std::vector<int> kSkinStarts = {0, 8, 20, 33, 41};

class CreationScreensTest : public LoginScreensTest {
protected:
    void SetUp() override {
        LoginScreensTest::SetUp();
        // The generated fonts, so the goldens show the texts the player reads.
        const std::vector<u8>& fonts = BuiltFontAndGumpFiles().at("fonts.mul");
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        savedSkin_ = TheHueTable().skinGroups;
        TheHueTable().skinGroups.starts = kSkinStarts;
        savedAddress_ = ClientServerAddress.load();
        ClientServerAddress.store(0);
    }
    void TearDown() override {
        ClientServerAddress.store(savedAddress_);
        TheHueTable().skinGroups = savedSkin_;
        LoginScreensTest::TearDown();
    }

    static CCharStatGump* Stat() { return static_cast<CCharStatGump*>(D().charStatGump); }
    static CInitSkillGump* Skills() { return static_cast<CInitSkillGump*>(D().initialSkillGump); }
    static CCharCreationGump* Look() {
        return static_cast<CCharCreationGump*>(D().charCreationGump);
    }
    static CCityChoiceGump* City() { return static_cast<CCityChoiceGump*>(D().cityChoiceGump); }

    // The list with these characters, then New with the random draw picking `startIndex` of
    // the five start professions.
    CCharStatGump* StartCreation(int startIndex = 0,
                                 const std::vector<std::pair<std::string, int>>& chars = {}) {
        host.scripted = {startIndex};
        CLoginGump* list = ShowList(chars);
        ClickOn(ButtonWithArt(list, 1107));
        return Stat();
    }
    // Through the name check to the skill screen, then on to the appearance screen.
    CCharCreationGump* ToAppearance(const std::string& name = "Tamsin") {
        if (Stat() == nullptr) StartCreation();
        ClickOn(Stat()->nameField);
        Type(name);
        Type("\r");
        ClickOn(ButtonWithArt(Skills(), 1232));
        return Look();
    }
    CCityChoiceGump* ToCityChoice() {
        ToAppearance();
        ClickOn(ButtonWithArt(Look(), 1268));
        return City();
    }
    static void PressTrack(CThumbGump* thumb, int numerator, int denominator) {
        screen_input::PressTrack(thumb, numerator, denominator);
    }
    static std::array<int, 3> Numbers(CInputControlGump* const fields[3]) {
        return {fields[0]->number, fields[1]->number, fields[2]->number};
    }
    static CScrollChoiceGump* Chooser() { return screen_input::Chooser(); }
    static void PickRow(int row) { ASSERT_TRUE(screen_input::PickRow(row)); }
    // A new creation up to the city choice; the server field's text.
    std::string ToCityChoiceAgain() {
        StartCreation();
        ToCityChoice();
        return City() != nullptr ? City()->serverField->Text() : "<none>";
    }

    DemoSkillRecords skills;

private:
    HueGroups savedSkin_;
    u32 savedAddress_ = 0;
};

TEST(ProfessionPresets, WeightsScaleToTheListedAttributes) {
    const std::array<int, 3> expected[kProfessionCount] = {
        {13, 19, 33}, {16, 16, 33}, {13, 22, 30}, {13, 29, 23}, {32, 16, 17},
        {16, 32, 17}, {13, 19, 33}, {21, 21, 23}, {13, 26, 26}, {13, 32, 20},
        {13, 26, 26}, {13, 19, 33}, {24, 25, 16}, {16, 16, 33},
    };
    for (const ProfessionPreset& p : ProfessionPresets()) {
        SCOPED_TRACE(p.name);
        const std::array<int, 3> a = ScaleProfessionWeights(p.weights);
        EXPECT_EQ(a, expected[p.id - 1]);
        EXPECT_EQ(a[0] + a[1] + a[2], kAttributeTotal);
    }
    // Weights within 65 stand as they are; heavy weights never leave an attribute below 10.
    const int light[3] = {20, 20, 20}, lopsided[3] = {100, 1, 1};
    EXPECT_EQ(ScaleProfessionWeights(light), (std::array<int, 3>{20, 20, 20}));
    EXPECT_EQ(ScaleProfessionWeights(lopsided), (std::array<int, 3>{45, 10, 10}));
}

TEST(CreationSliders, MovedValueIsSpreadOverTheOtherTwo) {
    struct Case {
        bool skills;
        std::array<int, 3> start;
        int moved, value;
        std::array<int, 3> result;
    };
    const Case cases[] = {
        {false, {21, 21, 23}, 0, 10, {10, 26, 29}},  // 11 points: 5 and 6
        {false, {13, 19, 33}, 0, 45, {45, 10, 10}},  // dexterity stops at 10
        {false, {13, 19, 33}, 2, 10, {24, 31, 10}},  // 23 points: 11 and 12
        {false, {45, 10, 10}, 1, 10, {45, 10, 10}},  // nothing to spread
        {false, {10, 45, 10}, 0, 45, {45, 10, 10}},  // dexterity gives all 35
        {true, {34, 33, 33}, 0, 50, {50, 25, 25}},
        {true, {50, 50, 0}, 2, 0, {50, 50, 0}},
        {true, {50, 25, 25}, 0, 0, {0, 50, 50}},
        {true, {0, 50, 50}, 1, 20, {30, 20, 50}},  // skill 3 is full: skill 1 takes all 30
    };
    for (const Case& c : cases) {
        std::array<int, 3> v = c.start;
        if (c.skills)
            BalanceSkillValues(v, c.moved, c.value);
        else
            BalanceAttributes(v, c.moved, c.value);
        SCOPED_TRACE(std::to_string(c.start[0]) + "/" + std::to_string(c.start[1]) + "/" +
                     std::to_string(c.start[2]) + " moved " + std::to_string(c.moved));
        EXPECT_EQ(v, c.result);
    }
    // Every move from every start keeps the totals and the limits.
    for (int s = 10; s <= 45; ++s)
        for (int d = 10; d <= 45; ++d) {
            const int i = 65 - s - d;
            if (i < 10 || i > 45) continue;
            for (int moved = 0; moved < 3; ++moved)
                for (int value = 10; value <= 45; ++value) {
                    std::array<int, 3> v = {s, d, i};
                    BalanceAttributes(v, moved, value);
                    ASSERT_EQ(v[0] + v[1] + v[2], 65);
                    for (int x : v)
                        ASSERT_TRUE(x >= 10 && x <= 45);
                }
        }
}

TEST_F(CreationScreensTest, NewStartsWithOneOfFiveProfessionsAndItsSkills) {
    const struct {
        int id;
        std::array<int, 3> attributes;
    } starts[] = {{5, {32, 16, 17}},
                  {6, {16, 32, 17}},
                  {8, {21, 21, 23}},
                  {13, {24, 25, 16}},
                  {14, {16, 16, 33}}};
    for (int draw = 0; draw < 5; ++draw) {
        SCOPED_TRACE(draw);
        D().DeleteAllGumps();
        CCharStatGump* stat = StartCreation(draw);
        ASSERT_NE(stat, nullptr);
        EXPECT_FALSE(D().loginGump->visible);
        EXPECT_EQ(stat->professionField->number, starts[draw].id);
        EXPECT_EQ(Numbers(stat->attributeFields), starts[draw].attributes);
        // The right column repeats the attributes in the sliders' order.
        EXPECT_EQ(Numbers(stat->derivedFields), starts[draw].attributes);
        const ProfessionPreset* p = FindProfession(starts[draw].id);
        // The chosen profession shows on the screen by name.
        EXPECT_EQ(stat->professionField->Text(), p->name);
        EXPECT_EQ(stat->professionField->parent, stat);
        EXPECT_TRUE(stat->professionField->visible);
        EXPECT_EQ(Skills()->Skills(),
                  (std::array<int, 3>{p->skills[0], p->skills[1], p->skills[2]}));
        EXPECT_EQ(Skills()->skillFields[0]->Text(), DemoSkills()[p->skills[0]].name);
        EXPECT_FALSE(Skills()->visible);
        EXPECT_FALSE(Skills()->pictures[0]->visible);
        EXPECT_TRUE(stat->pictures[0]->visible);
    }
}

TEST_F(CreationScreensTest, TheProfessionChooserAppliesThePickedPreset) {
    CCharStatGump* stat = StartCreation();
    ClickOn(ButtonWithArt(stat, 1212));
    ASSERT_NE(Chooser(), nullptr);
    EXPECT_EQ(Chooser()->Count(), 14);
    EXPECT_FALSE(stat->pictures[0]->visible);
    ExpectChildrenInsideAndHittable(Chooser());
    PickRow(0);  // "Alchemist"
    EXPECT_EQ(D().modalGump, nullptr);
    EXPECT_EQ(stat->professionField->number, 1);
    EXPECT_EQ(stat->professionField->Text(), "Alchemist");
    EXPECT_EQ(Numbers(stat->attributeFields), (std::array<int, 3>{13, 19, 33}));
    EXPECT_EQ(Skills()->Skills(), (std::array<int, 3>{0, 26, 36}));
    EXPECT_EQ(Skills()->Values(), (std::array<int, 3>{34, 33, 33}));
    EXPECT_TRUE(stat->pictures[0]->visible);
}

TEST_F(CreationScreensTest, PressesOnTheTracksMoveTheSlidersAndKeepTheTotals) {
    CCharStatGump* stat = StartCreation(2);  // Ranger: 21/21/23
    PressTrack(stat->thumbs[0], 0, 1);
    EXPECT_EQ(Numbers(stat->attributeFields), (std::array<int, 3>{10, 26, 29}));
    EXPECT_EQ(Numbers(stat->derivedFields), (std::array<int, 3>{10, 26, 29}));
    // The other thumbs moved to their values; the pressed one is under the pointer.
    for (int i = 1; i < 3; ++i) {
        CThumbGump probe(59, 0, false, 149, nullptr, 1209);
        EXPECT_EQ(stat->thumbs[i]->x,
                  probe.SetPosition(Numbers(stat->attributeFields)[i] - 10, 35));
    }
    EXPECT_EQ(stat->thumbs[0]->x, stat->thumbs[0]->minX);
    PressTrack(stat->thumbs[0], 1, 1);
    EXPECT_EQ(stat->attributeFields[0]->number, 45);
    const std::array<int, 3> a = Numbers(stat->attributeFields);
    EXPECT_EQ(a[0] + a[1] + a[2], 65);
    EXPECT_EQ(TheCursorManager().Captured(), nullptr);

    // The skill screen: 34/33/33, skill 1 to 50 takes 16 from the others.
    ClickOn(stat->nameField);
    Type("Tamsin\r");
    CInitSkillGump* skills = Skills();
    ASSERT_TRUE(skills->visible);
    const int chosen[3] = {1, 2, 3}, values[3] = {34, 33, 33};
    skills->SetSkills(chosen, values);
    PressTrack(skills->thumbs[0], 1, 1);
    EXPECT_EQ(skills->Values(), (std::array<int, 3>{50, 25, 25}));
    // A press beside the tracks grabs nothing.
    int sx = 10, sy = 10;
    skills->LocalToScreen(sx, sy);
    Click(sx, sy);
    EXPECT_EQ(skills->Values(), (std::array<int, 3>{50, 25, 25}));
}

TEST_F(CreationScreensTest, NameChecksAtNext) {
    const struct {
        const char* name;
        const char* notice;
    } cases[] = {
        {"", "Your character name is too short."},
        {"A", "Your character name is too short."},
        {"Lord Tamsin", "Unacceptable name."},
        {"Ab", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        D().DeleteAllGumps();
        CCharStatGump* stat = StartCreation();
        ClickOn(stat->nameField);
        Type(c.name);
        Type("\t");
        Type("pw");
        EXPECT_EQ(stat->passwordField->Text(), "pw");
        ClickOn(ButtonWithArt(stat, 1215));
        if (c.notice == nullptr) {
            EXPECT_EQ(D().noticeGump, nullptr);
            EXPECT_FALSE(stat->visible);
            EXPECT_TRUE(Skills()->visible);
            EXPECT_TRUE(Skills()->pictures[0]->visible);
            EXPECT_EQ(actions.state.playerName, c.name);
            EXPECT_EQ(actions.state.playerPassword, "pw");
            continue;
        }
        EXPECT_EQ(NoticeText(), c.notice);
        EXPECT_FALSE(stat->visible);
        ClickOn(D().noticeGump->firstChild);
        EXPECT_TRUE(stat->visible);
        EXPECT_FALSE(Skills()->visible);
    }
}

TEST_F(CreationScreensTest, TheSkillChooserListsSortedNamesAndTwoOfTheSameAreRefusedAtNext) {
    StartCreation(3);  // Warrior: 4, 5, 27
    ClickOn(Stat()->nameField);
    Type("Tamsin\r");
    CInitSkillGump* skills = Skills();
    ClickOn(ButtonWithArt(skills, 1241));  // skill 2
    ASSERT_NE(Chooser(), nullptr);
    EXPECT_EQ(Chooser()->Count(), static_cast<int>(DemoSkills().size()));
    ExpectChildrenInsideAndHittable(Chooser());
    PickRow(0);  // the first name in byte order
    std::string first = DemoSkills()[0].name;
    int firstNumber = 0;
    for (size_t i = 0; i < DemoSkills().size(); ++i)
        if (std::string(DemoSkills()[i].name) < first) {
            first = DemoSkills()[i].name;
            firstNumber = static_cast<int>(i);
        }
    EXPECT_EQ(skills->skillFields[1]->Text(), first);
    EXPECT_EQ(skills->skillFields[1]->number, firstNumber);
    EXPECT_EQ(skills->Values(), (std::array<int, 3>{33, 33, 34}));  // values untouched

    const int same[3] = {4, 4, 27}, values[3] = {40, 30, 30};
    skills->SetSkills(same, values);
    ClickOn(ButtonWithArt(skills, 1232));
    EXPECT_EQ(NoticeText(), "You have two of the same skill.");
    EXPECT_FALSE(skills->visible);
    EXPECT_EQ(Look(), nullptr);
    ClickOn(D().noticeGump->firstChild);
    EXPECT_TRUE(skills->visible);
    EXPECT_EQ(skills->Skills(), (std::array<int, 3>{4, 4, 27}));
    EXPECT_EQ(skills->Values(), (std::array<int, 3>{40, 30, 30}));
}

TEST_F(CreationScreensTest, BackAndForthKeepsChoicesAndCancelDeletesEveryCreationScreen) {
    CLoginGump* list = ShowList({{"Alda", 0}});
    const int before = D().TopLevelCount();
    host.scripted = {0};
    ClickOn(ButtonWithArt(list, 1107));
    ToCityChoice();
    ASSERT_NE(City(), nullptr);
    EXPECT_FALSE(Look()->visible);
    ClickOn(ButtonWithArt(City(), 1301));  // back to the appearance screen
    EXPECT_TRUE(Look()->visible);
    EXPECT_TRUE(Look()->pictures[0]->visible);
    EXPECT_FALSE(City()->visible);
    ClickOn(ButtonWithArt(Look(), 1265));    // back to the skills
    ClickOn(ButtonWithArt(Skills(), 1235));  // back to the stats
    EXPECT_TRUE(Stat()->visible);
    EXPECT_EQ(Stat()->nameField->Text(), "Tamsin");
    ClickOn(Stat()->nameField);
    Type("\x1b");  // in a field of the stat screen Escape cancels
    EXPECT_EQ(Stat(), nullptr);
    EXPECT_EQ(Skills(), nullptr);
    EXPECT_EQ(Look(), nullptr);
    EXPECT_EQ(City(), nullptr);
    EXPECT_EQ(D().TopLevelCount(), before);
    EXPECT_TRUE(list->visible);
}

TEST_F(CreationScreensTest, BackOnTheSkillScreenWithoutAStatScreenDoesNothing) {
    ShowFrontEndScreen(FrontEndScreen::kInitSkill);
    CInitSkillGump* skills = Skills();
    ClickOn(ButtonWithArt(skills, 1235));
    EXPECT_TRUE(skills->visible);
    EXPECT_EQ(Stat(), nullptr);
}

TEST_F(CreationScreensTest, SwitchingSexResetsHairAndBeard) {
    CCharCreationGump* look = ToAppearance();
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->HairStyle(), 8251);
    EXPECT_FALSE(look->beardColourThumb->visible);
    SetChoiceField(look->beardField, 8256, "Goatee");
    look->OnControlChanged(look->beardField);
    SetChoiceField(look->hairField, 8252, "Long");
    EXPECT_TRUE(look->beardColourThumb->visible);

    ClickOn(ButtonWithArt(look, 1271));  // female
    EXPECT_EQ(look->Sex(), 1);
    EXPECT_EQ(look->HairStyle(), 8251);
    EXPECT_EQ(look->hairField->Text(), "Short");
    EXPECT_EQ(look->BeardStyle(), 0);
    EXPECT_EQ(look->beardField->Text(), "NONE");
    EXPECT_TRUE(look->beardButton->disabled);
    EXPECT_FALSE(look->beardColourThumb->visible);
    EXPECT_FALSE(look->beardShadeThumb->visible);
    ClickOn(look->beardButton);
    EXPECT_EQ(D().modalGump, nullptr);

    ClickOn(ButtonWithArt(look, 1271));  // male again
    EXPECT_EQ(look->Sex(), 0);
    EXPECT_FALSE(look->beardButton->disabled);
    EXPECT_EQ(look->BeardStyle(), 0);
    EXPECT_FALSE(look->beardColourThumb->visible);
}

TEST_F(CreationScreensTest, BunsAreOfferedOnlyToWomen) {
    auto hasBuns = [](int sex) {
        for (const auto& [id, name] : HairStyles(sex))
            if (id == 8262) return true;
        return false;
    };
    EXPECT_FALSE(hasBuns(0));
    EXPECT_TRUE(hasBuns(1));
    CCharCreationGump* look = ToAppearance();
    ClickOn(look->hairButton);
    EXPECT_EQ(Chooser()->Count(), 10);
    EXPECT_FALSE(look->pictures[0]->visible);
    ExpectChildrenInsideAndHittable(Chooser());
    Type("\x1b");  // the chooser closes on Escape
    ClickOn(ButtonWithArt(look, 1271));
    ClickOn(look->hairButton);
    ASSERT_NE(Chooser(), nullptr);
    EXPECT_EQ(Chooser()->Count(), 11);
}

// The appearance screen lies within the window; no two of its controls overlap (a slider with
// its whole track), and no control lies over the figure, whatever it wears.
TEST_F(CreationScreensTest, TheAppearanceScreenFitsTheWindowAndNothingCoversTheFigure) {
    PutWornAnimations();
    CCharCreationGump* look = ToAppearance();
    ASSERT_NE(look, nullptr);
    EXPECT_GE(look->x, 0);
    EXPECT_GE(look->y, 0);
    EXPECT_LE(look->x + look->width, kScreenWidth);
    EXPECT_LE(look->y + look->height, kScreenHeight);
    using screen_rects::Rect;
    std::vector<Rect> controls;
    for (CGump* c = look->firstChild; c != nullptr; c = c->nextSibling) {
        if (c == look->sexField) continue;  // kept hidden: it only holds the value
        Rect r{c->x, c->y, c->x + c->width, c->y + c->height};
        if (c->IsKind(GumpKind::kThumb)) {
            const auto* t = static_cast<const CThumbGump*>(c);
            r = {t->minX, t->y, t->maxX + t->width, t->y + t->height};
        }
        controls.push_back(r);
    }
    EXPECT_EQ(screen_rects::Overlapping(controls), "");
    // The figure: what the preview draws over the plain panel.
    const int w = look->width, h = look->height;
    std::vector<u16> plain(static_cast<size_t>(w) * h, 0);
    CopyGumpToBuf(SpanCopyKeyed, 1260, 0, 0, plain.data(), w, h);
    const struct {
        int sex, hair, beard;
    } figures[] = {{0, 8252, 8268}, {0, 8253, 8254}, {1, 8252, 0}, {1, 8265, 0}};
    for (const auto& f : figures) {
        SCOPED_TRACE(std::to_string(f.sex) + " " + std::to_string(f.hair));
        if (look->Sex() != f.sex) CCharCreationGump::ToggleSex(look);
        SetChoiceField(look->hairField, f.hair, "hair");
        SetChoiceField(look->beardField, f.beard, "beard");
        look->DrawPreview();
        const u16* px = look->Frame(0)->Pixels();
        size_t figure = 0, covered = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t i = static_cast<size_t>(y) * w + x;
                if (px[i] == plain[i]) continue;
                ++figure;
                for (const Rect& r : controls)
                    if (r.Holds(x, y)) {
                        ++covered;
                        break;
                    }
            }
        EXPECT_GT(figure, 5000u);
        EXPECT_EQ(covered, 0u);
    }
}

TEST_F(CreationScreensTest, HairNoneHidesTheHairSlidersAndKeepsTheHue) {
    CCharCreationGump* look = ToAppearance();
    PressTrack(look->hairColourThumb, 1, 1);
    PressTrack(look->hairShadeThumb, 1, 1);
    EXPECT_EQ(look->hairColour, 7);
    EXPECT_EQ(look->hairShade, 5);
    EXPECT_EQ(look->hairHue, 1148);
    ClickOn(look->hairButton);
    PickRow(0);  // "NONE"
    EXPECT_EQ(look->HairStyle(), 0);
    EXPECT_FALSE(look->hairColourThumb->visible);
    EXPECT_FALSE(look->hairShadeThumb->visible);
    EXPECT_EQ(look->hairHue, 1148);
    EXPECT_TRUE(look->pictures[0]->visible);
}

TEST_F(CreationScreensTest, SkinHueFollowsItsGroupAndShade) {
    CCharCreationGump* look = ToAppearance();
    EXPECT_EQ(look->skinHue, 1001);
    PressTrack(look->skinColourThumb, 1, 1);  // the last group
    EXPECT_EQ(look->skinGroup, 4);
    EXPECT_EQ(look->skinHue, 1001 + 41);
    PressTrack(look->skinShadeThumb, 1, 1);  // the last group runs to offset 55
    EXPECT_EQ(look->skinShade, 55 - 41);
    EXPECT_EQ(look->skinHue, 1001 + 55);
    PressTrack(look->skinColourThumb, 0, 1);
    EXPECT_EQ(look->skinGroup, 0);
    EXPECT_EQ(look->skinHue, 1001 + kSkinStarts[0] + 14);  // the shade stays
    // The thumb stands at the end already: a press elsewhere first, then at the end.
    PressTrack(look->skinShadeThumb, 0, 1);
    PressTrack(look->skinShadeThumb, 1, 1);  // group 0 has 7 shades past its first
    EXPECT_EQ(look->skinShade, 7);
}

TEST_F(CreationScreensTest, CityChoiceNamesTheServerAndTheFirstCity) {
    actions.state.servers = {{"Sorvenmar", 0}, {"Other", 1}};
    actions.state.startLocations = {{"", 9}, {"Vessholm: Copper Kettle", 4}, {"Brask: Gate", 5}};
    CCityChoiceGump* city = ToCityChoice();
    EXPECT_EQ(city->serverField->Text(), "Sorvenmar");
    EXPECT_EQ(city->cityField->Text(), "Vessholm: Copper Kettle");
    EXPECT_TRUE(city->serverButton->disabled);
    D().DeleteAllGumps();
    ClientServerAddress.store(0x7F000001);
    EXPECT_EQ(ToCityChoiceAgain(), kStandaloneServerName);
    D().DeleteAllGumps();
    ClientServerAddress.store(0);
    actions.state.servers.clear();
    EXPECT_EQ(ToCityChoiceAgain(), "Unknown Server");
}

TEST_F(CreationScreensTest, CreateSendsEveryChoiceIntoTheLowestFreeSlot) {
    actions.state.startLocations = {{"Vessholm: Copper Kettle", 4}, {"Brask: Gate", 7}};
    StartCreation(3, {{"Alda", 0}, {"Bran", 1}, {"Dane", 3}});  // Warrior
    CCityChoiceGump* city = ToCityChoice();
    ClickOn(ButtonWithArt(city, 1310));
    PickRow(1);
    EXPECT_EQ(city->cityField->Text(), "Brask: Gate");
    EXPECT_TRUE(city->pictures[1]->visible);
    ClickOn(ButtonWithArt(city, 1304));
    ASSERT_EQ(actions.created.size(), 1u);
    const CreateCharacterRequest& r = actions.created[0];
    EXPECT_EQ(r.name, "Tamsin");
    EXPECT_EQ(r.slot, 2u);
    EXPECT_EQ(actions.state.chosenSlot, 2);
    EXPECT_EQ(r.sex, 0);
    EXPECT_EQ(r.strength, 24);
    EXPECT_EQ(r.dexterity, 25);
    EXPECT_EQ(r.intelligence, 16);
    EXPECT_EQ(r.skills[0], 4);
    EXPECT_EQ(r.skills[2], 27);
    EXPECT_EQ(r.skillValues[2], 34);
    EXPECT_EQ(r.skinHue, 1002);  // hues go out one higher
    EXPECT_EQ(r.hairStyle, 8251);
    EXPECT_EQ(r.hairHue, 1102);
    EXPECT_EQ(r.beardStyle, 0);
    EXPECT_EQ(r.beardHue, 1102);
    EXPECT_EQ(r.startCity, 7);
    EXPECT_EQ(NoticeText(), "Creating character... ");
    EXPECT_EQ(static_cast<CWaitingGump*>(D().noticeGump)->target, city);
    EXPECT_FALSE(city->visible);
    EXPECT_FALSE(city->pictures[0]->visible);
}

TEST_F(CreationScreensTest, EveryCreationScreenKeepsItsChildrenInsideAndClickable) {
    actions.state.startLocations = {{"Vessholm: Copper Kettle", 4}};
    StartCreation();
    ShowFrontEndScreen(FrontEndScreen::kInitSkill);
    ShowFrontEndScreen(FrontEndScreen::kCharCreation);
    ShowFrontEndScreen(FrontEndScreen::kCityChoice);
    for (CGump* screen : {static_cast<CGump*>(Stat()), static_cast<CGump*>(Skills()),
                          static_cast<CGump*>(Look()), static_cast<CGump*>(City())}) {
        for (CGump* g = D().head; g != nullptr; g = g->nextSibling)
            g->visible = g == screen;
        ExpectChildrenInsideAndHittable(screen);
    }
    // The beard sliders, hidden at the start, fit as well.
    for (CThumbGump* t : {Look()->beardColourThumb, Look()->beardShadeThumb})
        t->visible = true;
    Look()->visible = true;
    City()->visible = false;
    ExpectChildrenInsideAndHittable(Look());
    // Each side picture stands wholly on the screen.
    for (CGump* p :
         {static_cast<CGump*>(Stat()->pictures[0]), static_cast<CGump*>(Skills()->pictures[0]),
          static_cast<CGump*>(Look()->pictures[0]), static_cast<CGump*>(Look()->pictures[1]),
          static_cast<CGump*>(City()->pictures[0]), static_cast<CGump*>(City()->pictures[1])}) {
        EXPECT_GT(p->width, 0);
        EXPECT_LE(p->x + p->width, kScreenWidth);
        EXPECT_LE(p->y + p->height, kScreenHeight);
    }
    // ... and beside its screen, not over it: a picture linked after the screen would hide
    // the screen's buttons until the screen next redraws itself.
    const std::pair<CGump*, CGump*> beside[] = {
        {Stat(), Stat()->pictures[0]}, {Skills(), Skills()->pictures[0]},
        {Look(), Look()->pictures[0]}, {Look(), Look()->pictures[1]},
        {City(), City()->pictures[0]}, {City(), City()->pictures[1]}};
    for (const auto& [screen, p] : beside) {
        SCOPED_TRACE(std::to_string(p->artId));
        const bool apart = p->x + p->width <= screen->x || screen->x + screen->width <= p->x ||
                           p->y + p->height <= screen->y || screen->y + screen->height <= p->y;
        EXPECT_TRUE(apart) << "picture " << p->x << "," << p->y << " " << p->width << "x"
                           << p->height << " over the screen " << screen->x << "," << screen->y
                           << " " << screen->width << "x" << screen->height;
    }
}

// The packet the link sends for a create: fixed bytes, the request's fields, the hues one
// higher than the screen's, the slot and the client's address in the last four bytes.
class CreationOnLinkTest : public CreationScreensTest {
protected:
    void SetUp() override {
        CreationScreensTest::SetUp();
        link.reports.SetQuiet(true);
        previous = SetLoginScreenActions(&linkActions);
    }
    void TearDown() override {
        SetLoginScreenActions(previous);
        CreationScreensTest::TearDown();
    }
    LinkFixture link;
    LinkLoginActions linkActions{link.link};
    LoginScreenActions* previous = nullptr;
};

TEST_F(CreationOnLinkTest, CreateSendsTheGoldenPacket) {
    link.link.OpenLocalConnection();
    link.ClientSent();
    link.link.state.startLocations = {{"Vessholm: Copper Kettle", 3}};
    host.scripted = {4};  // Wizard
    ShowFrontEndScreen(FrontEndScreen::kCharacterList);
    auto* list = static_cast<CLoginGump*>(D().loginGump);
    list->AddCharacter("Alda", 0);
    ClickOn(ButtonWithArt(list, 1107));
    ClickOn(Stat()->nameField);
    Type("Tamsin\tsecret\r");
    ClickOn(ButtonWithArt(Skills(), 1232));
    CCharCreationGump* look = Look();
    ClickOn(ButtonWithArt(look, 1271));  // female
    PressTrack(look->hairColourThumb, 1, 1);
    PressTrack(look->hairShadeThumb, 1, 1);
    ClickOn(ButtonWithArt(look, 1268));
    ClickOn(ButtonWithArt(City(), 1304));
    const Bytes sent = link.ClientSent();
    ASSERT_EQ(sent.size(), 100u);
    Bytes expected = {0x00, 0xED, 0xED, 0xED, 0xED, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    PutText(expected, "Tamsin", 30);
    PutText(expected, "secret", 30);
    for (u8 b : {1, 16, 16, 33, 23, 33, 25, 34, 26, 33})  // sex, attributes, skills
        expected.push_back(b);
    for (u16 v : {1002, 8251, 1149, 0, 1102})  // skin + 1, hair, hair 1148 + 1, no beard
        PutShort(expected, v);
    expected.push_back(0);  // server index
    expected.push_back(3);  // start location id
    PutLong(expected, 1);   // slot 0 is taken
    PutLong(expected, 0x7F000001);
    EXPECT_EQ(sent, expected);
}

// The login screens and a notice as the player sees them, each alone on the world picture, in
// both pixel layouts.
TEST_F(CreationScreensTest, GoldenFramesOfTheLoginScreens) {
    auto shot = [&](CGump* shown, bool is565) {
        for (CGump* g = D().head; g != nullptr; g = g->nextSibling)
            g->visible = g == shown;
        std::fill(screen.begin(), screen.end(), 0x0421);
        world = screen;
        DrawFrame();
        std::vector<u16> frame = host.presented;
        if (is565)
            for (u16& p : frame)
                p = p == 0x0421 ? p : static_cast<u16>(((p >> 6) << 5) | (p & 0x1F));
        return frame;
    };
    for (bool is565 : {false, true}) {
        SCOPED_TRACE(is565 ? "565" : "555");
        Scoped565 format(is565);
        D().DeleteAllGumps();
        Desktop().SetScreen(screen.data(), 0);
        CAcctLoginGump* login = OpenAccountLogin();
        ASSERT_NE(login, nullptr);
        Type("wanderer");
        CGump* mainMenu = D().mainMenuGump;
        CLoginGump* list = ShowList({{"Tamsin", 0}, {"Orlo", 2}});
        LoginNotice notice;
        notice.text = "No character to login with.";
        frontEnd.ShowNotice(notice);
        const struct {
            CGump* shown;
            const char* golden;
        } screens[] = {{mainMenu, "login_main_menu"},
                       {login, "login_account"},
                       {list, "login_character_list"},
                       {D().noticeGump, "login_notice"}};
        for (const auto& s : screens) {
            ASSERT_NE(s.shown, nullptr) << s.golden;
            const std::vector<u16> frame = shot(s.shown, is565);
            EXPECT_TRUE(MatchesGolden(s.golden, frame.data(), kScreenWidth, kScreenHeight))
                << s.golden;
        }
    }
}

// The four creation screens as the player sees them, each alone on the world picture, and the
// appearance screen's man and woman, in both pixel layouts.
TEST_F(CreationScreensTest, GoldenFramesOfTheCreationScreens) {
    PutWornAnimations();
    // A hue table where hue i tints the greys towards a colour of its own.
    std::vector<u16> hues(3000 * 32);
    for (int h = 0; h < 3000; ++h)
        for (int c = 0; c < 32; ++c)
            hues[static_cast<size_t>(h) * 32 + c] = static_cast<u16>(
                (c * (h % 7 + 1) / 8) << 10 | (c * (h % 5 + 1) / 6) << 5 | (c * (h % 3 + 1) / 4));
    SetBlitHueTable(hues.data(), 3000, 32);
    actions.state.startLocations = {{"Vessholm: Copper Kettle", 4}};
    ClientServerAddress.store(0x7F000001);
    auto show = [](CGump* screen) {
        for (CGump* g = D().head; g != nullptr; g = g->nextSibling)
            g->visible = false;
        screen->visible = true;
    };
    auto shot = [&](bool is565) {
        std::fill(screen.begin(), screen.end(), 0x0421);
        world = screen;
        DrawFrame();
        std::vector<u16> frame = host.presented;
        if (is565)
            for (u16& p : frame)
                p = p == 0x0421 ? p : static_cast<u16>(((p >> 6) << 5) | (p & 0x1F));
        return frame;
    };
    for (bool is565 : {false, true}) {
        SCOPED_TRACE(is565 ? "565" : "555");
        Scoped565 format(is565);
        D().DeleteAllGumps();
        Desktop().SetScreen(screen.data(), 0);
        StartCreation(2);
        ShowFrontEndScreen(FrontEndScreen::kInitSkill);
        ShowFrontEndScreen(FrontEndScreen::kCharCreation);
        ShowFrontEndScreen(FrontEndScreen::kCityChoice);
        const struct {
            CGump* screen;
            const char* golden;
        } screens[] = {{Stat(), "creation_stat"},
                       {Skills(), "creation_skills"},
                       {Look(), "creation_appearance_male"},
                       {City(), "creation_city"}};
        for (const auto& s : screens) {
            show(s.screen);
            const std::vector<u16> frame = shot(is565);
            EXPECT_TRUE(MatchesGolden(s.golden, frame.data(), kScreenWidth, kScreenHeight))
                << s.golden;
        }
        // A woman with long hair, hued skin and hair.
        CCharCreationGump* look = Look();
        show(look);
        CCharCreationGump::ToggleSex(look);
        SetChoiceField(look->hairField, 8252, "Long");
        look->OnControlChanged(look->hairField);
        PressTrack(look->skinColourThumb, 1, 2);
        PressTrack(look->hairColourThumb, 1, 1);
        const std::vector<u16> frame = shot(is565);
        EXPECT_TRUE(
            MatchesGolden("creation_appearance_female", frame.data(), kScreenWidth, kScreenHeight));
    }
    SetBlitHueTable(nullptr, 0, 32);
}

}  // namespace
