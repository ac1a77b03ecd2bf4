#pragma once
// Compiled script code: chains of ScriptNode. A function or trigger body is one flat chain
// of statements (builtin calls, script calls, labels); blocks do not nest in the tree. The
// control-flow keywords compile into marker calls (TK_IF ... TK_ENDIF and so on) in the same
// chain, and LinkCall connects the markers through hidden jump operands so that the
// interpreter runs a body as one chain with jumps.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/cstr.h"
#include "core/custr.h"
#include "platform/types.h"
#include "script/language/script_value.h"

struct BuiltinRecord;

enum class NodeKind : u8 {
    BuiltinCall = 0,   // builtin; children: the arguments, then the hidden operands
    ScriptCall = 1,    // script function; value = index in the class's function table
    Local = 2,         // local variable by value; value = entry index
    LocalTarget = 3,   // local variable as an assignment target (by reference)
    Member = 4,        // member variable by value
    MemberTarget = 5,  // member variable as an assignment target
    IntConstant = 6,   // value
    StringConstant = 7,
    UStringConstant = 8,
    Label = 9,        // text: the label before resolution; null once it marks a target
    JumpTable = 10,   // hidden operand of TK_SWITCH; cases = its table
    JumpTarget = 11,  // hidden jump operand; target = the node jumped to (null until linked)
};

struct ScriptNode;

// One entry of a switch's jump table. The value -666 marks the default.
struct SwitchCase {
    s32 value = 0;
    ScriptNode* target = nullptr;  // a TK_CASE call, or the TK_ENDSWITCH for the default
    SwitchCase* next = nullptr;
};
constexpr s32 kDefaultCaseValue = -666;

// What the interpreter keeps about a node once it has run it (a compiled form of the node's
// expression); the node owns it, so it goes with the node.
struct ScriptRunNote {
    virtual ~ScriptRunNote() = default;
};

struct ScriptNode {
    NodeKind kind = NodeKind::IntConstant;
    u8 varType = 0;        // variable nodes: the value type
    bool forStep = false;  // the step statement of a for loop, moved before its loop end
    mutable u8 runOp = 0;  // the interpreter's own note of how it runs a builtin call (0: none yet)
    s32 value = 0;         // int constant, function index, variable entry index
    u32 varOffset = 0;     // variable nodes: the byte offset in the frame or member storage
    mutable u32 runPc = 0;  // statements: where the interpreter's code of their body has them
    const BuiltinRecord* builtin = nullptr;
    ScriptNode* target = nullptr;
    const std::string* text = nullptr;  // label text
    CStr* str = nullptr;                // string constant, made at compile time
    CUStr* ustr = nullptr;              // ustring constant, made at compile time
    SwitchCase* cases = nullptr;
    ScriptNode* next = nullptr;
    ScriptNode* child = nullptr;
    mutable std::unique_ptr<ScriptRunNote> runNote;  // the interpreter's, made on first use
};

// Owns every node, switch entry and constant text of one compiled class. Nodes come from
// blocks and freed nodes wait on a free list; everything is released with the arena.
class StatementArena {
public:
    StatementArena() = default;
    StatementArena(const StatementArena&) = delete;
    StatementArena& operator=(const StatementArena&) = delete;

    ScriptNode* NewNode(NodeKind kind);
    void FreeNode(ScriptNode* node);   // the node alone, not its children or next
    void FreeChain(ScriptNode* head);  // a chain with all its children
    SwitchCase* NewCase(s32 value, ScriptNode* target);
    const std::string* NewText(std::string text);
    CStr* NewString(const char* text);
    CUStr* NewUString(const WChar* text);

private:
    static constexpr size_t kBlockNodes = 256;
    std::vector<std::unique_ptr<ScriptNode[]>> blocks_;
    size_t usedInLastBlock_ = kBlockNodes;
    ScriptNode* free_ = nullptr;
    std::deque<SwitchCase> cases_;
    std::deque<std::string> texts_;
    std::deque<CStr> strings_;
    std::deque<CUStr> ustrings_;
};

// Append helpers: each links a new node at the end of the chain (head may be null) and
// returns it.
ScriptNode* AppendNode(ScriptNode*& head, ScriptNode* node);
ScriptNode* AppendLocal(StatementArena& a, ScriptNode*& head, s32 index, u8 type, u32 offset);
ScriptNode* AppendLocalTarget(StatementArena& a, ScriptNode*& head, s32 index, u8 type, u32 offset);
ScriptNode* AppendMember(StatementArena& a, ScriptNode*& head, s32 index, u8 type, u32 offset);
ScriptNode* AppendMemberTarget(StatementArena& a, ScriptNode*& head, s32 index, u8 type,
                               u32 offset);
