#include "script/runtime/script_thread.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/cstr.h"
#include "core/custr.h"
#include "core/log_sink.h"
#include "core/loop_state.h"
#include "platform/clock.h"
#include "platform/large_stack.h"
#include "script/language/builtin_table.h"
#include "script/language/script_class.h"
#include "script/language/script_value.h"
#include "script/language/statement_tree.h"
#include "script/language/trigger_table.h"
#include "script/runtime/builtin_binding.h"
#include "script/runtime/fast_ops.h"
#include "script/runtime/int_code.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_limits.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_thread_control.h"

namespace {

struct RunningList {
    CScriptThread* head = nullptr;
    int count = 0;
    int callDepth = 0;  // script function frames of all running threads
    int activity = 0;   // dispatches in progress
};
RunningList g_running;
s64 g_stepBudget = kDefaultScriptStepBudget;
u32 g_timeBudgetMs = kDefaultScriptTimeBudgetMs;
constexpr const char* kQuittingReason = "script thread stopped: the server is quitting";

// Every thread runs on this stack: the outermost one switches to it, nested ones are on it.
platform::LargeStack& ScriptStack() {
    static platform::LargeStack stack(kScriptStackBytes);
    return stack;
}

// The frame address below which work running at `here` comes within the reserve of the
// script stack's end: a thread notes it once and compares its frames with it. 0 (no limit)
// when `here` is not on the script stack (it could not be reserved).
uintptr_t ScriptStackFloor(const void* here) {
    constexpr size_t kOffTheStack = ~size_t{0};
    const size_t room = ScriptStack().RoomBelow(here, kOffTheStack);
    if (room == kOffTheStack) return 0;
    return reinterpret_cast<uintptr_t>(here) - room + kScriptStackReserve;
}

// The last statement value as the 32-bit word a handler answers: ints and serials as they
// are, a location by its z word, a string, ustring or list by a non-zero handle.
s32 TopWordOf(u8 type, const ScriptSlot& v) {
    switch (type) {
        case kTypeInt:
        case kTypeObject:
            return v.i;
        case kTypeLocation:
            return static_cast<u16>(v.c.z);
        case kTypeString:
        case kTypeUString:
        case kTypeList:
            return 1;
        default:
            return 0;
    }
}

bool IsVariableNode(const ScriptNode* n) {
    switch (n->kind) {
        case NodeKind::Local:
        case NodeKind::LocalTarget:
        case NodeKind::Member:
        case NodeKind::MemberTarget:
            return true;
        default:
            return false;
    }
}

void KillCurrentThreadHookImpl() {
    if (g_running.head) g_running.head->Kill();
}

}  // namespace

bool StopCurrentThreadImpl(const std::string& reason) {
    CScriptThread* t = g_running.head;
    if (!t) return false;
    t->StopWithError(reason, t->at_);
    return true;
}

namespace {

void InstallKillHook() {
    static const bool installed = (SetKillCurrentThreadHook(&KillCurrentThreadHookImpl),
                                   SetStopCurrentThreadHook(&StopCurrentThreadImpl), true);
    (void)installed;
}

void LogThreadError(CScriptInstance* instance, const std::string& what) {
    const CScriptClass* cls = instance ? instance->GetClass() : nullptr;
    const std::string message =
        what + " [" + (cls ? cls->name : std::string()) + "]; the script thread is stopped";
    GetLogSink().Log(0, 0, 0, "", "script", "error", message.c_str());
}

// A body's name for a log line: "function f" or "trigger t".
std::string BodyName(const CScriptClass& cls, const ScriptVarTable& vars) {
    std::string body = "a body";
    for (const ScriptFunction& fn : cls.functions)
        if (fn.vars == &vars) body = "function " + fn.name;
    for (int t = 0; t < kTriggerCount; ++t)
        for (const TriggerHandler* h = cls.handlers[static_cast<size_t>(t)]; h; h = h->next)
            if (h->vars == &vars) body = std::string("trigger ") + GetTriggerInfo(t).name;
    return body;
}

// Where a statement is, for a log line: "statement N of function f" or "... of trigger t",
// N counted from 0 in the body's statement chain, then the statement as the listing shows it.
std::string DescribeStatement(const CScriptClass& cls, const ScriptVarTable& vars,
                              const ScriptNode* at) {
    const std::string body = BodyName(cls, vars);
    int index = 0;
    for (const ScriptNode* n = vars.body; n && n != at; n = n->next)
        ++index;
    const std::string listing = DescribeChain(cls, vars, vars.body);
    const std::string prefix = std::to_string(index) + ": ";
    std::string statement;
    for (size_t p = 0; p < listing.size();) {
        size_t end = listing.find('\n', p);
        if (end == std::string::npos) end = listing.size();
        if (listing.compare(p, prefix.size(), prefix) == 0) {
            statement = listing.substr(p + prefix.size(), end - p - prefix.size());
            break;
        }
        p = end + 1;
    }
    if (statement.size() > 120) statement = statement.substr(0, 117) + "...";
    return "statement " + std::to_string(index) + " of " + body + " (" + statement + ")";
}

}  // namespace

CScriptThread::CScriptThread(CScriptInstance* instance, const ScriptVarTable* vars)
    : instance_(instance), vars_(vars) {
    InstallKillHook();
    stack_.reserve(32);
}

s64 SetScriptStepBudget(s64 statements) {
    const s64 old = g_stepBudget;
    g_stepBudget = statements;
    return old;
}

u32 SetScriptTimeBudget(u32 milliseconds) {
    const u32 old = g_timeBudgetMs;
    g_timeBudgetMs = milliseconds;
    return old;
}

CScriptThread::~CScriptThread() {
    ReleaseTemps(0);
}

void CScriptThread::Kill() {
    stop_ = true;
    instance_ = nullptr;
}

