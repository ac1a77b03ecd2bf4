// Binding handlers to the builtin table's rows: the language's own lists bind cleanly and
// can be bound again; a list with a fault is refused whole, naming every faulty binding.
#include "script/runtime/builtin_binding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "script/builtins/language_builtins.h"

namespace {

const BuiltinRecord& Row(const char* name, const char* signature) {
    for (const BuiltinRecord& r : BuiltinTable())
        if (std::string(r.name) == name && std::string(r.signature) == signature) return r;
    ADD_FAILURE() << name << " " << signature << " has no row";
    return BuiltinTable()[0];
}

void Planted(BuiltinCall&) {}

TEST(BuiltinBinding, TheLanguageBuiltinsBindEachToItsRowAndMayBeBoundAgain) {
    std::string error;
    ASSERT_TRUE(BindLanguageBuiltins(error)) << error;
    EXPECT_EQ(error, "");
    std::set<std::pair<std::string, std::string>> rows;
    for (const BuiltinBinding& b : LanguageBuiltins()) {
        EXPECT_TRUE(rows.insert({b.name, b.signature}).second) << b.name << " " << b.signature;
        EXPECT_EQ(BoundHandler(Row(b.name, b.signature)), b.handler) << b.name;
    }
    // Every control-flow record and the placeholders have their handler.
    for (int i = 0; i < 19; ++i)
        EXPECT_NE(BoundHandler(BuiltinTable()[static_cast<size_t>(i)]), nullptr);
    EXPECT_NE(BoundHandler(*FindBuiltin("oprlist", "uli")), nullptr);
    // Binding again the handlers the rows have changes nothing.
    ASSERT_TRUE(BindLanguageBuiltins(error)) << error;
    EXPECT_EQ(error, "");
}

TEST(BuiltinBinding, AListWithAFaultIsRefusedWholeNamingEachFault) {
    std::string error;
    ASSERT_TRUE(BindLanguageBuiltins(error)) << error;
    const BuiltinHandler strlenHandler = BoundHandler(Row("strlen", "is"));
    ASSERT_EQ(BoundHandler(Row("abs", "ii")), nullptr);  // not built yet
    const BuiltinBinding planted[] = {
        {"getCompileFlag", "ii", Planted},  // fine on its own
        {"nosuchbuiltin", "i", Planted},    // no row of that name
        {"strlen", "ii", Planted},          // a name with no row of that signature
        {"strlen", "is", Planted},          // bound to another handler already
        {"abs", "ii", Planted},             // named twice in one list
        {"abs", "ii", Planted},
        {"isArrayInit", "ii", nullptr},  // no handler
    };
    EXPECT_FALSE(BindBuiltins(planted, error));
    EXPECT_EQ(error,
              "builtin 'nosuchbuiltin' (i) has no row in the builtin table\n"
              "builtin 'strlen' (ii) has no row in the builtin table\n"
              "builtin 'strlen' (is) is bound twice\n"
              "builtin 'abs' (ii) is bound twice\n"
              "builtin 'isArrayInit' (ii) is bound to no handler\n");
    // Nothing of the list was bound.
    EXPECT_EQ(BoundHandler(Row("getCompileFlag", "ii")), nullptr);
    EXPECT_EQ(BoundHandler(Row("abs", "ii")), nullptr);
    EXPECT_EQ(BoundHandler(Row("strlen", "is")), strlenHandler);
}

}  // namespace
