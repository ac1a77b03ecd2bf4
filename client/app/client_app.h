#pragma once
// The client-wide singleton: paths, options, the player's name and text colours, the client
// clock, the word lists and the frame interval; ClientTick is the per-frame update.
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "client/app/client_config.h"
#include "client/data/client_file_read.h"
#include "client/data/message_box.h"
#include "platform/types.h"

class ClientConnection;

// The per-user lock that stands for the game window's class.
inline constexpr const char* kWindowLockName = "ZqClientWindow";

struct IgnoreEntry {
    char name[30];
    u32 serial;
};

class CClientApp {
public:
    // Builds the object and, unless told not to, reads the configuration from `installDir`
    // (which ends in '/' or is empty: file names then resolve against the working
    // directory).
    explicit CClientApp(std::string installDir, bool readConfiguration = true);
    virtual ~CClientApp();
    CClientApp(const CClientApp&) = delete;
    CClientApp& operator=(const CClientApp&) = delete;

    // The process's one instance, made by CreateClientApp; null before.
    static CClientApp* Instance();
    // Makes the process's instance. When another copy of the game of the same user has its
    // window (the lock kWindowLockName in the user's settings directory is held), says
    // "Another copy of ZQ is already running!" and ends the process with code 0. Then the
    // install directory comes from the stored "ExePath" (the executable's path when none is
    // stored), cut after its last '/'. When no usable path is found the installation
    // message is shown and the client runs on with an empty install directory and default
    // options.
    static CClientApp& CreateInstance();
    static void DestroyInstance();

    // The per-frame update; skipDraw != 0 runs every update but draws nothing.
    void ClientTick(u32 skipDraw);

    // The options and paths as the layers below the shell get them (SetClientSettings).
    ClientSettings Settings() const;
    std::string MakeHDPath(std::string_view name) const;
    std::string MakeCDPath(std::string_view name) const;

    // Word lists: obscene.lst (text, scrambled words) and ignore.lst (30-byte name, 4-byte
    // serial records) in the install directory, created when missing.
    void LoadWordLists();
    bool SaveWordLists() const;
    // chardata.mul: the five speech hues then the five emote hues.
    void ReadCharData();
    bool WriteCharData() const;
    // Makes the player's speech and emote hue (the client world's) those of a character slot
    // 0..4.
    void ChooseCharacterSlot(int slot);

    bool IsIgnored(u32 serial) const;
    void SetCursorMode(int mode);
    void BeginTargeting();
    void EndTargeting();

    // --- Fields -------------------------------------------------------------------------
    ClientConnection* connection = nullptr;
    u32 frameInterval = 50;
    std::string installDir;
    u16 slotSpeechHues[5] = {690, 690, 690, 690, 690};
    u16 slotEmoteHues[5] = {549, 549, 549, 549, 549};
    std::string playerName = "ZQ Player";
    u32 clockHour = 0, clockMinute = 0, clockTick = 0;
    std::vector<IgnoreEntry> ignoreList;    // at most kMaxIgnoreEntries
    std::vector<std::string> obsceneWords;  // at most kMaxObsceneWords, unscrambled
    ClientOptions options;

    // Values of the frame tick (globals of the client shell).
    u32 lastTickTime = 0;
    u32 lastSecondTime = 0;
    u32 currentTickTime = 0;
    u32 lastKeepAliveTime = 0;
    bool inWorld = false;
    bool inGame = false;
    // Set when the client window is destroyed: the client is going away. Never cleared.
    std::atomic<bool> quitting{false};
    // Counters for the frame counter and tests: real ticks run and frames drawn.
    u32 realTicks = 0;
    u32 framesDrawn = 0;

    static constexpr size_t kMaxIgnoreEntries = 20;
    static constexpr size_t kMaxObsceneWords = 80;
    static constexpr size_t kMaxObsceneWordLength = 29;
    static constexpr u32 kMinTickSpacingMs = 76;

private:
    void AdvanceClientClock();
};

// The transformation of stored words and passwords, and its inverse.
std::string ScrambleText(std::string_view text);
std::string UnscrambleText(std::string_view text);
