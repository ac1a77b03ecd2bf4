#include "script/runtime/int_code.h"

#include <memory>
#include <unordered_map>

namespace {

struct IntOperand {
    IntMode mode;
    s32 value;
};

// Parentheses (and the object-to-int conversion, which is the same) only pass their operand.
const ScriptNode* SkipParentheses(const ScriptNode* n) {
    while (OpOf(n) == kOpNull && n->child)
        n = n->child;
    return n;
}

// True when evaluating the node runs anything besides int operators on locals and constants:
// something that may change a local before an operand read later is used.
bool RunsOtherCode(const ScriptNode* n) {
    n = SkipParentheses(n);
    const FastOp op = OpOf(n);
    if (op == kNodeLocal || op == kNodeConst) return false;
    if (IsBinaryIntOp(op) && n->child && n->child->next)
        return RunsOtherCode(n->child) || RunsOtherCode(n->child->next);
    if (op == kOpNot && n->child) return RunsOtherCode(n->child);
    return true;
}

// True when every argument of the call is a local, a constant or int operators on them.
bool ArgumentsAreValues(const ScriptNode* call) {
    for (const ScriptNode* arg = call->child; arg; arg = arg->next)
        if (RunsOtherCode(arg)) return false;
    return true;
}

class IntCompiler {
public:
    explicit IntCompiler(IntCode& code) : code_(code) {}

    bool Fits() const { return fits_; }

    IntOperand Compile(const ScriptNode* n) {
        n = SkipParentheses(n);
        const FastOp op = OpOf(n);
        if (op == kNodeLocal) return {IntMode::Local, n->value};
        if (op == kNodeConst) return {IntMode::Const, n->value};
        if (IsBinaryIntOp(op) && n->child && n->child->next) {
            IntOperand a, b;
            CompilePair(n->child, n->child->next, a, b);
            Release(b);
            Release(a);
            return Emit(IntBinaryCode(op, a.mode, b.mode), a.value, b.value, nullptr);
        }
        if (op == kOpNot && n->child) {
            const IntOperand a = Compile(n->child);
            Release(a);
            return Emit(static_cast<u16>(kIntNot + static_cast<u8>(a.mode)), a.value, 0, nullptr);
        }
        if (op == kNodeScriptCall && ArgumentsAreValues(n)) return CompileCall(n);
        return Emit(kIntSub, 0, 0, n);
    }

    // A call whose arguments run no other code: they are computed first (in registers where
    // they need one) and read from where they are as the call pushes them. Nothing runs
    // between them, so they read what the tree walk reads.
    IntOperand CompileCall(const ScriptNode* call) {
        const size_t first = code_.args.size();
        for (const ScriptNode* arg = call->child; arg; arg = arg->next) {
            IntOperand x = Compile(arg);
            // Only a local itself passes its whole slot; a value computed from one (its
            // parentheses) passes the int, as the tree walk does.
            if (x.mode == IntMode::Local && OpOf(arg) != kNodeLocal) x = InRegister(x);
            code_.args.push_back(IntArgument{x.mode, x.value});
        }
        for (size_t k = code_.args.size(); k > first; --k)
            Release(IntOperand{code_.args[k - 1].mode, code_.args[k - 1].value});
        return Emit(kIntCall, static_cast<s32>(first), static_cast<s32>(code_.args.size() - first),
                    call);
    }

    // The two operands of a binary operator, left first.
    void CompilePair(const ScriptNode* left, const ScriptNode* right, IntOperand& a,
                     IntOperand& b) {
        a = Compile(left);
        // The tree reads a local before it evaluates the right side: keep its value then.
        if (a.mode == IntMode::Local && RunsOtherCode(right)) a = InRegister(a);
        b = Compile(right);
    }

    IntOperand InRegister(IntOperand a) {
        if (a.mode == IntMode::Reg) return a;
        return Emit(static_cast<u16>(kIntMove + static_cast<u8>(a.mode)), a.value, 0, nullptr);
    }

