#pragma once
// The builtin call mechanism: CallBuiltin takes a row's arguments off the running thread's
// value stack by its signature, calls the handler with them, writes back the by-reference
// arguments and pushes the result. The thread (the interpreter) is reached through
// BuiltinCallHost, so the mechanism does not depend on how the stack is laid out.
#include <string>

#include "core/cstr.h"
#include "core/custr.h"
#include "core/location.h"
#include "platform/types.h"
#include "script/language/builtin_table.h"

class CScriptList;
struct ScriptNode;
struct SwitchCase;

// How an argument travels.
enum class ArgKind : u8 {
    Int = 0,
    String = 1,
    UString = 2,
    Location = 3,
    Object = 4,
    List = 5,
    JumpTarget = 6,  // hidden operand: a node to jump to
    JumpTable = 7,   // hidden operand: a switch's jump table
};

// One argument slot, or the result. Which field is set follows the kind.
struct BuiltinValue {
    ArgKind kind = ArgKind::Int;
    s32 i = 0;     // int, object; by-reference ints and objects are changed here
    Location loc;  // a copy made for the call
    CStr* s = nullptr;
    CUStr* q = nullptr;
    CScriptList* l = nullptr;
    ScriptNode* node = nullptr;
    SwitchCase* table = nullptr;
};

// What CallBuiltin and the control-flow handlers need of the thread running the call.
class BuiltinCallHost {
public:
    virtual ~BuiltinCallHost() = default;
    // Pops the topmost argument value (below the return word) of that kind into the slot.
    virtual void PopArgument(ArgKind kind, BuiltinValue& slot) = 0;
    // The value type (int .. list, void, unknown) of visible argument i's expression.
    virtual u8 ArgumentType(int index) = 0;
    // Copies a by-reference int, object or location back into the variable that visible
    // argument i names, when it is a local or member variable.
    virtual void WriteBack(int index, const BuiltinValue& slot) = 0;
    // Pushes the result under the top word; strings, ustrings and lists become the thread's.
    virtual void PushResult(const BuiltinValue& result) = 0;
    // A new empty string or ustring owned by the thread, to hold a result.
    virtual CStr* NewStringTemporary() = 0;
    virtual CUStr* NewUStringTemporary() = 0;
    // Stops the thread at its next step.
    virtual void Kill() = 0;
    // Makes the node current; with runTargetNext the node itself runs next, otherwise the
    // thread goes on after it. A null node ends the function.
    virtual void JumpTo(ScriptNode* target, bool runTargetNext) = 0;
    // A return statement: places the value (none for a void return) as the function's result
    // and ends the function.
    virtual void Return(const BuiltinValue* value) = 0;
    // The answer the thread gives when it is killed (setDefaultReturn).
    virtual void SetDefaultResult(s32 value) { (void)value; }
    // Whether the thread has been stopped.
    virtual bool IsKilled() const { return false; }
};

constexpr int kMaxBuiltinArgs = 12;

// How an argument character travels: s string, q ustring, c location, o object, l list,
// j jump table, anything else an int (either case; upper case marks a by-reference argument).
inline ArgKind KindOfChar(char c) {
    // c | 0x20 folds A-Z to lower case and sends no other character to one of the letters.
    switch (c | 0x20) {
        case 's':
            return ArgKind::String;
        case 'q':
            return ArgKind::UString;
        case 'c':
            return ArgKind::Location;
        case 'o':
            return ArgKind::Object;
        case 'l':
            return ArgKind::List;
        case 'j':
            return ArgKind::JumpTable;
        default:
            return ArgKind::Int;
    }
}

// The arguments of a signature: their characters ('|' left out), whether each is a hidden
// operand (after '|') and how each travels.
struct ArgSignature {
    int count = 0;
    char chars[kMaxBuiltinArgs] = {};
    bool hidden[kMaxBuiltinArgs] = {};
    ArgKind kinds[kMaxBuiltinArgs] = {};

    // A visible by-reference int, object or location, copied back after the call.
    bool WritesBack(int k) const {
        return !hidden[k] && (chars[k] == 'I' || chars[k] == 'O' || chars[k] == 'C');
    }
};

// Decodes the argument characters of a signature (what follows the result character).
// False when there are more than kMaxBuiltinArgs; the first kMaxBuiltinArgs are kept.
bool DecodeArgSignature(const char* args, ArgSignature& out);

// What a handler sees: its arguments (visible ones first, then the hidden operands) and its
// result.
class BuiltinCall {
public:
    BuiltinCall(BuiltinCallHost& host, const BuiltinRecord& record) : host(host), record(record) {}

    BuiltinValue& Arg(int i) { return args[i]; }
    s32 Int(int i) const { return args[i].i; }
    s32& IntRef(int i) { return args[i].i; }
    CStr& Str(int i) { return *args[i].s; }
    CUStr& UStr(int i) { return *args[i].q; }
    Location& Loc(int i) { return args[i].loc; }
    CScriptList& List(int i) { return *args[i].l; }

    void SetInt(s32 v) { result.i = v; }
    void SetLocation(const Location& v) { result.loc = v; }
    // Hands a new list to the thread as the result.
    void SetList(CScriptList* list) { result.l = list; }
    CStr& ResultString() { return *result.s; }
    CUStr& ResultUString() { return *result.q; }

    BuiltinCallHost& host;
    const BuiltinRecord& record;
    int argCount = 0;
    BuiltinValue args[kMaxBuiltinArgs];
    BuiltinValue result;
};

// How a builtin runs: the handler bound to its row (script/runtime/builtin_binding.h).
using BuiltinHandler = void (*)(BuiltinCall& call);

// Runs one builtin call on the host's thread with the handler bound to the row.
void CallBuiltin(BuiltinCallHost& host, const BuiltinRecord& record);
// The same with the given handler; a null handler is a builtin not built yet: the thread is
// stopped with a log line naming it.
void CallBuiltin(BuiltinCallHost& host, const BuiltinRecord& record, BuiltinHandler handler);
// The error that stops a script thread calling a builtin whose behaviour is not built yet
// (both callers, the interpreter's fast path and CallBuiltin, say the same).
std::string UnbuiltBuiltinMessage(const BuiltinRecord& record);
