#pragma once
// The demo world's server main loop on a thread of its own, without the built-in client, and a
// client link on the test thread. Tests only touch the client's side; waits are bounded waits
// on what the client saw.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "core/chunk_queue.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "platform/progress_window.h"
#include "server/frame/progress_window.h"
#include "server/frame/server_main_loop.h"
#include "server/server_config.h"
#include "tests/server/server_services_scope.h"

// Generous for a loaded machine; a passing run takes a fraction of it.
inline constexpr auto kWaitLimit = std::chrono::seconds(5);

class ServerThreadFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(g_serverConfig.Start((std::string(ZQ_RUN_DIR) + "/zqdemo.dat").c_str(), &error),
                  0)
            << error;
        g_spawnClient = 0;
        g_quitFlag.store(0);
        window_ = std::make_unique<ProgressWindow>(
            std::make_unique<platform::ProgressView>(kProgressWindowCaption, nullptr, false));
        services_ = std::make_unique<ServerServicesScope>();
        server_ = std::thread([this] { serverResult_ = ServerMainLoop(ServerLoopHooks{}); });
        // The loop makes the two links before it serves them.
        ASSERT_TRUE(WaitFor(
            [] { return ClientToServerQueue != nullptr && ServerToClientQueue != nullptr; }));
    }
    void TearDown() override {
        RequestQuit();
        if (server_.joinable()) server_.join();
        EXPECT_EQ(serverResult_, 0);
        services_.reset();
        window_.reset();
        g_serverConfig.Stop();
        g_quitFlag.store(0);
        g_spawnClient = 1;
    }

    // Polls the client's link (with `poll`) until `done` holds; false when it never did.
    bool WaitFor(const std::function<bool()>& done, bool poll = true) {
        const auto limit = std::chrono::steady_clock::now() + kWaitLimit;
        for (;;) {
            if (poll) link.Poll();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::yield();
        }
    }

    LinkReportCapture reports;
    ClientLoginHooks hooks;
    ClientLink link{nullptr, &hooks};

private:
    std::unique_ptr<ProgressWindow> window_;
    std::unique_ptr<ServerServicesScope> services_;
    std::thread server_;
    int serverResult_ = -1;
};
