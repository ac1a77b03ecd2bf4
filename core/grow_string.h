#pragma once
// GrowString: the one implementation of the program's growable strings CStr, CUStr and
// CClientStr, over a code unit (char or WChar) and a policy.
//
// A heap buffer holding NUL-terminated text, its length and its capacity, all counted in
// code units. A string may have no buffer at all (built from a null text); it then reads as
// the empty text everywhere. Equality folds A-Z only; ordering is by unsigned code-unit value.
// Lengths are cut at kMaxTextLength so that no size computation can overflow. Every
// operation accepts its own text (or a part of it) as an operand.
//
// The named classes inherit it privately and publish the operations they offer with using
// declarations, so each keeps exactly its own interface and its own per-form temporaries:
// operator+ and Mid hand back a reference to a temporary owned by the operator, one per form,
// per class and per thread. The next call of the same form overwrites it, so copy the result
// before calling that form again.
#include "platform/types.h"

// The server's strings, CStr and CUStr.
struct ServerStringPolicy {
    // Room a replaced buffer gets beyond its text (at least the terminator's): exact growth.
    static constexpr s32 kGrowStep = 1;
    // A default-constructed string holds the empty text in a one-unit buffer.
    static constexpr bool kDefaultHasBuffer = true;
    // Assigning one unit first makes room for two units (the unit and the terminator).
    static constexpr bool kUnitAssignMakesRoom = true;
    // operator+= also takes a float ("%f") and an unsigned ("%u").
    static constexpr bool kFloatAndUnsignedForms = true;
};

// The client's string, CClientStr: grows 64 units at a time, starts without a buffer.
struct ClientStringPolicy {
    static constexpr s32 kGrowStep = 64;
    static constexpr bool kDefaultHasBuffer = false;
    static constexpr bool kUnitAssignMakesRoom = false;
    static constexpr bool kFloatAndUnsignedForms = false;
};

template <class Derived, class Unit, class Policy>
class GrowString {
public:
    static constexpr s32 kGrowStep = Policy::kGrowStep;
    static constexpr int kMaxTextLength = 0x3FFFFFFF;

    // The empty text, with a buffer or without one as the policy says.
    GrowString();
    // Takes the other's text; a source without a buffer gives a string without one.
    GrowString(const GrowString& other);
    // A null text gives a string without a buffer.
    GrowString(const Unit* text);  // NOLINT: implicit on purpose, texts stand in for strings
    // The unit and its terminator, in a buffer of two units or one grow step, whichever is
    // more. A NUL unit makes the empty text.
    explicit GrowString(Unit c);
    ~GrowString();
    GrowString& operator=(const GrowString& other);

    // Replaces the text. A null text clears the string (keeping its buffer) and answers
    // null; otherwise answers the buffer.
    Unit* Assign(const Unit* text);
    // As Assign, taking at most n units of the text.
    Unit* AssignLeft(const Unit* text, int n);

    Derived& operator=(const Unit* text);
    // The number as "%d" writes it.
    Derived& operator=(int value);
    Derived& operator=(Unit c);

    // Appends the text; nothing for a null or empty text.
    void Append(const Unit* text);
    Derived& operator+=(const Derived& other);
    Derived& operator+=(const Unit* text);
    // Numbers are formatted in 8-bit characters ("%d", "%f", "%u"), each widened to a unit.
    Derived& operator+=(int value);
    Derived& operator+=(float value) requires Policy::kFloatAndUnsignedForms;
    Derived& operator+=(unsigned value) requires Policy::kFloatAndUnsignedForms;
    // Nothing for a NUL unit.
    Derived& operator+=(Unit c);

    Derived& Prepend(Unit c);
    Derived& Prepend(const Unit* text);
    Derived& Prepend(const Derived& other);

    // Empties the text and keeps the buffer.
    void Clear();

    // The buffer, or null when the string has none.
    Unit* GetText() { return data_; }
    const Unit* GetText() const { return data_; }
    // The text, never null: the empty text for a string without a buffer.
    const Unit* CText() const { return data_ ? data_ : &kNul; }
    int GetLength() const { return length_; }
    int GetCapacity() const { return capacity_; }
    int GetGrowStep() const { return kGrowStep; }

    bool IsEmpty() const;
    // True when every unit is a decimal digit (true for the empty text).
    bool IsNumeric() const;
    bool Contains(Unit c) const;
    // Fold a-z / A-Z; other units are left alone.
    void MakeUpper();
    void MakeLower();
    // At most n units from start; empty when start is outside the text.
    Derived& Mid(int start, int n) const;

    bool operator==(const Derived& other) const;
    bool operator==(const Unit* text) const;
    bool operator!=(const Derived& other) const;
    bool operator!=(const Unit* text) const;
    // Exact: the text is that one unit.
    bool operator==(Unit c) const;
    // Not that one unit, ignoring A-Z case for a one-unit text.
    bool operator!=(Unit c) const;

    bool operator<(const Derived& other) const;
    bool operator<(const Unit* text) const;
    bool operator>(const Derived& other) const;
    bool operator>(const Unit* text) const;
    bool operator<=(const Derived& other) const;
    bool operator<=(const Unit* text) const;
    bool operator>=(const Derived& other) const;
    bool operator>=(const Unit* text) const;

    Derived& operator+(const Unit* text) const;
    Derived& operator+(Unit c) const;
    Derived& operator+(const Derived& other) const;

    // Appends format to out with every "%x" pair replaced by value when marker begins with
    // '%', dropped otherwise; a lone '%' at the end is dropped. Answers the number of
    // replacements. Out may be the format or the value.
    static int Substitute(Derived& out, const Derived& format, const Derived& marker,
                          const Derived& value);

    // Reads one token starting at position, moving forward (+1) or backward (-1); out gets
    // the token. Separators before the token are skipped; a unit of singles met there is a
    // token by itself. A '"' starts a quoted part in which separators and singles are
    // ordinary; the next '"' ends the token. Quotes are never part of the token. Each '\n'
    // passed adds one to lineCount. Answers true when a token was started; a position
    // outside the text answers false and reads nothing.
    bool NextToken(int& position, int& lineCount, Derived& out, const Unit* separators,
                   const Unit* singles, bool forward = true) const;
    // Moves position until the unit there is in the set (true) or the text ends (false),
    // counting each '\n' passed.
    bool SkipToAny(int& position, int& lineCount, const Unit* set, bool forward = true) const;

    // Compares two texts by unsigned unit value, with A-Z folded to a-z (nothing else) or
    // exactly; a null text reads as empty. Answers <0, 0 or >0.
    static int CompareNoCase(const Unit* a, const Unit* b);
    static int Compare(const Unit* a, const Unit* b);

protected:
    // The unit at the index, or the shared NUL unit for an index outside the text (negative
    // indices included).
    const Unit* UnitAt(int index) const;

private:
    // The one NUL unit that out-of-range indexing and CText of no buffer point at.
    static constexpr Unit kNul = 0;

    static const GrowString& Of(const Derived& s) { return s; }
    Derived& Self() { return static_cast<Derived&>(*this); }
    const Derived& Self() const { return static_cast<const Derived&>(*this); }

    // Replaces the buffer with a new one of the given capacity holding the current text.
    void Reallocate(int newCapacity);
    // Puts the buffer of the given capacity in place of the current one.
    void Adopt(Unit* fresh, int newCapacity);

    Unit* data_ = nullptr;
    s32 length_ = 0;
    s32 capacity_ = 0;
};
