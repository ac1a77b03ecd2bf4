#pragma once
// The interpreter. A script thread runs one trigger handler (and the script functions it
// calls) to its end on the server's main thread: RunScriptFunction returns only when the
// handler has finished, returned, been killed, or its instance was torn down. A builtin may
// send a trigger, which runs further threads to their end inside it; the running-thread list
// is the stack of these nested threads, its head the current thread.
//
// Ownership and lifetimes:
// - A thread lives on the C++ stack of its RunScriptFunction; the running list only points
//   at threads that are inside their RunScriptFunction, and each leaves it before returning.
// - Killing a thread (KillThread, KillCurrentThread, teardown of its instance) only sets its
//   killed flag and drops its instance: the thread stops before its next statement or
//   expression and answers its default result (0, or what setDefaultReturn set). Nothing is
//   unwound from outside; the thread frees its own locals and temporaries as it returns.
// - A thread refers to its instance by pointer; instances stay allocated while any thread
//   runs (see script_instance.h), and a torn-down instance kills its threads first.
// - World objects are never held by pointer across a builtin call: scripts name them by
//   serial, and builtins look them up again after anything that may have run a handler.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"
#include "script/runtime/builtin_call.h"
#include "script/runtime/script_slot.h"

class CBaseObject;
class CScriptClass;
class CScriptInstance;
class IntCode;
struct IntOperation;
struct ScriptFunction;
struct ScriptVarTable;
struct ScriptNode;
struct TriggerHandler;

// Script function calls may nest this deep in all running threads together; a deeper call
// stops its thread with a log line instead of exhausting the stack. Threads run on a stack
// of their own (kScriptStackBytes, committed only as it is used), measured to hold this many
// calls with room to spare in every build, the sanitizer builds included. Whatever would
// still come within kScriptStackReserve of its end (unusually large expressions in every
// call, many nested threads) stops the thread the same way.
constexpr int kMaxScriptCallDepth = 10000;
constexpr size_t kScriptStackBytes = size_t{256} << 20;
constexpr size_t kScriptStackReserve = size_t{1} << 20;

// Each activation of a script thread (one RunScriptFunction) may run this many statements,
// those of the functions it calls included; past it the thread is stopped with a log line
// naming the class and the statement, so a handler that never ends cannot hang the server.
constexpr s64 kDefaultScriptStepBudget = 10'000'000;
// Sets the budget of the activations that start from now on; answers the previous one.
s64 SetScriptStepBudget(s64 statements);

// Each activation may also run for this long (milliseconds on the platform clock), the
// threads it starts included: an activation started inside another ends no later than the
// outer one may. Statements that each copy large values stay within the statement budget
// for hours; the time budget stops them the same way.
constexpr u32 kDefaultScriptTimeBudgetMs = 2000;
// The clock is read every this many statements,
constexpr s64 kTimeCheckStatements = 1024;
// and sooner when statements run builtins' own handlers (which may copy large values): each
// counts this many more, so the clock is read at least every
// kTimeCheckStatements / kSlowStatementWeight such statements.
constexpr s64 kSlowStatementWeight = 32;
// Sets the time budget of the activations that start from now on; answers the previous one.
u32 SetScriptTimeBudget(u32 milliseconds);

// A quit request (the process's quit flag) stops every running activation at its next
// statement with a log line. Activations started once the request was made (shutdown's own
// handlers) run as usual.

class CScriptThread final : public BuiltinCallHost {
public:
    CScriptThread(CScriptInstance* instance, const ScriptVarTable* vars);
    ~CScriptThread() override;
    CScriptThread(const CScriptThread&) = delete;
    CScriptThread& operator=(const CScriptThread&) = delete;

    // Runs the body with the given first variables (the handler's parameters, by value;
    // strings, ustrings and lists stay the caller's) and answers the result.
    s32 Run(const ScriptSlot* args, int argCount);

    CScriptInstance* GetInstance() const { return instance_; }
    bool IsKilled() const override { return stop_; }
    void Kill() override;

    // BuiltinCallHost.
    void PopArgument(ArgKind kind, BuiltinValue& slot) override;
    u8 ArgumentType(int index) override;
    void WriteBack(int index, const BuiltinValue& slot) override;
    void PushResult(const BuiltinValue& result) override;
    CStr* NewStringTemporary() override;
    CUStr* NewUStringTemporary() override;
    void JumpTo(ScriptNode* target, bool runTargetNext) override;
    void Return(const BuiltinValue* value) override;
    void SetDefaultResult(s32 value) override { result_ = value; }

    CScriptThread* runNext = nullptr;  // the running list, toward the outer threads

private:
    struct Temp {
        u8 type;
        void* object;
    };
    enum class Flow : u8 { Next, Jump, Return };

