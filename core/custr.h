#pragma once
// CUStr: the UTF-16 twin of CStr, the value of the script type ustring and the carrier of
// Unicode speech texts.
//
// Same layout, operations and growth rules as CStr (GrowString, core/grow_string.h), counted
// in 16-bit code units (the buffer holds capacity code units). Equality folds A-Z only;
// ordering is by code-unit value. operator+ and Mid return per-form temporaries exactly as
// CStr's do: copy the result before calling the same form again.
#include "core/grow_string.h"
#include "core/wide_text.h"

class CUStr : private GrowString<CUStr, WChar, ServerStringPolicy> {
    using Base = GrowString<CUStr, WChar, ServerStringPolicy>;
    friend Base;

public:
    using Base::Base;

    using Base::Append;
    using Base::Assign;
    using Base::AssignLeft;
    using Base::Clear;
    using Base::Contains;
    using Base::CText;
    using Base::GetCapacity;
    using Base::GetGrowStep;
    using Base::GetLength;
    using Base::GetText;
    using Base::IsEmpty;
    using Base::IsNumeric;
    using Base::MakeLower;
    using Base::MakeUpper;
    using Base::Mid;
    using Base::NextToken;
    using Base::Prepend;
    using Base::SkipToAny;
    using Base::Substitute;
    using Base::operator=;
    using Base::operator+=;
    using Base::operator+;
    using Base::operator==;
    using Base::operator!=;
    using Base::operator<;
    using Base::operator>;
    using Base::operator<=;
    using Base::operator>=;

    // The code unit at the index, or a pointer to a shared NUL unit for an index outside
    // the text (negative indices included).
    const WChar* operator[](int index) const { return UnitAt(index); }

    // The decimal value of the text narrowed to 8 bits, units of 128 or more read as spaces.
    int ToInt() const { return WideStrToInt(GetText()); }
};