    // Whether the operations from `first` on evaluate other nodes.
    bool EvaluatedOthers(size_t first) const {
        for (size_t k = first; k < code_.ops.size(); ++k)
            if (code_.ops[k].code == kIntSub || code_.ops[k].code == kIntCall) return true;
        return false;
    }

    // An operation that makes no value (a statement's own). When the statement evaluated
    // other nodes (from the operation `first` on), what they left behind is released first,
    // unless the statement returns.
    void EmitStatement(u16 code, s32 a, s32 b, size_t first) {
        // A return leaves them to the caller's statement, which releases its own.
        const bool returns = code >= kIntReturn && code <= kIntReturnVoid;
        if (!returns && EvaluatedOthers(first))
            code_.ops.push_back(IntOperation{kIntReleaseTemps, 0, false, 0, 0, 0, nullptr});
        code_.ops.push_back(IntOperation{code, 0, false, a, b, 0, nullptr});
    }

private:
    IntOperand Emit(u16 code, s32 a, s32 b, const ScriptNode* node) {
        if (top_ >= kMaxIntRegisters) fits_ = false;
        const u8 dst = static_cast<u8>(top_ < kMaxIntRegisters ? top_ : 0);
        ++top_;
        code_.ops.push_back(IntOperation{code, dst, false, a, b, 0, node});
        return {IntMode::Reg, dst};
    }
    void Release(IntOperand x) {
        if (x.mode == IntMode::Reg) --top_;
    }

