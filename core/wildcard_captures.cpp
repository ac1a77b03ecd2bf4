#include "core/wildcard_captures.h"

#include <cstddef>

namespace {
char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

WildcardCaptures::WildcardCaptures() : WildcardCaptures(2, 80) {}

WildcardCaptures::WildcardCaptures(int count, int size)
    : count_(count > 0 ? count : 0),
      size_(size > 0 ? size : 1),
      buffers_(static_cast<std::size_t>(count_) * static_cast<std::size_t>(size_), '\0') {}

const char* WildcardCaptures::GetCapture(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    return &buffers_[static_cast<std::size_t>(index) * static_cast<std::size_t>(size_)];
}

bool WildcardCaptures::Match(const char* text, const char* pattern) {
    used_ = 0;
    if (!text || !pattern) return false;
    for (int i = 0; i < count_; ++i)
        buffers_[static_cast<std::size_t>(i) * static_cast<std::size_t>(size_)] = '\0';
    const bool literal = text[0] == '@';
    const char* star = nullptr;  // the pattern after the last '*'
    const char* resume = nullptr;
    int capture = -1;  // the capture of the last '*'
    int length = 0;    // characters kept in it
    for (;;) {
        if (!literal && *pattern == '*') {
            star = ++pattern;
            resume = text;
            capture = used_ < count_ ? used_ : -1;
            if (used_ < count_) ++used_;
            length = 0;
            continue;
        }
        if (Fold(*text) == Fold(*pattern)) {
            if (*text == '\0') return true;
            ++text;
            ++pattern;
            continue;
        }
        if (*text == '\0' || !star || literal) return false;
        if (*resume == '\0') return false;
        // The star absorbs one more character of the text.
        if (capture >= 0 && length < size_ - 1) {
            char* buffer =
                &buffers_[static_cast<std::size_t>(capture) * static_cast<std::size_t>(size_)];
            buffer[length++] = *resume;
            buffer[length] = '\0';
        }
        text = ++resume;
        pattern = star;
    }
}
