#include "client/app/client_config.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "client/app/client_app.h"

namespace {

// The key table, in id order (id 19 has no key).
struct KeyEntry {
    const char* key;
    int id;
};

constexpr KeyEntry kKeys[] = {
    {"CdRomDataPath", 0},
    {"CacheSize", 1},
    {"HdUsage", 2},
    {"PlayerName", 3},
    {"Password", 4},
    {"Sound", 5},
    {"SoundVol", 6},
    {"Music", 7},
    {"MusicVol", 8},
    {"ObscenityFilter", 9},
    {"ObsceneWord", 10},
    {"FilterPassword", 11},
    {"PageFlip", 12},
    {"FrameCounter", 13},
    {"SavePassword", 14},
    {"FullScreen", 15},
    {"Language", 16},
    {"EditServer", 17},
    {"UserCentral", 18},
    {"ShowIntroAnim", 20},
    {"use565", 21},
    {"autoLogIn", 22},
    {"OrderCache", 23},
    {"RememberAcctPW", 24},
    {"LoginServer", 25},
    {"BackupLoginServer", 26},
    {"AcctID", 27},
    {"AcctLastName", 28},
    {"AcctPassword", 29},
    {"NextLoginKey", 30},
    {"DefaultChar", 31},
    {"Mouse", 32},
    {"UseVerData", 33},
    {"ChestOpening", 34},
    {"JournalSaveFile", 35},
    {"JournalSaveUnicode", 36},
    {"NotorietyQuery", 37},
    {"UseCircleTrans", 38},
    {"CircleTransRadius", 39},
    {"CircleTransPos", 40},
    {"FilterPWOn", 41},
    {"Footsteps", 42},
    {"ShowTips", 43},
    {"LastTip", 44},
    {"CurrentVer", 45},
    {"BarkTimeModifier", 46},
    {"ScaleBarkTimes", 47},
    {"CombatHueColor", 48},
    {"FrameSkipping", 49},
    {"AllowPathfind", 50},
    {"HoldTabForCombat", 51},
    {"OffsetGumps", 52},
    {"AutoArrangeMinimized", 53},
    {"UnicodeSpeech", 54},
    {"AltKeyModNum", 55},
    {"Sound8Bit", 56},
    {"ReverseSpeakers", 57},
    {"ChatColorSelfText", 58},
    {"ChatColorSelfName", 59},
    {"ChatColorOpsText", 60},
    {"ChatColorOpsName", 61},
    {"ChatColorMutedText", 62},
    {"ChatColorMutedName", 63},
    {"ChatColorText", 64},
    {"ChatColorName", 65},
    {"ChatColorIgnored", 66},
    {"ChatColorMenuOption", 67},
    {"ChatColorInput", 68},
    {"ChatFontNumber", 69},
    {"BarkFontNumber", 70},
    {"ProfileColor1", 71},
    {"ProfileColor2", 72},
    {"HighlightColorInnocent", 73},
    {"HighlightColorFriend", 74},
    {"HighlightColorCanAttack", 75},
    {"HighlightColorCriminal", 76},
    {"HighlightColorEnemy", 77},
    {"HighlightColorMurderer", 78},
    {"AssumePlayAsGhost", 79},
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Cut(std::string_view v, size_t max) {
    return std::string(v.substr(0, max));
}

// Resolves a host name to an IPv4 address (host order); 0 when it cannot be resolved.
u32 ResolveHost(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || !result) return 0;
    u32 address = 0;
    if (result->ai_family == AF_INET && result->ai_addr) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
        address = ntohl(in->sin_addr.s_addr);
    }
    freeaddrinfo(result);
    return address;
}

LoginServerEntry ParseLoginServer(std::string_view value) {
    LoginServerEntry e;
    if (!ParseDottedAddress(value, e.address, e.port)) {
        e.hostName = Cut(value, kMaxPathOption);
        e.address = 0;
        e.port = 0;
    }
    return e;
}

}  // namespace

int FindConfigKey(std::string_view key) {
    for (const KeyEntry& k : kKeys) {
        if (EqualsNoCase(key, k.key)) return k.id;
    }
    return kCfgNotFound;
}

bool ParseSwitch(std::string_view v) {
    return EqualsNoCase(v, "on") || EqualsNoCase(v, "yes");
}

