// The skill table: reading skills.txt (header, blocks, limits), the advance curves, usage
// counts and the key names.
#include "server/world/skill_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/log_sink.h"

namespace {

std::string Block(const std::string& name, int capWeight = 10, const char* curve = "0 500 800",
                  const char* flag = "TRUE", const char* script = "skill_script", int version = 0) {
    std::string b;
    b += "Name " + name + "\n";
    b += "Str 10\nDex 20\nInt 30\n";
    b += "W2 1\nW2 2\nW2 3\n";
    b += std::string("Curve ") + curve + "\n";
    b += "Spare 7\nStatPct 40\n";
    b += std::string("Usable ") + flag + "\n";
    b += "Cap " + std::to_string(capWeight) + "\n";
    b += std::string("Script ") + script + "\n";
    if (version >= 1) b += "Extra 99\n";
    return b;
}

struct Capture : LogObserver {
    std::vector<std::string> messages;
    LogObserver* old;
    Capture() { old = GetLogSink().SetObserver(this); }
    ~Capture() override { GetLogSink().SetObserver(old); }
    void OnLogEntry(const LogEntryView& e) override { messages.emplace_back(e.message); }
};

TEST(SkillTable, FileVariants) {
    struct Case {
        const char* what;
        std::string text;
        int count;
        int version;
        int statMiddle;
        int skillMiddle;
    };
    const std::string two = Block("Alchemy") + "--\n" + Block("Anatomy");
    const Case cases[] = {
        {"no header: the first line separates", "--\n" + two, 2, 0, 500, 500},
        {"full header", "version 0\nStatCurve 300\nSkillCurve 700\n--\n" + two, 2, 0, 300, 700},
        {"version 1 reads the extra line",
         "Version 1\nStatCurve 1\nSkillCurve 2\n--\n" + Block("A", 1, "0 500 800", "T", "s", 1) +
             "--\n" + Block("B", 1, "0 500 800", "T", "s", 1),
         2, 1, 1, 2},
        {"version without curves: the second line separates", "version 0\n--\n" + two, 2, 0, 500,
         500},
        {"a short last block is dropped", "--\n" + two + "--\nName Cut\nStr 1\n", 2, 0, 500, 500},
        {"a value line that does not scan stops reading",
         "--\n" + Block("Alchemy") + "--\nName X\nStr ten\n", 1, 0, 500, 500},
        {"empty", "", 0, 0, 500, 500},
        {"header only", "version 2\nStatCurve 9\nSkillCurve 9\n", 0, 2, 9, 9},
        {"CRLF lines",
         "--\r\nName Alchemy\r\nStr 1\r\nDex 1\r\nInt 1\r\nW 1\r\nW 1\r\nW 1\r\n"
         "Curve 0 500 800\r\nS 1\r\nP 1\r\nU T\r\nC 1\r\nScript s\r\n",
         1, 0, 500, 500},
    };
    for (const Case& c : cases) {
        CSkillTable table;
        EXPECT_EQ(table.LoadFromText(c.text), c.count) << c.what;
        EXPECT_EQ(table.GetCount(), c.count) << c.what;
        EXPECT_EQ(table.GetVersion(), c.version) << c.what;
        EXPECT_EQ(table.GetStatCurveMiddle(), c.statMiddle) << c.what;
        EXPECT_EQ(table.GetSkillCurveMiddle(), c.skillMiddle) << c.what;
    }
}

TEST(SkillTable, RecordFields) {
    CSkillTable table;
    ASSERT_EQ(table.LoadFromText("version 1\nStatCurve 1\nSkillCurve 2\n--\n" +
                                 Block("Alchemy and Brewing", 15, "0 500 800", "false", "alch", 1)),
              1);
    const SkillRecord* r = table.GetSkill(0);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->name, "Alchemy and Brewing");
    EXPECT_STREQ(r->script, "alch");
    EXPECT_EQ(r->statWeights[0], 10);
    EXPECT_EQ(r->statWeights[2], 30);
    EXPECT_EQ(r->secondWeights[1], 2);
    EXPECT_EQ(r->spare, 7);
    EXPECT_EQ(r->statPercent, 40);
    EXPECT_EQ(r->directlyUsable, 0);
    EXPECT_EQ(r->capWeight, 15);
    EXPECT_EQ(r->extra, 99);
    EXPECT_FALSE(table.IsDirectlyUsable(0));
    EXPECT_FALSE(table.IsValidSkill(1));
    EXPECT_FALSE(table.IsValidSkill(-1));
    EXPECT_EQ(table.GetSkillName(1), nullptr);
    EXPECT_EQ(table.GetScriptName(-3), nullptr);
}

TEST(SkillTable, LongNamesAndLinesAreCut) {
    const std::string longName(200, 'n');
    const std::string longScript(120, 's');
    CSkillTable table;
    ASSERT_EQ(table.LoadFromText("--\n" + Block(longName, 1, "0 500 800", "T", longScript.c_str())),
              1);
    EXPECT_EQ(std::string(table.GetSkillName(0)), longName.substr(0, 79));
    EXPECT_EQ(std::string(table.GetScriptName(0)), longScript.substr(0, 79));
    // A line longer than 511 characters: its tail is not read as the next line.
    const std::string padded = "Str 10" + std::string(600, ' ') + "999";
    std::string text = "--\nName A\n" + padded +
                       "\nDex 1\nInt 1\nW 1\nW 1\nW 1\nC 0 500 800\n"
                       "S 1\nP 1\nU T\nC 1\nScript s\n";
    ASSERT_EQ(table.LoadFromText(text), 1);
    EXPECT_EQ(table.GetSkill(0)->statWeights[0], 10);
    EXPECT_EQ(table.GetSkill(0)->statWeights[1], 1);
}

