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
        {"core", "platform", true},        {"platform", "core", false},
        {"server", "core", true},          {"core", "server", false},
        {"server", "client", false},       {"client", "server", false},
        {"client", "script", false},       {"script", "server", true},
        {"server", "server/frame", false}, {"server/frame", "server", true},
        {"app", "client", true},           {"app", "server/frame", true},
        {"movie", "client", true},         {"client", "movie", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layering::MayInclude(c.from, c.to), c.allowed) << c.from << " → " << c.to;
    }
    EXPECT_EQ(layering::LayerOf("server/frame/time_manager.h"), "server/frame");
    EXPECT_EQ(layering::LayerOf("server/world/item.h"), "server");
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
