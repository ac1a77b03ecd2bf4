#pragma once
// The compiled form of one script class: its member table, its functions and its trigger
// handlers, with the code they own. The parser builds it; the class registry, instances and
// the interpreter use it.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"
#include "script/language/statement_tree.h"
#include "script/language/trigger_table.h"

struct ScriptVarEntry {
    std::string name;
    u8 type = 0;
    u32 offset = 0;
};

// The variables of a class's members, or of one function's or handler's parameters and
// locals. Entries are never removed, so an index stays valid while the table grows. Entries
// are added through Add (or ReplaceEntries), which keep the name index that Find uses.
struct ScriptVarTable {
    std::vector<ScriptVarEntry> entries;
    u32 frameSize = 0;
    ScriptNode* body = nullptr;  // the statement chain compiled with this table
    // The interpreter's note whether any variable is a string, ustring or list (-1: not yet
    // looked at).
    mutable s8 holdsObjects = -1;
    // The interpreter's compiled form of the body, made on first use.
    mutable std::unique_ptr<ScriptRunNote> runNote;

    // The entry index of a name, or -1. Constant time: a body may declare thousands.
    int Find(std::string_view name) const;
    // Adds a variable at the end of the frame; -1 (nothing added) when the name exists.
    int Add(const std::string& name, u8 type);
    // Makes the entries and frame size those of another table (a child class starts with
    // its parent's members).
    void ReplaceEntries(const ScriptVarTable& from);

private:
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> index_;
};

struct ScriptFunction {
    const ScriptVarTable* vars = nullptr;  // null until a body has been compiled
    std::string name;
    std::string signature;         // result character, then one character per parameter
    mutable u8 resultType = 0xFF;  // the interpreter's note of the result's value type
};

struct TriggerHandler {
    s32 priority = 1000;  // 1000: always runs; else runs with the chance priority / 1024
    u32 reserved = 0;
    int trigger = 0;
    bool hasArg = false;
    std::string textArg;  // speech, time, message, convofunc
    s32 intArg = 0;       // the triggers whose argument is a number
    TriggerHandler* next = nullptr;
    const ScriptVarTable* vars = nullptr;
};

class CScriptClass {
public:
    explicit CScriptClass(std::string className) : name(std::move(className)) {}
    CScriptClass(const CScriptClass&) = delete;
    CScriptClass& operator=(const CScriptClass&) = delete;

    // The function index of a name, or -1.
    int FindFunction(std::string_view functionName) const;
    ScriptVarTable* NewVarTable();
    TriggerHandler* NewHandler();

    std::string name;
    std::vector<ScriptFunction> functions;
    ScriptVarTable members;
    // One list per trigger: this class's handlers (last declared first), then the parent's
    // whole list, which is shared.
    std::array<TriggerHandler*, kTriggerCount> handlers{};
    const CScriptClass* parent = nullptr;
    CScriptClass* next = nullptr;  // registry link

    StatementArena code;

private:
    std::vector<std::unique_ptr<ScriptVarTable>> ownedTables_;
    std::vector<std::unique_ptr<TriggerHandler>> ownedHandlers_;
};

// A readable listing of a statement chain, one statement per line ("3: TK_IF(oprgt(x,5),->5)"):
// locals by name, "&" for assignment targets, "m." for members, jump operands as "->N" with
// N the index of the target statement, switch tables as "{value->N,...}". For tests and
// debugging.
std::string DescribeChain(const CScriptClass& cls, const ScriptVarTable& locals,
                          const ScriptNode* head);
