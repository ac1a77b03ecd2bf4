// String builtins and the string forms of the operators.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "script/builtins/builtin_strings.h"
#include "script/builtins/language_builtins.h"
#include "script/language/script_value.h"
#include "script/runtime/script_limits.h"
#include "script/runtime/script_list.h"

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool IsAlnum(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
}

void AppendString(CScriptList& list, const char* text, int n) {
    CStr s;
    s.AssignLeft(text, n);
    list.Append(kTypeString, ScriptListValue::Ptr(&s));
}

constexpr int kMaxWord = 126;

// False, with the thread stopped, when the string an operation would make is longer than a
// script string may be: the operation is then not done.
bool StringFits(s64 bytes) {
    if (ScriptTextFits(bytes)) return true;
    StopScriptOverLimit(StringOverLimitReason());
    return false;
}

// The length Substitute gives: every '%' and the unit after it replaced by the value when
// the marker starts with '%', dropped otherwise; a lone '%' at the end ends the text.
s64 SubstitutedLength(const CStr& out, const CStr& format, const CStr& marker, const CStr& value) {
    const bool insert = marker.CText()[0] == '%';
    const char* text = format.CText();
    s64 length = out.GetLength();
    for (int i = 0; text[i] != 0; ++i) {
        if (text[i] != '%') {
            ++length;
            continue;
        }
        if (text[i + 1] == 0) break;
        ++i;
        if (insert) length += value.GetLength();
    }
    return length;
}

}  // namespace

s32 ScriptStrToInt(const char* text) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    u32 value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10u + static_cast<u32>(*p++ - '0');
    return static_cast<s32>(negative ? 0u - value : value);
}

