// Script time handlers registered with the world clock when a script attaches, and taken
// back (with their queued triggers) when it is detached.
#include "core/frame/script_time_link.h"

#include <gtest/gtest.h>

#include "../../script/fake_world.h"
#include "../../script/script_runtime_fixture.h"
#include "core/frame/time_manager.h"
#include "script/triggers.h"

namespace {

class ScriptTimeLinkTest : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        InstallScriptTimeLink();
    }
    void TearDown() override {
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        SetScriptTimeLink(nullptr);
        manager.FreeReleasedInstances();
        ScriptRuntimeTest::TearDown();
    }
    FakeWorld world;
};

TEST_F(ScriptTimeLinkTest, TimeHandlersRegisterOnAttachAndLeaveOnDetach) {
    Compile({{"lamp", R"(
trigger time("hour:18") {
    return 1;
}
trigger time("hour:6") {
    return 1;
}
)"}});
    const int before18 = g_timeManager.CountScheduled(SchedulePeriod::kHour, 18);
    const int before6 = g_timeManager.CountScheduled(SchedulePeriod::kHour, 6);
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "lamp", 0), nullptr);
    EXPECT_EQ(g_timeManager.CountScheduled(SchedulePeriod::kHour, 18), before18 + 1);
    EXPECT_EQ(g_timeManager.CountScheduled(SchedulePeriod::kHour, 6), before6 + 1);
    QueueDeferredTrigger(1, 14, world.Set(1)->scripts);
    const int queued = CountDeferredTriggers();
    world.Delete(1);  // the object goes: its instance is released
    EXPECT_EQ(g_timeManager.CountScheduled(SchedulePeriod::kHour, 18), before18);
    EXPECT_EQ(g_timeManager.CountScheduled(SchedulePeriod::kHour, 6), before6);
    EXPECT_LE(CountDeferredTriggers(), queued);
    RunDeferredTriggers();  // the cancelled entry is dropped, nothing runs
}

}  // namespace
