#include "client/app/client_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <thread>

#include "client/world/client_world.h"
#include "client_subsystem_trace.h"
#include "client_test_env.h"
#include "platform/clock.h"
#include "platform/key_value_store.h"

namespace {

int Count(const std::vector<std::string>& trace, const std::string& name) {
    return static_cast<int>(std::count(trace.begin(), trace.end(), name));
}

TEST(ClientApp, PathsJoinWithOneSeparator) {
    ClientTestEnv env;
    CClientApp app("/games/zq/");
    EXPECT_EQ(app.MakeHDPath("zq.cfg"), "/games/zq/zq.cfg");
    app.installDir = "/games/zq";
    EXPECT_EQ(app.MakeHDPath("zq.cfg"), "/games/zq/zq.cfg");
    app.installDir.clear();
    EXPECT_EQ(app.MakeHDPath("zq.cfg"), "zq.cfg");
    app.options.cdRomDataPath = "/cd";
    EXPECT_EQ(app.MakeCDPath("art.mul"), "/cd/art.mul");
}

TEST(ClientApp, BackslashesInDataNamesBecomeSlashes) {
    ClientTestEnv env;
    CClientApp app("/games/zq");
    app.options.cdRomDataPath = "/cd/";
    EXPECT_EQ(app.MakeCDPath("tutorial\\1gen.tga"), "/cd/tutorial/1gen.tga");
    EXPECT_EQ(app.MakeHDPath("a\\b\\c.mul"), "/games/zq/a/b/c.mul");
}

TEST(ClientApp, ScrambleTextAndItsInverse) {
    EXPECT_EQ(ScrambleText("abc"), "nop");
    // 'z' + 13 = 135 >= 128, so 95 is taken off.
    EXPECT_EQ(ScrambleText("z"), std::string(1, static_cast<char>(135 - 95)));
    for (std::string s : {"secret", "Zz~ !", "The quick brown fox"}) {
        EXPECT_EQ(UnscrambleText(ScrambleText(s)), s);
    }
}

TEST(ClientTick, RunsAtMostOncePer76MsAndSkipDrawOnlySkipsDrawing) {
    ClientTestEnv env;
    platform::ManualClock clock(10000);
    ClientSubsystemTrace subsystems;
    CClientApp app(env.InstallDir());
    subsystems.Start();
    app.ClientTick(0);
    EXPECT_EQ(app.realTicks, 1u);
    clock.Advance(50);
    app.ClientTick(0);  // 50 ms later: returns at once
    EXPECT_EQ(app.realTicks, 1u);
    clock.Advance(26);
    app.ClientTick(1);  // 76 ms after the first: runs, without drawing
    EXPECT_EQ(app.realTicks, 2u);
    EXPECT_EQ(app.framesDrawn, 1u);
    auto trace = subsystems.Take();
    EXPECT_EQ(Count(trace, "DrawWorldViewFrame"), 1);
    EXPECT_EQ(Count(trace, "GumpDesktopUpdate"), 2);
    EXPECT_EQ(Count(trace, "MobilesTick"), 2);
    const std::vector<std::string> order = {"PathWalkerStep", "MusicUpdate",       "SoundUpdate",
                                            "CursorUpdate",   "WalkQueueStepTick", "MobilesTick"};
    EXPECT_TRUE(std::equal(order.begin(), order.end(), trace.begin())) << trace[0];
}

TEST(ClientTick, ClockAdvancesOneTickPerSecondEvenWhenLate) {
    ClientTestEnv env;
    platform::ManualClock clock(5000);
    CClientApp app(env.InstallDir());
    app.clockMinute = 59;
    app.clockHour = 23;
    app.clockTick = 18;
    app.ClientTick(1);
    EXPECT_EQ(app.clockTick, 19u);
    clock.Advance(999);
    app.ClientTick(1);
    EXPECT_EQ(app.clockTick, 19u);
    clock.Advance(5000);  // five seconds late: still one step
    app.ClientTick(1);
    EXPECT_EQ(app.clockTick, 0u);
    EXPECT_EQ(app.clockMinute, 0u);
    EXPECT_EQ(app.clockHour, 0u);
}

TEST(ClientTick, KeepAliveOnlyInTheWorldAndAtMostOncePer61Seconds) {
    ClientTestEnv env;
    platform::ManualClock clock(0);
    ClientSubsystemTrace subsystems;
    CClientApp app(env.InstallDir());
    subsystems.Start();
    for (int i = 0; i < 100; ++i) {
        clock.Advance(1000);
        app.ClientTick(1);
    }
    EXPECT_EQ(Count(subsystems.Take(), "SendKeepAlive"), 0);
    app.inWorld = true;
    subsystems.Start();
    for (int i = 0; i < 122; ++i) {
        clock.Advance(1000);
        app.ClientTick(1);
    }
    EXPECT_EQ(Count(subsystems.Take(), "SendKeepAlive"), 2);
}

TEST(ClientApp, WordListsAreCreatedWhenMissingAndReadBack) {
    ClientTestEnv env;
    CClientApp app(env.InstallDir());
    app.LoadWordLists();
    EXPECT_FALSE(app.obsceneWords.empty());
    EXPECT_EQ(app.obsceneWords[0], "damn");
    EXPECT_NE(env.ReadFile("obscene.lst").find(ScrambleText("damn") + "\n"), std::string::npos);
    EXPECT_TRUE(app.ignoreList.empty());

    std::string ignore;
    auto record = [&](const char* name, u32 serial) {
        std::string r(name);
        r.resize(30, '\0');
        for (int i = 0; i < 4; ++i)
            r += static_cast<char>(serial >> (8 * i));
        return r;
    };
    ignore = record("Pest", 0x01020304) + record(std::string(30, 'N').c_str(), 7) + "short";
    env.WriteFile("ignore.lst", ignore);
    std::string words = ScrambleText("alpha") + "\r\n\r\n" + ScrambleText(std::string(40, 'q')) +
                        "\r" + ScrambleText("omega");
    env.WriteFile("obscene.lst", words);
    app.LoadWordLists();
    ASSERT_EQ(app.obsceneWords.size(), 3u);
    EXPECT_EQ(app.obsceneWords[1], std::string(29, 'q'));
    EXPECT_EQ(app.obsceneWords[2], "omega");
    ASSERT_EQ(app.ignoreList.size(), 2u);
    EXPECT_TRUE(app.IsIgnored(0x01020304));
    EXPECT_FALSE(app.IsIgnored(0x04030201));
    EXPECT_EQ(std::string(app.ignoreList[1].name), std::string(29, 'N'));

    ASSERT_TRUE(app.SaveWordLists());
    CClientApp again(env.InstallDir());
    again.LoadWordLists();
    EXPECT_EQ(again.obsceneWords, app.obsceneWords);
    EXPECT_EQ(again.ignoreList.size(), 2u);
}

TEST(ClientApp, SettingsFilesThatCannotBeReadGiveTheirDefaultsAndAMessage) {
    // Each of the client's own files replaced by something that is not a readable file.
    enum class Kind { kDirectory, kEndlessDevice, kUnopenable, kMissing };
    const char* const files[] = {"zq.cfg", "login.cfg", "obscene.lst", "ignore.lst",
                                 "chardata.mul"};
    for (Kind kind : {Kind::kDirectory, Kind::kEndlessDevice, Kind::kUnopenable, Kind::kMissing}) {
        for (const char* file : files) {
            ClientTestEnv env;
            const std::string path = env.Dir() + "/" + file;
            switch (kind) {
                case Kind::kDirectory:
                    std::filesystem::create_directory(path);
                    break;
                case Kind::kEndlessDevice:
                    std::filesystem::create_symlink("/dev/zero", path);
                    break;
                case Kind::kUnopenable:
                    std::filesystem::create_symlink(path, path);  // a loop, even for root
                    break;
                case Kind::kMissing:
                    break;
            }
            const std::string what =
                std::string(file) + " kind " + std::to_string(static_cast<int>(kind));
            ::testing::internal::CaptureStderr();
            CClientApp app(env.InstallDir());
            app.LoadWordLists();
            const std::string err = ::testing::internal::GetCapturedStderr();
            EXPECT_EQ(app.playerName, "ZQ Player") << what;
            EXPECT_EQ(app.slotSpeechHues[0], 690) << what;
            EXPECT_EQ(app.slotEmoteHues[4], 549) << what;
            EXPECT_TRUE(app.ignoreList.empty()) << what;
            const bool wordsBroken = std::string(file) == "obscene.lst" && kind != Kind::kMissing;
            EXPECT_EQ(app.obsceneWords.empty(), wordsBroken) << what;
            if (kind == Kind::kMissing) {
                EXPECT_EQ(err, "") << what;
            } else {
                // The message names the file; what stood there is left as it was.
                EXPECT_NE(err.find(path), std::string::npos) << what << ": " << err;
                std::error_code ec;
                EXPECT_FALSE(std::filesystem::is_regular_file(path, ec)) << what;
            }
        }
    }
}

TEST(ClientApp, CharDataSetsWhatItHoldsAndKeepsDefaultsForTheRest) {
    ClientTestEnv env;
    env.WriteFile("chardata.mul", std::string("\x01\x02\x03", 3));  // one hue and a half
    CClientApp app(env.InstallDir());
    EXPECT_EQ(app.slotSpeechHues[0], 0x0201);
    EXPECT_EQ(app.slotSpeechHues[1], 690);
    EXPECT_EQ(app.slotEmoteHues[4], 549);
    app.slotEmoteHues[2] = 1234;
    ASSERT_TRUE(app.WriteCharData());
    CClientApp again(env.InstallDir());
    EXPECT_EQ(again.slotEmoteHues[2], 1234);
    again.ChooseCharacterSlot(2);
    EXPECT_EQ(TheClientWorld().speech.emoteHue, 1234);
    again.ChooseCharacterSlot(7);  // out of range: nothing
    EXPECT_EQ(TheClientWorld().speech.emoteHue, 1234);
}

}  // namespace

