#include "tests/server/net/net_test_support.h"

#include <cstdio>
#include <cstring>

#include "core/cstr.h"
#include "core/protocol/packet_table.h"
#include "core/spatial_grid.h"
#include "server/net/local_connection.h"
#include "server/net/object_packets.h"

std::vector<u8> FromHex(const std::string& text) {
    std::vector<u8> out;
    unsigned value = 0;
    int digits = 0;
    for (char c : text) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (d < 0) continue;
        value = value * 16 + unsigned(d);
        if (++digits == 2) {
            out.push_back(u8(value));
            value = 0;
            digits = 0;
        }
    }
    return out;
}

std::string ToHex(const std::vector<u8>& bytes) {
    std::string out;
    char b[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        out += b;
    }
    return out;
}

std::vector<std::vector<u8>> SplitPackets(const std::vector<u8>& bytes) {
    std::vector<std::vector<u8>> out;
    size_t at = 0;
    while (at < bytes.size()) {
        const int length = PacketFramedLength(bytes.data() + at, bytes.size() - at);
        if (length <= 0 || at + size_t(length) > bytes.size()) break;
        out.emplace_back(bytes.begin() + long(at), bytes.begin() + long(at + size_t(length)));
        at += size_t(length);
    }
    return out;
}

std::string PacketIds(const std::vector<u8>& bytes) {
    std::vector<u8> ids;
    for (const auto& p : SplitPackets(bytes))
        ids.push_back(p[0]);
    return ToHex(ids);
}

void RecordingProtocolWorld::GameClock(int& h, int& m, int& p) {
    h = hour;
    m = minute;
    p = pulse;
}

void RecordingProtocolWorld::SeasonAndTemperature(const Location&, int& s, int& t) {
    s = season;
    t = temperature;
}

void RecordingProtocolWorld::StartAttack(CPlayer& player, CMobile& target, int flag) {
    attacks.push_back(std::to_string(player.GetSerial()) + " -> " +
                      std::to_string(target.GetSerial()) + ", " + std::to_string(flag));
}

FakePlayer::FakePlayer(std::string name, u32 accountKey) : name_(std::move(name)) {
    SetAccountKey(accountKey);
}

void FakePlayer::LogOut(int) {
    loggedIn = false;
    if (journal) journal->push_back("logout " + name_);
}

void FakePlayer::EnterWorld(PlayerConnection*) {
    loggedIn = true;
    if (journal) journal->push_back("enter " + name_);
}

int FakePlayer::WalkRequest(int direction, int sequence) {
    calls.push_back("walk " + std::to_string(direction) + " " + std::to_string(sequence));
    return 1;
}

int FakePlayer::SetWarMode(int flag) {
    calls.push_back("war " + std::to_string(flag));
    return CPlayer::SetWarMode(flag);
}

bool FakePlayer::Resurrect(int ask) {
    calls.push_back("resurrect " + std::to_string(ask));
    return resurrects;
}

FakePlayer* RecordingRegistry::Add(const std::string& name, u32 accountKey) {
    players.push_back(std::make_unique<FakePlayer>(name, accountKey));
    players.back()->journal = &journal;
    return players.back().get();
}

CPlayer* RecordingRegistry::CreatePlayer(const NewCharacter& request) {
    created.push_back(request);
    FakePlayer* p = Add(request.name, request.accountKey);
    p->SetCharacterKey(request.characterKey);
    return p;
}

CPlayer* RecordingRegistry::FindByNameAny(const char* name) {
    for (auto& p : players) {
        if (StrCompareNoCase(p->GetRealName(), name) == 0) return p.get();
    }
    return nullptr;
}

void RecordingRegistry::ListByAccountKey(u32 key, std::vector<CPlayer*>& out) {
    for (auto& p : players) {
        if (p->GetAccountKey() == key) out.push_back(p.get());
    }
}

void RecordingRegistry::CollectInRange(std::vector<CPlayer*>& out, const Location& at, int radius) {
    for (auto& p : players) {
        const Location& l = p->GetLocation();
        if (ChebyshevDistanceXY(l.x, l.y, at.x, at.y) <= radius) out.push_back(p.get());
    }
}

void RecordingRegistry::CollectOnline(std::vector<CPlayer*>& out) {
    for (auto& p : players)
        out.push_back(p.get());
}

void LinkTest::SetUp() {
    savedToServer_ = ClientToServerQueue;
    savedToClient_ = ServerToClientQueue;
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &toClient;
    savedRegistry_ = SetPlayerRegistry(&registry);
}

void LinkTest::TearDown() {
    DeleteAllSockets();
    ClientToServerQueue = savedToServer_;
    ServerToClientQueue = savedToClient_;
    SetPlayerRegistry(savedRegistry_);
}

void LinkTest::ClientSends(const std::vector<u8>& bytes) {
    toServer.Put(bytes.data(), s32(bytes.size()));
}

std::vector<u8> LinkTest::ClientReads(bool* closed) {
    std::vector<u8> out;
    std::vector<u8> buf(70000);
    if (closed) *closed = false;
    for (;;) {
        const s32 got = toClient.Get(buf.data(), s32(buf.size()));
        if (got < 0 && closed) *closed = true;
        if (got <= 0) break;
        out.insert(out.end(), buf.begin(), buf.begin() + got);
    }
    return out;
}

std::vector<u8> LinkTest::Packet(u8 id, size_t variableLength, const char* name) {
    const u16 word = PacketTableWord(id);
    const size_t length = (word & kVariableLength) ? variableLength : word;
    std::vector<u8> p(length, 0);
    p[0] = id;
    if (word & kVariableLength) {
        p[1] = u8(length >> 8);
        p[2] = u8(length);
    }
    if (id == 0x00 || id == 0x5D) std::memset(&p[1], 0xED, 4);
    if (name) std::memcpy(&p[id == 0x5D ? 5 : 10], name, std::strlen(name));
    return p;
}

void LinkTest::ServerPass() {
    LocalConnectionServices net;
    if (CUserSock* local = net.LocalUserSock()) {
        local->OnReadable();
        if (local->HasPendingOutput()) local->FlushSendQueue();
    }
}
