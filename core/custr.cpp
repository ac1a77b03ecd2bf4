#include "core/custr.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Buffers are sized in s32; no size below 1 reaches the allocator.
WChar* NewBuffer(int capacity) {
    return new WChar[capacity > 0 ? static_cast<size_t>(static_cast<unsigned>(capacity)) : 1];
}

// The one NUL code unit that out-of-range indexing points at.
const WChar kSharedNul = 0;

WChar AsciiLower(WChar c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<WChar>(c - u'A' + u'a') : c;
}
WChar AsciiUpper(WChar c) {
    return (c >= u'a' && c <= u'z') ? static_cast<WChar>(c - u'a' + u'A') : c;
}

// Lengths and capacities are signed 32-bit: a longer text is cut to this length so that no
// size computation can overflow.
constexpr int kMaxTextLength = 0x3FFFFFFF;

int BoundedLength(const WChar* text, int n) {
    if (n > kMaxTextLength) n = kMaxTextLength;
    int len = 0;
    while (len < n && text[len] != 0)
        ++len;
    return len;
}

bool InSet(const WChar* set, WChar c) {
    if (!set || c == 0) return false;
    for (; *set != 0; ++set) {
        if (*set == c) return true;
    }
    return false;
}

void CopyUnits(WChar* dst, const WChar* src, int n) {
    if (n > 0) std::memmove(dst, src, static_cast<size_t>(n) * sizeof(WChar));
}

// Room for any number we format: "%f" of the largest float needs 47 characters.
constexpr int kNumberUnits = 64;

// Formats one number in 8-bit characters and widens each to one code unit.
template <typename T>
void FormatNumber(WChar (&out)[kNumberUnits], const char* format, T value) {
    char narrow[kNumberUnits];
    int n = std::snprintf(narrow, sizeof narrow, format, value);
    if (n < 0) n = 0;
    if (n > kNumberUnits - 1) n = kNumberUnits - 1;
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<unsigned char>(narrow[i]);
    out[n] = 0;
}

int TextLength(const WChar* text) {
    return text ? BoundedLength(text, kMaxTextLength) : 0;
}

}  // namespace

CUStr::CUStr() {
    Assign(u"");
}

CUStr::CUStr(const CUStr& other) {
    if (other.data_) Assign(other.data_);
}

CUStr::CUStr(const WChar* text) {
    if (text) Assign(text);
}

CUStr::CUStr(WChar c) {
    data_ = NewBuffer(2);
    capacity_ = 2;
    data_[0] = c;
    data_[1] = 0;
    // A NUL unit makes the empty text, not a one-unit string holding a NUL.
    length_ = c != 0 ? 1 : 0;
}

CUStr::~CUStr() {
    delete[] data_;
}

void CUStr::Reallocate(int newCapacity) {
    WChar* fresh = NewBuffer(newCapacity);
    int keep = data_ ? length_ : 0;
    if (keep > newCapacity - 1) keep = newCapacity - 1;
    if (keep < 0) keep = 0;
    CopyUnits(fresh, data_, keep);
    fresh[keep] = 0;
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
    length_ = keep;
}

WChar* CUStr::Assign(const WChar* text) {
    if (!text) {
        Clear();
        return nullptr;
    }
    return AssignLeft(text, INT_MAX);
}

WChar* CUStr::AssignLeft(const WChar* text, int n) {
    if (!text) {
        Clear();
        return nullptr;
    }
    int len = n > 0 ? BoundedLength(text, n) : 0;
    if (capacity_ < len + 1) {
        // The text may lie inside our own buffer: copy before freeing.
        WChar* fresh = NewBuffer(len + kGrowStep);
        CopyUnits(fresh, text, len);
        delete[] data_;
        data_ = fresh;
        capacity_ = len + kGrowStep;
    } else {
        CopyUnits(data_, text, len);
    }
    data_[len] = 0;
    length_ = len;
    return data_;
}

CUStr& CUStr::operator=(const CUStr& other) {
    if (this != &other) Assign(other.data_);
    return *this;
}

CUStr& CUStr::operator=(const WChar* text) {
    Assign(text);
    return *this;
}

CUStr& CUStr::operator=(int value) {
    WChar wide[kNumberUnits];
    FormatNumber(wide, "%d", value);
    Assign(wide);
    return *this;
}

CUStr& CUStr::operator=(WChar c) {
    WChar text[2] = {c, 0};
    if (capacity_ < 2) Reallocate(2);
    Assign(text);
    return *this;
}

