#include "layering/include_layers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using layering::FindLayerViolations;

TEST(IncludeLayers, TheSourceTreeKeepsItsLayers) {
    const auto violations = FindLayerViolations(ZQ_SOURCE_DIR);
    std::string listed;
    for (const auto& v : violations)
        listed += v + "\n";
    EXPECT_TRUE(violations.empty()) << listed;
}

TEST(IncludeLayers, EdgesOfTheRule) {
    struct Case {
        const char* from;
        const char* to;
        bool allowed;
    };
    const Case cases[] = {
        {"core", "platform", true},        {"platform", "core", false},
        {"server", "core", true},          {"core", "server", false},
        {"server", "client", false},       {"client", "server", false},
        {"client", "script", false},       {"script", "server", false},
        {"server", "server/frame", false}, {"server/frame", "server", true},
        {"app", "client", true},           {"app", "server/frame", true},
        {"movie", "client", true},         {"client", "movie", false},
    };
    // The script language: a library below the server, layered inside.
    const Case scriptCases[] = {
        {"server", "script/runtime", true},
        {"server", "script/builtins", true},
        {"server/frame", "script/language", true},
        {"app", "script/compiler", true},
        {"script/language", "script/compiler", false},
        {"script/language", "script/runtime", false},
        {"script/language", "core", true},
        {"script/compiler", "script/language", true},
        {"script/compiler", "script/runtime", false},
        {"script/compiler", "script/builtins", false},
        {"script/runtime", "script/language", true},
        {"script/runtime", "script/compiler", false},
        {"script/runtime", "script/builtins", false},
        {"script/builtins", "script/runtime", true},
        {"script/builtins", "script/language", true},
        {"script/builtins", "script/compiler", false},
        {"script/builtins", "server", false},
        {"script/runtime", "server", false},
        {"script/language", "server/frame", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layering::MayInclude(c.from, c.to), c.allowed) << c.from << " → " << c.to;
    }
    for (const auto& c : scriptCases) {
        EXPECT_EQ(layering::MayInclude(c.from, c.to), c.allowed) << c.from << " → " << c.to;
    }
    EXPECT_EQ(layering::LayerOf("server/frame/time_manager.h"), "server/frame");
    EXPECT_EQ(layering::LayerOf("server/world/item.h"), "server");
    EXPECT_EQ(layering::LayerOf("script/language/token_codes.h"), "script/language");
    EXPECT_EQ(layering::LayerOf("script/builtins/builtin_lists.cpp"), "script/builtins");
    EXPECT_EQ(layering::LayerOf("tools/zqsc/main.cpp"), "");
}

// A small tree with one planted upward include, one across the halves and one from the
// file's own folder: the checker names each by file and line and passes the rest.
TEST(IncludeLayers, APlantedUpwardIncludeIsNamedByFileAndLine) {
    const fs::path root = fs::path(std::getenv("TEST_TMPDIR") ? std::getenv("TEST_TMPDIR")
                                                              : fs::temp_directory_path().c_str()) /
                          "layering_fixture";
    fs::remove_all(root);
    const auto write = [&](const std::string& path, const std::string& text) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path) << text;
    };
    write("platform/clock.h", "#pragma once\n#include <cstdint>\n#include \"platform/types.h\"\n");
    write("platform/types.h", "#pragma once\n");
    write("core/log.h",
          "#pragma once\n#include \"platform/clock.h\"\n// a comment\n"
          "#include \"server/world/item.h\"\n");
    write("client/app/view.cpp", "#include \"client/app/view.h\"\n#include \"script/x.h\"\n");
    write("server/world/item.h", "#pragma once\n#include \"sibling.h\"\n");
    write("server/world/sibling.h", "#pragma once\n#include \"core/log.h\"\n");
    write("tools/builder/main.cpp", "#include \"server/world/item.h\"\n#include \"client/x.h\"\n");

    const auto violations = FindLayerViolations(root);
    ASSERT_EQ(violations.size(), 2u);
    EXPECT_EQ(violations[0], "client/app/view.cpp:2: includes \"script/x.h\" (client → script)");
    EXPECT_EQ(violations[1], "core/log.h:4: includes \"server/world/item.h\" (core → server)");
    fs::remove_all(root);
}

// The script language's folders, one planted include against each of its rules: the
// language at the bottom, the compiler and the runtime never including each other, the
// builtins above the runtime, and nothing of the script including the server. The allowed
// includes beside them pass.
TEST(IncludeLayers, PlantedScriptIncludesAgainstTheLanguageLayersAreNamed) {
    const fs::path root = fs::path(std::getenv("TEST_TMPDIR") ? std::getenv("TEST_TMPDIR")
                                                              : fs::temp_directory_path().c_str()) /
                          "layering_script_fixture";
    fs::remove_all(root);
    const auto write = [&](const std::string& path, const std::string& text) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path) << text;
    };
    write("script/language/tokens.h",
          "#pragma once\n#include \"core/text.h\"\n#include \"script/compiler/compiler.h\"\n");
    write("script/compiler/compiler.cpp",
          "#include \"script/language/tokens.h\"\n#include \"script/runtime/thread.h\"\n"
          "#include \"script/builtins/lists.h\"\n");
    write("script/runtime/thread.cpp",
          "#include \"script/language/tokens.h\"\n#include \"script/compiler/compiler.h\"\n"
          "#include \"script/builtins/lists.h\"\n");
    write("script/builtins/lists.cpp",
          "#include \"script/runtime/thread.h\"\n#include \"script/language/tokens.h\"\n"
          "#include \"server/area/regions.h\"\n");
    write("server/script_api/regions.cpp",
          "#include \"script/builtins/lists.h\"\n#include \"server/area/regions.h\"\n");

    const auto violations = FindLayerViolations(root);
    const std::vector<std::string> expected = {
        "script/builtins/lists.cpp:3: includes \"server/area/regions.h\" (script/builtins → "
        "server)",
        "script/compiler/compiler.cpp:2: includes \"script/runtime/thread.h\" (script/compiler → "
        "script/runtime)",
        "script/compiler/compiler.cpp:3: includes \"script/builtins/lists.h\" (script/compiler → "
        "script/builtins)",
        "script/language/tokens.h:3: includes \"script/compiler/compiler.h\" (script/language → "
        "script/compiler)",
        "script/runtime/thread.cpp:2: includes \"script/compiler/compiler.h\" (script/runtime → "
        "script/compiler)",
        "script/runtime/thread.cpp:3: includes \"script/builtins/lists.h\" (script/runtime → "
        "script/builtins)",
    };
    EXPECT_EQ(violations, expected);
    fs::remove_all(root);
}
