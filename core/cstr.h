#pragma once
// CStr: the server's own growable 8-bit string, and the value of the script type string.
//
// A heap buffer holding NUL-terminated text, its length, a growth step and the capacity.
// A string may have no buffer at all (built from a null text); it then reads as the empty
// text everywhere. Equality ignores ASCII case, ordering is plain byte order.
//
// The concatenation operators and Mid hand back a reference to a temporary owned by the
// operator itself, one per form: the next call of the same form overwrites it, so copy the
// result before calling that form again. The temporaries are per thread; the server uses
// them from its main thread only.
#include "core/types.h"

class CStr {
public:
    CStr();
    CStr(const CStr& other);
    CStr(const char* text);  // NOLINT: implicit on purpose, texts stand in for strings
    explicit CStr(char c);
    ~CStr();

    // Replaces the text. A null text clears the string (keeping its buffer) and answers
    // null; otherwise answers the buffer.
    char* Assign(const char* text);
    // As Assign, taking at most n characters of the text.
    char* AssignLeft(const char* text, int n);

    CStr& operator=(const CStr& other);
    CStr& operator=(const char* text);
    CStr& operator=(int value);
    CStr& operator=(char c);

    // Appends the text; nothing for a null or empty text.
    void Append(const char* text);
    CStr& operator+=(const CStr& other);
    CStr& operator+=(const char* text);
    CStr& operator+=(int value);
    CStr& operator+=(float value);
    CStr& operator+=(unsigned value);
    CStr& operator+=(char c);

    CStr& Prepend(char c);
    CStr& Prepend(const char* text);
    CStr& Prepend(const CStr& other);

    // Empties the text and keeps the buffer.
    void Clear();

    // The buffer, or null when the string has none.
    char* GetText() { return data_; }
    const char* GetText() const { return data_; }
    // The text, never null: the empty text for a string without a buffer.
    const char* CText() const { return data_ ? data_ : ""; }
    int GetLength() const { return length_; }
    int GetCapacity() const { return capacity_; }
    int GetGrowStep() const { return kGrowStep; }

    // The character at the index, or a pointer to a shared NUL character for an index
    // outside the text (negative indices included).
    const char* operator[](int index) const;

    int ToInt() const;
    bool IsEmpty() const;
    // True when every character is a decimal digit (true for the empty text).
    bool IsNumeric() const;
    bool Contains(char c) const;
    void MakeUpper();
    void MakeLower();
    // At most n characters from start; empty when start is outside the text.
    CStr& Mid(int start, int n) const;

    bool operator==(const CStr& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const CStr& other) const;
    bool operator!=(const char* text) const;
    // Exact: the text is that one character.
    bool operator==(char c) const;
    // Not that one character, ignoring case for a one-character text.
    bool operator!=(char c) const;

    bool operator<(const CStr& other) const;
    bool operator<(const char* text) const;
    bool operator>(const CStr& other) const;
    bool operator>(const char* text) const;
    bool operator<=(const CStr& other) const;
    bool operator<=(const char* text) const;
    bool operator>=(const CStr& other) const;
    bool operator>=(const char* text) const;

    CStr& operator+(const char* text) const;
    CStr& operator+(char c) const;
    CStr& operator+(const CStr& other) const;

    // Appends format to out with every "%x" pair replaced by value when marker begins with
    // '%', dropped otherwise; a lone '%' at the end is dropped. Answers the number of
    // replacements. Out may be the format or the value.
    static int Substitute(CStr& out, const CStr& format, const CStr& marker, const CStr& value);

    // Reads one token starting at position, moving forward (+1) or backward (-1); out gets
    // the token. Separators before the token are skipped; a character of singles met there
    // is a token by itself. A '"' starts a quoted part in which separators and singles are
    // ordinary; the next '"' ends the token. Quotes are never part of the token. Each '\n'
    // passed adds one to lineCount. Answers true when a token was started; a position
    // outside the text answers false and reads nothing.
    bool NextToken(int& position, int& lineCount, CStr& out, const char* separators,
                   const char* singles, bool forward = true) const;
    // Moves position until the character there is in the set (true) or the text ends
    // (false), counting each '\n' passed.
    bool SkipToAny(int& position, int& lineCount, const char* set, bool forward = true) const;

private:
    // Room a replaced buffer gets beyond its text (at least the terminator's).
    static constexpr s32 kGrowStep = 1;

    // Replaces the buffer with a new one of the given capacity holding the current text.
    void Reallocate(int newCapacity);

    char* data_ = nullptr;
    s32 length_ = 0;
    s32 capacity_ = 0;
};

// Compares two texts with A-Z folded to a-z, nothing else folded; a null text reads as
// empty. Answers <0, 0 or >0 as strcmp does.
int StrCompareNoCase(const char* a, const char* b);
