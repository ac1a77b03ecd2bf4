#pragma once
// The client's options and the readers of its two configuration files, zq.cfg and then
// login.cfg in the install directory: one "Key=Value" (or "Key Value") per line, matched
// case-insensitively against a fixed table of keys. The client never writes them.
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

class CClientApp;

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

constexpr size_t kMaxLoginServers = 8;
constexpr size_t kMaxBackupLoginServers = 4;
// Longest text option kept (the account and password fields of the login packets).
constexpr size_t kMaxTextOption = 30;
constexpr size_t kMaxPathOption = 260;
// Largest configuration file read; a larger one is refused whole (a real one is a few
// kilobytes).
constexpr size_t kMaxConfigFileBytes = 1 << 20;
// Longest configuration line; the rest of a longer line is dropped.
constexpr size_t kMaxConfigLine = 255;

// Key ids of the table (the not-found value is one above the last).
enum ConfigKeyId : int {
    kCfgCdRomDataPath = 0,
    kCfgPlayerName = 3,
    kCfgPassword = 4,
    kCfgEditServer = 17,
    kCfgLoginServer = 25,
    kCfgBackupLoginServer = 26,
    kCfgAssumePlayAsGhost = 79,
    kCfgNotFound = 80,
};

// The id of a key (case-insensitive), or kCfgNotFound.
int FindConfigKey(std::string_view key);
// Sets one option from the value text of a line of the main file (zq.cfg) or not.
void ApplyConfigEntry(CClientApp& app, int id, std::string_view value, bool mainFile);
// Reads zq.cfg (mainFile) or login.cfg from the install directory; a missing file is
// skipped, one that cannot be read is reported and skipped. Returns whether the file was
// read.
bool ReadConfigFile(CClientApp& app, bool mainFile);
// Applies every line of a configuration text as ReadConfigFile does.
void ReadConfigText(CClientApp& app, std::string_view text, bool mainFile);
// Called by the login and options screens after an option changed; nothing is written.
void SaveConfigEntry(int id);

// Value readers of the configuration forms, also used elsewhere.
bool ParseSwitch(std::string_view value);
int ParseInteger(std::string_view value);
u32 ParseColour(std::string_view value);
// "a.b.c.d,port" with four groups of one to three digits (each at most 255).
bool ParseDottedAddress(std::string_view value, u32& address, u16& port);
