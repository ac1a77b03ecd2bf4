// Server-sent art records: written by the length that arrived, removed, refused out of range,
// and the world objects that show the picture redrawn.
#include "client/world/art_patch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "client/data/data_file_cache.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/world/world_fixture.h"

namespace {

class ArtPatchTest : public WorldFixture {
protected:
    void SetUp() override {
        env_.LinkClientInstall();
        // The patches write the art files: this test's own copies, never the shared ones.
        for (const char* name : {"art.mul", "artidx.mul"}) {
            const std::string path = env_.InstallDir() + name;
            const std::filesystem::path target = std::filesystem::read_symlink(path);
            std::filesystem::remove(path);
            std::filesystem::copy_file(target, path);
        }
        DataCacheSettings s;
        s.hdDir = env_.InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
    }
    void TearDown() override {
        ResetWorld();
        TheDataCache().Shutdown();
    }
    static std::vector<u8> Record(s32 id) {
        s32 length = 0;
        const u8* r = GetArtRecord(id, &length);
        return r != nullptr ? std::vector<u8>(r, r + length) : std::vector<u8>{};
    }
    ClientTestEnv env_;
};

TEST_F(ArtPatchTest, RecordsTakeTheLengthThatArrived) {
    // A static whose first word claims far more than was sent: 4 + 2 x height + ... bytes.
    std::vector<u8> stat = {0xFF, 0xFF, 0xFF, 0x7F, 2,    0,    1,    0, 0, 0, 0,
                            0,    2,    0,    0x1F, 0x00, 0x1F, 0x00, 0, 0, 0, 0};
    ASSERT_TRUE(UpdateArtRecord(stat.data(), stat.size(), 0x4000 + 0x0E75, 0, 0));
    EXPECT_EQ(Record(0x4000 + 0x0E75), stat);

    std::vector<u8> land(3000);
    for (size_t i = 0; i < land.size(); ++i)
        land[i] = u8(i * 7);
    ASSERT_TRUE(UpdateArtRecord(land.data(), land.size(), 3, 0, 0));
    EXPECT_EQ(Record(3), std::vector<u8>(land.begin(), land.begin() + 2048));
    ASSERT_TRUE(UpdateArtRecord(land.data(), 100, 4, 0, 0));
    EXPECT_EQ(Record(4), std::vector<u8>(land.begin(), land.begin() + 100)) << "short land";

    ASSERT_FALSE(Record(5).empty());
    UpdateArtRecord(nullptr, 0, 5, -1, 0);
    EXPECT_TRUE(Record(5).empty()) << "removed";
}

TEST_F(ArtPatchTest, IdsOutsideTheArtFilesAreRefused) {
    for (s32 id : {-1, 65536}) {
        const u8 byte = 1;
        EXPECT_FALSE(UpdateArtRecord(&byte, 1, id, 0, 0)) << id;
    }
    const auto messages = env_.Backend().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Tried to update art less than 0 or greater then 65535.");
    EXPECT_EQ(messages[0].caption, "damn art bug");
}

TEST_F(ArtPatchTest, ObjectsShowingThePictureAreRedrawn) {
    PlayerInStillWorld();
    RecentreCellGrid(10, 10);
    CClientObject* shown = CClientObject::AllocateStatic(0x0E75);
    shown->PlaceInWorld(ClientLocation{11, 10, 0});
    CClientObject* other = CClientObject::AllocateStatic(0x0E76);
    other->PlaceInWorld(ClientLocation{12, 10, 0});
    LandTile* tile = LandTile::Allocate(3, ClientLocation{10, 12, 0});
    tile->PlaceInCell();
    LandTile* otherTile = LandTile::Allocate(6, ClientLocation{10, 13, 0});
    otherTile->PlaceInCell();
    const std::vector<u8> bytes(64, 1);

    hooks.dirty.clear();
    const int oldLeft = shown->box.left - ViewScrollX;
    UpdateArtRecord(bytes.data(), bytes.size(), 0x4000 + 0x0E75, 0, 0);
    ASSERT_EQ(hooks.dirty.size(), 2u) << "old and new place of the one static";
    EXPECT_EQ(hooks.dirty[0].left, oldLeft);

    hooks.dirty.clear();
    UpdateArtRecord(bytes.data(), bytes.size(), 3, 0, 0);
    ASSERT_EQ(hooks.dirty.size(), 1u) << "the one land cell";
    EXPECT_EQ(hooks.dirty[0].top, tile->box.top - ViewScrollY);
}

}  // namespace
