#include "script/builtins/builtin_call.h"

#include <string>

#include "core/log_sink.h"
#include "script/compiler/statement_tree.h"
#include "script/runtime/script_value.h"

bool DecodeArgSignature(const char* args, ArgSignature& out) {
    int n = 0;
    bool afterBar = false;
    for (const char* p = args; *p; ++p) {
        if (*p == '|') {
            afterBar = true;
            continue;
        }
        if (n == kMaxBuiltinArgs) {
            out.count = n;
            return false;
        }
        out.chars[n] = *p;
        out.hidden[n] = afterBar;
        out.kinds[n] = KindOfChar(*p);
        ++n;
    }
    out.count = n;
    return true;
}

std::string UnbuiltBuiltinMessage(const BuiltinRecord& record) {
    return std::string("script builtin '") + record.name + "' (" + record.signature +
           ") is not built yet; the script thread is stopped";
}

void CallBuiltin(BuiltinCallHost& host, const BuiltinRecord& record) {
    BuiltinCall call(host, record);
    const char* sig = record.signature;
    ArgSignature args;
    if (!DecodeArgSignature(sig + 1, args)) {
        host.Kill();
        return;
    }
    const int n = args.count;
    call.argCount = n;
    // Pop from the last argument to the first.
    for (int k = n - 1; k >= 0; --k) {
        BuiltinValue& slot = call.args[k];
        if (args.chars[k] == 'u') {
            const u8 type = host.ArgumentType(k);
            if (type > kTypeList) {
                // An any-type argument without a value: a run-time error, no message.
                host.Kill();
                return;
            }
            slot.kind = static_cast<ArgKind>(type);
        } else if (args.chars[k] == 'i' && (args.hidden[k] || record.handler == &BuiltinJump)) {
            // Hidden int operands are jump targets, and so is the label operand of a goto.
            slot.kind = ArgKind::JumpTarget;
        } else {
            slot.kind = args.kinds[k];
        }
        host.PopArgument(slot.kind, slot);
    }
    if (!record.handler) {
        GetLogSink().Log(0, 0, 0, "", "script", "error", UnbuiltBuiltinMessage(record).c_str());
        host.Kill();
        return;
    }
    const char result = sig[0];
    call.result.kind = KindOfChar(result);
    if (result == 's') call.result.s = host.NewStringTemporary();
    if (result == 'q') call.result.q = host.NewUStringTemporary();
    record.handler(call);
    for (int k = 0; k < n; ++k)
        if (args.WritesBack(k)) host.WriteBack(k, call.args[k]);
    if (result != 'v' && result != 'u') host.PushResult(call.result);
}

void BuiltinIf(BuiltinCall& call) {
    if (call.Int(0) == 0) call.host.JumpTo(call.Arg(1).node, false);
}

void BuiltinJump(BuiltinCall& call) {
    call.host.JumpTo(call.Arg(call.argCount - 1).node, false);
}

void BuiltinLoopBack(BuiltinCall& call) {
    call.host.JumpTo(call.Arg(0).node, true);
}

void BuiltinSwitch(BuiltinCall& call) {
    const s32 value = call.Int(0);
    ScriptNode* target = nullptr;
    ScriptNode* fallback = nullptr;
    for (SwitchCase* e = call.Arg(1).table; e; e = e->next) {
        if (e->value == value) {
            target = e->target;
            break;
        }
        if (e->value == kDefaultCaseValue) fallback = e->target;
    }
    call.host.JumpTo(target ? target : fallback, false);
}

void BuiltinNothing(BuiltinCall&) {}

void BuiltinReturnVoid(BuiltinCall& call) {
    call.host.Return(nullptr);
}

void BuiltinReturnValue(BuiltinCall& call) {
    call.host.Return(&call.Arg(0));
}

void BuiltinPlaceholder(BuiltinCall&) {}
