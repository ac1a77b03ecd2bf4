#pragma once
// The operations the interpreter runs itself instead of going through a builtin's handler:
// the integer operators, the int and object assignments, the control flow and the int
// subscripts and appends that make up most statements. Each builtin row and each node is
// classified once; the node keeps its class in its run note byte.
#include "platform/types.h"
#include "script/language/script_value.h"
#include "script/language/statement_tree.h"
#include "script/runtime/builtin_call.h"

// What the interpreter does itself instead of going through CallBuiltin: the operators,
// assignments and control flow that make up most statements.
enum FastOp : u8 {
    kOpGeneric = 0,
    kOpPlus,
    kOpMinus,
    kOpMult,
    kOpDiv,
    kOpMod,
    kOpAnd,
    kOpOr,
    kOpXor,
    kOpEq,
    kOpNe,
    kOpGt,
    kOpLt,
    kOpGe,
    kOpLe,
    kOpNot,
    kOpNull,
    kOpAssignInt,
    kOpInc,
    kOpDec,
    kOpIf,
    kOpJump,
    kOpLoopBack,
    kOpNothing,
    kOpReturnInt,
    kOpReturnVoid,
    kOpListInt,  // oprlist "ili" / "oli"
    kOpAppend,   // append "vlu"
    // Codes of the other nodes, so that one switch tells how to evaluate any node.
    kNodeLocal,
    kNodeConst,
    kNodeScriptCall,
    kNodeOther,
};

// Per record: its fast operation, its result type and its decoded arguments.
struct RecordInfo {
    FastOp op = kOpGeneric;
    u8 result = kTypeVoid;  // value type of the result (void and unknown push nothing)
    ArgSignature args;
};

// The record's information (its row of the builtin table).
const RecordInfo& InfoOf(const BuiltinRecord* record);

// The fast operation of a node (or its node code), computed once.
FastOp ComputeCode(const ScriptNode* n);

// How a node is evaluated: its fast operation, or its node code. Noted in the node on first
// use.
inline FastOp OpOf(const ScriptNode* n) {
    if (n->runOp == 0) n->runOp = static_cast<u8>(ComputeCode(n) + 1);
    return static_cast<FastOp>(n->runOp - 1);
}

// True for the operators with two int operands (kOpPlus .. kOpLe).
inline bool IsBinaryIntOp(FastOp op) {
    return op >= kOpPlus && op <= kOpLe;
}
