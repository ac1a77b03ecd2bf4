#pragma once
// Which texts may be character names: an obscenity test, and the full name test that also
// refuses staff and rank titles, reserved words and malformed names. Names arrive from the
// wire, so every byte value is handled; comparisons ignore the case of A-Z.
#include <vector>

// The four word lists the tests use. Each pointer is a NUL-terminated word.
struct NameWordLists {
    std::vector<const char*> reservedTitles;    // refused as whole words
    std::vector<const char*> reservedWords;     // refused as whole words
    std::vector<const char*> obsceneFragments;  // refused anywhere
    std::vector<const char*> obsceneWords;      // refused as whole words
};

// The lists built into the game.
const NameWordLists& DefaultNameWordLists();

// Space, apostrophe, hyphen and full stop.
bool IsNameSeparator(char c);
// Neither a letter (A-Z, a-z) nor a separator.
bool IsInvalidNameCharacter(char c);

// 1 when a reserved word, an obscene fragment or an obscene word occurs anywhere in the text;
// null counts as clean.
int IsObsceneName(const char* text, const NameWordLists& lists = DefaultNameWordLists());
// 1 when the text is refused as a character name (null and empty texts are refused).
int IsInvalidName(const char* text, const NameWordLists& lists = DefaultNameWordLists());
