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
    EXPECT_EQ(violations[0],
              "client/app/view.cpp:2: includes \"script/x.h\" (client/app → script)");
    EXPECT_EQ(violations[1], "core/log.h:4: includes \"server/world/item.h\" (core → server)");
    fs::remove_all(root);
}

// The client's own floors: data, render < world < net < gumps < app, with movie/ above them.
TEST(IncludeLayers, TheClientFloorsKeepTheirOrder) {
    struct Case {
        const char* from;
        const char* to;
        bool allowed;
    };
    const Case cases[] = {
        {"client/render", "client/data", true},
        {"client/data", "client/render", false},
        {"client/world", "client/render", true},
        {"client/render", "client/world", false},
        {"client/net", "client/world", true},
        {"client/world", "client/net", false},
        {"client/gumps", "client/net", true},
        {"client/net", "client/gumps", false},
        {"client/app", "client/gumps", true},
        {"client/gumps", "client/app", false},
        {"client/data", "client/app", false},
        {"movie", "client/app", true},
        {"app", "client/app", true},
        {"client/app", "movie", false},
        {"client/app", "server", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layering::MayInclude(c.from, c.to), c.allowed) << c.from << " → " << c.to;
    }
    EXPECT_EQ(layering::LayerOf("client/gumps/framework/gump.h"), "client/gumps");
    EXPECT_EQ(layering::LayerOf("client/world/world_draw.h"), "client/world");
    EXPECT_EQ(layering::LayerOf("client/data/fonts.h"), "client/data");
}

// One planted include against each floor of the client: each is named by file and line, the
// includes down the floors pass.
TEST(IncludeLayers, APlantedUpwardIncludeInsideTheClientIsNamed) {
    const fs::path root = fs::path(std::getenv("TEST_TMPDIR") ? std::getenv("TEST_TMPDIR")
                                                              : fs::temp_directory_path().c_str()) /
                          "layering_client_fixture";
    fs::remove_all(root);
    const auto write = [&](const std::string& path, const std::string& text) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path) << text;
    };
    write("client/data/fonts.cpp",
          "#include \"client/data/fonts.h\"\n#include \"client/render/span_blit.h\"\n");
    write("client/render/span_blit.cpp",
          "#include \"client/data/pixel_format.h\"\n#include \"client/world/cell_grid.h\"\n");
    write("client/world/walk_queue.cpp",
          "#include \"client/render/dirty_rects.h\"\n#include \"client/net/client_link.h\"\n");
    write("client/net/client_link.cpp",
          "#include \"client/world/walk_queue.h\"\n#include \"client/gumps/frontend/x.h\"\n");
    write("client/gumps/framework/gump.cpp",
          "#include \"client/net/client_link.h\"\n#include \"client/app/client_app.h\"\n");
    write("client/app/client_main.cpp", "#include \"client/gumps/framework/gump.h\"\n");
    write("movie/intro_movie.cpp", "#include \"client/app/client_app.h\"\n");

    const auto violations = FindLayerViolations(root);
    const std::vector<std::string> want = {
        "client/data/fonts.cpp:2: includes \"client/render/span_blit.h\" (client/data → "
        "client/render)",
        "client/gumps/framework/gump.cpp:2: includes \"client/app/client_app.h\" (client/gumps → "
        "client/app)",
        "client/net/client_link.cpp:2: includes \"client/gumps/frontend/x.h\" (client/net → "
        "client/gumps)",
        "client/render/span_blit.cpp:2: includes \"client/world/cell_grid.h\" (client/render → "
        "client/world)",
        "client/world/walk_queue.cpp:2: includes \"client/net/client_link.h\" (client/world → "
        "client/net)",
    };
    EXPECT_EQ(violations, want);
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
