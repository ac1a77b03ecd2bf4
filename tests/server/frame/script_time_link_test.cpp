// Script time handlers registered with the world clock when a script attaches, and taken
// back (with their queued triggers) when it is detached.
#include "server/frame/script_time_link.h"

#include <gtest/gtest.h>

#include "../../script/fake_world.h"
#include "../../script/script_runtime_fixture.h"
#include "platform/clock.h"
#include "script/runtime/script_runtime.h"
#include "script/runtime/triggers.h"
#include "server/frame/time_manager.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_services.h"

namespace {

class ScriptTimeLinkTest : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        SetScriptTimeServices(&clockLink);
    }
    void TearDown() override {
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        SetScriptTimeServices(nullptr);
        manager.FreeReleasedInstances();
        ScriptRuntimeTest::TearDown();
    }
    ClockTimeServices clockLink;
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
    QueueDeferredTrigger(1, kTriggerTime, world.Set(1)->scripts);
    const int queued = CountDeferredTriggers();
    world.Delete(1);  // the object goes: its instance is released
    EXPECT_EQ(g_timeManager.CountScheduled(SchedulePeriod::kHour, 18), before18);
    EXPECT_EQ(g_timeManager.CountScheduled(SchedulePeriod::kHour, 6), before6);
    EXPECT_LE(CountDeferredTriggers(), queued);
    RunDeferredTriggers();  // the cancelled entry is dropped, nothing runs
}

}  // namespace

namespace {

// The world tick's steps that reach the scripts, on the stand-in world.
class TickWorld : public WorldServices {
public:
    explicit TickWorld(FakeWorld& world) : world_(world) {}
    CBaseObject* FindBySerial(u32 serial) override { return world_.FindBySerial(serial); }
    void RunAllCallbacks() override { ::RunAllCallbacks(); }

private:
    FakeWorld& world_;
};

class ScriptTickTest : public ScriptTimeLinkTest {
protected:
    void SetUp() override {
        ScriptTimeLinkTest::SetUp();
        SetScriptServices(&services);
        SetWorldServices(&tick);
    }
    void TearDown() override {
        SetWorldServices(nullptr);
        ScriptTimeLinkTest::TearDown();
        SetScriptServices(nullptr);
    }
    ScriptRuntimeServices services;
    TickWorld tick{world};
};

TEST_F(ScriptTickTest, TimeHandlersAndCallbacksRunOnTheirPulses) {
    Compile({{"lamp", R"(
member int lit;
member int pings;
trigger time("hour:18") {
    lit = 1;
    return 1;
}
trigger callback(4) {
    pings++;
    return 1;
}
)"}});
    platform::ManualClock clock(1000);
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "lamp", 0), nullptr);
    CScriptInstance* in = world.Set(1)->scripts;
    GameCalendar evening = g_timeManager.GetCalendar();
    evening.hour = 18;  // the hour's list fires as hour 18 ends
    evening.minute = 59;
    evening.pulseInMinute = 19;
    ASSERT_TRUE(g_timeManager.SetCalendar(evening));
    ScheduleCallback(2, 1, 5, 4, nullptr);
    for (int pulse = 1; pulse <= 3; ++pulse) {
        g_timeManager.Update();
        clock.Advance(250);
        EXPECT_EQ(Int(in, "pings"), pulse == 3 ? 1 : 0) << pulse;
    }
    EXPECT_EQ(g_timeManager.GetHour(), 19);
    EXPECT_EQ(Int(in, "lit"), 1);
    // A detached script leaves the clock: the next evening finds nothing to run.
    DetachScript(o, "lamp");
    g_timeManager.Update();  // the release pass frees the instance
    EXPECT_EQ(manager.ReleasedInstanceCount(), 0);
}

}  // namespace
