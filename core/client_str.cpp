#include "core/client_str.h"

#include <cstdio>
#include <cstring>

#include "core/cstr.h"

namespace {

// Buffers are sized in s32; no size below 1 reaches the allocator.
char* NewBuffer(int capacity) {
    return new char[capacity > 0 ? static_cast<size_t>(static_cast<unsigned>(capacity)) : 1];
}

void CopyChars(char* dst, const char* src, int n) {
    if (n > 0) std::memmove(dst, src, static_cast<size_t>(n));
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Lengths and capacities are signed 32-bit: a longer text is cut to this length so that no
// size computation can overflow.
constexpr int kMaxTextLength = 0x3FFFFFFF;

int TextLength(const char* text) {
    return text ? static_cast<int>(strnlen(text, kMaxTextLength)) : 0;
}

}  // namespace

CClientStr::CClientStr() = default;

CClientStr::CClientStr(const CClientStr& other) {
    if (other.data_) Assign(other.data_);
}

CClientStr::CClientStr(const char* text) {
    if (text) Assign(text);
}

CClientStr::CClientStr(char c) {
    data_ = NewBuffer(kGrowStep);
    capacity_ = kGrowStep;
    data_[0] = c;
    data_[1] = '\0';
    // A NUL character makes the empty text, not a one-character string holding a NUL.
    length_ = c != '\0' ? 1 : 0;
}

CClientStr::~CClientStr() {
    delete[] data_;
}

void CClientStr::Reallocate(int newCapacity) {
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

char* CClientStr::Assign(const char* text) {
    if (!text) {
        Clear();
        return nullptr;
    }
    int len = TextLength(text);
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

void CClientStr::Append(const char* text) {
    if (!text || text[0] == '\0') return;
    int added = TextLength(text);
    if (added > kMaxTextLength - length_) added = kMaxTextLength - length_;
    if (capacity_ < length_ + added + 1) {
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

CClientStr& CClientStr::operator=(const CClientStr& other) {
    if (this != &other) Assign(other.data_);
    return *this;
}

CClientStr& CClientStr::operator=(const char* text) {
    Assign(text);
    return *this;
}

CClientStr& CClientStr::operator=(int value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", value);
    Assign(buf);
    return *this;
}

CClientStr& CClientStr::operator=(char c) {
    char text[2] = {c, '\0'};
    Assign(text);
    return *this;
}

CClientStr& CClientStr::operator+=(const CClientStr& other) {
    Append(other.data_);
    return *this;
}

CClientStr& CClientStr::operator+=(const char* text) {
    Append(text);
    return *this;
}

CClientStr& CClientStr::operator+=(int value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", value);
    Append(buf);
    return *this;
}

CClientStr& CClientStr::operator+=(char c) {
    if (c == '\0') return *this;
    if (capacity_ < length_ + 2) Reallocate(length_ + 2);
    data_[length_++] = c;
    data_[length_] = '\0';
    return *this;
}

CClientStr& CClientStr::Prepend(char c) {
    if (c == '\0') return *this;
    int newCapacity = (length_ + 1 >= capacity_) ? capacity_ + kGrowStep : capacity_;
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

CClientStr& CClientStr::Prepend(const char* text) {
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

CClientStr& CClientStr::Prepend(const CClientStr& other) {
    return Prepend(other.CText());
}

void CClientStr::Clear() {
    if (data_) data_[0] = '\0';
    length_ = 0;
}

char CClientStr::operator[](int index) const {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(length_)) return data_[index];
    return '\0';
}

void CClientStr::MakeUpper() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiUpper(data_[i]);
}

void CClientStr::MakeLower() {
    for (int i = 0; i < length_; ++i)
        data_[i] = AsciiLower(data_[i]);
}

bool CClientStr::operator==(const CClientStr& other) const {
    return StrCompareNoCase(data_, other.data_) == 0;
}
bool CClientStr::operator==(const char* text) const {
    return StrCompareNoCase(data_, text) == 0;
}
bool CClientStr::operator!=(const CClientStr& other) const {
    return StrCompareNoCase(data_, other.data_) != 0;
}
bool CClientStr::operator!=(const char* text) const {
    return StrCompareNoCase(data_, text) != 0;
}

bool CClientStr::operator==(char c) const {
    return length_ == 1 && data_[0] == c;
}

bool CClientStr::operator!=(char c) const {
    if (length_ != 1) return true;
    return AsciiLower(data_[0]) != AsciiLower(c);
}

CClientStr& CClientStr::operator+(const char* text) const {
    thread_local CClientStr result;
    // Build aside: either operand may be the result of an earlier call.
    CClientStr joined(*this);
    joined.Append(text);
    result = joined;
    return result;
}

CClientStr& CClientStr::operator+(char c) const {
    thread_local CClientStr result;
    CClientStr joined(*this);
    joined += c;
    result = joined;
    return result;
}

CClientStr& CClientStr::operator+(const CClientStr& other) const {
    thread_local CClientStr result;
    CClientStr joined(*this);
    joined.Append(other.data_);
    result = joined;
    return result;
}
