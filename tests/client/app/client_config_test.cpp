#include "client/app/client_config.h"

#include <gtest/gtest.h>

#include <functional>

#include "client/app/client_app.h"
#include "client_test_env.h"

namespace {

struct ConfigCase {
    std::string text;
    std::function<bool(const CClientApp&)> check;
};

using App = const CClientApp;

TEST(ClientConfig, LinesSetTheirOptions) {
    ClientTestEnv env;
    const ConfigCase cases[] = {
        {"Sound=off", [](App& a) { return !a.options.sound; }},
        {"sound no", [](App& a) { return !a.options.sound; }},
        {"Sound=off\nSOUND=ON", [](App& a) { return a.options.sound; }},
        {"Music=yes", [](App& a) { return a.options.music; }},
        {"PageFlip=GDI", [](App& a) { return !a.options.pageFlip && a.options.pageFlipGdi; }},
        {"PageFlip=off", [](App& a) { return !a.options.pageFlip && !a.options.pageFlipGdi; }},
        {"BarkTimeModifier=0", [](App& a) { return a.options.barkTimeModifier == 100; }},
        {"BarkTimeModifier=  -40x", [](App& a) { return a.options.barkTimeModifier == -40; }},
        {"HighlightColorEnemy=#102030",
         [](App& a) { return a.options.highlightColors[5] == 0x102031; }},
        {"ChatColorInput=#A0b0C0", [](App& a) { return a.options.chatColors[10] == 0xA0B0C0; }},
        {"CombatHueColor=1234", [](App& a) { return a.options.combatHueColor == 1234; }},
        {"CombatHueColor=#12", [](App& a) { return a.options.combatHueColor == 0; }},
        {"EditServer=10.0.0.1,5000",
         [](App& a) {
             return a.options.editServerAddress == 0x0A000001 && a.options.editServerPort == 5000;
         }},
        {"EditServer=no-such-host.invalid,77",
         [](App& a) { return a.options.editServerAddress == 0 && a.options.editServerPort == 77; }},
        {"SoundVol=300", [](App& a) { return a.options.soundVol == 44; }},
        {"NextLoginKey=abc", [](App& a) { return a.options.nextLoginKey == 0; }},
        {"PlayerName=Ann Other", [](App& a) { return a.playerName == "Ann"; }},
        {"PlayerName = Ann", [](App& a) { return a.playerName == "="; }},
        {"PlayerName=", [](App& a) { return a.playerName == "ZQ Player"; }},
        {"AcctID=" + std::string(40, 'x'),
         [](App& a) { return a.options.acctId == std::string(kMaxTextOption, 'x'); }},
        {"Password=" + ScrambleText("secret"),
         [](App& a) { return a.options.password == "secret"; }},
        {"autoLogIn=off", [](App& a) { return !a.options.autoLogIn; }},
        {"AUTOLOGIN yes", [](App& a) { return a.options.autoLogIn; }},
        {"Sound=on", [](App& a) { return a.options.autoLogIn; }},  // on unless a line says
        {"Mouse=slow", [](App& a) { return a.options.mouseMode == 0; }},
        {"Mouse=slow\nMouse=medium", [](App& a) { return a.options.mouseMode == 0; }},
        {"OrderCache=Idle,shutdown",
         [](App& a) {
             return a.options.orderCacheIdle && !a.options.orderCacheStartup &&
                    a.options.orderCacheShutdown;
         }},
        {"FilterPWOn=off", [](App& a) { return !a.options.filterPWOn; }},
        {"JournalSaveUnicode=no", [](App& a) { return a.options.journalSaveUnicode == 0; }},
        {"CircleTransPos=700,-5",
         [](App& a) { return a.options.circleTransX == 700 && a.options.circleTransY == -5; }},
        {"UnicodeSpeech=on", [](App& a) { return !a.options.unicodeSpeech; }},
        // Unknown keys, key-only lines and blank lines change nothing; CR, LF, CR LF and
        // LF CR all end lines.
        {"Bogus=1\rFrameSkipping=on\n\r\nUse565=yes\r\nFootsteps\n",
         [](App& a) { return a.options.frameSkipping && a.options.use565 && a.options.footsteps; }},
        // A line longer than 255 characters is cut: its value is lost past the cut.
        {"Sound" + std::string(260, ' ') + "=off", [](App& a) { return a.options.sound; }},
    };
    for (const ConfigCase& c : cases) {
        CClientApp app(env.InstallDir());
        ReadConfigText(app, c.text, true);
        EXPECT_TRUE(c.check(app)) << c.text;
    }
}

TEST(ClientConfig, LoginServersComeFromLoginCfgOnly) {
    ClientTestEnv env;
    const std::string lines = "LoginServer=1.2.3.4,7775\nLoginServer=login.example\n";
    {
        CClientApp app(env.InstallDir());
        ReadConfigText(app, lines, true);
        EXPECT_TRUE(app.options.loginServers.empty());
        EXPECT_EQ(app.options.selectedLoginServer, -1);
    }
    CClientApp app(env.InstallDir());
    ReadConfigText(app, lines, false);
    ASSERT_EQ(app.options.loginServers.size(), 2u);
    EXPECT_EQ(app.options.loginServers[0].address, 0x01020304u);
    EXPECT_EQ(app.options.loginServers[0].port, 7775);
    EXPECT_EQ(app.options.loginServers[1].hostName, "login.example");
    EXPECT_EQ(app.options.loginServers[1].address, 0u);
    EXPECT_EQ(app.options.selectedLoginServer, 0);
    std::string many;
    for (int i = 0; i < 12; ++i)
        many += "BackupLoginServer=9.9.9.9,1\n";
    ReadConfigText(app, many, false);
    EXPECT_EQ(app.options.backupLoginServers.size(), kMaxBackupLoginServers);
}

TEST(ClientConfig, FilesAreReadInOrderAndMissingOrGarbageFilesAreHarmless) {
    ClientTestEnv env;
    {
        CClientApp app(env.InstallDir());  // neither file exists
        EXPECT_TRUE(app.options.sound);
        EXPECT_EQ(app.playerName, "ZQ Player");
    }
    env.WriteFile("zq.cfg", "PlayerName=Main\nSound=off\n");
    env.WriteFile("login.cfg", "PlayerName=Login\n");
    {
        CClientApp app(env.InstallDir());
        EXPECT_EQ(app.playerName, "Login");
        EXPECT_FALSE(app.options.sound);
    }
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    env.WriteFile("zq.cfg", garbage + "\nMusic=off");
    env.WriteFile("login.cfg", std::string(1000, '='));
    CClientApp app(env.InstallDir());
    EXPECT_FALSE(app.options.music);
}

TEST(ClientConfig, KeyLookupAndValueForms) {
    EXPECT_EQ(FindConfigKey("USE565"), 21);
    EXPECT_EQ(FindConfigKey("AssumePlayAsGhost"), 79);
    EXPECT_EQ(FindConfigKey("Sound8"), kCfgNotFound);
    EXPECT_EQ(FindConfigKey(""), kCfgNotFound);
    u32 address = 7;
    u16 port = 7;
    for (const char* bad :
         {"1.2.3,5", "1.2.3.4", "256.1.1.1,1", "1..3.4,5", "1234.1.1.1,2", "a.b.c.d,1", ""}) {
        EXPECT_FALSE(ParseDottedAddress(bad, address, port)) << bad;
    }
    ASSERT_TRUE(ParseDottedAddress("127.0.0.1,2593", address, port));
    EXPECT_EQ(address, 0x7F000001u);
    EXPECT_EQ(port, 2593);
    EXPECT_EQ(ParseInteger("99999999999999"), 2147483647);
    EXPECT_EQ(ParseInteger("-99999999999999"), -2147483647 - 1);
    EXPECT_EQ(ParseInteger("+12"), 12);
}

}  // namespace
