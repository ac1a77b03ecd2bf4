#include "script/language/builtin_table.h"

#include <cctype>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/language/token_codes.h"

namespace builtin_records {
extern const BuiltinRecord kRecords[];
extern const int kRecordCount;
}  // namespace builtin_records

namespace {

// The control-flow keyword records come first; record i stands for token class
// TK_IF + i, and every class past TK_RETURN stands for TK_RETURN.
constexpr int kKeywordRecords = 20;

bool CharsFit(char a, char b) {
    if (a == 'u' || b == 'u' || a == 'U' || b == 'U') return true;
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

bool SignatureMatches(std::string_view recordSig, std::string_view call) {
    if (recordSig.empty() || call.empty()) return false;
    if (call[0] != 'u' && call[0] != recordSig[0]) return false;
    size_t r = 1, c = 1;
    for (;;) {
        if (c < call.size() && call[c] == '*') return true;
        if (r >= recordSig.size() || recordSig[r] == '|') {
            return c >= call.size() || call[c] == 'v';
        }
        if (c >= call.size()) return false;
        if (!CharsFit(recordSig[r], call[c])) return false;
        ++r;
        ++c;
    }
}

// The record indexes of each name in table order; the keyword records are listed under
// their keyword's class name too.
const std::unordered_map<std::string_view, std::vector<int>>& NameIndex() {
    static const std::unordered_map<std::string_view, std::vector<int>> index = [] {
        std::unordered_map<std::string_view, std::vector<int>> out;
        for (int i = 0; i < builtin_records::kRecordCount; ++i) {
            const BuiltinRecord& r = builtin_records::kRecords[i];
            out[r.name].push_back(i);
            if (i < kKeywordRecords) {
                const int cls = TK_IF + i > TK_RETURN ? TK_RETURN : TK_IF + i;
                std::vector<int>& alias = out[TokenClassName(cls)];
                if (alias.empty() || alias.back() != i) alias.push_back(i);
            }
        }
        return out;
    }();
    return index;
}

}  // namespace

std::span<const BuiltinRecord> BuiltinTable() {
    return {builtin_records::kRecords, static_cast<size_t>(builtin_records::kRecordCount)};
}

const BuiltinRecord* FindBuiltin(std::string_view name, std::string_view callSignature) {
    const auto& index = NameIndex();
    const auto found = index.find(name);
    if (found == index.end()) return nullptr;
    for (const int i : found->second) {
        // Every record listed under the name carries it or is its keyword's record.
        const BuiltinRecord& record = builtin_records::kRecords[i];
        if (SignatureMatches(record.signature, callSignature)) return &record;
    }
    return nullptr;
}

bool IsBuiltinName(std::string_view name) {
    const auto& index = NameIndex();
    const auto found = index.find(name);
    if (found == index.end()) return false;
    for (const int i : found->second) {
        if (name == builtin_records::kRecords[i].name) return true;
    }
    return false;
}

std::string FormatBuiltinNotFound(const char* name, const char* callSignature) {
    std::string out = "Could not find function with name '";
    out += name ? name : "(null)";
    out += "' and args '";
    out += callSignature ? callSignature : "(null)";
    out += "'";
    return out;
}

char BuiltinResultChar(const BuiltinRecord& record) {
    return record.signature[0];
}

int BuiltinArgCount(const BuiltinRecord& record) {
    int n = 0;
    for (const char* p = record.signature + 1; *p; ++p) {
        if (*p != '|') ++n;
    }
    return n;
}

int BuiltinIndex(const BuiltinRecord& record) {
    return static_cast<int>(&record - builtin_records::kRecords);
}