    IntCode& code_;
    int top_ = 0;
    bool fits_ = true;
};

bool IsLocal(const ScriptNode* n) {
    return n && (n->kind == NodeKind::Local || n->kind == NodeKind::LocalTarget);
}

// The statement a jump goes to: the node after a target, or the target itself.
struct Jump {
    size_t op;  // the jump operation
    const ScriptNode* to;
};

// Compiles one statement into the body's operations; false when it is not one of those the
// code runs itself.
bool CompileStatement(const ScriptNode* n, IntCode& code, std::vector<Jump>& jumps) {
    if (n->kind != NodeKind::BuiltinCall) {
        if (n->kind == NodeKind::ScriptCall) return false;
        code.ops.push_back(IntOperation{kIntNop, 0, false, 0, 0, 0, nullptr});
        return true;
    }
    IntCompiler c(code);
    const size_t first = code.ops.size();
    const auto modeOf = [](IntOperand x) { return static_cast<u8>(x.mode); };
    switch (OpOf(n)) {
        case kOpIf: {
            if (!n->child) return false;
            const ScriptNode* t = n->child->next ? n->child->next->target : nullptr;
            const ScriptNode* cond = SkipParentheses(n->child);
            const FastOp op = OpOf(cond);
            if (op >= kOpEq && op <= kOpLe && cond->child && cond->child->next) {
                // The comparison and the jump as one operation.
                IntOperand a, b;
                c.CompilePair(cond->child, cond->child->next, a, b);
                c.EmitStatement(IntJumpCode(op, a.mode, b.mode), a.value, b.value, first);
                jumps.push_back(Jump{code.ops.size() - 1, t ? t->next : nullptr});
                return c.Fits();
            }
            const IntOperand v = c.Compile(cond);
            c.EmitStatement(static_cast<u16>(kIntJumpIfZero + modeOf(v)), v.value, 0, first);
            jumps.push_back(Jump{code.ops.size() - 1, t ? t->next : nullptr});
            return c.Fits();
        }
        case kOpJump: {
            const ScriptNode* op = n->child;
            while (op && op->next)
                op = op->next;
            const ScriptNode* t = op ? op->target : nullptr;
            c.EmitStatement(kIntJump, 0, 0, first);
            jumps.push_back(Jump{code.ops.size() - 1, t ? t->next : nullptr});
            return true;
        }
        case kOpLoopBack:
            c.EmitStatement(kIntJump, 0, 0, first);
            jumps.push_back(Jump{code.ops.size() - 1, n->child ? n->child->target : nullptr});
            return true;
        case kOpNothing:
            c.EmitStatement(kIntNop, 0, 0, first);
            return true;
        case kOpAssignInt: {
            if (!IsLocal(n->child) || !n->child->next) return false;
            const IntOperand v = c.Compile(n->child->next);
            if (v.mode == IntMode::Reg && code.ops.size() > first &&
                code.ops.back().code < kIntBinaryCodes && code.ops.back().dst == v.value &&
                !c.EvaluatedOthers(first)) {
                // The operator's result goes straight to the local.
                IntOperation& last = code.ops.back();
                last.code = static_cast<u16>(last.code + kIntBinaryCodes);
                last.target = static_cast<u32>(n->child->value);
                return c.Fits();
            }
            c.EmitStatement(static_cast<u16>(kIntStoreLocal + modeOf(v)), n->child->value,
                            v.value, first);
            return c.Fits();
        }
        case kOpInc:
        case kOpDec:
            if (!IsLocal(n->child)) return false;
            c.EmitStatement(OpOf(n) == kOpInc ? kIntIncLocal : kIntDecLocal, n->child->value, 0,
                            first);
            return true;
        case kOpReturnInt: {
            if (!n->child) return false;
            const IntOperand v = c.Compile(n->child);
            c.EmitStatement(static_cast<u16>(kIntReturn + modeOf(v)), v.value, 0, first);
            return c.Fits();
        }
        case kOpReturnVoid:
            c.EmitStatement(kIntReturnVoid, 0, 0, first);
            return true;
        default:
            return false;
    }
}

// The body's code; empty when it cannot be compiled.
void CompileBody(const ScriptNode* head, IntCode& code) {
    std::unordered_map<const ScriptNode*, size_t> index;  // statement -> its place
    std::vector<const ScriptNode*> chain;
    for (const ScriptNode* n = head; n; n = n->next) {
        if (!index.emplace(n, chain.size()).second) return;  // loops on itself
        chain.push_back(n);
    }
    std::vector<Jump> jumps;
    for (const ScriptNode* n : chain) {
        const size_t first = code.ops.size();
        const size_t firstJump = jumps.size();
        if (!CompileStatement(n, code, jumps)) {
            code.ops.resize(first);
            jumps.resize(firstJump);
            code.ops.push_back(IntOperation{kIntSlow, 0, false, 0, 0, 0, n});
        }
        code.ops[first].statement = true;
        code.ops[first].at = n;
        n->runPc = static_cast<u32>(first);
    }
    const size_t end = code.ops.size();
    for (const Jump& j : jumps) {
        if (j.to && !index.count(j.to)) {
            code.ops.clear();  // a jump out of the body: walked statement by statement
            return;
        }
        code.ops[j.op].target = static_cast<u32>(j.to ? j.to->runPc : end);
    }
}

}  // namespace

const IntCode* CompileBodyCode(const ScriptVarTable& vars) {
    if (!vars.body) return nullptr;
    auto made = std::make_unique<IntCode>();
    made->head = vars.body;
    CompileBody(vars.body, *made);
    const IntCode* code = made.get();
    vars.runNote = std::move(made);
    return code->ops.empty() ? nullptr : code;
}

const IntCode* CompileIntCode(const ScriptNode* root) {
    const FastOp op = OpOf(root);
    if (!IsBinaryIntOp(op) && op != kOpNot && op != kOpNull) return nullptr;
    auto made = std::make_unique<IntCode>();
    IntCompiler compiler(*made);
    const IntOperand result = compiler.InRegister(compiler.Compile(root));
    made->result = static_cast<u8>(result.value);
    // Too many registers: noted empty, so that the tree walk runs it.
    if (!compiler.Fits()) made->ops.clear();
    const IntCode* code = made.get();
    root->runNote = std::move(made);
    return code->ops.empty() ? nullptr : code;
}
