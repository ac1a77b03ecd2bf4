#include "core/grow_string.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "core/client_str.h"
#include "core/cstr.h"
#include "core/custr.h"

namespace {

// Buffers are sized in s32; no size below 1 reaches the allocator.
template <class Unit>
Unit* NewBuffer(int capacity) {
    return new Unit[capacity > 0 ? static_cast<size_t>(static_cast<unsigned>(capacity)) : 1];
}

template <class Unit>
void CopyUnits(Unit* dst, const Unit* src, int n) {
    if (n > 0) std::memmove(dst, src, static_cast<size_t>(n) * sizeof(Unit));
}

template <class Unit>
Unit AsciiLower(Unit c) {
    return (c >= Unit('A') && c <= Unit('Z')) ? static_cast<Unit>(c - 'A' + 'a') : c;
}
template <class Unit>
Unit AsciiUpper(Unit c) {
    return (c >= Unit('a') && c <= Unit('z')) ? static_cast<Unit>(c - 'a' + 'A') : c;
}

// Units before the terminator, at most n (and never more than limit).
template <class Unit>
int BoundedLength(const Unit* text, int n, int limit) {
    if (n > limit) n = limit;
    if constexpr (std::is_same_v<Unit, char>) {
        return n > 0 ? static_cast<int>(strnlen(text, static_cast<size_t>(n))) : 0;
    } else {
        int len = 0;
        while (len < n && text[len] != 0)
            ++len;
        return len;
    }
}

template <class Unit>
bool InSet(const Unit* set, Unit c) {
    if (!set || c == 0) return false;
    for (; *set != 0; ++set) {
        if (*set == c) return true;
    }
    return false;
}

// Room for any number we format: "%f" of the largest float needs 47 characters.
constexpr int kNumberUnits = 64;

// Formats one number in 8-bit characters and widens each to one unit.
template <class Unit, class T>
void FormatNumber(Unit (&out)[kNumberUnits], const char* format, T value) {
    char narrow[kNumberUnits];
    int n = std::snprintf(narrow, sizeof narrow, format, value);
    if (n < 0) n = 0;
    if (n > kNumberUnits - 1) n = kNumberUnits - 1;
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<Unit>(static_cast<unsigned char>(narrow[i]));
    out[n] = 0;
}

}  // namespace

// The member definitions below are shared by the three named strings, instantiated at the
// end of this file.
#define GROW_STRING_TEMPLATE template <class Derived, class Unit, class Policy>
#define GROW_STRING GrowString<Derived, Unit, Policy>

GROW_STRING_TEMPLATE
GROW_STRING::GrowString() {
    if constexpr (Policy::kDefaultHasBuffer) Assign(&kNul);
}

GROW_STRING_TEMPLATE
GROW_STRING::GrowString(const GrowString& other) {
    if (other.data_) Assign(other.data_);
}

GROW_STRING_TEMPLATE
GROW_STRING::GrowString(const Unit* text) {
    if (text) Assign(text);
}

GROW_STRING_TEMPLATE
GROW_STRING::GrowString(Unit c) {
    const int capacity = kGrowStep > 2 ? kGrowStep : 2;
    data_ = NewBuffer<Unit>(capacity);
    capacity_ = capacity;
    data_[0] = c;
    data_[1] = 0;
    // A NUL unit makes the empty text, not a one-unit string holding a NUL.
    length_ = c != 0 ? 1 : 0;
}

GROW_STRING_TEMPLATE
GROW_STRING::~GrowString() {
    delete[] data_;
}

GROW_STRING_TEMPLATE
void GROW_STRING::Adopt(Unit* fresh, int newCapacity) {
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
}

GROW_STRING_TEMPLATE
void GROW_STRING::Reallocate(int newCapacity) {
    Unit* fresh = NewBuffer<Unit>(newCapacity);
    int keep = data_ ? length_ : 0;
    if (keep > newCapacity - 1) keep = newCapacity - 1;
    if (keep < 0) keep = 0;
    CopyUnits(fresh, data_, keep);
    fresh[keep] = 0;
    Adopt(fresh, newCapacity);
    length_ = keep;
}

