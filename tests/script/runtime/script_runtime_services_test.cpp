// The real script services the tick and the frame call: one-instance triggers, script
// messages that answer 0 without a handler, the release passes.
#include "script/fake_world.h"
#include "script/runtime/script_runtime.h"
#include "script/runtime/triggers.h"
#include "script/script_runtime_fixture.h"

namespace {

class RuntimeServices : public ScriptRuntimeTest {
protected:
    void TearDown() override {
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        services.ReleaseQueuedScriptValues();
        services.ReleaseQueuedScriptInstances();
        ScriptRuntimeTest::TearDown();
    }
    FakeWorld world;
    ScriptRuntimeServices services;
};

TEST_F(RuntimeServices, TimeTriggersRunTheirInstanceOnly) {
    Compile({{"clock", R"(
member int ticks;
trigger time("hour:18") {
    ticks++;
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "clock", 0), nullptr);
    ASSERT_EQ(AttachScript(o, "clock", 0), std::string("Script already attached of class"));
    CScriptInstance* in = world.Set(1)->scripts;
    EXPECT_EQ(services.GetInstanceObjectSerial(in), 1u);
    EXPECT_EQ(services.sendTrigger(o, kTriggerTime, in), 1);
    EXPECT_EQ(Int(in, "ticks"), 1);
    CBaseObject* other = world.Add(2);
    EXPECT_EQ(services.sendTrigger(other, kTriggerTime, in), 1);  // not its object: nothing runs
    EXPECT_EQ(Int(in, "ticks"), 1);
    DetachScript(o, "clock");
    EXPECT_EQ(services.GetInstanceObjectSerial(in), 0u);
    EXPECT_EQ(services.sendTrigger(o, kTriggerTime, in), 1);
    EXPECT_EQ(manager.ReleasedInstanceCount(), 1);
    services.ReleaseQueuedScriptInstances();
    EXPECT_EQ(manager.ReleasedInstanceCount(), 0);
}

TEST_F(RuntimeServices, ScriptMessagesAnswerZeroWithoutAHandler) {
    Compile({{"doomed", R"(
trigger message("armageddon") {
    int n = args[0];
    return n;
}
)"}});
    CBaseObject* plain = world.Add(1);
    CBaseObject* doomed = world.Add(2);
    ASSERT_EQ(AttachScript(doomed, "doomed", 0), nullptr);
    EXPECT_EQ(services.SendScriptMessage(plain, "armageddon", 1), 0);
    EXPECT_EQ(services.SendScriptMessage(doomed, "armageddon", 1), 1);
    EXPECT_EQ(services.SendScriptMessage(doomed, "other", 1), 0);
}

}  // namespace
