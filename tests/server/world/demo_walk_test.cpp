// End to end in one process: a character made by the registry in the demo town walks a path
// through the generated map, as the client would ask for each step, and the packets its
// client receives are recorded: acknowledgements in order, the rejection at a house wall,
// the resynchronisation after a teleport, and a mobile shoved out of the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/loop_state.h"
#include "server/net/client_dispatcher.h"
#include "server/net/packet_framer.h"
#include "server/net/protocol_packet_services.h"
#include "server/net/socket.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "tests/server/player/player_walk_support.h"
#include "tests/server/world/demo_island.h"

namespace {

class DemoWalkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_EQ(LoadDemoIsland("Demo", error), 0) << error;
        places = new DemoPlaces(DemoIslandPlaces());
    }
    static void TearDownTestSuite() {
        ReleaseDemoIslandStatics();
        DeleteAllObjects();
        InstallTestTileSet();
        g_sectorGrid.Build(0, 0, 64, 64);
        delete places;
    }
    void SetUp() override {
        SetPacketServices(&packets);
        SetWorldPulse(5000);
    }
    void TearDown() override {
        DeleteAllSockets();
        DeleteAllObjects();
        SetPacketServices(nullptr);
        SetWorldPulse(0);
    }

    // A new character at the place, entering the world there with a connection.
    CPlayer* Character(const char* name, const Location& at) {
        NewCharacter request;
        std::snprintf(request.name, sizeof request.name, "%s", name);
        request.x = static_cast<u16>(at.x);
        request.y = static_cast<u16>(at.y);
        request.z = static_cast<s8>(at.z);
        request.strength = 40;
        request.dexterity = 40;
        request.intelligence = 20;
        request.skinHue = 1002;
        CPlayer* p = GetPlayerRegistry().CreatePlayer(request);
        auto* sock = new ThrottledSock;
        sock->budget = 1 << 24;
        sock->loggedIn = 1;
        LinkPlayerToSocket(p, sock);
        p->RemoveFromWorldQuiet();
        p->PlaceInWorld(at);
        return p;
    }
    // The client's walk request (0x02) through the framer and dispatcher, one pulse apart
    // (the client's own pace); answers the step packets received, as "22 n" / "21 n".
    std::string Step(CPlayer* p, int direction) {
        SetWorldPulse(GetWorldPulse() + 1);
        auto* sock = static_cast<ThrottledSock*>(p->GetConnection());
        const u8 request[3] = {0x02, static_cast<u8>(direction), static_cast<u8>(sequence)};
        std::copy(request, request + 3, sock->buffer);
        sock->received = 3;
        FrameUserSockInput(*sock);
        const std::string answer = Answers(p);
        sequence = sequence == 255 ? 1 : sequence + 1;
        return answer;
    }
    std::string Answers(CPlayer* p) {
        auto* sock = static_cast<ThrottledSock*>(p->GetConnection());
        sock->FlushSendQueue();
        std::vector<u8> wire;
        wire.swap(sock->wire);
        last = Received{SplitPackets(wire)};
        std::string out;
        for (const auto& packet : last.packets) {
            std::string entry;
            if (packet[0] == 0x22) entry = "22 " + std::to_string(ReadMoveAck(packet).sequence);
            if (packet[0] == 0x21) entry = "21 " + std::to_string(ReadMoveReject(packet).sequence);
            if (packet[0] == 0x20) entry = "20";
            if (entry.empty()) continue;
            out += (out.empty() ? "" : ", ") + entry;
        }
        return out;
    }

    static DemoPlaces* places;
    ProtocolPacketServices packets;
    int sequence = 0;
    Received last;
};

DemoPlaces* DemoWalkTest::places = nullptr;

TEST_F(DemoWalkTest, ACharacterWalksThroughTheTown) {
    const Location square = places->townSquare;
    CPlayer* p = Character("Walker", square);
    ASSERT_EQ(p->GetLocation(), square);
    EXPECT_EQ(Answers(p), "20, 20") << "placing the character sends its update";
    EXPECT_TRUE(p->IsWalkBlocked());

    // West along the square's row, then north up to the first house's south wall (the row of
    // its door), below the wall's second tile: every step is
    // acknowledged in order; turns too. The client starts with sequence 0.
    std::vector<std::string> answers;
    const int west = square.x - (places->houseWall.x);
    answers.push_back(Step(p, 6));  // a turn (the character faces north)
    for (int i = 0; i < west; ++i)
        answers.push_back(Step(p, 6));
    answers.push_back(Step(p, 0));  // a turn
    const int north = square.y - places->houseDoor.y - 1;
    for (int i = 0; i < north; ++i)
        answers.push_back(Step(p, 0));
    for (size_t i = 0; i < answers.size(); ++i)
        ASSERT_EQ(answers[i], "22 " + std::to_string(i)) << "request " << i;
    EXPECT_EQ(p->GetLocation(), Location(places->houseWall.x, places->houseDoor.y + 1, 0));

    // The wall: refused, and refused again until the client resyncs with sequence 0.
    const int atWall = sequence;
    EXPECT_EQ(Step(p, 0), "21 " + std::to_string(atWall));
    EXPECT_EQ(Step(p, 6), "21 " + std::to_string(atWall + 1));
    sequence = 0;
    EXPECT_EQ(Step(p, 6), "22 0") << "a turn west after the resync";

    // A teleport into the house: the update, then refusal until the resync.
    p->RemoveFromWorld();
    p->PlaceInWorld(places->houseInside);
    EXPECT_EQ(Answers(p), "20, 20");
    EXPECT_EQ(Step(p, 6), "21 1");
    sequence = 0;
    EXPECT_EQ(Step(p, 2), "22 0");  // a turn east
    EXPECT_EQ(Step(p, 2), "22 1");
    const Location inside = p->GetLocation();
    EXPECT_EQ(inside, Location(places->houseInside.x + 1, places->houseInside.y, 0));

    // A villager in the way: the rested character shoves it aside and pays for it.
    CPlayer* villager = Character("Villager", Location(inside.x + 1, inside.y, 0));
    Answers(p);
    p->SetCurFatigue(p->GetMaxFatigue());
    const int rested = p->GetCurFatigue();
    EXPECT_EQ(Step(p, 2), "22 2");
    EXPECT_EQ(p->GetLocation(), villager->GetLocation());
    EXPECT_EQ(last.Messages(), std::vector<std::string>{
                                   "Being perfectly rested, you shove Villager out of the way."});
    EXPECT_EQ(rested - p->GetCurFatigue(), 10);
}

}  // namespace
