// The client's skill tables: the skill names from the skills pair (slots kept for missing
// records, byte-order sorting) and the skill groups kept in skillgrp.mul.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "client/data/client_skill_table.h"
#include "client/data/skill_group_table.h"
#include "tools/content_builder/skill_names.h"

namespace {

// Skill records by number, as the skills pair holds them; absent numbers have no record.
class SkillRecords {
public:
    explicit SkillRecords(std::map<int, std::vector<u8>> records) : records_(std::move(records)) {
        previous_ = SetSkillRecordReader([this](int id, std::vector<u8>& out) {
            auto it = records_.find(id);
            if (it == records_.end()) return false;
            out = it->second;
            return true;
        });
    }
    ~SkillRecords() { SetSkillRecordReader(previous_); }
    SkillRecords(const SkillRecords&) = delete;
    SkillRecords& operator=(const SkillRecords&) = delete;

    static std::vector<u8> Record(u8 flags, const std::string& name) {
        std::vector<u8> r{flags};
        r.insert(r.end(), name.begin(), name.end());
        return r;
    }

private:
    std::map<int, std::vector<u8>> records_;
    SkillRecordReader previous_;
};

std::vector<std::string> SortedNames() {
    const ClientSkillTable& t = TheClientSkillTable();
    std::vector<std::string> names;
    for (int p = 0; p < t.count; ++p)
        names.push_back(t.names[t.sorted[p]]);
    return names;
}

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("TEST_TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/" + name;
}

std::vector<u8> ReadFile(const std::string& path) {
    std::vector<u8> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<u8>(c));
        std::fclose(f);
    }
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<u8>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

TEST(ClientSkillTable, AMissingRecordKeepsItsSlotSoLaterSkillsKeepTheirNumbers) {
    SkillRecords records({{0, SkillRecords::Record(1, "Brewing")},
                          {2, SkillRecords::Record(3, "Valuing")},
                          {3, SkillRecords::Record(0, "Arms Lore")}});
    LoadSkillTable();
    const ClientSkillTable& t = TheClientSkillTable();
    ASSERT_EQ(t.count, 4);
    EXPECT_STREQ(t.names[0], "Brewing");
    EXPECT_STREQ(t.names[1], "");
    EXPECT_EQ(t.flags[1], 0);
    EXPECT_STREQ(t.names[2], "Valuing");
    EXPECT_EQ(t.flags[2], 3);
    EXPECT_STREQ(t.names[3], "Arms Lore");
}

TEST(ClientSkillTable, NamesAreCutAt79CharactersAndAnEmptyRecordIsNoSkill) {
    SkillRecords records({{0, SkillRecords::Record(1, std::string(120, 'x'))}, {1, {}}});
    LoadSkillTable();
    const ClientSkillTable& t = TheClientSkillTable();
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(std::string(t.names[0]), std::string(79, 'x'));
}

TEST(ClientSkillTable, SortsByteByByteSoUpperCaseComesFirstAndTiesKeepTheirOrder) {
    SkillRecords records({{0, SkillRecords::Record(0, "apple")},
                          {1, SkillRecords::Record(0, "Zed")},
                          {2, SkillRecords::Record(0, "alpha")},
                          {3, SkillRecords::Record(0, "Beta")},
                          {4, SkillRecords::Record(0, "Zed")},
                          {5, SkillRecords::Record(0, "\xE9t\xE9")}});
    LoadSkillTable();
    EXPECT_EQ(SortedNames(),
              (std::vector<std::string>{"Beta", "Zed", "Zed", "alpha", "apple", "\xE9t\xE9"}));
    const ClientSkillTable& t = TheClientSkillTable();
    EXPECT_EQ(t.sorted[1], 1);  // the first "Zed" stays ahead of the second
    EXPECT_EQ(t.sorted[2], 4);
}

TEST(ClientSkillTable, TheDemoPairNamesEverySkillTheProfessionsUse) {
    const std::vector<IndexedRecord> built = BuildDemoSkillRecords();
    std::map<int, std::vector<u8>> records;
    for (size_t i = 0; i < built.size(); ++i)
        records[static_cast<int>(i)] = built[i].bytes;
    SkillRecords source(records);
    LoadSkillTable();
    const ClientSkillTable& t = TheClientSkillTable();
    EXPECT_GE(t.count, 40);
    for (int n = 0; n < 40; ++n)
        EXPECT_NE(t.names[n][0], 0) << n;
}

