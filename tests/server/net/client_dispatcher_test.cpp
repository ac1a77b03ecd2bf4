// Which ids reach a handler, for players in and out of edit mode; slots not built yet; and
// packets that are too short for what their handler reads.
#include "server/net/client_dispatcher.h"

#include <gtest/gtest.h>

#include <set>

#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "tests/server/net/net_test_support.h"

namespace {

const std::set<int> kGeneral = {
    0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x12, 0x13, 0x22, 0x2C, 0x34, 0x37, 0x39, 0x3B,
    0x4B, 0x52, 0x56, 0x66, 0x69, 0x6B, 0x6C, 0x6F, 0x71, 0x72, 0x73, 0x75, 0x79, 0x7D, 0x7E, 0x87,
    0x8A, 0x91, 0x93, 0x95, 0x96, 0x98, 0x9A, 0x9B, 0x9F, 0xA0, 0xA4, 0xA7, 0xAC, 0xAD, 0xB1};
const std::set<int> kEdit = {0x0A, 0x0C, 0x0E, 0x14, 0x19, 0x1D, 0x35, 0x36, 0x46, 0x47,
                             0x48, 0x49, 0x4A, 0x58, 0x61, 0x62, 0x67, 0x9C, 0x9D};

TEST(ClientDispatcher, GeneralIdsForEveryoneEditIdsOnlyInEditModeTheRestIgnored) {
    ASSERT_EQ(kGeneral.size(), 47u);
    ASSERT_EQ(kEdit.size(), 19u);
    for (int id = 0; id < 256; ++id) {
        const ClientPacketHandler plain = FindClientPacketHandler(u8(id), false);
        const ClientPacketHandler editing = FindClientPacketHandler(u8(id), true);
        if (kGeneral.count(id)) {
            EXPECT_NE(plain, nullptr) << std::hex << id;
            EXPECT_EQ(editing, plain) << "edit mode changes nothing for " << std::hex << id;
        } else if (kEdit.count(id)) {
            EXPECT_EQ(plain, nullptr) << std::hex << id;
            EXPECT_NE(editing, nullptr) << std::hex << id;
        } else {
            EXPECT_EQ(plain, nullptr) << std::hex << id;
            EXPECT_EQ(editing, nullptr) << std::hex << id;
        }
    }
}

TEST(ClientDispatcher, ReadOnlyAndEmptyHandlersAreBuiltTheLaterOnesSaySoOncePerId) {
    for (int id : {0x39, 0x4B, 0x52, 0xA0, 0xA4, 0x69, 0x6B, 0xA7, 0xAD, 0x91, 0x02,
                   0x03, 0x04, 0x05, 0x06, 0x09, 0x22, 0x2C, 0x34, 0x6C, 0x72, 0x73, 0x66, 0x93})
        EXPECT_NE(FindClientPacketHandler(u8(id), false), NotBuiltClientPacket) << std::hex << id;
    for (int id : {0x07, 0x08, 0x12, 0x13})
        EXPECT_EQ(FindClientPacketHandler(u8(id), false), NotBuiltClientPacket) << std::hex << id;

    FakePlayer player("Ann");
    LogCapture log;
    u8 help[258] = {0x9B};
    u8 remove[5] = {0x1D};
    for (int i = 0; i < 3; ++i) {
        PacketReader a(help, sizeof help, 1);
        DispatchClientPacket(player, 0x9B, a);
        PacketReader b(remove, sizeof remove, 1);
        DispatchClientPacket(player, 0x1D, b);  // not in edit mode: ignored, no line
        EXPECT_TRUE(a.Ok());
    }
    player.SetFlagWord(kPlayerEditing);
    PacketReader c(remove, sizeof remove, 1);
    DispatchClientPacket(player, 0x1D, c);
    std::vector<std::string> lines;
    for (const LogRecord& r : log.Entries())
        lines.push_back(r.message);
    EXPECT_EQ(lines, (std::vector<std::string>{"client packet 0x9B: handler not built yet",
                                               "client packet 0x1D: handler not built yet"}));
}

class MalformedPacketTest : public LinkTest {};

TEST_F(MalformedPacketTest, AReadPastThePacketClosesTheConnectionNamingIdAndOffset) {
    std::vector<u8> longName = Packet(0x5D);
    std::fill(longName.begin() + 5, longName.begin() + 35, 'A');  // no terminator in the field
    std::fill(longName.begin() + 35, longName.end(), 0xFF);
    std::vector<u8> page = Packet(0x52, 3 + 80);
    struct Case {
        const char* name;
        bool loggedIn;
        std::vector<u8> bytes;
        u32 state;
        std::string line;    // the log line, "" for none
        std::string answer;  // the client's bytes; "1B..." for the world entry's packets
    };
    const Case cases[] = {
        {"0x52 without its 80-byte field", true, Packet(0x52, 3), 1,
         "client packet 0x52 read past its end at offset 3", ""},
        {"0x52 cut inside its 80-byte field", true, Packet(0x52, 40), 1,
         "client packet 0x52 read past its end at offset 3", ""},
        {"0x52 with the field and no text", true, page, 0, "", ""},
        {"a name filling its field is read as its 30 bytes", false, longName, 0, "", "1B..."},
        {"0xA4 whole", true, Packet(0xA4), 0, "", ""},
    };
    registry.Add(std::string(30, 'A'));
    for (const Case& c : cases) {
        CUserSock* s = CreateLocalUserSock();
        FakePlayer* p = registry.Add("P");
        if (c.loggedIn) {
            LinkPlayerToSocket(p, s);
            s->loggedIn = 1;
        }
        LogCapture log;
        ClientSends(c.bytes);
        s->OnReadable();
        s->FlushSendQueue();
        EXPECT_EQ(s->state, c.state) << c.name;
        std::vector<std::string> lines;
        for (const LogRecord& r : log.FromSource("badness"))
            lines.push_back(r.message);
        EXPECT_EQ(lines,
                  c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line})
            << c.name;
        const std::string answer = ToHex(ClientReads());
        if (c.answer == "1B...") {
            EXPECT_EQ(answer.substr(0, 2), "1B") << c.name;
        } else {
            EXPECT_EQ(answer, c.answer) << c.name;
        }
        DeleteAllSockets();
    }
}

}  // namespace
