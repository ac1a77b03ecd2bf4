#pragma once
// Reading the token stream of one compiled script class ("%s.m"). Every token begins with a
// little-endian u16 code; T_STR and T_ID carry a u16 string-table index, T_BYTE, T_WORD and
// T_DWORD a number, every other class nothing. Adjacent T_STR tokens form one literal.
// The reader never reads past its buffer: a token cut short or an index past the string
// table makes the stream malformed.
#include <string>
#include <vector>

#include "core/archive.h"
#include "platform/types.h"
#include "script/language/string_table.h"
#include "script/language/token_codes.h"

struct ScriptToken {
    enum class Form : u8 { End, Raw, Text };
    Form form = Form::End;
    u16 code = 0;       // Raw: the token's code
    s32 number = 0;     // Raw number tokens: the decoded operand
    std::string text;   // Text: the identifier, or the literal between quotes
    size_t offset = 0;  // where the token began in the stream

    bool IsEnd() const { return form == Form::End; }
    // The class of a raw token (-1 for text tokens, the end and unknown codes).
    int Class() const { return form == Form::Raw ? TokenClassOfCode(code) : -1; }
};

// 1 when the token belongs to the class: raw tokens by code, text tokens by the class name.
// A class index outside 0..136 matches nothing.
bool MatchTokenClass(const ScriptToken& token, int cls);
// The number of a T_BYTE, T_WORD or T_DWORD token; -1 for any other token.
s32 DecodeNumberToken(const ScriptToken& token);
bool IsNumberToken(const ScriptToken& token);

// The data-file id of the scripts directory, where "<class>.m" lives.
constexpr int kScriptDataFileId = 49;

// Reads the token file of a class ("<class>.m" in the scripts directory) whole, with a zero
// byte appended. False with an error naming the class when it is missing or unreadable.
bool LoadTokenFile(const std::string& className, std::vector<u8>& out, std::string& error);

class TokenReader {
public:
    // The stream is the whole file; the reader keeps pointers to it and to the table.
    TokenReader(const u8* data, size_t size, const ScriptStringTable& table)
        : data_(data), size_(size), table_(&table) {}

    // Reads the token at the position and moves the position past it. At the end of the
    // stream (a zero byte or the end of the buffer) the token is the end token and the
    // position stays. Returns false, with an error, when the stream is malformed there.
    bool ReadToken(size_t& position, ScriptToken& token);

    const std::string& Error() const { return error_; }

private:
    bool Fail(size_t offset, const std::string& what);
    bool ReadLine(size_t offset, std::string& out);

    const u8* data_;
    size_t size_;
    const ScriptStringTable* table_;
    std::string error_;
};