namespace {

TEST(ClientAppInstance, InstallDirectoryComesFromTheStoredExePath) {
    ClientTestEnv env;
    // Nothing stored: the run directory, so the configuration there is read.
    env.WriteFile("zq.cfg", "PlayerName=Runner\n");
    CClientApp& app = CClientApp::CreateInstance();
    EXPECT_EQ(app.installDir, env.InstallDir());
    EXPECT_EQ(app.playerName, "Runner");

    std::filesystem::create_directories(env.Dir() + "/elsewhere");
    env.WriteFile("elsewhere/zq.cfg", "PlayerName=Elsewhere\n");
    ASSERT_TRUE(
        platform::KeyValueStore::Default().SetString("ExePath", env.Dir() + "/elsewhere/zqdemo"));
    EXPECT_EQ(CClientApp::CreateInstance().playerName, "Elsewhere");

    // A stored path without a directory: the installation message, defaults, no files.
    ASSERT_TRUE(platform::KeyValueStore::Default().SetString("ExePath", "zqdemo"));
    CClientApp& bare = CClientApp::CreateInstance();
    EXPECT_EQ(bare.installDir, "");
    EXPECT_EQ(bare.playerName, "ZQ Player");
    ASSERT_EQ(env.Backend().Messages().size(), 1u);
    EXPECT_EQ(env.Backend().Messages()[0].caption, "ERROR");
    CClientApp::DestroyInstance();
    EXPECT_EQ(CClientApp::Instance(), nullptr);
}

// The layers below the shell see the options and paths the shell read, from its start-up to its
// end, and the defaults outside it.
TEST(ClientAppInstance, TheShellHandsItsSettingsDown) {
    ClientTestEnv env;
    env.WriteFile("zq.cfg", "AllowPathfind=off\nHdUsage=max\n");
    CClientApp::CreateInstance();
    const ClientSettings& seen = TheClientSettings();
    EXPECT_EQ(seen.installDir, env.InstallDir());
    EXPECT_EQ(seen.MakeHDPath("fonts.mul"), env.InstallDir() + "fonts.mul");
    EXPECT_FALSE(seen.options.allowPathfind);
    EXPECT_TRUE(seen.options.hdUsageMax);
    CClientApp::DestroyInstance();
    EXPECT_TRUE(TheClientSettings().options.allowPathfind);
    EXPECT_EQ(TheClientSettings().installDir, "");
}

TEST(ClientAppInstanceDeathTest, OnlyTheClientThreadShowsTheOutOfMemoryBox) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ClientTestEnv env;
    // Making the instance installs the process-wide handler; the box is the client's.
    auto failOn = [](bool clientThread) {
        CClientApp::CreateInstance();
        if (clientThread) {
            std::get_new_handler()();
        } else {
            std::thread other([] { std::get_new_handler()(); });
            other.join();
        }
    };
    EXPECT_EXIT(failOn(true), ::testing::ExitedWithCode(1),
                "\\[message box\\] Out of memory: There is not enough memory");
    // Another thread (the server's, say) never shows a box from there.
    EXPECT_EXIT(failOn(false), ::testing::ExitedWithCode(1), "^zqdemo: out of memory\n$");
}

}  // namespace
