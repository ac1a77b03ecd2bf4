#include "script/builtins/builtin_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "core/log_sink.h"
#include "script/builtins/builtin_call.h"
#include "script/compiler/statement_tree.h"

namespace {

TEST(BuiltinTable, FindBuiltinMatchesNameAndSignature) {
    struct Case {
        const char* name;
        const char* call;
        const char* found;  // the record's signature, or null for no match
    };
    const Case cases[] = {
        {"append", "uls", "vlu"},     // u result fits any; the record's u fits s
        {"oprlist", "ulu", "uli"},    // the first oprlist: u fits i
        {"oprlist", "uss", nullptr},  // ssi needs an int index
        {"oprlist", "usi", "ssi"},   {"assignint", "uii", "vIi"},    // by-reference I fits i
        {"assignint", "vIi", "vIi"}, {"assignint", "iii", nullptr},  // result must be u or equal
        {"TK_IF", "ui", "vi|i"},  // the hidden operand is not written
        {"TK_IF", "uii", nullptr},   {"TK_BREAK", "u", "v|i"},
        {"TK_BREAK", "uv", "v|i"},  // a trailing v after the record's end fits
        {"TK_RETURN", "vo", "vo"},   {"TK_RETURN", "vv", "v"},  // a void function's plain return
        {"TK_RETURN", "ii", "ii"},  // the twentieth record answers the keyword too
        {"strlen", "u*", "is"},     // * accepts whatever follows
        {"strlen", "u", nullptr},   // the call ends first
        {"getObjVar", "uos", "uos"}, {"getObjVar", "sos", "sos"},
        {"oprplus", "uss", "sss"},   {"oprplus", "usc", "ssc"},
        {"oprplus", "uii", "iii"},   {"oprequiv", "ucc", "icc"},
        {"Strlen", "uu", nullptr},  // names are case-sensitive
        {"nosuch", "u", nullptr},
    };
    for (const Case& c : cases) {
        const BuiltinRecord* r = FindBuiltin(c.name, c.call);
        if (!c.found) {
            EXPECT_EQ(r, nullptr) << c.name << " " << c.call;
        } else {
            ASSERT_NE(r, nullptr) << c.name << " " << c.call;
            EXPECT_STREQ(r->signature, c.found) << c.name << " " << c.call;
        }
    }
    EXPECT_EQ(FormatBuiltinNotFound(nullptr, nullptr),
              "Could not find function with name '(null)' and args '(null)'");
}

TEST(BuiltinTable, RecordsAreWellFormed) {
    std::set<std::pair<std::string, std::string>> seen;
    std::set<std::string> names;
    for (const BuiltinRecord& r : BuiltinTable()) {
        ASSERT_TRUE(r.name && r.signature);
        EXPECT_TRUE(seen.insert({r.name, r.signature}).second) << r.name << " " << r.signature;
        names.insert(r.name);
        EXPECT_NE(std::strchr("isqcolvu", r.signature[0]), nullptr) << r.name;
        bool bar = false;
        for (const char* p = r.signature + 1; *p; ++p) {
            if (*p == '|') {
                bar = true;
                continue;
            }
            EXPECT_NE(std::strchr(bar ? "ij" : "isqcoluISQCOL", *p), nullptr) << r.name;
        }
        EXPECT_LE(BuiltinArgCount(r), kMaxBuiltinArgs) << r.name;
    }
    EXPECT_GE(BuiltinTable().size(), 760u);
    EXPECT_GE(names.size(), 730u);
    // Every control-flow record and the placeholders have their handler.
    for (int i = 0; i < 19; ++i)
        EXPECT_NE(BuiltinTable()[static_cast<size_t>(i)].handler, nullptr);
    EXPECT_NE(FindBuiltin("oprlist", "uli")->handler, nullptr);
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
    const BuiltinRecord record{"testref", &StoreSeven, "vIi"};
    FakeHost host;
    host.stack = {IntValue(1), IntValue(5)};
    CallBuiltin(host, record);
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
    const BuiltinRecord record{"notyet", nullptr, "ii"};
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
