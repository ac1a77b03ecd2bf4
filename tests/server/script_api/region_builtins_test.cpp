// The region builtins run from a compiled script against the region manager.
#include "server/area/regions.h"
#include "server/script_api/world_builtins.h"
#include "tests/script/script_runtime_fixture.h"

namespace {

class RegionBuiltins : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        std::string error;
        ASSERT_TRUE(BindWorldBuiltins(error)) << error;
    }
    void TearDown() override {
        g_regionManager.Clear();
        ScriptRuntimeTest::TearDown();
    }
};

TEST_F(RegionBuiltins, IsInAreaAndFindClosestArea) {
    g_regionManager.LoadText(
        "version 64207\n"
        "1 10 10 10 10 -128 127 0 Spawn_near 0 0 0 0 0 The meadow\n"
        "2 100 100 10 10 -128 127 0 spawn_far 0 0 0 0 0 The far field\n");
    Compile({{"ask", R"(
member int inside;
member int outside;
member int found;
member int missing;
member string description;
member loc centre;
trigger use {
    loc here = 12, 12, 0;
    loc away = 50, 50, 0;
    inside = isInArea("spawn", here, 1);
    outside = isInArea("spawn", away, 1);
    found = findClosestArea(description, centre, "SPAWN", away, 1);
    string none = "kept";
    loc spot = 1, 2, 3;
    missing = findClosestArea(none, spot, "town", away, 1);
    return 1;
}
)"}});
    CScriptInstance* in = Instance("ask");
    Fire(in, kTriggerUse, {0});
    EXPECT_EQ(Int(in, "inside"), 1);
    EXPECT_EQ(Int(in, "outside"), 0);
    EXPECT_EQ(Int(in, "found"), 1);
    EXPECT_EQ(Str(in, "description"), "The meadow");
    const ScriptLoc centre = Member(in, "centre").c;
    EXPECT_EQ(centre.x, 15);
    EXPECT_EQ(centre.y, 15);
    EXPECT_EQ(Int(in, "missing"), 0);
}

}  // namespace
