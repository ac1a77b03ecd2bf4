#pragma once
// A clean client world (WorldFixture) whose data cache reads the generated client install
// linked into the test's own directory.
#include <memory>

#include "client/data/data_file_cache.h"
#include "tests/client/app/client_test_env.h"
#include "tests/client/world/world_fixture.h"

class InstalledWorldFixture : public WorldFixture {
protected:
    void SetUp() override {
        env_.reset(new ClientTestEnv);
        env_->LinkClientInstall();
        DataCacheSettings s;
        s.hdDir = env_->InstallDir();
        s.maximumInstall = true;
        TheDataCache().Init(s);
    }
    void TearDown() override {
        ResetWorld();
        TheDataCache().Shutdown();
    }

    std::unique_ptr<ClientTestEnv> env_;
};
