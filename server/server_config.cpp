#include "server/server_config.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/archive.h"
#include "core/cstr.h"
#include "core/next_word.h"
#include "platform/clock.h"
#include "platform/random.h"

ServerConfig g_serverConfig;
int g_spawnClient = 1;
s16 g_startX = 0;
s16 g_startY = 0;

namespace {

constexpr std::size_t kMaxNameLength = 127;
constexpr std::size_t kEntryBufferSize = 1024;
constexpr const char* kDefaultServerName = "ZQGoldDemo";
constexpr const char* kEndEntry = "@@@ END @@@";

constexpr const char* kWorldFiles[ServerConfig::kWorldFileCount] = {
    "map0.mul",    "staidx0.mul",  "staidx0.bkp",  "statics0.mul", "statics0.bkp", "dynidx0.mul",
    "dynidx0.bkp", "dynamic0.mul", "dynamic0.bkp", "tempidx.mul",  "temp.mul",     "regions.txt",
};

// A decimal value the way the runtime's atoi reads it (white space, a sign, leading
// digits; 0 when there are none), but held to the range of an int instead of overflowing.
int ParseDecimal(const char* text, bool* isNumber = nullptr) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (isNumber) *isNumber = end != text;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string CutName(std::string text) {
    if (text.size() > kMaxNameLength) text.resize(kMaxNameLength);
    return text;
}

// One axis of the world area: its corner and size, and the lines of server.txt they came
// from (0: the default).
struct WorldAxis {
    const char* cornerKey;
    const char* sizeKey;
    int corner;
    int size;
    int cornerLine;
    int sizeLine;
};

std::string LinesOf(int a, int b) {
    if (a > b) std::swap(a, b);
    if (a == 0 || a == b) return "line " + std::to_string(b);
    return "lines " + std::to_string(a) + " and " + std::to_string(b);
}

// Every tile of the world must have coordinates a Location can hold; sums beyond them
// would wrap the world's cells onto each other, or overflow.
bool CheckWorldAxis(const WorldAxis& axis, const std::string& path, std::string* error) {
    const s64 last = static_cast<s64>(axis.corner) + axis.size - 1;
    const bool cornerOut = axis.corner < kMinWorldCoordinate || axis.corner > kMaxWorldCoordinate;
    if (!cornerOut && (axis.size <= 0 || last <= kMaxWorldCoordinate)) return true;
    if (error) {
        const std::string range = "the coordinates " + std::to_string(kMinWorldCoordinate) +
                                  " to " + std::to_string(kMaxWorldCoordinate);
        if (cornerOut) {
            *error = path + " " + LinesOf(0, axis.cornerLine) + ": the world corner " +
                     axis.cornerKey + " " + std::to_string(axis.corner) + " is outside " + range;
        } else {
            *error = path + " " + LinesOf(axis.cornerLine, axis.sizeLine) + ": the world corner " +
                     axis.cornerKey + " " + std::to_string(axis.corner) + " and " + axis.sizeKey +
                     " " + std::to_string(axis.size) + " reach " + std::to_string(last) +
                     ", outside " + range;
        }
    }
    return false;
}

}  // namespace

const char* ReadBracketEntry(ArchiveHandle handle) {
    return ReadBracketEntry(handle, nullptr);
}

const char* ReadBracketEntry(ArchiveHandle handle, BracketEntryLines* lines) {
    static char entry[kEntryBufferSize];
    int c;
    do {
        c = ArchiveGetc(handle);
        if (c == -1) return nullptr;
        if (c == '\n' && lines) ++lines->next;
    } while (c != '<');
    if (lines) lines->entry = lines->next;
    std::size_t length = 0;
    for (;;) {
        c = ArchiveGetc(handle);
        if (c == -1) return nullptr;
        if (c == '\n' && lines) ++lines->next;
        if (c == '>') break;
        // An entry longer than the buffer is cut; the rest of it is skipped.
        if (length < kEntryBufferSize - 1) entry[length++] = static_cast<char>(c);
    }
    entry[length] = '\0';
    if (StrCompareNoCase(entry, kEndEntry) == 0) return nullptr;
    return entry;
}

const char* ReadArchiveLine(ArchiveHandle handle) {
    static char line[256];
    std::size_t length = 0;
    bool any = false;
    for (;;) {
        const int c = ArchiveGetc(handle);
        // The end of the data ends the line too: waiting for a '\n' that never comes would
        // never return.
        if (c == -1) {
            if (!any) return nullptr;
            break;
        }
        any = true;
        if (c == '\n') break;
        if (c == '\r') continue;
        if (length < sizeof line - 1) line[length++] = static_cast<char>(c);
    }
    line[length] = '\0';
    return line;
}

void ServerConfig::Report(const char*) {}

std::string ServerConfigPath(const std::string& serverName) {
    return "../.rundir/" + serverName + "/server.txt";
}

