// Operator, assignment and list-subscript builtins.
#include <cstdio>

#include "script/builtins/builtin_strings.h"
#include "script/builtins/language_builtins.h"
#include "script/language/script_value.h"
#include "script/runtime/script_list.h"

namespace {

// Wrapping arithmetic: computed in unsigned so that overflow is defined.
s32 Wrap(u32 v) {
    return static_cast<s32>(v);
}

void OprNull(BuiltinCall& c) {
    c.SetInt(c.Int(0));
}
void OprNot(BuiltinCall& c) {
    c.SetInt(c.Int(0) == 0);
}
void OprPlus(BuiltinCall& c) {
    c.SetInt(Wrap(static_cast<u32>(c.Int(0)) + static_cast<u32>(c.Int(1))));
}
void OprMinus(BuiltinCall& c) {
    c.SetInt(Wrap(static_cast<u32>(c.Int(0)) - static_cast<u32>(c.Int(1))));
}
void OprMult(BuiltinCall& c) {
    c.SetInt(Wrap(static_cast<u32>(c.Int(0)) * static_cast<u32>(c.Int(1))));
}
void OprDiv(BuiltinCall& c) {
    c.SetInt(ScriptDiv(c.Int(0), c.Int(1)));
}
void OprMod(BuiltinCall& c) {
    c.SetInt(ScriptMod(c.Int(0), c.Int(1)));
}
void OprAnd(BuiltinCall& c) {
    c.SetInt(c.Int(0) != 0 && c.Int(1) != 0);
}
void OprOr(BuiltinCall& c) {
    c.SetInt(c.Int(0) != 0 || c.Int(1) != 0);
}
void OprXor(BuiltinCall& c) {
    c.SetInt(c.Int(0) ^ c.Int(1));
}
void OprEquiv(BuiltinCall& c) {
    c.SetInt(c.Int(0) == c.Int(1));
}
void OprNEquiv(BuiltinCall& c) {
    c.SetInt(c.Int(0) != c.Int(1));
}
void OprGt(BuiltinCall& c) {
    c.SetInt(c.Int(0) > c.Int(1));
}
void OprLt(BuiltinCall& c) {
    c.SetInt(c.Int(0) < c.Int(1));
}
void OprGtEq(BuiltinCall& c) {
    c.SetInt(c.Int(0) >= c.Int(1));
}
void OprLtEq(BuiltinCall& c) {
    c.SetInt(c.Int(0) <= c.Int(1));
}
void OprInc(BuiltinCall& c) {
    c.IntRef(0) = Wrap(static_cast<u32>(c.Int(0)) + 1u);
}
void OprDec(BuiltinCall& c) {
    c.IntRef(0) = Wrap(static_cast<u32>(c.Int(0)) - 1u);
}
void OprEquivLoc(BuiltinCall& c) {
    c.SetInt(c.Loc(0).EqualsXY(c.Loc(1)));
}
void OprNEquivLoc(BuiltinCall& c) {
    c.SetInt(!c.Loc(0).EqualsXY(c.Loc(1)));
}
void ObjToInt(BuiltinCall& c) {
    c.SetInt(c.Int(0));
}

void AssignInt(BuiltinCall& c) {
    c.IntRef(0) = c.Int(1);
}
void AssignStr(BuiltinCall& c) {
    if (c.Arg(0).s != c.Arg(1).s) c.Str(0) = c.Str(1);
}
void AssignUst(BuiltinCall& c) {
    if (c.Arg(0).q != c.Arg(1).q) c.UStr(0) = c.UStr(1);
}
void AssignLoc(BuiltinCall& c) {
    c.Loc(0) = c.Loc(1);
}
void AssignList(BuiltinCall& c) {
    if (c.Arg(0).l == c.Arg(1).l) return;
    c.List(0).Clear();
    c.List(0).AppendCopyOf(c.List(1));
}
void AssignLocInt(BuiltinCall& c) {
    c.Loc(0).Set(c.Int(1), c.Int(2), c.Int(3));
}
void AssignIntStr(BuiltinCall& c) {
    c.IntRef(0) = ScriptStrToInt(c.Str(1).CText());
}
void AssignStrInt(BuiltinCall& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", c.Int(1));
    c.Str(0) = text;
}
void AssignUstInt(BuiltinCall& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", c.Int(1));
    WChar wide[16];
    int i = 0;
    for (; text[i]; ++i)
        wide[i] = static_cast<WChar>(static_cast<unsigned char>(text[i]));
    wide[i] = 0;
    c.UStr(0) = wide;
}

void OprListList(BuiltinCall& c) {
    auto* out = new CScriptList();
    if (CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeList))
        out->AppendCopyOf(*n->value.l);
    c.SetList(out);
}
void OprListInt(BuiltinCall& c) {
    const u8 tag = BuiltinResultChar(c.record) == 'o' ? kTypeObject : kTypeInt;
    CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), tag);
    c.SetInt(n ? n->value.i : 0);
}
void OprListStr(BuiltinCall& c) {
    if (CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeString))
        c.ResultString() = *n->value.s;
}
void OprListUst(BuiltinCall& c) {
    if (CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeUString))
        c.ResultUString() = *n->value.q;
}
void OprListLoc(BuiltinCall& c) {
    CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeLocation);
    c.SetLocation(n ? *n->value.c : Location(-1, -1, 0));
}

constexpr BuiltinBinding kBindings[] = {
    {"oprnull", "ii", OprNull},
    {"oprplus", "iii", OprPlus},
    {"oprminus", "iii", OprMinus},
    {"oprmult", "iii", OprMult},
    {"oprdiv", "iii", OprDiv},
    {"oprand", "iii", OprAnd},
    {"opror", "iii", OprOr},
    {"oprxor", "iii", OprXor},
    {"oprequiv", "iii", OprEquiv},
    {"oprnequiv", "iii", OprNEquiv},
    {"oprgt", "iii", OprGt},
    {"oprlt", "iii", OprLt},
    {"oprmod", "iii", OprMod},
    {"oprgteq", "iii", OprGtEq},
    {"oprlteq", "iii", OprLtEq},
    {"oprnot", "ii", OprNot},
    {"oprlist", "lli", OprListList},
    {"oprlist", "ili", OprListInt},
    {"oprlist", "sli", OprListStr},
    {"oprlist", "qli", OprListUst},
    {"oprlist", "cli", OprListLoc},
    {"oprlist", "oli", OprListInt},
    {"oprinc", "vI", OprInc},
    {"oprdec", "vI", OprDec},
    {"oprequiv", "icc", OprEquivLoc},
    {"oprequiv", "ioo", OprEquiv},
    {"oprnequiv", "icc", OprNEquivLoc},
    {"oprnequiv", "ioo", OprNEquiv},
    {"assignint", "vIi", AssignInt},
    {"assignstr", "vSs", AssignStr},
    {"assignust", "vQq", AssignUst},
    {"assignobj", "vOo", AssignInt},
    {"assignloc", "vCc", AssignLoc},
    {"assignlist", "vll", AssignList},
    {"assignintstr", "vIs", AssignIntStr},
    {"assignstrint", "vSi", AssignStrInt},
    {"assignustint", "vQi", AssignUstInt},
    {"assignlocint", "vCiii", AssignLocInt},
    {"objtoint", "io", ObjToInt},
    {"copylist", "vll", AssignList},
    {"copyList", "vll", AssignList},
};

}  // namespace

std::span<const BuiltinBinding> OperatorBuiltins() {
    return kBindings;
}
