// Integer expressions and bodies as the interpreter compiles them: every operator and operand
// kind gives the value the language defines, operands are read in the tree's left-to-right
// order even around calls, and a body mixing compiled statements with others (switches,
// calls, strings) runs as the statements say.
#include <string>

#include "core/log_sink.h"
#include "script/runtime/int_code.h"
#include "script/script_runtime_fixture.h"

namespace {

using IntCodeRun = ScriptRuntimeTest;

// Each expression is computed with the locals a = 7, b = -3, c = 0 and the member m = 5, in
// an assignment, a return, an if's condition and a while's; all four must agree with the
// value.
TEST_F(IntCodeRun, EveryOperatorGivesTheLanguagesValue) {
    const struct {
        const char* expr;
        s32 value;
    } rows[] = {
        {"a + b", 4},
        {"a - b - 1", 9},
        {"a * b * a", -147},
        {"a / b", -2},
        {"b % a", -3},
        {"a / c", 2147483647},  // division by zero
        {"a % c", 2147483647},
        {"a / -1", -7},
        {"a % -1", 0},
        {"2147483647 + 1", -2147483647 - 1},  // wraps
        {"a && b", 1},
        {"a && c", 0},
        {"c || b", 1},
        {"c || c", 0},
        {"a ^ b", 7 ^ -3},
        {"a == 7", 1},
        {"a != 7", 0},
        {"b < a", 1},
        {"a > a", 0},
        {"a >= 7", 1},
        {"b <= -4", 0},
        {"!c", 1},
        {"!(a - 7)", 1},
        {"!a", 0},
        {"((((a))))", 7},
        {"m * (a + m)", 60},
        {"(a * b) + ((m * a) + ((b * b) + (a * a)))", -21 + 35 + 9 + 49},
        {"(3 * 4) + 5", 17},
        {"a + (b * (c + (m - (a / (b + 1)))))", 7 + -3 * (0 + (5 - (7 / -2)))},
        {"fn(a) + (fn(b) * m)", 17 + 7 * 5},
        {"(a < m) + ((m < a) * 2) + ((a == m) * 4)", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expr);
        const std::string e = row.expr;
        Compile({{"ops", R"(
member int m;
member int assigned;
member int returned;
member int viaIf;
member int viaWhile;
function int fn(int x) {
    return x + 10;
}
function int compute(int a, int b, int c) {
    return )" + e + R"(;
}
trigger use {
    int a = 7;
    int b = -3;
    int c = 0;
    m = 5;
    int v = )" + e + R"(;
    assigned = v;
    returned = compute(a, b, c);
    if ()" + e + R"() {
        viaIf = 1;
    } else {
        viaIf = 0;
    }
    viaWhile = 0;
    while ()" + e + R"() {
        viaWhile = 1;
        break;
    }
    return 1;
}
)"}});
        CScriptInstance* in = Instance("ops");
        ASSERT_EQ(Fire(in, kTriggerUse, {0}), 1);
        EXPECT_EQ(Int(in, "assigned"), row.value);
        EXPECT_EQ(Int(in, "returned"), row.value);
        EXPECT_EQ(Int(in, "viaIf"), row.value != 0);
        EXPECT_EQ(Int(in, "viaWhile"), row.value != 0);
        manager.UnloadAll();
    }
}

// The left operand is read before the right side runs: a member the right side's call
// changes, and a local the loop changes between passes.
TEST_F(IntCodeRun, OperandsAreReadLeftToRightAroundCalls) {
    Compile({{"order", R"(
member int total;
member int got;
member int sum;
function int bump(int by) {
    total = total + by;
    return by;
}
trigger use {
    total = 100;
    got = total + bump(5) + total;
    int i = 0;
    int s = 0;
    while (i < 4) {
        s = (s * 10) + bump(i) + i;
        i++;
    }
    sum = s;
    return 1;
}
)"}});
    CScriptInstance* in = Instance("order");
    ASSERT_EQ(Fire(in, kTriggerUse, {0}), 1);
    EXPECT_EQ(Int(in, "got"), 100 + 5 + 105);
    EXPECT_EQ(Int(in, "sum"), 246);  // ((0*10+0)*10+2)*10+4)*10+6
    EXPECT_EQ(Int(in, "total"), 111);
}

// A call whose arguments are locals, constants and operators on them gets them straight
// from the caller's code: ints by value in every operand form and at any depth (the stack
// grows under the pushes), a string or list local as its own object, so that what the
// callee does to it reaches the caller.
TEST_F(IntCodeRun, CallsTakeComputedArgumentsAndWholeVariables) {
    Compile({{"calls", R"(
member int deepest;
member int grown;
member string text;
member int counted;
member int paired;
function int deep(int n, int a, int b, int c, int d, int e, int f, int g) {
    if (n == 0) {
        return ((a + b) + (c + d)) + ((e + f) + g);
    }
    return deep(n - 1, a + 1, b, c * 1, (d), 2, f - 1, g + n);
}
function int grow(string t) {
    t = t + "yz";
    return strlen(t);
}
function int fill(list into, int v) {
    append(into, v);
    return numInList(into);
}
function int pair(int x, int y) {
    return (x * 100) + y;
}
trigger use {
    int a = 3;
    int r = deep(1500, 0, a, 5, a + 4, 0, 0, 0);
    deepest = r;
    string s = "abc";
    r = grow(s);
    grown = r;
    text = s;
    list mine;
    r = fill(mine, 7);
    r = (r * 10) + fill(mine, (a));
    counted = r;
    r = pair((a), 9 - a);
    paired = r;
    return 1;
}
)"}});
    LogCapture log;
    CScriptInstance* in = Instance("calls");
    ASSERT_EQ(Fire(in, kTriggerUse, {0}), 1);
    // a counts the 1500 levels, f counts down as far, g sums 1..1500; b, c, d as passed.
    EXPECT_EQ(Int(in, "deepest"), 1500 + 3 + 5 + 7 + 2 - 1500 + 1500 * 1501 / 2);
    EXPECT_EQ(Int(in, "grown"), 5);
    EXPECT_EQ(Str(in, "text"), "abcyz");
    EXPECT_EQ(Int(in, "counted"), 12);
    EXPECT_EQ(Int(in, "paired"), 306);
    EXPECT_TRUE(log.FromSource("script").empty());
}

// Statements the code runs itself and statements the thread runs (a switch jumping into the
// chain, string work, a list) take turns in one loop; the budget counts every statement.
TEST_F(IntCodeRun, CompiledAndOtherStatementsTakeTurns) {
    Compile({{"mixed", R"(
member int odd;
member int seven;
member string text;
member list l;
trigger use {
    int i = 0;
    while (i < 30) {
        i++;
        if ((i % 2) == 0) {
            continue;
        }
        switch (i % 7) {
            case 0:
                seven = seven + 1;
                break;
            default:
                odd = odd + 1;
                break;
        }
        text = text + "x";
        append(l, i);
        if (strlen(text) > 12) {
            break;
        }
    }
    return i;
}
)"}});
    LogCapture log;
    CScriptInstance* in = Instance("mixed");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 25);
    EXPECT_EQ(Int(in, "seven"), 2);  // 7 and 21
    EXPECT_EQ(Int(in, "odd"), 11);
    EXPECT_EQ(Str(in, "text"), "xxxxxxxxxxxxx");
    EXPECT_EQ(List(in, "l"), "1|3|5|7|9|11|13|15|17|19|21|23|25");
    EXPECT_TRUE(log.FromSource("script").empty());
}

// Compiled statements count one step each, as when the chain is walked: the loop below runs
// 3,003 statements (the declaration, three a pass, the last test of the loop, the return),
// so it ends within a budget of exactly that and is stopped one short of it.
TEST_F(IntCodeRun, CompiledStatementsCountAgainstTheBudget) {
    Compile({{"count", R"(
trigger use {
    int i = 0;
    while (i < 1000) {
        i++;
    }
    return i;
}
)"}});
    CScriptInstance* in = Instance("count");
    const struct {
        s64 budget;
        s32 answer;
        size_t lines;
    } rows[] = {{3003, 1000, 0}, {3002, 0, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.budget);
        const s64 saved = SetScriptStepBudget(row.budget);
        LogCapture log;
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), row.answer);
        SetScriptStepBudget(saved);
        EXPECT_EQ(log.FromSource("script").size(), row.lines);
    }
}

}  // namespace
