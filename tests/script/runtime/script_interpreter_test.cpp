// The interpreter on scripts compiled from sources: calls, recursion, overrides, loops,
// switches, jumps, returns, by-reference builtins, killed threads.
#include <climits>

#include "core/log_sink.h"
#include "script/script_runtime_fixture.h"

namespace {

using Interpreter = ScriptRuntimeTest;

TEST_F(Interpreter, RecursionReturnsTheRightValueAtEveryLevel) {
    Compile({{"rec", R"(
member int f10;
member int fib15;
member list trace;
function int fact(int n) {
    append(trace, n);
    if (n <= 1) {
        return 1;
    }
    return n * fact(n - 1);
}
function int fib(int n) {
    if (n < 2) {
        return n;
    }
    return fib(n - 1) + fib(n - 2);
}
trigger use {
    f10 = fact(10);
    fib15 = fib(15);
    return 1;
}
)"}});
    CScriptInstance* in = Instance("rec");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1);
    EXPECT_EQ(Int(in, "f10"), 3628800);
    EXPECT_EQ(Int(in, "fib15"), 610);
    EXPECT_EQ(List(in, "trace"), "10|9|8|7|6|5|4|3|2|1");
}

// Recursion as deep as the documented cap runs to its end, in every build: the interpreter
// has a stack of its own sized for it.
TEST_F(Interpreter, RecursionRunsToTheCallDepthCap) {
    Compile({{"sum", R"(
member int want;
member int total;
member int text;  // items the deepest calls added to one list passed down
function int sum(int n) {
    if (n <= 0) {
        return 0;
    }
    return sum(n - 1) + n;
}
function void fill(int n, list l) {
    if (n <= 0) {
        return;
    }
    append(l, n);
    fill(n - 1, l);
}
trigger use {
    total = sum(want);
    list l;
    clearList(l);
    fill(want, l);
    text = numInList(l);
    return 1;
}
)"}});
    CScriptInstance* in = Instance("sum");
    // sum(n) nests n + 1 calls: the second run reaches the cap exactly.
    for (const s32 depth : {2000, kMaxScriptCallDepth - 1}) {
        LogCapture log;
        Member(in, "want").i = depth;
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1) << depth;
        EXPECT_EQ(Int(in, "total"), depth * (depth + 1) / 2) << depth;
        EXPECT_EQ(Int(in, "text"), depth) << depth;
        EXPECT_TRUE(log.FromSource("script").empty()) << depth;
    }
}

// Calls whose every level holds a long expression may need more stack than the cap's worth
// of plain calls: the thread then stops with a log line instead of overflowing the stack.
TEST_F(Interpreter, DeepCallsInsideLongExpressionsNeverOverflowTheStack) {
    // The longest chain the compiler takes (64 values) at every level of a deep recursion.
    std::string chain;
    for (int k = 0; k < 61; ++k)
        chain += " + \"a\"";
    Compile({{"wide", R"(
member int got;
function string f(int n) {
    if (n <= 0) {
        return "";
    }
    return f(n - 1))" + chain +
                          R"(;
}
trigger use {
    string s = f(9000);
    got = strlen(s);
    return 1;
}
)"}});
    LogCapture log;
    CScriptInstance* in = Instance("wide");
    const s32 answer = Fire(in, kTriggerUse, {0});
    if (log.FromSource("script").empty()) {
        EXPECT_EQ(answer, 1);
        EXPECT_EQ(Int(in, "got"), 9000 * 61);
    } else {
        EXPECT_EQ(answer, 0);
        EXPECT_NE(log.FromSource("script")[0].message.find("more stack"), std::string::npos);
    }
    EXPECT_EQ(RunningThreadCount(), 0);
}

TEST_F(Interpreter, RunawayRecursionStopsTheThreadWithALogLine) {
    Compile({{"deep", R"(
member int depth;
function int down(int n) {
    depth = n;
    return down(n + 1) + 1;
}
trigger use {
    setDefaultReturn(7);
    down(1);
    return 1;
}
)"}});
    LogCapture log;
    CScriptInstance* in = Instance("deep");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 7);  // killed: the default result
    EXPECT_EQ(Int(in, "depth"), kMaxScriptCallDepth);
    ASSERT_EQ(log.FromSource("script").size(), 1u);
    EXPECT_NE(log.FromSource("script")[0].message.find("nested deeper"), std::string::npos);
    // The thread is gone and another run starts afresh.
    EXPECT_EQ(RunningThreadCount(), 0);
}

// A handler that never ends is stopped once its activation has run the step budget: the log
// names the class and the statement, the thread answers its default, and every activation
// starts with a full budget.
TEST_F(Interpreter, StepBudgetStopsHandlersThatNeverEnd) {
    Compile({{"spin", R"(
member int passes;
function void forever() {
    while (1) {
        passes++;
    }
}
trigger use {
    setDefaultReturn(5);
    while (1) {
    }
    return 1;
}
trigger lookedat {
    forever();
    return 1;
}
trigger creation {
    int i = 0;
    while (i < 200) {
        i++;
    }
    return i;
}
)"}});
    const s64 saved = SetScriptStepBudget(1000);
    LogCapture log;
    CScriptInstance* in = Instance("spin");
    const struct {
        int trigger;
        s32 answer;
        const char* where;
    } rows[] = {
        {kTriggerUse, 5, "at statement 2 of trigger use (TK_ENDWHILE(->1))"},
        {28, 0, "of function forever"},
    };
    for (const auto& row : rows) {
        log.Clear();
        EXPECT_EQ(Fire(in, row.trigger, {0}), row.answer) << row.where;
        ASSERT_EQ(log.FromSource("script").size(), 1u) << row.where;
        const std::string line = log.FromSource("script")[0].message;
        EXPECT_NE(line.find("more than 1000 statements"), std::string::npos) << line;
        EXPECT_NE(line.find(row.where), std::string::npos) << line;
        EXPECT_NE(line.find("[spin]"), std::string::npos) << line;
        EXPECT_EQ(RunningThreadCount(), 0);
    }
    EXPECT_GT(Int(in, "passes"), 300);
    EXPECT_LT(Int(in, "passes"), 1000);
    // About 600 statements each: two runs together exceed the budget, each alone does not.
    log.Clear();
    EXPECT_EQ(Fire(in, kTriggerCreation, {0}), 200);
    EXPECT_EQ(Fire(in, kTriggerCreation, {0}), 200);
    EXPECT_TRUE(log.FromSource("script").empty());
    SetScriptStepBudget(saved);
}

TEST_F(Interpreter, OverriddenFunctionRunsEvenFromInheritedCode) {
    Compile({{"parent", R"(
member int got;
function int kind() {
    return 1;
}
trigger use {
    got = kind();
    return 1;
}
)"},
             {"child", R"(
inherits parent;
function int kind() {
    return 2;
}
)"}});
    CScriptInstance* p = Instance("parent");
    CScriptInstance* c = Instance("child");
    Fire(p, kTriggerUse, {0});
    Fire(c, kTriggerUse, {0});
    EXPECT_EQ(Int(p, "got"), 1);
    EXPECT_EQ(Int(c, "got"), 2);
}

TEST_F(Interpreter, ByReferenceArgumentsWriteBackIntoVariables) {
    Compile({{"refs", R"(
member int m;
member loc here;
member int fromText;
member string upper;
member int local;
member int viaFunction;
function int bump(int v) {
    v++;
    return v;
}
trigger use {
    int x = 5;
    x++;
    x++;
    local = x;
    m = 10;
    m--;
    here = 1, 2, 3;
    fromText = "  -42abc";
    upper = "hello";
    toUpper(upper, 1, 3);
    int y = 3;
    viaFunction = bump(y) + y;
    return 1;
}
)"}});
    CScriptInstance* in = Instance("refs");
    Fire(in, kTriggerUse, {0});
    EXPECT_EQ(Int(in, "local"), 7);
    EXPECT_EQ(Int(in, "m"), 9);
    EXPECT_EQ(LocationOf(Member(in, "here")), Location(1, 2, 3));
    EXPECT_EQ(Int(in, "fromText"), -42);
    EXPECT_EQ(Str(in, "upper"), "hELlo");
    EXPECT_EQ(Int(in, "viaFunction"), 7);  // the parameter is a copy: y stays 3
}

// A string, ustring or list variable passed to a function is the function's parameter
// itself; a constant or a computed value passes a copy, so compiled constants never change.
TEST_F(Interpreter, VariableArgumentsAreTheCallersObjectsConstantsAreCopied) {
    Compile({{"params", R"(
member string out;
member string after;
member list filled;
member list nest;
member int innerCount;
member ustring wide;
member ustring wideAfter;
function string shout(string s) {
    s = s + "!";
    return s;
}
function void fill(list out) {
    append(out, 1);
    append(out, "two");
}
function void fillTwice(list l) {
    fill(l);
    fill(l);
}
function void grow(list l) {
    append(l, 5);
    innerCount = numInList(l);
}
function void widen(ustring u) {
    u = L"zz";
}
trigger use {
    string a = "hey";
    out = shout(a);
    after = a;
    out = out + shout("x");
    clearList(filled);
    fill(filled);
    list mine;
    fillTwice(mine);
    append(filled, numInList(mine));
    list inner = 7;
    nest = inner;
    nest = 0;
    append(nest, inner);
    grow(nest[1]);
    widen(wide);
    widen(L"k");
    widen(wideAfter);
    wideAfter = L"k";
    return 1;
}
)"}});
    CScriptInstance* in = Instance("params");
    for (int run = 0; run < 2; ++run) {  // the constants "x" and L"k" are the same each run
        Fire(in, kTriggerUse, {0});
        EXPECT_EQ(Str(in, "out"), "hey!x!");
        EXPECT_EQ(Str(in, "after"), "hey!");
        EXPECT_EQ(List(in, "filled"), "1|two|4");
        EXPECT_EQ(List(in, "nest"), "0|<5>");
        EXPECT_EQ(Member(in, "nest").l->Tail()->value.l->Count(), 1);  // grew a copy
        EXPECT_EQ(Int(in, "innerCount"), 2);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(Member(in, "wide").q->CText())),
                  u"zz");
        EXPECT_EQ(
            std::u16string(reinterpret_cast<const char16_t*>(Member(in, "wideAfter").q->CText())),
            u"k");
    }
}

TEST_F(Interpreter, LoopsSwitchesAndJumps) {
    Compile({{"flow", R"(
member list seen;
member int sum;
member int count;
function void classify(int v) {
    switch (v) {
        case 1:
            append(seen, "one");
        case 2:
            append(seen, "two");
            break;
        case -3:
            append(seen, "minus3");
            break;
        default:
            append(seen, "other");
    }
}
function void nodefault(int v) {
    switch (v) {
        case 5:
            append(seen, "five");
            break;
    }
    append(seen, "after");
}
trigger use {
    int i = 0;
    while (i < 10) {
        i++;
        if (i == 3) {
            continue;
        }
        if (i == 8) {
            break;
        }
        sum = sum + i;
    }
    for (int j = 0; j < 4; j++) {
        count = count + 10;
    }
    for (int k = 0; ; k++) {
        if (k == 2) {
            break;
        }
        count++;
    }
    classify(1);
    classify(2);
    classify(-3);
    classify(9);
    nodefault(5);
    nodefault(6);
    int n = 0;
again:
    n++;
    if (n < 3) {
        goto again;
    }
    append(seen, n);
    goto done;
    append(seen, "skipped");
done:
    return 1;
}
)"}});
    CScriptInstance* in = Instance("flow");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1);
    EXPECT_EQ(Int(in, "sum"), 1 + 2 + 4 + 5 + 6 + 7);
    EXPECT_EQ(Int(in, "count"), 42);
    EXPECT_EQ(List(in, "seen"), "one|two|two|minus3|other|five|after|after|3");
}

TEST_F(Interpreter, ReturnFormsAndTheValueWithoutReturn) {
    Compile({{"rets", R"(
member int noReturnInt;
member string noReturnStr;
member loc place;
member obj who;
function int quiet() {
    int z = 5;
}
function string quietStr() {
    int z = 5;
}
function loc where() {
    loc p = 7, 8, 9;
    return p;
}
function obj whoami() {
    return this;
}
function void early(int v) {
    if (v > 0) {
        return;
    }
    noReturnInt = 99;
}
trigger use {
    noReturnInt = quiet();
    noReturnStr = quietStr();
    place = where();
    who = whoami();
    early(1);
    return 5;
}
trigger lookedat {
    int a = 3;
    strlen("abcdefg");
}
trigger wasgotten {
}
trigger equip {
    quiet();
    early(1);
}
)"}});
    CScriptInstance* in = Instance("rets");
    in->SetObject(nullptr, 1234);
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 5);
    EXPECT_EQ(Int(in, "noReturnInt"), 0);
    EXPECT_EQ(Str(in, "noReturnStr"), "");
    EXPECT_EQ(LocationOf(Member(in, "place")), Location(7, 8, 9));
    EXPECT_EQ(Int(in, "who"), 1234);
    EXPECT_EQ(Fire(in, kTriggerLookedAt, {0}), 7);   // the last statement value: strlen's 7
    EXPECT_EQ(Fire(in, kTriggerWasGotten, {0}), 0);  // no statements
    EXPECT_EQ(Fire(in, kTriggerEquip, {0}), 0);      // quiet() left 0; the void call leaves nothing
}

TEST_F(Interpreter, KilledThreadsAnswerTheirDefault) {
    Compile({{"kill", R"(
member int before;
member int after;
member list l;
function int inner() {
    int x = l[5];
    after = 1;
    return 3;
}
trigger use {
    before = 1;
    int v = l[2];
    after = 1;
    return 1;
}
trigger lookedat {
    setDefaultReturn(9);
    before = inner() + 1;
    after = 2;
    return 1;
}
trigger wasgotten {
    setDefaultReturn(4);
    return 6;
}
)"}});
    CScriptInstance* in = Instance("kill");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 0);
    EXPECT_EQ(Int(in, "before"), 1);
    EXPECT_EQ(Int(in, "after"), 0);
    EXPECT_EQ(Fire(in, kTriggerLookedAt, {0}), 9);  // killed inside a called function
    EXPECT_EQ(Int(in, "before"), 1);
    EXPECT_EQ(Int(in, "after"), 0);
    EXPECT_EQ(Fire(in, kTriggerWasGotten, {0}), 6);  // a normal end overrides the default
}

TEST_F(Interpreter, UnbuiltBuiltinStopsTheThreadWithItsName) {
    Compile({{"unbuilt", R"(
member int after;
trigger use {
    bark(this, "hi");
    after = 1;
    return 1;
}
)"}});
    LogCapture log;
    CScriptInstance* in = Instance("unbuilt");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 0);
    EXPECT_EQ(Int(in, "after"), 0);
    ASSERT_EQ(log.FromSource("script").size(), 1u);
    EXPECT_NE(log.FromSource("script")[0].message.find("'bark'"), std::string::npos);
}

TEST_F(Interpreter, StringAndListLocalsAreFreshAtEveryStart) {
    Compile({{"fresh", R"(
member int len;
member int items;
trigger use {
    string s;
    list l;
    s = s + "ab";
    append(l, 1);
    len = strlen(s);
    items = numInList(l);
    return 1;
}
)"}});
    CScriptInstance* in = Instance("fresh");
    Fire(in, kTriggerUse, {0});
    Fire(in, kTriggerUse, {0});
    EXPECT_EQ(Int(in, "len"), 2);
    EXPECT_EQ(Int(in, "items"), 1);
}

}  // namespace
