#pragma once
// Scripts on real world objects: the small test world with the server's real services in
// force (the world's trigger and object services, the builtins bound as at start-up) and
// classes compiled from sources served from memory.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_world_link.h"
#include "server/world/timed_callbacks.h"
#include "tests/script/script_runtime_fixture.h"
#include "tests/server/server_services_scope.h"
#include "tests/server/world/world_test_support.h"

class WorldScriptsTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        GetScriptManager().SetClassSource(&source);
        // The real world, in place of WorldTest's recording triggers and packets (the packets
        // go to the players in range: none here).
        realServices_.emplace();
    }
    void TearDown() override {
        DeleteAllObjects();
        RunAllCallbacks();
        GetScriptManager().FreeReleasedInstances();
        FreeReleasedValues();
        realServices_.reset();
        GetScriptManager().UnloadAll();
        GetScriptManager().SetClassSource(nullptr);
        WorldTest::TearDown();
    }
    void Compile(const std::vector<std::pair<std::string, std::string>>& sources) {
        ASSERT_EQ(CompileSources(sources, source), "");
    }
    // The most recently attached script of the item, or null.
    CScriptInstance* First(CItem* item) {
        CObjAttachments** set = GetScriptObjectServices().AttachmentsOf(item);
        return set && *set ? (*set)->scripts : nullptr;
    }
    ScriptSlot& Member(CScriptInstance* in, const char* name) {
        const int index = in->GetClass()->members.Find(name);
        EXPECT_GE(index, 0) << name;
        return in->Member(index < 0 ? 0 : index);
    }
    s32 MemberInt(CScriptInstance* in, const char* name) { return Member(in, name).i; }

    MemoryClassSource source;
    std::optional<ServerServicesScope> realServices_;
};
