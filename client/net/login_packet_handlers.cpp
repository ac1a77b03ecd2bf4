#include "client/net/login_packet_handlers.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "client/data/client_utils.h"
#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/client_packets.h"
#include "client/net/link_report.h"
#include "client/net/login_front_end.h"
#include "client/net/server_packet_dispatcher.h"
#include "core/byte_order.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"

namespace {

constexpr const char* kServersDown =
    "The Varnok Online servers are currently down, please try again in a few moments.";
constexpr const char* kCannotAttach =
    "The client could not attach to the game server. It must have been taken down, please "
    "wait a few minutes and try again.";
constexpr const char* kServerFull =
    "The server you have selected is full, sorry for the inconvenience.  Please use another "
    "server or try again later.";
constexpr const char* kSortTitle =
    "Sorted by time zone.  Best service likely with first selection.";
constexpr const char* kAccountWebSite = "the account pages of this server";

std::string FixedText(PacketReader& r, size_t width, size_t keep) {
    char text[64] = {};
    r.ReadFixedText(text, sizeof text, width);
    text[keep < sizeof text ? keep : sizeof text - 1] = 0;
    return text;
}

struct CharacterEntries {
    std::string names[ClientStateRecord::kSlots];
    std::string passwords[ClientStateRecord::kSlots];
};

void ReadCharacters(PacketReader& r, CharacterEntries& out) {
    for (int i = 0; i < ClientStateRecord::kSlots; ++i) {
        out.names[i] = FixedText(r, 30, 30);
        out.passwords[i] = FixedText(r, 30, 30);
    }
}

// Puts the five characters in the record's slots and the named ones on the list.
void StoreCharacters(const CharacterEntries& c, ClientStateRecord& s, LoginFrontEnd& fe) {
    for (int i = 0; i < ClientStateRecord::kSlots; ++i) {
        s.characters[i] = {c.names[i], c.passwords[i]};
        if (!c.names[i].empty()) fe.AddCharacter(c.names[i], c.passwords[i], i);
    }
}

struct LocationEntry {
    u8 index;
    std::string town;
    std::string place;
};

// The start-location list: its count byte, then the entries.
void ReadLocations(PacketReader& r, std::vector<LocationEntry>& out) {
    u8 count = 0;
    r.ReadByte(count);
    for (int i = 0; i < count && r.Ok(); ++i) {
        LocationEntry e;
        r.ReadByte(e.index);
        e.town = FixedText(r, 31, 30);
        e.place = FixedText(r, 31, 30);
        out.push_back(e);
    }
}

// Stores the start locations at the places their index bytes give (entries whose index
// lies past the list are left out), and answers where each town's group starts.
std::vector<size_t> StoreLocations(const std::vector<LocationEntry>& entries,
                                   std::vector<StartLocation>& list, bool keepEmptyTowns) {
    list.assign(entries.size(), StartLocation{});
    std::vector<size_t> starts;
    const std::string* previousTown = nullptr;
    for (size_t i = 0; i < entries.size(); ++i) {
        const LocationEntry& e = entries[i];
        if (!previousTown || *previousTown != e.town) starts.push_back(i);
        previousTown = &e.town;
        if (e.index >= entries.size()) {
            ReportLink("Start location index " + std::to_string(e.index) +
                       " lies past the list; left out.");
            continue;
        }
        if (!keepEmptyTowns && e.town.empty()) continue;
        list[e.index].text = e.town + ": " + e.place;
        list[e.index].id = e.index;
    }
    return starts;
}

}  // namespace

// --- Shared steps -------------------------------------------------------------------------

int TimeZoneDistance(int timeZone, int localOffset) {
    const int d1 = std::abs(timeZone - localOffset) & 0xFF;
    const int d2 = timeZone > 0 ? localOffset - timeZone + 24 : timeZone - localOffset + 24;
    return d1 < d2 ? d1 : d2;
}

