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
        {"core", "platform", true},
        {"platform", "core", false},
        {"server", "core", true},
        {"core", "server", false},
        {"server", "client", false},
        {"client", "server", false},
        {"client", "script", false},
        {"script", "server", false},
        {"server", "server/frame", false},
        {"server/frame", "server", true},
        {"app", "client", true},
        {"app", "server/frame", true},
        {"movie", "client", true},
        {"client", "movie", false},
        // Inside the server: world < area < rules < net < player < script_api, admin; the
        // frame above them all.
        {"server/world", "server/net", false},
        {"server/world", "server/area", false},
        {"server/world", "server/player", false},
        {"server/world", "server", true},
        {"server/world", "script", true},
        {"server/area", "server/world", true},
        {"server/area", "server/rules", false},
        {"server/rules", "server/area", true},
        {"server/rules", "server/net", false},
        {"server/net", "server/world", true},
        {"server/net", "server/player", false},
        {"server/player", "server/net", true},
        {"server/player", "server/world", true},
        {"server/player", "server/script_api", false},
        {"server/player", "server/admin", false},
        {"server/script_api", "server/player", true},
        {"server/admin", "server/net", true},
        {"server/script_api", "server/frame", false},
        {"server/frame", "server/script_api", true},
        {"server/frame", "server/world", true},
        {"server", "server/world", false},
        {"app", "server/player", true},
        {"client", "server/world", false},
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
    EXPECT_EQ(layering::LayerOf("server/world/item.h"), "server/world");
    EXPECT_EQ(layering::LayerOf("server/player/player_use.h"), "server/player");
    EXPECT_EQ(layering::LayerOf("server/server_config.h"), "server");
    EXPECT_EQ(layering::LayerOf("server/worldly/x.h"), "server");
    EXPECT_EQ(layering::LayerOf("script/language/token_codes.h"), "script/language");
    EXPECT_EQ(layering::LayerOf("script/builtins/builtin_lists.cpp"), "script/builtins");
    EXPECT_EQ(layering::LayerOf("tools/zqsc/main.cpp"), "");
}

namespace {

// A fixture tree under the test's scratch folder, written file by file.
class FixtureTree {
public:
    explicit FixtureTree(const char* name)
        : root_(fs::path(std::getenv("TEST_TMPDIR") ? std::getenv("TEST_TMPDIR")
                                                    : fs::temp_directory_path().c_str()) /
                name) {
        fs::remove_all(root_);
    }
    ~FixtureTree() { fs::remove_all(root_); }
    void Write(const std::string& path, const std::string& text) const {
        fs::create_directories((root_ / path).parent_path());
        std::ofstream(root_ / path) << text;
    }
    const fs::path& Root() const { return root_; }

private:
    fs::path root_;
};

}  // namespace

// A small tree with one planted upward include, one across the halves and one from the
// file's own folder: the checker names each by file and line and passes the rest.
TEST(IncludeLayers, APlantedUpwardIncludeIsNamedByFileAndLine) {
    const FixtureTree tree("layering_fixture");
    const fs::path& root = tree.Root();
    const auto write = [&](const std::string& path, const std::string& text) {
        tree.Write(path, text);
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
    EXPECT_EQ(violations[0], "client/app/view.cpp:2: includes \"script/x.h\" (client/app → script)");
    EXPECT_EQ(violations[1],
              "core/log.h:4: includes \"server/world/item.h\" (core → server/world)");
}

// One planted violation of each rule inside the server, among includes the rule allows
// (downward ones, one named from the file's own folder): each is named, nothing else is.
TEST(IncludeLayers, TheServerSubfoldersKeepTheirOrder) {
    const FixtureTree tree("layering_server_fixture");
    tree.Write("server/server_config.cpp", "#include \"server/world/item.h\"\n");
    tree.Write("server/world/item.h", "#pragma once\n#include \"server/server_config.h\"\n");
    tree.Write("server/world/item.cpp",
               "#include \"item.h\"\n#include \"server/net/socket.h\"\n"
               "#include \"server/area/regions.h\"\n");
    tree.Write("server/area/regions.cpp",
               "#include \"server/world/item.h\"\n#include \"server/rules/combat.h\"\n");
    tree.Write("server/rules/combat.cpp",
               "#include \"server/area/regions.h\"\n#include \"server/net/speech.h\"\n");
    tree.Write("server/net/socket.cpp",
               "#include \"server/world/player.h\"\n#include \"server/player/player_use.h\"\n"
               "#include \"server/frame/time_manager.h\"\n");
    tree.Write("server/player/player_use.cpp",
               "#include \"server/net/socket.h\"\n#include \"server/world/item.h\"\n"
               "#include \"server/script_api/objvars.h\"\n#include \"server/admin/editor.h\"\n");
    tree.Write("server/script_api/objvars.cpp", "#include \"server/player/player_use.h\"\n");
    tree.Write("server/admin/editor.cpp", "#include \"server/net/socket.h\"\n");
    tree.Write("server/frame/main_loop.cpp",
               "#include \"server/admin/editor.h\"\n#include \"server/script_api/objvars.h\"\n");

    const auto violations = FindLayerViolations(tree.Root());
    const std::vector<std::string> expected = {
        "server/area/regions.cpp:2: includes \"server/rules/combat.h\" (server/area → "
        "server/rules)",
        "server/net/socket.cpp:2: includes \"server/player/player_use.h\" (server/net → "
        "server/player)",
        "server/net/socket.cpp:3: includes \"server/frame/time_manager.h\" (server/net → "
        "server/frame)",
        "server/player/player_use.cpp:3: includes \"server/script_api/objvars.h\" "
        "(server/player → server/script_api)",
        "server/player/player_use.cpp:4: includes \"server/admin/editor.h\" (server/player → "
        "server/admin)",
        "server/rules/combat.cpp:2: includes \"server/net/speech.h\" (server/rules → "
        "server/net)",
        "server/server_config.cpp:1: includes \"server/world/item.h\" (server → server/world)",
        "server/world/item.cpp:2: includes \"server/net/socket.h\" (server/world → server/net)",
        "server/world/item.cpp:3: includes \"server/area/regions.h\" (server/world → "
        "server/area)",
    };
    EXPECT_EQ(violations, expected);
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
        "server/area)",
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
