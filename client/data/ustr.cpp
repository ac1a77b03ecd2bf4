#include "client/data/ustr.h"

#include <climits>

#include "platform/types.h"

#include "client/data/text_services.h"

namespace {

WChar Fold(WChar c) {
    return c >= u'A' && c <= u'Z' ? static_cast<WChar>(c - u'A' + u'a') : c;
}

WChar Widen(char c) {
    return static_cast<WChar>(static_cast<signed char>(c));
}

}  // namespace

int UStrLen(const WChar* text) {
    return WideStrLen(text);
}

int UStrDiffer(const WChar* a, const WChar* b) {
    return WideStrCompare(a, b) != 0 ? 1 : 0;
}

int UStrCompareNoCase(const WChar* a, const WChar* b) {
    return WideStrCompareNoCase(a, b);
}

int UStrCompareNoCaseN(const WChar* a, const WChar* b, size_t n) {
    if (!a) a = u"";
    if (!b) b = u"";
    for (size_t i = 0; i < n; ++i) {
        const WChar ca = Fold(a[i]), cb = Fold(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

WChar* UStrCpy(WChar* dst, const WChar* src) {
    return WideStrCopy(dst, src);
}

WChar* UStrCpyN(WChar* dst, const WChar* src, size_t n) {
    if (!dst || !src) return dst;
    size_t i = 0;
    for (; i < n && src[i] != 0; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

std::u16string UStrDup(const WChar* text) {
    return std::u16string(text ? text : u"");
}

std::u16string UStrFromAscii(const char* text) {
    std::u16string out;
    for (; text && *text; ++text)
        out += Widen(*text);
    return out;
}

WChar* UStrCat(WChar* dst, const WChar* src) {
    return WideStrCat(dst, src);
}

WChar* UStrCatAscii(WChar* dst, const char* src) {
    if (!dst || !src) return dst;
    WChar* out = dst + UStrLen(dst);
    while (*src)
        *out++ = Widen(*src++);
    *out = 0;
    return dst;
}

const WChar* UStrNextWord(const WChar* text, WChar* word, size_t wordSize) {
    if (!text) return text;
    while (UStrIsSpace(*text))
        ++text;
    size_t n = 0;
    for (; *text != 0 && !UStrIsSpace(*text); ++text)
        if (word && n + 1 < wordSize) word[n++] = Fold(*text);
    if (word && wordSize > 0) word[n] = 0;
    return text;
}

void UStrTrimEnd(WChar* text) {
    if (!text) return;
    int n = UStrLen(text);
    while (n > 0 && UStrIsSpace(text[n - 1]))
        text[--n] = 0;
}

std::string UStrToAscii(const WChar* text) {
    std::string out;
    for (; text && *text; ++text)
        if (UStrIsAscii(*text)) out += static_cast<char>(*text);
    return out;
}

int UStrToInt(const WChar* text) {
    if (!text) return 0;
    bool negative = false;
    long long value = 0;
    for (; *text; ++text) {
        if (*text == u'-') {
            negative = !negative;
        } else if (UStrIsDigit(*text)) {
            if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*text - u'0');
        } else if (*text != u'+') {
            break;
        }
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

const WChar* UStrSkipWord(const WChar* text) {
    if (!text) return text;
    while (*text != 0 && !UStrIsSpace(*text))
        ++text;
    while (UStrIsSpace(*text))
        ++text;
    return text;
}

void UStrFilterProfanity(WChar* text) {
    if (!text) return;
    std::string narrow;
    for (const WChar* p = text; *p; ++p)
        narrow += UStrIsAscii(*p) ? static_cast<char>(*p) : ' ';
    GetTextServices().FilterProfanity(narrow);
    for (size_t i = 0; i < narrow.size() && text[i] != 0; ++i)
        if (UStrIsAscii(text[i]) && static_cast<WChar>(static_cast<u8>(narrow[i])) != text[i])
            text[i] = static_cast<WChar>(static_cast<u8>(narrow[i]));
}
