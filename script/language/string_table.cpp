#include "script/language/string_table.h"

#include "core/archive.h"
#include "core/file_layer.h"

#include <cstdio>

bool ScriptStringTable::LoadFromText(std::string_view text, std::string& error) {
    Clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxLineLength) {
            error = "string table line " + std::to_string(lines_.size() + 1) + " is longer than " +
                    std::to_string(kMaxLineLength) + " characters";
            lines_.clear();
            return false;
        }
        if (lines_.size() >= kMaxLines) {
            error = "string table has more than " + std::to_string(kMaxLines) + " lines";
            lines_.clear();
            return false;
        }
        lines_.emplace_back(line);
        pos = next;
    }
    return true;
}

s32 ScriptStringTable::Intern(const std::string& text) {
    if (index_.size() != lines_.size()) {
        index_.clear();
        for (size_t i = 0; i < lines_.size(); ++i)
            index_.emplace(lines_[i], static_cast<s32>(i));
    }
    auto found = index_.find(text);
    if (found != index_.end()) return found->second;
    if (lines_.size() >= kMaxLines) return -1;
    lines_.push_back(text);
    const s32 index = static_cast<s32>(lines_.size() - 1);
    index_.emplace(text, index);
    return index;
}

std::string ScriptStringTable::ToText() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += '\n';
    }
    return out;
}

bool ScriptStringTable::LoadFromArchive(std::string& error) {
    Clear();
    ArchiveHandle file = ArchiveOpen(kArchivePath, "r");
    if (!file) {
        error = std::string("cannot open the script string table ") + kArchivePath;
        return false;
    }
    std::vector<u8> bytes;
    const bool read = ReadWholeArchiveFile(file, bytes);
    ArchiveClose(file);
    if (!read) {
        error = std::string("cannot read the script string table ") + kArchivePath;
        return false;
    }
    if (!LoadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      error)) {
        error = std::string(kArchivePath) + ": " + error;
        return false;
    }
    return true;
}
