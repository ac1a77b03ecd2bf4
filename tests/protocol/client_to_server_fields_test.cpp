// Client packets read by the server: each client builder's packet goes through the server's
// framing on a real queue pair, and the server's login handlers (or, for the in-game packets
// whose handlers come later, the server's reader in their layout) get exactly the values the
// client put in.
#include <gtest/gtest.h>

#include <string>

#include "client/net/client_packets.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"
#include "core/protocol/packet_table.h"
#include "server/net/local_connection.h"
#include "server/net/login_packets.h"
#include "server/net/socket.h"
#include "tests/protocol/creation_request.h"
#include "tests/server/net/net_test_support.h"

namespace {

template <class Build>
std::vector<u8> ClientBuilt(Build build) {
    std::vector<u8> buffer(512);
    PacketWriter w(buffer.data(), buffer.size());
    build(w);
    EXPECT_TRUE(w.Ok());
    buffer.resize(w.Length());
    return buffer;
}

class ClientToServerFieldsTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        net.CreateLocalUserSock();
    }
    std::vector<u8> Exchange(const std::vector<u8>& request) {
        ClientSends(request);
        ServerPass();
        return ClientReads();
    }
    // A packet the server frames whole, read from after its header as the server's table says.
    static PacketReader ServerReader(const std::vector<u8>& packet) {
        EXPECT_EQ(PacketFramedLength(packet.data(), packet.size()), int(packet.size()));
        return PacketReader(packet.data(), packet.size(), PacketHeaderSize(packet[0]));
    }

    LocalConnectionServices net;
};

TEST_F(ClientToServerFieldsTest, CreateCharacterReachesTheRegistryFieldForField) {
    const CreateCharacterRequest c = TesterCreation();
    // The new character enters the world at once: the server's answer opens with 0x1B.
    const std::vector<u8> entry =
        Exchange(ClientBuilt([&](PacketWriter& w) { BuildCreateCharacterPacket(w, c); }));
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(entry[0], 0x1B);
    ASSERT_EQ(registry.created.size(), 1u);
    ExpectCreatedAsSent(registry.created[0], c);
    EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Tester"});
}

TEST_F(ClientToServerFieldsTest, PlayAndAccountLoginReachTheirHandlers) {
    registry.Add("Tester");
    registry.Add("Other", 0x0A000001);
    const std::vector<u8> list =
        Exchange(ClientBuilt([](PacketWriter& w) { BuildAccountLoginPacket(w, "acct", "pw", 7); }));
    ASSERT_EQ(list.size(), kCharacterListMaxLength);
    EXPECT_EQ(ToHex({list.begin(), list.begin() + 5}), "81 01 83 01 CD");
    EXPECT_STREQ(reinterpret_cast<const char*>(&list[5]), "Tester");
    const std::vector<u8> entry = Exchange(
        ClientBuilt([](PacketWriter& w) { BuildPlayCharacterPacket(w, "tester", "", 0); }));
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(entry[0], 0x1B);
    EXPECT_EQ(registry.journal, std::vector<std::string>{"enter Tester"});
    EXPECT_EQ(ToHex(Exchange(ClientBuilt(
                  [](PacketWriter& w) { BuildPlayCharacterPacket(w, "Nobody", "", 1); }))),
              "53 01");
}

TEST_F(ClientToServerFieldsTest, LoginPacketsReadWithoutEffectKeepTheConnection) {
    const std::vector<u8> profile(149, 0);
    for (const std::vector<u8>& packet : {
             ClientBuilt([](PacketWriter& w) { BuildDeleteCharacterPacket(w, "pw", 1); }),
             ClientBuilt([](PacketWriter& w) { BuildChangePasswordPacket(w, "a", "b", 1); }),
             ClientBuilt([](PacketWriter& w) { BuildGameLoginPacket(w, 7, "acct", "pw"); }),
             ClientBuilt([](PacketWriter& w) { BuildDisconnectPacket(w); }),
             ClientBuilt([&](PacketWriter& w) { BuildHardwareProfilePacket(w, profile.data()); }),
         }) {
        EXPECT_TRUE(Exchange(packet).empty()) << ToHex({packet[0]});
        ASSERT_NE(LocalUserSock, nullptr);
        EXPECT_EQ(LocalUserSock->state, 0u) << ToHex({packet[0]});
    }
}

TEST_F(ClientToServerFieldsTest, InGamePacketsCarryTheirFieldsWhereTheServerReadsThem) {
    {
        const std::vector<u8> walk =
            ClientBuilt([](PacketWriter& w) { BuildWalkRequestPacket(w, 0x83, 1); });
        EXPECT_EQ(ToHex(walk), "02 83 01");
        PacketReader r = ServerReader(walk);
        u8 direction = 0, sequence = 0;
        r.ReadByte(direction);
        r.ReadByte(sequence);
        EXPECT_TRUE(r.Ok());
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_EQ(direction, 0x83);
        EXPECT_EQ(sequence, 1);
    }
    {
        const std::vector<u8> speech = ClientBuilt(
            [](PacketWriter& w) { BuildSpeechPacket(w, 9, 0x03B2, 3, "Hail, friend"); });
        PacketReader r = ServerReader(speech);
        u8 type = 0;
        u16 hue = 0, font = 0;
        const char* text = nullptr;
        r.ReadByte(type);
        r.ReadShort(hue);
        r.ReadShort(font);
        r.ReadCText(text);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.Remaining(), 0u);
        EXPECT_EQ(type, 9);
        EXPECT_EQ(hue, 0x03B2);
        EXPECT_EQ(font, 3);
        EXPECT_STREQ(text, "Hail, friend");
    }
}

}  // namespace
