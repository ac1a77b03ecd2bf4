#pragma once
// The server configuration: which world to run (its name and directory), the world's
// corner and size, which kinds of world data the world-editing protocol may change,
// whether the built-in client is started and where new characters start. Read from the
// world's `server.txt` inside the data archive at process start.
#include <array>
#include <string>
#include <vector>

#include "platform/types.h"

struct ServerConfig {
    // Writable flags: 1 lets the world-editing protocol change that kind of data.
    int statics = 0;
    int terrain = 0;
    int art = 0;
    int tiledata = 0;
    int hues = 0;
    int resources = 0;
    int animdata = 0;
    int templates = 0;
    int multis = 0;
    int id = 0;
    int port = 12346;
    int width = 1024;  // world size in tiles
    int height = 1024;
    int x = 0;  // world corner: the lowest x and y of the world area
    int y = 0;
    std::string serverName;  // at most 127 characters; names the world directory
    std::string owner;       // at most 127 characters

    // The world files, in this order: map, statics index and its backup, statics and its
    // backup, dynamic index and its backup, dynamics and its backup, template index,
    // templates, regions; each under "../.rundir/<server name>/".
    static constexpr int kWorldFileCount = 12;
    std::array<std::string, kWorldFileCount> worldFilePaths;

    // What `server.txt` held that was not taken as written (an entry of no known name, a
    // number that is none, no entries at all): one line each naming the file, the line and
    // what was done instead. Start prints them on stderr.
    std::vector<std::string> notes;

    // The fixed time stamp (seconds since 1970) that skill time stamps and the object
    // reader start from.
    static constexpr u32 GetBaseTime() { return 872023169u; }

    ServerConfig() = default;
    ~ServerConfig();
    ServerConfig(const ServerConfig&) = delete;
    ServerConfig& operator=(const ServerConfig&) = delete;

    // What happens first in the process: opens the data archive at `archivePath`, reads
    // `server.txt`, then seeds the runtime random generator from the clock. False with one
    // line for the user in `error` (the archive or the file that is missing or damaged); the
    // caller then ends the process with exit code 1.
    bool Start(const char* archivePath, std::string* error);
    // Closes the data archive (also done by the destructor after a successful Start).
    void Stop();

    // Where the world-editing code reports a form of editing it no longer takes ("Outdated
    // form of editing."). Such reports are dropped in this build, as the log's entries are.
    static void Report(const char* text);

private:
    bool started_ = false;
};

// The one configuration of the process.
extern ServerConfig g_serverConfig;

// Process-wide values set from `server.txt`.
extern int g_spawnClient;  // 1 at start; 0 runs the server without the built-in client
extern s16 g_startX;       // the start location, relative to the world corner
extern s16 g_startY;

// Reads the configuration of the world named by the environment variable SERVERNAME
// (default "ZQGoldDemo") from the open data archive into `config`, `g_spawnClient` and the
// start location, and builds the world file paths. False with a message in `error` when
// `server.txt` is not in the archive, or when the world's corner and size reach past the
// coordinates a Location can hold (the message names the lines).
bool ReadServerConfig(ServerConfig& config, std::string* error);

// Skips to the next '<' and answers the text up to the following '>' (at most 1023
// characters; the rest of a longer entry is skipped). Null when the data ends first or the
// entry is "@@@ END @@@" (any case). The text lives in one shared buffer that the next call
// overwrites. `handle` is an open archive member or file (core/archive.h).
const char* ReadBracketEntry(void* handle);

// Reads one line: the characters up to the next '\n' (which is dropped), without any '\r'.
// At most 255 characters are kept; the rest of a longer line is skipped. Null when the data
// ends before any character; a last line without '\n' is still answered. The text lives in
// one shared buffer that the next call overwrites.
const char* ReadArchiveLine(void* handle);

// Line numbers for readers that name the line of an entry: `next` is the line the reader
// stands on (1 at the start of the data), `entry` the line of the last entry's '<'.
struct BracketEntryLines {
    int next = 1;
    int entry = 0;
};
// The same, counting the lines it passes in `lines`.
const char* ReadBracketEntry(void* handle, BracketEntryLines* lines);

// The coordinates a world may cover: those a Location can hold.
inline constexpr int kMinWorldCoordinate = -32768;
inline constexpr int kMaxWorldCoordinate = 32767;

// The archive member path of a world's `server.txt`.
std::string ServerConfigPath(const std::string& serverName);
