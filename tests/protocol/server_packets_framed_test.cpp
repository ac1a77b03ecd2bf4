// Every server packet as the client frames it: each builder's packet is taken whole by the
// client's framer (not before its last byte, nothing left after it), and reaches the slot of
// its id with its whole length when the client handles the id.
#include <gtest/gtest.h>

#include <set>

#include "client/net/client_packet_framer.h"
#include "client/net/link_report.h"
#include "client/net/server_packet_dispatcher.h"
#include "core/protocol/packet_table.h"
#include "tests/server/net/server_packet_samples.h"

namespace {

// Server packets the client frames and consumes without a handler: the server builds them
// for peers other than this client (administration, edit tools) or for later parts.
const std::set<int> kConsumedWithoutHandler = {0x14, 0x1E, 0x2A, 0x2B, 0x32, 0x35,
                                               0x36, 0x3D, 0x50, 0x51, 0x63, 0x9C};

class ServerPacketsFramedTest : public ServerPacketSamplesTest {};

TEST_F(ServerPacketsFramedTest, EveryServerBuilderIsFramedWholeByTheClient) {
    LinkReportCapture reports;
    for (const ServerPacketSample& sample : Samples()) {
        BuiltPacket built;
        ASSERT_TRUE(sample.build(built.w)) << std::hex << int(sample.id);
        std::vector<u8> bytes = built.Bytes();
        const size_t size = bytes.size();
        EXPECT_NE(ClientPacketLengthTable(sample.id), 0) << std::hex << int(sample.id);
        EXPECT_EQ(ServerPacketDispatcher::Accepts(sample.id),
                  !kConsumedWithoutHandler.count(sample.id))
            << std::hex << int(sample.id);

        ServerPacketDispatcher dispatcher;
        std::vector<size_t> dispatched;
        dispatcher.SetSlot(sample.id,
                           [&](const u8*, size_t length) { dispatched.push_back(length); });
        ClientPacketFramer framer(dispatcher);
        std::vector<u8> buffer(70000);
        std::copy(bytes.begin(), bytes.end(), buffer.begin());

        size_t count = size - 1;
        ASSERT_TRUE(framer.Frame(buffer.data(), count, buffer.size()))
            << std::hex << int(sample.id);
        EXPECT_EQ(count, size - 1) << "taken before its last byte: " << std::hex << int(sample.id);
        EXPECT_TRUE(dispatched.empty()) << std::hex << int(sample.id);

        count = size;
        ASSERT_TRUE(framer.Frame(buffer.data(), count, buffer.size()))
            << std::hex << int(sample.id);
        EXPECT_EQ(count, 0u) << "left in the buffer: " << std::hex << int(sample.id);
        if (sample.id == kPausePacketId) {
            EXPECT_TRUE(framer.Holding());
        } else if (ServerPacketDispatcher::Accepts(sample.id)) {
            EXPECT_EQ(dispatched, std::vector<size_t>{size}) << std::hex << int(sample.id);
        }
    }
    EXPECT_TRUE(reports.Lines().empty()) << reports.Lines().front();
}

}  // namespace
