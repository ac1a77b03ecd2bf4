// Every server packet builder against the packet table: what it writes is one whole packet as
// the table frames it (a fixed id has exactly its table length, a variable one its own length
// in bytes 1-2), and each builder's stated length constant matches.
#include <gtest/gtest.h>

#include "core/protocol/packet_table.h"
#include "tests/server/net/server_packet_samples.h"

namespace {

class PacketBuildersFramingTest : public ServerPacketSamplesTest {};

TEST_F(PacketBuildersFramingTest, EveryBuilderWritesOneWholePacketAsTheTableFramesIt) {
    for (const ServerPacketSample& c : Samples()) {
        BuiltPacket p;
        ASSERT_TRUE(c.build(p.w)) << std::hex << int(c.id);
        const std::vector<u8> b = p.Bytes();
        ASSERT_FALSE(b.empty());
        EXPECT_EQ(b[0], c.id);
        const u16 word = PacketTableWord(c.id);
        ASSERT_NE(word, 0) << std::hex << int(c.id);
        EXPECT_EQ(p.w.IsVariableLength(), PacketTableIsVariable(c.id)) << std::hex << int(c.id);
        EXPECT_EQ(PacketFramedLength(b.data(), b.size()), static_cast<int>(b.size()))
            << std::hex << int(c.id);
        if (!PacketTableIsVariable(c.id)) {
            EXPECT_EQ(word, b.size()) << std::hex << int(c.id);
        }
        if (c.stated) {
            EXPECT_EQ(b.size(), c.stated) << std::hex << int(c.id);
        }
    }
}

}  // namespace
