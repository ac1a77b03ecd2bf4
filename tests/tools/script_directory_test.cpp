// The content builder's entry: compiling a whole script directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "script/compiler/script_compiler.h"

namespace {

namespace fs = std::filesystem;

fs::path DemoScripts() {
    return fs::path(ZQ_SOURCE_DIR) / "content/scripts";
}

TEST(CompileScriptDirectory, DemoScriptsCompileToTheSameBytesEveryTime) {
    std::vector<std::pair<std::string, std::vector<u8>>> first, second;
    std::string errors;
    ASSERT_TRUE(CompileScriptDirectory(DemoScripts().string(), first, errors)) << errors;
    ASSERT_TRUE(CompileScriptDirectory(DemoScripts().string(), second, errors)) << errors;
    EXPECT_EQ(first, second);
    ASSERT_GE(first.size(), 5u);
    EXPECT_EQ(first[0].first, "sdb.txt");
    EXPECT_EQ(first[1].first, "5701.m");  // classes in name order, digits first
    for (const auto& [name, bytes] : first)
        EXPECT_FALSE(bytes.empty()) << name;
}

TEST(CompileScriptDirectory, ErrorsNameFileAndLineAndGiveNoMembers) {
    const fs::path dir =
        fs::temp_directory_path() / ("zq_script_dir_test." + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "good.zqs") << "trigger use { return 1; }\n";
    std::ofstream(dir / "bad.zqs") << "trigger use {\n  return x;\n}\n";
    std::ofstream(dir / "notes.txt") << "not a script\n";
    std::vector<std::pair<std::string, std::vector<u8>>> members;
    std::string errors;
    EXPECT_FALSE(CompileScriptDirectory(dir.string(), members, errors));
    EXPECT_TRUE(members.empty());
    EXPECT_NE(errors.find("bad.zqs:2: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("unknown name 'x'"), std::string::npos) << errors;

    errors.clear();
    EXPECT_FALSE(CompileScriptDirectory((dir / "missing").string(), members, errors));
    EXPECT_NE(errors.find("cannot read the script directory"), std::string::npos) << errors;
    fs::remove_all(dir);
}

}  // namespace