std::vector<size_t> SortServersByTimeZone(const std::vector<int>& timeZones,
                                          const std::vector<bool>& excluded, int localOffset) {
    const size_t count = timeZones.size();
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    for (size_t j = 0; j + 1 < count; ++j) {
        size_t best = count;
        int bestDistance = 0;
        for (size_t k = j; k < count; ++k) {
            if (excluded[order[k]]) continue;
            const int d = TimeZoneDistance(timeZones[order[k]], localOffset);
            if (best == count || d < bestDistance) {
                best = k;
                bestDistance = d;
            }
        }
        if (best != count) std::swap(order[j], order[best]);
    }
    return order;
}

void ShuffleTownGroups(std::vector<StartLocation>& list, const std::vector<size_t>& groupStarts) {
    const size_t g = groupStarts.size();
    if (g == 0) return;
    std::vector<size_t> pool(g), order(g);
    for (size_t i = 0; i < g; ++i)
        pool[i] = i;
    for (size_t p = 0; p < g; ++p) {
        const size_t l = size_t(ClientRandomBelow(int(g - p)));
        order[p] = pool[l];
        if (l < g - p - 1) pool[l] = pool[g - p - 1];
    }
    std::vector<StartLocation> shuffled;
    shuffled.reserve(list.size());
    for (size_t k : order) {
        const size_t end = k + 1 < g ? groupStarts[k + 1] : list.size();
        for (size_t i = groupStarts[k]; i < end; ++i)
            shuffled.push_back(list[i]);
    }
    list.swap(shuffled);
}

void LoginPacketHandlers::Install(ServerPacketDispatcher& d) {
    using Method = void (LoginPacketHandlers::*)(const u8*, size_t);
    const struct {
        int id;
        Method method;
    } table[] = {
        {0x81, &LoginPacketHandlers::OnCharacterList},
        {0xA8, &LoginPacketHandlers::OnServerList},
        {0xA9, &LoginPacketHandlers::OnGameCharacterList},
        {0x82, &LoginPacketHandlers::OnLoginDenied},
        {0x85, &LoginPacketHandlers::OnDeleteRefused},
        {0x86, &LoginPacketHandlers::OnCharacterListUpdate},
        {0x8C, &LoginPacketHandlers::HandleServerRedirect},
        {0x53, &LoginPacketHandlers::OnLoginError},
        {0x1B, &LoginPacketHandlers::OnEnterWorld},
        {0x55, &LoginPacketHandlers::OnLoginComplete},
        {0x76, &LoginPacketHandlers::OnServerChange},
        {0xA5, &LoginPacketHandlers::OnOpenUrl},
        {0xA6, &LoginPacketHandlers::OnTipNotice},
        {0x5C, &LoginPacketHandlers::OnPacket5C},
        {0x97, &LoginPacketHandlers::OnForcedStep},
    };
    for (const auto& entry : table) {
        Method method = entry.method;
        d.SetSlot(entry.id, [this, method](const u8* packet, size_t length) {
            (this->*method)(packet, length);
        });
    }
}

void LoginPacketHandlers::HardwareProfileStep() {
    HardwareProfile fresh{};
    CollectHardwareProfile(fresh);
    fresh[0] = 0xA4;
    localTimeZoneOffset_ = s32(LoadBe32(fresh.data() + kHwTimeZoneBias)) / 60;
    if (link_.Hooks().HardwareProfileChanged(fresh)) {
        u8 buffer[kHardwareProfileSize];
        PacketWriter w(buffer, sizeof buffer);
        BuildHardwareProfilePacket(w, fresh.data());
        link_.Send(w);
    }
}

void LoginPacketHandlers::SetTitle(bool characterName) {
    const ClientStateRecord& s = link_.state;
    std::string title = characterName ? s.playerName : s.accountName + " " + s.accountLastName;
    if (link_.gameServer && !s.chosenServerName.empty()) {
        title += " (" + s.chosenServerName + ")";
    }
    link_.Hooks().SetWindowTitle(title);
}

void LoginPacketHandlers::ClearLoginScreens() {
    LoginFrontEnd& fe = link_.FrontEnd();
    fe.DeleteCurrentNotice();
    fe.DeleteCharacterList();
    fe.HideAccountLogin();
}

