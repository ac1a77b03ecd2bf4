#include "core/wide_text.h"

#include <climits>

namespace {

WChar FoldAscii(WChar c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<WChar>(c - u'A' + u'a') : c;
}

bool IsNarrowSpace(WChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' ||
           c >= 128;
}

}  // namespace

int WideStrLen(const WChar* text) {
    if (!text) return 0;
    int n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

WChar* WideStrCopy(WChar* dst, const WChar* src) {
    if (!dst || !src) return dst;
    WChar* out = dst;
    while ((*out++ = *src++) != 0) {
    }
    return dst;
}

WChar* WideStrCat(WChar* dst, const WChar* src) {
    if (!dst || !src) return dst;
    WideStrCopy(dst + WideStrLen(dst), src);
    return dst;
}

WChar* WideStrCopyN(WChar* dst, const WChar* src, size_t n) {
    if (!dst || !src) return dst;
    for (size_t i = 0; i < n; ++i) {
        dst[i] = src[i];
        if (src[i] == 0) break;
    }
    return dst;
}

int WideStrCompare(const WChar* a, const WChar* b) {
    if (!a) a = u"";
    if (!b) b = u"";
    for (;; ++a, ++b) {
        if (*a != *b) return *a < *b ? -1 : 1;
        if (*a == 0) return 0;
    }
}

int WideStrCompareNoCase(const WChar* a, const WChar* b) {
    if (!a) a = u"";
    if (!b) b = u"";
    for (;; ++a, ++b) {
        WChar ca = FoldAscii(*a), cb = FoldAscii(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

int WideStrToInt(const WChar* text) {
    if (!text) return 0;
    while (IsNarrowSpace(*text))
        ++text;
    bool negative = false;
    if (*text == u'+' || *text == u'-') {
        negative = *text == u'-';
        ++text;
    }
    long long value = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*text - u'0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
