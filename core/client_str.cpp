#include "core/client_str.h"

#include <cstdio>
#include <cstring>

#include "core/cstr.h"

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int TextLength(const char* text) {
    return text ? static_cast<int>(std::strlen(text)) : 0;
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
    data_ = new char[growStep_];
    capacity_ = growStep_;
    data_[0] = c;
    data_[1] = '\0';
    // A NUL character makes the empty text, not a one-character string holding a NUL.
    length_ = c != '\0' ? 1 : 0;
}

CClientStr::~CClientStr() {
    delete[] data_;
}

void CClientStr::Reallocate(int newCapacity) {
    char* fresh = new char[newCapacity];
    int keep = data_ ? length_ : 0;
    if (keep > newCapacity - 1) keep = newCapacity - 1;
    if (keep > 0) std::memcpy(fresh, data_, keep);
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
        char* fresh = new char[len + growStep_];
        std::memcpy(fresh, text, len);
        delete[] data_;
        data_ = fresh;
        capacity_ = len + growStep_;
    } else {
        std::memmove(data_, text, len);
    }
    data_[len] = '\0';
    length_ = len;
    return data_;
}

void CClientStr::Append(const char* text) {
    if (!text || text[0] == '\0') return;
    int added = TextLength(text);
    if (capacity_ < length_ + added + 1) {
        int newCapacity = length_ + added + growStep_;
        char* fresh = new char[newCapacity];
        if (length_ > 0) std::memcpy(fresh, data_, length_);
        std::memcpy(fresh + length_, text, added);
        fresh[length_ + added] = '\0';
        delete[] data_;
        data_ = fresh;
        capacity_ = newCapacity;
    } else {
        std::memmove(data_ + length_, text, added);
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
    int newCapacity = (length_ + 1 >= capacity_) ? capacity_ + growStep_ : capacity_;
    char* fresh = new char[newCapacity];
    fresh[0] = c;
    if (length_ > 0) std::memcpy(fresh + 1, data_, length_);
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
    int g = growStep_ > n ? growStep_ : n;
    int newCapacity = (length_ + g >= capacity_) ? capacity_ + g : capacity_;
    if (newCapacity < length_ + n + 1) newCapacity = length_ + n + 1;
    char* fresh = new char[newCapacity];
    std::memcpy(fresh, text, n);
    if (length_ > 0) std::memcpy(fresh + n, data_, length_);
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
