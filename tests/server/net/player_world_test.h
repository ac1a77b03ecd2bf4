#pragma once
// A small world with players on recording connections: requests go through the framer as a
// client sends them, and each player's client bytes are read back as packets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/protocol/packet_table.h"
#include "server/net/packet_framer.h"
#include "server/net/protocol_world_services.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/world_test_support.h"

// A serial as the hex of its four bytes.
inline std::string Serial(u32 serial) {
    return ToHex({u8(serial >> 24), u8(serial >> 16), u8(serial >> 8), u8(serial)});
}

// Ann stands at (20, 20) with a connection in game.
class PlayerWorldTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        savedRegistry_ = SetPlayerRegistry(&registry);
        savedWorld_ = SetProtocolWorldServices(&world);
        ann = Player("Ann", 20, 20);
        sock = Connect(ann);
    }
    void TearDown() override {
        DeleteAllSockets();
        SetProtocolWorldServices(savedWorld_);
        SetPlayerRegistry(savedRegistry_);
        for (auto& p : registry.players)
            p.release();  // world objects: the world's teardown deletes them
        WorldTest::TearDown();
    }
    FakePlayer* Player(const char* name, int x, int y) {
        FakePlayer* p = registry.Add(name);
        p->PlaceInWorld(Location(x, y, 0));
        p->calls.clear();  // the placement's own surroundings
        return p;
    }
    static ThrottledSock* Connect(FakePlayer* p) {
        ThrottledSock* s = new ThrottledSock;
        s->budget = 1 << 20;
        s->loggedIn = 1;
        LinkPlayerToSocket(p, s);
        return s;
    }
    // The packet as the client sends it: the id, then the fields (the length of a
    // variable-length id is filled in).
    static std::vector<u8> Request(const std::string& hex) {
        std::vector<u8> p = FromHex(hex);
        if (PacketTableIsVariable(p[0])) {
            p[1] = u8(p.size() >> 8);
            p[2] = u8(p.size());
        }
        return p;
    }
    // The packets the player's client has received since the last look.
    static std::vector<std::vector<u8>> Received(FakePlayer* player) {
        ThrottledSock* s = static_cast<ThrottledSock*>(player->GetConnection());
        s->FlushSendQueue();
        std::vector<u8> wire;
        wire.swap(s->wire);
        return SplitPackets(wire);
    }
    // Runs the request from `player` through the framer; answers the packets the player's
    // client reads.
    std::vector<std::vector<u8>> Run(const std::vector<u8>& bytes, FakePlayer* player = nullptr) {
        ThrottledSock* s = static_cast<ThrottledSock*>((player ? player : ann)->GetConnection());
        std::copy(bytes.begin(), bytes.end(), s->buffer);
        s->received = u32(bytes.size());
        FrameUserSockInput(*s);
        return Received(player ? player : ann);
    }
    std::string RunHex(const std::string& hex) {
        std::string out;
        for (const auto& p : Run(Request(hex)))
            out += (out.empty() ? "" : " | ") + ToHex(p);
        return out;
    }

    RecordingRegistry registry;
    RecordingProtocolWorld world;
    FakePlayer* ann = nullptr;
    ThrottledSock* sock = nullptr;

private:
    CPlayerRegistry* savedRegistry_ = nullptr;
    ProtocolWorldServices* savedWorld_ = nullptr;
};
