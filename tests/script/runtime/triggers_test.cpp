// Triggers on objects of a stand-in world: order and vetoes, chances, selection by pattern,
// name and key, messages, nesting, deletion and detaching while handlers run, creation
// triggers held back during the load, attaching and type scripts.
#include "script/runtime/triggers.h"
#include "core/log_sink.h"
#include "platform/random.h"
#include "script/fake_world.h"
#include "script/language/script_value.h"
#include "script/runtime/script_manager.h"
#include "script/script_runtime_fixture.h"

namespace {

constexpr u32 kLog = 900;

// A log object: every "seen" message appends its first argument to the member "seen".
const char* kLogScript = R"(
member list seen;
trigger message("seen") {
    string what = args[0];
    append(seen, what);
    return 1;
}
)";

// A handler that reports its name to the log object (the "usedon" parameter) and answers.
std::string Reporter(const char* name, int answer) {
    return std::string("trigger targetobj {\n    list l = \"") + name +
           "\";\n    messageret(this, usedon, \"seen\", l);\n    return " + std::to_string(answer) +
           ";\n}\n";
}

class Triggers : public ScriptRuntimeTest {
protected:
    void TearDown() override {
        while (!world.objects.empty())
            world.Delete(world.objects.begin()->first);
        manager.FreeReleasedInstances();
        FreeReleasedValues();
        ScriptRuntimeTest::TearDown();
    }
    CBaseObject* LogObject() {
        CBaseObject* log = world.Add(kLog);
        EXPECT_EQ(AttachScript(log, "logger", 0), nullptr);
        return log;
    }
    std::string Seen() {
        CScriptInstance* i = ObjScripts::FindClassNamed(world.Set(kLog), "logger");
        return i ? List(i, "seen") : "<no logger>";
    }
    int Use(CBaseObject* o) {
        ScriptTriggerArgs args;
        args.params = {TriggerValue::Obj(1), TriggerValue::Obj(kLog)};
        return sendTrigger(o, kTriggerTargetObj, args);
    }
    FakeWorld world;
};

TEST_F(Triggers, HandlersRunNewestScriptFirstAndAZeroAnswerVetoes) {
    Compile({{"logger", kLogScript},
             {"base", Reporter("p", 1)},
             {"child", "inherits base;\n" + Reporter("c1", 1) + Reporter("c2", 1)},
             {"other", Reporter("other", 1)},
             {"vetoer", Reporter("veto", 0)}});
    LogObject();
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "child", 0), nullptr);
    ASSERT_EQ(AttachScript(o, "other", 0), nullptr);
    EXPECT_EQ(Use(o), 1);
    EXPECT_EQ(Seen(), "other|c2|c1|p");

    CBaseObject* v = world.Add(2);
    ASSERT_EQ(AttachScript(v, "child", 0), nullptr);
    ASSERT_EQ(AttachScript(v, "vetoer", 0), nullptr);
    EXPECT_EQ(Use(v), 0);
    EXPECT_EQ(Seen(), "other|c2|c1|p|veto");
    // An object without handlers for the trigger lets the event go on.
    EXPECT_EQ(sendTrigger(world.Add(3), kTriggerTargetObj, {}), 1);
    EXPECT_EQ(sendTrigger(nullptr, kTriggerTargetObj, {}), 1);
}

TEST_F(Triggers, PriorityIsTheChanceOutOf1024) {
    Compile({{"chance", R"(
member int never;
member int always;
member int half;
trigger 0 use {
    never++;
    return 1;
}
trigger use {
    always++;
    return 1;
}
trigger 512 use {
    half++;
    return 1;
}
)"}});
    platform::SeedRandom(12345);
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "chance", 0), nullptr);
    ScriptTriggerArgs args;
    args.params = {TriggerValue::Obj(5)};
    for (int k = 0; k < 400; ++k)
        EXPECT_EQ(sendTrigger(o, kTriggerUse, args), 1);
    CScriptInstance* in = world.Set(1)->scripts;
    EXPECT_EQ(Int(in, "never"), 0);
    EXPECT_EQ(Int(in, "always"), 400);
    EXPECT_GT(Int(in, "half"), 150);
    EXPECT_LT(Int(in, "half"), 250);
}

