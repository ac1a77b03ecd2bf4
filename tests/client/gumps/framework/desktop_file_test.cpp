// The desktop layout file: the bytes per kind, skipped and cut-short records, the clamped
// sizes, and saving and restoring the player's windows through the window factory.
#include "client/gumps/framework/desktop_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/client/gumps/framework/gump_fixture.h"

namespace {

// Windows the factory makes: a journal that takes its size, and the fighting bar.
class Journal : public CGump {
public:
    Journal() : CGump(0, 0, nullptr, 0, 1, 300, 250) { minimisedWidth = minimisedHeight = 40; }
    GumpKind Kind() const override { return GumpKind::kText; }
    void OnResized(int w, int h, int) override {
        width = w;
        height = h;
    }
};
class FightingBar : public CGump {
public:
    FightingBar(int x, int y) : CGump(x, y, nullptr, 0, 1, 100, 30) {}
    GumpKind Kind() const override { return GumpKind::kFighting; }
};

class FactoryHost : public RecordingGumpHost {
public:
    CGump* MakeWindow(int artId, u32 object, int w, int h, bool container) override {
        if (artId == 7) return TheGumpDesktop().Make<Journal>();
        return RecordingGumpHost::MakeWindow(artId, object, w, h, container);
    }
    CGump* MakeFightingBar(int x, int y) override {
        return TheGumpDesktop().Make<FightingBar>(x, y);
    }
};

class DesktopFileTest : public GumpDesktopTest {
protected:
    void SetUp() override {
        GumpDesktopTest::SetUp();
        directory = std::filesystem::temp_directory_path() /
                    ("zq_desktop_" +
                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(directory);
        factory.directory = directory.string();
        factory.slot = 2;
    }
    void TearDown() override {
        GumpDesktopTest::TearDown();
        std::filesystem::remove_all(directory);
    }
    void WriteFile(const std::vector<u8>& bytes) {
        std::ofstream out(directory / "desktop.zq3", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::path directory;
    FactoryHost factory;  // installed over the fixture's host
};

TEST_F(DesktopFileTest, RecordsRoundTripWithTheSizeOfTheirKind) {
    const std::vector<DesktopRecord> records = {
        {0, 10, 20, 1, 0, 0, 0},    {1, -5, 300, 0, 0, 0, 0}, {2, 100, 50, 1, 300, 260, 0},
        {4, 7, 8, 0, 250, 240, 0},  {6, 1, 2, 0, 0, 0, 0},    {7, 3, 4, 1, 0, 0, 0},
        {8, 600, 400, 0, 0, 0, 63},
    };
    const std::vector<u8> bytes = WriteDesktopFile(0xA1B2C3D4, records);
    EXPECT_EQ(bytes.size(), 4u + 10 + 10 + 14 + 14 + 10 + 10 + 10);
    EXPECT_EQ(bytes[0], 0xD4);
    EXPECT_EQ(bytes[3], 0xA1);
    u32 serial = 0;
    std::vector<DesktopRecord> back;
    ASSERT_TRUE(ParseDesktopFile(bytes.data(), bytes.size(), serial, back));
    EXPECT_EQ(serial, 0xA1B2C3D4u);
    ASSERT_EQ(back.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(back[i].kind, records[i].kind);
        EXPECT_EQ(back[i].x, records[i].x);
        EXPECT_EQ(back[i].y, records[i].y);
        EXPECT_EQ(back[i].minimised, records[i].minimised);
        EXPECT_EQ(back[i].width, records[i].width);
        EXPECT_EQ(back[i].height, records[i].height);
        EXPECT_EQ(back[i].spellIndex, records[i].spellIndex);
    }
}

TEST_F(DesktopFileTest, UnknownKindsAreSkippedByteByByteAndACutRecordIsDropped) {
    std::vector<u8> bytes = WriteDesktopFile(1, {{6, 1, 2, 0, 0, 0, 0}});
    for (u8 kind : {3, 5, 9, 200})
        bytes.insert(bytes.begin() + 4, kind);
    const std::vector<u8> tail = WriteDesktopFile(0, {{7, 9, 9, 0, 0, 0, 0}});
    bytes.insert(bytes.end(), tail.begin() + 4, tail.end() - 3);  // the fighting bar, cut short
    u32 serial = 0;
    std::vector<DesktopRecord> back;
    ASSERT_TRUE(ParseDesktopFile(bytes.data(), bytes.size(), serial, back));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].kind, 6);
    EXPECT_FALSE(ParseDesktopFile(bytes.data(), 3, serial, back));
}

TEST_F(DesktopFileTest, JournalAndSkillSizesAreClampedToTheirResizeLimits) {
    struct Case {
        u8 kind;
        int y;
        u16 height, clamped;
    };
    for (const Case& c : {Case{2, 0, 100, 220}, Case{2, 100, 900, 360}, Case{4, 300, 250, 220},
                          Case{4, 10, 300, 300}, Case{6, 0, 5, 5},
                          Case{2, -2147483647, 60000, 60000}, Case{4, 2147483647, 900, 220}}) {
        DesktopRecord r{c.kind, 0, c.y, 0, 9000, c.height, 0};
        ClampDesktopSize(r);
        EXPECT_EQ(r.height, c.clamped) << int{c.kind} << " at y " << c.y;
        EXPECT_LE(r.width, c.kind == 6 ? 9000 : 640);
    }
}

TEST_F(DesktopFileTest, AMinimisedJournalComesBackMinimisedAtItsPlaceWithItsSize) {
    auto* journal = TheGumpDesktop().Open<Journal>();
    journal->OnResized(300, 280, 0);
    journal->x = 40;
    journal->y = 60;
    journal->Minimize();
    Desktop().SaveDesktop();
    Desktop().DeleteAllGumps();
    Desktop().RestoreDesktop();
    ASSERT_NE(Desktop().head, nullptr);
    CGump* back = Desktop().head;
    EXPECT_TRUE(back->IsKind(GumpKind::kText));
    EXPECT_TRUE(back->minimised);
    EXPECT_EQ(back->x, 16);  // the auto-arranged slot it was saved at
    EXPECT_EQ(back->y, 16);
    EXPECT_EQ(back->width, 300);
    EXPECT_EQ(back->height, 280);
    EXPECT_FALSE(Desktop().restoring);
}

TEST_F(DesktopFileTest, APaperdollAndSkillsWaitAsPendingPlacementsButNotForAGhost) {
    WriteFile(WriteDesktopFile(
        factory.playerSerial,
        {{0, 5, 6, 1, 0, 0, 0}, {4, 7, 8, 0, 250, 240, 0}, {7, 30, 40, 0, 0, 0, 0}}));
    Desktop().RestoreDesktop();
    EXPECT_TRUE(Desktop().restoring);
    ASSERT_EQ(Desktop().pending.size(), 2u);
    EXPECT_NE(std::find(factory.calls.begin(), factory.calls.end(), "RequestUseObject 4660"),
              factory.calls.end());
    EXPECT_NE(std::find(factory.calls.begin(), factory.calls.end(), "RequestStatus 5 4660"),
              factory.calls.end());
    ASSERT_NE(Desktop().fightingGump, nullptr);
    EXPECT_EQ(Desktop().fightingGump->x, 30);
    PendingPlacement p;
    EXPECT_TRUE(Desktop().TakePendingPlacement(4, p));
    EXPECT_EQ(p.width, 250);
    EXPECT_TRUE(Desktop().TakePendingPlacement(0, p));
    EXPECT_EQ(p.minimised, 1);
    EXPECT_FALSE(Desktop().restoring);

    Desktop().DeleteAllGumps();
    factory.calls.clear();
    factory.playerBody = 402;  // a ghost: the paperdoll record is skipped whole
    Desktop().RestoreDesktop();
    EXPECT_EQ(Desktop().pending.size(), 1u);
    EXPECT_EQ(Desktop().pending[0].kind, 4);
    EXPECT_EQ(std::find(factory.calls.begin(), factory.calls.end(), "RequestUseObject 4660"),
              factory.calls.end());
    EXPECT_NE(Desktop().fightingGump, nullptr);
}

TEST_F(DesktopFileTest, AnotherCharactersFileOrAnEmptyOneRestoresNothing) {
    WriteFile(WriteDesktopFile(factory.playerSerial + 1, {{7, 30, 40, 0, 0, 0, 0}}));
    Desktop().RestoreDesktop();
    EXPECT_EQ(Desktop().head, nullptr);
    EXPECT_FALSE(Desktop().restoring);
    WriteFile(WriteDesktopFile(factory.playerSerial, {}));
    Desktop().RestoreDesktop();
    EXPECT_FALSE(Desktop().restoring);
    EXPECT_EQ(Desktop().head, nullptr);
}

TEST_F(DesktopFileTest, NothingIsSavedBeforeThePlayerEnteredTheWorld) {
    factory.enteredWorld = false;
    TheGumpDesktop().Open<Journal>();
    Desktop().SaveDesktop();
    EXPECT_FALSE(std::filesystem::exists(directory / "desktop.zq3"));
}

}  // namespace

namespace {

// Containers and radars made by the factory.
class Container : public CGump {
public:
    Container(u32 object, int w, int h) : CGump(0, 0, nullptr, object, 1, w, h) {}
    GumpKind Kind() const override { return GumpKind::kContainer; }
};
class Radar : public CGump {
public:
    explicit Radar(int art) : CGump(0, 0, nullptr, 0, 1, 10, 10) { artId = art; }
    GumpKind Kind() const override { return GumpKind::kRadar; }
};

class OpenGumpHost : public FactoryHost {
public:
    CGump* MakeWindow(int artId, u32 object, int w, int h, bool container) override {
        if (container) return TheGumpDesktop().Make<Container>(object, w, h);
        if (artId == 5010 || artId == 5011) return TheGumpDesktop().Make<Radar>(artId);
        return FactoryHost::MakeWindow(artId, object, w, h, container);
    }
    bool ObjectIsContainer(u32) override { return true; }
};

class OpenGumpTest : public GumpDesktopTest {
protected:
    OpenGumpHost factory;
};

TEST_F(OpenGumpTest, SingleInstancesAreRaisedAndRestoredInsteadOfOpenedTwice) {
    CGump* journal = Desktop().OpenGump(0, 7, nullptr, false);
    ASSERT_NE(journal, nullptr);
    journal->Minimize();
    CGump* other = MakeFilledGump(0, 0, 10, 10, 1);
    EXPECT_EQ(Desktop().OpenGump(0, 7, nullptr, false), journal);
    EXPECT_EQ(Desktop().head, journal);
    EXPECT_FALSE(journal->minimised);
    EXPECT_EQ(Desktop().TopLevelCount(), 2);

    art.Solid(70, 100, 100, 1);
    CGump* box = Desktop().OpenGump(0x40000001, 70, nullptr, true);
    other->BringToFront(false);
    EXPECT_EQ(Desktop().OpenGump(0x40000001, 70, nullptr, true), box);
    EXPECT_EQ(Desktop().head, box);

    CGump* radar = Desktop().OpenGump(0, 5010, nullptr, false);
    ASSERT_NE(radar, nullptr);
    CGump* again = Desktop().OpenGump(0, 5010, nullptr, false);
    EXPECT_EQ(again->artId, 5011);
    EXPECT_EQ(Desktop().radarGump, again);
}

TEST_F(OpenGumpTest, ContainersCascadeAndWrapAtTheScreensEdges) {
    art.Solid(70, 100, 100, 1);
    std::vector<std::pair<int, int>> places;
    for (u32 i = 0; i < 25; ++i) {
        CGump* g = Desktop().OpenGump(0x40000000 + i, 70, nullptr, true);
        places.emplace_back(g->x, g->y);
    }
    EXPECT_EQ(places[0], (std::pair<int, int>{32, 32}));
    EXPECT_EQ(places[1], (std::pair<int, int>{48, 48}));
    EXPECT_EQ(places[20], (std::pair<int, int>{352, 352}));
    EXPECT_EQ(places[21], (std::pair<int, int>{368, 16}));  // 368 + 100 >= 464
    factory.offsetGumps = false;
    CGump* fixed = Desktop().OpenGump(0x50000000, 70, nullptr, true);
    EXPECT_EQ(fixed->x, 640 - 100 - 10);
    EXPECT_EQ(fixed->y, 10);
}

TEST_F(OpenGumpTest, OptionsWithoutTheirArtShowTheErrorAndOpenNothing) {
    EXPECT_EQ(Desktop().OpenGump(0, 5000, nullptr, false), nullptr);
    EXPECT_EQ(factory.calls.back(), "MessageBox Missing ClientCfg GUMP art!");
    art.Solid(123, 40, 30, 0x7FFF);
    CGump* plain = Desktop().OpenGump(0, 123, nullptr, false);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->x, 600);
    EXPECT_EQ(plain->width, 40);
    EXPECT_EQ(Desktop().GumpAt(610, 10, nullptr, true), plain);
}

}  // namespace