void CUStr::Append(const WChar* text) {
    if (!text || text[0] == 0) return;
    int added = TextLength(text);
    if (added > kMaxTextLength - length_) added = kMaxTextLength - length_;
    if (capacity_ < length_ + added + 1) {
        // The text may be our own: fill the new buffer before freeing the old one.
        int newCapacity = length_ + added + kGrowStep;
        WChar* fresh = NewBuffer(newCapacity);
        CopyUnits(fresh, data_, length_);
        CopyUnits(fresh + length_, text, added);
        fresh[length_ + added] = 0;
        delete[] data_;
        data_ = fresh;
        capacity_ = newCapacity;
    } else {
        CopyUnits(data_ + length_, text, added);
        data_[length_ + added] = 0;
    }
    length_ += added;
}

CUStr& CUStr::operator+=(const CUStr& other) {
    Append(other.data_);
    return *this;
}

CUStr& CUStr::operator+=(const WChar* text) {
    Append(text);
    return *this;
}

CUStr& CUStr::operator+=(int value) {
    WChar wide[kNumberUnits];
    FormatNumber(wide, "%d", value);
    Append(wide);
    return *this;
}

CUStr& CUStr::operator+=(float value) {
    WChar wide[kNumberUnits];
    FormatNumber(wide, "%f", static_cast<double>(value));
    Append(wide);
    return *this;
}

CUStr& CUStr::operator+=(unsigned value) {
    WChar wide[kNumberUnits];
    FormatNumber(wide, "%u", value);
    Append(wide);
    return *this;
}

CUStr& CUStr::operator+=(WChar c) {
    if (c == 0) return *this;
    if (capacity_ < length_ + 2) Reallocate(length_ + 2);
    data_[length_++] = c;
    data_[length_] = 0;
    return *this;
}

CUStr& CUStr::Prepend(WChar c) {
    if (c == 0) return *this;
    int newCapacity = (length_ + 1 >= capacity_) ? capacity_ + kGrowStep : capacity_;
    // A string without a buffer has capacity 0: make sure the unit and the terminator fit
    // whatever the step.
    if (newCapacity < length_ + 2) newCapacity = length_ + 2;
    WChar* fresh = NewBuffer(newCapacity);
    fresh[0] = c;
    CopyUnits(fresh + 1, data_, length_);
    fresh[length_ + 1] = 0;
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
    ++length_;
    return *this;
}

CUStr& CUStr::Prepend(const WChar* text) {
    if (!text) return *this;
    int n = TextLength(text);
    if (n > kMaxTextLength - length_) n = kMaxTextLength - length_;
    int g = kGrowStep > n ? kGrowStep : n;
    int newCapacity = (length_ + g >= capacity_) ? capacity_ + g : capacity_;
    if (newCapacity < length_ + n + 1) newCapacity = length_ + n + 1;
    WChar* fresh = NewBuffer(newCapacity);
    CopyUnits(fresh, text, n);
    CopyUnits(fresh + n, data_, length_);
    fresh[n + length_] = 0;
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
    length_ += n;
    return *this;
}

CUStr& CUStr::Prepend(const CUStr& other) {
    return Prepend(other.CText());
}

void CUStr::Clear() {
    if (data_) data_[0] = 0;
    length_ = 0;
}

const WChar* CUStr::operator[](int index) const {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(length_)) return data_ + index;
    return &kSharedNul;
}

int CUStr::ToInt() const {
    return data_ ? WideStrToInt(data_) : 0;
}

bool CUStr::IsEmpty() const {
    return !data_ || data_[0] == 0;
}

bool CUStr::IsNumeric() const {
    for (int i = 0; i < length_; ++i) {
        if (data_[i] < u'0' || data_[i] > u'9') return false;
    }
    return true;
}

bool CUStr::Contains(WChar c) const {
    if (!data_ || c == 0) return false;
    for (int i = 0; i < length_; ++i) {
        if (data_[i] == c) return true;
    }
    return false;
}

void CUStr::MakeUpper() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiUpper(data_[i]);
}

void CUStr::MakeLower() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiLower(data_[i]);
}

CUStr& CUStr::Mid(int start, int n) const {
    thread_local CUStr result;
    if (start >= 0 && start < length_) {
        // AssignLeft copies with memmove, so Mid of the result itself is safe.
        result.AssignLeft(data_ + start, n);
    } else {
        result.Assign(u"");
    }
    return result;
}

