#pragma once
// Word readers shared by the server's text readers (configuration, templates, name tables,
// defines, script arguments).
//
// Each reader skips white space (space, tab, CR, LF, VT, FF), copies the next word into
// the buffer, NUL-terminated, and answers the position after the word and one following
// character, or the end of the text when there is none. A word longer than the buffer is
// cut to bufferSize - 1 characters and the rest of it is skipped, so the answer is always
// past the whole word. A null text gives an empty word and answers null; an exhausted text
// gives an empty word. Nothing is written for a null buffer or a size of 0.
#include <cstddef>

// The next word with A-Z lower-cased.
const char* NextWord(const char* text, char* buffer, size_t bufferSize);
// The next word as it is.
const char* NextWordKeepCase(const char* text, char* buffer, size_t bufferSize);
// The next word as it is, where a '"' switches to quoted mode in which white space is part
// of the word, and the next '"' ends the word. Quotes are not copied; after a closing
// quote the answer is the position right after it.
const char* NextQuotedWord(const char* text, char* buffer, size_t bufferSize);

template <size_t N>
const char* NextWord(const char* text, char (&buffer)[N]) {
    return NextWord(text, buffer, N);
}
template <size_t N>
const char* NextWordKeepCase(const char* text, char (&buffer)[N]) {
    return NextWordKeepCase(text, buffer, N);
}
template <size_t N>
const char* NextQuotedWord(const char* text, char (&buffer)[N]) {
    return NextQuotedWord(text, buffer, N);
}
