#include "script/language/token_codes.h"

#include <array>
#include <cctype>
#include <string>

#include "script/language/trigger_table.h"

namespace {

const char* const kCodeClassNames[66] = {
    "",
    "",
    "SM_LPAREN",
    "SM_RPAREN",
    "SM_COMMA",
    "",
    "SM_SEMI",
    "SM_LBRACE",
    "SM_RBRACE",
    "SM_LBRACKET",
    "SM_RBRACKET",
    "OP_NOT",
    "OP_ADD",
    "OP_SUB",
    "OP_MUL",
    "OP_DIV",
    "OP_MOD",
    "OP_ISEQ",
    "OP_ISNEQ",
    "OP_LT",
    "OP_GT",
    "OP_LTEQ",
    "OP_GTEQ",
    "OP_ASSIGN",
    "OP_LOGAND",
    "OP_LOGOR",
    "OP_XOR",
    "OP_INC",
    "OP_DEC",
    "TK_INT",
    "TK_STRING",
    "TK_USTRING",
    "TK_LOC",
    "TK_OBJ",
    "TK_LIST",
    "TK_VOID",
    "T_OFFSET",
    "TK_IF",
    "TK_ELSE",
    "TK_ENDIF",
    "TK_WHILE",
    "TK_ENDWHILE",
    "TK_FOR",
    "TK_ENDFOR",
    "TK_CONTINUE",
    "TK_BREAK",
    "TK_GOTO",
    "TK_SWITCH",
    "TK_ENDSWITCH",
    "TK_CASE",
    "TK_DEFAULT",
    "TK_RETURN",
    "TK_FUNCTION",
    "TK_TRIGGER",
    "TK_MEMBER",
    "TK_INHERITS",
    "TK_FORWARD",
    "",
    "T_STR",
    "",
    "T_BYTE",
    "T_WORD",
    "T_DWORD",
    "",
    "",
    "T_ID",
};

// "TR_" and the upper-case trigger name, built once.
const std::array<std::string, kTriggerCount>& TriggerClassNames() {
    static const std::array<std::string, kTriggerCount> names = [] {
        std::array<std::string, kTriggerCount> out;
        for (int i = 0; i < kTriggerCount; ++i) {
            std::string n = "TR_";
            for (const char* p = GetTriggerInfo(i).name; *p; ++p) {
                n += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
            }
            out[i] = n;
        }
        return out;
    }();
    return names;
}

}  // namespace

const char* TokenClassName(int cls) {
    if (cls < 0 || cls >= kTokenClassCount) return "";
    if (cls < TR_FIRST) return kCodeClassNames[cls];
    return TriggerClassNames()[cls - TR_FIRST].c_str();
}
