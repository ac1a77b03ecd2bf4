#include "script/runtime/fast_ops.h"

#include <cstring>
#include <vector>

#include "script/language/builtin_table.h"
#include "script/language/script_value.h"

namespace {

// The rows the interpreter runs itself, by name and signature: the integer operators, the
// int and object assignments, the control flow and the int subscripts and appends that make
// up most statements. Their handlers (script/builtins/) do the same for CallBuiltin.
struct FastRow {
    const char* name;
    const char* signature;
    FastOp op;
};
constexpr FastRow kFastRows[] = {
    {"oprplus", "iii", kOpPlus},
    {"oprminus", "iii", kOpMinus},
    {"oprmult", "iii", kOpMult},
    {"oprdiv", "iii", kOpDiv},
    {"oprmod", "iii", kOpMod},
    {"oprand", "iii", kOpAnd},
    {"opror", "iii", kOpOr},
    {"oprxor", "iii", kOpXor},
    {"oprequiv", "iii", kOpEq},
    {"oprequiv", "ioo", kOpEq},
    {"oprnequiv", "iii", kOpNe},
    {"oprnequiv", "ioo", kOpNe},
    {"oprgt", "iii", kOpGt},
    {"oprlt", "iii", kOpLt},
    {"oprgteq", "iii", kOpGe},
    {"oprlteq", "iii", kOpLe},
    {"oprnot", "ii", kOpNot},
    {"oprnull", "ii", kOpNull},
    {"objtoint", "io", kOpNull},
    {"assignint", "vIi", kOpAssignInt},
    {"assignobj", "vOo", kOpAssignInt},
    {"oprinc", "vI", kOpInc},
    {"oprdec", "vI", kOpDec},
    {"TK_IF", "vi|i", kOpIf},
    {"TK_WHILE", "vi|i", kOpIf},
    {"TK_ELSE", "v|i", kOpJump},
    {"TK_BREAK", "v|i", kOpJump},
    {"TK_GOTO", "vi", kOpJump},
    {"TK_ENDWHILE", "v|i", kOpLoopBack},
    {"TK_CONTINUE", "v|i", kOpLoopBack},
    {"TK_ENDIF", "v", kOpNothing},
    {"TK_ENDSWITCH", "v", kOpNothing},
    {"TK_CASE", "v", kOpNothing},
    {"TK_DEFAULT", "v", kOpNothing},
    {"TK_RETURN", "vi", kOpReturnInt},
    {"TK_RETURN", "vo", kOpReturnInt},
    {"TK_RETURN", "v", kOpReturnVoid},
    {"oprlist", "ili", kOpListInt},
    {"oprlist", "oli", kOpListInt},
    {"append", "vlu", kOpAppend},
    {"appendToList", "vlu", kOpAppend},
};

std::vector<RecordInfo> BuildInfos() {
    std::vector<RecordInfo> infos;
    for (const BuiltinRecord& r : BuiltinTable()) {
        RecordInfo info;
        for (const FastRow& f : kFastRows)
            if (std::strcmp(r.name, f.name) == 0 && std::strcmp(r.signature, f.signature) == 0)
                info.op = f.op;
        info.result = ResultTypeFromSignature(r.signature[0]);
        // A longer signature keeps its first kMaxBuiltinArgs arguments.
        DecodeArgSignature(r.signature + 1, info.args);
        infos.push_back(info);
    }
    return infos;
}

}  // namespace

const RecordInfo& InfoOf(const BuiltinRecord* r) {
    static const std::vector<RecordInfo> infos = BuildInfos();
    static const BuiltinRecord* const base = BuiltinTable().data();
    return infos[static_cast<size_t>(r - base)];
}

FastOp ComputeCode(const ScriptNode* n) {
    switch (n->kind) {
        case NodeKind::BuiltinCall:
            return InfoOf(n->builtin).op;
        case NodeKind::Local:
        case NodeKind::LocalTarget:
            return kNodeLocal;
        case NodeKind::IntConstant:
            return kNodeConst;
        case NodeKind::ScriptCall:
            return kNodeScriptCall;
        default:
            return kNodeOther;
    }
}
