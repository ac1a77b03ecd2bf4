// A new character's figure as its own client draws it: the server runs the demo world on its
// own thread, the client's link creates a woman with long hair and a chosen skin and hair
// colour, and after the entry the player stands dressed as created (hair, shirt and skirt in
// their colours, the skin in its colour) beside a townsperson, whose figure is drawn the same
// way. The picture is pinned by a golden frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "client/app/client_link_services.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "tests/protocol/entering_hooks.h"
#include "client/net/client_link.h"
#include "client/render/dirty_rects.h"
#include "client/world/cell_grid.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "client/world/world_view_frame.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"
#include "golden_frame.h"
#include "tests/protocol/client_world_scope.h"
#include "tests/protocol/server_player_place.h"
#include "tests/protocol/server_thread.h"
#include "tests/protocol/tester_creation.h"

namespace {

constexpr const char* kName = "Rowan";
constexpr u16 kLongHair = 8252;
constexpr int kHairLayer = 11, kShirtLayer = 5, kSkirtLayer = 23;
// The picture around the two figures: the player's feet 20 pixels in from the left.
constexpr int kCropWidth = 120, kCropHeight = 100;

class NewCharacterFigureTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
        client_ = std::make_unique<ClientWorldScope>(0);
    }
    void TearDown() override {
        EXPECT_EQ(server_.Stop(), 0);
        client_.reset();
    }

    void Poll() {
        if (ClientToServerQueue != nullptr && ServerToClientQueue != nullptr) link.Poll();
    }
    // Polls the link until `done` holds, for at most a few seconds.
    template <typename Done>
    bool PollUntil(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < limit) {
            Poll();
            if (done()) return true;
            std::this_thread::yield();
        }
        return false;
    }

    std::unique_ptr<ClientWorldScope> client_;
    EnteringHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};
    ServerThread server_;
};

TEST_F(NewCharacterFigureTest, TheNewCharacterStandsDressedAsCreatedBesideATownsperson) {
    ASSERT_TRUE(PollUntil([] { return ClientToServerQueue != nullptr; }));
    link.SetFrontEnd(&driver);
    CreateCharacterRequest c = TesterCreation(kName);
    c.slot = 0;
    c.sex = 1;
    c.skinHue = 1012;
    c.hairStyle = kLongHair;
    c.hairHue = 1120;
    c.beardStyle = 0;
    c.beardHue = 0;
    driver.ScriptCreate(c);
    driver.StartAccountLogin("rowan", "pw");
    ASSERT_TRUE(PollUntil([&] { return hooks.entered && hooks.inWorld && hooks.inGame; }));

    // What the player's own client knows of its character: the body in the chosen skin (drawn
    // on its greys only), and the hair, shirt and skirt it wears.
    const auto worn = [](int layer) -> const CClientItem* {
        const CClientPlayer* p = ThePlayer();
        return p != nullptr ? p->layers[layer] : nullptr;
    };
    ASSERT_TRUE(PollUntil([&] { return worn(kHairLayer) && worn(kShirtLayer) && worn(kSkirtLayer); }))
        << "the player's own client never learnt what its character wears";
    const CClientPlayer* player = ThePlayer();
    EXPECT_EQ(player->graphic, 401);
    EXPECT_EQ(player->hue, 0x8000 | 1012) << "the skin colour, on the body's greys only";
    EXPECT_EQ(worn(kHairLayer)->graphic, kLongHair);
    EXPECT_EQ(worn(kHairLayer)->hue, 1120);
    EXPECT_NE(worn(kShirtLayer)->hue, 0);
    EXPECT_NE(worn(kSkirtLayer)->hue, 0);
    EXPECT_EQ(player->statusFlags & 0x80, 0) << "a new character is not hidden";

    // A townsperson comes to stand to the player's right.
    unsigned townsperson = 0;
    ASSERT_TRUE(server_.RunOnServer(
        [&] { townsperson = BringTownspersonBeside(kName, 1, -1, 4); }, [&] { Poll(); }));
    ASSERT_NE(townsperson, 0u) << "no townsperson near the start";
    const auto standing = [&] {
        const CClientObject* o = TheClientWorld().FindBySerial(townsperson);
        return o != nullptr && o->IsMobile() && o->inCell && o->loc.x == player->loc.x + 1 &&
               o->loc.y == player->loc.y - 1 &&
               static_cast<const CClientMobile*>(o)->queuedSteps == 0;
    };
    ASSERT_TRUE(PollUntil(standing)) << "the townsperson never arrived beside the player";

    client_->UpdatePlayerStep();
    InvalidateWorldView();
    RefreshDirtyRects();
    const std::vector<u16> shown = client_->Shown();
    const int left = player->box.left - ViewScrollX - 20;
    const int top = player->box.bottom - ViewScrollY - kCropHeight + 10;
    ASSERT_GE(left, 0);
    ASSERT_GE(top, 0);
    ASSERT_LE(left + kCropWidth, kWorldViewWidth);
    ASSERT_LE(top + kCropHeight, kWorldViewHeight);
    std::vector<u16> crop(static_cast<size_t>(kCropWidth) * kCropHeight);
    for (int y = 0; y < kCropHeight; ++y)
        std::copy_n(shown.begin() + (top + y) * kWorldViewWidth + left, kCropWidth,
                    crop.begin() + y * kCropWidth);
    EXPECT_TRUE(MatchesGolden("world_new_character", crop.data(), kCropWidth, kCropHeight));
}

}  // namespace