bool ReadServerConfig(ServerConfig& config, std::string* error) {
    const char* name = std::getenv("SERVERNAME");
    config.serverName = CutName(name && *name ? name : kDefaultServerName);
    config.owner = "Default Owner";
    config.port = 12346;
    config.width = 1024;
    config.height = 1024;
    config.x = 0;
    config.y = 0;
    config.id = 0;
    config.statics = config.terrain = config.art = config.tiledata = config.hues = 0;
    config.resources = config.animdata = config.templates = config.multis = 0;
    g_spawnClient = 1;
    g_startX = 0;
    g_startY = 0;

    std::string path = ServerConfigPath(config.serverName);
    ArchiveHandle file = ArchiveOpen(path.c_str(), "r");
    if (file == nullptr) {
        if (error) {
            const DataArchive* archive = GetDataArchive();
            *error = "the data archive " + (archive ? archive->Label() + " " : std::string()) +
                     "has no " + path + " (the configuration of the world \"" + config.serverName +
                     "\"; set SERVERNAME to choose another world)";
        }
        return false;
    }

    struct Flag {
        const char* key;
        int ServerConfig::*field;
    };
    static const Flag kFlags[] = {
        {"statics", &ServerConfig::statics},   {"terrain", &ServerConfig::terrain},
        {"art", &ServerConfig::art},           {"tiledata", &ServerConfig::tiledata},
        {"hues", &ServerConfig::hues},         {"resources", &ServerConfig::resources},
        {"animdata", &ServerConfig::animdata}, {"templates", &ServerConfig::templates},
        {"multis", &ServerConfig::multis},
    };
    struct Number {
        const char* key;
        int ServerConfig::*field;
    };
    static const Number kNumbers[] = {
        {"id", &ServerConfig::id},       {"port", &ServerConfig::port},
        {"x", &ServerConfig::x},         {"y", &ServerConfig::y},
        {"width", &ServerConfig::width}, {"height", &ServerConfig::height},
    };

    // The line of the entry each of x, y, width and height was last set by.
    int lineOf[4] = {0, 0, 0, 0};
    BracketEntryLines lines;
    config.notes.clear();
    auto note = [&](const std::string& what) {
        config.notes.push_back(path + " line " + std::to_string(lines.entry) + ": " + what);
    };
    // A number the entry does not hold reads as 0, as it always has; the user is told.
    auto number = [&](const char* key, const char* value) {
        bool isNumber = false;
        const int n = ParseDecimal(value, &isNumber);
        if (!isNumber) {
            const std::string shown = *value ? std::string(" ") + value : std::string();
            note(std::string("<") + key + shown + "> holds no number; 0 is used");
        }
        return n;
    };
    int entries = 0;
    while (const char* entry = ReadBracketEntry(file, &lines)) {
        ++entries;
        char key[kEntryBufferSize];
        const char* value = NextWord(entry, key);
        if (value == nullptr) value = "";
        while (*value == ' ' || *value == '\t' || *value == '\r' || *value == '\n' ||
               *value == '\v' || *value == '\f') {
            ++value;
        }
        if (std::strcmp(key, "owner") == 0) {
            config.owner = CutName(value);
        } else if (std::strcmp(key, "spawnclient") == 0) {
            g_spawnClient = number(key, value);
        } else if (std::strcmp(key, "startx") == 0) {
            g_startX = static_cast<s16>(static_cast<u16>(number(key, value)));
        } else if (std::strcmp(key, "starty") == 0) {
            g_startY = static_cast<s16>(static_cast<u16>(number(key, value)));
        } else {
            bool known = false;
            for (const Number& n : kNumbers) {
                if (std::strcmp(key, n.key) == 0) {
                    config.*n.field = number(key, value);
                    known = true;
                }
            }
            static const char* const kAreaKeys[4] = {"x", "y", "width", "height"};
            for (int i = 0; i < 4; ++i) {
                if (std::strcmp(key, kAreaKeys[i]) == 0) lineOf[i] = lines.entry;
            }
            for (const Flag& f : kFlags) {
                if (std::strcmp(key, f.key) == 0) {
                    config.*f.field = (value[0] == 'W' || value[0] == 'w') ? 1 : 0;
                    known = true;
                }
            }
            if (!known) note(std::string("<") + key + "> is no setting; ignored");
        }
    }
    ArchiveClose(file);
    if (entries == 0) {
        config.notes.push_back(path +
                               " holds no <name value> entries; every setting is its default");
    }

    const WorldAxis axes[2] = {
        {"x", "width", config.x, config.width, lineOf[0], lineOf[2]},
        {"y", "height", config.y, config.height, lineOf[1], lineOf[3]},
    };
    for (const WorldAxis& axis : axes) {
        if (!CheckWorldAxis(axis, path, error)) return false;
    }

    for (int i = 0; i < ServerConfig::kWorldFileCount; ++i) {
        config.worldFilePaths[i] = "../.rundir/" + config.serverName + "/" + kWorldFiles[i];
    }
    return true;
}

ServerConfig::~ServerConfig() {
    Stop();
}

bool ServerConfig::Start(const char* archivePath, std::string* error) {
    if (!InitDataArchive(archivePath)) {
        if (error) *error = DataArchiveError();
        ShutdownDataArchive();
        return false;
    }
    started_ = true;
    if (!ReadServerConfig(*this, error)) {
        Stop();
        return false;
    }
    for (const std::string& note : notes)
        std::fprintf(stderr, "zqdemo: %s\n", note.c_str());
    platform::SeedRandom(platform::NowMs());
    return true;
}

void ServerConfig::Stop() {
    if (!started_) return;
    started_ = false;
    ShutdownDataArchive();
}
