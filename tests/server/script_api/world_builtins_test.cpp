// The world builtins bind beside the language's own: together they name every row they bind
// once, each names a row of the table, and the server's start-up binds them all.
#include "server/script_api/world_builtins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/builtins/language_builtins.h"
#include "tests/server/server_services_scope.h"

namespace {

TEST(WorldBuiltins, TheLanguageAndWorldListsTogetherBindEveryRowOnce) {
    std::vector<BuiltinBinding> all = LanguageBuiltins();
    const std::vector<BuiltinBinding> world = WorldBuiltins();
    all.insert(all.end(), world.begin(), world.end());
    // One list: a row named by both sides, or twice by one, is a fault.
    std::string error;
    EXPECT_TRUE(BindBuiltins(all, error)) << error;
    EXPECT_EQ(error, "");
}

TEST(WorldBuiltins, TheServersStartUpBindsTheWorldBuiltins) {
    const ServerServicesScope services;
    int bound = 0;
    for (const BuiltinBinding& b : WorldBuiltins()) {
        for (const BuiltinRecord& row : BuiltinTable()) {
            if (std::string(row.name) != b.name || std::string(row.signature) != b.signature)
                continue;
            EXPECT_EQ(BoundHandler(row), b.handler) << b.name << " " << b.signature;
            ++bound;
        }
    }
    EXPECT_EQ(bound, static_cast<int>(WorldBuiltins().size()));
    EXPECT_NE(BoundHandler(*FindBuiltin("getObjVar", "ios")), nullptr);
    EXPECT_NE(BoundHandler(*FindBuiltin("strlen", "is")), nullptr);
}

}  // namespace
