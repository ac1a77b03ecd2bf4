// The real executable as a user starts it: from a directory holding the data archive.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "e2e/process_runner.h"

namespace {

const std::string kInitializing = "Varnok Online Demo - Status: Initializing...";
const std::string kExiting = "Varnok Online Demo - Status: Exiting...";
const std::string kRunning = "Varnok Online Demo - Status: Running. To quit, ";

std::string Program() {
    return e2e::RunDir() + "/zqdemo";
}
std::string Archive() {
    return e2e::RunDir() + "/zqdemo.dat";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class ServerRunsUntilSignal : public ::testing::TestWithParam<int> {};

TEST_P(ServerRunsUntilSignal, PrintsProgressRunsAndExitsZeroAfterItsShutdown) {
    e2e::TempDir dir;
    dir.CopyIn(Archive(), "zqdemo.dat");
    dir.LinkClientInstall();
    e2e::ChildProcess server(Program(), dir.Path());
    ASSERT_TRUE(server.Started());
    // The status is shown after the signal handlers are in place.
    ASSERT_TRUE(server.WaitForStderr(kInitializing, 20000)) << server.Stderr();
    // Once started, the status says that the game runs and how to end it.
    ASSERT_TRUE(server.WaitForStderr(kRunning, 20000)) << server.Stderr();
    // It keeps running: one more second, several world ticks.
    EXPECT_EQ(server.WaitForExit(1000), -1) << server.Stderr();
    ASSERT_TRUE(server.Running());
    server.Signal(GetParam());
    EXPECT_EQ(server.WaitForExit(10000), 0) << server.Stderr();
    EXPECT_NE(server.Stderr().find(kExiting), std::string::npos) << server.Stderr();
    EXPECT_LT(server.Stderr().find(kInitializing), server.Stderr().find(kExiting));
}

INSTANTIATE_TEST_SUITE_P(SigintAndSigterm, ServerRunsUntilSignal,
                         ::testing::Values(SIGINT, SIGTERM));

struct BadStart {
    const char* name;
    // What the directory's zqdemo.dat holds; null: no archive at all.
    std::string (*archive)();
    std::vector<std::string> env;
    const char* mentioned;  // the message names this
    // The message names the archive by its full path in the working directory.
    bool namesFullPath = true;
};

void PrintTo(const BadStart& c, std::ostream* os) {
    *os << c.name;
}

class BadStartTest : public ::testing::TestWithParam<BadStart> {};

TEST_P(BadStartTest, EndsWithOneClearLineAndExitCodeOne) {
    const BadStart& c = GetParam();
    e2e::TempDir dir;
    if (c.archive) dir.Write("zqdemo.dat", c.archive());
    e2e::ChildProcess server(Program(), dir.Path(), c.env);
    ASSERT_TRUE(server.Started());
    EXPECT_EQ(server.WaitForExit(20000), 1) << server.Stderr();
    const std::string& err = server.Stderr();
    EXPECT_EQ(CountLines(err), 1) << err;
    EXPECT_EQ(err.rfind("zqdemo: ", 0), 0u) << err;
    EXPECT_NE(err.find(c.mentioned), std::string::npos) << err;
    if (c.namesFullPath) {
        const std::string full = std::filesystem::canonical(dir.Path()).string() + "/zqdemo.dat";
        EXPECT_NE(err.find(full), std::string::npos) << err;
    }
    EXPECT_EQ(err.find("Status:"), std::string::npos) << err;  // before any progress
}

// The names of the environment variables the program's code reads (every getenv("NAME")).
std::set<std::string> EnvironmentVariablesRead() {
    std::set<std::string> names;
    const std::string call = "getenv(\"";
    for (const char* dir : {"app", "client", "core", "platform", "script", "server"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(
                 std::string(ZQ_SOURCE_DIR) + "/" + dir)) {
            if (!entry.is_regular_file()) continue;
            const std::string text = ReadFile(entry.path().string());
            for (size_t at = text.find(call); at != std::string::npos; at = text.find(call, at)) {
                at += call.size();
                const size_t end = text.find('"', at);
                if (end != std::string::npos) names.insert(text.substr(at, end - at));
            }
        }
    }
    return names;
}

TEST(Usage, HelpPrintsTheUsageAndExitsZeroWithoutStartingTheGame) {
    e2e::TempDir dir;  // no archive: the game could not start here
    for (const char* flag : {"--help", "-h"}) {
        e2e::ChildProcess run(Program(), dir.Path(), {}, {flag}, true);
        ASSERT_TRUE(run.Started());
        EXPECT_EQ(run.WaitForExit(20000), 0) << run.Stderr();
        const std::string& out = run.Stderr();
        EXPECT_EQ(out.rfind("Usage: zqdemo", 0), 0u) << out;
        const std::string workDir = std::filesystem::canonical(dir.Path()).string();
        EXPECT_NE(out.find("Working directory: " + workDir), std::string::npos) << out;
        for (const char* file : {"zqdemo.dat", "server.txt", "zq.cfg", "login.cfg", "settings.txt"})
            EXPECT_NE(out.find(file), std::string::npos) << file;
        EXPECT_NE(out.find("Ctrl-C"), std::string::npos);
        const std::set<std::string> variables = EnvironmentVariablesRead();
        EXPECT_GE(variables.size(), 5u);
        for (const std::string& name : variables)
            EXPECT_NE(out.find(name), std::string::npos) << "the usage does not mention " << name;
        EXPECT_EQ(out.find("Status:"), std::string::npos) << out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    MissingAndCorrupt, BadStartTest,
    ::testing::Values(
        BadStart{"NoArchive", nullptr, {}, "zqdemo.dat"},
        BadStart{"EmptyArchive", [] { return std::string(); }, {}, "zqdemo.dat"},
        BadStart{"Garbage",
                 [] {
                     std::string bytes(4000, '\0');
                     for (std::size_t i = 0; i < bytes.size(); ++i) {
                         bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
                     }
                     return bytes;
                 },
                 {},
                 "zqdemo.dat"},
        BadStart{"CutShort", [] { return ReadFile(Archive()).substr(0, 300); }, {}, "zqdemo.dat"},
        BadStart{"NoSuchWorld",
                 [] { return ReadFile(Archive()); },
                 {"SERVERNAME=Elsewhere"},
                 "../.rundir/Elsewhere/server.txt"}),
    [](const ::testing::TestParamInfo<BadStart>& info) { return std::string(info.param.name); });

}  // namespace