ScriptNode* AppendIntConstant(StatementArena& a, ScriptNode*& head, s32 value);
// A leading quote is skipped and a trailing quote removed.
ScriptNode* AppendStringConstant(StatementArena& a, ScriptNode*& head, const std::string& text);
// A leading quote or L and a quote is skipped, a trailing quote removed and the rest decoded
// from groups of four hexadecimal digits into UTF-16 (up to a blank or the end).
ScriptNode* AppendUStringConstant(StatementArena& a, ScriptNode*& head, const std::string& text);
ScriptNode* AppendScriptCall(StatementArena& a, ScriptNode*& head, s32 function, ScriptNode* args);
ScriptNode* AppendLabel(StatementArena& a, ScriptNode*& head, const std::string& text);
ScriptNode* AppendJumpTarget(StatementArena& a, ScriptNode*& head);
ScriptNode* AppendJumpTableAnchor(StatementArena& a, ScriptNode*& head);

// Decodes groups of four hexadecimal digits into UTF-16 units up to a blank or the end; an
// incomplete or non-hex group ends the text.
std::u16string DecodeHexUnits(const std::string& text);

// The open blocks and labels one body may hold. The linker's stack of open loops and
// switches also holds each break inside them until their end, so a loop or switch with many
// breaks reaches the limit without nesting.
constexpr int kMaxOpenControlNodes = 128;
constexpr int kMaxLabels = 128;

// The deepest expression the interpreter may evaluate: it recurses once per level on the C
// stack. Each call, operator, parenthesis, subscript and '!' is one level above its operands,
// and a chain applies left to right, so `a + b + c` is two levels above `a`. Every argument
// of every call (statements included) is at most this deep; the script compiler and the
// server's parser refuse anything deeper, and the parser stops recursing at this depth too.
constexpr int kMaxExpressionDepth = 64;

// The depth of an expression tree as the interpreter recurses on it: 1 for a constant or a
// variable, 1 + the deepest argument for a call. Recurses on the tree, so call it only on
// trees whose arguments were checked already.
int ExpressionDepth(const ScriptNode* node);

// The messages of the two limits, the same from the script compiler and the server's parser.
std::string ExpressionTooDeepMessage();
std::string BlocksTooDeepMessage();

// Appends a call of the record with the argument chain and links it with the control-flow
// markers before it. tail is the chain's last node (or a node before it, or null): the new
// call is linked after the end found from there, and tail becomes the call. False (with a message)
// when the construct has no partner (a case outside a switch, an else or end of if without an if)
// or nests too deeply.
bool LinkCall(StatementArena& a, ScriptNode*& head, ScriptNode*& tail, const BuiltinRecord* record,
              ScriptNode* args, std::string& error);

// Turns label jumps into TK_GOTO calls. False when a jump has no label: the message
// "bad label '%s'" is set and that and later jumps stay labels that do nothing. Also false,
// with a message, when a body holds more than kMaxLabels labels (nothing is resolved).
bool ResolveLabels(StatementArena& a, ScriptNode* head, std::string& error,
                   ScriptNode** badJump = nullptr);

// The first record of a control-flow keyword ("TK_IF" ...).
const BuiltinRecord* KeywordRecord(const char* name);
// The hidden jump operand of a call (its last JumpTarget child), or null.
ScriptNode* HiddenTarget(const ScriptNode* call);

// The value type of an expression node: a call's result type as builtinResult(node) or
// functionResult(node) tells it, a variable's declared type, a constant's type; kTypeUnknown
// for anything else. One switch, so that the interpreter's typing stays a single jump.
template <class BuiltinResult, class FunctionResult>
u8 ExpressionTypeOf(const ScriptNode* node, BuiltinResult builtinResult,
                    FunctionResult functionResult) {
    switch (node->kind) {
        case NodeKind::BuiltinCall:
            return builtinResult(node);
        case NodeKind::ScriptCall:
            return functionResult(node);
        case NodeKind::Local:
        case NodeKind::LocalTarget:
        case NodeKind::Member:
        case NodeKind::MemberTarget:
            return node->varType;
        case NodeKind::IntConstant:
        case NodeKind::JumpTarget:
            return kTypeInt;
        case NodeKind::StringConstant:
            return kTypeString;
        case NodeKind::UStringConstant:
            return kTypeUString;
        default:
            return kTypeUnknown;
    }
}
