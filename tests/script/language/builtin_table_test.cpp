#include "script/language/builtin_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "script/runtime/builtin_call.h"

namespace {

TEST(BuiltinTable, FindBuiltinMatchesNameAndSignature) {
    struct Case {
        const char* name;
        const char* call;
        const char* found;  // the record's signature, or null for no match
    };
    const Case cases[] = {
        {"append", "uls", "vlu"},     // u result fits any; the record's u fits s
        {"oprlist", "ulu", "uli"},    // the first oprlist: u fits i
        {"oprlist", "uss", nullptr},  // ssi needs an int index
        {"oprlist", "usi", "ssi"},   {"assignint", "uii", "vIi"},    // by-reference I fits i
        {"assignint", "vIi", "vIi"}, {"assignint", "iii", nullptr},  // result must be u or equal
        {"TK_IF", "ui", "vi|i"},  // the hidden operand is not written
        {"TK_IF", "uii", nullptr},   {"TK_BREAK", "u", "v|i"},
        {"TK_BREAK", "uv", "v|i"},  // a trailing v after the record's end fits
        {"TK_RETURN", "vo", "vo"},   {"TK_RETURN", "vv", "v"},  // a void function's plain return
        {"TK_RETURN", "ii", "ii"},  // the twentieth record answers the keyword too
        {"strlen", "u*", "is"},     // * accepts whatever follows
        {"strlen", "u", nullptr},   // the call ends first
        {"getObjVar", "uos", "uos"}, {"getObjVar", "sos", "sos"},
        {"oprplus", "uss", "sss"},   {"oprplus", "usc", "ssc"},
        {"oprplus", "uii", "iii"},   {"oprequiv", "ucc", "icc"},
        {"Strlen", "uu", nullptr},  // names are case-sensitive
        {"nosuch", "u", nullptr},
    };
    for (const Case& c : cases) {
        const BuiltinRecord* r = FindBuiltin(c.name, c.call);
        if (!c.found) {
            EXPECT_EQ(r, nullptr) << c.name << " " << c.call;
        } else {
            ASSERT_NE(r, nullptr) << c.name << " " << c.call;
            EXPECT_STREQ(r->signature, c.found) << c.name << " " << c.call;
        }
    }
    EXPECT_EQ(FormatBuiltinNotFound(nullptr, nullptr),
              "Could not find function with name '(null)' and args '(null)'");
}

TEST(BuiltinTable, RecordsAreWellFormed) {
    std::set<std::pair<std::string, std::string>> seen;
    std::set<std::string> names;
    for (const BuiltinRecord& r : BuiltinTable()) {
        ASSERT_TRUE(r.name && r.signature);
        EXPECT_TRUE(seen.insert({r.name, r.signature}).second) << r.name << " " << r.signature;
        names.insert(r.name);
        EXPECT_NE(std::strchr("isqcolvu", r.signature[0]), nullptr) << r.name;
        bool bar = false;
        for (const char* p = r.signature + 1; *p; ++p) {
            if (*p == '|') {
                bar = true;
                continue;
            }
            EXPECT_NE(std::strchr(bar ? "ij" : "isqcoluISQCOL", *p), nullptr) << r.name;
        }
        EXPECT_LE(BuiltinArgCount(r), kMaxBuiltinArgs) << r.name;
    }
    EXPECT_GE(BuiltinTable().size(), 760u);
    EXPECT_GE(names.size(), 730u);
}

}  // namespace
