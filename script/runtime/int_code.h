#pragma once
// Integer code as the interpreter runs it. A tree of int operators is compiled on first use
// into a short list of register operations, noted in its root node, so that the expression
// runs in one loop instead of one recursive call per operator and parenthesis. Operands are
// read where they are: a local variable from the frame, a constant from the operation, an
// intermediate value from a register. Whatever is not an int operator, a local or a constant
// (a call, a member, a subscript) is one operation that the thread evaluates as before, in
// the same left-to-right order as the tree. A script function call whose arguments are all
// locals, constants and int operators on them has its arguments computed by the code and
// read straight from where they are when the call pushes them.
//
// A body is compiled the same way, noted in its variable table: the statements that compute
// ints into locals and jump (assignments, increments, ifs and loops, returns of an int)
// become operations of their own, every other statement one operation that the thread runs
// as before. Each statement's first operation is marked: the thread counts statements
// against its budgets there, exactly as when it walks the chain.
#include <vector>

#include "platform/types.h"
#include "script/language/script_class.h"
#include "script/language/statement_tree.h"
#include "script/runtime/fast_ops.h"

// Where an operand is.
enum class IntMode : u8 { Local = 0, Const = 1, Reg = 2 };

// The operation codes: each binary operator once per pair of operand modes, the same with
// the result going to the local `target` (body code), then '!' and a plain copy once per
// operand mode, then the evaluation of another node.
constexpr u16 IntBinaryCode(FastOp op, IntMode a, IntMode b) {
    return static_cast<u16>((op - kOpPlus) * 9 + static_cast<u8>(a) * 3 + static_cast<u8>(b));
}
constexpr u16 kIntBinaryCodes = IntBinaryCode(kOpLe, IntMode::Reg, IntMode::Reg) + 1;
constexpr u16 IntBinaryToLocalCode(FastOp op, IntMode a, IntMode b) {
    return static_cast<u16>(kIntBinaryCodes + IntBinaryCode(op, a, b));
}
constexpr u16 kIntNot = 2 * kIntBinaryCodes;  // + mode of a
constexpr u16 kIntMove = kIntNot + 3;         // + mode of a
constexpr u16 kIntSub = kIntMove + 3;
// Statements of body code.
constexpr u16 kIntStoreLocal = kIntSub + 1;       // + mode of b: local a = b
constexpr u16 kIntIncLocal = kIntStoreLocal + 3;  // local a + 1
constexpr u16 kIntDecLocal = kIntIncLocal + 1;    // local a - 1
constexpr u16 kIntJumpIfZero = kIntDecLocal + 1;  // + mode of a: to target when a is 0
constexpr u16 kIntJump = kIntJumpIfZero + 3;      // to target
constexpr u16 kIntReturn = kIntJump + 1;          // + mode of a
constexpr u16 kIntReturnVoid = kIntReturn + 3;
constexpr u16 kIntSlow = kIntReturnVoid + 1;  // the statement node, run by the thread
constexpr u16 kIntNop = kIntSlow + 1;
constexpr u16 kIntReleaseTemps = kIntNop + 1;  // after a statement that evaluated other nodes
// A comparison (kOpEq .. kOpLe) of a and b and a jump to target when it is false, once per
// pair of operand modes.
constexpr u16 IntJumpCode(FastOp op, IntMode a, IntMode b) {
    return static_cast<u16>(kIntReleaseTemps + 1 + (op - kOpEq) * 9 + static_cast<u8>(a) * 3 +
                            static_cast<u8>(b));
}

// A script function call whose arguments the code computed: `a` is the first of its
// arguments in the code's `args`, `b` their count, `node` the call.
constexpr u16 kIntCall = IntJumpCode(kOpLe, IntMode::Reg, IntMode::Reg) + 1;

// The value of a binary int operator (kOpPlus .. kOpLe) on two values; with a constant
// operator it folds to the one expression.
[[gnu::always_inline]] inline s32 IntBinaryValue(FastOp op, s32 a, s32 b) {
    switch (op) {
        case kOpPlus:
            return static_cast<s32>(static_cast<u32>(a) + static_cast<u32>(b));
        case kOpMinus:
            return static_cast<s32>(static_cast<u32>(a) - static_cast<u32>(b));
        case kOpMult:
            return static_cast<s32>(static_cast<u32>(a) * static_cast<u32>(b));
        case kOpDiv:
            return ScriptDiv(a, b);
        case kOpMod:
            return ScriptMod(a, b);
        case kOpAnd:
            return a != 0 && b != 0;
        case kOpOr:
            return a != 0 || b != 0;
        case kOpXor:
            return a ^ b;
        case kOpEq:
            return a == b;
        case kOpNe:
            return a != b;
        case kOpGt:
            return a > b;
        case kOpLt:
            return a < b;
        case kOpGe:
            return a >= b;
        case kOpLe:
            return a <= b;
        default:
            return 0;
    }
}

// An expression needing more registers than this is left to the tree walk.
constexpr int kMaxIntRegisters = 64;

// An argument of a kIntCall: a local passes its whole slot, a constant or a register its
// int.
struct IntArgument {
    IntMode mode = IntMode::Const;
    s32 value = 0;
};

struct IntOperation {
    u16 code = 0;
    u8 dst = 0;              // the register that gets the result
    bool statement = false;  // body code: the first operation of the statement `at`
    s32 a = 0;   // first operand: a local's index, a constant or a register
    s32 b = 0;   // second operand, the same
    u32 target = 0;  // body code: the operation a jump goes to, the local a result goes to
    const ScriptNode* node = nullptr;  // kIntSub, kIntCall: the node; kIntSlow: the statement
    const ScriptNode* at = nullptr;    // body code: the statement this operation starts
};

// The only note the interpreter makes in a node; an empty one marks an expression left to
// the tree walk.
class IntCode final : public ScriptRunNote {
public:
    std::vector<IntOperation> ops;
    std::vector<IntArgument> args;      // kIntCall: the calls' arguments, each call's in a row
    u8 result = 0;                      // expression code: the register of the value
    const ScriptNode* head = nullptr;   // body code: the chain it was compiled from
};

// Compile and note the code of a node or a body (see IntCodeOf and BodyCodeOf).
const IntCode* CompileIntCode(const ScriptNode* root);
const IntCode* CompileBodyCode(const ScriptVarTable& vars);

// The compiled form of an int operator node (a binary int operator, '!' or parentheses),
// made and noted in the node on first use; null when the node is none of these or its
// expression needs more than kMaxIntRegisters registers.
inline const IntCode* IntCodeOf(const ScriptNode* root) {
    if (!root->runNote) return CompileIntCode(root);
    const auto* code = static_cast<const IntCode*>(root->runNote.get());
    return code->ops.empty() ? nullptr : code;
}

// The compiled form of a body, made and noted in the table on first use (again when the
// table's body changed); null when the body is empty or cannot be compiled (a chain that
// loops on itself, a jump out of it), which then runs statement by statement. Each
// statement's runPc is its first operation.
inline const IntCode* BodyCodeOf(const ScriptVarTable& vars) {
    const auto* code = static_cast<const IntCode*>(vars.runNote.get());
    if (!code || code->head != vars.body) return CompileBodyCode(vars);
    return code->ops.empty() ? nullptr : code;
}
