#pragma once
// The client's options and the readers of its two configuration files, zq.cfg and then
// login.cfg in the install directory: one "Key=Value" (or "Key Value") per line, matched
// case-insensitively against a fixed table of keys. The client never writes them.
#include <string>
#include <string_view>
#include <vector>

#include "client/data/client_settings.h"
#include "platform/types.h"

class CClientApp;

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