bool CUStr::operator==(const CUStr& other) const {
    return WideStrCompareNoCase(data_, other.data_) == 0;
}
bool CUStr::operator==(const WChar* text) const {
    return WideStrCompareNoCase(data_, text) == 0;
}
bool CUStr::operator!=(const CUStr& other) const {
    return WideStrCompareNoCase(data_, other.data_) != 0;
}
bool CUStr::operator!=(const WChar* text) const {
    return WideStrCompareNoCase(data_, text) != 0;
}

bool CUStr::operator==(WChar c) const {
    return length_ == 1 && data_[0] == c;
}

bool CUStr::operator!=(WChar c) const {
    if (length_ != 1) return true;
    return AsciiLower(data_[0]) != AsciiLower(c);
}

bool CUStr::operator<(const CUStr& other) const {
    return WideStrCompare(data_, other.data_) < 0;
}
bool CUStr::operator<(const WChar* text) const {
    return WideStrCompare(data_, text) < 0;
}
bool CUStr::operator>(const CUStr& other) const {
    return WideStrCompare(data_, other.data_) > 0;
}
bool CUStr::operator>(const WChar* text) const {
    return WideStrCompare(data_, text) > 0;
}
bool CUStr::operator<=(const CUStr& other) const {
    return WideStrCompare(data_, other.data_) <= 0;
}
bool CUStr::operator<=(const WChar* text) const {
    return WideStrCompare(data_, text) <= 0;
}
bool CUStr::operator>=(const CUStr& other) const {
    return WideStrCompare(data_, other.data_) >= 0;
}
bool CUStr::operator>=(const WChar* text) const {
    return WideStrCompare(data_, text) >= 0;
}

CUStr& CUStr::operator+(const WChar* text) const {
    thread_local CUStr result;
    // Build aside: either operand may be the result of an earlier call.
    CUStr joined(*this);
    joined.Append(text);
    result = joined;
    return result;
}

CUStr& CUStr::operator+(WChar c) const {
    thread_local CUStr result;
    CUStr joined(*this);
    joined += c;
    result = joined;
    return result;
}

CUStr& CUStr::operator+(const CUStr& other) const {
    thread_local CUStr result;
    CUStr joined(*this);
    joined.Append(other.data_);
    result = joined;
    return result;
}

int CUStr::Substitute(CUStr& out, const CUStr& format, const CUStr& marker, const CUStr& value) {
    // Appending to out must neither move nor change the texts being read.
    CUStr formatCopy, valueCopy;
    const CUStr* src = &format;
    const CUStr* val = &value;
    if (&out == &format) {
        formatCopy = format;
        src = &formatCopy;
    }
    if (&out == &value) {
        valueCopy = value;
        val = &valueCopy;
    }
    const WChar* text = src->data_;
    int len = src->length_;
    bool insert = marker.data_ && marker.data_[0] == u'%';
    int count = 0;
    for (int i = 0; i < len && text[i] != 0; ++i) {
        if (text[i] != u'%') {
            out += text[i];
            continue;
        }
        if (i + 1 >= len || text[i + 1] == 0) break;
        ++i;
        if (insert) {
            out.Append(val->data_);
            ++count;
        }
    }
    return count;
}

bool CUStr::NextToken(int& position, int& lineCount, CUStr& out, const WChar* separators,
                      const WChar* singles, bool forward) const {
    // Out may be this string: read from a copy then.
    if (&out == this) {
        CUStr copy(*this);
        return copy.NextToken(position, lineCount, out, separators, singles, forward);
    }
    out.Assign(u"");
    const int step = forward ? 1 : -1;
    bool started = false;
    bool quoted = false;
    while (position >= 0 && position < length_) {
        WChar c = data_[position];
        if (c == 0) break;
        if (!started) {
            if (InSet(separators, c)) {
                if (c == u'\n') ++lineCount;
                position += step;
                continue;
            }
            started = true;
            if (c != u'"' && InSet(singles, c)) {
                if (c == u'\n') ++lineCount;
                out += c;
                position += step;
                return true;
            }
        }
        if (c == u'"') {
            position += step;
            if (quoted) return true;
            quoted = true;
            continue;
        }
        if (!quoted && (InSet(separators, c) || InSet(singles, c))) return true;
        if (c == u'\n') ++lineCount;
        out += c;
        position += step;
    }
    return started;
}

bool CUStr::SkipToAny(int& position, int& lineCount, const WChar* set, bool forward) const {
    const int step = forward ? 1 : -1;
    while (position >= 0 && position < length_) {
        WChar c = data_[position];
        if (c == 0) return false;
        if (InSet(set, c)) return true;
        if (c == u'\n') ++lineCount;
        position += step;
    }
    return false;
}
