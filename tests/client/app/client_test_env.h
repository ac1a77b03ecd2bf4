#pragma once
// A private run directory, settings store and headless back end for one client test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/headless_backend.h"
#include "platform/window_backend.h"

class ClientTestEnv {
public:
    ClientTestEnv() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = ::testing::TempDir() + "/zqclient_" + info->test_suite_name() + "_" + info->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        setenv("ZQ_RUN_DIR", dir_.c_str(), 1);
        setenv("ZQ_CONFIG_DIR", (dir_ + "/config").c_str(), 1);
        backend_ = new platform::HeadlessBackend;
        old_ = platform::InstallBackend(std::unique_ptr<platform::WindowBackend>(backend_));
    }
    ~ClientTestEnv() {
        platform::InstallBackend(std::move(old_));
        unsetenv("ZQ_RUN_DIR");
        unsetenv("ZQ_CONFIG_DIR");
        std::filesystem::remove_all(dir_);
    }

    const std::string& Dir() const { return dir_; }
#ifdef ZQ_RUN_DIR
    // Links the client's install files that the content builder wrote into the build's run
    // directory (data files, tables, colour lists) into this test's directory, so the client
    // starts as installed; the test's own zq.cfg stays its own.
    void LinkClientInstall() const {
        for (const auto& entry : std::filesystem::directory_iterator(ZQ_RUN_DIR)) {
            const std::string name = entry.path().filename().string();
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".mul" && ext != ".idx" && ext != ".txt")) {
                continue;
            }
            std::filesystem::create_symlink(entry.path(), dir_ + "/" + name);
        }
    }
#endif
    std::string InstallDir() const {
        return dir_ + "/";
    }
    platform::HeadlessBackend& Backend() {
        return *backend_;
    }

    void WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream out(dir_ + "/" + name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(dir_ + "/" + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

private:
    std::string dir_;
    platform::HeadlessBackend* backend_;
    std::unique_ptr<platform::WindowBackend> old_;
};
