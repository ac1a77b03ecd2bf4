#pragma once
// Test doubles for the server's link: players that record their life cycle, a registry of
// them, and a fixture with a real queue pair standing for the built-in client's link.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/chunk_queue.h"
#include "core/cstr.h"
#include "server/net/socket.h"
#include "server/world/mobile.h"
#include "server/world/player_registry.h"

// Hex text ("53 02") to bytes.
std::vector<u8> FromHex(const std::string& text);
// Bytes to hex text, one space between bytes.
std::string ToHex(const std::vector<u8>& bytes);

class FakePlayer : public CPlayer {
public:
    explicit FakePlayer(std::string name, u32 accountKey = kLocalPeerAddress);
    const char* GetRealName() const override { return name_.c_str(); }
    bool IsLoggedIn() const override { return loggedIn; }
    void LogOut(int keep) override;
    void EnterWorld(CUserSock* connection) override;

    bool loggedIn = false;
    // Whether entering marks the connection as in game (the world entry's job).
    bool marksConnection = true;
    std::vector<std::string>* journal = nullptr;  // "enter NAME", "logout NAME"

private:
    std::string name_;
};

class RecordingRegistry : public CPlayerRegistry {
public:
    CPlayer* CreatePlayer(const NewCharacter& request) override;
    CPlayer* FindByNameAny(const char* name) override;
    void ListByAccountKey(u32 key, std::vector<CPlayer*>& out) override;
    void CollectInRange(std::vector<CPlayer*>& out, const Location& at, int radius) override;

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
