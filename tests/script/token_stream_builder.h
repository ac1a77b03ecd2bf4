#pragma once
// Builds token streams by hand, for the tests of the reader and the parser.
#include <string>
#include <vector>

#include "script/language/string_table.h"
#include "script/language/token_codes.h"

class TokenStreamBuilder {
public:
    TokenStreamBuilder& Code(int cls, int alias = 0) {
        const u16 code = TokenCode(cls, alias);
        bytes.push_back(static_cast<u8>(code & 0xFF));
        bytes.push_back(static_cast<u8>(code >> 8));
        return *this;
    }
    TokenStreamBuilder& Indexed(int cls, const std::string& line) {
        const s32 index = table.Intern(line);
        Code(cls);
        bytes.push_back(static_cast<u8>(index & 0xFF));
        bytes.push_back(static_cast<u8>(index >> 8));
        return *this;
    }
    TokenStreamBuilder& Id(const std::string& text) { return Indexed(T_ID, text); }
    TokenStreamBuilder& Str(const std::string& text) { return Indexed(T_STR, "\"" + text + "\""); }
    TokenStreamBuilder& Byte(u8 v) {
        Code(T_BYTE);
        bytes.push_back(v);
        return *this;
    }
    TokenStreamBuilder& Dword(s32 v) {
        Code(T_DWORD);
        const u32 u = static_cast<u32>(v);
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<u8>(u >> (8 * k)));
        return *this;
    }
    // Statement helpers.
    TokenStreamBuilder& Semi() { return Code(SM_SEMI); }
    TokenStreamBuilder& Open() { return Code(SM_LBRACE); }
    TokenStreamBuilder& Close() { return Code(SM_RBRACE); }
    TokenStreamBuilder& L() { return Code(SM_LPAREN); }
    TokenStreamBuilder& R() { return Code(SM_RPAREN); }
    // "function void f() {"
    TokenStreamBuilder& VoidFunction(const std::string& name) {
        return Code(TK_FUNCTION).Code(TK_VOID).Id(name).L().R().Open();
    }

    std::vector<u8> Terminated() const {
        std::vector<u8> out = bytes;
        out.push_back(0);
        return out;
    }

    ScriptStringTable table;
    std::vector<u8> bytes;
};
