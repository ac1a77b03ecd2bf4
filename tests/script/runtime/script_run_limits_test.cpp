// What keeps one script from taking the server down: values that stop growing at their
// limits, a time budget per activation on the process clock, and a quit request that ends a
// running handler at its next statement.
#include <functional>
#include <string>

#include "core/log_sink.h"
#include "core/loop_state.h"
#include "platform/clock.h"
#include "script/runtime/script_limits.h"
#include "script/script_runtime_fixture.h"

namespace {

// Runs an action for every entry the scripts log with severity "misc" (attachScript on an
// object that does not exist logs one): the way a test makes a handler take time or ask
// the process to quit from inside its loop.
class OnScriptLog : public LogObserver {
public:
    explicit OnScriptLog(std::function<void()> action)
        : action_(std::move(action)), previous_(GetLogSink().SetObserver(this)) {}
    ~OnScriptLog() override { GetLogSink().SetObserver(previous_); }
    void OnLogEntry(const LogEntryView& entry) override {
        if (std::string(entry.severity) == "misc")
            action_();
        else
            lines.push_back(entry.message);
    }
    std::vector<std::string> lines;  // everything else logged

private:
    std::function<void()> action_;
    LogObserver* previous_;
};

class ScriptRunLimits : public ScriptRuntimeTest {
protected:
    void SetUp() override {
        ScriptRuntimeTest::SetUp();
        savedSteps = SetScriptStepBudget(100'000'000);
        savedTime = SetScriptTimeBudget(kDefaultScriptTimeBudgetMs);
    }
    void TearDown() override {
        SetScriptStepBudget(savedSteps);
        SetScriptTimeBudget(savedTime);
        ScriptRuntimeTest::TearDown();
    }
    // The clock stands still unless a test steps it, so the time budget never ends a run
    // that a slow build makes long.
    platform::ManualClock clock{1000};
    s64 savedSteps = 0;
    u32 savedTime = 0;
};

// Each loop grows a value without end; the operation that would pass a limit is refused,
// the thread stops with one line naming the limit, the class and the handler, and the value
// stays as it was before that operation. `passes` counts the operations that were done.
TEST_F(ScriptRunLimits, GrowingValuesStopAtTheirLimits) {
    const struct {
        const char* name;
        const char* body;
        s32 passes;    // 2^24 bytes is the largest string; 2^19 - 1 elements the largest list
        s32 size;      // strlen or numInList of the value afterwards
        const char* reason;
    } rows[] = {
        {"doubles", R"(
    string s = "x";
    while (1) {
        s = s + s;
        passes++;
        size = strlen(s);
    })",
         24, 1 << 24, "a string longer than 16777216 bytes"},
        {"concats", R"(
    string s = "x";
    while (1) {
        concat(s, s);
        passes++;
        size = strlen(s);
    })",
         24, 1 << 24, "a string longer than 16777216 bytes"},
        {"selfappend", R"(
    list l;
    append(l, 1);
    while (1) {
        append(l, l);
        passes++;
        size = numInList(l);
    })",
         18, 19, "a list of more than 1000000 elements"},
        // 999 copies of 1,001 elements fit in a million, the next does not.
        {"wide", R"(
    list part;
    int i = 0;
    while (i < 1000) {
        append(part, i);
        i++;
    }
    list l;
    while (1) {
        append(l, part);
        passes++;
        size = numInList(l);
    })",
         999, 999, "a list of more than 1000000 elements"},
        // Sixteen strings of 1 MiB are all the text a list may hold.
        {"text", R"(
    string s = "x";
    int i = 0;
    while (i < 20) {
        s = s + s;
        i++;
    }
    list l;
    while (1) {
        append(l, s);
        passes++;
        size = numInList(l);
    })",
         16, 16, "a list holding more than 16777216 bytes of text"},
        {"substitute", R"(
    string s = "%%%%%%%%";
    string out;
    while (1) {
        textSubstitute(out, s, "%", s);
        s = out;
        out = "";
        passes++;
        size = strlen(s);
    })",
         3, 1 << 17, "a string longer than 16777216 bytes"},  // 8, 32, 512, 2^17, 2^33
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Compile({{row.name, std::string("member int passes;\nmember int size;\ntrigger use {\n"
                                        "    setDefaultReturn(3);") +
                                row.body + "\n    return 1;\n}\n"}});
        LogCapture log;
        CScriptInstance* in = Instance(row.name);
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), 3);
        EXPECT_EQ(Int(in, "passes"), row.passes);
        EXPECT_EQ(Int(in, "size"), row.size);
        ASSERT_EQ(log.FromSource("script").size(), 1u);
        const std::string line = log.FromSource("script")[0].message;
        EXPECT_NE(line.find(row.reason), std::string::npos) << line;
        EXPECT_NE(line.find(std::string("[") + row.name + "]"), std::string::npos) << line;
        EXPECT_NE(line.find("trigger use"), std::string::npos) << line;
        EXPECT_EQ(RunningThreadCount(), 0);
        manager.UnloadAll();  // the next row compiles a new string table
    }
}

