#include "core/next_word.h"

namespace {

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Collects a word into a bounded buffer: characters past its room are dropped.
class WordSink {
public:
    WordSink(char* buffer, size_t size)
        : buffer_(buffer), room_(buffer && size > 0 ? size - 1 : 0) {
        if (buffer_ && size > 0) buffer_[0] = '\0';
    }
    void Put(char c) {
        if (used_ < room_) {
            buffer_[used_++] = c;
            buffer_[used_] = '\0';
        }
    }

private:
    char* buffer_;
    size_t room_;
    size_t used_ = 0;
};

const char* ReadPlainWord(const char* text, char* buffer, size_t bufferSize, bool lower) {
    WordSink sink(buffer, bufferSize);
    if (!text) return nullptr;
    while (IsWhite(*text))
        ++text;
    for (; *text != '\0' && !IsWhite(*text); ++text) {
        char c = *text;
        if (lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        sink.Put(c);
    }
    if (*text != '\0') ++text;  // the one separator after the word
    return text;
}

}  // namespace

const char* NextWord(const char* text, char* buffer, size_t bufferSize) {
    return ReadPlainWord(text, buffer, bufferSize, true);
}

const char* NextWordKeepCase(const char* text, char* buffer, size_t bufferSize) {
    return ReadPlainWord(text, buffer, bufferSize, false);
}

const char* NextQuotedWord(const char* text, char* buffer, size_t bufferSize) {
    WordSink sink(buffer, bufferSize);
    if (!text) return nullptr;
    while (IsWhite(*text))
        ++text;
    bool quoted = false;
    for (; *text != '\0'; ++text) {
        char c = *text;
        if (c == '"') {
            if (quoted) return text + 1;  // the closing quote ends the word
            quoted = true;
            continue;
        }
        if (!quoted && IsWhite(c)) break;
        sink.Put(c);
    }
    if (*text != '\0') ++text;
    return text;
}
