#pragma once
// CUStr: the UTF-16 twin of CStr, the value of the script type ustring and the carrier of
// Unicode speech texts.
//
// Same layout, operations and growth rules as CStr, counted in 16-bit code units (the
// buffer holds capacity code units). Equality folds A-Z only; ordering is by code-unit
// value. The concatenation operators and Mid return per-form temporaries exactly as CStr's
// do: copy the result before calling the same form again.
#include "core/types.h"
#include "core/wide_text.h"

class CUStr {
public:
    CUStr();
    CUStr(const CUStr& other);
    CUStr(const WChar* text);  // NOLINT: implicit on purpose, texts stand in for strings
    explicit CUStr(WChar c);
    ~CUStr();

    // Replaces the text. A null text clears the string (keeping its buffer) and answers
    // null; otherwise answers the buffer.
    WChar* Assign(const WChar* text);
    // As Assign, taking at most n code units of the text.
    WChar* AssignLeft(const WChar* text, int n);

    CUStr& operator=(const CUStr& other);
    CUStr& operator=(const WChar* text);
    CUStr& operator=(int value);
    CUStr& operator=(WChar c);

    // Appends the text; nothing for a null or empty text.
    void Append(const WChar* text);
    CUStr& operator+=(const CUStr& other);
    CUStr& operator+=(const WChar* text);
    CUStr& operator+=(int value);
    CUStr& operator+=(float value);
    CUStr& operator+=(unsigned value);
    CUStr& operator+=(WChar c);

    CUStr& Prepend(WChar c);
    CUStr& Prepend(const WChar* text);
    CUStr& Prepend(const CUStr& other);

    // Empties the text and keeps the buffer.
    void Clear();

    // The buffer, or null when the string has none.
    WChar* GetText() { return data_; }
    const WChar* GetText() const { return data_; }
    // The text, never null: the empty text for a string without a buffer.
    const WChar* CText() const { return data_ ? data_ : u""; }
    int GetLength() const { return length_; }
    int GetCapacity() const { return capacity_; }
    int GetGrowStep() const { return kGrowStep; }

    // The code unit at the index, or a pointer to a shared NUL unit for an index outside
    // the text (negative indices included).
    const WChar* operator[](int index) const;

    // The decimal value of the text narrowed to 8 bits, units of 128 or more read as spaces.
    int ToInt() const;
    bool IsEmpty() const;
    // True when every unit is a decimal digit (true for the empty text).
    bool IsNumeric() const;
    bool Contains(WChar c) const;
    // Fold a-z / A-Z; other code units are left alone.
    void MakeUpper();
    void MakeLower();
    // At most n code units from start; empty when start is outside the text.
    CUStr& Mid(int start, int n) const;

    bool operator==(const CUStr& other) const;
    bool operator==(const WChar* text) const;
    bool operator!=(const CUStr& other) const;
    bool operator!=(const WChar* text) const;
    // Exact: the text is that one code unit.
    bool operator==(WChar c) const;
    // Not that one code unit, ignoring ASCII case for a one-unit text.
    bool operator!=(WChar c) const;

    bool operator<(const CUStr& other) const;
    bool operator<(const WChar* text) const;
    bool operator>(const CUStr& other) const;
    bool operator>(const WChar* text) const;
    bool operator<=(const CUStr& other) const;
    bool operator<=(const WChar* text) const;
    bool operator>=(const CUStr& other) const;
    bool operator>=(const WChar* text) const;

    CUStr& operator+(const WChar* text) const;
    CUStr& operator+(WChar c) const;
    CUStr& operator+(const CUStr& other) const;

    // As CStr::Substitute over code units.
    static int Substitute(CUStr& out, const CUStr& format, const CUStr& marker, const CUStr& value);
    // As CStr::NextToken over code units; the sets are wide texts.
    bool NextToken(int& position, int& lineCount, CUStr& out, const WChar* separators,
                   const WChar* singles, bool forward = true) const;
    // As CStr::SkipToAny over code units.
    bool SkipToAny(int& position, int& lineCount, const WChar* set, bool forward = true) const;

private:
    // Room a replaced buffer gets beyond its text (at least the terminator's).
    static constexpr s32 kGrowStep = 1;

    // Replaces the buffer with a new one of the given capacity holding the current text.
    void Reallocate(int newCapacity);

    WChar* data_ = nullptr;
    s32 length_ = 0;
    s32 capacity_ = 0;
};
