// Saving the running world while the game runs: when a save is due, that only a wholly loaded
// world is written, and that the save a load dropped objects of is kept aside by the first
// save replacing it.
#include "server/world/autosave.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/clock.h"
#include "server/world/world_save.h"
#include "world_test_support.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class AutosaveTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() /
               ("zq_autosave_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        save_ = (dir_ / "world.sav").string();
        SetWorldSavePaths(save_, (dir_ / "world.sta").string());
        PlacedItem(1, 1, 0);
    }
    void TearDown() override {
        ForgetLoadedWorld();
        SetWorldSavePaths("", "");
        std::filesystem::remove_all(dir_);
        WorldTest::TearDown();
    }
    std::filesystem::path dir_;
    std::string save_;
};

TEST_F(AutosaveTest, ASaveIsDueFiveMinutesAfterTheLastOrAtOnceWhenAsked) {
    // Near the wrap of the millisecond clock, so the interval crosses it.
    const u32 start = 0xFFFFF000u;
    struct Case {
        u32 aheadMs;
        u32 afterMs;
        bool due;
    };
    const Case cases[] = {
        {0, 0, false},
        {0, kAutosaveIntervalMs - 1, false},
        {0, kAutosaveIntervalMs, true},
        {kAutosaveIntervalMs - 1000, 999, false},
        {kAutosaveIntervalMs - 1000, 1000, true},
    };
    for (const Case& c : cases) {
        StartAutosaveClock(start, c.aheadMs);
        EXPECT_EQ(IsWorldSaveDue(start + c.afterMs), c.due) << c.aheadMs << " + " << c.afterMs;
    }
    StartAutosaveClock(start);
    RequestWorldSave();
    EXPECT_TRUE(IsWorldSaveDue(start + 1));
    // A save answers the request and starts the interval again.
    NoteWorldLoaded("archive", false, 0);
    ASSERT_EQ(SaveRunningWorld(start + 1000), 0);
    EXPECT_FALSE(IsWorldSaveDue(start + 1000 + kAutosaveIntervalMs - 1));
    EXPECT_TRUE(IsWorldSaveDue(start + 1000 + kAutosaveIntervalMs));
}

TEST_F(AutosaveTest, OnlyAWhollyLoadedWorldIsWritten) {
    // No load filled the world (or it was cut short): the save on disk is left alone.
    std::ofstream(save_) << "older";
    EXPECT_EQ(SaveRunningWorld(0), 0);
    EXPECT_EQ(ReadFile(save_), "older");
    NoteWorldLoaded("archive", false, 0);
    std::string error;
    ASSERT_EQ(SaveRunningWorld(0, &error), 0) << error;
    SectorPair pair;
    ASSERT_EQ(ReadSaveFile(save_, kWorldSaveTag, pair, &error), 0) << error;
    EXPECT_EQ(pair.data, BuildDynamicPair().data);
    EXPECT_GT(LastWorldSaveMicros(), 0u);
    ForgetLoadedWorld();
    std::ofstream(save_) << "older";
    EXPECT_EQ(SaveRunningWorld(0), 0);
    EXPECT_EQ(ReadFile(save_), "older");
}

TEST_F(AutosaveTest, TheSaveALoadDroppedObjectsOfIsKeptAsideOnce) {
    struct Case {
        const char* what;
        bool fromSave;
        int dropped;
        bool kept;
    };
    const Case cases[] = {
        {"dropped from the save", true, 3, true},
        {"nothing dropped", true, 0, false},
        {"dropped from the archive's files", false, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            std::filesystem::remove(entry.path());
        std::ofstream(save_) << "the save as loaded";
        NoteWorldLoaded(c.fromSave ? save_ : std::string("archive"), c.fromSave, c.dropped);
        testing::internal::CaptureStderr();
        ASSERT_EQ(SaveRunningWorld(0), 0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::filesystem::exists(save_ + ".dropped-1"), c.kept);
        if (c.kept) {
            EXPECT_EQ(ReadFile(save_ + ".dropped-1"), "the save as loaded");
            // One line naming the count and both files.
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_NE(said.find("dropped 3 object(s)"), std::string::npos) << said;
            EXPECT_NE(said.find(save_ + ".dropped-1"), std::string::npos) << said;
        } else {
            EXPECT_EQ(said, "");
        }
        SectorPair pair;
        ASSERT_EQ(ReadSaveFile(save_, kWorldSaveTag, pair, nullptr), 0);
        // The next save keeps nothing more.
        testing::internal::CaptureStderr();
        ASSERT_EQ(SaveRunningWorld(0), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(std::filesystem::exists(save_ + ".dropped-2"));
        ForgetLoadedWorld();
    }
    // An older kept save is never replaced: the next free number is taken.
    std::ofstream(save_ + ".dropped-1") << "the save as loaded";
    std::ofstream(save_) << "second";
    NoteWorldLoaded(save_, true, 1);
    testing::internal::CaptureStderr();
    ASSERT_EQ(SaveRunningWorld(0), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadFile(save_ + ".dropped-1"), "the save as loaded");
    EXPECT_EQ(ReadFile(save_ + ".dropped-2"), "second");
}

}  // namespace
