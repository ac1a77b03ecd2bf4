#pragma once
// A small world of real players on recording connections for the walk tests: the real
// registry (with its player grid) and the real object packets are in force, and what each
// player's client received is read back packet by packet with the protocol's reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/loop_state.h"
#include "core/packet_reader.h"
#include "server/net/protocol_packet_services.h"
#include "server/world/player.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/world_test_support.h"

// The packets a player's client read: ids, and the fields the walk tests look at.
struct Received {
    std::vector<std::vector<u8>> packets;

    // The ids in order, as hex ("22 77"); `skip` leaves out the ids that do not matter here
    // (the vitals bars a fatigue change sends, say).
    std::string Ids(const std::vector<u8>& skip = {0xA1, 0xA2, 0xA3, 0x2D}) const;
    // The packets of one id.
    std::vector<std::vector<u8>> Of(u8 id) const;
    // The texts of the system messages (0x1C), in order.
    std::vector<std::string> Messages() const;
};

// What the player's client (on a recording connection) received since the last look.
Received ReceivedBy(CPlayer* player);

// 0x22: (sequence, notoriety); 0x21: (sequence, x, y, facing, z).
struct MoveAck {
    int sequence = -1, notoriety = -1;
};
struct MoveReject {
    int sequence = -1, x = -1, y = -1, facing = -1, z = -1;
};
MoveAck ReadMoveAck(const std::vector<u8>& packet);
MoveReject ReadMoveReject(const std::vector<u8>& packet);
// The serial of a 0x1A, 0x1D, 0x20, 0x77 or 0x78 (without the 0x1A's amount bit).
u32 ReadSerial(const std::vector<u8>& packet);

// A new character made by the player registry (30 in every stat) and placed at the spot, on a
// recording connection of its own with room for everything sent to it.
CPlayer* ConnectedCharacter(const char* name, const Location& at);

class WalkWorldTest : public WorldTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A living player at the place, facing `facing`, with 50 in every stat and full vitals,
    // on a connection of its own; what placing it sent is forgotten.
    CPlayer* NewPlayer(int x, int y, int z = 0, int facing = 2);
    // What the player's client received since the last look.
    Received Got(CPlayer* player);
    // Forgets what every client received so far.
    void DropAll();
    // A walk request at a world pulse.
    int Request(CPlayer* player, int direction, int sequence, s32 pulse = 100000);
    CNPC* NewNpc(int x, int y, int z = 0);
    // Deletes a player (or any object) at once, without triggers.
    void Destroy(CItem* object);
    // The players' serials, in ascending order.
    static std::vector<u32> Serials(std::initializer_list<CPlayer*> list);

    ProtocolPacketServices real;
    std::vector<CPlayer*> players;
};