void LoginPacketHandlers::ServersDown(bool centred) {
    LoginFrontEnd& fe = link_.FrontEnd();
    fe.DeleteCurrentNotice();
    if (fe.HasAccountLogin()) {
        fe.HideAccountLogin();
        LoginNotice notice;
        notice.text = kServersDown;
        notice.owner = NoticeOwner::kAccountLogin;
        notice.centred = centred;
        notice.button = !centred;
        fe.ShowNotice(notice);
    }
    link_.CloseConnection();
}

void LoginPacketHandlers::ServerChoiceList(int art, bool fromCharacterList) {
    std::vector<ServerListEntry>& servers = link_.state.servers;
    std::vector<int> zones;
    std::vector<bool> excluded;
    const bool namedZones = fromCharacterList && !servers.empty() && !servers[0].name.empty() &&
                            std::isdigit(u8(servers[0].name.back()));
    for (ServerListEntry& s : servers) {
        int zone = s.timeZone;
        if (namedZones) {
            // "<name> <zone>": the number after the last space; a name without one keeps
            // its whole text and the zone 0.
            const size_t space = s.name.rfind(' ');
            zone = space == std::string::npos ? 0 : std::atoi(s.name.c_str() + space + 1);
            if (space != std::string::npos) s.name.resize(space);
        }
        zones.push_back(zone);
        excluded.push_back(!fromCharacterList && s.timeZone == 50);
    }
    std::vector<ServerChoiceItem> items;
    for (size_t i : SortServersByTimeZone(zones, excluded, localTimeZoneOffset_)) {
        const ServerListEntry& s = servers[i];
        ServerChoiceItem item;
        if (s.name.empty()) {
            item = {s.id, "Unknown Server", 0};
        } else if ((s.id & 0xFF) >= 128) {
            item = {256 - (s.id & 0xFF), s.name, 946};
        } else {
            item = {s.id, s.name, 0};
        }
        items.push_back(item);
    }
    link_.FrontEnd().ShowServerChoice(kSortTitle, art, 205, items);
}

// --- Handlers -----------------------------------------------------------------------------

void LoginPacketHandlers::OnCharacterList(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 count = 0, key = 0;
    r.ReadByte(count);
    r.ReadByte(key);
    CharacterEntries characters;
    ReadCharacters(r, characters);
    u8 serverByte = 0;
    r.ReadByte(serverByte);
    // The count is a signed byte: a negative one lists nothing.
    const int serverCount = s8(serverByte) > 0 ? s8(serverByte) : 0;
    std::vector<ServerListEntry> servers;
    for (int i = 0; i < serverCount && r.Ok(); ++i) {
        u8 id = 0;
        r.ReadByte(id);
        ServerListEntry s;
        s.id = id;
        s.name = FixedText(r, 16, 15);
        servers.push_back(s);
    }
    std::vector<LocationEntry> locations;
    ReadLocations(r, locations);
    if (!r.Ok()) return link_.RefusePacket(r);

    ClientStateRecord& s = link_.state;
    LoginFrontEnd& fe = link_.FrontEnd();
    const bool onGameServer = link_.gameServer;
    const bool edit = ClientLink::EditServerSet() || onGameServer;
    if (!onGameServer) HardwareProfileStep();
    SetTitle(false);
    if (edit) {
        fe.CreateCharacterList();
        s.characterCount = count;
    }
    if (!onGameServer) s.nextLoginKey = key;
    if (edit) StoreCharacters(characters, s, fe);
    if (serverCount == 0 && !edit) return ServersDown(true);
    if (serverCount > 0 && !onGameServer) {
        s.servers.clear();
        for (const ServerListEntry& e : servers) {
            if (!e.name.empty()) s.servers.push_back(e);
        }
    }
    if (!locations.empty() && !onGameServer) {
        const std::vector<size_t> starts = StoreLocations(locations, s.startLocations, false);
        ShuffleTownGroups(s.startLocations, starts);
    }
    ClearLoginScreens();
    if (edit) {
        fe.ShowCharacterList();
    } else {
        ServerChoiceList(1226, true);
    }
    if (fe.HasCharacterList()) fe.CharacterListFieldEnter();
}

