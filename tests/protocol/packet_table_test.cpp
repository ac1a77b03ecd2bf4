// One table of the protocol's ids with their direction and length, checked against both
// halves' tables, and every client packet framed whole by the server's table.
#include <gtest/gtest.h>

#include <set>

#include "client/net/client_packet_length_table.h"
#include "client/net/server_packet_dispatcher.h"
#include "core/protocol/packet_table.h"
#include "tests/client/net/client_packet_samples.h"

namespace {

enum Direction { kNeither, kToServer, kToClient, kBoth };
constexpr u16 V = 0x8000;  // variable length

struct ProtocolId {
    int id;
    Direction direction;
    u16 length;
};

// Direction: who sends the id in this game (the client's builders, the client's accepted
// server packets). Length: the whole packet with its id, or V.
constexpr ProtocolId kProtocol[] = {
    {0x00, kToServer, 100}, {0x01, kToServer, 5},  {0x02, kToServer, 3},  {0x03, kToServer, V},
    {0x04, kNeither, 2},    {0x05, kToServer, 5},  {0x06, kToServer, 5},  {0x07, kToServer, 7},
    {0x08, kToServer, 14},  {0x09, kToServer, 5},  {0x0A, kNeither, 11},  {0x0B, kNeither, 266},
    {0x0C, kNeither, V},    {0x0D, kNeither, 3},   {0x0E, kNeither, V},   {0x0F, kNeither, 61},
    {0x10, kNeither, 215},  {0x11, kToClient, V},  {0x12, kToServer, V},  {0x13, kToServer, 10},
    {0x14, kNeither, 6},    {0x15, kToClient, 9},  {0x16, kNeither, 1},   {0x17, kNeither, V},
    {0x18, kNeither, V},    {0x19, kNeither, V},   {0x1A, kToClient, V},  {0x1B, kToClient, 37},
    {0x1C, kToClient, V},   {0x1D, kToClient, 5},  {0x1E, kNeither, 4},   {0x1F, kNeither, 8},
    {0x20, kToClient, 19},  {0x21, kToClient, 8},  {0x22, kBoth, 3},      {0x23, kToClient, 26},
    {0x24, kToClient, 7},   {0x25, kToClient, 20}, {0x26, kNeither, 5},   {0x27, kToClient, 2},
    {0x28, kToClient, 5},   {0x29, kToClient, 1},  {0x2A, kNeither, 5},   {0x2B, kNeither, 2},
    {0x2C, kBoth, 2},       {0x2D, kToClient, 17}, {0x2E, kToClient, 15}, {0x2F, kToClient, 10},
    {0x30, kToClient, 5},   {0x31, kToClient, 1},  {0x32, kNeither, 2},   {0x33, kToClient, 2},
    {0x34, kToServer, 10},  {0x35, kNeither, 653}, {0x36, kNeither, V},   {0x37, kNeither, 8},
    {0x38, kToClient, 7},   {0x39, kToClient, 9},  {0x3A, kToClient, V},  {0x3B, kBoth, V},
    {0x3C, kToClient, V},   {0x3D, kNeither, 2},   {0x3E, kToClient, 37}, {0x3F, kToClient, V},
    {0x40, kToClient, 201}, {0x41, kToClient, V},  {0x42, kToClient, V},  {0x43, kToClient, 553},
    {0x44, kToClient, 713}, {0x45, kToClient, 5},  {0x46, kNeither, V},   {0x47, kNeither, 11},
    {0x48, kNeither, 73},   {0x49, kNeither, 93},  {0x4A, kNeither, 5},   {0x4B, kNeither, 9},
    {0x4C, kNeither, V},    {0x4D, kNeither, V},   {0x4E, kToClient, 6},  {0x4F, kToClient, 2},
    {0x50, kNeither, V},    {0x51, kNeither, V},   {0x52, kNeither, V},   {0x53, kToClient, 2},
    {0x54, kToClient, 12},  {0x55, kToClient, 1},  {0x56, kBoth, 11},     {0x57, kToClient, 110},
    {0x58, kNeither, 106},  {0x59, kNeither, V},   {0x5A, kNeither, V},   {0x5B, kToClient, 4},
    {0x5C, kToClient, 2},   {0x5D, kToServer, 73}, {0x5E, kNeither, V},   {0x5F, kNeither, 49},
    {0x60, kNeither, 5},    {0x61, kNeither, 9},   {0x62, kNeither, 15},  {0x63, kNeither, 13},
    {0x64, kNeither, 1},    {0x65, kToClient, 4},  {0x66, kBoth, V},      {0x67, kNeither, 21},
    {0x68, kNeither, V},    {0x69, kBoth, V},      {0x6A, kToClient, 3},  {0x6B, kNeither, 9},
    {0x6C, kBoth, 19},      {0x6D, kToClient, 3},  {0x6E, kToClient, 14}, {0x6F, kBoth, V},
    {0x70, kToClient, 28},  {0x71, kBoth, V},      {0x72, kBoth, 5},      {0x73, kBoth, 2},
    {0x74, kToClient, V},   {0x75, kToServer, 35}, {0x76, kToClient, 16}, {0x77, kToClient, 17},
    {0x78, kToClient, V},   {0x79, kNeither, 9},   {0x7A, kNeither, V},   {0x7B, kToClient, 2},
    {0x7C, kToClient, V},   {0x7D, kToServer, 13}, {0x7E, kNeither, 2},   {0x7F, kNeither, V},
    {0x80, kToServer, 62},  {0x81, kToClient, V},  {0x82, kToClient, 2},  {0x83, kToServer, 39},
    {0x84, kToServer, 69},  {0x85, kToClient, 2},  {0x86, kToClient, V},  {0x87, kNeither, V},
    {0x88, kToClient, 66},  {0x89, kToClient, V},  {0x8A, kNeither, V},   {0x8B, kToClient, V},
    {0x8C, kToClient, 11},  {0x8D, kNeither, V},   {0x8E, kNeither, V},   {0x8F, kNeither, V},
    {0x90, kToClient, 19},  {0x91, kToServer, 65}, {0x92, kToClient, V},  {0x93, kBoth, 98},
    {0x94, kToClient, V},   {0x95, kBoth, 9},      {0x96, kNeither, V},   {0x97, kToClient, 2},
    {0x98, kBoth, V},       {0x99, kToClient, 26}, {0x9A, kBoth, V},      {0x9B, kToServer, 258},
    {0x9C, kNeither, 309},  {0x9D, kNeither, 51},  {0x9E, kToClient, V},  {0x9F, kToServer, V},
    {0xA0, kToServer, 3},   {0xA1, kToClient, 9},  {0xA2, kToClient, 9},  {0xA3, kToClient, 9},
    {0xA4, kToServer, 149}, {0xA5, kToClient, V},  {0xA6, kToClient, V},  {0xA7, kToServer, 4},
    {0xA8, kToClient, V},   {0xA9, kToClient, V},  {0xAA, kToClient, 5},  {0xAB, kToClient, V},
    {0xAC, kToServer, V},   {0xAD, kToServer, V},  {0xAE, kToClient, V},  {0xAF, kToClient, 13},
    {0xB0, kToClient, V},   {0xB1, kToServer, V},  {0xB2, kToClient, V},  {0xB3, kBoth, V},
    {0xB4, kToClient, V},   {0xB5, kBoth, 64},     {0xB6, kNeither, 6},   {0xB7, kToClient, V},
    {0xB8, kBoth, V},       {0xB9, kToClient, 3},
};

// Ids the server's table refuses although the client frames them, and the client's ids past
// the server's table.
const std::set<int> kServerRefuses = {0x0B, 0x10, 0x1F, 0x59};
constexpr int kClientOnlyFrom = 0xB6;

TEST(ProtocolTable, CoversEveryIdOnce) {
    ASSERT_EQ(std::size(kProtocol), size_t(kClientPacketTableSize));
    for (int i = 0; i < kClientPacketTableSize; ++i)
        ASSERT_EQ(kProtocol[i].id, i);
}

TEST(ProtocolTable, ClientTableAgrees) {
    for (const ProtocolId& p : kProtocol) {
        EXPECT_EQ(ClientPacketLengthTable(p.id), p.length) << std::hex << p.id;
    }
    EXPECT_EQ(ClientPacketLengthTable(0xBA), 0);
}

TEST(ProtocolTable, ServerTableAgreesExceptWhereItRefuses) {
    for (const ProtocolId& p : kProtocol) {
        const bool refused = kServerRefuses.count(p.id) || p.id >= kClientOnlyFrom;
        EXPECT_EQ(PacketTableWord(p.id), refused ? 0 : p.length) << std::hex << p.id;
    }
}

TEST(ProtocolTable, NothingTheServerRefusesTravels) {
    for (const ProtocolId& p : kProtocol) {
        if (kServerRefuses.count(p.id)) {
            EXPECT_EQ(p.direction, kNeither) << std::hex << p.id;
        }
        if (p.id >= kClientOnlyFrom) {
            EXPECT_NE(p.direction, kToServer) << std::hex << p.id;
        }
    }
}

TEST(ProtocolTable, ServerToClientIdsAreTheDispatchersAcceptedIds) {
    for (const ProtocolId& p : kProtocol) {
        const bool toClient = p.direction == kToClient || p.direction == kBoth;
        EXPECT_EQ(ServerPacketDispatcher::Accepts(p.id), toClient) << std::hex << p.id;
    }
}

TEST(ProtocolTable, EveryClientBuilderIsFramedWholeByTheServer) {
    for (const std::vector<u8>& packet : AllClientPacketSamples()) {
        ASSERT_FALSE(packet.empty());
        const ProtocolId& p = kProtocol[packet[0]];
        EXPECT_TRUE(p.direction == kToServer || p.direction == kBoth) << std::hex << p.id;
        EXPECT_EQ(PacketFramedLength(packet.data(), packet.size()), int(packet.size()))
            << std::hex << p.id;
        // And not before its last byte.
        EXPECT_NE(PacketFramedLength(packet.data(), packet.size() - 1), int(packet.size() - 1))
            << std::hex << p.id;
    }
}

}  // namespace
