// The protocol's one table of ids against both halves: its directions against the client's
// dispatcher, where the halves' lengths differ, and every packet either half builds framed
// whole by the other half and written at the length of its row on both sides.
#include "core/protocol/packet_table.h"

#include <gtest/gtest.h>

#include <set>

#include "client/net/server_packet_dispatcher.h"
#include "tests/client/net/client_packet_samples.h"
#include "tests/server/net/server_packet_samples.h"

namespace {

// Ids the server refuses although the client frames them, and the client's ids past the
// server's table.
const std::set<int> kServerRefuses = {0x0B, 0x10, 0x1F, 0x59};
constexpr int kClientOnlyFrom = 0xB6;

bool ToServer(const PacketRow& p) {
    return p.direction == PacketDirection::kToServer || p.direction == PacketDirection::kBoth;
}
bool ToClient(const PacketRow& p) {
    return p.direction == PacketDirection::kToClient || p.direction == PacketDirection::kBoth;
}

// The packet's whole length as a half's column frames it: the column's fixed length, or for a
// variable id (both columns must say so) the length the packet carries in bytes 1-2.
void ExpectWrittenAtItsRowLength(const std::vector<u8>& packet, u16 column, const char* side) {
    ASSERT_GE(packet.size(), 1u);
    if (column == kVariableLength) {
        ASSERT_GE(packet.size(), 3u) << side << std::hex << int(packet[0]);
        EXPECT_EQ(size_t(packet[1] << 8 | packet[2]), packet.size())
            << side << std::hex << int(packet[0]);
    } else {
        EXPECT_EQ(column, packet.size()) << side << std::hex << int(packet[0]);
    }
}

TEST(ProtocolTable, CoversEveryIdOnce) {
    ASSERT_EQ(PacketRows().size(), size_t(kClientPacketTableSize));
    for (int i = 0; i < kClientPacketTableSize; ++i) {
        ASSERT_EQ(PacketRows()[i].id, i);
        ASSERT_EQ(FindPacketRow(i), &PacketRows()[i]);
        EXPECT_NE(PacketRows()[i].name, nullptr);
    }
    EXPECT_EQ(FindPacketRow(0xBA), nullptr);
    EXPECT_EQ(FindPacketRow(-1), nullptr);
}

TEST(ProtocolTable, ClientFramingReadsTheClientColumn) {
    for (const PacketRow& p : PacketRows()) {
        EXPECT_EQ(ClientPacketLengthTable(p.id), p.clientLength) << std::hex << int(p.id);
        EXPECT_EQ(ClientPacketHeaderLength(p.id), p.clientLength == kVariableLength ? 3u : 1u)
            << std::hex << int(p.id);
    }
    EXPECT_EQ(ClientPacketLengthTable(0xBA), 0);
}

TEST(ProtocolTable, ServerTableAgreesExceptWhereItRefuses) {
    for (const PacketRow& p : PacketRows()) {
        const bool refused = kServerRefuses.count(p.id) || p.id >= kClientOnlyFrom;
        EXPECT_EQ(p.serverLength, refused ? 0 : p.clientLength) << std::hex << int(p.id);
        EXPECT_EQ(PacketTableWord(p.id), p.serverLength) << std::hex << int(p.id);
    }
}

TEST(ProtocolTable, NothingTheServerRefusesTravels) {
    for (const PacketRow& p : PacketRows()) {
        if (kServerRefuses.count(p.id)) {
            EXPECT_EQ(p.direction, PacketDirection::kNeither) << std::hex << int(p.id);
        }
        if (p.id >= kClientOnlyFrom) {
            EXPECT_NE(p.direction, PacketDirection::kToServer) << std::hex << int(p.id);
        }
    }
}

TEST(ProtocolTable, ServerToClientIdsAreTheDispatchersAcceptedIds) {
    for (const PacketRow& p : PacketRows()) {
        EXPECT_EQ(ServerPacketDispatcher::Accepts(p.id), ToClient(p)) << std::hex << int(p.id);
    }
}

TEST(ProtocolTable, EveryClientBuilderIsFramedWholeByTheServer) {
    for (const std::vector<u8>& packet : AllClientPacketSamples()) {
        ASSERT_FALSE(packet.empty());
        const PacketRow& p = PacketRows()[packet[0]];
        EXPECT_TRUE(ToServer(p)) << std::hex << int(p.id);
        EXPECT_EQ(PacketFramedLength(packet.data(), packet.size()), int(packet.size()))
            << std::hex << int(p.id);
        // And not before its last byte.
        EXPECT_NE(PacketFramedLength(packet.data(), packet.size() - 1), int(packet.size() - 1))
            << std::hex << int(p.id);
    }
}

TEST(ProtocolTable, EveryClientBuilderWritesTheLengthOfItsRowOnBothSides) {
    for (const std::vector<u8>& packet : AllClientPacketSamples()) {
        ASSERT_FALSE(packet.empty());
        const PacketRow& p = PacketRows()[packet[0]];
        ExpectWrittenAtItsRowLength(packet, p.clientLength, "client column ");
        ExpectWrittenAtItsRowLength(packet, p.serverLength, "server column ");
    }
}

class ProtocolTableBuilders : public ServerPacketSamplesTest {};

TEST_F(ProtocolTableBuilders, EveryServerBuilderWritesTheLengthOfItsRowOnBothSides) {
    for (const ServerPacketSample& sample : Samples()) {
        BuiltPacket built;
        ASSERT_TRUE(sample.build(built.w)) << std::hex << int(sample.id);
        const std::vector<u8> packet = built.Bytes();
        ASSERT_FALSE(packet.empty());
        ASSERT_EQ(packet[0], sample.id);
        const PacketRow& p = PacketRows()[sample.id];
        ExpectWrittenAtItsRowLength(packet, p.serverLength, "server column ");
        ExpectWrittenAtItsRowLength(packet, p.clientLength, "client column ");
    }
}

}  // namespace
