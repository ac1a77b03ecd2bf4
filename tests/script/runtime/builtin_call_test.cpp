// The builtin call mechanism on a stand-in thread: arguments taken by the signature,
// by-reference arguments written back, the control-flow handlers' jumps, and a builtin that
// is not built yet.
#include "script/runtime/builtin_call.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/log_sink.h"
#include "script/builtins/language_builtins.h"
#include "script/language/statement_tree.h"

namespace {

// The language's handlers bound, as the server binds them at start-up.
void BindLanguage() {
    std::string error;
    ASSERT_TRUE(BindLanguageBuiltins(error)) << error;
}

// A thread stand-in: a stack of values, variables the arguments name, and what happened.
class FakeHost : public BuiltinCallHost {
public:
    std::vector<BuiltinValue> stack;
    std::vector<u8> argTypes;
    std::vector<BuiltinValue> writtenBack = std::vector<BuiltinValue>(kMaxBuiltinArgs);
    std::vector<bool> isVariable = std::vector<bool>(kMaxBuiltinArgs, true);
    std::vector<BuiltinValue> pushed;
    bool killed = false;
    ScriptNode* jumpedTo = nullptr;
    bool runNext = false;
    std::vector<CStr> strings;

    void PopArgument(ArgKind kind, BuiltinValue& slot) override {
        slot = stack.back();
        slot.kind = kind;
        stack.pop_back();
    }
    u8 ArgumentType(int index) override { return argTypes[static_cast<size_t>(index)]; }
    void WriteBack(int index, const BuiltinValue& slot) override {
        if (isVariable[static_cast<size_t>(index)]) writtenBack[static_cast<size_t>(index)] = slot;
    }
    void PushResult(const BuiltinValue& result) override { pushed.push_back(result); }
    CStr* NewStringTemporary() override { return &strings.emplace_back(); }
    CUStr* NewUStringTemporary() override { return nullptr; }
    void Kill() override { killed = true; }
    void JumpTo(ScriptNode* target, bool next) override {
        jumpedTo = target;
        runNext = next;
    }
    void Return(const BuiltinValue*) override {}
};

BuiltinValue IntValue(s32 v) {
    BuiltinValue b;
    b.i = v;
    return b;
}

void StoreSeven(BuiltinCall& call) {
    call.IntRef(0) = call.Int(1) + 2;
}

TEST(BuiltinCall, ByReferenceArgumentsAreWrittenBack) {
    const BuiltinRecord record{"testref", "vIi"};
    FakeHost host;
    host.stack = {IntValue(1), IntValue(5)};
    CallBuiltin(host, record, &StoreSeven);
    EXPECT_TRUE(host.stack.empty());
    EXPECT_EQ(host.writtenBack[0].i, 7);
    EXPECT_TRUE(host.pushed.empty());
}

TEST(BuiltinCall, AnyTypeArgumentWithoutAValueStopsTheThread) {
    const BuiltinRecord* append = FindBuiltin("append", "vlu");
    FakeHost host;
    host.stack = {IntValue(0), IntValue(0)};
    host.argTypes = {5, 6};  // list, void
    CallBuiltin(host, *append);
    EXPECT_TRUE(host.killed);
}

TEST(BuiltinCall, UnbuiltBuiltinStopsTheThreadWithALogLine) {
    // A row no handler is bound to (none of the table's rows, so none can be).
    const BuiltinRecord record{"notyet", "ii"};
    FakeHost host;
    host.stack = {IntValue(3)};
    LogCapture capture;
    CallBuiltin(host, record);
    EXPECT_TRUE(host.killed);
    EXPECT_TRUE(host.pushed.empty());
    ASSERT_EQ(capture.Entries().size(), 1u);
    EXPECT_EQ(capture.Entries()[0].severity, "error");
    EXPECT_NE(capture.Entries()[0].message.find("'notyet'"), std::string::npos);
}

TEST(BuiltinCall, SwitchPicksTheFirstEqualEntryElseTheDefault) {
    BindLanguage();
    StatementArena arena;
    ScriptNode* two = arena.NewNode(NodeKind::BuiltinCall);
    ScriptNode* four = arena.NewNode(NodeKind::BuiltinCall);
    ScriptNode* other = arena.NewNode(NodeKind::BuiltinCall);
    SwitchCase* table = arena.NewCase(2, two);
    table->next = arena.NewCase(4, four);
    table->next->next = arena.NewCase(kDefaultCaseValue, other);
    const BuiltinRecord* sw = FindBuiltin("TK_SWITCH", "ui");
    for (const auto& [value, expected] : {std::pair{4, four}, {9, other}, {2, two}}) {
        FakeHost host;
        BuiltinValue tableValue;
        tableValue.table = table;
        host.stack = {IntValue(value), tableValue};
        CallBuiltin(host, *sw);
        EXPECT_EQ(host.jumpedTo, expected) << value;
        EXPECT_FALSE(host.runNext);
    }
}

TEST(BuiltinCall, LoopEndsRunTheirWhileNextAndIfJumpsOnlyWhenFalse) {
    BindLanguage();
    StatementArena arena;
    ScriptNode* target = arena.NewNode(NodeKind::BuiltinCall);
    BuiltinValue t;
    t.node = target;
    FakeHost loop;
    loop.stack = {t};
    CallBuiltin(loop, *FindBuiltin("TK_ENDWHILE", "u"));
    EXPECT_EQ(loop.jumpedTo, target);
    EXPECT_TRUE(loop.runNext);
    for (const s32 condition : {0, 1}) {
        FakeHost host;
        host.stack = {IntValue(condition), t};
        CallBuiltin(host, *FindBuiltin("TK_IF", "ui"));
        EXPECT_EQ(host.jumpedTo, condition ? nullptr : target);
    }
}

}  // namespace
