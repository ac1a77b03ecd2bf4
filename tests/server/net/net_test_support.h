#pragma once
// Test doubles for the server's link: players that record their life cycle, a registry of
// them, and a fixture with a real queue pair standing for the built-in client's link.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/chunk_queue.h"
#include "core/cstr.h"
#include "server/net/protocol_world_services.h"
#include "server/net/socket.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

// Hex text ("53 02") to bytes.
std::vector<u8> FromHex(const std::string& text);
// Bytes to hex text, one space between bytes.
std::string ToHex(const std::vector<u8>& bytes);

// A connection whose handle takes at most `budget` bytes in all (then "would block"), or
// fails when `fail` is set.
class ThrottledSock : public CUserSock {
public:
    ThrottledSock() : CUserSock(-1, 0x0A000001) { handle = 1000000; }
    ~ThrottledSock() override { handle = -1; }
    long SendRaw(const u8* data, size_t count) override {
        if (fail) return -1;
        const size_t n = std::min(count, budget);
        wire.insert(wire.end(), data, data + n);
        budget -= n;
        return long(n);
    }
    void Close() override {
        state |= 1;
        handle = -1;
    }
    // A handle that takes `refill` bytes per flush when set.
    void FlushSendQueue() override {
        if (refill) budget = refill;
        CUserSock::FlushSendQueue();
    }
    size_t refill = 0;
    size_t budget = 0;
    bool fail = false;
    std::vector<u8> wire;
};

// The packets in a stream of server bytes, framed by the packet table; a last packet that
// is cut short is left out.
std::vector<std::vector<u8>> SplitPackets(const std::vector<u8>& bytes);
// The ids of the packets in a stream, as hex ("1B 72 55").
std::string PacketIds(const std::vector<u8>& bytes);

class FakePlayer : public CPlayer {
public:
    explicit FakePlayer(std::string name, u32 accountKey = kLocalPeerAddress);
    const char* GetRealName() const override { return name_.c_str(); }
    bool IsLoggedIn() const override { return loggedIn; }
    void LogOut(int keep) override;
    void EnterWorld(PlayerConnection* connection) override;
    // The request hooks record into `calls`: "walk 3 9", "surroundings", "war 1",
    // "resurrect 1" (answering `resurrects`), "look 123". War mode is then set for real.
    int WalkRequest(int direction, int sequence) override;
    void SendSurroundings() override { calls.push_back("surroundings"); }
    int SetWarMode(int flag) override;
    bool Resurrect(int ask) override;
    void LookAtObject(u32 serial) override { calls.push_back("look " + std::to_string(serial)); }

    bool loggedIn = false;
    bool resurrects = true;
    std::vector<std::string> calls;
    std::vector<std::string>* journal = nullptr;  // "enter NAME", "logout NAME"

private:
    std::string name_;
};

// The world answers of the protocol, given by the test; the entry steps and attacks are
// recorded (`onStep` sees each step's name as it runs).
class RecordingProtocolWorld : public ProtocolWorldServices {
public:
    void GameClock(int& hour, int& minute, int& pulseInMinute) override;
    int Facing(const CMobile&) override { return facing; }
    void SeasonAndTemperature(const Location& at, int& season, int& temperature) override;
    void StartAttack(CPlayer& player, CMobile& target, int flag) override;
    void RestoreTrades(CPlayer&) override { Step("trades"); }
    void RestoreHeldObject(CPlayer&) override { Step("held"); }
    void UpdateGuardZone(CPlayer&) override { Step("guard zone"); }
    void ResendCombatTarget(CPlayer&) override { Step("combat target"); }

    int hour = 12, minute = 30, pulse = 7;
    int facing = 2;
    int season = 2, temperature = 30;
    std::vector<std::string> attacks;  // "player serial -> target serial, flag"
    std::function<void(const std::string&)> onStep;

private:
    void Step(const std::string& name) {
        if (onStep) onStep(name);
    }
};

class RecordingRegistry : public CPlayerRegistry {
public:
    CPlayer* CreatePlayer(const NewCharacter& request) override;
    CPlayer* FindByNameAny(const char* name) override;
    void ListByAccountKey(u32 key, std::vector<CPlayer*>& out) override;
    void CollectInRange(std::vector<CPlayer*>& out, const Location& at, int radius) override;
    // Every player of the list.
    void CollectOnline(std::vector<CPlayer*>& out) override;

    FakePlayer* Add(const std::string& name, u32 accountKey = kLocalPeerAddress);

    std::vector<std::unique_ptr<FakePlayer>> players;
    std::vector<NewCharacter> created;
    std::vector<std::string> journal;
};

// Installs a fresh queue pair as the process's link and a recording registry; at the end
// deletes every socket and puts the previous queues and registry back.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The client sends bytes.
    void ClientSends(const std::vector<u8>& bytes);
    // Everything the client can read now; `closed` tells whether the read ended with -1.
    std::vector<u8> ClientReads(bool* closed = nullptr);
    // A whole packet of the given id: the fixed length or `variableLength`, zero-filled after
    // the id, with the login marker for 0x00 and 0x5D, and `name` at byte 5 (0x5D) or 10 (0x00).
    static std::vector<u8> Packet(u8 id, size_t variableLength = 0, const char* name = nullptr);
    // One server pass over the local link as the main loop makes it.
    void ServerPass();

    ChunkQueue toServer;
    ChunkQueue toClient;
    RecordingRegistry registry;

private:
    ChunkQueue* savedToServer_ = nullptr;
    ChunkQueue* savedToClient_ = nullptr;
    CPlayerRegistry* savedRegistry_ = nullptr;
};