void LoginPacketHandlers::OnServerList(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 key = 0;
    u16 count16 = 0;
    r.ReadByte(key);
    r.ReadShort(count16);
    const int count = s8(u8(count16)) > 0 ? s8(u8(count16)) : 0;
    std::vector<ServerListEntry> servers;
    for (int i = 0; i < count && r.Ok(); ++i) {
        ServerListEntry e;
        r.ReadShort(e.id);
        e.name = FixedText(r, 32, 15);
        r.ReadByte(e.percentFull);
        r.ReadByte(e.timeZone);
        r.ReadLong(e.address);
        servers.push_back(e);
    }
    if (!r.Ok()) return link_.RefusePacket(r);

    HardwareProfileStep();
    SetTitle(false);
    link_.state.nextLoginKey = key;
    if (count == 0) return ServersDown(false);
    link_.state.servers.clear();
    for (const ServerListEntry& e : servers) {
        if (!e.name.empty()) link_.state.servers.push_back(e);
    }
    LoginFrontEnd& fe = link_.FrontEnd();
    ClearLoginScreens();
    ServerChoiceList(1228, false);
    if (fe.HasCharacterList()) fe.CharacterListFieldEnter();
}

void LoginPacketHandlers::OnGameCharacterList(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 count = 0;
    r.ReadByte(count);
    CharacterEntries characters;
    ReadCharacters(r, characters);
    std::vector<LocationEntry> locations;
    ReadLocations(r, locations);
    if (!r.Ok()) return link_.RefusePacket(r);

    ClientStateRecord& s = link_.state;
    LoginFrontEnd& fe = link_.FrontEnd();
    SetTitle(false);
    fe.CreateCharacterList();
    s.characterCount = count;
    StoreCharacters(characters, s, fe);
    const std::vector<size_t> starts = StoreLocations(locations, s.startLocations, true);
    ShuffleTownGroups(s.startLocations, starts);
    ClearLoginScreens();
    fe.ShowCharacterList();
}

void LoginPacketHandlers::OnLoginDenied(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 reason = 0;
    if (!r.ReadByte(reason)) return link_.RefusePacket(r);
    LoginFrontEnd& fe = link_.FrontEnd();
    fe.DeleteCurrentNotice();
    if (reason == 254) {
        // Quietly: the client ends by its normal quit.
        link_.Hooks().QuitClient();
        return;
    }
    LoginNotice notice;
    notice.owner = NoticeOwner::kAccountLogin;
    switch (reason) {
        case 0:
            notice.text =
                "This account doesn't exist. If you just created or updated your account on "
                "the web site, it may take a few minutes to be transmitted to Calder.";
            break;
        case 1:
            notice.text = "Someone is already using this account.";
            break;
        case 2:
            notice.text = std::string("Your account has been blocked. Please visit ") +
                          kAccountWebSite + " for information on reactivating your account.";
            break;
        case 3:
            notice.text =
                "Your account credentials are invalid. Check your user ID and password and try "
                "again.";
            break;
        default:
            notice.text =
                "There is some problem communicating with Calder. Please restart Varnok Online "
                "and try again.";
            notice.value = 1;
            break;
    }
    fe.ShowNotice(notice);
}

void LoginPacketHandlers::OnDeleteRefused(const u8* packet, size_t length) {
    LoginFrontEnd& fe = link_.FrontEnd();
    if (!fe.HasCharacterList()) return;
    PacketReader r(packet, length, 1);
    u8 reason = 0;
    if (!r.ReadByte(reason)) return link_.RefusePacket(r);
    static const char* const kTexts[] = {
        "That character password is invalid.",
        "That character does not exist.",
        "That character is being played right now.",
        "That character is not old enough to delete. The character must be 7 days old before "
        "it can be deleted.",
        "That character is currently queued for backup and cannot be deleted.",
    };
    fe.DeleteCurrentNotice();
    LoginNotice notice;
    notice.owner = NoticeOwner::kCharacterList;
    notice.text = reason < 5 ? kTexts[reason] : "Couldn't carry out your request.";
    fe.ShowNotice(notice);
}

