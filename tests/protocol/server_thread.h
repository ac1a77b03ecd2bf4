#pragma once
// The demo world's server main loop on a thread of its own, as the process runs it without the
// built-in client: started from the run directory's archive, asked to quit and joined at the
// end, which checks that the loop ended with 0.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "core/loop_state.h"
#include "platform/progress_window.h"
#include "server/frame/progress_window.h"
#include "server/frame/server_main_loop.h"
#include "server/server_config.h"
#include "tests/server/server_services_scope.h"

class ServerThread {
public:
    ServerThread() {
        started_ =
            g_serverConfig.Start((std::string(ZQ_RUN_DIR) + "/zqdemo.dat").c_str(), &error_) == 0;
        if (!started_) return;
        g_spawnClient = 0;
        g_quitFlag.store(0);
        window_ = std::make_unique<ProgressWindow>(
            std::make_unique<platform::ProgressView>(kProgressWindowCaption, nullptr, false));
        services_ = std::make_unique<ServerServicesScope>();
        thread_ = std::thread([this] { result_ = ServerMainLoop(ServerLoopHooks{}); });
    }
    ~ServerThread() {
        if (!started_) return;
        RequestQuit();
        if (thread_.joinable()) thread_.join();
        EXPECT_EQ(result_, 0);
        services_.reset();
        window_.reset();
        g_serverConfig.Stop();
        g_quitFlag.store(0);
        g_spawnClient = 1;
    }
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    bool Started() const { return started_; }
    const std::string& Error() const { return error_; }

private:
    bool started_ = false;
    std::string error_;
    std::unique_ptr<ProgressWindow> window_;
    std::unique_ptr<ServerServicesScope> services_;
    std::thread thread_;
    int result_ = -1;
};
