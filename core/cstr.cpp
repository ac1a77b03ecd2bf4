#include "core/cstr.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Buffers are sized in s32; no size below 1 reaches the allocator.
char* NewBuffer(int capacity) {
    return new char[capacity > 0 ? static_cast<size_t>(static_cast<unsigned>(capacity)) : 1];
}

void CopyChars(char* dst, const char* src, int n) {
    if (n > 0) std::memmove(dst, src, static_cast<size_t>(n));
}

// The one NUL character that out-of-range indexing points at.
const char kSharedNul = '\0';

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Lengths and capacities are signed 32-bit: a longer text is cut to this length so that no
// size computation can overflow.
constexpr int kMaxTextLength = 0x3FFFFFFF;

int BoundedLength(const char* text, int n) {
    if (n > kMaxTextLength) n = kMaxTextLength;
    return n > 0 ? static_cast<int>(strnlen(text, static_cast<size_t>(n))) : 0;
}

int TextLength(const char* text) {
    return text ? BoundedLength(text, kMaxTextLength) : 0;
}

bool InSet(const char* set, char c) {
    return set && c != '\0' && std::strchr(set, c) != nullptr;
}

// Decimal value of the text as the runtime's atoi reads it, clamped to the int range
// instead of overflowing.
int DecimalValue(const char* text) {
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

int StrCompareNoCase(const char* a, const char* b) {
    if (!a) a = "";
    if (!b) b = "";
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(AsciiLower(*a));
        unsigned char cb = static_cast<unsigned char>(AsciiLower(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

CStr::CStr() {
    Assign("");
}

CStr::CStr(const CStr& other) {
    if (other.data_) Assign(other.data_);
}

CStr::CStr(const char* text) {
    if (text) Assign(text);
}

CStr::CStr(char c) {
    data_ = NewBuffer(2);
    capacity_ = 2;
    data_[0] = c;
    data_[1] = '\0';
    // A NUL character makes the empty text, not a one-character string holding a NUL.
    length_ = c != '\0' ? 1 : 0;
}

CStr::~CStr() {
    delete[] data_;
}

void CStr::Reallocate(int newCapacity) {
    char* fresh = NewBuffer(newCapacity);
    int keep = data_ ? length_ : 0;
    if (keep > newCapacity - 1) keep = newCapacity - 1;
    if (keep < 0) keep = 0;
    CopyChars(fresh, data_, keep);
    fresh[keep] = '\0';
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
    length_ = keep;
}

char* CStr::Assign(const char* text) {
    if (!text) {
        Clear();
        return nullptr;
    }
    return AssignLeft(text, INT_MAX);
}

char* CStr::AssignLeft(const char* text, int n) {
    if (!text) {
        Clear();
        return nullptr;
    }
    int len = n > 0 ? BoundedLength(text, n) : 0;
    if (capacity_ < len + 1) {
        // The text may lie inside our own buffer: copy before freeing.
        char* fresh = NewBuffer(len + kGrowStep);
        CopyChars(fresh, text, len);
        delete[] data_;
        data_ = fresh;
        capacity_ = len + kGrowStep;
    } else {
        CopyChars(data_, text, len);
    }
    data_[len] = '\0';
    length_ = len;
    return data_;
}

CStr& CStr::operator=(const CStr& other) {
    if (this != &other) Assign(other.data_);
    return *this;
}

CStr& CStr::operator=(const char* text) {
    Assign(text);
    return *this;
}

CStr& CStr::operator=(int value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", value);
    Assign(buf);
    return *this;
}

CStr& CStr::operator=(char c) {
    char text[2] = {c, '\0'};
    if (capacity_ < 2) Reallocate(2);
    Assign(text);
    return *this;
}

void CStr::Append(const char* text) {
    if (!text || text[0] == '\0') return;
    int added = TextLength(text);
    if (added > kMaxTextLength - length_) added = kMaxTextLength - length_;
    if (capacity_ < length_ + added + 1) {
        // The text may be our own: fill the new buffer before freeing the old one.
        int newCapacity = length_ + added + kGrowStep;
        char* fresh = NewBuffer(newCapacity);
        CopyChars(fresh, data_, length_);
        CopyChars(fresh + length_, text, added);
        fresh[length_ + added] = '\0';
        delete[] data_;
        data_ = fresh;
        capacity_ = newCapacity;
    } else {
        CopyChars(data_ + length_, text, added);
        data_[length_ + added] = '\0';
    }
    length_ += added;
}

CStr& CStr::operator+=(const CStr& other) {
    Append(other.data_);
    return *this;
}

CStr& CStr::operator+=(const char* text) {
    Append(text);
    return *this;
}

CStr& CStr::operator+=(int value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", value);
    Append(buf);
    return *this;
}

CStr& CStr::operator+=(float value) {
    // "%f" of the largest float needs 47 characters.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", static_cast<double>(value));
    Append(buf);
    return *this;
}

CStr& CStr::operator+=(unsigned value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u", value);
    Append(buf);
    return *this;
}

CStr& CStr::operator+=(char c) {
    if (c == '\0') return *this;
    if (capacity_ < length_ + 2) Reallocate(length_ + 2);
    data_[length_++] = c;
    data_[length_] = '\0';
    return *this;
}

CStr& CStr::Prepend(char c) {
    if (c == '\0') return *this;
    int newCapacity = (length_ + 1 >= capacity_) ? capacity_ + kGrowStep : capacity_;
    // A string without a buffer has capacity 0: make sure the character and the
    // terminator fit whatever the step.
    if (newCapacity < length_ + 2) newCapacity = length_ + 2;
    char* fresh = NewBuffer(newCapacity);
    fresh[0] = c;
    CopyChars(fresh + 1, data_, length_);
    fresh[length_ + 1] = '\0';
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
    ++length_;
    return *this;
}

CStr& CStr::Prepend(const char* text) {
    if (!text) return *this;
    int n = TextLength(text);
    if (n > kMaxTextLength - length_) n = kMaxTextLength - length_;
    int g = kGrowStep > n ? kGrowStep : n;
    int newCapacity = (length_ + g >= capacity_) ? capacity_ + g : capacity_;
    if (newCapacity < length_ + n + 1) newCapacity = length_ + n + 1;
    char* fresh = NewBuffer(newCapacity);
    CopyChars(fresh, text, n);
    CopyChars(fresh + n, data_, length_);
    fresh[n + length_] = '\0';
    delete[] data_;
    data_ = fresh;
    capacity_ = newCapacity;
    length_ += n;
    return *this;
}

CStr& CStr::Prepend(const CStr& other) {
    return Prepend(other.CText());
}

void CStr::Clear() {
    if (data_) data_[0] = '\0';
    length_ = 0;
}

const char* CStr::operator[](int index) const {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(length_)) return data_ + index;
    return &kSharedNul;
}

int CStr::ToInt() const {
    return data_ ? DecimalValue(data_) : 0;
}

bool CStr::IsEmpty() const {
    return !data_ || data_[0] == '\0';
}

bool CStr::IsNumeric() const {
    for (int i = 0; i < length_; ++i) {
        if (data_[i] < '0' || data_[i] > '9') return false;
    }
    return true;
}

bool CStr::Contains(char c) const {
    if (!data_ || c == '\0') return false;
    return std::memchr(data_, c, length_) != nullptr;
}

void CStr::MakeUpper() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiUpper(data_[i]);
}

void CStr::MakeLower() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiLower(data_[i]);
}

CStr& CStr::Mid(int start, int n) const {
    thread_local CStr result;
    if (start >= 0 && start < length_) {
        // AssignLeft copies with memmove, so Mid of the result itself is safe.
        result.AssignLeft(data_ + start, n);
    } else {
        result.Assign("");
    }
    return result;
}

bool CStr::operator==(const CStr& other) const {
    return StrCompareNoCase(data_, other.data_) == 0;
}
bool CStr::operator==(const char* text) const {
    return StrCompareNoCase(data_, text) == 0;
}
bool CStr::operator!=(const CStr& other) const {
    return StrCompareNoCase(data_, other.data_) != 0;
}
bool CStr::operator!=(const char* text) const {
    return StrCompareNoCase(data_, text) != 0;
}

bool CStr::operator==(char c) const {
    return length_ == 1 && data_[0] == c;
}

bool CStr::operator!=(char c) const {
    if (length_ != 1) return true;
    return AsciiLower(data_[0]) != AsciiLower(c);
}

bool CStr::operator<(const CStr& other) const {
    return std::strcmp(CText(), other.CText()) < 0;
}
bool CStr::operator<(const char* text) const {
    return std::strcmp(CText(), text ? text : "") < 0;
}
bool CStr::operator>(const CStr& other) const {
    return std::strcmp(CText(), other.CText()) > 0;
}
bool CStr::operator>(const char* text) const {
    return std::strcmp(CText(), text ? text : "") > 0;
}
bool CStr::operator<=(const CStr& other) const {
    return std::strcmp(CText(), other.CText()) <= 0;
}
bool CStr::operator<=(const char* text) const {
    return std::strcmp(CText(), text ? text : "") <= 0;
}
bool CStr::operator>=(const CStr& other) const {
    return std::strcmp(CText(), other.CText()) >= 0;
}
bool CStr::operator>=(const char* text) const {
    return std::strcmp(CText(), text ? text : "") >= 0;
}

CStr& CStr::operator+(const char* text) const {
    thread_local CStr result;
    // Build aside: either operand may be the result of an earlier call.
    CStr joined(*this);
    joined.Append(text);
    result = joined;
    return result;
}

CStr& CStr::operator+(char c) const {
    thread_local CStr result;
    CStr joined(*this);
    joined += c;
    result = joined;
    return result;
}

CStr& CStr::operator+(const CStr& other) const {
    thread_local CStr result;
    CStr joined(*this);
    joined.Append(other.data_);
    result = joined;
    return result;
}

int CStr::Substitute(CStr& out, const CStr& format, const CStr& marker, const CStr& value) {
    // Appending to out must neither move nor change the texts being read.
    CStr formatCopy, valueCopy;
    const CStr* src = &format;
    const CStr* val = &value;
    if (&out == &format) {
        formatCopy = format;
        src = &formatCopy;
    }
    if (&out == &value) {
        valueCopy = value;
        val = &valueCopy;
    }
    const char* text = src->data_;
    int len = src->length_;
    bool insert = marker.data_ && marker.data_[0] == '%';
    int count = 0;
    for (int i = 0; i < len && text[i] != '\0'; ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 1 >= len || text[i + 1] == '\0') break;
        ++i;
        if (insert) {
            out.Append(val->data_);
            ++count;
        }
    }
    return count;
}

