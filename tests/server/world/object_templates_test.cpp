#include "server/world/object_templates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/log_sink.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"

namespace {

// A fresh table per test over texts held in memory.
class TemplateTableTest : public ::testing::Test {
protected:
    void Load(const std::string& templates, const std::string& defines = "",
              const std::string& names = "") {
        table.LoadNamesText(names);
        table.LoadDefinesText(defines);
        table.LoadTemplatesText(templates);
    }
    const ObjectTemplate& T(int n) {
        const ObjectTemplate* t = table.Find(n);
        EXPECT_NE(t, nullptr) << n;
        static ObjectTemplate empty;
        return t ? *t : empty;
    }
    static std::vector<std::pair<std::string, int>> Entries(const CWeightedList<CStr>& list) {
        std::vector<std::pair<std::string, int>> out;
        for (auto pos = list.GetHeadPosition(); pos.IsValid(); pos = list.GetNext(pos))
            out.emplace_back(list.GetAt(pos)->value.CText(), list.GetAt(pos)->weight);
        return out;
    }
    CTemplateTable table;
};

TEST_F(TemplateTableTest, KindsAndTheRunningCreatesCreaturesValue) {
    Load(
        "<1600>\n<type Normal 400>\n<@@@ END @@@>\n"
        "<1601>\n<type item 5>\n<@@@ END @@@>\n"
        "<1602>\n<type item 5>\n<createsnpcs 0>\n<@@@ END @@@>\n"
        "<1603>\n<type thing 5>\n<@@@ END @@@>\n"
        "<1604>\n<type shopkeeper 400>\n<@@@ END @@@>\n");
    EXPECT_EQ(T(1600).kind, TemplateKind::Normal);
    EXPECT_EQ(T(1600).createsCreatures, 1);
    // Not reset between templates: the item after a creature carries its 1.
    EXPECT_EQ(T(1601).kind, TemplateKind::Item);
    EXPECT_EQ(T(1601).createsCreatures, 1);
    EXPECT_EQ(T(1602).createsCreatures, 0);
    EXPECT_EQ(T(1603).kind, TemplateKind::None);
    EXPECT_EQ(table.CreatesCreatures(1602), 0);
    EXPECT_EQ(table.CreatesCreatures(12), 1);  // every number below 1500
    EXPECT_EQ(table.CreatesCreatures(3000), 0);
    EXPECT_EQ(table.IsShopKeeperTemplate(1604), 1);
    EXPECT_EQ(table.IsShopKeeperTemplate(1600), 0);
}

TEST_F(TemplateTableTest, LoadTimeKeys) {
    Load(
        "<7>\n<type normal 400>\n<frequency 12 extra>\n<alignment evil>\n<movetype 3>\n"
        "<fleeval 300>\n<corpsename \"old bones\" x>\n<bogus 1>\n<@@@ END @@@>\n"
        "<8>\n<type normal 400>\n<alignment lawful>\n<@@@ END @@@>\n");
    const ObjectTemplate& t = T(7);
    EXPECT_EQ(t.frequency, 12);
    EXPECT_EQ(t.alignment, 2);
    EXPECT_EQ(t.moveType, 3);
    EXPECT_EQ(t.fleeValue, 300 & 0xFF);
    EXPECT_STREQ(t.corpseName.CText(), "old bones");
    // Every known key is stored, the load-only ones too; the unknown one is dropped.
    ASSERT_EQ(t.entries.size(), 6u);
    EXPECT_EQ(t.entries[0].code, kKeyType);
    EXPECT_EQ(t.entries[3].code, kKeyLoadOnly);
    EXPECT_EQ(T(8).alignment, 0);
}

TEST_F(TemplateTableTest, ListValues) {
    struct Case {
        const char* value;
        std::vector<std::pair<std::string, int>> expected;
    };
    const Case cases[] = {
        {"Forest", {{"forest", 1}}},
        {"{ Forest 3 swamp 1 }", {{"swamp", 1}, {"forest", 3}}},
        {"{ forest 3", {}},
        {"{ forest 3 }", {{"forest", 3}}},
    };
    for (const Case& c : cases) {
        CWeightedList<CStr> list;
        ParseWeightedWords(c.value, list);
        EXPECT_EQ(Entries(list), c.expected) << c.value;
    }
}

TEST_F(TemplateTableTest, DefinesExpandTokenByToken) {
    Load(
        "<1>\n<type normal 400>\n<hp guardhits>\n<realname \"Big Bob\" guardhits>\n"
        "<realname \"Big   Bob\">\n<@@@ END @@@>\n",
        "GuardHits 50 60\nguardhits 1 2\n");
    const ObjectTemplate& t = T(1);
    ASSERT_EQ(t.entries.size(), 4u);
    EXPECT_EQ(t.entries[1].value, "50 60");
    EXPECT_EQ(t.entries[2].value, "Big Bob 50 60");
    // No define used: the value keeps its quotes and its blanks.
    EXPECT_EQ(t.entries[3].value, "\"Big   Bob\"");
}

TEST_F(TemplateTableTest, DescriptionsOnlyOnTheNumberLine) {
    Load(
        "<20>#A town guard<type guard 400>\n<@@@ END @@@>\n"
        "<21>\n#not mine\n<type item 5>\n<@@@ END @@@>\n"
        "<5000>#out of range\n<type item 5>\n<@@@ END @@@>\n");
    EXPECT_STREQ(table.GetDescription(20), "A town guard");
    EXPECT_EQ(table.GetDescription(21), nullptr);
    // The entry after the description on the same line still counts.
    EXPECT_EQ(T(20).kind, TemplateKind::Guard);
    EXPECT_EQ(table.GetDescription(5000), nullptr);
    EXPECT_EQ(TemplateDescription(9), "Template #9");
}

TEST_F(TemplateTableTest, NumbersFromTheTableFile) {
    Load(
        "<3>\n<type item 1>\n<@@@ END @@@>\n"
        "<3>\n<type item 2>\n<@@@ END @@@>\n"
        "<4096>\n<type item 3>\n<@@@ END @@@>\n"
        "<10>\n<type item 4>\n<@@@ END @@@>\n");
    EXPECT_EQ(table.GetTemplateGraphic(3), 1);  // the first of a number stays
    EXPECT_EQ(table.Contains(4096), 1);
    EXPECT_EQ(table.Contains(10), 0);  // reading ends after 4096
}

TEST_F(TemplateTableTest, EntriesPastTheLimitAreSkippedToTheTemplatesEnd) {
    std::string text = "<1>\n<type item 7>\n";
    for (int i = 0; i < 600; ++i)
        text += "<hue " + std::to_string(i) + " 0>\n<9>\n";
    text += "<@@@ END @@@>\n<2>\n<type item 8>\n<@@@ END @@@>\n";
    LogCapture log;
    Load(text);
    EXPECT_EQ(T(1).entries.size(), static_cast<size_t>(kMaxTemplateEntries));
    // Without the skip the stray "<9>" entries would be read as template numbers.
    EXPECT_EQ(table.Contains(9), 0);
    EXPECT_EQ(table.GetTemplateGraphic(2), 8);
    ASSERT_EQ(log.FromSource("templates").size(), 1u);
    EXPECT_NE(log.FromSource("templates")[0].message.find("Template 1 "), std::string::npos);
}

TEST_F(TemplateTableTest, ResourceLines) {
    GetResourceTypes().Clear();
    auto* meat = new CResourceType;
    meat->SetNumber(5);
    meat->SetInternalName("meat");
    GetResourceTypes().Add(meat);
    Load(
        "<1>\n<type normal 400>\n<resource food 10 20 meat>\n<resource snack 1 1 meat>\n"
        "<resource food 1 1 fish>\n<resource Production 3 4 meat>\n<@@@ END @@@>\n");
    const ResourceEntry* r = T(1).resources;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->kind, 3);  // the last line read is at the head
    EXPECT_EQ(r->amounts[0], 3);
    ASSERT_NE(r->next, nullptr);
    EXPECT_EQ(r->next->kind, 0);
    EXPECT_EQ(r->next->type, 5);
    EXPECT_EQ(r->next->amounts[0], 10);
    EXPECT_EQ(r->next->amounts[1], 20);
    EXPECT_EQ(r->next->amounts[2], 10);
    EXPECT_EQ(r->next->next, nullptr);
    table.Unload();
    GetResourceTypes().Clear();
}