TEST(SkillTable, StopsAtFiftyBlocksWithALogLine) {
    std::string text;
    for (int i = 0; i < 52; ++i)
        text += "--\n" + Block("S" + std::to_string(i));
    Capture capture;
    CSkillTable table;
    EXPECT_EQ(table.LoadFromText(text), 50);
    EXPECT_STREQ(table.GetSkillName(49), "S49");
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_NE(capture.messages[0].find("more than 50"), std::string::npos);

    // Exactly 50 blocks is no reason for a log line.
    text.clear();
    for (int i = 0; i < 50; ++i)
        text += "--\n" + Block("S" + std::to_string(i));
    Capture quiet;
    EXPECT_EQ(table.LoadFromText(text), 50);
    EXPECT_TRUE(quiet.messages.empty());
}

TEST(SkillCurveTest, PassesThroughItsThreePoints) {
    struct Case {
        int lo, mid, hi;
    } cases[] = {{0, 500, 800}, {100, 200, 1000}, {1000, 300, 100}, {50, 900, 1000}};
    for (const Case& c : cases) {
        const SkillCurve curve = SkillCurve::FromPoints(c.lo, c.mid, c.hi);
        EXPECT_FALSE(curve.straight);
        EXPECT_NEAR(curve.Value(0), c.lo, 1e-6);
        EXPECT_NEAR(curve.Value(500), c.mid, 1e-6);
        EXPECT_NEAR(curve.Value(1000), c.hi, 1e-6);
    }
}

TEST(SkillCurveTest, DegenerateCurvesBecomeTheStraightLine) {
    struct Case {
        const char* what;
        int lo, mid, hi;
    } cases[] = {
        {"middle at the low end", 100, 100, 900},
        {"middle halfway", 100, 500, 900},
        {"middle outside the ends", 100, 2000, 900},
        {"flat ends", 300, 700, 300},
        {"all equal", 5, 5, 5},
    };
    for (const Case& c : cases) {
        const SkillCurve curve = SkillCurve::FromPoints(c.lo, c.mid, c.hi);
        EXPECT_TRUE(curve.straight) << c.what;
        EXPECT_DOUBLE_EQ(curve.Value(0), c.lo) << c.what;
        EXPECT_DOUBLE_EQ(curve.Value(1000), c.hi) << c.what;
        EXPECT_DOUBLE_EQ(curve.Value(500), (c.lo + c.hi) / 2.0) << c.what;
        EXPECT_TRUE(std::isfinite(curve.Value(250))) << c.what;
    }
}

// A curve of another span passes through its points at 0, span / 2 and span: the murder
// penalty's runs over 20 counts, from 5 through 15 to 18.
TEST(SkillCurveTest, AShorterSpanPassesThroughItsPointsToo) {
    const SkillCurve curve = SkillCurve::FromPoints(5.0, 15.0, 18.0, 20.0);
    EXPECT_FALSE(curve.straight);
    EXPECT_NEAR(curve.Value(0), 5.0, 1e-9);
    EXPECT_NEAR(curve.Value(10), 15.0, 1e-9);
    EXPECT_NEAR(curve.Value(20), 18.0, 1e-9);
    EXPECT_EQ(static_cast<int>(curve.Value(1)), 6);
    const SkillCurve line = SkillCurve::FromPoints(0.0, 10.0, 20.0, 20.0);
    EXPECT_TRUE(line.straight);
    EXPECT_DOUBLE_EQ(line.Value(10), 10.0);
    EXPECT_DOUBLE_EQ(line.Value(20), 20.0);
}

TEST(SkillTable, UsageCountsShiftWhenTheTotalsFill) {
    CSkillTable table;
    ASSERT_EQ(table.LoadFromText("--\n" + Block("A") + "--\n" + Block("B")), 2);
    table.CountUse(0);
    table.CountUse(0);
    table.CountUse(1);
    table.CountUse(7);  // not a skill of the table
    EXPECT_EQ(table.GetUsage(0), 2u);
    EXPECT_EQ(table.GetTotalUsage(), 3u);
    table.SetCurrentUsage(0, 0xFFFF0000u);
    table.SetCurrentUsage(1, 0x0000FFFFu);
    table.CountUse(1);
    EXPECT_EQ(table.GetUsage(0), 0xFFFFu);
    EXPECT_EQ(table.GetUsage(1), 1u);
    EXPECT_EQ(table.GetTotalUsage(), 0x10000u);
    table.ClearUsage();
    EXPECT_EQ(table.GetTotalUsage(), 0u);
}

TEST(SkillTable, KeysAreFoundWithoutRegardToCase) {
    EXPECT_EQ(SkillNumberFromName("alchemy"), 0);
    EXPECT_EQ(SkillNumberFromName("Weapon_Piercing"), 42);
    EXPECT_EQ(SkillNumberFromName("MINING"), 45);
    EXPECT_EQ(SkillNumberFromName("flying"), -1);
    EXPECT_EQ(SkillNumberFromName(nullptr), -1);
    EXPECT_STREQ(SkillKeyFromNumber(27), "FIGHTING");
    EXPECT_EQ(SkillKeyFromNumber(46), nullptr);
}

}  // namespace
