// Client packets in wire form: goldens, lengths of the variable ones, the client address
// and the zero-filled text fields.
#include "client/net/client_packets.h"

#include <gtest/gtest.h>

#include <vector>

#include "client/net/server_packet_dispatcher.h"
#include "core/packet_writer.h"
#include "core/protocol/packet_table.h"
#include "tests/client/net/client_packet_samples.h"

namespace {

using Bytes = std::vector<u8>;

template <class Build>
Bytes Built(Build build) {
    const Bytes p = BuiltClientPacket(build);
    EXPECT_FALSE(p.empty());
    return p;
}

TEST(ClientPackets, Goldens) {
    EXPECT_EQ(Built([](PacketWriter& w) { BuildTextCommandPacket(w, 0x43, ""); }),
              (Bytes{0x12, 0x00, 0x05, 0x43, 0x00}));
    EXPECT_EQ(Built([](PacketWriter& w) { BuildWalkRequestPacket(w, 3 | 0x80, 1); }),
              (Bytes{0x02, 0x83, 0x01}));
    EXPECT_EQ(Built([](PacketWriter& w) { BuildPingPacket(w); }), (Bytes{0x73, 0x00}));
    EXPECT_EQ(
        Built([](PacketWriter& w) { BuildTargetResponsePacket(w, CancelTarget(0x40000010, 0)); }),
        (Bytes{0x6C, 0x00, 0x40, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
               0xFF, 0x00, 0x00, 0x00, 0x00}));
}

TEST(ClientPackets, PlayCharacterZeroFillsAndEndsWithTheClientAddress) {
    const Bytes p = Built([](PacketWriter& w) { BuildPlayCharacterPacket(w, "Tester", "", 0); });
    ASSERT_EQ(p.size(), 73u);
    EXPECT_EQ(Bytes(p.begin(), p.begin() + 5), (Bytes{0x5D, 0xED, 0xED, 0xED, 0xED}));
    EXPECT_EQ(std::string(p.begin() + 5, p.begin() + 11), "Tester");
    // Name tail and the whole password field: zeros, nothing of the buffer's old bytes.
    EXPECT_EQ(Bytes(p.begin() + 11, p.begin() + 65), Bytes(54, 0));
    EXPECT_EQ(Bytes(p.end() - 8, p.end()), (Bytes{0, 0, 0, 0, 0x7F, 0x00, 0x00, 0x01}));
}

TEST(ClientPackets, ClientAddressPlaces) {
    const Bytes address = {0x7F, 0x00, 0x00, 0x01};
    const struct {
        Bytes packet;
        size_t at;
    } cases[] = {
        {Built([](PacketWriter& w) { BuildCreateCharacterPacket(w, CreateCharacterRequest{}); }),
         96},
        {Built([](PacketWriter& w) { BuildPlayCharacterPacket(w, "a", "b", 1); }), 69},
        {Built([](PacketWriter& w) { BuildDeleteCharacterPacket(w, "pw", 2); }), 35},
        {Built([](PacketWriter& w) { BuildChangePasswordPacket(w, "x", "y", 3); }), 65},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.packet.size(), c.at + 4) << std::hex << int(c.packet[0]);
        EXPECT_EQ(Bytes(c.packet.begin() + c.at, c.packet.end()), address);
    }
}

TEST(ClientPackets, VariableLengths) {
    const Bytes speech = Built([](PacketWriter& w) { BuildSpeechPacket(w, 0, 0x3B2, 3, "a"); });
    EXPECT_EQ(speech.size(), 10u);
    EXPECT_EQ(speech[1] << 8 | speech[2], 10);
    const Bytes page = Built([](PacketWriter& w) { BuildBookPagePacket(w, 0x40000001, 2, {}); });
    EXPECT_EQ(page.size(), 13u);
    EXPECT_EQ(page[1] << 8 | page[2], 13);
    EXPECT_EQ(Built([](PacketWriter& w) { BuildNameRequestPacket(w, 1); }).size(), 7u);
    EXPECT_EQ(Built([](PacketWriter& w) { BuildTradeActionPacket(w, 1, 2, 0); }).size(), 17u);
    EXPECT_EQ(Built([](PacketWriter& w) { BuildBulletinBoardPacket(w, 3, 1, 2); }).size(), 12u);
}

TEST(ClientPackets, HelpTextIsCutToItsFieldWithoutTerminator) {
    const Bytes p =
        Built([](PacketWriter& w) { BuildHelpRequestPacket(w, std::string(300, 'h')); });
    ASSERT_EQ(p.size(), 258u);
    EXPECT_EQ(p[257], 'h');
}

TEST(ClientPackets, AFullWriterFailsInsteadOfOverrunning) {
    u8 buffer[40];
    PacketWriter w(buffer, sizeof buffer);
    BuildPlayCharacterPacket(w, "Tester", "", 0);
    EXPECT_FALSE(w.Ok());
}

TEST(ClientPackets, EveryBuilderWritesItsTableLength) {
    for (const Bytes& p : AllClientPacketSamples()) {
        ASSERT_FALSE(p.empty());
        const size_t expected =
            ClientPacketIsVariable(p[0]) ? size_t(p[1] << 8 | p[2]) : ClientPacketLengthTable(p[0]);
        EXPECT_EQ(p.size(), expected) << std::hex << int(p[0]);
    }
}

TEST(ServerPacketDispatcher, AcceptsNinetyNineIds) {
    int accepted = 0;
    for (int id = 0; id < 256; ++id)
        accepted += ServerPacketDispatcher::Accepts(id);
    EXPECT_EQ(accepted, kAcceptedServerPacketCount);
    for (int id : {0x10, 0x26, 0xB6, 0xBA, 0xFF})
        EXPECT_FALSE(ServerPacketDispatcher::Accepts(id));
}

}  // namespace
