#include "client/data/client_skill_table.h"

#include <algorithm>
#include <cstring>

#include "client/data/data_file_cache.h"

namespace {

constexpr int kSkillsIndexFile = 15;
constexpr int kSkillsDataFile = 16;
constexpr size_t kTextMax = 79;

SkillRecordReader& Reader() {
    static SkillRecordReader reader;
    return reader;
}

bool ReadFromDataCache(int id, std::vector<u8>& record) {
    s32 length = 0;
    const u8* bytes =
        TheDataCache().GetRecord(kSkillsIndexFile, kSkillsDataFile, id, &length, nullptr);
    if (bytes == nullptr || length <= 0) return false;
    record.assign(bytes, bytes + length);
    return true;
}

// Byte by byte as unsigned values, so upper case sorts before lower case.
bool NameGreater(const char* a, const char* b) {
    return std::strcmp(a, b) > 0;  // strcmp compares as unsigned char
}

}  // namespace

ClientSkillTable& TheClientSkillTable() {
    static ClientSkillTable table;
    return table;
}

PlayerSkillValues& ThePlayerSkillValues() {
    static PlayerSkillValues values;
    return values;
}

int& LastUsedSkill() {
    static int skill = -1;
    return skill;
}

SkillRecordReader SetSkillRecordReader(SkillRecordReader reader) {
    SkillRecordReader previous = std::move(Reader());
    Reader() = std::move(reader);
    return previous;
}

void LoadSkillTable() {
    ClientSkillTable& table = TheClientSkillTable();
    const SkillRecordReader& read = Reader() ? Reader() : SkillRecordReader(&ReadFromDataCache);
    // Slot n is skill n whether or not its record exists (an absent one is an empty name with
    // flag 0), so the numbers the server, the skill values and the groups use stay in step.
    table.count = 0;
    std::vector<u8> record;
    for (int id = 0; id < ClientSkillTable::kSlots; ++id) {
        record.clear();
        char* name = table.names[id];
        std::memset(name, 0, ClientSkillTable::kNameBytes);
        table.flags[id] = 0;
        if (!read(id, record) || record.empty()) continue;
        table.flags[id] = record[0];
        std::memcpy(name, record.data() + 1, std::min(record.size() - 1, kTextMax));
        table.count = id + 1;
    }
    SortSkillTable(table);
}

void SortSkillTable(ClientSkillTable& table) {
    const int count = std::clamp(table.count, 0, ClientSkillTable::kSlots);
    for (int p = 0; p < count; ++p)
        table.sorted[p] = static_cast<u8>(p);
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int p = 0; p + 1 < count; ++p) {
            if (NameGreater(table.names[table.sorted[p]], table.names[table.sorted[p + 1]])) {
                std::swap(table.sorted[p], table.sorted[p + 1]);
                swapped = true;
            }
        }
    }
}

std::string TextBeforeParenthesis(const std::string& text) {
    const size_t open = text.find('(');
    if (open == std::string::npos) return text.substr(0, kTextMax);
    std::string before = text.substr(0, std::min(open, kTextMax));
    // The blank in front of the parenthesis goes.
    if (!before.empty() && open <= kTextMax) before.pop_back();
    return before;
}

std::string TextInParenthesis(const std::string& text) {
    const size_t open = text.find('(');
    if (open == std::string::npos) return "";
    const size_t close = text.find(')', open + 1);
    const size_t end = close == std::string::npos ? text.size() : close;
    return text.substr(open + 1, std::min(end - open - 1, kTextMax));
}
