#pragma once
// The string table shared by every compiled script class ("sdb.txt"): one string per line,
// line n is string n. Identifiers are stored as their text, string literals between quotes
// and wide literals as L"hhhh..." (four lower-case hex digits per UTF-16 unit).
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

class ScriptStringTable {
public:
    // The longest line the loader reads whole; a longer line would be cut by the reader.
    static constexpr size_t kMaxLineLength = 1023;
    // Tokens refer to lines by a 16-bit index.
    static constexpr size_t kMaxLines = 65536;

    // Replaces the table by the lines of a text (LF-separated; a trailing CR is cut).
    // A line longer than kMaxLineLength or more than kMaxLines lines is refused: the table
    // is left empty, false is returned and error says why.
    bool LoadFromText(std::string_view text, std::string& error);
    // The data-file path of the table.
    static constexpr const char* kArchivePath = "../.rundir/scripts/sdb.txt";
    // Reads the table from the data archive (kArchivePath). False with an error, and an
    // empty table, when the member is missing or malformed.
    bool LoadFromArchive(std::string& error);

    void Clear() {
        lines_.clear();
        index_.clear();
    }
    size_t Count() const { return lines_.size(); }
    bool Has(size_t index) const { return index < lines_.size(); }
    const std::string& Line(size_t index) const { return lines_[index]; }

    // For the compiler: the index of a line, adding it when new. -1 when the table is full.
    s32 Intern(const std::string& text);
    // The whole table as text, one line per string, each ended by LF.
    std::string ToText() const;

private:
    std::vector<std::string> lines_;
    std::unordered_map<std::string, s32> index_;  // for Intern
};
