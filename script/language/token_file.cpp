#include "script/language/token_file.h"

#include <cstdio>
#include <cstring>

#include "core/byte_order.h"
#include "core/file_layer.h"

bool MatchTokenClass(const ScriptToken& token, int cls) {
    if (cls < 0 || cls >= kTokenClassCount) return false;
    if (IsCodeTokenClass(cls)) return token.form == ScriptToken::Form::Raw && token.Class() == cls;
    // Text classes (the trigger names and the empty slots) compare whole texts; the empty
    // slots are tested by nothing and never match a real token.
    const char* name = TokenClassName(cls);
    return token.form == ScriptToken::Form::Text && name[0] != 0 && token.text == name;
}

bool IsNumberToken(const ScriptToken& token) {
    const int cls = token.Class();
    return cls == T_BYTE || cls == T_WORD || cls == T_DWORD;
}

s32 DecodeNumberToken(const ScriptToken& token) {
    return IsNumberToken(token) ? token.number : -1;
}

bool TokenReader::Fail(size_t offset, const std::string& what) {
    error_ = what + " at offset " + std::to_string(offset);
    return false;
}

bool TokenReader::ReadLine(size_t offset, std::string& out) {
    const u16 index = LoadLe16(data_ + offset + 2);
    if (!table_->Has(index)) {
        return Fail(offset, "string index " + std::to_string(index) +
                                " is past the string table (" + std::to_string(table_->Count()) +
                                " lines)");
    }
    out = table_->Line(index);
    return true;
}

bool TokenReader::ReadToken(size_t& position, ScriptToken& token) {
    token.form = ScriptToken::Form::End;
    token.code = 0;
    token.number = 0;
    token.text.clear();
    token.offset = position;
    if (position >= size_ || data_[position] == 0) return true;
    if (position + 2 > size_) return Fail(position, "token code cut short");
    const u16 code = LoadLe16(data_ + position);
    const int cls = TokenClassOfCode(code);
    const size_t operand = static_cast<size_t>(TokenOperandSize(cls));
    if (position + 2 + operand > size_) return Fail(position, "token operand cut short");

    if (cls == T_STR) {
        // A literal: a quote, then each piece's line from its second character on; a
        // following piece overwrites the closing quote of the one before.
        token.form = ScriptToken::Form::Text;
        std::string line;
        if (!ReadLine(position, line)) return false;
        token.text.assign(1, '"');
        if (line.size() > 1) token.text.append(line.data() + 1, line.size() - 1);
        position += 4;
        while (position + 2 <= size_ && TokenClassOfCode(LoadLe16(data_ + position)) == T_STR) {
            if (position + 4 > size_) return Fail(position, "token operand cut short");
            if (!ReadLine(position, line)) return false;
            token.text.pop_back();  // never empty: it starts with the quote
            if (line.size() > 1) token.text.append(line.data() + 1, line.size() - 1);
            if (token.text.empty()) token.text.assign(1, '"');
            position += 4;
        }
        return true;
    }
    if (cls == T_ID) {
        token.form = ScriptToken::Form::Text;
        if (!ReadLine(position, token.text)) return false;
        position += 4;
        return true;
    }
    token.form = ScriptToken::Form::Raw;
    token.code = code;
    const u8* p = data_ + position + 2;
    if (cls == T_BYTE) {
        token.number = p[0];
    } else if (cls == T_WORD) {
        token.number = LoadLe16(p);
    } else if (cls == T_DWORD) {
        const u32 v = LoadLe32(p);
        std::memcpy(&token.number, &v, 4);
    }
    position += 2 + operand;
    return true;
}

bool LoadTokenFile(const std::string& className, std::vector<u8>& out, std::string& error) {
    out.clear();
    const std::string name = className + ".m";
    ArchiveHandle file = net_openfile(kScriptDataFileId, name.c_str(), "rb");
    if (!file) {
        error = "script class '" + className + "': no token file " + name;
        return false;
    }
    const bool read = ReadWholeArchiveFile(file, out);
    ArchiveClose(file);
    if (!read) {
        out.clear();
        error = "script class '" + className + "': cannot read " + name;
        return false;
    }
    out.push_back(0);
    return true;
}