s32 CScriptThread::Run(const ScriptSlot* args, int argCount) {
    const size_t n = vars_->entries.size();
    stack_.assign(n, ScriptSlot{});
    if (argCount > static_cast<int>(n)) argCount = static_cast<int>(n);
    for (int k = 0; k < argCount; ++k)
        stack_[static_cast<size_t>(k)] = args[k];
    for (size_t k = static_cast<size_t>(argCount); k < n; ++k)
        stack_[k].l = static_cast<CScriptList*>(NewScriptObjectOfType(vars_->entries[k].type));
    stack_.resize(std::max<size_t>(n, 256));  // room for calls without moving the frames
    stackSlots_ = stack_.size();
    top_ = n;
    base_ = 0;
    frame_ = stack_.data();
    frameVars_ = vars_;
    stepsLeft_ = g_stepBudget;
    nextCheck_ = stepsLeft_ > kTimeCheckStatements ? stepsLeft_ - kTimeCheckStatements : -1;
    startMs_ = platform::NowMs();
    allowedMs_ = g_timeBudgetMs;
    if (g_running.head) allowedMs_ = std::min(allowedMs_, g_running.head->TimeLeft(startMs_));
    quitAtStart_ = IsQuitting();
    runNext = g_running.head;
    g_running.head = this;
    ++g_running.count;
    if (!instance_ || instance_->IsTornDown()) Kill();
    stackFloor_ = ScriptStackFloor(__builtin_frame_address(0));
    if (!stop_ && StackLowAt(__builtin_frame_address(0))) {
        LogThreadError(instance_, "nested script threads use more stack than the interpreter has");
        Kill();
    }
    if (!stop_) RunBody(vars_);
    g_running.head = runNext;
    --g_running.count;
    s32 answer = result_;
    if (!stop_) answer = flow_ == Flow::Return ? TopWordOf(returnType_, returnValue_) : topWord_;
    for (size_t k = static_cast<size_t>(argCount); k < n; ++k)
        FreeScriptObjectOfType(vars_->entries[k].type, stack_[k].l);
    stack_.clear();
    stackSlots_ = 0;
    top_ = 0;
    ReleaseTemps(0);
    return answer;
}

u32 CScriptThread::TimeLeft(u32 now) const {
    const u32 used = platform::ElapsedMs(startMs_, now);
    return used >= allowedMs_ ? 0 : allowedMs_ - used;
}

std::string CScriptThread::Where(const ScriptNode* at) const {
    if (!instance_ || !frameVars_ || !at) return std::string();
    const CScriptClass& cls = *instance_->GetClass();
    std::string where = ", at " + DescribeStatement(cls, *frameVars_, at);
    if (frameVars_ != vars_) where += " in " + BodyName(cls, *vars_);
    return where;
}

void CScriptThread::StopWithError(const std::string& reason, const ScriptNode* at) {
    if (stop_) return;
    LogThreadError(instance_, reason + Where(at));
    Kill();
}

bool CScriptThread::Checkpoint(const ScriptNode* at) {
    if (stepsLeft_ < 0) {
        StopWithError("script thread ran more than " + std::to_string(g_stepBudget) +
                          " statements in one run",
                      at);
        return false;
    }
    nextCheck_ = stepsLeft_ > kTimeCheckStatements ? stepsLeft_ - kTimeCheckStatements : -1;
    if (TimeLeft(platform::NowMs()) == 0) {
        StopWithError("script thread ran longer than " + std::to_string(allowedMs_) +
                          " ms in one run",
                      at);
        return false;
    }
    return true;
}

bool CScriptThread::ValuesFit(BuiltinCall& call, u8 resultType) {
    // The language's own builtins refuse before they grow a value; this catches whatever
    // else made one too long, and empties it so that it cannot grow further on a later run.
    bool fit = true;
    const auto check = [&fit](BuiltinValue& v) {
        if (v.kind == ArgKind::String && v.s && !ScriptTextFits(v.s->GetLength())) {
            v.s->Clear();
            fit = false;
        }
        if (v.kind == ArgKind::UString && v.q && !ScriptTextFits(UStringTextBytes(v.q->GetLength()))) {
            v.q->Clear();
            fit = false;
        }
    };
    for (int k = 0; k < call.argCount; ++k)
        check(call.args[k]);
    if (resultType == kTypeString || resultType == kTypeUString) check(call.result);
    if (!fit) StopWithError("script value too large: " + StringOverLimitReason(), at_);
    return fit;
}

void CScriptThread::ReleaseTemps(size_t mark) {
    while (temps_.size() > mark) {
        const Temp t = temps_.back();
        temps_.pop_back();
        FreeScriptObjectOfType(t.type, t.object);
    }
}

CStr* CScriptThread::NewStringTemporary() {
    auto* s = static_cast<CStr*>(NewScriptObjectOfType(kTypeString));
    AddTemp(kTypeString, s);
    return s;
}

CUStr* CScriptThread::NewUStringTemporary() {
    auto* s = static_cast<CUStr*>(NewScriptObjectOfType(kTypeUString));
    AddTemp(kTypeUString, s);
    return s;
}

void CScriptThread::JumpTo(ScriptNode* target, bool runTargetNext) {
    flow_ = Flow::Jump;
    jumpTarget_ = target;
    runTargetNext_ = runTargetNext;
}

void CScriptThread::Return(const BuiltinValue* value) {
    flow_ = Flow::Return;
    returnValue_ = ScriptSlot{};
    if (!value) {
        returnType_ = kTypeVoid;
        return;
    }
    switch (value->kind) {
        case ArgKind::Location:
            returnType_ = kTypeLocation;
            SetSlotLocation(returnValue_, value->loc);
            break;
        case ArgKind::String: {
            returnType_ = kTypeString;
            CStr* copy = NewStringTemporary();
            *copy = *value->s;
            returnValue_.s = copy;
            break;
        }
        case ArgKind::Object:
            returnType_ = kTypeObject;
            returnValue_.i = value->i;
            break;
        default:
            returnType_ = kTypeInt;
            returnValue_.i = value->i;
            break;
    }
}

