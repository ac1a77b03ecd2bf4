#pragma once
// The client's options and paths as the layers below the shell see them: one value the shell
// builds from its configuration files at start-up and hands down (SetClientSettings). The
// lower layers read it through TheClientSettings(); they never reach the shell itself.
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

struct LoginServerEntry {
    std::string hostName;  // empty for the dotted form
    u32 address = 0;       // host order, 0 for a host name
    u16 port = 0;
};

struct ClientOptions {
    std::string cdRomDataPath;
    s32 cacheSize = 0;
    bool hdUsageMax = false;
    std::string password;  // kept in the clear (the file holds it scrambled)
    bool sound = true;
    u8 soundVol = 255;
    bool music = true;
    u8 musicVol = 255;
    bool obscenityFilter = false;
    std::string filterPassword;
    bool pageFlip = true;
    bool pageFlipGdi = false;
    bool frameCounter = false;
    bool savePassword = false;
    bool fullScreen = false;
    u32 editServerAddress = 0;
    u16 editServerPort = 0;
    u32 userCentralAddress = 0;
    u16 userCentralPort = 0;
    bool showIntroAnim = true;
    bool use565 = false;
    // After the account's character list arrives the selected character plays at once; off,
    // the list waits for the player's choice.
    bool autoLogIn = true;
    // The renderer's six pixel-format constants; every use565 line resets them.
    u32 pixelFormatConstants[6] = {10, 5, 0x7BDE, 0x739C, 0x3DEF, 0x781F};
    bool orderCacheIdle = false;
    bool orderCacheStartup = false;
    bool orderCacheShutdown = false;
    bool rememberAcctPW = false;
    std::vector<LoginServerEntry> loginServers;        // at most kMaxLoginServers
    std::vector<LoginServerEntry> backupLoginServers;  // at most kMaxBackupLoginServers
    int selectedLoginServer = -1;
    std::string acctId;
    std::string acctLastName;
    std::string acctPassword;
    u8 nextLoginKey = 0;
    int mouseMode = 1;  // 0 slow, 1 fast
    bool useVerData = true;
    bool chestOpening = true;
    std::string journalSaveFile;
    int journalSaveUnicode = -1;
    bool notorietyQuery = false;
    bool useCircleTrans = false;
    int circleTransRadius = 0;
    bool circleTransRadiusSet = false;
    int circleTransX = 0;
    int circleTransY = 0;
    bool circleTransPosSet = false;
    bool filterPWOn = false;
    bool footsteps = true;
    bool showTips = true;
    int lastTip = -1;
    int currentVer = -1;
    int barkTimeModifier = 100;
    bool scaleBarkTimes = true;
    u32 combatHueColor = 0;
    bool frameSkipping = false;
    bool allowPathfind = true;
    bool holdTabForCombat = true;
    bool offsetGumps = true;
    bool autoArrangeMinimized = true;
    bool unicodeSpeech = false;
    int altKeyModNum = -1;
    bool sound8Bit = false;
    bool reverseSpeakers = false;
    // ChatColorSelfText .. ChatColorIgnored, then ChatColorMenuOption, ChatColorInput.
    u32 chatColors[11] = {0x7FFF, 0x3DEF, 0x7C1F, 0x3C0F, 0x001F, 0x000F,
                          0x7FE0, 0x3DE0, 0x0C63, 0x7FE0, 0x7BDE};
    int chatFontNumber = 0;
    int barkFontNumber = 0;
    u32 profileColor1 = 0x7FE0;
    u32 profileColor2 = 0x001F;
    // Notoriety highlight colours, entries 1 to 6 (entry 0 unused).
    u32 highlightColors[7] = {0, 0, 0, 0, 0, 0, 0};
    bool assumePlayAsGhost = false;
};

// A data file's name below a directory; the names the client uses may separate folders with
// backslashes, which become '/'. An empty directory leaves the name relative.
std::string PathBelow(std::string dir, std::string_view name);

struct ClientSettings {
    // The install directory (ends in '/' or is empty: names then resolve against the working
    // directory).
    std::string installDir;
    ClientOptions options;

    std::string MakeHDPath(std::string_view name) const { return PathBelow(installDir, name); }
    std::string MakeCDPath(std::string_view name) const {
        return PathBelow(options.cdRomDataPath, name);
    }
};

// The settings in force: the last ones given, default settings before start-up.
const ClientSettings& TheClientSettings();
// Gives the lower layers the shell's settings (at start-up, and again in tests).
void SetClientSettings(ClientSettings settings);