TEST_F(TemplateTableTest, TemplateDiceCountsAboveTheLimitAreRefused) {
    LogCapture log;
    EXPECT_EQ(RollTemplateDice("2000000000d6", 77), 0);
    ASSERT_EQ(log.FromSource("templates").size(), 1u);
    EXPECT_NE(log.FromSource("templates")[0].message.find("Template 77"), std::string::npos);
    EXPECT_EQ(RollTemplateDice("1000d1", 77), 1000);
    EXPECT_EQ(RollTemplateDice("5000", 77), 5000);  // a plain number is no dice count
}

TEST_F(TemplateTableTest, NameSets) {
    Load("", "",
         "<3>\n<Male Bob>\n<male   Sir Bob >\n<female Ann>\n<other It>\n<ghost Boo>\n"
         "<@@@ END @@@>\n<4>\n<male Solo>\n<@@@ END @@@>\n<3>\n<male Late>\n<@@@ END @@@>\n");
    const NameSet* set = table.FindNameSet(3);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->male, (std::vector<std::string>{"Bob", "Sir Bob "}));
    EXPECT_EQ(set->female, std::vector<std::string>{"Ann"});
    EXPECT_EQ(set->other, std::vector<std::string>{"It"});
    EXPECT_EQ(table.DrawName(4, 1), "error");  // only male names
    EXPECT_EQ(table.DrawName(3, 2), "It");
    EXPECT_EQ(table.DrawName(3, 3), "error");
    EXPECT_EQ(table.DrawName(7, 0), "error");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table.DrawName(4, 0), "Solo");
}

}  // namespace