int ParseInteger(std::string_view v) {
    // Decimal like the runtime's conversion: leading spaces, a sign, digits up to the first
    // other character; no digits give 0. Values beyond int are clamped.
    size_t i = 0;
    while (i < v.size() && std::isspace(static_cast<unsigned char>(v[i])))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    long long n = 0;
    for (; i < v.size() && std::isdigit(static_cast<unsigned char>(v[i])); ++i) {
        n = n * 10 + (v[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

u32 ParseColour(std::string_view v) {
    if (v.size() >= 7 && v[0] == '#' && std::all_of(v.begin() + 1, v.begin() + 7, [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return static_cast<u32>(std::strtoul(std::string(v.substr(1, 6)).c_str(), nullptr, 16));
    }
    return static_cast<u32>(ParseInteger(v));
}

bool ParseDottedAddress(std::string_view v, u32& address, u16& port) {
    size_t i = 0;
    u32 groups[4] = {};
    for (int g = 0; g < 4; ++g) {
        size_t start = i;
        u32 n = 0;
        while (i < v.size() && i - start < 3 && std::isdigit(static_cast<unsigned char>(v[i]))) {
            n = n * 10 + static_cast<u32>(v[i] - '0');
            ++i;
        }
        if (i == start || n > 255) return false;
        if (i >= v.size() || v[i] != (g < 3 ? '.' : ',')) return false;
        ++i;
        groups[g] = n;
    }
    address = (groups[0] << 24) | (groups[1] << 16) | (groups[2] << 8) | groups[3];
    port = static_cast<u16>(ParseInteger(v.substr(i)));
    return true;
}

void ApplyConfigEntry(CClientApp& app, int id, std::string_view v, bool mainFile) {
    ClientOptions& o = app.options;
    switch (id) {
        case 0:
            o.cdRomDataPath = Cut(v, kMaxPathOption);
            break;
        case 1:
            o.cacheSize = ParseInteger(v);
            break;
        case 2:
            o.hdUsageMax = EqualsNoCase(v, "max");
            break;
        case 3:
            if (!v.empty()) app.playerName = Cut(v, kMaxTextOption);
            break;
        case 4:
            if (!v.empty()) o.password = Cut(UnscrambleText(v), kMaxTextOption);
            break;
        case 5:
            o.sound = ParseSwitch(v);
            break;
        case 6:
            o.soundVol = static_cast<u8>(ParseInteger(v));
            break;
        case 7:
            o.music = ParseSwitch(v);
            break;
        case 8:
            o.musicVol = static_cast<u8>(ParseInteger(v));
            break;
        case 9:
            o.obscenityFilter = ParseSwitch(v);
            break;
        case 11:
            if (!v.empty()) o.filterPassword = Cut(UnscrambleText(v), kMaxTextOption);
            break;
        case 12:
            if (EqualsNoCase(v, "gdi")) {
                o.pageFlip = false;
                o.pageFlipGdi = true;
            } else {
                o.pageFlip = ParseSwitch(v);
            }
            break;
        case 13:
            o.frameCounter = ParseSwitch(v);
            break;
        case 14:
            o.savePassword = ParseSwitch(v);
            break;
        case 15:
            o.fullScreen = ParseSwitch(v);
            break;
        case 17: {
            if (!ParseDottedAddress(v, o.editServerAddress, o.editServerPort)) {
                std::string_view host = v;
                o.editServerPort = 0;
                if (auto comma = v.find(','); comma != std::string_view::npos) {
                    host = v.substr(0, comma);
                    o.editServerPort = static_cast<u16>(ParseInteger(v.substr(comma + 1)));
                }
                o.editServerAddress = ResolveHost(std::string(host));
            }
            break;
        }
        case 18:
            if (!ParseDottedAddress(v, o.userCentralAddress, o.userCentralPort)) {
                o.userCentralAddress = 0;
                o.userCentralPort = 0;
            }
            break;
        case 20:
            o.showIntroAnim = ParseSwitch(v);
            break;
        case 21: {
            o.use565 = ParseSwitch(v);
            const u32 reset[6] = {10, 5, 0x7BDE, 0x739C, 0x3DEF, 0x781F};
            std::copy(std::begin(reset), std::end(reset), o.pixelFormatConstants);
            break;
        }
        case 22:
            o.autoLogIn = ParseSwitch(v);
            break;
        case 23: {
            o.orderCacheIdle = o.orderCacheStartup = o.orderCacheShutdown = false;
            size_t start = 0;
            while (start <= v.size()) {
                size_t comma = v.find(',', start);
                std::string_view word =
                    v.substr(start, comma == std::string_view::npos ? v.npos : comma - start);
                if (EqualsNoCase(word, "idle")) o.orderCacheIdle = true;
                if (EqualsNoCase(word, "startup")) o.orderCacheStartup = true;
                if (EqualsNoCase(word, "shutdown")) o.orderCacheShutdown = true;
                if (comma == std::string_view::npos) break;
                start = comma + 1;
            }
            break;
        }
        case 24:
            o.rememberAcctPW = ParseSwitch(v);
            break;
        case 25:
        case 26: {
            // Login servers come from login.cfg only.
            if (mainFile) break;
            auto& list = id == 25 ? o.loginServers : o.backupLoginServers;
            size_t max = id == 25 ? kMaxLoginServers : kMaxBackupLoginServers;
            if (list.size() >= max) break;  // a full list ignores further lines
            list.push_back(ParseLoginServer(v));
            if (id == 25 && o.selectedLoginServer < 0) o.selectedLoginServer = 0;
            break;
        }
        case 27:
            if (!v.empty()) o.acctId = Cut(v, kMaxTextOption);
            break;
        case 28:
            if (!v.empty()) o.acctLastName = Cut(v, kMaxTextOption);
            break;
        case 29:
            if (!v.empty()) o.acctPassword = Cut(UnscrambleText(v), kMaxTextOption);
            break;
        case 30:
            o.nextLoginKey = static_cast<u8>(ParseInteger(v));
            break;
        case 32:
            if (EqualsNoCase(v, "slow")) o.mouseMode = 0;
            if (EqualsNoCase(v, "fast")) o.mouseMode = 1;
            break;
        case 33:
            o.useVerData = ParseSwitch(v);
            break;
        case 34:
            o.chestOpening = ParseSwitch(v);
            break;
        case 35:
            o.journalSaveFile = Cut(v, kMaxPathOption);
            break;
        case 36:
            o.journalSaveUnicode = ParseSwitch(v) ? 1 : 0;
            break;
        case 37:
            o.notorietyQuery = ParseSwitch(v);
            break;
        case 38:
            o.useCircleTrans = ParseSwitch(v);
            break;
        case 39:
            o.circleTransRadius = ParseInteger(v);
            o.circleTransRadiusSet = true;
            break;
        case 40: {
            auto comma = v.find(',');
            o.circleTransX = ParseInteger(v.substr(0, comma));
            o.circleTransY =
                comma == std::string_view::npos ? 0 : ParseInteger(v.substr(comma + 1));
            o.circleTransPosSet = true;
            break;
        }
        case 41:
            if (ParseSwitch(v)) o.filterPWOn = true;
            break;
        case 42:
            o.footsteps = ParseSwitch(v);
            break;
        case 43:
            o.showTips = ParseSwitch(v);
            break;
        case 44:
            o.lastTip = ParseInteger(v);
            break;
        case 45:
            o.currentVer = ParseInteger(v);
            break;
        case 46:
            o.barkTimeModifier = ParseInteger(v);
            if (o.barkTimeModifier == 0) o.barkTimeModifier = 100;
            break;
        case 47:
            o.scaleBarkTimes = ParseSwitch(v);
            break;
        case 48:
            o.combatHueColor = ParseColour(v);
            break;
        case 49:
            o.frameSkipping = ParseSwitch(v);
            break;
        case 50:
            o.allowPathfind = ParseSwitch(v);
            break;
        case 51:
            o.holdTabForCombat = ParseSwitch(v);
            break;
        case 52:
            o.offsetGumps = ParseSwitch(v);
            break;
        case 53:
            o.autoArrangeMinimized = ParseSwitch(v);
            break;
        case 55:
            o.altKeyModNum = ParseInteger(v);
            break;
        case 56:
            o.sound8Bit = ParseSwitch(v);
            break;
        case 57:
            o.reverseSpeakers = ParseSwitch(v);
            break;
        case 69:
            o.chatFontNumber = ParseInteger(v);
            break;
        case 70:
            o.barkFontNumber = ParseInteger(v);
            break;
        case 71:
            o.profileColor1 = ParseColour(v);
            break;
        case 72:
            o.profileColor2 = ParseColour(v);
            break;
        case 79:
            o.assumePlayAsGhost = ParseSwitch(v);
            break;
        default:
            if (id >= 58 && id <= 68) {
                o.chatColors[id - 58] = ParseColour(v);
            } else if (id >= 73 && id <= 78) {
                o.highlightColors[id - 72] = ParseColour(v) | 1;
            }
            // 10, 16, 31, 54 and unknown ids: nothing.
            break;
    }
}

void ReadConfigText(CClientApp& app, std::string_view text, bool mainFile) {
    size_t pos = 0;
    while (pos < text.size()) {
        // One line: up to CR or LF; CR LF and LF CR count as one line end.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, std::min(end - pos, kMaxConfigLine));
        pos = end;
        if (pos < text.size()) {
            char first = text[pos++];
            if (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n') &&
                text[pos] != first) {
                ++pos;
            }
        }
        static constexpr std::string_view kKeySeparators = " \t\n\r\f=";
        static constexpr std::string_view kValueSeparators = " \t\n\r\f";
        size_t ks = line.find_first_not_of(kKeySeparators);
        if (ks == std::string_view::npos) continue;
        size_t ke = line.find_first_of(kKeySeparators, ks);
        if (ke == std::string_view::npos) ke = line.size();
        int id = FindConfigKey(line.substr(ks, ke - ks));
        if (id == kCfgNotFound) continue;
        // The key's own separator character is consumed with it; the value is then the
        // next token up to white space (so "Key = v" gives the value "=").
        size_t vs = ke < line.size() ? ke + 1 : ke;
        vs = line.find_first_not_of(kValueSeparators, vs);
        if (vs == std::string_view::npos) continue;
        size_t ve = line.find_first_of(kValueSeparators, vs);
        if (ve == std::string_view::npos) ve = line.size();
        ApplyConfigEntry(app, id, line.substr(vs, ve - vs), mainFile);
    }
}

bool ReadConfigFile(CClientApp& app, bool mainFile) {
    std::string text;
    if (ReadClientFile(app.MakeHDPath(mainFile ? "zq.cfg" : "login.cfg"), kMaxConfigFileBytes,
                       false, text, "its options keep their values") != ClientFileRead::kRead) {
        return false;
    }
    ReadConfigText(app, text, mainFile);
    return true;
}

void SaveConfigEntry(int) {}
