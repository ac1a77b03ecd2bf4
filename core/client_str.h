#pragma once
// CClientStr: the client side's own growable 8-bit string. The client's configuration
// reader, its client list and its region tables keep their texts in it.
//
// Like the server's CStr but growing 64 bytes at a time and with fewer operations: no
// ordering, substring, number conversion, search, substitution or tokenizer. A
// default-constructed string has no buffer and reads as the empty text. The concatenation
// operators return per-form temporaries as CStr's do: copy the result before calling the
// same form again.
#include "core/types.h"

class CClientStr {
public:
    CClientStr();
    CClientStr(const CClientStr& other);
    CClientStr(const char* text);  // NOLINT: implicit on purpose, texts stand in for strings
    explicit CClientStr(char c);
    ~CClientStr();

    // Replaces the text. A null text clears the string (keeping its buffer) and answers
    // null; otherwise answers the buffer.
    char* Assign(const char* text);
    // Appends the text; nothing for a null or empty text.
    void Append(const char* text);

    CClientStr& operator=(const CClientStr& other);
    CClientStr& operator=(const char* text);
    CClientStr& operator=(int value);
    CClientStr& operator=(char c);

    CClientStr& operator+=(const CClientStr& other);
    CClientStr& operator+=(const char* text);
    CClientStr& operator+=(int value);
    CClientStr& operator+=(char c);

    CClientStr& Prepend(char c);
    CClientStr& Prepend(const char* text);
    CClientStr& Prepend(const CClientStr& other);

    // Empties the text and keeps the buffer.
    void Clear();

    // The buffer, or null when the string has none.
    char* GetText() { return data_; }
    const char* GetText() const { return data_; }
    // The text, never null: the empty text for a string without a buffer.
    const char* CText() const { return data_ ? data_ : ""; }
    int GetLength() const { return length_; }
    int GetCapacity() const { return capacity_; }

    // The character at the index, or 0 for an index outside the text.
    char operator[](int index) const;

    void MakeUpper();
    void MakeLower();

    // Equality ignores A-Z case.
    bool operator==(const CClientStr& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const CClientStr& other) const;
    bool operator!=(const char* text) const;
    // Exact: the text is that one character.
    bool operator==(char c) const;
    // Not that one character, ignoring case for a one-character text.
    bool operator!=(char c) const;

    CClientStr& operator+(const char* text) const;
    CClientStr& operator+(char c) const;
    CClientStr& operator+(const CClientStr& other) const;

private:
    // Room a replaced buffer gets beyond its text (at least the terminator's).
    static constexpr s32 kGrowStep = 64;

    void Reallocate(int newCapacity);

    char* data_ = nullptr;
    s32 length_ = 0;
    s32 capacity_ = 0;
};