namespace {

void StrPlus(BuiltinCall& c) {
    if (!StringFits(s64{c.Str(0).GetLength()} + c.Str(1).GetLength())) return;
    CStr& out = c.ResultString();
    out = c.Str(0);
    out += c.Str(1);
}
void StrPlusInt(BuiltinCall& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", c.Int(1));
    if (!StringFits(s64{c.Str(0).GetLength()} + static_cast<s64>(std::strlen(text)))) return;
    CStr& out = c.ResultString();
    out = c.Str(0);
    out += text;
}
void StrPlusLoc(BuiltinCall& c) {
    char text[40];
    const Location& l = c.Loc(1);
    std::snprintf(text, sizeof text, "%d,%d,%d", l.x, l.y, l.z);
    if (!StringFits(s64{c.Str(0).GetLength()} + static_cast<s64>(std::strlen(text)))) return;
    CStr& out = c.ResultString();
    out = c.Str(0);
    out += text;
}
void StrEquiv(BuiltinCall& c) {
    c.SetInt(StrCompareNoCase(c.Str(0).CText(), c.Str(1).CText()) == 0);
}
void StrNEquiv(BuiltinCall& c) {
    c.SetInt(StrCompareNoCase(c.Str(0).CText(), c.Str(1).CText()) != 0);
}
void OprStrIndex(BuiltinCall& c) {
    const CStr& s = c.Str(0);
    const s32 i = c.Int(1);
    // A one-character string; outside the text that character is NUL (length 1).
    CStr& out = c.ResultString();
    out = CStr('x');
    out.GetText()[0] = (i >= 0 && i < s.GetLength()) ? s.CText()[i] : '\0';
}

void StrSplit(BuiltinCall& c) {
    CScriptList& list = c.List(0);
    list.Clear();
    const char* p = c.Str(1).CText();
    char word[kMaxWord + 1];
    while (*p) {
        while (IsBlank(*p))
            ++p;
        int n = 0;
        while (*p && !IsBlank(*p)) {
            if (IsAlnum(*p) && n < kMaxWord) word[n++] = *p;
            ++p;
        }
        if (n > 0) AppendString(list, word, n);
    }
}

void StrSplitComma(BuiltinCall& c) {
    CScriptList& list = c.List(0);
    list.Clear();
    const char* p = c.Str(1).CText();
    while (*p) {
        while (IsBlank(*p))
            ++p;
        const char* start = p;
        while (*p && *p != ',')
            ++p;
        int n = static_cast<int>(p - start);
        if (n > kMaxWord) n = kMaxWord;
        if (n > 0) AppendString(list, start, n);
        if (*p == ',') ++p;
    }
}

void StrWordWrap(BuiltinCall& c) {
    CScriptList& list = c.List(0);
    const CStr& text = c.Str(1);
    const s32 width = c.Int(2);
    const char* s = text.CText();
    const s32 len = text.GetLength();
    s32 lines = 0;
    if (width <= 0) {
        c.SetInt(0);  // no line can hold a character; the text stays unwrapped
        return;
    }
    s32 pos = 0;
    while (pos < len) {
        s32 n = width - 1;
        if (pos + n > len) {
            n = len - pos;
        } else {
            while (n > 0 && !(pos + n < len && IsBlank(s[pos + n])))
                --n;
            if (n == 0) n = width;
        }
        if (pos + n > len) n = len - pos;
        AppendString(list, s + pos, n);
        ++lines;
        pos += n;
        while (pos < len && IsBlank(s[pos]))
            ++pos;
    }
    c.SetInt(lines);
}

void StrTextSubstitute(BuiltinCall& c) {
    if (c.Arg(0).s == c.Arg(1).s || c.Str(2).GetLength() == 0) {
        c.SetInt(0);
        return;
    }
    if (!StringFits(SubstitutedLength(c.Str(0), c.Str(1), c.Str(2), c.Str(3)))) return;
    c.SetInt(CStr::Substitute(c.Str(0), c.Str(1), c.Str(2), c.Str(3)));
}

void StrConcat(BuiltinCall& c) {
    if (!StringFits(s64{c.Str(0).GetLength()} + c.Str(1).GetLength())) return;
    if (c.Arg(0).s == c.Arg(1).s) {
        const CStr copy(c.Str(1));
        c.Str(0) += copy;
        return;
    }
    c.Str(0) += c.Str(1);
}
void StrToInt(BuiltinCall& c) {
    c.SetInt(ScriptStrToInt(c.Str(0).CText()));
}
void StrLen(BuiltinCall& c) {
    c.SetInt(c.Str(0).GetLength());
}
void StrToUpper(BuiltinCall& c) {
    CStr& s = c.Str(0);
    const s32 len = s.GetLength();
    s32 from = c.Int(1);
    const s32 to = c.Int(2);
    if (from < 0) from = 0;
    for (s32 i = from; i < to && i < len; ++i)
        s.GetText()[i] =
            static_cast<char>(std::toupper(static_cast<unsigned char>(s.GetText()[i])));
}
void StrRemovePrefix(BuiltinCall& c) {
    CStr& s = c.Str(0);
    const CStr& prefix = c.Str(1);
    const int n = prefix.GetLength();
    if (n > s.GetLength() || std::strncmp(s.CText(), prefix.CText(), static_cast<size_t>(n)) != 0)
        return;
    const CStr rest(s.CText() + n);
    s = rest;
}
void DoNothing(BuiltinCall&) {}

constexpr BuiltinBinding kBindings[] = {
    {"oprlist", "ssi", OprStrIndex},
    {"oprplus", "sss", StrPlus},
    {"oprplus", "ssi", StrPlusInt},
    {"oprplus", "ssc", StrPlusLoc},
    {"oprequiv", "iss", StrEquiv},
    {"oprnequiv", "iss", StrNEquiv},
    {"split", "vls", StrSplit},
    {"splitCommaDelimitedString", "vls", StrSplitComma},
    {"wordWrap", "ilsi", StrWordWrap},
    {"textSubstitute", "iSsss", StrTextSubstitute},
    {"concat", "vss", StrConcat},
    {"strtoi", "is", StrToInt},
    {"strlen", "is", StrLen},
    {"toUpper", "vSii", StrToUpper},
    {"removePrefix", "vSs", StrRemovePrefix},
    {"barkstr", "vs", DoNothing},
    {"barkint", "vi", DoNothing},
};

}  // namespace

std::span<const BuiltinBinding> StringBuiltins() {
    return kBindings;
}