// The interpreter evaluates its arguments itself; the stack-based host operations of
// CallBuiltin are not used by it.
void CScriptThread::PopArgument(ArgKind, BuiltinValue&) {}
void CScriptThread::PushResult(const BuiltinValue&) {}

u8 CScriptThread::ArgumentType(int index) {
    if (!callChildren_) return kTypeUnknown;
    return ExprType(callChildren_[index]);
}

void CScriptThread::WriteBack(int index, const BuiltinValue& slot) {
    if (!callChildren_) return;
    ScriptSlot* var = VariableSlot(callChildren_[index]);
    if (!var) return;
    if (slot.kind == ArgKind::Location)
        SetSlotLocation(*var, slot.loc);
    else
        var->i = slot.i;
}

ScriptSlot* CScriptThread::VariableSlot(const ScriptNode* n) {
    switch (n->kind) {
        case NodeKind::Local:
        case NodeKind::LocalTarget:
            return &frame_[n->value];
        case NodeKind::Member:
        case NodeKind::MemberTarget:
            if (!instance_ || n->value < 0 || n->value >= instance_->MemberCount()) return nullptr;
            return &instance_->Member(n->value);
        default:
            return nullptr;
    }
}

u8 CScriptThread::ExprType(const ScriptNode* n) const {
    return ExpressionTypeOf(
        n, [](const ScriptNode* call) { return InfoOf(call->builtin).result; },
        [this](const ScriptNode* call) -> u8 {
            if (!instance_) return kTypeUnknown;
            const auto& fns = instance_->GetClass()->functions;
            if (call->value < 0 || static_cast<size_t>(call->value) >= fns.size())
                return kTypeUnknown;
            return ResultTypeFromSignature(fns[static_cast<size_t>(call->value)].signature[0]);
        });
}

// An int operand: locals, constants and parentheses directly, anything else evaluated.
inline s32 CScriptThread::Operand(const ScriptNode* x) {
    for (;;) {
        switch (OpOf(x)) {
            case kNodeLocal:
                return frame_[x->value].i;
            case kNodeConst:
                return x->value;
            case kOpNull:
                x = x->child;
                continue;
            default:
                return EvalInt(x);
        }
    }
}

#define ZQ_BINARY(expr)                        \
    {                                          \
        const s32 a = Operand(n->child);       \
        if (stop_) return 0;                   \
        const s32 b = Operand(n->child->next); \
        return expr;                           \
    }

inline s32 CScriptThread::EvalInt(const ScriptNode* n) {
    const FastOp op = OpOf(n);
    if (op == kNodeLocal) return frame_[n->value].i;
    if (op == kNodeConst) return n->value;
    if (IsBinaryIntOp(op)) {
        // One operator on locals and constants, the commonest argument: no code to run.
        const ScriptNode* l = n->child;
        const ScriptNode* r = l ? l->next : nullptr;
        const FastOp lop = l ? OpOf(l) : kOpGeneric;
        const FastOp rop = r ? OpOf(r) : kOpGeneric;
        if ((lop == kNodeLocal || lop == kNodeConst) && (rop == kNodeLocal || rop == kNodeConst))
            return IntBinaryValue(op, lop == kNodeLocal ? frame_[l->value].i : l->value,
                                  rop == kNodeLocal ? frame_[r->value].i : r->value);
    }
    if (IsBinaryIntOp(op) || op == kOpNot || op == kOpNull) {
        if (const IntCode* code = IntCodeOf(n)) return RunIntCode(*code);
    }
    return EvalIntTree(n);
}