TEST_F(Triggers, SpeechPatternsMessagesAndKeysSelectHandlers) {
    Compile({{"sel", R"(
member list heard;
member int argsCount;
member int lastItem;
member int keyed;
trigger speech("*hello*") {
    append(heard, arg);
    return 1;
}
trigger message("count") {
    argsCount = numInList(args);
    lastItem = args[3];
    return 1;
}
trigger callback(7) {
    keyed = keyed + 7;
    return 1;
}
trigger callback(8) {
    keyed = keyed + 8;
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "sel", 0), nullptr);
    CScriptInstance* in = world.Set(1)->scripts;
    for (const char* text : {"well HELLO there", "bye", "hello"}) {
        ScriptTriggerArgs args;
        args.select = text;
        args.params = {TriggerValue::Obj(5), TriggerValue::Str(text)};
        EXPECT_EQ(sendTrigger(o, kTriggerSpeech, args), 1);
    }
    EXPECT_EQ(List(in, "heard"), "well HELLO there|hello");

    CScriptList two;
    two.Append(kTypeInt, ScriptListValue::Int(10));
    two.Append(kTypeInt, ScriptListValue::Int(11));
    std::vector<TriggerValue> values = {TriggerValue::Int(5), TriggerValue::Str("text"),
                                        TriggerValue::List(&two)};
    EXPECT_EQ(SendScriptMessage(o, 7, "count", values, "isx"), 1);
    EXPECT_EQ(Int(in, "argsCount"), 4);
    EXPECT_EQ(Int(in, "lastItem"), 11);
    EXPECT_EQ(SendScriptMessage(o, 7, "Count", values, "isx"), 1);  // names are case-sensitive
    EXPECT_EQ(Int(in, "argsCount"), 4);

    ScriptTriggerArgs key;
    key.key = 8;
    sendTrigger(o, kTriggerCallback, key);
    EXPECT_EQ(Int(in, "keyed"), 8);
}

TEST_F(Triggers, ASpeechHandlerRunsWithTheCapturesOfItsOwnPattern) {
    Compile({{"shop", R"(
member int heard;
trigger speech("zzz*") {
    heard = heard + 100;
    return 1;
}
trigger speech("buy * now") {
    heard = heard + 1;
    return 1;
}
trigger speech("qqq*") {
    heard = heard + 100;
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "shop", 0), nullptr);
    ScriptTriggerArgs args;
    args.select = "Buy a long sword NOW";
    args.params = {TriggerValue::Obj(5), TriggerValue::Str(args.select.c_str())};
    EXPECT_EQ(sendTrigger(o, kTriggerSpeech, args), 1);
    EXPECT_EQ(Int(world.Set(1)->scripts, "heard"), 1);
    ASSERT_EQ(SpeechCaptures().Used(), 1);
    EXPECT_STREQ(SpeechCaptures().GetCapture(0), "a long sword");
}

TEST_F(Triggers, ValuesOfTheWrongTypeNeverReachAStringParameter) {
    Compile({{"talk", R"(
member int len;
trigger speech("*") {
    len = strlen(arg) + 1;
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "talk", 0), nullptr);
    ScriptTriggerArgs args;
    args.params = {TriggerValue::Obj(5), TriggerValue::Int(0x1234)};  // an int for the text
    EXPECT_EQ(sendTrigger(o, kTriggerSpeech, args), 1);
    EXPECT_EQ(Int(world.Set(1)->scripts, "len"), 1);
    args.params.resize(1);  // and no text at all
    EXPECT_EQ(sendTrigger(o, kTriggerSpeech, args), 1);
    EXPECT_EQ(Int(world.Set(1)->scripts, "len"), 1);
}

TEST_F(Triggers, NestingBeyond64ThreadsIsRefused) {
    Compile({{"nest", R"(
member int depth;
trigger message("again") {
    depth++;
    list l;
    messageret(this, this, "again", l);
    return 1;
}
)"}});
    LogCapture log;
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "nest", 0), nullptr);
    EXPECT_EQ(SendScriptMessage(o, 0, "again", {}, ""), 1);
    EXPECT_EQ(Int(world.Set(1)->scripts, "depth"), kMaxNestedScriptThreads);
    ASSERT_EQ(log.FromSource("script").size(), 1u);
    EXPECT_EQ(log.FromSource("script")[0].message, "Too many recursive thread calls [nest, nest]");
    EXPECT_EQ(RunningThreadCount(), 0);
}

TEST_F(Triggers, DeletingTheObjectDuringItsTriggerSkipsItsOtherHandlers) {
    Compile({{"logger", kLogScript}, {"first", Reporter("first", 1)}, {"killer", R"(
member int after;
trigger targetobj {
    list l = "killer";
    messageret(this, usedon, "seen", l);
    setDefaultReturn(1);
    deleteObjectNoFall(this);
    after = 1;
    return 1;
}
)"}});
    LogObject();
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "first", 0), nullptr);
    ASSERT_EQ(AttachScript(o, "killer", 0), nullptr);
    const int live = manager.LiveInstanceCount();
    EXPECT_EQ(Use(o), 1);  // the killed handler answers its default, 1
    EXPECT_EQ(world.FindBySerial(1), nullptr);
    EXPECT_EQ(Seen(), "killer");  // "first" was torn down before its turn
    EXPECT_EQ(manager.ReleasedInstanceCount(), 2);
    manager.FreeReleasedInstances();
    EXPECT_EQ(manager.LiveInstanceCount(), live - 2);
}

TEST_F(Triggers, ANestedHandlerMayDetachTheOuterScript) {
    Compile({{"outer", R"(
member int after;
trigger use {
    setDefaultReturn(3);
    list l;
    messageret(this, user, "detach", l);
    after = 1;
    return 1;
}
)"},
             {"detacher", R"(
trigger message("detach") {
    detachScript(sender, "outer");
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    CBaseObject* d = world.Add(2);
    ASSERT_EQ(AttachScript(o, "outer", 0), nullptr);
    ASSERT_EQ(AttachScript(d, "detacher", 0), nullptr);
    CScriptInstance* outer = world.Set(1)->scripts;
    ScriptTriggerArgs args;
    args.params = {TriggerValue::Obj(2)};
    EXPECT_EQ(sendTrigger(o, kTriggerUse, args), 3);  // killed: its default
    EXPECT_TRUE(outer->IsTornDown());
    EXPECT_EQ(Int(outer, "after"), 0);
    EXPECT_EQ(world.Set(1), nullptr);  // the emptied set is released
}

TEST_F(Triggers, ANestedHandlerMayDeleteTheOuterObject) {
    Compile({{"logger", kLogScript},
             {"second", Reporter("second", 1)},
             {"caller", R"(
member int after;
trigger targetobj {
    list l = "caller";
    messageret(this, usedon, "seen", l);
    messageret(this, usedon, "delete", l);
    after = 1;
    return 1;
}
)"},
             {"deleter", R"(
trigger message("delete") {
    deleteObjectNoFall(sender);
    return 1;
}
)"}});
    LogObject();
    ASSERT_EQ(AttachScript(world.FindBySerial(kLog), "deleter", 0), nullptr);
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "second", 0), nullptr);
    ASSERT_EQ(AttachScript(o, "caller", 0), nullptr);
    CScriptInstance* caller = world.Set(1)->scripts;
    EXPECT_EQ(Use(o), 0);
    EXPECT_EQ(world.FindBySerial(1), nullptr);
    EXPECT_EQ(Int(caller, "after"), 0);
    EXPECT_EQ(Seen(), "caller");  // "second" never ran
    manager.FreeReleasedInstances();
}

TEST_F(Triggers, AHandlerDetachingItsOwnScriptStopsAtOnce) {
    Compile({{"selfdetach", R"(
member int after;
trigger use {
    detachScript(this, "selfdetach");
    after = 1;
    return 1;
}
)"}});
    CBaseObject* o = world.Add(1);
    ASSERT_EQ(AttachScript(o, "selfdetach", 0), nullptr);
    CScriptInstance* in = world.Set(1)->scripts;
    EXPECT_EQ(sendTrigger(o, kTriggerUse, {}), 0);
    EXPECT_EQ(Int(in, "after"), 0);
    manager.FreeReleasedInstances();
}

TEST_F(Triggers, CreationTriggersWaitForTheEndOfTheLoad) {
    Compile({{"born", R"(
member int created;
trigger creation {
    created++;
    return 1;
}
)"}});
    CBaseObject* a = world.Add(1);
    CBaseObject* b = world.Add(2);
    BeginDeferCreationTriggers();
    ASSERT_EQ(AttachScript(a, "born", 1), nullptr);
    ASSERT_EQ(AttachScript(b, "born", 1), nullptr);
    CScriptInstance* ia = world.Set(1)->scripts;
    EXPECT_EQ(Int(ia, "created"), 0);
    world.Delete(2);
    FireDeferredCreationTriggers();
    EXPECT_EQ(Int(ia, "created"), 1);
    // Outside the load the trigger fires at once, for the new instance only.
    CBaseObject* c = world.Add(3);
    ASSERT_EQ(AttachScript(c, "born", 1), nullptr);
    EXPECT_EQ(Int(world.Set(3)->scripts, "created"), 1);
    EXPECT_EQ(Int(ia, "created"), 1);
}

TEST_F(Triggers, AttachingAndTypeScripts) {
    Compile({{"plain", "member int x;\n"},
             {"3705", "member int got;\ntrigger creation {\n    got = 1;\n    return 1;\n}\n"},
             {"3706", "trigger creation {\n    deleteObjectNoFall(this);\n    return 1;\n}\n"}});
    CBaseObject* o = world.Add(1, 3705);
    EXPECT_STREQ(AttachScript(o, "nosuch", 0), "Failed to get script class");
    EXPECT_EQ(AttachScript(o, "plain", 0), nullptr);
    EXPECT_STREQ(AttachScript(o, "plain", 0), "Script already attached of class");
    EXPECT_EQ(AttachTypeScript(o), 1);  // the bit is clear
    EXPECT_EQ(world.Set(1)->scripts->GetClass()->name, "plain");
    world.typeScripts = {3705, 3706, 3707};
    EXPECT_EQ(AttachTypeScript(o), 1);
    EXPECT_EQ(world.Set(1)->scripts->GetClass()->name, "3705");
    EXPECT_EQ(Int(world.Set(1)->scripts, "got"), 1);
    EXPECT_TRUE(ObjScripts::HasScriptNamed(world.Set(1), "37"));
    EXPECT_TRUE(ObjScripts::HasScriptNamed(world.Set(1), "pla"));
    EXPECT_FALSE(ObjScripts::HasScriptNamed(world.Set(1), "37050"));
    EXPECT_EQ(AttachTypeScript(world.Add(2, 3707)), 1);  // no such class: nothing attached
    EXPECT_EQ(world.Set(2), nullptr);
    EXPECT_EQ(AttachTypeScript(world.Add(3, 3706)), 0);  // its creation handler deleted it
    EXPECT_EQ(manager.InternString("abc"), manager.InternString(std::string("abc")));
}

}  // namespace
