#include "script/runtime/builtin_call.h"

#include <cstring>
#include <string>

#include "core/log_sink.h"
#include "script/language/script_value.h"
#include "script/runtime/builtin_binding.h"

namespace {

// The label operand of a goto is a jump target although it is visible.
bool IsGoto(const BuiltinRecord& record) {
    return std::strcmp(record.name, "TK_GOTO") == 0;
}

}  // namespace

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
    CallBuiltin(host, record, BoundHandler(record));
}

void CallBuiltin(BuiltinCallHost& host, const BuiltinRecord& record, BuiltinHandler handler) {
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
        } else if (args.chars[k] == 'i' && (args.hidden[k] || IsGoto(record))) {
            // Hidden int operands are jump targets, and so is the label operand of a goto.
            slot.kind = ArgKind::JumpTarget;
        } else {
            slot.kind = args.kinds[k];
        }
        host.PopArgument(slot.kind, slot);
    }
    if (!handler) {
        GetLogSink().Log(0, 0, 0, "", "script", "error", UnbuiltBuiltinMessage(record).c_str());
        host.Kill();
        return;
    }
    const char result = sig[0];
    call.result.kind = KindOfChar(result);
    if (result == 's') call.result.s = host.NewStringTemporary();
    if (result == 'q') call.result.q = host.NewUStringTemporary();
    handler(call);
    for (int k = 0; k < n; ++k)
        if (args.WritesBack(k)) host.WriteBack(k, call.args[k]);
    if (result != 'v' && result != 'u') host.PushResult(call.result);
}