void LoginPacketHandlers::OnCharacterListUpdate(const u8* packet, size_t length) {
    LoginFrontEnd& fe = link_.FrontEnd();
    if (!fe.HasCharacterList()) return;
    PacketReader r(packet, length, 3);
    u8 count = 0;
    r.ReadByte(count);
    CharacterEntries characters;
    ReadCharacters(r, characters);
    if (!r.Ok()) return link_.RefusePacket(r);
    ClientStateRecord& s = link_.state;
    for (int i = 0; i < ClientStateRecord::kSlots; ++i) {
        fe.RemoveCharacter(i);
        s.characters[i] = {};
    }
    s.characterCount = count;
    StoreCharacters(characters, s, fe);
    fe.DeleteCurrentNotice();
    fe.SetCharacterListVisible();
}

void LoginPacketHandlers::HandleServerRedirect(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 address = 0, key = 0;
    u16 port = 0;
    r.ReadLong(address);
    r.ReadShort(port);
    r.ReadLong(key);
    if (!r.Ok()) return link_.RefusePacket(r);
    link_.relayKey = key;
    link_.Stream().connectionKey = key;
    LoginFrontEnd& fe = link_.FrontEnd();
    if (address == 0) {
        fe.DeleteCurrentNotice();
        LoginNotice notice;
        notice.text = kServerFull;
        notice.owner = NoticeOwner::kMainMenu;
        notice.centred = true;
        fe.ShowNotice(notice);
        link_.gameServer = false;
        link_.CloseConnection();
        return;
    }
    link_.Hooks().SetWindowTitle("Connecting...");
    if (address != link_.Connection().PeerAddress()) {
        std::unique_ptr<ClientConnection> next = link_.NewConnection();
        bool connected = false;
        for (int attempt = 0; attempt < 3 && !connected; ++attempt) {
            connected = next->Connect(address, port);
            if (!connected) {
                ReportLink("Connecting to the game server failed (attempt " +
                           std::to_string(attempt + 1) + ").");
            }
        }
        if (!connected) {
            fe.DeleteCurrentNotice();
            LoginNotice notice;
            notice.text = kCannotAttach;
            notice.owner = NoticeOwner::kAccountLogin;
            notice.value = 1;
            fe.ShowNotice(notice);
            // The old connection may be framing this very packet: it is retired, not freed.
            link_.Connection().Close();
            link_.ReplaceConnection(link_.NewConnection(), false);
            link_.connectionOpen = false;
            link_.gameServer = false;
            return;
        }
        link_.Connection().Close();
        link_.ReplaceConnection(std::move(next), true);
    }
    u8 buffer[65];
    PacketWriter w(buffer, sizeof buffer);
    BuildGameLoginPacket(w, key, link_.state.accountName, link_.state.accountPassword);
    link_.Send(w);
    link_.gameServer = true;
    if (!link_.Stream().compression) {
        link_.Stream().compression = true;
        link_.Stream().decoder.Reset();
        link_.Stream().decodedCount = 0;
    }
}

void LoginPacketHandlers::OnLoginError(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 code = 0;
    if (!r.ReadByte(code)) return link_.RefusePacket(r);
    LoginFrontEnd& fe = link_.FrontEnd();
    fe.DeleteCurrentNotice();
    const bool list = fe.HasCharacterList();
    LoginNotice notice;
    notice.owner = list ? NoticeOwner::kCharacterList : NoticeOwner::kNone;
    switch (code) {
        case 0:
            notice.text =
                list ? "Incorrect password." : "You entered an incorrect password.  Closing...";
            notice.value = list ? 0 : 1;
            break;
        case 1:
            if (!list) {
                // Ends the client by its normal quit: the server shuts down in order.
                link_.Hooks().ShowMessage("Character does not exist.\n Closing...",
                                          "Access Denied!");
                link_.Hooks().QuitClient();
                return;
            }
            notice.text = "This character does not exist anymore.  You will have to recreate it.";
            fe.RemoveCharacter(link_.state.chosenSlot);
            if (link_.state.chosenSlot > 0) --link_.state.chosenSlot;
            break;
        case 2:
            notice.text = "This character already exists.\nPlaying...";
            break;
        case 5:
            notice.text =
                "Another character from this account is currently online in this world.  You "
                "must either log in as that character or wait for it to time out.";
            break;
        case 6:
            notice.text =
                "An error has occurred in the synchronization between the login servers and "
                "this world.  Please close your client and try again.";
            break;
        case 7:
            notice.text =
                "You have been idle for too long.  If you do not do anything in the next "
                "minute, you will be logged out.";
            break;
        default:
            notice.text = kCannotAttach;
            if (!list) notice.owner = NoticeOwner::kAccountLogin;
            break;
    }
    fe.ShowNotice(notice);
}

