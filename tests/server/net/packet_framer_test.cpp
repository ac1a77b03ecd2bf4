// The framer over the local link: bytes from the client queue become packets at the right
// boundaries, whatever the reads look like, and a connection before login is kept to the
// login packets.
#include "server/net/packet_framer.h"

#include <gtest/gtest.h>

#include "server/net/socket.h"
#include "tests/server/net/net_test_support.h"

namespace {

class FramerTest : public LinkTest {
protected:
    CUserSock* Local() { return LocalUserSock; }
    // Puts each piece as one client write and lets the socket read after each.
    void Deliver(const std::vector<std::vector<u8>>& pieces) {
        for (const auto& piece : pieces) {
            ClientSends(piece);
            Local()->OnReadable();
        }
    }
    static std::vector<u8> Join(std::initializer_list<std::vector<u8>> parts) {
        std::vector<u8> out;
        for (const auto& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }
};

TEST_F(FramerTest, TwoLoginPacketsAreFramedTheSameHoweverTheBytesAreSplit) {
    registry.Add("Ann");
    const std::vector<u8> stream =
        Join({Packet(0x5D, 0, "Nobody"), Packet(0x5D, 0, "Ann"), Packet(0x80)});
    // Coalesced in one write, and split into two writes at every offset.
    for (size_t split = 0; split <= stream.size(); ++split) {
        CreateLocalUserSock();
        registry.journal.clear();
        Deliver({std::vector<u8>(stream.begin(), stream.begin() + long(split)),
                 std::vector<u8>(stream.begin() + long(split), stream.end())});
        EXPECT_TRUE(ClientReads().empty()) << "nothing goes out before the flush";
        CUserSock* s = Local();
        EXPECT_EQ(s->state, 0u) << split;
        EXPECT_EQ(s->received, 0u) << split;
        EXPECT_EQ(s->badPacketCount, 0u) << split;
        EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Ann"}) << split;
        s->FlushSendQueue();
        const std::vector<u8> out = ClientReads();
        // The refusal, the world entry's packets (37 + 5 + 23 + 1 + 4 + 4 bytes: 0x78 of the
        // player to itself, wearing nothing), the list.
        constexpr size_t kEntry = 74;
        ASSERT_EQ(out.size(), 2u + kEntry + 387u) << split;
        EXPECT_EQ(ToHex({out.begin(), out.begin() + 2}), "53 01") << split;
        EXPECT_EQ(out[2], 0x1B) << split;
        EXPECT_EQ(out[2 + kEntry], 0x81) << split;
        EXPECT_EQ(out[2 + kEntry + 3], 1) << "one character listed, split " << split;
        EXPECT_EQ(out[2 + kEntry + 5], 'A') << split;
        UnlinkPlayer(s);
        DeleteAllSockets();
    }
}

TEST_F(FramerTest, LengthsIdsFilterAndMarker) {
    struct Case {
        const char* name;
        bool loggedIn;
        std::vector<std::vector<u8>> writes;
        u32 state;     // after the last read
        u32 received;  // bytes left waiting at the head
        u32 bad;       // bytes dropped as no packet
    };
    std::vector<u8> wrongMarker = Packet(0x00);
    wrongMarker[4] = 0xEE;
    std::vector<u8> play = Packet(0x5D, 0, "Nobody");
    std::vector<u8> playBadMarker = play;
    playBadMarker[1] = 0x00;
    const Case cases[] = {
        {"variable length 0 is no packet", true, {FromHex("03 00 00")}, 0, 2, 1},
        {"variable length 1 is no packet", true, {FromHex("03 00 01")}, 0, 2, 1},
        {"variable length 2 is no packet", true, {FromHex("03 00 02")}, 0, 2, 1},
        {"variable length 3 is framed whole; an empty speech packet is then refused",
         true,
         {FromHex("03 00 03")},
         1,
         0,
         0},
        {"id 0xB6 and above have no length", true, {FromHex("B6 FF 73 00")}, 0, 0, 2},
        {"unaccepted id 0x0B", true, {FromHex("0B 73 00")}, 0, 0, 1},
        {"a walk before login closes", false, {FromHex("02 00 01")}, 1, 3, 0},
        {"the head packet is judged once whole", false, {FromHex("02")}, 0, 1, 0},
        {"a walk in two writes closes once whole",
         false,
         {FromHex("02"), FromHex("00 01")},
         1,
         3,
         0},
        {"a walk after a login packet closes and stays at the head",
         false,
         {Join({Packet(0x80), FromHex("02 00 01")})},
         1,
         3,
         0},
        {"0x01 passes", false, {Packet(0x01)}, 0, 0, 0},
        {"0xA4 passes", false, {Packet(0xA4)}, 0, 0, 0},
        {"0x83 and 0x84 pass", false, {Packet(0x83), Packet(0x84)}, 0, 0, 0},
        {"wrong marker closes", false, {wrongMarker}, 1, 100, 0},
        {"0x80 needs no marker", false, {Packet(0x80)}, 0, 0, 0},
        {"the marker test waits for the whole packet",
         false,
         {std::vector<u8>(play.begin(), play.begin() + 3)},
         0,
         3,
         0},
        {"then the rest arrives with a bad marker",
         false,
         {std::vector<u8>(playBadMarker.begin(), playBadMarker.begin() + 3),
          std::vector<u8>(playBadMarker.begin() + 3, playBadMarker.end())},
         1,
         73,
         0},
        {"after login the marker is not tested", true, {wrongMarker}, 0, 0, 0},
        {"a 65,535-byte packet", true, {Packet(0x03, 65535)}, 0, 0, 0},
        {"a 65,535-byte packet in two writes",
         true,
         {FromHex("03 FF FF"), std::vector<u8>(65532, 0)},
         0,
         0,
         0},
    };
    for (const Case& c : cases) {
        CreateLocalUserSock();
        CUserSock* s = Local();
        FakePlayer* player = registry.Add("Bo");
        if (c.loggedIn) {
            LinkPlayerToSocket(player, s);
            s->loggedIn = 1;
        }
        Deliver(c.writes);
        EXPECT_EQ(s->state, c.state) << c.name;
        EXPECT_EQ(s->received, c.received) << c.name;
        EXPECT_EQ(s->badPacketCount, c.bad) << c.name;
        DeleteAllSockets();
        ClientReads();
    }
}

TEST_F(FramerTest, ABufferFullOfPacketsIsFramedInOneCallAndTheRestMovedDownOnce) {
    CreateLocalUserSock();
    CUserSock* s = Local();
    LinkPlayerToSocket(registry.Add("Bo"), s);
    s->loggedIn = 1;
    // 0x73 keep-alives up to the last byte the link hands over, then half of one.
    std::vector<u8> bytes;
    while (bytes.size() + 2 <= 65534)
        bytes.insert(bytes.end(), {0x73, 0x00});
    bytes.push_back(0x73);
    ClientSends(bytes);
    s->OnReadable();
    EXPECT_EQ(s->received, 1u);
    EXPECT_EQ(s->buffer[0], 0x73);
    ClientSends({0x00});
    s->OnReadable();
    EXPECT_EQ(s->received, 0u);
    EXPECT_EQ(s->state, 0u);
}

}  // namespace
