// The world outlives the process: an orderly shutdown writes it beside the archive, the next
// start loads it, and a damaged save stops the start naming the file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "core/byte_order.h"
#include "e2e/process_runner.h"
#include "server/server_config.h"
#include "server/world/autosave.h"
#include "server/world/tile_data.h"
#include "server/world/world_data_files.h"
#include "server/world/world_save.h"

namespace {

const std::string kRunning = "Status: Running";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A 64 x 64 world whose archive holds two objects in its first cell: a bag and an item in it.
void BuildArchive(const std::string& dir) {
    const std::string record = std::string("@=C\0id=1073741900\0type=3701\0loc=1 1 0\0\0", 39) +
                               std::string(
                                   "@=D\0id=1073741901\0type=3702\0loc=2 2 0\0"
                                   "cont=1073741900\0\0end\0",
                                   59);
    SectorPair pair;
    for (int n = 0; n < 64; ++n) {
        u8 entry[12] = {};
        StoreLe32(entry, n == 0 ? 0 : 0xFFFFFFFFu);
        StoreLe32(entry + 4, n == 0 ? static_cast<u32>(record.size()) : 0);
        pair.index.insert(pair.index.end(), entry, entry + 12);
    }
    ArchiveBuilder builder;
    ASSERT_TRUE(builder.Add(ServerConfigPath("ZQGoldDemo"),
                            std::string_view("<width 64>\n<height 64>\n<@@@ END @@@>\n")));
    ASSERT_TRUE(builder.Add("../.rundir/tiledata.mul",
                            std::vector<u8>(static_cast<size_t>(kTileDataFileSize))));
    ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/map0.mul", std::vector<u8>(64 * 196)));
    ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/dynidx0.mul", pair.index));
    ASSERT_TRUE(builder.Add("../.rundir/ZQGoldDemo/dynamic0.mul", std::string_view(record)));
    ASSERT_TRUE(builder.Write(dir + "/zqdemo.dat")) << builder.Error();
}

// Starts the server, lets it run and ends it with SIGTERM; its exit code.
int RunOnce(const std::string& dir, std::string* err = nullptr) {
    e2e::ChildProcess server(e2e::RunDir() + "/zqdemo", dir);
    if (!server.Started()) return -2;
    if (!server.WaitForStderr(kRunning, 20000)) {
        const int code = server.WaitForExit(20000);
        if (err) *err = server.Stderr();
        return code;
    }
    server.Signal(SIGTERM);
    const int code = server.WaitForExit(20000);
    if (err) *err = server.Stderr();
    return code;
}

// A world started once from its archive and shut down: its first save is there.
class WorldSaveE2E : public ::testing::Test {
protected:
    void SetUp() override {
        dir.LinkClientInstall();
        BuildArchive(dir.Path());
        ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
        first = ReadFile(save);
    }
    e2e::TempDir dir;
    const std::string save = dir.Path() + "/zqdemo.sav";
    std::string err;
    std::string first;
};

TEST_F(WorldSaveE2E, ShutdownSavesAndTheNextStartLoadsTheSameWorld) {
    // Both objects, the item still inside the bag.
    EXPECT_NE(first.find(std::string("id=1073741900\0", 14)), std::string::npos);
    EXPECT_NE(first.find(std::string("cont=1073741900\0", 16)), std::string::npos);

    // A save interrupted before its rename leaves its temporary file: the next start loads
    // the last whole save and clears the leftover.
    WriteFile(save + ".tmp", first.substr(0, first.size() / 2));
    ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
    EXPECT_EQ(ReadFile(save), first);
    EXPECT_FALSE(std::filesystem::exists(save + ".tmp"));
}

TEST_F(WorldSaveE2E, ADamagedSaveEndsTheStartNamingIt) {
    const std::string& good = first;
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x01;
    for (const std::string& bad : {good.substr(0, good.size() - 3), flipped}) {
        WriteFile(save, bad);
        EXPECT_EQ(RunOnce(dir.Path(), &err), 1) << err;
        EXPECT_NE(err.find("zqdemo.sav"), std::string::npos) << err;
        // The damaged save stays for whoever looks into it.
        EXPECT_EQ(ReadFile(save), bad);
    }
}

// The save's modification time, to tell whether anything wrote it.
std::filesystem::file_time_type Written(const std::string& path) {
    return std::filesystem::last_write_time(path);
}

// Waits up to `timeoutMs` for the condition.
template <typename F>
bool WaitFor(F condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The save's bytes re-encoded with the pair given, for the world given.
std::string Resaved(const std::string& save, const SavedWorldIdentity* world,
                    const SectorPair* pair) {
    SectorPair old;
    SaveFileHeader header;
    std::string why;
    if (!DecodeSaveFile(std::vector<u8>(save.begin(), save.end()), kWorldSaveTag, old, &why,
                        &header))
        return std::string();
    const std::vector<u8> bytes =
        EncodeSaveFile(kWorldSaveTag, world ? *world : header.world, pair ? *pair : old);
    return std::string(bytes.begin(), bytes.end());
}

// The save belongs to the copy that took the world lock: a second copy started in the same
// directory ends before loading anything, and neither its start nor its end touches the save.
TEST_F(WorldSaveE2E, ASecondCopyInTheSameDirectoryLoadsAndWritesNothing) {
    const auto old = Written(save) - std::chrono::hours(24);
    std::filesystem::last_write_time(save, old);
    e2e::ChildProcess holder(e2e::RunDir() + "/zqdemo", dir.Path());
    ASSERT_TRUE(holder.WaitForStderr(kRunning, 20000)) << holder.Stderr();

    struct Start {
        const char* what;
        bool terminal;  // through a pseudo-terminal (script(1)); otherwise stdin is /dev/null
    };
    for (const Start& c : {Start{"not from a terminal", false}, Start{"from a terminal", true}}) {
        SCOPED_TRACE(c.what);
        if (c.terminal && !std::filesystem::exists("/usr/bin/script")) continue;
        const std::string program = e2e::RunDir() + "/zqdemo";
        e2e::ChildProcess second =
            c.terminal ? e2e::ChildProcess("/usr/bin/script", dir.Path(), {"ZQ_HEADLESS=1"},
                                           {"-qec", program, "/dev/null"}, true)
                       : e2e::ChildProcess(program, dir.Path(), {"ZQ_HEADLESS=1"});
        EXPECT_EQ(second.WaitForExit(20000), 1) << second.Stderr();
        const std::string said = second.Stderr();
        EXPECT_NE(said.find("another copy of the game runs in"), std::string::npos) << said;
        EXPECT_NE(said.find(dir.Path() + "/zqdemo.lock"), std::string::npos) << said;
        // From a terminal the line is the answer; otherwise the game's box says it too
        // (written out here, without a display).
        EXPECT_EQ(said.find("Another instance of ZQ is already running.") != std::string::npos,
                  !c.terminal)
            << said;
        // It never got as far as the world's status.
        EXPECT_EQ(said.find("Status:"), std::string::npos) << said;
        EXPECT_EQ(ReadFile(save), first);
        EXPECT_EQ(Written(save), old);
    }

    // The holder's orderly end writes the save.
    holder.Signal(SIGTERM);
    EXPECT_EQ(holder.WaitForExit(20000), 0) << holder.Stderr();
    EXPECT_NE(Written(save), old);
    EXPECT_EQ(ReadFile(save), first);
}

// The running world is saved every 5 minutes: a kill costs at most the time since then. The
// 5-minute clock starts one second short of its interval here instead of making the test wait.
TEST_F(WorldSaveE2E, AKilledGameLeavesTheSaveOfItsLastFiveMinutes) {
    struct Case {
        const char* what;
        u32 aheadMs;
        bool saved;  // within the run
    };
    const Case cases[] = {
        {"before five minutes", 0, false},
        {"after five minutes", kAutosaveIntervalMs - 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto old = Written(save) - std::chrono::hours(24);
        std::filesystem::last_write_time(save, old);
        std::filesystem::remove(dir.Path() + "/zqdemo.log");
        e2e::ChildProcess game(e2e::RunDir() + "/zqdemo", dir.Path(),
                               {"ZQ_AUTOSAVE_CLOCK_AHEAD_MS=" + std::to_string(c.aheadMs)});
        ASSERT_TRUE(game.WaitForStderr(kRunning, 20000)) << game.Stderr();
        // The game's log beside the save says when it saved and how long that took.
        const std::string logPath = dir.Path() + "/zqdemo.log";
        auto logged = [&] {
            return ReadFile(logPath).find("save misc: the world was saved to") != std::string::npos;
        };
        EXPECT_EQ(WaitFor(logged, 3000), c.saved) << ReadFile(logPath);
        game.Signal(SIGKILL);
        game.WaitForExit(20000);
        EXPECT_EQ(Written(save) != old, c.saved);
        // Whole, and the world as it was.
        EXPECT_EQ(ReadFile(save), first);
        EXPECT_FALSE(std::filesystem::exists(save + ".tmp"));
    }
}

// A save made for another world (another name, corner or size) ends the start naming both
// worlds and is left as it was; so is anything at the save's name that is not a regular
// file.
TEST_F(WorldSaveE2E, ASaveThatIsNotThisWorldsEndsTheStartNamingIt) {
    SectorPair pair;
    SaveFileHeader header;
    std::string why;
    ASSERT_TRUE(DecodeSaveFile(std::vector<u8>(first.begin(), first.end()), kWorldSaveTag, pair,
                               &why, &header))
        << why;
    EXPECT_EQ(header.world.Describe(), "ZQGoldDemo (corner 0, 0; 64 x 64 tiles)");
    SavedWorldIdentity other = header.world;
    other.name = "ZQOtherDemo";
    SavedWorldIdentity wider = header.world;
    wider.width = 128;
    for (const SavedWorldIdentity& world : {other, wider}) {
        const std::string bytes = Resaved(first, &world, nullptr);
        WriteFile(save, bytes);
        EXPECT_EQ(RunOnce(dir.Path(), &err), 1) << err;
        EXPECT_NE(err.find(save), std::string::npos) << err;
        EXPECT_NE(err.find(world.Describe()), std::string::npos) << err;
        EXPECT_NE(err.find(header.world.Describe()), std::string::npos) << err;
        EXPECT_EQ(ReadFile(save), bytes);
    }
    // A directory or a named pipe at the save's name: refused at once, never waited on.
    for (bool pipe : {false, true}) {
        std::filesystem::remove_all(save);
        if (pipe) {
            ASSERT_EQ(::mkfifo(save.c_str(), 0600), 0);
        } else {
            std::filesystem::create_directory(save);
        }
        EXPECT_EQ(RunOnce(dir.Path(), &err), 1) << err;
        EXPECT_NE(err.find(save + " is unusable: it is not a regular file"), std::string::npos)
            << err;
    }
}

// Objects a load had to drop would be gone for good at the next save: the save they came
// from is kept aside first, and one line says so.
TEST_F(WorldSaveE2E, ASaveWhoseLoadDroppedObjectsIsKeptAside) {
    SectorPair pair;
    std::string why;
    ASSERT_TRUE(
        DecodeSaveFile(std::vector<u8>(first.begin(), first.end()), kWorldSaveTag, pair, &why));
    // A third object in the first cell, in a bag no save holds.
    const std::string orphan("@=D\0id=1073741902\0type=3702\0loc=3 3 0\0cont=1073749999\0\0", 56);
    const u32 start = LoadLe32(pair.index.data());
    const u32 length = LoadLe32(pair.index.data() + 4);
    ASSERT_EQ(start, 0u);
    pair.data.insert(pair.data.begin() + length - 4, orphan.begin(), orphan.end());  // before "end"
    StoreLe32(pair.index.data() + 4, length + static_cast<u32>(orphan.size()));
    for (size_t n = 1; n < pair.index.size() / 12; ++n) {
        u8* entry = pair.index.data() + n * 12;
        if (LoadLe32(entry) != 0xFFFFFFFFu)
            StoreLe32(entry, LoadLe32(entry) + static_cast<u32>(orphan.size()));
    }
    const std::string withOrphan = Resaved(first, nullptr, &pair);
    ASSERT_FALSE(withOrphan.empty());
    WriteFile(save, withOrphan);

    ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
    EXPECT_EQ(ReadFile(save + ".dropped-1"), withOrphan);
    EXPECT_NE(err.find("the load dropped 1 object(s) of " + save + ": that save is kept as " +
                       save + ".dropped-1\n"),
              std::string::npos)
        << err;
    // The new save holds the two objects that loaded.
    EXPECT_EQ(ReadFile(save), first);
    const std::string log = ReadFile(dir.Path() + "/zqdemo.log");
    EXPECT_NE(log.find("dropped 1 object(s): no container"), std::string::npos) << log;
    // The next run keeps nothing more.
    ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
    EXPECT_FALSE(std::filesystem::exists(save + ".dropped-2"));
}

// The fields of every object record of a dynamic pair's data, by the object's serial (the
// first value of each key).
std::map<u32, std::map<std::string, std::string>> RecordsBySerial(const std::vector<u8>& data) {
    std::map<u32, std::map<std::string, std::string>> out;
    std::map<std::string, std::string> record;
    size_t at = 0;
    while (at < data.size()) {
        const auto nul = std::find(data.begin() + static_cast<long>(at), data.end(), u8{0});
        const std::string field(data.begin() + static_cast<long>(at), nul);
        at = static_cast<size_t>(nul - data.begin()) + 1;
        const size_t eq = field.find('=');
        if (eq != std::string::npos) {
            record.emplace(field.substr(0, eq), field.substr(eq + 1));
        } else if (field.empty() && record.count("id")) {
            out[static_cast<u32>(std::stoul(record["id"]))] = record;
            record.clear();
        }
    }
    return out;
}

// The demo as it ships: the town that the content builder wrote into the archive is the world
// the server starts with and writes back unchanged at shutdown, and a restart keeps it.
TEST(DemoTownE2E, TheServerStartsWithTheTownAndARestartKeepsIt) {
    e2e::TempDir dir;
    dir.CopyIn(ZQ_RUN_DIR "/zqdemo.dat", "zqdemo.dat");
    dir.LinkClientInstall();
    SectorPair shipped;
    ASSERT_TRUE(InitDataArchive((dir.Path() + "/zqdemo.dat").c_str())) << DataArchiveError();
    const bool read = ReadArchiveFile(WorldDataPath("ZQGoldDemo", "dynidx0.mul"), shipped.index) &&
                      ReadArchiveFile(WorldDataPath("ZQGoldDemo", "dynamic0.mul"), shipped.data);
    ShutdownDataArchive();
    ASSERT_TRUE(read);

    std::string err;
    ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
    const std::string save = dir.Path() + "/zqdemo.sav";
    const std::string first = ReadFile(save);
    SectorPair saved;
    std::string why;
    ASSERT_TRUE(
        DecodeSaveFile(std::vector<u8>(first.begin(), first.end()), kWorldSaveTag, saved, &why))
        << why;
    // What the server loaded is what it wrote back, byte for byte.
    EXPECT_EQ(saved.index, shipped.index);
    EXPECT_EQ(std::string(saved.data.begin(), saved.data.end()),
              std::string(shipped.data.begin(), shipped.data.end()));

    // The town's objects under the serials they were made with.
    struct Expected {
        u32 serial;
        const char* what;
        const char* letter;  // the record's class
        const char* templateNumber;
        const char* loc;
        const char* script;  // the first word of its script record, or ""
    };
    const Expected town[] = {
        {1073741825, "door", "D", "1000", "374 563 0", ""},
        {1073741826, "door", "D", "1000", "402 563 0", ""},
        {1073741827, "door", "D", "1000", "374 587 0", ""},
        {1073741828, "sign", "D", "1001", "386 569 0", "townsign"},
        {1073741829, "lamp", "D", "1002", "384 567 0", "lamppost"},
        {1073741832, "lamp", "D", "1002", "396 579 0", "lamppost"},
        {1073741833, "healing stone", "D", "1003", "388 570 0", "healstone"},
        {1073741834, "board", "B", "1005", "395 570 0", ""},
        {1073741836, "chest", "C", "1004", "404 559 0", ""},
        {22, "townsfolk", "N", "10", "386 576 0", "townguide"},
        {37, "guard", "G", "11", "385 573 0", ""},
        {47, "baker", "S", "12", "401 560 0", ""},
    };
    auto records = RecordsBySerial(saved.data);
    for (const Expected& e : town) {
        auto it = records.find(e.serial);
        ASSERT_NE(it, records.end()) << e.what << " " << e.serial;
        auto& fields = it->second;
        EXPECT_EQ(fields["@"], e.letter) << e.what;
        EXPECT_EQ(fields["template"], e.templateNumber) << e.what;
        EXPECT_EQ(fields["loc"], e.loc) << e.what;
        EXPECT_EQ(fields["wom_scr"].substr(0, fields["wom_scr"].find(' ')), e.script) << e.what;
    }
    // The chests are stocked; the townsfolk are named and dressed.
    int inChest = 0, onFirstTownsperson = 0;
    for (auto& [serial, fields] : records) {
        inChest += fields["cont"] == "1073741836";
        onFirstTownsperson += fields["cont"] == "22";
    }
    EXPECT_EQ(inChest, 4);
    EXPECT_GE(onFirstTownsperson, 2);
    EXPECT_EQ(records[22]["name"], "Aldric");

    // Shut down and started again: the same world, to the byte.
    ASSERT_EQ(RunOnce(dir.Path(), &err), 0) << err;
    EXPECT_EQ(ReadFile(save), first);
}

}  // namespace
