// Framing by the client's length table, and the pause of packet 0x33.
#include "client/net/client_packet_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/net/link_report.h"
#include "client/net/server_packet_dispatcher.h"

namespace {

using Bytes = std::vector<u8>;

// A dispatcher whose every slot records the packets it gets, in order.
struct RecordingDispatcher {
    ServerPacketDispatcher dispatcher;
    std::vector<Bytes> seen;
    RecordingDispatcher() {
        for (int id = 0; id < 256; ++id) {
            dispatcher.SetSlot(id, [this](const u8* p, size_t n) { seen.emplace_back(p, p + n); });
        }
    }
};

// A buffer being framed across passes, bytes arriving in pieces.
struct Stream {
    RecordingDispatcher slots;
    ClientPacketFramer framer{slots.dispatcher};
    std::vector<u8> buffer = std::vector<u8>(65536);
    size_t count = 0;

    bool Arrive(const Bytes& bytes) {
        std::copy(bytes.begin(), bytes.end(), buffer.begin() + count);
        count += bytes.size();
        return framer.Frame(buffer.data(), count, buffer.size());
    }
};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kLoginComplete = {0x55};                           // fixed, 1 byte
const Bytes kLight = {0x4F, 0x07};                             // fixed, 2 bytes
const Bytes kDelete = {0x1D, 0x40, 0x00, 0x00, 0x01};          // fixed, 5 bytes
const Bytes kUrl = {0xA5, 0x00, 0x08, 'a', '.', 'b', 'c', 0};  // variable, 8 bytes
const Bytes kEmptyVariable = {0xA5, 0x00, 0x03};               // variable, header only
const Bytes kPause = {0x33, 0x01};
const Bytes kResume = {0x33, 0x00};

TEST(ClientPacketFramer, SplitAtEveryOffsetGivesTheSamePackets) {
    const Bytes stream = Cat({kLoginComplete, kUrl, kLight, kEmptyVariable, kDelete});
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        for (size_t cut2 = cut; cut2 <= stream.size(); ++cut2) {
            Stream s;
            ASSERT_TRUE(s.Arrive(Bytes(stream.begin(), stream.begin() + cut)));
            ASSERT_TRUE(s.Arrive(Bytes(stream.begin() + cut, stream.begin() + cut2)));
            ASSERT_TRUE(s.Arrive(Bytes(stream.begin() + cut2, stream.end())));
            ASSERT_EQ(s.slots.seen,
                      (std::vector<Bytes>{kLoginComplete, kUrl, kLight, kEmptyVariable, kDelete}))
                << "cuts " << cut << ", " << cut2;
            EXPECT_EQ(s.count, 0u);
        }
    }
}

TEST(ClientPacketFramer, ALoneOneBytePacketIsFramedAtOnce) {
    Stream s;
    ASSERT_TRUE(s.Arrive({0x29}));
    EXPECT_EQ(s.slots.seen, (std::vector<Bytes>{{0x29}}));
}

TEST(ClientPacketFramer, AVariablePacketWaitsForItsHeaderAndBody) {
    Stream s;
    ASSERT_TRUE(s.Arrive({0xA5, 0x00}));
    ASSERT_TRUE(s.Arrive({0x08, 'a'}));
    EXPECT_TRUE(s.slots.seen.empty());
    EXPECT_EQ(s.count, 4u);
    ASSERT_TRUE(s.Arrive({'.', 'b', 'c', 0}));
    EXPECT_EQ(s.slots.seen, (std::vector<Bytes>{kUrl}));
}

TEST(ClientPacketFramer, UnframeableStreamsAreRefusedWithAReport) {
    const struct {
        Bytes bytes;
        std::string report;
    } cases[] = {
        {{0xBA, 0x00}, "Closing the connection: server packet id 0xBA has no length."},
        {{0xFF}, "Closing the connection: server packet id 0xFF has no length."},
        {{0xA5, 0x00, 0x02}, "Closing the connection: server packet 0xA5 says it is 2 bytes long."},
        {{0xA5, 0x00, 0x00}, "Closing the connection: server packet 0xA5 says it is 0 bytes long."},
    };
    for (const auto& c : cases) {
        LinkReportCapture reports;
        Stream s;
        EXPECT_FALSE(s.Arrive(Cat({kLight, c.bytes})));
        EXPECT_EQ(s.slots.seen, (std::vector<Bytes>{kLight}));
        EXPECT_TRUE(reports.Has(c.report)) << c.report;
    }
}

