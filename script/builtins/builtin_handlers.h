#pragma once
// The handlers of the value builtins: operators, assignments, list subscripts and list
// operations, and the string builtins. Each takes its arguments and result through
// BuiltinCall (script/builtins/builtin_call.h); they touch no world object.
#include "platform/types.h"

class BuiltinCall;
class CScriptList;
struct CScriptListNode;

// The node at the 0-based index when it exists and carries the tag; otherwise the running
// script thread is stopped and the answer is null (a negative index counts as past the end).
CScriptListNode* GetListItemOfType(CScriptList& list, s32 index, u8 tag);

// Integer operators (a, b -> int). Arithmetic wraps; a zero divisor gives 2147483647 for
// both division and remainder, and the overflowing -2147483648 / -1 gives -2147483648 with
// remainder 0.
inline s32 ScriptDiv(s32 a, s32 b) {
    if (b == 0) return 2147483647;
    if (b == -1) return static_cast<s32>(0u - static_cast<u32>(a));
    return a / b;
}
inline s32 ScriptMod(s32 a, s32 b) {
    if (b == 0) return 2147483647;
    if (b == -1) return 0;
    return a % b;
}
void OprNull(BuiltinCall& call);
void OprNot(BuiltinCall& call);
void OprPlus(BuiltinCall& call);
void OprMinus(BuiltinCall& call);
void OprMult(BuiltinCall& call);
void OprDiv(BuiltinCall& call);
void OprMod(BuiltinCall& call);
void OprAnd(BuiltinCall& call);
void OprOr(BuiltinCall& call);
void OprXor(BuiltinCall& call);
void OprEquiv(BuiltinCall& call);
void OprNEquiv(BuiltinCall& call);
void OprGt(BuiltinCall& call);
void OprLt(BuiltinCall& call);
void OprGtEq(BuiltinCall& call);
void OprLtEq(BuiltinCall& call);
void OprInc(BuiltinCall& call);
void OprDec(BuiltinCall& call);
void OprEquivLoc(BuiltinCall& call);
void OprNEquivLoc(BuiltinCall& call);
void ObjToInt(BuiltinCall& call);

// Assignments.
void AssignInt(BuiltinCall& call);  // also assignobj
void AssignStr(BuiltinCall& call);
void AssignUst(BuiltinCall& call);
void AssignLoc(BuiltinCall& call);
void AssignList(BuiltinCall& call);  // also copyList
void AssignLocInt(BuiltinCall& call);
void AssignIntStr(BuiltinCall& call);
void AssignStrInt(BuiltinCall& call);
void AssignUstInt(BuiltinCall& call);

// List subscripts by result type.
void OprListList(BuiltinCall& call);
void OprListInt(BuiltinCall& call);  // also the object form
void OprListStr(BuiltinCall& call);
void OprListUst(BuiltinCall& call);
void OprListLoc(BuiltinCall& call);
void OprStrIndex(BuiltinCall& call);  // oprlist "ssi"

// List operations.
void ListAppend(BuiltinCall& call);
void ListPrepend(BuiltinCall& call);
void ListInsert(BuiltinCall& call);
void ListSetItem(BuiltinCall& call);  // also setLocItem
void ListCount(BuiltinCall& call);
void ListContains(BuiltinCall& call);
void ListConcat(BuiltinCall& call);
void ListTruncate(BuiltinCall& call);
void ListRemoveItem(BuiltinCall& call);
void ListRemoveSpecific(BuiltinCall& call);
void ListClear(BuiltinCall& call);
void ListItemType(BuiltinCall& call);
void ListPrint(BuiltinCall& call);
void ListSort(BuiltinCall& call);

// Strings.
void StrPlus(BuiltinCall& call);
void StrPlusInt(BuiltinCall& call);
void StrPlusLoc(BuiltinCall& call);
void StrEquiv(BuiltinCall& call);
void StrNEquiv(BuiltinCall& call);
void StrSplit(BuiltinCall& call);
void StrSplitComma(BuiltinCall& call);
void StrWordWrap(BuiltinCall& call);
void StrTextSubstitute(BuiltinCall& call);
void StrConcat(BuiltinCall& call);
void StrToInt(BuiltinCall& call);
void StrLen(BuiltinCall& call);
void StrToUpper(BuiltinCall& call);
void StrRemovePrefix(BuiltinCall& call);
void DoNothing(BuiltinCall& call);  // barkstr, barkint

// The decimal value at the start of a text (blanks skipped, optional sign); wraps.
s32 ScriptStrToInt(const char* text);

// Script control: setDefaultReturn sets the running thread's default answer; intRet fills
// the global trigger result.
void SetDefaultReturn(BuiltinCall& call);
void IntRet(BuiltinCall& call);

// The global trigger result that intRet fills: server code that fires a trigger and wants
// an answer clears it before and reads it after.
struct TriggerReturnSlot {
    bool set = false;
    s32 value = 0;
};
TriggerReturnSlot& GlobalTriggerReturn();
