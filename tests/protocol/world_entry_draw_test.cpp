// World entry drawn: the server runs the demo world on its own thread, the client's link logs
// a new character in with the running client's world steps, and after the player's step update
// the next frame's refresh paints the island around the start place into the world view.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "client/app/client_link_services.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "tests/protocol/entering_hooks.h"
#include "client/net/client_link.h"
#include "client/render/dirty_rects.h"
#include "client/world/world_view_frame.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"
#include "golden_frame.h"
#include "tests/protocol/client_world_scope.h"
#include "tests/protocol/creation_request.h"
#include "tests/protocol/server_thread.h"

namespace {

class WorldEntryDrawTest : public ::testing::Test {
protected:
    static constexpr u16 kUnpainted = 0x1234;

    void SetUp() override {
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
        client_ = std::make_unique<ClientWorldScope>(kUnpainted);
    }
    void TearDown() override {
        EXPECT_EQ(server_.Stop(), 0);
        client_.reset();
    }

    // Polls the link until `done` holds, for at most a few seconds.
    template <typename Done>
    bool PollUntil(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < limit) {
            if (ClientToServerQueue != nullptr && ServerToClientQueue != nullptr) link.Poll();
            if (done()) return true;
            std::this_thread::yield();
        }
        return false;
    }

    std::unique_ptr<ClientWorldScope> client_;
    EnteringHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};

private:
    ServerThread server_;
};

TEST_F(WorldEntryDrawTest, TheFirstFrameAfterEnteringShowsTheIsland) {
    ASSERT_TRUE(PollUntil([] { return ClientToServerQueue != nullptr; }));
    link.SetFrontEnd(&driver);
    CreateCharacterRequest c = TesterCreation("Painter");
    c.slot = 0;
    driver.ScriptCreate(c);
    driver.StartAccountLogin("painter", "pw");
    ASSERT_TRUE(PollUntil([&] { return hooks.entered && hooks.inWorld && hooks.inGame; }));
    EXPECT_TRUE(FullRedrawPending) << "entering marks the whole view";
    // The player's step update puts the view's corner over the player; the walk queue's tick
    // runs it in the running client.
    client_->UpdatePlayerStep();
    RefreshDirtyRects();
    const std::vector<u16> shown = client_->ShownWithoutFigures();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kUnpainted), 0);
    EXPECT_TRUE(client_->ViewCentredOnPlayer()) << client_->Describe();
    EXPECT_TRUE(MatchesGolden("world_entry", shown.data(), 640, 480));
}

}  // namespace