GROW_STRING_TEMPLATE
Unit* GROW_STRING::Assign(const Unit* text) {
    return AssignLeft(text, INT_MAX);
}

GROW_STRING_TEMPLATE
Unit* GROW_STRING::AssignLeft(const Unit* text, int n) {
    if (!text) {
        Clear();
        return nullptr;
    }
    int len = n > 0 ? BoundedLength(text, n, kMaxTextLength) : 0;
    if (capacity_ < len + 1) {
        // The text may lie inside our own buffer: copy before freeing.
        Unit* fresh = NewBuffer<Unit>(len + kGrowStep);
        CopyUnits(fresh, text, len);
        Adopt(fresh, len + kGrowStep);
    } else {
        CopyUnits(data_, text, len);
    }
    data_[len] = 0;
    length_ = len;
    return data_;
}

GROW_STRING_TEMPLATE
GROW_STRING& GROW_STRING::operator=(const GrowString& other) {
    if (this != &other) Assign(other.data_);
    return *this;
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator=(const Unit* text) {
    Assign(text);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator=(int value) {
    Unit text[kNumberUnits];
    FormatNumber(text, "%d", value);
    Assign(text);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator=(Unit c) {
    Unit text[2] = {c, 0};
    if constexpr (Policy::kUnitAssignMakesRoom) {
        if (capacity_ < 2) Reallocate(2);
    }
    Assign(text);
    return Self();
}

GROW_STRING_TEMPLATE
void GROW_STRING::Append(const Unit* text) {
    if (!text || text[0] == 0) return;
    int added = BoundedLength(text, kMaxTextLength - length_, kMaxTextLength);
    if (capacity_ < length_ + added + 1) {
        // The text may be our own: fill the new buffer before freeing the old one.
        int newCapacity = length_ + added + kGrowStep;
        Unit* fresh = NewBuffer<Unit>(newCapacity);
        CopyUnits(fresh, data_, length_);
        CopyUnits(fresh + length_, text, added);
        fresh[length_ + added] = 0;
        Adopt(fresh, newCapacity);
    } else {
        CopyUnits(data_ + length_, text, added);
        data_[length_ + added] = 0;
    }
    length_ += added;
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+=(const Derived& other) {
    Append(Of(other).data_);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+=(const Unit* text) {
    Append(text);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+=(int value) {
    Unit text[kNumberUnits];
    FormatNumber(text, "%d", value);
    Append(text);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+=(float value) requires Policy::kFloatAndUnsignedForms {
    Unit text[kNumberUnits];
    FormatNumber(text, "%f", static_cast<double>(value));
    Append(text);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+=(unsigned value) requires Policy::kFloatAndUnsignedForms {
    Unit text[kNumberUnits];
    FormatNumber(text, "%u", value);
    Append(text);
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+=(Unit c) {
    if (c == 0) return Self();
    if (capacity_ < length_ + 2) Reallocate(length_ + 2);
    data_[length_++] = c;
    data_[length_] = 0;
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::Prepend(Unit c) {
    if (c == 0) return Self();
    int newCapacity = (length_ + 1 >= capacity_) ? capacity_ + kGrowStep : capacity_;
    // A string without a buffer has capacity 0: make sure the unit and the terminator fit
    // whatever the step.
    if (newCapacity < length_ + 2) newCapacity = length_ + 2;
    Unit* fresh = NewBuffer<Unit>(newCapacity);
    fresh[0] = c;
    CopyUnits(fresh + 1, data_, length_);
    fresh[length_ + 1] = 0;
    Adopt(fresh, newCapacity);
    ++length_;
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::Prepend(const Unit* text) {
    if (!text) return Self();
    int n = BoundedLength(text, kMaxTextLength - length_, kMaxTextLength);
    int g = kGrowStep > n ? kGrowStep : n;
    int newCapacity = (length_ + g >= capacity_) ? capacity_ + g : capacity_;
    if (newCapacity < length_ + n + 1) newCapacity = length_ + n + 1;
    Unit* fresh = NewBuffer<Unit>(newCapacity);
    CopyUnits(fresh, text, n);
    CopyUnits(fresh + n, data_, length_);
    fresh[n + length_] = 0;
    Adopt(fresh, newCapacity);
    length_ += n;
    return Self();
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::Prepend(const Derived& other) {
    return Prepend(Of(other).CText());
}

GROW_STRING_TEMPLATE
void GROW_STRING::Clear() {
    if (data_) data_[0] = 0;
    length_ = 0;
}

GROW_STRING_TEMPLATE
const Unit* GROW_STRING::UnitAt(int index) const {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(length_)) return data_ + index;
    return &kNul;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::IsEmpty() const {
    return !data_ || data_[0] == 0;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::IsNumeric() const {
    for (int i = 0; i < length_; ++i) {
        if (data_[i] < Unit('0') || data_[i] > Unit('9')) return false;
    }
    return true;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::Contains(Unit c) const {
    if (!data_ || c == 0) return false;
    for (int i = 0; i < length_; ++i) {
        if (data_[i] == c) return true;
    }
    return false;
}

GROW_STRING_TEMPLATE
void GROW_STRING::MakeUpper() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiUpper(data_[i]);
}

GROW_STRING_TEMPLATE
void GROW_STRING::MakeLower() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiLower(data_[i]);
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::Mid(int start, int n) const {
    thread_local Derived result;
    GrowString& out = result;
    if (start >= 0 && start < length_) {
        // AssignLeft copies with memmove, so Mid of the result itself is safe.
        out.AssignLeft(data_ + start, n);
    } else {
        out.Assign(&kNul);
    }
    return result;
}

GROW_STRING_TEMPLATE
int GROW_STRING::CompareNoCase(const Unit* a, const Unit* b) {
    using Value = std::make_unsigned_t<Unit>;
    if (!a) a = &kNul;
    if (!b) b = &kNul;
    for (;; ++a, ++b) {
        Value ca = static_cast<Value>(AsciiLower(*a));
        Value cb = static_cast<Value>(AsciiLower(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

GROW_STRING_TEMPLATE
int GROW_STRING::Compare(const Unit* a, const Unit* b) {
    using Value = std::make_unsigned_t<Unit>;
    if (!a) a = &kNul;
    if (!b) b = &kNul;
    for (;; ++a, ++b) {
        Value ca = static_cast<Value>(*a);
        Value cb = static_cast<Value>(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

GROW_STRING_TEMPLATE
bool GROW_STRING::operator==(const Derived& other) const {
    return CompareNoCase(data_, Of(other).data_) == 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator==(const Unit* text) const {
    return CompareNoCase(data_, text) == 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator!=(const Derived& other) const {
    return CompareNoCase(data_, Of(other).data_) != 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator!=(const Unit* text) const {
    return CompareNoCase(data_, text) != 0;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::operator==(Unit c) const {
    return length_ == 1 && data_[0] == c;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::operator!=(Unit c) const {
    if (length_ != 1) return true;
    return AsciiLower(data_[0]) != AsciiLower(c);
}

GROW_STRING_TEMPLATE
bool GROW_STRING::operator<(const Derived& other) const {
    return Compare(data_, Of(other).data_) < 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator<(const Unit* text) const {
    return Compare(data_, text) < 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator>(const Derived& other) const {
    return Compare(data_, Of(other).data_) > 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator>(const Unit* text) const {
    return Compare(data_, text) > 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator<=(const Derived& other) const {
    return Compare(data_, Of(other).data_) <= 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator<=(const Unit* text) const {
    return Compare(data_, text) <= 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator>=(const Derived& other) const {
    return Compare(data_, Of(other).data_) >= 0;
}
GROW_STRING_TEMPLATE
bool GROW_STRING::operator>=(const Unit* text) const {
    return Compare(data_, text) >= 0;
}

// Each operator+ builds aside: either operand may be the result of an earlier call.
GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+(const Unit* text) const {
    thread_local Derived result;
    Derived joined(Self());
    joined.Append(text);
    result = joined;
    return result;
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+(Unit c) const {
    thread_local Derived result;
    Derived joined(Self());
    joined += c;
    result = joined;
    return result;
}

GROW_STRING_TEMPLATE
Derived& GROW_STRING::operator+(const Derived& other) const {
    thread_local Derived result;
    Derived joined(Self());
    joined.Append(Of(other).data_);
    result = joined;
    return result;
}

GROW_STRING_TEMPLATE
int GROW_STRING::Substitute(Derived& out, const Derived& format, const Derived& marker,
                            const Derived& value) {
    // Appending to out must neither move nor change the texts being read.
    GrowString formatCopy, valueCopy;
    const GrowString* src = &Of(format);
    const GrowString* val = &Of(value);
    GrowString& dst = out;
    if (&dst == src) {
        formatCopy = *src;
        src = &formatCopy;
    }
    if (&dst == val) {
        valueCopy = *val;
        val = &valueCopy;
    }
    const Unit* text = src->data_;
    int len = src->length_;
    const Unit* mark = Of(marker).data_;
    bool insert = mark && mark[0] == Unit('%');
    // Room for the whole result first: appending unit by unit to an exactly grown buffer
    // would copy the text once per unit.
    s64 grow = 0;
    for (int i = 0; i < len && text[i] != 0; ++i) {
        if (text[i] != Unit('%')) {
            ++grow;
            continue;
        }
        if (i + 1 >= len || text[i + 1] == 0) break;
        ++i;
        if (insert) grow += val->length_;
    }
    const s64 needed = dst.length_ + grow + 1;
    if (needed <= kMaxTextLength && dst.capacity_ < needed)
        dst.Reallocate(static_cast<int>(needed - 1 + kGrowStep));
    int count = 0;
    for (int i = 0; i < len && text[i] != 0; ++i) {
        if (text[i] != Unit('%')) {
            dst += text[i];
            continue;
        }
        if (i + 1 >= len || text[i + 1] == 0) break;
        ++i;
        if (insert) {
            dst.Append(val->data_);
            ++count;
        }
    }
    return count;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::NextToken(int& position, int& lineCount, Derived& out, const Unit* separators,
                            const Unit* singles, bool forward) const {
    GrowString& dst = out;
    // Out may be this string: read from a copy then.
    if (&dst == this) {
        GrowString copy(*this);
        return copy.NextToken(position, lineCount, out, separators, singles, forward);
    }
    dst.Assign(&kNul);
    const int step = forward ? 1 : -1;
    bool started = false;
    bool quoted = false;
    while (position >= 0 && position < length_) {
        Unit c = data_[position];
        if (c == 0) break;
        if (!started) {
            if (InSet(separators, c)) {
                if (c == Unit('\n')) ++lineCount;
                position += step;
                continue;
            }
            started = true;
            if (c != Unit('"') && InSet(singles, c)) {
                if (c == Unit('\n')) ++lineCount;
                dst += c;
                position += step;
                return true;
            }
        }
        if (c == Unit('"')) {
            position += step;
            if (quoted) return true;
            quoted = true;
            continue;
        }
        if (!quoted && (InSet(separators, c) || InSet(singles, c))) return true;
        if (c == Unit('\n')) ++lineCount;
        dst += c;
        position += step;
    }
    return started;
}

GROW_STRING_TEMPLATE
bool GROW_STRING::SkipToAny(int& position, int& lineCount, const Unit* set, bool forward) const {
    const int step = forward ? 1 : -1;
    while (position >= 0 && position < length_) {
        Unit c = data_[position];
        if (c == 0) return false;
        if (InSet(set, c)) return true;
        if (c == Unit('\n')) ++lineCount;
        position += step;
    }
    return false;
}

#undef GROW_STRING
#undef GROW_STRING_TEMPLATE

template class GrowString<CStr, char, ServerStringPolicy>;
template class GrowString<CUStr, WChar, ServerStringPolicy>;
template class GrowString<CClientStr, char, ClientStringPolicy>;
