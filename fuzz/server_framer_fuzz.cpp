// Fuzz target: the bytes a client sends over the local link, into a CUserSock.
//
// Input: one mode byte, then the stream. Mode bit 0: the connection is already in game with a
// player; bit 1: that player is in edit mode; bits 2-7: the size of each client write (1-64
// bytes). The world is a recording registry of a few players. After every write the server
// makes its pass over the link as the main loop does; what comes back must be whole packets,
// and the connection's counters must stay inside its buffer. The in-game player stands in a
// small world beside a wolf and a deer, so that war mode (0x72) and attacks (0x05) reach the
// real combat rules; a few world pulses of fighting follow each write, their packets read
// back with the rest.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/chunk_queue.h"
#include "core/cstr.h"
#include "core/protocol/packet_table.h"
#include "platform/random.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "server/net/local_connection.h"
#include "server/net/protocol_packet_services.h"
#include "server/net/socket.h"
#include "server/rules/combat_observer.h"
#include "server/world/combat_lists.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_script_link.h"
#include "server/world/world_utilities.h"
#include "tests/server/world/delete_all_objects.h"

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

// The world the in-game player fights in: 64 x 64 tiles at (0, 0), made once, and the real
// packets of what happens there.
constexpr int kPulsesPerWrite = 8;
// Serials are issued afresh for every input: the two players, then the wolf and the deer (a
// mobile's serial is the object serial without bit 30).
constexpr u32 kWolfSerial = 3;
constexpr u32 kDeerSerial = 4;

// Counts the inputs in which a strike was decided, for the run's summary.
class StrikeWatch : public CombatObserver {
public:
    void OnStrike(const CMobile&, const CMobile&, int, int, int) override { struck = true; }
    void OnDamageRolled(const CMobile&, int) override {}
    void OnAbsorbed(const CMobile&, int, int, const Absorption&) override {}
    bool struck = false;
    int inputs = 0;
};
StrikeWatch g_strikes;

void MakeWorldOnce() {
    static bool made = false;
    if (made) return;
    made = true;
    static ProtocolPacketServices packets;
    SetPacketServices(&packets);
    // The world's own script link: a deleted object frees the variables a fight left on it.
    SetScriptObjectServices(&WorldScriptObjectServices());
    SetTriggerServices(&WorldScriptTriggerServices());
    g_sectorGrid.Build(0, 0, 64, 64);
    SetCombatObserver(&g_strikes);
}

CNPC* Creature(int x, int y, int body, int hits) {
    CNPC* npc = new CNPC;
    npc->SetBodyType(body);
    for (int stat = 0; stat < 3; ++stat)
        npc->SetRealStat(stat, 50);
    npc->SetMaxHits(hits);
    npc->SetCurHits(hits);
    npc->PlaceInWorldQuiet(Location(x, y, 0));
    return npc;
}

// The fighting the requests started goes on for a few pulses.
void RunPulses(s32& pulse) {
    for (int i = 0; i < kPulsesPerWrite; ++i) {
        SetWorldPulse(++pulse);
        g_mobileManager.CombatHeartBeat(pulse);
        RunAllCallbacks();
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
    // In game, war mode on, then attacks on the wolf and on the deer, and pings while the
    // fight goes on.
    for (u32 target : {kWolfSerial, kDeerSerial}) {
        std::vector<u8> fight = {0x21, 0x72, 0x01, 0x00, 0x32, 0x00,
                                 0x05, u8(target >> 24), u8(target >> 16), u8(target >> 8),
                                 u8(target)};
        for (int i = 0; i < 40; ++i)
            fight.insert(fight.end(), {0x73, u8(i)});
        emit(fight.data(), fight.size());
    }
}

extern "C" const char* ZqFuzzSummary() {
    static std::string line;
    line = std::to_string(g_strikes.inputs) + " inputs reached a strike";
    return line.c_str();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static ChunkQueue toServer;
    static ChunkQueue toClient;
    toServer.Reopen();
    toClient.Reopen();
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &toClient;
    MakeWorldOnce();
    platform::SeedRandom(static_cast<u32>(size));
    g_objectManager.SetSerialCounter(kFirstSerial);
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
        player->PlaceInWorldQuiet(Location(20, 20, 0));
    }
    Creature(21, 20, 225, 30);  // a wolf
    Creature(21, 21, 237, 20);  // a deer
    s32 pulse = 1000;
    const size_t step = 1 + (mode >> 2);
    for (size_t at = 1; at < size; at += step) {
        const size_t n = size - at < step ? size - at : step;
        toServer.Put(data + at, s32(n));
        if (CUserSock* local = net.LocalUserSock()) {
            local->OnReadable();
            if (local->received > kReceiveBufferSize) std::abort();
            if (local->HasPendingOutput()) local->FlushSendQueue();
        }
        RunPulses(pulse);
        if (CUserSock* local = net.LocalUserSock(); local && local->HasPendingOutput())
            local->FlushSendQueue();
        CheckAnswers(toClient);
    }
    g_strikes.inputs += g_strikes.struck;
    g_strikes.struck = false;
    // The creatures, their corpses and what the fight left go; the registry owns the players.
    DeleteAllObjects([](const CItem* item) { return item->IsPlayer(); });
    net.DestroyAllSockets();
    SetPlayerRegistry(nullptr);
    ClientToServerQueue = nullptr;
    ServerToClientQueue = nullptr;
    return 0;
}
