#pragma once
// CClientStr: the client side's own growable 8-bit string. The client's configuration
// reader, its client list and its region tables keep their texts in it.
//
// Like the server's CStr (GrowString, core/grow_string.h) but growing 64 bytes at a time and
// with fewer operations: no ordering, substring, number conversion, search, substitution or
// tokenizer, and += takes no float or unsigned. A default-constructed string has no buffer
// and reads as the empty text. Equality ignores A-Z case. operator+ returns per-form
// temporaries as CStr's do: copy the result before calling the same form again.
#include "core/grow_string.h"

class CClientStr : private GrowString<CClientStr, char, ClientStringPolicy> {
    using Base = GrowString<CClientStr, char, ClientStringPolicy>;
    friend Base;

public:
    using Base::Base;

    using Base::Append;
    using Base::Assign;
    using Base::Clear;
    using Base::CText;
    using Base::GetCapacity;
    using Base::GetLength;
    using Base::GetText;
    using Base::MakeLower;
    using Base::MakeUpper;
    using Base::Prepend;
    using Base::operator=;
    using Base::operator+=;
    using Base::operator+;
    using Base::operator==;
    using Base::operator!=;

    // The character at the index, or 0 for an index outside the text.
    char operator[](int index) const { return *UnitAt(index); }
};
