// Fuzz target: the bytes a client sends over the local link, into a CUserSock.
//
// Input: one mode byte, then the stream. Mode bit 0: the connection is already in game with a
// player; bit 1: that player is in edit mode; bits 2-7: the size of each client write (1-64
// bytes). The world is a recording registry of a few players. After every write the server
// makes its pass over the link as the main loop does; what comes back must be whole packets,
// and the connection's counters must stay inside its buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/chunk_queue.h"
#include "core/cstr.h"
#include "core/protocol/packet_table.h"
#include "server/net/local_connection.h"
#include "server/net/socket.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

class FuzzPlayer : public CPlayer {
public:
    explicit FuzzPlayer(const char* name) : name_(name) { SetAccountKey(kLocalPeerAddress); }
    const char* GetRealName() const override { return name_.c_str(); }
    bool IsLoggedIn() const override { return inGame_; }
    void LogOut(int) override { inGame_ = false; }
    void EnterWorld(PlayerConnection* connection) override {
        inGame_ = true;
        static_cast<CUserSock*>(connection)->loggedIn = 1;
    }

private:
    std::string name_;
    bool inGame_ = false;
};

class FuzzRegistry : public CPlayerRegistry {
public:
    CPlayer* CreatePlayer(const NewCharacter& request) override {
        if (players.size() >= 8) return nullptr;
        players.push_back(std::make_unique<FuzzPlayer>(request.name));
        return players.back().get();
    }
    CPlayer* FindByNameAny(const char* name) override {
        for (auto& p : players) {
            if (StrCompareNoCase(p->GetRealName(), name) == 0) return p.get();
        }
        return nullptr;
    }
    void ListByAccountKey(u32 key, std::vector<CPlayer*>& out) override {
        for (auto& p : players) {
            if (p->GetAccountKey() == key) out.push_back(p.get());
        }
    }
    std::vector<std::unique_ptr<FuzzPlayer>> players;
};

// Every answer the client reads must be a run of whole packets.
void CheckAnswers(ChunkQueue& toClient) {
    static std::vector<u8> buf(70000);
    for (;;) {
        const s32 got = toClient.Get(buf.data(), s32(buf.size()));
        if (got <= 0) return;
        size_t at = 0;
        while (at < size_t(got)) {
            const int length = PacketFramedLength(buf.data() + at, size_t(got) - at);
            if (length <= 0 || at + size_t(length) > size_t(got)) std::abort();
            at += size_t(length);
        }
    }
}

std::vector<u8> Packet(u8 id, const char* name) {
    std::vector<u8> p(PacketTableWord(id), 0);
    p[0] = id;
    if (id == 0x00 || id == 0x5D) std::memset(&p[1], 0xED, 4);
    if (name) std::memcpy(&p[id == 0x5D ? 5 : 10], name, std::strlen(name));
    return p;
}

// The states the death screen's answer (0x2C) meets an in-game player in, picked by mode
// bits 2-3 (which also size the writes): 0 living, 1 a ghost frozen at its death, 2 a ghost
// walking free, 3 a ghost manifesting in war mode.
void SetDeathState(CPlayer& player, int state) {
    if (state == 0) return;
    player.SetBodyType(kGhostBodies[0]);
    player.SetMobFlag(kMobFrozen, state == 1);
    if (state == 3) {
        player.SetManifesting(true);
        player.SetStatusFlag(kMobileFighting);
    }
}

}  // namespace

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    // The death screen's answers in game in each death state (bits 2-3).
    for (u8 state = 0; state < 4; ++state) {
        const std::vector<u8> death = {u8(0x01 | state << 2), 0x2C, 0x01, 0x2C, 0x00,
                                       0x72,                  0x00, 0x00, 0x32, 0x00};
        emit(death.data(), death.size());
    }
    std::vector<u8> login = {0x10};
    for (const auto& p : {Packet(0x80, nullptr), Packet(0x5D, "Ann"), Packet(0x00, "Cy"),
                          Packet(0x5D, "ann"), Packet(0x73, nullptr), Packet(0x02, nullptr)})
        login.insert(login.end(), p.begin(), p.end());
    emit(login.data(), login.size());
    const std::vector<u8> inGame = {0x07, 0x73, 0x00, 0x02, 0x01, 0x05, 0x03, 0x00, 0x08, 0x00,
                                    0x00, 0x22, 0x00, 0x00, 0x52, 0x00, 0x05, 0xA0, 0x00, 0x01,
                                    0x1D, 0x40, 0x00, 0x00, 0x01, 0xB6, 0x03, 0x00, 0x02};
    emit(inGame.data(), inGame.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static ChunkQueue toServer;
    static ChunkQueue toClient;
    toServer.Reopen();
    toClient.Reopen();
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &toClient;
    FuzzRegistry registry;
    registry.players.push_back(std::make_unique<FuzzPlayer>("Ann"));
    registry.players.push_back(std::make_unique<FuzzPlayer>("Bo"));
    SetPlayerRegistry(&registry);

    const u8 mode = data[0];
    LocalConnectionServices net;
    net.CreateLocalUserSock();
    if (mode & 1) {
        FuzzPlayer* player = registry.players[0].get();
        LinkPlayerToSocket(player, LocalUserSock);
        player->EnterWorld(LocalUserSock);
        if (mode & 2) player->SetFlagWord(kPlayerEditing);
        SetDeathState(*player, mode >> 2 & 3);
    }
    const size_t step = 1 + (mode >> 2);
    for (size_t at = 1; at < size; at += step) {
        const size_t n = size - at < step ? size - at : step;
        toServer.Put(data + at, s32(n));
        if (CUserSock* local = net.LocalUserSock()) {
            local->OnReadable();
            if (local->received > kReceiveBufferSize) std::abort();
            if (local->HasPendingOutput()) local->FlushSendQueue();
        }
        CheckAnswers(toClient);
    }
    net.DestroyAllSockets();
    SetPlayerRegistry(nullptr);
    ClientToServerQueue = nullptr;
    ServerToClientQueue = nullptr;
    return 0;
}
