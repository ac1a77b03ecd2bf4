#include "server/server_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

using Members = std::vector<std::pair<std::string, std::string>>;

// An archive file on disk built from members (path, text), removed at the end.
class ArchiveFile {
public:
    explicit ArchiveFile(const Members& members) {
        char pattern[] = "/tmp/zq-config-XXXXXX";
        int fd = mkstemp(pattern);
        close(fd);
        path_ = pattern;
        ArchiveBuilder builder;
        for (const auto& [name, text] : members) {
            EXPECT_TRUE(builder.Add(name, std::string_view(text))) << builder.Error();
        }
        EXPECT_TRUE(builder.Write(path_)) << builder.Error();
    }
    ~ArchiveFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

const std::string kDemoPath = "../.rundir/ZQGoldDemo/server.txt";

// The configuration read from a server.txt holding `text`.
struct Read {
    bool read;
    std::string error;
};
Read ReadFrom(const std::string& text, ServerConfig& config) {
    ArchiveFile archive(Members{{kDemoPath, text}});
    EXPECT_TRUE(InitDataArchive(archive.Path().c_str())) << DataArchiveError();
    Read r;
    r.read = ReadServerConfig(config, &r.error);
    ShutdownDataArchive();
    return r;
}

TEST(ServerConfig, EntriesEndMarkerAndDefaults) {
    unsetenv("SERVERNAME");
    struct Case {
        const char* text;
        void (*check)(const ServerConfig&);
    };
    const std::string longOwner = "<owner " + std::string(2000, 'o') + "> <id 3>";
    const Case cases[] = {
        {"no entries at all, only a comment",
         [](const ServerConfig& c) {
             EXPECT_EQ(c.serverName, "ZQGoldDemo");
             EXPECT_EQ(c.owner, "Default Owner");
             EXPECT_EQ(c.port, 12346);
             EXPECT_EQ(c.width, 1024);
             EXPECT_EQ(c.height, 1024);
             EXPECT_EQ(c.x, 0);
             EXPECT_EQ(c.y, 0);
             EXPECT_EQ(c.id, 0);
             EXPECT_EQ(c.templates + c.statics + c.multis, 0);
             EXPECT_EQ(g_spawnClient, 1);
             EXPECT_EQ(g_startX, 0);
         }},
        {"<width 2048> <height 2048> <@@@ end @@@> <width 4096>",
         [](const ServerConfig& c) {
             EXPECT_EQ(c.width, 2048);
             EXPECT_EQ(c.height, 2048);
         }},
        {"<templates write> <statics read> <multis> <ART Wide> <Hues w>",
         [](const ServerConfig& c) {
             EXPECT_EQ(c.templates, 1);
             EXPECT_EQ(c.statics, 0);
             EXPECT_EQ(c.multis, 0);  // an entry with the key only
             EXPECT_EQ(c.art, 1);     // keys ignore case
             EXPECT_EQ(c.hues, 1);
         }},
        {"<spawnclient 0> <startx 70000> <starty -1>",
         [](const ServerConfig&) {
             EXPECT_EQ(g_spawnClient, 0);
             EXPECT_EQ(g_startX, static_cast<s16>(70000 & 0xFFFF));  // kept to 16 bits
             EXPECT_EQ(g_startY, -1);
         }},
        {"<owner   The Owner\tName> <port abc> <id 12abc> <port 99999999999> <y -5>",
         [](const ServerConfig& c) {
             EXPECT_EQ(c.owner, "The Owner\tName");  // white space after the key skipped
             EXPECT_EQ(c.id, 12);                    // leading digits
             EXPECT_EQ(c.port, INT_MAX);             // held to an int, never overflowing
             EXPECT_EQ(c.y, -5);
         }},
        {"<port abc>", [](const ServerConfig& c) { EXPECT_EQ(c.port, 0); }},  // malformed: 0
        {"text <unknown 5> between <id 1> entries <id 2>",
         [](const ServerConfig& c) { EXPECT_EQ(c.id, 2); }},  // the last one wins
        {"<id 7> <port 99",
         [](const ServerConfig& c) {
             EXPECT_EQ(c.id, 7);
             EXPECT_EQ(c.port, 12346);  // an entry cut off by the end of the data
         }},
        {longOwner.c_str(),
         [](const ServerConfig& c) {
             EXPECT_EQ(c.owner, std::string(127, 'o'));  // entry cut at 1023, name at 127
             EXPECT_EQ(c.id, 3);                         // the rest of the long entry was skipped
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        ServerConfig config;
        Read r = ReadFrom(k.text, config);
        ASSERT_TRUE(r.read) << r.error;
        k.check(config);
    }
    g_spawnClient = 1;
}

TEST(ServerConfig, AWorldAreaBeyondTheCoordinatesIsRefusedNamingTheLines) {
    unsetenv("SERVERNAME");
    struct Case {
        const char* text;
        const char* named;  // empty: accepted
    };
    const Case cases[] = {
        // Each tile must have coordinates a Location holds: -32768 to 32767.
        {"<x 31744> <width 1024>", ""},  // the last column is 32767
        {"<x -32768>\n<y -5>", ""},
        {"<x 31745> <width 1024>", "line 1: the world corner x 31745 and width 1024 reach 32768"},
        {"\n<width 1024>\n<x 32000>", "lines 2 and 3: the world corner x 32000 and width 1024"},
        {"<x 99999999999>", "line 1: the world corner x 2147483647 is outside"},
        {"\n\n<y 2147483600>", "line 3: the world corner y 2147483600 is outside"},
        {"<height 2147483647>", "line 1: the world corner y 0 and height 2147483647"},
        {"<x -40000>", "line 1: the world corner x -40000 is outside"},
        {"<y 1>\n<height 100>\n<height 32768>", "lines 1 and 3: the world corner y 1 and height"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ServerConfig config;
        Read r = ReadFrom(c.text, config);
        if (*c.named == '\0') {
            EXPECT_TRUE(r.read) << r.error;
            continue;
        }
        EXPECT_FALSE(r.read);
        EXPECT_EQ(r.error.rfind(kDemoPath + " ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.named), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("-32768 to 32767"), std::string::npos) << r.error;
    }
}

// What the file holds that is not taken as written is noted, naming the file and the line;
// the values stay what they always were (0 for a number that is none, an unknown name
// ignored).
TEST(ServerConfig, EntriesNotTakenAsWrittenAreNotedByLine) {
    unsetenv("SERVERNAME");
    struct Case {
        const char* text;
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"<width 2048>\n<owner Someone>\n<templates W>", {}},
        {"<port abc>", {kDemoPath + " line 1: <port abc> holds no number; 0 is used"}},
        {"<owner x>\n\n<colour blue> <startx>",
         {kDemoPath + " line 3: <colour> is no setting; ignored",
          kDemoPath + " line 3: <startx> holds no number; 0 is used"}},
        {"\x7f\x45\x4c\x46 nothing in brackets",
         {kDemoPath + " holds no <name value> entries; every setting is its default"}},
    };
    for (const Case& c : cases) {
        ServerConfig config;
        const Read r = ReadFrom(c.text, config);
        ASSERT_TRUE(r.read) << r.error;
        EXPECT_EQ(config.notes, c.notes) << c.text;
    }
}

TEST(ServerConfig, WorldNameFromTheEnvironmentNamesEveryPath) {
    setenv("SERVERNAME", "X", 1);
    ArchiveFile archive(Members{{"../.rundir/X/Server.TXT", "<width 512>"}});
    ASSERT_TRUE(InitDataArchive(archive.Path().c_str()));
    ServerConfig config;
    std::string error;
    EXPECT_TRUE(ReadServerConfig(config, &error)) << error;
    ShutdownDataArchive();
    unsetenv("SERVERNAME");
    EXPECT_EQ(config.serverName, "X");
    EXPECT_EQ(config.width, 512);
    EXPECT_EQ(config.worldFilePaths[0], "../.rundir/X/map0.mul");
    EXPECT_EQ(config.worldFilePaths[11], "../.rundir/X/regions.txt");
}

TEST(ServerConfig, StartNeedsTheArchiveAndTheWorldsFile) {
    unsetenv("SERVERNAME");
    {
        ServerConfig config;
        std::string error;
        EXPECT_FALSE(config.Start("/nonexistent/zqdemo.dat", &error));
        EXPECT_NE(error.find("zqdemo.dat"), std::string::npos) << error;
    }
    {
        ArchiveFile archive(Members{{"../.rundir/otherworld/server.txt", "<id 1>"}});
        ServerConfig config;
        std::string error;
        EXPECT_FALSE(config.Start(archive.Path().c_str(), &error));
        EXPECT_NE(error.find(kDemoPath), std::string::npos) << error;
        EXPECT_EQ(GetDataArchive(), nullptr);  // a failed start leaves no archive open
    }
}

TEST(ServerConfig, StartSeedsTheGeneratorFromTheClock) {
    unsetenv("SERVERNAME");
    platform::ManualClock clock(123456);
    std::vector<int> expected;
    platform::SeedRandom(123456);
    for (int i = 0; i < 8; ++i)
        expected.push_back(platform::Rand());
    platform::SeedRandom(1);

    ArchiveFile archive(Members{{kDemoPath, "<spawnclient 0>"}});
    ServerConfig config;
    std::string error;
    ASSERT_TRUE(config.Start(archive.Path().c_str(), &error)) << error;
    std::vector<int> drawn;
    for (int i = 0; i < 8; ++i)
        drawn.push_back(platform::Rand());
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(g_spawnClient, 0);
    EXPECT_NE(GetDataArchive(), nullptr);
    config.Stop();
    EXPECT_EQ(GetDataArchive(), nullptr);
    g_spawnClient = 1;
}

TEST(ReadArchiveLine, LinesWithoutCarriageReturnsUpToTheEndOfTheData) {
    const std::string longLine(300, 'x');
    struct Case {
        std::string data;
        std::vector<std::string> lines;
    } cases[] = {
        {"abc\r\ndef\nlast", {"abc", "def", "last"}},
        {"\n\n", {"", ""}},
        {"", {}},
        {"x\r", {"x"}},
        {"a\rb\n", {"ab"}},
        {longLine + "\nnext\n", {std::string(255, 'x'), "next"}},
    };
    for (const Case& c : cases) {
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        std::fwrite(c.data.data(), 1, c.data.size(), file);
        std::rewind(file);
        std::vector<std::string> lines;
        while (const char* line = ReadArchiveLine(file)) {
            lines.push_back(line);
            ASSERT_LE(lines.size(), 10u) << "the end of the data must end the reading";
        }
        EXPECT_EQ(lines, c.lines) << c.data.substr(0, 20);
        std::fclose(file);
    }
}

TEST(ServerConfig, ReportsOfTheEditingCodeAreAccepted) {
    ServerConfig::Report("Outdated form of editing.");
    ServerConfig::Report(nullptr);
}

}  // namespace