void LoginPacketHandlers::OnEnterWorld(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    EnterWorldInfo info;
    u32 unused = 0;
    r.ReadLong(info.serial);
    r.ReadLong(unused);
    r.ReadShort(info.body);
    r.ReadShort(info.x);
    r.ReadShort(info.y);
    r.ReadShort(info.z);
    r.ReadByte(info.direction);
    r.ReadByte(info.map);
    r.ReadLong(unused);
    for (u16& b : info.bounds)
        r.ReadShort(b);
    if (!r.Ok()) return link_.RefusePacket(r);

    link_.DeletePreviousConnection();
    SetTitle(true);
    link_.Hooks().EnterWorld(info);
    LoginFrontEnd& fe = link_.FrontEnd();
    fe.DeleteCurrentNotice();
    fe.DeleteCharacterList();
    fe.DeleteCharacterCreation();
    link_.Hooks().SetInWorld(true);
    if (link_.state.showTips) {
        u8 buffer[4];
        PacketWriter w(buffer, sizeof buffer);
        BuildTipRequestPacket(w, u16(link_.state.lastTip), 1);
        link_.Send(w);
    }
}

void LoginPacketHandlers::OnLoginComplete(const u8*, size_t) {
    FinishLogin();
}

void LoginPacketHandlers::FinishLogin() {
    link_.Hooks().SetInGame(true);
    link_.Hooks().FinishLogin(link_.state.chosenSlot);
}

void LoginPacketHandlers::OnServerChange(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u16 unused = 0, bounds[4] = {};
    u8 map = 0;
    for (int i = 0; i < 3; ++i)
        r.ReadShort(unused);
    r.ReadByte(map);
    for (u16& b : bounds)
        r.ReadShort(b);
    if (!r.Ok()) return link_.RefusePacket(r);
    link_.Hooks().ServerChange(bounds, map);
    link_.Hooks().SetInWorld(true);
}

void LoginPacketHandlers::OnOpenUrl(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    const u8* text = nullptr;
    const size_t size = r.Remaining();
    r.ReadFixedBytes(text, size);
    std::string url(reinterpret_cast<const char*>(text), size);
    url.resize(std::strlen(url.c_str()));
    link_.Hooks().OpenUrl(url);
}

void LoginPacketHandlers::OnTipNotice(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 kind = 0;
    u32 number = 0;
    u16 textLength = 0;
    const u8* text = nullptr;
    r.ReadByte(kind);
    r.ReadLong(number);
    r.ReadShort(textLength);
    r.ReadFixedBytes(text, textLength);
    if (!r.Ok()) return link_.RefusePacket(r);
    std::string body(reinterpret_cast<const char*>(text), textLength);
    body.resize(std::strlen(body.c_str()));
    for (char& c : body) {
        if (c == '\r') c = '\n';
    }
    ClientStateRecord& s = link_.state;
    if (!(kind == 1 && s64(number) <= s64(s.currentVer))) link_.Hooks().ShowTip(kind, number, body);
    if (kind == 0) s.lastTip = int(number);
    if (kind == 1) s.currentVer = int(number);
}

void LoginPacketHandlers::OnPacket5C(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 ignored = 0;
    if (!r.ReadByte(ignored)) link_.RefusePacket(r);
}

void LoginPacketHandlers::OnForcedStep(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 direction = 0;
    if (!r.ReadByte(direction)) return link_.RefusePacket(r);
    link_.Hooks().ServerStep(direction);
}
