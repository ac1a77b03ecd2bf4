#pragma once
// The token classes of compiled script files and the 16-bit codes that stand for them.
// This header is shared by the script compiler (tools/zqsc) and the server's loader, so the
// two always agree on the codes. A token begins with its code as a little-endian u16; a
// zero byte where a token would begin ends the stream, so no code has a low byte of 0.
#include "platform/types.h"

enum TokenClass : int {
    TC_EMPTY_0 = 0,
    TC_EMPTY_1 = 1,
    SM_LPAREN = 2,
    SM_RPAREN = 3,
    SM_COMMA = 4,
    TC_EMPTY_5 = 5,
    SM_SEMI = 6,
    SM_LBRACE = 7,
    SM_RBRACE = 8,
    SM_LBRACKET = 9,
    SM_RBRACKET = 10,
    OP_NOT = 11,
    OP_ADD = 12,
    OP_SUB = 13,
    OP_MUL = 14,
    OP_DIV = 15,
    OP_MOD = 16,
    OP_ISEQ = 17,
    OP_ISNEQ = 18,
    OP_LT = 19,
    OP_GT = 20,
    OP_LTEQ = 21,
    OP_GTEQ = 22,
    OP_ASSIGN = 23,
    OP_LOGAND = 24,
    OP_LOGOR = 25,
    OP_XOR = 26,
    OP_INC = 27,
    OP_DEC = 28,
    TK_INT = 29,
    TK_STRING = 30,
    TK_USTRING = 31,
    TK_LOC = 32,
    TK_OBJ = 33,
    TK_LIST = 34,
    TK_VOID = 35,
    T_OFFSET = 36,
    TK_IF = 37,
    TK_ELSE = 38,
    TK_ENDIF = 39,
    TK_WHILE = 40,
    TK_ENDWHILE = 41,
    TK_FOR = 42,
    TK_ENDFOR = 43,
    TK_CONTINUE = 44,
    TK_BREAK = 45,
    TK_GOTO = 46,
    TK_SWITCH = 47,
    TK_ENDSWITCH = 48,
    TK_CASE = 49,
    TK_DEFAULT = 50,
    TK_RETURN = 51,
    TK_FUNCTION = 52,
    TK_TRIGGER = 53,
    TK_MEMBER = 54,
    TK_INHERITS = 55,
    TK_FORWARD = 56,
    TC_EMPTY_57 = 57,
    T_STR = 58,
    TC_EMPTY_59 = 59,
    T_BYTE = 60,
    T_WORD = 61,
    T_DWORD = 62,
    TC_EMPTY_63 = 63,
    TC_EMPTY_64 = 64,
    T_ID = 65,
    // 66 .. 136: one class per trigger, matched by text ("TR_SPEECH" ...).
    TR_FIRST = 66,
    TR_LAST = 136,
};

constexpr int kTokenClassCount = 137;
constexpr int kTokenAliasCount = 5;

// True for the classes that are recognised by their 16-bit code (the rest match by text).
constexpr bool IsCodeTokenClass(int cls) {
    return cls >= 2 && cls <= 65 && cls != 5 && cls != 57 && cls != 59 && cls != 63 && cls != 64;
}

// The code of a class: the class number in the high byte, a non-zero low byte per alias.
// The compiler writes alias 0; the loader accepts all five.
constexpr u16 TokenCode(int cls, int alias = 0) {
    return static_cast<u16>((cls << 8) | (0x31 + alias));
}

// The class a raw code belongs to, or -1 when it names none.
constexpr int TokenClassOfCode(u16 code) {
    const int cls = code >> 8;
    const int alias = (code & 0xFF) - 0x31;
    if (alias < 0 || alias >= kTokenAliasCount || !IsCodeTokenClass(cls)) return -1;
    return cls;
}

// Bytes of operand after the code for a token of this class.
constexpr int TokenOperandSize(int cls) {
    switch (cls) {
        case T_STR:
        case T_ID:
        case T_WORD:
            return 2;
        case T_BYTE:
            return 1;
        case T_DWORD:
            return 4;
        default:
            return 0;
    }
}

// The class name ("SM_LPAREN", "TK_IF", "TR_SPEECH", "" for the empty slots).
const char* TokenClassName(int cls);
