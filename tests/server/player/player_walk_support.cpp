#include "tests/server/player/player_walk_support.h"

#include <algorithm>
#include <cstdio>

#include "core/protocol/packet_table.h"
#include "server/net/socket.h"
#include "server/world/player_registry.h"
#include "tests/server/net/packet_test_support.h"
#include "server/world/npc.h"

std::string Received::Ids(const std::vector<u8>& skip) const {
    std::vector<u8> ids;
    for (const auto& p : packets)
        if (std::find(skip.begin(), skip.end(), p[0]) == skip.end()) ids.push_back(p[0]);
    return ToHex(ids);
}

std::vector<std::vector<u8>> Received::Of(u8 id) const {
    std::vector<std::vector<u8>> out;
    for (const auto& p : packets)
        if (p[0] == id) out.push_back(p);
    return out;
}

std::vector<std::string> Received::Messages() const {
    std::vector<std::string> out;
    for (const auto& p : Of(0x1C)) {
        const TextMessageFields f = ReadTextMessage(p);
        EXPECT_TRUE(f.ok) << ToHex(p);
        if (f.ok) out.push_back(f.text);
    }
    return out;
}

MoveAck ReadMoveAck(const std::vector<u8>& packet) {
    PacketReader r(packet.data(), packet.size(), 1);
    u8 sequence = 0, notoriety = 0;
    r.ReadByte(sequence);
    r.ReadByte(notoriety);
    EXPECT_TRUE(r.Ok() && r.Id() == 0x22) << ToHex(packet);
    return MoveAck{sequence, notoriety};
}

MoveReject ReadMoveReject(const std::vector<u8>& packet) {
    PacketReader r(packet.data(), packet.size(), 1);
    u8 sequence = 0, facing = 0, z = 0;
    u16 x = 0, y = 0;
    r.ReadByte(sequence);
    r.ReadShort(x);
    r.ReadShort(y);
    r.ReadByte(facing);
    r.ReadByte(z);
    EXPECT_TRUE(r.Ok() && r.Id() == 0x21) << ToHex(packet);
    return MoveReject{sequence, x, y, facing, static_cast<s8>(z)};
}

u32 ReadSerial(const std::vector<u8>& packet) {
    const bool variable = PacketTableIsVariable(packet[0]);
    PacketReader r(packet.data(), packet.size(), variable ? 3 : 1);
    u32 serial = 0;
    r.ReadLong(serial);
    EXPECT_TRUE(r.Ok()) << ToHex(packet);
    return serial & 0x7FFFFFFF;
}

void WalkWorldTest::SetUp() {
    WorldTest::SetUp();
    SetPacketServices(&real);
    SetWorldPulse(100000);
}

void WalkWorldTest::TearDown() {
    DeleteAllSockets();
    SetWorldPulse(0);
    WorldTest::TearDown();
}

CPlayer* WalkWorldTest::NewPlayer(int x, int y, int z, int facing) {
    auto* p = new CPlayer;
    p->SetBodyType(400);
    for (int stat = 0; stat < 3; ++stat)
        p->SetRealStat(stat, 50);
    p->SetMaxHits(50);
    p->SetCurHits(50);
    p->SetMaxFatigue(50);
    p->SetCurFatigue(50);
    p->SetDirection(facing);
    auto* sock = new ThrottledSock;
    sock->budget = 1 << 24;
    sock->loggedIn = 1;
    LinkPlayerToSocket(p, sock);
    p->PlaceInWorldQuiet(Location(x, y, z));
    players.push_back(p);
    Got(p);
    return p;
}

Received ReceivedBy(CPlayer* player) {
    auto* sock = static_cast<ThrottledSock*>(player->GetConnection());
    sock->FlushSendQueue();
    std::vector<u8> wire;
    wire.swap(sock->wire);
    return Received{SplitPackets(wire)};
}

Received WalkWorldTest::Got(CPlayer* player) {
    return ReceivedBy(player);
}

void WalkWorldTest::DropAll() {
    for (CPlayer* p : players)
        if (FindLivePlayerBySerial(p->GetSerial()) == p) Got(p);
}

int WalkWorldTest::Request(CPlayer* player, int direction, int sequence, s32 pulse) {
    SetWorldPulse(pulse);
    return player->WalkRequest(direction, sequence);
}

CNPC* WalkWorldTest::NewNpc(int x, int y, int z) {
    auto* n = new CNPC;
    for (int stat = 0; stat < 3; ++stat)
        n->SetRealStat(stat, 50);
    n->SetMaxFatigue(50);
    n->SetCurFatigue(50);
    n->SetMaxHits(50);
    n->SetCurHits(50);
    n->PlaceInWorldQuiet(Location(x, y, z));
    return n;
}

void WalkWorldTest::Destroy(CItem* object) {
    // Forgotten first: DropAll must not look at a player that is gone.
    players.erase(std::remove(players.begin(), players.end(), object), players.end());
    object->SetStatus(object->GetStatus() | kStatusNoTriggers);
    delete object;
}

std::vector<u32> WalkWorldTest::Serials(std::initializer_list<CPlayer*> list) {
    std::vector<u32> out;
    for (CPlayer* p : list)
        out.push_back(p->GetSerial());
    std::sort(out.begin(), out.end());
    return out;
}

CPlayer* ConnectedCharacter(const char* name, const Location& at) {
    NewCharacter request;
    std::snprintf(request.name, sizeof request.name, "%s", name);
    request.x = static_cast<u16>(at.x);
    request.y = static_cast<u16>(at.y);
    request.z = static_cast<s8>(at.z);
    request.strength = request.dexterity = request.intelligence = 30;
    CPlayer* p = GetPlayerRegistry().CreatePlayer(request);
    auto* sock = new ThrottledSock;
    sock->budget = 1 << 26;
    sock->loggedIn = 1;
    LinkPlayerToSocket(p, sock);
    p->RemoveFromWorldQuiet();
    p->PlaceInWorld(at);
    return p;
}
