// Operator, string and list builtins, run as compiled scripts.
#include "script/script_runtime_fixture.h"

namespace {

using ValueBuiltins = ScriptRuntimeTest;

TEST_F(ValueBuiltins, IntegerOperatorsWrapAndGuardDivision) {
    Compile({{"ints", R"(
member list r;
trigger use {
    int big = 2147483647;
    int small = 0 - 2147483647;
    small--;
    append(r, big + 1);
    append(r, small - 1);
    append(r, big * 2);
    append(r, 7 / 0);
    append(r, (0 - 7) / 2);
    append(r, (0 - 7) % 2);
    append(r, 7 % 0);
    append(r, small / -1);
    append(r, small % -1);
    append(r, 2 && 4);
    append(r, 0 || 3);
    append(r, 2 ^ 4);
    append(r, !5);
    append(r, -3 < 2);
    append(r, 5 >= 5);
    append(r, 4 <= 3);
    append(r, 4 != 3);
    return 1;
}
)"}});
    CScriptInstance* in = Instance("ints");
    Fire(in, kTriggerUse, {0});
    EXPECT_EQ(List(in, "r"),
              "-2147483648|2147483647|-2|2147483647|-3|-1|2147483647|-2147483648|0|1|1|6|0|1|1|0|"
              "1");
}

TEST_F(ValueBuiltins, StringBuiltins) {
    Compile({{"strs", R"(
member list words;
member list pieces;
member list lines;
member list lines2;
member list r;
member string joined;
member string sub;
trigger use {
    split(words, "a-b c!  --- !!");
    splitCommaDelimitedString(pieces, " a , b,,c");
    append(r, wordWrap(lines, "aaaa bbbb cccc", 6));
    append(r, wordWrap(lines2, "abcdefghijkl", 5));
    append(r, "Sword" == "sWORD");
    append(r, "Sword" != "sWORD");
    append(r, strtoi("  +12x"));
    append(r, strlen("hello"));
    string s = "abc";
    append(r, strlen(s[7]));
    append(r, s[1]);
    string t = "Mr Smith";
    removePrefix(t, "mr ");
    append(r, t);
    removePrefix(t, "Mr ");
    append(r, t);
    string u = "abc";
    toUpper(u, 5, 9);
    toUpper(u, 2, 99);
    append(r, u);
    joined = "x";
    concat(joined, joined);
    joined = joined + 5;
    loc p = 1, -2, 3;
    joined = joined + p;
    append(r, textSubstitute(sub, "a%sb%dc", "%s", "X"));
    append(r, textSubstitute(sub, sub, "%s", "X"));
    return 1;
}
)"}});
    CScriptInstance* in = Instance("strs");
    Fire(in, kTriggerUse, {0});
    EXPECT_EQ(List(in, "words"), "ab|c");
    EXPECT_EQ(List(in, "pieces"), "a |b|c");
    EXPECT_EQ(List(in, "lines"), "aaaa|bbbb|cccc");
    EXPECT_EQ(List(in, "lines2"), "abcde|fghij|kl");
    EXPECT_EQ(List(in, "r"), "3|3|1|0|12|5|1|b|Mr Smith|Smith|abC|2|0");
    EXPECT_EQ(Str(in, "joined"), "xx51,-2,3");
    EXPECT_EQ(Str(in, "sub"), "aXbXc");
}

TEST_F(ValueBuiltins, ListOperations) {
    Compile({{"lists", R"(
member list a;
member list b;
member list nested;
member list r;
member list sorted;
member list sortedStr;
trigger use {
    append(a, 1);
    append(a, "two");
    prepend(a, 0);
    insert(a, 9, 3);
    insert(a, 8, 1);
    setItem(a, 7, 5);
    setItem(a, 6, 0);
    append(r, numInList(a));
    append(r, isInList(a, "TWO"));
    append(r, isInList(a, 3));
    append(r, getListItemType(a, 2));
    append(r, getListItemType(a, 9));
    b = a;
    append(b, 100);
    append(r, numInList(a));
    removeItem(b, 0);
    removeItem(b, numInList(b));
    removeSpecificItem(b, "TWO");
    concatList(b, b);
    truncateList(b, 3);
    truncateList(b, -1);
    append(r, numInList(b));
    int first = b[0];
    append(r, first);
    sorted = 5, 3, 9, 1;
    sortList(sorted, 1);
    sortedStr = "b", "a", "B", "c";
    sortList(sortedStr, 2);
    clearList(nested);
    append(r, numInList(nested));
    return 1;
}
)"}});
    CScriptInstance* in = Instance("lists");
    Fire(in, kTriggerUse, {0});
    EXPECT_EQ(List(in, "a"), "6|8|1|two|9|7");
    EXPECT_EQ(List(in, "r"), "6|1|0|0|7|6|3|8|0");
    EXPECT_EQ(List(in, "b"), "8|1|9");
    EXPECT_EQ(List(in, "sorted"), "9|5|3|1");
    EXPECT_EQ(List(in, "sortedStr"), "B|a|b|c");
}

// One class per statement, named prefix + its index: its use handler sets l = 1, 2, 3 and
// m = 1, "x", runs the statement and then sets the member marker.
std::vector<std::pair<std::string, std::string>> StatementClasses(
    const std::string& prefix, const std::vector<std::string>& statements) {
    std::vector<std::pair<std::string, std::string>> sources;
    for (size_t k = 0; k < statements.size(); ++k) {
        sources.push_back({prefix + std::to_string(k), R"(
member int marker;
member list l;
member list m;
member list e;
member loc where;
trigger use {
    l = 1, 2, 3;
    m = 1, "x";
    )" + statements[k] + R"(
    marker = 1;
    return 1;
}
)"});
    }
    return sources;
}

// Each row: a statement that must stop the thread; the handler answers 0 and the marker
// after it is never set.
TEST_F(ValueBuiltins, IndexErrorsStopTheThread) {
    const std::vector<std::string> statements = {
        "insert(l, 1, 4);",  "setItem(l, 1, 4);",     "removeItem(l, 4);", "int x = l[3];",
        "string s = l[0];",  "loc p = l[3];",         "sortList(l, 6);",   "sortList(m, 0);",
        "int y = l[0 - 1];", "setItem(l, 1, 0 - 1);",
    };
    Compile(StatementClasses("k", statements));
    for (size_t k = 0; k < statements.size(); ++k) {
        CScriptInstance* in = Instance("k" + std::to_string(k));
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), 0) << statements[k];
        EXPECT_EQ(Int(in, "marker"), 0) << statements[k];
        EXPECT_EQ(List(in, "l"), "1|2|3") << statements[k];
    }
}

// insert and removeItem take a negative index as the front of the list; scripts rely on it.
TEST_F(ValueBuiltins, NegativeIndexesOfInsertAndRemoveItemMeanTheFront) {
    const struct {
        const char* statement;
        const char* l;
        const char* e;
    } rows[] = {
        {"insert(l, 9, 0 - 1);", "9|1|2|3", ""},
        {"insert(l, 9, 0 - 3);", "9|1|2|3", ""},
        {"insert(e, 9, 0 - 1);", "1|2|3", "9"},
        {"removeItem(l, 0 - 1);", "2|3", ""},
        {"removeItem(l, 0 - 2147483647);", "2|3", ""},
        {"removeItem(e, 0 - 1);", "1|2|3", ""},  // nothing to remove
    };
    std::vector<std::string> statements;
    for (const auto& row : rows)
        statements.push_back(row.statement);
    Compile(StatementClasses("n", statements));
    for (size_t k = 0; k < statements.size(); ++k) {
        CScriptInstance* in = Instance("n" + std::to_string(k));
        EXPECT_EQ(Fire(in, kTriggerUse, {0}), 1) << rows[k].statement;
        EXPECT_EQ(Int(in, "marker"), 1) << rows[k].statement;
        EXPECT_EQ(List(in, "l"), rows[k].l) << rows[k].statement;
        EXPECT_EQ(List(in, "e"), rows[k].e) << rows[k].statement;
    }
}

TEST_F(ValueBuiltins, ReadingPastTheEndAsALocationGivesTheUnsetPlace) {
    Compile({{"locs", R"(
member loc where;
member list l;
trigger use {
    where = 5, 5, 5;
    append(l, where);
    where = l[3];
    return 1;
}
trigger lookedat {
    loc a = 10, 20, 0;
    loc b = 10, 20, 5;
    return a == b;
}
)"}});
    CScriptInstance* in = Instance("locs");
    EXPECT_EQ(Fire(in, kTriggerUse, {0}), 0);
    EXPECT_EQ(LocationOf(Member(in, "where")), Location(5, 5, 5));  // the assignment never ran
    EXPECT_EQ(Fire(in, kTriggerLookedAt, {0}), 1);
}

}  // namespace