bool CStr::NextToken(int& position, int& lineCount, CStr& out, const char* separators,
                     const char* singles, bool forward) const {
    // Out may be this string: read from a copy then.
    if (&out == this) {
        CStr copy(*this);
        return copy.NextToken(position, lineCount, out, separators, singles, forward);
    }
    out.Assign("");
    const int step = forward ? 1 : -1;
    bool started = false;
    bool quoted = false;
    while (position >= 0 && position < length_) {
        char c = data_[position];
        if (c == '\0') break;
        if (!started) {
            if (InSet(separators, c)) {
                if (c == '\n') ++lineCount;
                position += step;
                continue;
            }
            started = true;
            if (c != '"' && InSet(singles, c)) {
                if (c == '\n') ++lineCount;
                out += c;
                position += step;
                return true;
            }
        }
        if (c == '"') {
            position += step;
            if (quoted) return true;
            quoted = true;
            continue;
        }
        if (!quoted && (InSet(separators, c) || InSet(singles, c))) return true;
        if (c == '\n') ++lineCount;
        out += c;
        position += step;
    }
    return started;
}

bool CStr::SkipToAny(int& position, int& lineCount, const char* set, bool forward) const {
    const int step = forward ? 1 : -1;
    while (position >= 0 && position < length_) {
        char c = data_[position];
        if (c == '\0') return false;
        if (InSet(set, c)) return true;
        if (c == '\n') ++lineCount;
        position += step;
    }
    return false;
}