// The operand reads of the compiled operations, by mode.
#define ZQ_A_Local frame[in.a].i
#define ZQ_A_Const in.a
#define ZQ_A_Reg regs[in.a]
#define ZQ_B_Local frame[in.b].i
#define ZQ_B_Const in.b
#define ZQ_B_Reg regs[in.b]
// One case per pair of operand modes of a binary operator: the value goes where STORE puts
// `v` (a register, a local, or the jump on a comparison's answer).
#define ZQ_INT_CASE(CODE, OP, MA, MB, STORE)                          \
    case CODE(OP, IntMode::MA, IntMode::MB): {                        \
        const s32 v = IntBinaryValue(OP, ZQ_A_##MA, ZQ_B_##MB);       \
        STORE;                                                        \
        break;                                                        \
    }
#define ZQ_INT_MODES(CODE, OP, STORE)          \
    ZQ_INT_CASE(CODE, OP, Local, Local, STORE) \
    ZQ_INT_CASE(CODE, OP, Local, Const, STORE) \
    ZQ_INT_CASE(CODE, OP, Local, Reg, STORE)   \
    ZQ_INT_CASE(CODE, OP, Const, Local, STORE) \
    ZQ_INT_CASE(CODE, OP, Const, Const, STORE) \
    ZQ_INT_CASE(CODE, OP, Const, Reg, STORE)   \
    ZQ_INT_CASE(CODE, OP, Reg, Local, STORE)   \
    ZQ_INT_CASE(CODE, OP, Reg, Const, STORE)   \
    ZQ_INT_CASE(CODE, OP, Reg, Reg, STORE)
#define ZQ_INT_COMPARISONS(CODE, STORE)  \
    ZQ_INT_MODES(CODE, kOpEq, STORE)     \
    ZQ_INT_MODES(CODE, kOpNe, STORE)     \
    ZQ_INT_MODES(CODE, kOpGt, STORE)     \
    ZQ_INT_MODES(CODE, kOpLt, STORE)     \
    ZQ_INT_MODES(CODE, kOpGe, STORE)     \
    ZQ_INT_MODES(CODE, kOpLe, STORE)
#define ZQ_INT_OPERATORS(CODE, STORE)   \
    ZQ_INT_MODES(CODE, kOpPlus, STORE)  \
    ZQ_INT_MODES(CODE, kOpMinus, STORE) \
    ZQ_INT_MODES(CODE, kOpMult, STORE)  \
    ZQ_INT_MODES(CODE, kOpDiv, STORE)   \
    ZQ_INT_MODES(CODE, kOpMod, STORE)   \
    ZQ_INT_MODES(CODE, kOpAnd, STORE)   \
    ZQ_INT_MODES(CODE, kOpOr, STORE)    \
    ZQ_INT_MODES(CODE, kOpXor, STORE)   \
    ZQ_INT_COMPARISONS(CODE, STORE)
// The operations expression code and body code share (frame, regs and the operation `in` in
// scope): every binary operator into a register, then '!' and the plain copy.
#define ZQ_INT_BINARY_CASES ZQ_INT_OPERATORS(IntBinaryCode, regs[in.dst] = v)
// Body code only: every binary operator into a local, and each comparison with the jump on
// its answer (to `target` when it is false).
#define ZQ_INT_TO_LOCAL_CASES ZQ_INT_OPERATORS(IntBinaryToLocalCode, frame[in.target].i = v)
#define ZQ_INT_JUMP_CASES ZQ_INT_COMPARISONS(IntJumpCode, if (v == 0) pc = in.target)
#define ZQ_INT_UNARY_CASES                            \
    case kIntNot + static_cast<u8>(IntMode::Local):   \
        regs[in.dst] = frame[in.a].i == 0;            \
        break;                                        \
    case kIntNot + static_cast<u8>(IntMode::Const):   \
        regs[in.dst] = in.a == 0;                     \
        break;                                        \
    case kIntNot + static_cast<u8>(IntMode::Reg):     \
        regs[in.dst] = regs[in.a] == 0;               \
        break;                                        \
    case kIntMove + static_cast<u8>(IntMode::Local):  \
        regs[in.dst] = frame[in.a].i;                 \
        break;                                        \
    case kIntMove + static_cast<u8>(IntMode::Const):  \
        regs[in.dst] = in.a;                          \
        break;                                        \
    case kIntMove + static_cast<u8>(IntMode::Reg):    \
        regs[in.dst] = regs[in.a];                    \
        break;

s32 CScriptThread::RunIntCode(const IntCode& code) {
    // Left uninitialised: every register is written before it is read (the compiler
    // allocates them as a stack), and clearing them would cost more than the expression.
    s32 regs[kMaxIntRegisters];
    const ScriptSlot* frame = frame_;
    for (const IntOperation& in : code.ops) {
        switch (in.code) {
            ZQ_INT_BINARY_CASES
            ZQ_INT_UNARY_CASES
            case kIntSub:
                if (in.node->kind != NodeKind::ScriptCall) nextCheck_ += kSlowStatementWeight;
                regs[in.dst] = EvalIntTree(in.node);
                if (stop_) return 0;
                frame = frame_;  // a call may have moved the stack
                break;
            case kIntCall:
                regs[in.dst] = CallWithIntArguments(code, in, regs);
                if (stop_) return 0;
                frame = frame_;
                break;
            default:
                break;
        }
    }
    return regs[code.result];
}

s32 CScriptThread::EvalIntTree(const ScriptNode* n) {
    switch (OpOf(n)) {
        case kNodeConst:
            return n->value;
        case kNodeLocal:
            return frame_[n->value].i;
        case kNodeScriptCall: {
            ScriptSlot v{};
            CallScriptNode(n, v);
            return v.i;
        }
        case kOpNull:
            return Operand(n->child);
        case kOpNot:
            return Operand(n->child) == 0;
        case kOpPlus:
            ZQ_BINARY(static_cast<s32>(static_cast<u32>(a) + static_cast<u32>(b)))
        case kOpMinus:
            ZQ_BINARY(static_cast<s32>(static_cast<u32>(a) - static_cast<u32>(b)))
        case kOpMult:
            ZQ_BINARY(static_cast<s32>(static_cast<u32>(a) * static_cast<u32>(b)))
        case kOpDiv:
            ZQ_BINARY(ScriptDiv(a, b))
        case kOpMod:
            ZQ_BINARY(ScriptMod(a, b))
        case kOpAnd:
            ZQ_BINARY(a != 0 && b != 0)
        case kOpOr:
            ZQ_BINARY(a != 0 || b != 0)
        case kOpXor:
            ZQ_BINARY(a ^ b)
        case kOpEq:
            ZQ_BINARY(a == b)
        case kOpNe:
            ZQ_BINARY(a != b)
        case kOpGt:
            ZQ_BINARY(a > b)
        case kOpLt:
            ZQ_BINARY(a < b)
        case kOpGe:
            ZQ_BINARY(a >= b)
        case kOpLe:
            ZQ_BINARY(a <= b)
        case kOpListInt: {
            ScriptSlot list{};
            Eval(n->child, list);
            if (stop_) return 0;
            const s32 index = EvalInt(n->child->next);
            if (stop_ || !list.l) return 0;
            const u8 tag = n->builtin->signature[0] == 'o' ? kTypeObject : kTypeInt;
            const CScriptListNode* item = GetListItemOfType(*list.l, index, tag);
            return item ? item->value.i : 0;
        }
        default: {
            ScriptSlot v{};
            Eval(n, v);
            return v.i;
        }
    }
}
#undef ZQ_BINARY

u8 CScriptThread::Eval(const ScriptNode* n, ScriptSlot& out) {
    switch (n->kind) {
        case NodeKind::IntConstant:
            out.i = n->value;
            return kTypeInt;
        case NodeKind::StringConstant:
            out.s = n->str;
            return kTypeString;
        case NodeKind::UStringConstant:
            out.q = n->ustr;
            return kTypeUString;
        case NodeKind::Local:
        case NodeKind::LocalTarget:
        case NodeKind::Member:
        case NodeKind::MemberTarget: {
            ScriptSlot* var = VariableSlot(n);
            out = var ? *var : ScriptSlot{};
            return n->varType;
        }
        case NodeKind::BuiltinCall: {
            const FastOp op = OpOf(n);
            if ((op >= kOpPlus && op <= kOpNull) || op == kOpListInt) {
                out.i = EvalInt(n);
                return n->builtin->signature[0] == 'o' ? kTypeObject : kTypeInt;
            }
            return CallBuiltinNode(n, out);
        }
        case NodeKind::ScriptCall:
            return CallScriptNode(n, out);
        case NodeKind::JumpTarget:
            out.i = 0;
            return kTypeInt;
        default:
            out.i = 0;
            return kTypeUnknown;
    }
}

u8 CScriptThread::CallBuiltinNode(const ScriptNode* n, ScriptSlot& out) {
    const BuiltinRecord& rec = *n->builtin;
    const RecordInfo& info = InfoOf(&rec);
    BuiltinCall call(*this, rec);
    const ArgSignature& args = info.args;
    const ScriptNode* children[kMaxBuiltinArgs] = {};
    call.argCount = args.count;
    const ScriptNode* child = n->child;
    for (int k = 0; k < args.count && child; ++k, child = child->next) {
        children[k] = child;
        BuiltinValue& a = call.args[k];
        if (child->kind == NodeKind::JumpTarget) {
            a.kind = ArgKind::JumpTarget;
            a.node = child->target;
            continue;
        }
        if (child->kind == NodeKind::JumpTable) {
            a.kind = ArgKind::JumpTable;
            a.table = child->cases;
            continue;
        }
        ArgKind kind = args.kinds[k];
        if (args.chars[k] == 'u') {
            const u8 t = ExprType(child);
            if (t > kTypeList) {
                // An any-type argument without a value: a run-time error, no message.
                Kill();
                return kTypeVoid;
            }
            kind = static_cast<ArgKind>(t);
        }
        a.kind = kind;
        ScriptSlot v{};
        Eval(child, v);
        if (stop_) return kTypeVoid;
        switch (kind) {
            case ArgKind::String:
            case ArgKind::UString:
            case ArgKind::List:
                if (!v.l) {
                    // No object behind the value (a variable outside its table): the thread
                    // cannot go on.
                    LogThreadError(instance_, "a string or list argument without a value");
                    Kill();
                    return kTypeVoid;
                }
                if (kind == ArgKind::String) a.s = v.s;
                if (kind == ArgKind::UString) a.q = v.q;
                if (kind == ArgKind::List) a.l = v.l;
                break;
            case ArgKind::Location:
                a.loc = LocationOf(v);
                break;
            default:
                a.i = v.i;
                break;
        }
    }
    if (StackLowAt(__builtin_frame_address(0))) {
        LogThreadError(instance_, std::string("script expression around '") + rec.name +
                                      "' uses more stack than the interpreter has");
        Kill();
        return kTypeVoid;
    }
    const BuiltinHandler handler = BoundHandler(rec);
    if (!handler) {
        LogThreadError(instance_, UnbuiltBuiltinMessage(rec).c_str());
        Kill();
        return kTypeVoid;
    }
    const u8 rt = info.result;
    call.result.kind = rt <= kTypeList ? static_cast<ArgKind>(rt) : ArgKind::Int;
    if (rt == kTypeString) call.result.s = NewStringTemporary();
    if (rt == kTypeUString) call.result.q = NewUStringTemporary();
    const ScriptNode* const* savedChildren = callChildren_;
    callChildren_ = children;
    handler(call);
    callChildren_ = savedChildren;
    for (int k = 0; k < args.count; ++k) {
        if (args.WritesBack(k) && children[k]) {
            ScriptSlot* var = VariableSlot(children[k]);
            if (!var) continue;
            if (args.chars[k] == 'C')
                SetSlotLocation(*var, call.args[k].loc);
            else
                var->i = call.args[k].i;
        }
    }
    switch (rt) {
        case kTypeInt:
        case kTypeObject:
            out.i = call.result.i;
            break;
        case kTypeString:
            out.s = call.result.s;
            break;
        case kTypeUString:
            out.q = call.result.q;
            break;
        case kTypeLocation:
            SetSlotLocation(out, call.result.loc);
            break;
        case kTypeList:
            out.l = call.result.l ? call.result.l : new CScriptList();
            AddTemp(kTypeList, out.l);
            break;
        default:
            break;
    }
    if (!ValuesFit(call, rt)) return kTypeVoid;
    return rt;
}

void CScriptThread::GrowStackTo(size_t slots) {
    stack_.resize(std::max(slots, 2 * stack_.size()));
    stackSlots_ = stack_.size();
    frame_ = stack_.data() + base_;
}

const ScriptFunction* CScriptThread::CalledFunction(const ScriptNode* n) {
    if (!instance_) {
        Kill();
        return nullptr;
    }
    // The instance's own class: a child class's version runs even from inherited code.
    const auto& fns = instance_->GetClass()->functions;
    if (n->value < 0 || static_cast<size_t>(n->value) >= fns.size()) {
        Kill();
        return nullptr;
    }
    const ScriptFunction& fn = fns[static_cast<size_t>(n->value)];
    if (fn.resultType == 0xFF) {
        const u8 t = TypeFromSignature(fn.signature.empty() ? 'v' : fn.signature[0]);
        fn.resultType = t == kTypeNone ? static_cast<u8>(kTypeVoid) : t;
    }
    return &fn;
}

[[gnu::always_inline]] inline u8 CScriptThread::EnterFunction(const ScriptFunction& fn,
                                                              const ScriptNode* n, size_t newBase,
                                                              ScriptSlot& out) {
    const u8 rt = fn.resultType;
    const ScriptVarTable* vars = fn.vars;
    if (!vars || !vars->body) {
        // A function that was only declared: the thread cannot go on.
        top_ = newBase;
        Kill();
        return rt;
    }
    if (g_running.callDepth >= kMaxScriptCallDepth || StackLowAt(__builtin_frame_address(0))) {
        top_ = newBase;
        const std::string what =
            g_running.callDepth >= kMaxScriptCallDepth
                ? "script calls nested deeper than " + std::to_string(kMaxScriptCallDepth) +
                      " in " + fn.name
                : "script calls in " + fn.name + " use more stack than the interpreter has";
        LogThreadError(instance_, what);
        Kill();
        return rt;
    }
    const size_t argCount = top_ - newBase;
    const size_t n2 = vars->entries.size();
    const size_t frameTop = newBase + (n2 > argCount ? n2 : argCount);
    GrowStack(frameTop);
    for (; top_ < frameTop; ++top_)
        stack_[top_] = ScriptSlot{};
    if (vars->holdsObjects < 0) {
        vars->holdsObjects = 0;
        for (const ScriptVarEntry& e : vars->entries)
            if (e.type == kTypeString || e.type == kTypeUString || e.type == kTypeList)
                vars->holdsObjects = 1;
    }
    const bool holdsObjects = vars->holdsObjects > 0;
    // The arguments become the first variables of the new frame: a string, ustring or list
    // variable passes its own object, so the function may fill the caller's list. A constant
    // or a computed value passes a copy of its own (a temporary of the caller's statement),
    // so that no function writes into a compiled constant.
    const ScriptNode* arg = n->child;
    for (size_t k = 0; holdsObjects && k < n2; ++k, arg = arg ? arg->next : nullptr) {
        const u8 t = vars->entries[k].type;
        if (t != kTypeString && t != kTypeUString && t != kTypeList) continue;
        ScriptSlot& slot = stack_[newBase + k];
        if (k >= argCount) {
            slot.l = static_cast<CScriptList*>(NewScriptObjectOfType(t));  // a local
            continue;
        }
        if (slot.l && arg && IsVariableNode(arg)) continue;
        void* copy = NewScriptObjectOfType(t);
        AddTemp(t, copy);
        if (slot.l) {
            if (t == kTypeString)
                *static_cast<CStr*>(copy) = *slot.s;
            else if (t == kTypeUString)
                *static_cast<CUStr*>(copy) = *slot.q;
            else
                static_cast<CScriptList*>(copy)->AppendCopyOf(*slot.l);
        }
        slot.l = static_cast<CScriptList*>(copy);
    }
    const size_t savedBase = base_;
    const s32 savedTop = topWord_;
    const ScriptVarTable* savedVars = frameVars_;
    const ScriptNode* savedAt = at_;
    base_ = newBase;
    frame_ = stack_.data() + base_;
    frameVars_ = vars;
    ++g_running.callDepth;
    RunBody(vars);
    --g_running.callDepth;
    frameVars_ = savedVars;
    at_ = savedAt;
    if (holdsObjects)
        for (size_t k = argCount; k < n2; ++k)
            FreeScriptObjectOfType(vars->entries[k].type, stack_[newBase + k].l);
    top_ = newBase;
    base_ = savedBase;
    frame_ = stack_.data() + base_;
    topWord_ = savedTop;
    if (stop_) return kTypeVoid;
    // The returned value, or the empty value of the result type when the body ended without
    // a return statement.
    const bool returned = flow_ == Flow::Return;
    flow_ = Flow::Next;
    if (rt == kTypeInt || rt == kTypeObject) {
        out.i = returned && returnType_ != kTypeLocation ? returnValue_.i : 0;
        return rt;
    }
    switch (rt) {
        case kTypeLocation:
            if (returned && returnType_ == kTypeLocation)
                out = returnValue_;
            else
                out.c = ScriptLoc{0, 0, 0};
            break;
        case kTypeString:
            if (returned && returnType_ == kTypeString) {
                out.s = returnValue_.s;  // a temporary of this thread
            } else {
                out.s = NewStringTemporary();
            }
            break;
        case kTypeUString:
            out.q = NewUStringTemporary();
            break;
        case kTypeList:
            out.l = new CScriptList();
            AddTemp(kTypeList, out.l);
            break;
        default:
            break;
    }
    return rt;
}

u8 CScriptThread::CallScriptNode(const ScriptNode* n, ScriptSlot& out) {
    out = ScriptSlot{};
    const ScriptFunction* fn = CalledFunction(n);
    if (!fn) return kTypeVoid;
    const size_t newBase = top_;
    for (const ScriptNode* child = n->child; child; child = child->next) {
        ScriptSlot v{};
        const FastOp op = OpOf(child);
        if (op == kNodeLocal)
            v = frame_[child->value];
        else if (op == kNodeConst || IsBinaryIntOp(op))
            v.i = EvalInt(child);
        else
            Eval(child, v);
        if (stop_) {
            top_ = newBase;
            return kTypeVoid;
        }
        GrowStack(top_ + 1);
        stack_[top_++] = v;
    }
    return EnterFunction(*fn, n, newBase, out);
}

s32 CScriptThread::CallWithIntArguments(const IntCode& code, const IntOperation& in,
                                        const s32* regs) {
    const ScriptFunction* fn = CalledFunction(in.node);
    if (!fn) return 0;
    const size_t newBase = top_;
    const size_t count = static_cast<size_t>(in.b);
    GrowStack(top_ + count);
    const IntArgument* arg = code.args.data() + in.a;
    ScriptSlot* slot = stack_.data() + top_;
    for (size_t k = 0; k < count; ++k, ++arg, ++slot) {
        // The same slots the tree walk pushes: a local whole, a value in the int half.
        if (arg->mode == IntMode::Local) {
            *slot = frame_[arg->value];
            continue;
        }
        slot->l = nullptr;
        slot->i = arg->mode == IntMode::Const ? arg->value : regs[arg->value];
    }
    top_ += count;
    ScriptSlot out{};
    EnterFunction(*fn, in.node, newBase, out);
    return out.i;
}

[[gnu::always_inline]] inline bool CScriptThread::StartStatement(const ScriptNode* at) {
    if (--stepsLeft_ <= nextCheck_ && !Checkpoint(at)) return false;
    if (IsQuitting() && !quitAtStart_) {
        StopWithError(kQuittingReason, at);
        return false;
    }
    at_ = at;
    return true;
}

inline void CScriptThread::RunBody(const ScriptVarTable* vars) {
    if (const IntCode* code = BodyCodeOf(*vars))
        RunBodyCode(*code);
    else
        RunChain(vars->body);
}

void CScriptThread::RunChain(const ScriptNode* head) {
    const ScriptNode* cur = head;
    while (cur) {
        if (!StartStatement(cur)) return;
        bool leave = false;
        cur = RunStatement(cur, leave);
        if (leave) return;
    }
}

const ScriptNode* CScriptThread::RunStatement(const ScriptNode* cur, bool& leave) {
    const ScriptNode* next = cur->next;
    const size_t mark = temps_.size();
    if (cur->kind == NodeKind::BuiltinCall) {
        const FastOp op = OpOf(cur);
        switch (op) {
            case kOpIf: {
                const s32 cond = EvalInt(cur->child);
                if (stop_) break;
                if (cond == 0) {
                    const ScriptNode* t = cur->child->next ? cur->child->next->target : nullptr;
                    next = t ? t->next : nullptr;
                }
                break;
            }
            case kOpJump: {
                const ScriptNode* op = cur->child;
                while (op && op->next)
                    op = op->next;
                const ScriptNode* t = op ? op->target : nullptr;
                next = t ? t->next : nullptr;
                break;
            }
            case kOpLoopBack:
                next = cur->child ? cur->child->target : nullptr;
                break;
            case kOpNothing:
                break;
            case kOpAssignInt:
            case kOpInc:
            case kOpDec: {
                ScriptSlot* var = VariableSlot(cur->child);
                if (!var) goto generic;
                if (op == kOpAssignInt) {
                    const s32 v = EvalInt(cur->child->next);
                    if (stop_) break;
                    var = VariableSlot(cur->child);  // the stack may have moved
                    var->i = v;
                } else {
                    var->i = static_cast<s32>(static_cast<u32>(var->i) +
                                              (op == kOpInc ? 1u : 0xFFFFFFFFu));
                }
                break;
            }
            case kOpReturnInt: {
                const s32 v = EvalInt(cur->child);
                if (stop_) break;
                returnType_ = kTypeInt;
                returnValue_ = ScriptSlot{};
                returnValue_.i = v;
                flow_ = Flow::Return;
                leave = true;
                return nullptr;
            }
            case kOpAppend: {
                const ScriptNode* value = cur->child->next;
                const u8 t = ExprType(value);
                if (t != kTypeInt && t != kTypeObject) goto generic;
                ScriptSlot list{};
                Eval(cur->child, list);
                if (stop_) break;
                const s32 v = EvalInt(value);
                if (stop_) break;
                if (list.l) list.l->Append(t, ScriptListValue::Int(v));
                break;
            }
            case kOpReturnVoid:
                returnType_ = kTypeVoid;
                returnValue_ = ScriptSlot{};
                flow_ = Flow::Return;
                leave = true;
                return nullptr;
            default:
            generic : {
                // A builtin's own handler may take long (it may copy large values): it brings
                // the next look at the clock nearer.
                nextCheck_ += kSlowStatementWeight;
                ScriptSlot v{};
                const u8 t = Eval(cur, v);
                if (stop_) break;
                if (flow_ == Flow::Return) {
                    leave = true;
                    return nullptr;
                }
                if (flow_ == Flow::Jump) {
                    flow_ = Flow::Next;
                    next = runTargetNext_ || !jumpTarget_ ? jumpTarget_ : jumpTarget_->next;
                }
                if (t <= kTypeList) topWord_ = TopWordOf(t, v);
                break;
            }
        }
    } else if (cur->kind == NodeKind::ScriptCall) {
        ScriptSlot v{};
        const u8 t = CallScriptNode(cur, v);
        if (!stop_ && t <= kTypeList) topWord_ = TopWordOf(t, v);
    }
    if (stop_) {
        leave = true;
        return nullptr;
    }
    if (temps_.size() > mark) ReleaseTemps(mark);
    return next;
}

void CScriptThread::RunBodyCode(const IntCode& code) {
    s32 regs[kMaxIntRegisters];  // written before read, as in RunIntCode
    const IntOperation* const ops = code.ops.data();
    const u32 end = static_cast<u32>(code.ops.size());
    ScriptSlot* frame = frame_;
    const size_t mark = temps_.size();  // what the statements' temporaries come after
    const ScriptNode* stmt = nullptr;    // the statement running
    u32 pc = 0;
    while (pc < end) {
        const IntOperation& in = ops[pc++];
        if (in.statement) {
            // StartStatement without noting the statement: only the operations that run
            // other code (below) need at_, for the log lines of what they stop.
            stmt = in.at;
            if (--stepsLeft_ <= nextCheck_ && !Checkpoint(stmt)) return;
            if (IsQuitting() && !quitAtStart_) {
                StopWithError(kQuittingReason, stmt);
                return;
            }
        }
        switch (in.code) {
            ZQ_INT_BINARY_CASES
            ZQ_INT_UNARY_CASES
            case kIntStoreLocal + static_cast<u8>(IntMode::Local):
                frame[in.a].i = frame[in.b].i;
                break;
            case kIntStoreLocal + static_cast<u8>(IntMode::Const):
                frame[in.a].i = in.b;
                break;
            case kIntStoreLocal + static_cast<u8>(IntMode::Reg):
                frame[in.a].i = regs[in.b];
                break;
            case kIntIncLocal:
                frame[in.a].i = static_cast<s32>(static_cast<u32>(frame[in.a].i) + 1u);
                break;
            case kIntDecLocal:
                frame[in.a].i = static_cast<s32>(static_cast<u32>(frame[in.a].i) - 1u);
                break;
            case kIntJumpIfZero + static_cast<u8>(IntMode::Local):
                if (frame[in.a].i == 0) pc = in.target;
                break;
            case kIntJumpIfZero + static_cast<u8>(IntMode::Const):
                if (in.a == 0) pc = in.target;
                break;
            case kIntJumpIfZero + static_cast<u8>(IntMode::Reg):
                if (regs[in.a] == 0) pc = in.target;
                break;
            ZQ_INT_JUMP_CASES
            ZQ_INT_TO_LOCAL_CASES
            case kIntSub:
                at_ = stmt;
                if (in.node->kind == NodeKind::ScriptCall) {
                    ScriptSlot v{};
                    CallScriptNode(in.node, v);
                    regs[in.dst] = v.i;
                } else {
                    nextCheck_ += kSlowStatementWeight;
                    regs[in.dst] = EvalIntTree(in.node);
                }
                if (stop_) return;
                frame = frame_;  // a call may have moved the stack
                break;
            case kIntCall:
                at_ = stmt;
                regs[in.dst] = CallWithIntArguments(code, in, regs);
                if (stop_) return;
                frame = frame_;  // a call may have moved the stack
                break;
            case kIntReleaseTemps:
                if (temps_.size() > mark) ReleaseTemps(mark);
                break;
            case kIntJump:
                pc = in.target;
                break;
            case kIntReturn + static_cast<u8>(IntMode::Local):
            case kIntReturn + static_cast<u8>(IntMode::Const):
            case kIntReturn + static_cast<u8>(IntMode::Reg): {
                const u16 mode = static_cast<u16>(in.code - kIntReturn);
                returnType_ = kTypeInt;
                returnValue_ = ScriptSlot{};
                returnValue_.i = mode == static_cast<u16>(IntMode::Local)   ? frame[in.a].i
                                 : mode == static_cast<u16>(IntMode::Const) ? in.a
                                                                           : regs[in.a];
                flow_ = Flow::Return;
                return;
            }
            case kIntReturnVoid:
                returnType_ = kTypeVoid;
                returnValue_ = ScriptSlot{};
                flow_ = Flow::Return;
                return;
            case kIntSlow: {
                at_ = stmt;
                bool leave = false;
                const ScriptNode* next = RunStatement(in.node, leave);
                if (leave || !next) return;
                frame = frame_;  // a call may have moved the stack
                // A jump a builtin made may lead anywhere in the chain: on through the code
                // when the node is one of its statements, else statement by statement.
                if (next->runPc < end && ops[next->runPc].at == next) {
                    pc = next->runPc;
                } else {
                    RunChain(next);
                    return;
                }
                break;
            }
            default:
                break;
        }
    }
}

s32 RunScriptBody(CScriptInstance* instance, const ScriptVarTable* vars, const ScriptSlot* args,
                  int argCount) {
    if (!vars) return 0;
    struct Activation {
        CScriptInstance* instance;
        const ScriptVarTable* vars;
        const ScriptSlot* args;
        int argCount;
        s32 result;
    } a{instance, vars, args, argCount, 0};
    // The outermost thread moves onto the script stack; nested ones are already there.
    ScriptStack().Run(
        [](void* p) {
            auto* a = static_cast<Activation*>(p);
            CScriptThread thread(a->instance, a->vars);
            a->result = thread.Run(a->args, a->argCount);
        },
        &a);
    return a.result;
}

s32 RunScriptFunction(CScriptInstance* instance, const TriggerHandler* handler,
                      const ScriptSlot* args, int argCount) {
    if (!handler) return 0;
    return RunScriptBody(instance, handler->vars, args, argCount);
}

CScriptThread* CurrentScriptThread() {
    return g_running.head;
}

CScriptThread* PreviousScriptThread() {
    return g_running.head ? g_running.head->runNext : nullptr;
}

int RunningThreadCount() {
    return g_running.count;
}

bool ScriptActivity() {
    return g_running.count > 0 || g_running.activity > 0;
}

ScriptActivityScope::ScriptActivityScope() {
    ++g_running.activity;
}
ScriptActivityScope::~ScriptActivityScope() {
    --g_running.activity;
}

void KillThread(CScriptThread* thread) {
    if (thread) thread->Kill();
}

void KillThreadsOfInstance(CScriptInstance* instance) {
    for (CScriptThread* t = g_running.head; t; t = t->runNext)
        if (t->GetInstance() == instance) t->Kill();
}

void KillThreadsOfObject(CBaseObject* object) {
    for (CScriptThread* t = g_running.head; t; t = t->runNext)
        if (t->GetInstance() && t->GetInstance()->GetObject() == object) t->Kill();
}

void KillThreadsOfObjectClass(CBaseObject* object, const char* className) {
    for (CScriptThread* t = g_running.head; t; t = t->runNext) {
        CScriptInstance* i = t->GetInstance();
        if (i && i->GetObject() == object && i->GetClass()->name == className) t->Kill();
    }
}

CBaseObject* CurrentScriptObject() {
    CScriptThread* t = g_running.head;
    return t && t->GetInstance() ? t->GetInstance()->GetObject() : nullptr;
}

int AppendRunningClassName(CStr& out) {
    CScriptThread* t = g_running.head;
    if (!t || !t->GetInstance()) return 0;
    out += t->GetInstance()->GetClass()->name.c_str();
    return 1;
}

#undef ZQ_INT_UNARY_CASES
#undef ZQ_INT_JUMP_CASES
#undef ZQ_INT_TO_LOCAL_CASES
#undef ZQ_INT_BINARY_CASES
#undef ZQ_INT_OPERATORS
#undef ZQ_INT_COMPARISONS
#undef ZQ_INT_MODES
#undef ZQ_INT_CASE
#undef ZQ_A_Local
#undef ZQ_A_Const
#undef ZQ_A_Reg
#undef ZQ_B_Local
#undef ZQ_B_Const
#undef ZQ_B_Reg
