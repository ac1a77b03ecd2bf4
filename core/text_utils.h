#pragma once
// Text utilities: a list of text lines loaded from a data file, and a case-insensitive
// substring search.
#include <string>
#include <string_view>
#include <vector>

// An ordered list of text lines, numbered from 0 (the script loader keeps its string table
// in one and looks strings up by line number).
class TextLineList {
public:
    TextLineList() = default;
    explicit TextLineList(const char* path) { Load(path); }

    // Reads the data file through the archive; false when it cannot be opened (the list is
    // then left as it was). One trailing "\n", then one "\r", is cut from each
    // line; a file ending with a newline gives a final empty line. Lines longer than 1023
    // bytes come in pieces of 1023.
    bool Load(const char* path);
    // Writes every line and a newline to a plain file; false when it cannot be written.
    bool Save(const char* path) const;
    // Appends a line; answers its number.
    int Add(std::string_view text);
    // The text of line n; empty for a number outside the list.
    const std::string& Get(int n) const;
    int Count() const { return static_cast<int>(lines_.size()); }
    void Clear() { lines_.clear(); }

private:
    std::vector<std::string> lines_;
};

// Position of the first occurrence of `pattern` in `text`, ignoring the case of A-Z; -1
// when there is none. An empty pattern matches at 0.
int BoyerMooreSearch(std::string_view pattern, std::string_view text);

// A heap copy of the text (free it with delete[]); null for null.
char* CopyText(const char* text);
// Frees the text the slot holds and stores a copy of the new one (null leaves it null). The
// new text may be the slot's own.
void ReplaceText(char*& slot, const char* text);
