#pragma once
// The value of one hexadecimal digit, either case. Header-only so that platform code may use
// it too.

// 0..15, or -1 for a character that is not a hex digit.
inline int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