TEST(ClientPacketFramer, IdsWithoutACaseAreConsumed) {
    RecordingDispatcher slots;
    // Only the accepted ids have slots: 0x10, 0x26 and 0xB6 fall through.
    for (int id : {0x10, 0x26, 0xB6})
        EXPECT_FALSE(slots.dispatcher.SetSlot(id, {}));
    ClientPacketFramer framer(slots.dispatcher);
    Bytes stream =
        Cat({Bytes(215, 0), Bytes{0x26, 1, 2, 3, 4}, Bytes{0xB6, 0, 0, 0, 0, 0}, kLight});
    stream[0] = 0x10;
    size_t count = stream.size();
    ASSERT_TRUE(framer.Frame(stream.data(), count, 65536));
    EXPECT_EQ(slots.seen, (std::vector<Bytes>{kLight}));
    EXPECT_EQ(count, 0u);
}

TEST(ClientPacketFramer, ResumeWithoutPauseChangesNothing) {
    Stream s;
    ASSERT_TRUE(s.Arrive(Cat({kResume, kLight})));
    EXPECT_EQ(s.slots.seen, (std::vector<Bytes>{kLight}));
    EXPECT_FALSE(s.framer.Holding());
}

TEST(ClientPacketFramer, HeldPacketsRunInArrivalOrderBeforeLaterOnes) {
    Stream s;
    ASSERT_TRUE(s.Arrive(Cat({kLight, kPause, kDelete, kUrl})));
    EXPECT_EQ(s.slots.seen, (std::vector<Bytes>{kLight}));
    EXPECT_TRUE(s.framer.Holding());
    EXPECT_EQ(s.framer.HeldCount(), 2u);
    // Held across passes, and a second pause only goes on pausing.
    ASSERT_TRUE(s.Arrive(Cat({kLoginComplete, kPause})));
    EXPECT_EQ(s.slots.seen.size(), 1u);
    EXPECT_EQ(s.framer.HeldCount(), 3u);
    ASSERT_TRUE(s.Arrive(Cat({kResume, kEmptyVariable})));
    EXPECT_EQ(s.slots.seen,
              (std::vector<Bytes>{kLight, kDelete, kUrl, kLoginComplete, kEmptyVariable}));
    EXPECT_FALSE(s.framer.Holding());
    EXPECT_EQ(s.count, 0u);
    EXPECT_EQ(s.framer.ReadPosition(), 0u);
}

TEST(ClientPacketFramer, APacketThatCannotFitBehindTheHeldOnesEndsThePause) {
    Stream s;
    ASSERT_TRUE(s.Arrive(kPause));
    // Held packets filling the buffer to 60,000 bytes.
    Bytes big(30000, 0);
    big[0] = 0xA5;
    big[1] = u8(30000 >> 8);
    big[2] = u8(30000 & 0xFF);
    ASSERT_TRUE(s.Arrive(big));
    ASSERT_TRUE(s.Arrive(big));
    EXPECT_TRUE(s.slots.seen.empty());
    // The next one's header says 6,000 bytes: it could never be completed behind them.
    Bytes next(6000, 0);
    next[0] = 0xA5;
    next[1] = u8(6000 >> 8);
    next[2] = u8(6000 & 0xFF);
    ASSERT_TRUE(s.Arrive(Bytes(next.begin(), next.begin() + 3)));
    EXPECT_FALSE(s.framer.Holding());
    ASSERT_EQ(s.slots.seen.size(), 2u);
    EXPECT_EQ(s.count, 3u);
    ASSERT_TRUE(s.Arrive(Bytes(next.begin() + 3, next.end())));
    ASSERT_EQ(s.slots.seen.size(), 3u);
    EXPECT_EQ(s.slots.seen[2], next);
}

TEST(ClientPacketFramer, APacketThatJustFitsBehindTheHeldOnesStaysPaused) {
    Stream s;
    ASSERT_TRUE(s.Arrive(kPause));
    Bytes big(60000, 0);
    big[0] = 0xA5;
    big[1] = u8(60000 >> 8);
    big[2] = u8(60000 & 0xFF);
    ASSERT_TRUE(s.Arrive(big));
    // 60,000 + 5,535 is the most the receive buffer can hold: the pause goes on.
    const size_t rest = 65535 - 60000;
    ASSERT_TRUE(s.Arrive({0xA5, u8(rest >> 8), u8(rest & 0xFF)}));
    EXPECT_TRUE(s.framer.Holding());
    EXPECT_TRUE(s.slots.seen.empty());
}

TEST(ClientPacketFramer, StopEmptiesTheBufferAfterTheCurrentPacket) {
    RecordingDispatcher slots;
    ClientPacketFramer* framerPtr = nullptr;
    slots.dispatcher.SetSlot(0x55, [&](const u8*, size_t) { framerPtr->Stop(); });
    ClientPacketFramer framer(slots.dispatcher);
    framerPtr = &framer;
    Bytes stream = Cat({kLight, kLoginComplete, kDelete});
    size_t count = stream.size();
    ASSERT_TRUE(framer.Frame(stream.data(), count, 65536));
    EXPECT_EQ(slots.seen, (std::vector<Bytes>{kLight}));
    EXPECT_EQ(count, 0u);
}

}  // namespace