    // Runs a body: through its compiled code (RunBodyCode) when it has one, else statement by
    // statement (RunChain).
    void RunBody(const ScriptVarTable* vars);
    void RunChain(const ScriptNode* head);
    void RunBodyCode(const IntCode& code);
    // What each statement does first: counts it against the budgets and honours a quit
    // request; false when the thread has been stopped there.
    bool StartStatement(const ScriptNode* at);
    // Runs one statement (StartStatement done) and answers the one to run next, null at the
    // end of the chain; leave is set when the body ends here (a return, a stop).
    const ScriptNode* RunStatement(const ScriptNode* cur, bool& leave);
    // The checks made every kTimeCheckStatements statements and at the step budget's end:
    // false when the thread has been stopped at the statement.
    bool Checkpoint(const ScriptNode* at);
    // The milliseconds this activation may still run at the given time.
    u32 TimeLeft(u32 now) const;
    // Evaluates an expression; answers its value type (void and unknown carry nothing).
    u8 Eval(const ScriptNode* node, ScriptSlot& out);
    // An int expression: operator trees through their compiled form (RunIntCode), anything
    // else through the tree walk (EvalIntTree).
    s32 EvalInt(const ScriptNode* node);
    s32 EvalIntTree(const ScriptNode* node);
    s32 RunIntCode(const IntCode& code);
    s32 Operand(const ScriptNode* node);
    u8 CallBuiltinNode(const ScriptNode* node, ScriptSlot& out);
    u8 CallScriptNode(const ScriptNode* node, ScriptSlot& out);
    // The function a script call names in the instance's class; null (the thread killed)
    // when there is none.
    const ScriptFunction* CalledFunction(const ScriptNode* call);
    // A call whose arguments compiled code computed (kIntCall): pushes them, runs the
    // function and answers its int result.
    s32 CallWithIntArguments(const IntCode& code, const IntOperation& in, const s32* regs);
    // Runs the function with its arguments on the stack from newBase on: makes its frame,
    // runs its body and answers its value the way CallScriptNode does.
    u8 EnterFunction(const ScriptFunction& fn, const ScriptNode* call, size_t newBase,
                     ScriptSlot& out);
    // Whether a frame at this address is within the reserve of the script stack's end.
    [[gnu::always_inline]] bool StackLowAt(const void* frame) const {
        return reinterpret_cast<uintptr_t>(frame) < stackFloor_;
    }
    u8 ExprType(const ScriptNode* node) const;
    ScriptSlot* VariableSlot(const ScriptNode* node);
    void ReleaseTemps(size_t mark);
    // Makes the stack hold at least this many slots (frame_ follows when it moves).
    [[gnu::always_inline]] void GrowStack(size_t slots) {
        if (slots > stackSlots_) GrowStackTo(slots);
    }
    void GrowStackTo(size_t slots);
    // Stops the thread at the statement with a log line: the reason, where it stopped (the
    // statement and the activation's handler) and the class. Nothing when already stopped.
    void StopWithError(const std::string& reason, const ScriptNode* at);
    // The reason's tail of StopWithError: ", at statement N of ... in trigger t".
    std::string Where(const ScriptNode* at) const;
    // Whether the values a builtin left (its string arguments and result) are within the
    // limits; an oversized one is emptied and the thread stopped.
    bool ValuesFit(BuiltinCall& call, u8 resultType);
    friend bool StopCurrentThreadImpl(const std::string& reason);
    void AddTemp(u8 type, void* object) { temps_.push_back(Temp{type, object}); }

    CScriptInstance* instance_;
    const ScriptVarTable* vars_;
    std::vector<ScriptSlot> stack_;  // the frames: one slot per variable, up to top_
    size_t stackSlots_ = 0;          // stack_.size(), at hand for every push
    size_t top_ = 0;                 // the slots in use; the rest is room to grow
    size_t base_ = 0;                // the current frame's first slot
    ScriptSlot* frame_ = nullptr;    // stack_.data() + base_, renewed whenever either changes
    std::vector<Temp> temps_;
    const ScriptVarTable* frameVars_ = nullptr;  // the variable table of the running body
    s64 stepsLeft_ = 0;                          // statements this activation may still run
    s64 nextCheck_ = 0;    // the Checkpoint comes when stepsLeft_ has come down to this
    u32 startMs_ = 0;      // when the activation started
    u32 allowedMs_ = 0;    // how long it may run
    bool quitAtStart_ = false;  // the quit request was made before it started
    const ScriptNode* at_ = nullptr;  // the statement running in the current body
    s32 result_ = 0;                             // the default answer
    s32 topWord_ = 0;    // the value the last statement left in the current function
    bool stop_ = false;  // killed
    Flow flow_ = Flow::Next;
    const ScriptNode* jumpTarget_ = nullptr;
    bool runTargetNext_ = false;
    ScriptSlot returnValue_{};
    u8 returnType_ = 6;
    const ScriptNode* const* callChildren_ = nullptr;  // the builtin call being made
    uintptr_t stackFloor_ = 0;  // frames below this are too near the stack's end (0: no limit)
};

// Runs a trigger handler of the instance with its packed parameters (one slot per parameter,
// in order) and answers its result: the value its return statement gave, else the last value
// a statement left, else 0; a killed thread answers its default result.
s32 RunScriptFunction(CScriptInstance* instance, const TriggerHandler* handler,
                      const ScriptSlot* args, int argCount);
// The same for any compiled variable table (a function body), used by tests and tools.
s32 RunScriptBody(CScriptInstance* instance, const ScriptVarTable* vars, const ScriptSlot* args,
                  int argCount);

// The running threads, innermost first.
CScriptThread* CurrentScriptThread();
int RunningThreadCount();
// The thread that runs inside the current one's caller (the one before it), or null.
CScriptThread* PreviousScriptThread();
// True while a thread runs or a trigger dispatch is in progress: released instances and
// values must not be freed then.
bool ScriptActivity();
// Dispatches mark themselves active with this guard.
struct ScriptActivityScope {
    ScriptActivityScope();
    ~ScriptActivityScope();
};

void KillThread(CScriptThread* thread);
void KillThreadsOfInstance(CScriptInstance* instance);
void KillThreadsOfObject(CBaseObject* object);
// Threads whose instance is attached to the object and whose class has exactly that name.
void KillThreadsOfObjectClass(CBaseObject* object, const char* className);
// The object the current thread's instance is attached to, or null.
CBaseObject* CurrentScriptObject();
// Appends the name of the current thread's class; 0 when there is no thread or instance.
class CStr;
int AppendRunningClassName(CStr& out);