TEST(TextBeforeParenthesis, DisplayNames) {
    const struct {
        const char* text;
        const char* before;
        const char* inside;
    } cases[] = {
        {"Fireball (Flam Ignis)", "Fireball", "Flam Ignis"},
        {"Great Heal (In Vas Mani)", "Great Heal", "In Vas Mani"},
        {"(Words)", "", "Words"},
        {"No parenthesis", "No parenthesis", ""},
        {"", "", ""},
        {"Open (never closed", "Open", "never closed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextBeforeParenthesis(c.text), c.before);
        EXPECT_EQ(TextInParenthesis(c.text), c.inside);
    }
}

TEST(SkillGroups, ANewInstallHasOneGroupAndAddingOneSavesA221ByteFile) {
    const std::string path = TempPath("skillgrp_new.mul");
    std::remove(path.c_str());
    LoadSkillGroups(path);
    SkillGroupTable& g = TheSkillGroupTable();
    EXPECT_EQ(g.count, 1);
    EXPECT_STREQ(g.names[0], "Miscellaneous");
    for (s32 group : g.groupOf)
        EXPECT_EQ(group, 0);
    // The nine start names stand until the skill table is first read.
    EXPECT_EQ(TheClientSkillTable().count, 9);
    EXPECT_STREQ(TheClientSkillTable().names[8], "Alchemy");

    g.count = 2;
    std::snprintf(g.names[1], SkillGroupTable::kNameBytes, "%s", "Crafts");
    g.groupOf[7] = 1;
    g.groupOf[9] = -1;
    ASSERT_TRUE(SaveSkillGroups(path));
    const std::vector<u8> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 221u);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "Crafts");
    EXPECT_EQ(bytes[21 + 4 * 7], 1);         // by skill number
    EXPECT_EQ(bytes[21 + 4 * 9 + 3], 0xFF);  // -1

    // The next run reads it back; group 0 keeps its fixed name.
    std::snprintf(g.names[0], SkillGroupTable::kNameBytes, "%s", "Renamed");
    LoadSkillGroups(path);
    EXPECT_EQ(g.count, 2);
    EXPECT_STREQ(g.names[0], "Miscellaneous");
    EXPECT_STREQ(g.names[1], "Crafts");
    EXPECT_EQ(g.groupOf[7], 1);
    EXPECT_EQ(g.groupOf[9], -1);
    EXPECT_EQ(g.groupOf[8], 0);
}

TEST(SkillGroups, ACountOrGroupNumberTheTableCannotHoldIsKeptInRange) {
    struct Case {
        s32 storedCount;
        int count;
    };
    for (const Case& c : {Case{0, 1}, Case{-3, 1}, Case{12, 12}, Case{13, 12}, Case{1 << 30, 12}}) {
        SCOPED_TRACE(c.storedCount);
        SkillGroupTable t;
        ResetSkillGroups(t);
        std::vector<u8> bytes = {
            static_cast<u8>(c.storedCount), static_cast<u8>(c.storedCount >> 8),
            static_cast<u8>(c.storedCount >> 16), static_cast<u8>(c.storedCount >> 24)};
        bytes.resize(4 + 17 * 11 + 200, 0x41);
        ReadSkillGroupBytes(t, bytes.data(), bytes.size());
        EXPECT_EQ(t.count, c.count);
        for (int g = 0; g < t.count; ++g)
            EXPECT_LT(std::strlen(t.names[g]), 17u);
        for (s32 group : t.groupOf)
            EXPECT_TRUE(group >= -1 && group < t.count) << group;
    }
    // Group numbers by skill: -1 stays, numbers past the count and below -1 read 0.
    SkillGroupTable t;
    ResetSkillGroups(t);
    t.count = 3;
    t.groupOf[0] = 2;
    t.groupOf[1] = -1;
    t.groupOf[2] = 3;
    t.groupOf[3] = -2;
    const std::vector<u8> bytes = SkillGroupFileBytes(t);
    SkillGroupTable back;
    ResetSkillGroups(back);
    ReadSkillGroupBytes(back, bytes.data(), bytes.size());
    EXPECT_EQ(back.groupOf[0], 2);
    EXPECT_EQ(back.groupOf[1], -1);
    EXPECT_EQ(back.groupOf[2], 0);
    EXPECT_EQ(back.groupOf[3], 0);
}

TEST(SkillGroups, AShortFileLeavesWhatItDoesNotHoldAtItsStartValue) {
    SkillGroupTable full;
    ResetSkillGroups(full);
    full.count = 2;
    std::snprintf(full.names[1], SkillGroupTable::kNameBytes, "%s", "Fighting");
    for (s32& g : full.groupOf)
        g = 1;
    const std::vector<u8> bytes = SkillGroupFileBytes(full);
    const std::string path = TempPath("skillgrp_short.mul");
    // Cut inside the group numbers: skills 0-4 read, the rest stay in group 0.
    WriteFile(path, {bytes.begin(), bytes.begin() + 4 + 17 + 4 * 5 + 2});
    LoadSkillGroups(path);
    const SkillGroupTable& g = TheSkillGroupTable();
    EXPECT_EQ(g.count, 2);
    EXPECT_STREQ(g.names[1], "Fighting");
    EXPECT_EQ(g.groupOf[4], 1);
    EXPECT_EQ(g.groupOf[5], 0);
}

TEST(SkillGroups, AFileThatCannotBeWrittenLeavesTheTableAsItIs) {
    LoadSkillGroups(TempPath("no_such_skillgrp.mul"));
    TheSkillGroupTable().count = 2;
    EXPECT_FALSE(SaveSkillGroups(TempPath("no/such/dir/skillgrp.mul")));
    EXPECT_EQ(TheSkillGroupTable().count, 2);
}

}  // namespace
