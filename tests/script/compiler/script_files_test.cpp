// The string table and token files read back from the data archive, as the content builder
// packs them, then compiled by the parser.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "core/archive_fixture.h"
#include "script/compiler/script_compiler.h"
#include "script/language/script_parser.h"
#include "script/language/token_file.h"

namespace {

class ScriptFilesTest : public ArchiveTest {
protected:
    void Pack(bool withTable) {
        const auto dir = std::filesystem::path(ZQ_SOURCE_DIR) / "content/scripts";
        std::vector<std::pair<std::string, std::vector<u8>>> members;
        std::string errors;
        ASSERT_TRUE(CompileScriptDirectory(dir.string(), members, errors)) << errors;
        ArchiveBuilder builder;
        for (const auto& [name, bytes] : members) {
            if (name == "sdb.txt") {
                if (!withTable) continue;
            } else {
                classes.push_back(name.substr(0, name.size() - 2));
            }
            ASSERT_TRUE(builder.Add(std::string(kScriptDataDirectory) + name, bytes));
        }
        Open(builder);
    }
    std::vector<std::string> classes;
};

TEST_F(ScriptFilesTest, EveryDemoClassLoadsFromTheArchive) {
    Pack(true);
    ScriptStringTable table;
    std::string error;
    ASSERT_TRUE(table.LoadFromArchive(error)) << error;
    std::map<std::string, std::unique_ptr<CScriptClass>> loaded;
    ParentClassResolver load = [&](const std::string& name,
                                   std::string& why) -> const CScriptClass* {
        if (auto it = loaded.find(name); it != loaded.end()) return it->second.get();
        std::vector<u8> bytes;
        if (!LoadTokenFile(name, bytes, why)) return nullptr;
        EXPECT_EQ(bytes.back(), 0);
        CompileReport report;
        auto cls = CompileScriptClass(bytes.data(), bytes.size(), table, name, load, report);
        EXPECT_TRUE(cls) << report.error;
        const CScriptClass* raw = cls.get();
        loaded[name] = std::move(cls);
        return raw;
    };
    for (const std::string& name : classes) {
        EXPECT_NE(load(name, error), nullptr) << name << ": " << error;
    }
    ASSERT_TRUE(loaded.count("healstone"));
    EXPECT_EQ(loaded["healstone"]->parent, loaded["baseitem"].get());

    std::vector<u8> bytes;
    EXPECT_FALSE(LoadTokenFile("nosuchclass", bytes, error));
    EXPECT_EQ(error, "script class 'nosuchclass': no token file nosuchclass.m");
}

TEST_F(ScriptFilesTest, AMissingStringTableIsReported) {
    Pack(false);
    ScriptStringTable table;
    std::string error;
    EXPECT_FALSE(table.LoadFromArchive(error));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_NE(error.find("sdb.txt"), std::string::npos) << error;
}

// The named-files entry (zqsc FILE.zqs...) gives what the directory gives for the same files,
// and a missing file is reported by name with no members.
TEST(CompileScriptFiles, NamedFilesMatchTheirDirectory) {
    const auto dir = std::filesystem::path(ZQ_SOURCE_DIR) / "content/scripts";
    std::vector<std::pair<std::string, std::vector<u8>>> fromDir, fromFiles;
    std::string errors;
    ASSERT_TRUE(CompileScriptDirectory(dir.string(), fromDir, errors)) << errors;
    std::vector<std::string> files;
    for (const auto& [name, bytes] : fromDir) {
        if (name != "sdb.txt")
            files.push_back((dir / (name.substr(0, name.size() - 2) + ".zqs")).string());
    }
    ASSERT_TRUE(CompileScriptFiles(files, fromFiles, errors)) << errors;
    EXPECT_EQ(fromFiles, fromDir);

    files.push_back((dir / "nosuchclass.zqs").string());
    EXPECT_FALSE(CompileScriptFiles(files, fromFiles, errors));
    EXPECT_TRUE(fromFiles.empty());
    EXPECT_NE(errors.find("nosuchclass.zqs: cannot open"), std::string::npos) << errors;

    // A directory (or a device) named as a source is refused, never read.
    files.back() = dir.string();
    errors.clear();
    EXPECT_FALSE(CompileScriptFiles(files, fromFiles, errors));
    EXPECT_NE(errors.find(dir.string() + ": cannot open ("), std::string::npos) << errors;
}

}  // namespace
