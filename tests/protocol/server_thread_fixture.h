#pragma once
// The demo world's server main loop on a thread of its own (ServerThread), without the built-in
// client, and a client link on the test thread. Tests only touch the client's side; waits are
// bounded waits on what the client saw.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "tests/protocol/server_thread.h"

// Generous for a loaded machine; a passing run takes a fraction of it.
inline constexpr auto kWaitLimit = std::chrono::seconds(5);

class ServerThreadFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string error = server_.Start();
        ASSERT_TRUE(error.empty()) << error;
    }
    void TearDown() override { EXPECT_EQ(server_.Stop(), 0); }

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
    ServerThread server_;
};
