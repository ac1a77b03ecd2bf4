#pragma once
// The real server main loop on the demo world, without the built-in client, on a thread of its
// own: for tests that play the client's side against it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/chunk_queue.h"
#include "core/loop_state.h"
#include "platform/progress_window.h"
#include "server/frame/progress_window.h"
#include "server/frame/server_main_loop.h"
#include "server/frame/time_manager.h"
#include "server/server_config.h"
#include "server/world/world_save.h"
#include "tests/server/server_services_scope.h"

class ServerThread {
public:
    ~ServerThread() {
        if (thread_.joinable()) Stop();
    }

    // Starts the loop and waits (at most 5 s) until it has made the two links; empty when it
    // runs, else why not.
    std::string Start() {
        std::string error;
        if (!g_serverConfig.Start((std::string(ZQ_RUN_DIR) + "/zqdemo.dat").c_str(), &error))
            return error.empty() ? "the server configuration did not start" : error;
        g_spawnClient = 0;
        g_quitFlag.store(0);
        // The world is saved away from the shared run directory, so that every run starts
        // from the archive's world.
        const std::string save =
            ::testing::TempDir() + "zq_server_thread_" + std::to_string(::getpid());
        SetWorldSavePaths(save + ".sav", save + ".sta");
        window_ = std::make_unique<ProgressWindow>(
            std::make_unique<platform::ProgressView>(kProgressWindowCaption, nullptr, false));
        services_ = std::make_unique<ServerServicesScope>();
        ServerLoopHooks hooks;
        hooks.worldTick = [this] {
            g_timeManager.Update();
            RunPendingTask();
        };
        thread_ = std::thread([this, hooks] { result_ = ServerMainLoop(hooks); });
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ClientToServerQueue == nullptr || ServerToClientQueue == nullptr) {
            if (std::chrono::steady_clock::now() > limit) return "the server made no links";
            std::this_thread::yield();
        }
        return {};
    }

    // Runs `task` on the server's thread after its next world tick and waits for it (at most
    // 5 s), calling `whileWaiting` meanwhile (a test on a manual clock moves the clock there):
    // the way to look at the server's world while it runs. False when it did not run.
    bool RunOnServer(std::function<void()> task, const std::function<void()>& whileWaiting) {
        {
            std::lock_guard<std::mutex> guard(taskLock_);
            task_ = std::move(task);
            taskDone_ = false;
        }
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < limit) {
            {
                std::lock_guard<std::mutex> guard(taskLock_);
                if (taskDone_) return true;
            }
            if (whileWaiting) whileWaiting();
            std::this_thread::yield();
        }
        std::lock_guard<std::mutex> guard(taskLock_);
        task_ = nullptr;
        return taskDone_;
    }

    // Ends the loop and puts the process state back; answers the loop's exit code.
    int Stop() {
        RequestQuit();
        if (thread_.joinable()) thread_.join();
        services_.reset();
        window_.reset();
        g_serverConfig.Stop();
        g_quitFlag.store(0);
        g_spawnClient = 1;
        std::remove(WorldSavePath().c_str());
        std::remove(StaticsSavePath().c_str());
        SetWorldSavePaths("", "");
        return result_;
    }

private:
    void RunPendingTask() {
        std::lock_guard<std::mutex> guard(taskLock_);
        if (!task_) return;
        task_();
        task_ = nullptr;
        taskDone_ = true;
    }

    std::mutex taskLock_;
    std::function<void()> task_;
    bool taskDone_ = false;
    std::unique_ptr<ProgressWindow> window_;
    std::unique_ptr<ServerServicesScope> services_;
    std::thread thread_;
    int result_ = -1;
};
