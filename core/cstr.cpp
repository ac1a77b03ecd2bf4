#include "core/cstr.h"

#include <climits>
#include <cstdlib>

int CStr::ToInt() const {
    const char* text = GetText();
    if (!text) return 0;
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

int StrCompareNoCase(const char* a, const char* b) {
    return GrowString<CStr, char, ServerStringPolicy>::CompareNoCase(a, b);
}
