#include "layering/include_layers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

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
        {"script", "server", true},
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
    for (const auto& c : cases) {
        EXPECT_EQ(layering::MayInclude(c.from, c.to), c.allowed) << c.from << " → " << c.to;
    }
    EXPECT_EQ(layering::LayerOf("server/frame/time_manager.h"), "server/frame");
    EXPECT_EQ(layering::LayerOf("server/world/item.h"), "server/world");
    EXPECT_EQ(layering::LayerOf("server/player/player_use.h"), "server/player");
    EXPECT_EQ(layering::LayerOf("server/server_config.h"), "server");
    EXPECT_EQ(layering::LayerOf("server/worldly/x.h"), "server");
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
    EXPECT_EQ(violations[0], "client/app/view.cpp:2: includes \"script/x.h\" (client → script)");
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