// A list element replaced by one the list cannot take leaves the list as it was.
TEST_F(ScriptRunLimits, AReplacementTheListCannotTakeChangesNothing) {
    Compile({{"swap", R"(
member list l;
trigger use {
    string s = "x";
    int i = 0;
    while (i < 20) {
        s = s + s;
        i++;
    }
    append(l, "a");
    while (numInList(l) < 16) {
        append(l, s);
    }
    append(l, "b");
    append(l, "c");
    setItem(l, s, 16);
    return 1;
}
)"}});
    LogCapture log;
    CScriptInstance* in = Instance("swap");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 0);
    const CScriptList& l = *Member(in, "l").l;
    ASSERT_EQ(l.Count(), 18);
    EXPECT_STREQ(l.Tail()->prev->value.s->CText(), "b");
    EXPECT_STREQ(l.Tail()->value.s->CText(), "c");
    EXPECT_EQ(log.FromSource("script").size(), 1u);
}

// Statements that each take time stop at the activation's time budget on the process clock,
// whatever is left of the statement budget.
TEST_F(ScriptRunLimits, AnActivationStopsAtItsTimeBudget) {
    constexpr s32 kLook = static_cast<s32>(kTimeCheckStatements / kSlowStatementWeight);
    Compile({{"slow", R"(
member int passes;
trigger use {
    obj nobody;
    setDefaultReturn(4);
    while (passes < 1000) {
        attachScript(nobody, "none");
        passes++;
    }
    return 1;
}
)"}});
    const struct {
        u32 msPerPass;
        s32 answer;
        s32 minPasses, maxPasses;
    } rows[] = {
        {0, 1, 1000, 1000},
        {1, 1, 1000, 1000},  // the whole loop takes 1 s: the budget is per run, not per pass
        // The clock is read at least every kLook statements that run a builtin's handler.
        {10, 4, 10, 10 + kLook},
        {200, 4, 1, 1 + kLook},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.msPerPass);
        SetScriptTimeBudget(row.msPerPass == 1 ? 2000 : 100);
        OnScriptLog slow([&] { clock.Advance(row.msPerPass); });
        CScriptInstance* in = Instance("slow");
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), row.answer);
        EXPECT_GE(Int(in, "passes"), row.minPasses);
        EXPECT_LE(Int(in, "passes"), row.maxPasses);
        if (row.answer == 4) {
            ASSERT_EQ(slow.lines.size(), 1u);
            EXPECT_NE(slow.lines[0].find("longer than 100 ms"), std::string::npos)
                << slow.lines[0];
            EXPECT_NE(slow.lines[0].find("[slow]"), std::string::npos) << slow.lines[0];
        } else {
            EXPECT_TRUE(slow.lines.empty());
        }
        EXPECT_EQ(RunningThreadCount(), 0);
    }
}

// A quit request ends the running handler at its very next statement, with a log line; a
// handler started after the request (shutdown's own) runs to its end.
TEST_F(ScriptRunLimits, AQuitRequestEndsARunningHandlerAtItsNextStatement) {
    Compile({{"busy", R"(
member int passes;
trigger use {
    obj nobody;
    setDefaultReturn(6);
    while (1) {
        passes++;
        if (passes == 5) {
            attachScript(nobody, "none");
        }
    }
    return 1;
}
trigger creation {
    obj nobody;
    int i = 0;
    while (i < 100) {
        attachScript(nobody, "none");
        i++;
    }
    return i;
}
)"}});
    OnScriptLog quit([] { RequestQuit(); });
    CScriptInstance* in = Instance("busy");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 6);
    g_quitFlag.store(0);
    EXPECT_EQ(Int(in, "passes"), 5);
    ASSERT_EQ(quit.lines.size(), 1u);
    EXPECT_NE(quit.lines[0].find("quitting"), std::string::npos) << quit.lines[0];
    EXPECT_NE(quit.lines[0].find("[busy]"), std::string::npos) << quit.lines[0];
    // Quit was requested before this one started: it runs all its statements.
    RequestQuit();
    EXPECT_EQ(Fire(in, kTriggerCreation, {0}), 100);
    g_quitFlag.store(0);
    EXPECT_EQ(quit.lines.size(), 1u);
}

}  // namespace
