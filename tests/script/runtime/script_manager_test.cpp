// The class registry on the archive the content builder packs: classes load on first use,
// parents first, once; a missing class is tried again; interned names are shared.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/archive_fixture.h"
#include "script/compiler/script_compiler.h"
#include "script/runtime/script_manager.h"

namespace {

class ScriptManagerTest : public ArchiveTest {
protected:
    void SetUp() override {
        const auto dir = std::filesystem::path(ZQ_SOURCE_DIR) / "content/scripts";
        std::vector<std::pair<std::string, std::vector<u8>>> members;
        std::string errors;
        ASSERT_TRUE(CompileScriptDirectory(dir.string(), members, errors)) << errors;
        ArchiveBuilder builder;
        for (const auto& [name, bytes] : members)
            ASSERT_TRUE(builder.Add(std::string(kScriptDataDirectory) + name, bytes));
        Open(builder);
    }
    CScriptManager manager;  // its own registry: the archive is this test's
};

TEST_F(ScriptManagerTest, AChildLoadsItsParentFirstAndEachClassOnce) {
    const CScriptClass* child = manager.FindClass("healstone");
    ASSERT_NE(child, nullptr) << manager.LastError();
    ASSERT_NE(child->parent, nullptr);
    EXPECT_EQ(child->parent->name, "baseitem");
    const int loads = manager.LoadCount();
    EXPECT_EQ(manager.FindClass("baseitem"), child->parent);
    EXPECT_EQ(manager.FindClass("healstone"), child);
    EXPECT_EQ(manager.LoadCount(), loads);  // nothing read again
}

TEST_F(ScriptManagerTest, AMissingClassIsTriedAgainAtEveryCall) {
    EXPECT_EQ(manager.FindClass("nosuchclass"), nullptr);
    const int loads = manager.LoadCount();
    EXPECT_EQ(manager.FindClass("nosuchclass"), nullptr);
    EXPECT_EQ(manager.LoadCount(), loads + 1);
}

TEST_F(ScriptManagerTest, InternedNamesAreSharedCopies) {
    const std::string text = "controller";
    const char* a = manager.InternString(text);
    EXPECT_NE(a, text.c_str());
    EXPECT_EQ(a, manager.InternString("controller"));
    EXPECT_NE(a, manager.InternString("Controller"));
}

}  // namespace
