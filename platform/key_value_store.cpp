#include "platform/key_value_store.h"

#include <cstdio>
#include <fstream>
#include <map>

#include "platform/bounded_file_read.h"
#include "platform/hex_digit.h"
#include "platform/paths.h"

namespace platform {
namespace {

// File format: one "name=value" per line; in values, backslash escapes backslash ("\\")
// and line ends ("\n", "\r"). Lines without "=" are ignored.
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The store holds a handful of short values; a file larger than this is not ours.
constexpr size_t kMaxStoreBytes = 1 << 20;

// Reads every value. False when the file exists but cannot be read whole: a reader then
// sees no values, and a writer must not replace the file, or every other value would be lost.
bool Load(const std::string& path, std::map<std::string, std::string>& values) {
    values.clear();
    std::string text;
    FileReadResult read = ReadBoundedFile(path, kMaxStoreBytes, Oversize::kWholeOnly, text);
    if (read.status == FileReadStatus::kMissing) return true;
    if (!read.Read()) return false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        values[line.substr(0, eq)] = Unescape(line.substr(eq + 1));
    }
    return true;
}

bool Save(const std::string& path, const std::map<std::string, std::string>& values) {
    auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeDirectories(path.substr(0, slash));
    // Write a new file and rename it over the old one, so a crash never leaves half a file.
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const auto& [k, v] : values)
            out << k << '=' << Escape(v) << '\n';
        out.flush();
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

bool ValidName(const std::string& name) {
    return !name.empty() && name.find_first_of("=\n\r") == std::string::npos;
}

}  // namespace

KeyValueStore::KeyValueStore(std::string path) : path_(std::move(path)) {}

KeyValueStore KeyValueStore::Default() {
    return KeyValueStore(UserConfigDirectory() + "/settings.txt");
}

std::optional<std::string> KeyValueStore::GetString(const std::string& name) const {
    std::map<std::string, std::string> values;
    Load(path_, values);
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool KeyValueStore::SetString(const std::string& name, const std::string& value) {
    if (!ValidName(name)) return false;
    std::map<std::string, std::string> values;
    if (!Load(path_, values)) return false;
    values[name] = value;
    return Save(path_, values);
}

std::optional<std::vector<u8>> KeyValueStore::GetBinary(const std::string& name) const {
    auto text = GetString(name);
    if (!text || text->size() % 2 != 0) return std::nullopt;
    std::vector<u8> bytes;
    for (size_t i = 0; i < text->size(); i += 2) {
        int hi = HexDigit((*text)[i]);
        int lo = HexDigit((*text)[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<u8>(hi * 16 + lo));
    }
    return bytes;
}

bool KeyValueStore::SetBinary(const std::string& name, const std::vector<u8>& value) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (u8 b : value) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return SetString(name, text);
}

bool KeyValueStore::Remove(const std::string& name) {
    std::map<std::string, std::string> values;
    if (!Load(path_, values)) return false;
    if (values.erase(name) == 0) return true;
    return Save(path_, values);
}

}  // namespace platform
