// The control-flow builtins: the marker calls that if, while, for, switch, break, continue,
// goto and return compile into (the interpreter runs most of them itself), and the
// unknown-result placeholders the compiler replaces by typed variants.
#include "script/builtins/language_builtins.h"
#include "script/language/statement_tree.h"

namespace {

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

constexpr BuiltinBinding kBindings[] = {
    {"TK_IF", "vi|i", BuiltinIf},
    {"TK_ELSE", "v|i", BuiltinJump},
    {"TK_ENDIF", "v", BuiltinNothing},
    {"TK_WHILE", "vi|i", BuiltinIf},
    {"TK_ENDWHILE", "v|i", BuiltinLoopBack},
    {"TK_FOR", "vii", BuiltinNothing},
    {"TK_ENDFOR", "v|i", BuiltinNothing},
    {"TK_CONTINUE", "v|i", BuiltinLoopBack},
    {"TK_BREAK", "v|i", BuiltinJump},
    {"TK_GOTO", "vi", BuiltinJump},
    {"TK_SWITCH", "vi|j", BuiltinSwitch},
    {"TK_ENDSWITCH", "v", BuiltinNothing},
    {"TK_CASE", "v", BuiltinNothing},
    {"TK_DEFAULT", "v", BuiltinNothing},
    {"TK_RETURN", "v", BuiltinReturnVoid},
    {"TK_RETURN", "vi", BuiltinReturnValue},
    {"TK_RETURN", "vc", BuiltinReturnValue},
    {"TK_RETURN", "vo", BuiltinReturnValue},
    {"TK_RETURN", "vs", BuiltinReturnValue},
    {"oprlist", "uli", BuiltinPlaceholder},
    {"getObjVar", "uos", BuiltinPlaceholder},
};

}  // namespace

std::span<const BuiltinBinding> ControlFlowBuiltins() {
    return kBindings;
}
