#pragma once
// A client world for walking: flat land of one height around the player, an open link whose
// sent bytes the test reads, and the walk queue, its state and the path search at rest.
#include <string>
#include <vector>

#include "client/net/movement_packet_handlers.h"
#include "client/world/path_search.h"
#include "client/world/walk_queue.h"
#include "client/world/world_effects.h"
#include "tests/client/net/link_fixture.h"
#include "tests/client/world/world_fixture.h"

// The hooks of the running client's walk: the player's start cell follows the queue's step.
class WalkHooks : public WorldHooks {
public:
    int PlayerStepFrames() override { return TheWalkQueue().stepFrames; }
    void ResetWalkQueue() override {
        Record("ResetWalkQueue");
        TheWalkQueue().Reset(-1, -1, -1, -1);
    }
};

// One packet the client sent: its id and the bytes after it.
struct SentPacket {
    u8 id;
    Bytes body;
};

class WalkFixture : public WorldFixture {
protected:
    static constexpr int kStaticBlocker = 0x100;  // impassable, 20 high
    static constexpr int kLandGraphic = 3;

    WalkFixture() {
        SetWorldHooks(&walkHooks);
        SetWorldEffects(&effects);
        SetStatic(kStaticBlocker, kClientTileImpassable, 20);
        net.link.OpenLocalConnection();
        CWalkQueue& q = TheWalkQueue();
        q.Clear();
        q.following = 0;
        q.link = &net.link;
        TheWalkState() = WalkState{};
        TheClientPath().Clear();
        TheClientPath().active = 0;
        TheClientPath().pathRequestCountdown = 20;
        SetRunByPointer([this] { return pointerFar; });
    }
    ~WalkFixture() override {
        TheWalkQueue().link = nullptr;
        TheWalkQueue().Clear();
        TheWalkState() = WalkState{};
        TheClientPath().Clear();
        TheClientPath().active = 0;
        SetRunByPointer(nullptr);
        LoadAnimInfo(nullptr, 0);
        ResetWorld();
        SetWorldEffects(nullptr);
        SetWorldHooks(&hooks);
    }

    // Flat land at height z over the square of cells within `radius` of (cx, cy).
    void FlatLand(int cx, int cy, int radius, int z = 0) {
        for (int y = cy - radius; y <= cy + radius; ++y) {
            for (int x = cx - radius; x <= cx + radius; ++x)
                LandAt(x, y, z);
        }
    }
    LandTile* LandAt(int x, int y, int z, int graphic = kLandGraphic) {
        LandTile* l = LandTile::Allocate(graphic, ClientLocation{s16(x), s16(y), s16(z)});
        l->PlaceInCell();
        return l;
    }
    CClientObject* StaticAt(int graphic, int x, int y, int z) {
        CClientObject* o = CClientObject::AllocateStatic(graphic);
        o->PlaceInWorld(ClientLocation{s16(x), s16(y), s16(z)});
        return o;
    }
    // The player standing at (x, y, z), facing `dir`, with the map centred on it.
    CClientPlayer* PlayerAt(int x, int y, int z, int dir = 0, int body = 400) {
        CClientPlayer* p = MakePlayer(1, body);
        CClientMap& map = TheClientMap();
        map.playerOutOfWorld = true;
        map.centreX = x;
        map.centreY = y;
        map.centreZ = z;
        p->direction = u8(dir);
        p->PlaceInWorld(ClientLocation{s16(x), s16(y), s16(z)});
        return p;
    }

    CClientMobile* MobileAt(u32 serial, int body, int x, int y) {
        auto* m = new CClientMobile(serial, body, 0);
        m->PlaceInWorld(ClientLocation{s16(x), s16(y), 0});
        return m;
    }

    // Every packet the client sent since the last call (fixed lengths of the client table).
    std::vector<SentPacket> Sent() {
        const Bytes bytes = net.ClientSent();
        std::vector<SentPacket> out;
        for (size_t i = 0; i < bytes.size();) {
            const u8 id = bytes[i];
            const size_t n = id == 0x73 ? 2 : 3;  // the walk request, resync and ping
            SentPacket p{id, Bytes(bytes.begin() + long(i) + 1,
                                   bytes.begin() + long(std::min(bytes.size(), i + n)))};
            out.push_back(p);
            i += n;
        }
        return out;
    }

    // Ticks the player's step animation until the queue has shown every entry (at most 64).
    void TickUntilShown() {
        CWalkQueue& q = TheWalkQueue();
        for (int i = 0; i < 64 && q.executed < q.count; ++i)
            q.StepTick();
    }

    WalkHooks walkHooks;
    WorldEffects effects;
    LinkFixture net;
    bool pointerFar = false;
};
