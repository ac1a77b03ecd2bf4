#pragma once
// The shipped demo world played with both halves real: the server main loop runs the demo
// world on a thread of its own, the client's link and world run on the test thread over the
// generated client install, and the process clock is the manual one the test steps. Waits
// are bounded on the wall clock; world pulses are stepped one by one.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "client/app/client_link_services.h"
#include "client/data/tile_data.h"
#include "client/gumps/frontend/scripted_login_driver.h"
#include "client/net/client_link.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "tests/client/world/installed_world_fixture.h"
#include "tests/protocol/server_npc_watch.h"
#include "tests/protocol/server_thread.h"
#include "tests/protocol/tester_creation.h"
#include "tests/protocol/world_entry_hooks.h"

class DemoWorldPlayFixture : public InstalledWorldFixture {
protected:
    static constexpr auto kWaitLimit = std::chrono::seconds(20);

    void SetUp() override {
        InstalledWorldFixture::SetUp();
        TheClientTileData().LoadTileData(env_->InstallDir() + "tiledata.mul");
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
        link.SetFrontEnd(&driver);
        new CClientPlayer;
    }
    void TearDown() override {
        EXPECT_EQ(server_.Stop(), 0);
        InstalledWorldFixture::TearDown();
    }

    // A tenth of a second of the client's life: the clock moves on, the link is polled.
    void Frame() {
        Clock().Advance(100);
        link.Poll();
    }
    // Frames until `done` holds, within a bound on the wall clock.
    bool WaitFor(const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit;
        for (;;) {
            Frame();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::yield();
        }
    }
    // World pulses until `done` holds, at most `pulses` of them: the clock moves on by a
    // pulse and the server's tick is waited for, so the world keeps pace with the clock.
    bool PulsesUntil(const std::function<bool()>& done, int pulses) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit * 3;
        for (int i = 0; i < pulses; ++i) {
            Clock().Advance(250);
            const bool ticked = server_.RunOnServer([] {}, [&] {
                Clock().Advance(10);
                link.Poll();
            });
            if (!ticked) return false;
            link.Poll();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
        }
        return false;
    }
    // Runs `task` on the server's thread between two ticks, the client living on meanwhile.
    bool OnServer(std::function<void()> task) {
        return server_.RunOnServer(std::move(task), [&] { Frame(); });
    }
    std::vector<ServerNpc> Npcs() {
        std::vector<ServerNpc> npcs;
        EXPECT_TRUE(OnServer([&] { npcs = ServerNpcs(); }));
        return npcs;
    }
    // A new character of the name enters the world.
    void EnterTheWorld(const char* name) {
        CreateCharacterRequest c = TesterCreation(name);
        c.slot = 0;
        driver.ScriptCreate(c);
        driver.StartAccountLogin(name, "pw");
        ASSERT_TRUE(WaitFor([&] { return hooks.inWorld && hooks.inGame; }))
            << ::testing::PrintToString(hooks.calls);
    }
    // The client's place of an object, or none.
    static bool ClientPlace(unsigned serial, int& x, int& y) {
        const CClientObject* o = TheClientWorld().FindBySerial(serial);
        if (!o) return false;
        x = o->loc.x;
        y = o->loc.y;
        return true;
    }

    WorldEntryHooks hooks;
    ClientLink link{nullptr, &hooks};
    ScriptedLoginDriver driver{link};
    ServerThread server_;
};
