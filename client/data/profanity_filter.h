#pragma once
// The obscenity filter: every occurrence of every listed word in a text is masked in place,
// character for character, so the text keeps its length. Words are compared ignoring the case
// of A-Z; each masked character c becomes the mask alphabet's character at c mod 7
// ('!', '@', '#', '$', '%', '&', '*').
//
// Words are taken in list order; after each masked occurrence the search starts again from the
// text's start, so overlapping occurrences are all masked. A word made only of mask characters
// could be remade by its own mask (a word of '@' is masked into itself): its search goes on
// after the masked stretch instead, so it always ends. Empty words mask nothing.
#include <string>
#include <vector>

// The mask of one character.
char MaskChar(char c);
// Masks `count` characters of the text from `start` (clipped to the text).
void MaskChars(std::string& text, size_t start, size_t count);
// Masks every occurrence of `word` in the text.
void MaskWord(const std::string& word, std::string& text);
// Masks every listed word.
void FilterProfanity(std::string& text, const std::vector<std::string>& words);
