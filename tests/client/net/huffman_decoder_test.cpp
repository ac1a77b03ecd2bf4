// The decoder against an encoder of the tests' own: goldens, packets cut at every kind of
// bit position, the filler after the end mark, and the stop at a full output buffer.
#include "client/net/huffman_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/client/net/huffman_test_encoder.h"

namespace {

// Feeds `stream` to a decoder in pieces ending at `cuts` (byte counts), keeping the
// unconsumed bytes like the connection does; answers everything decoded.
std::vector<u8> DecodeInPieces(const std::vector<u8>& stream, const std::vector<size_t>& cuts) {
    HuffmanDecoder decoder;
    std::vector<u8> pending, decoded(stream.size() * 8 + 16);
    size_t decodedCount = 0, fed = 0;
    auto feed = [&](size_t upTo) {
        pending.insert(pending.end(), stream.begin() + fed, stream.begin() + upTo);
        fed = upTo;
        std::vector<u8> input = pending;
        input.resize(pending.size() + HuffmanDecoder::kInputSlack, 0xA5);
        const size_t used = decoder.Decode(input.data(), pending.size(), decoded.data(),
                                           decodedCount, decoded.size());
        pending.erase(pending.begin(), pending.begin() + used);
    };
    for (size_t cut : cuts)
        feed(cut);
    feed(stream.size());
    decoded.resize(decodedCount);
    return decoded;
}

TEST(HuffmanDecoder, CodeIsCompleteAndPrefixFree) {
    double kraft = 0;
    for (int s = 0; s < kHuffmanSymbols; ++s) {
        const HuffmanCode& c = HuffmanCodeTable(s);
        ASSERT_GE(c.bitCount, 2u);
        ASSERT_LE(c.bitCount, 11u);
        kraft += 1.0 / double(1u << c.bitCount);
    }
    EXPECT_DOUBLE_EQ(kraft, 1.0);
}

TEST(HuffmanDecoder, Goldens) {
    const struct {
        std::vector<u8> plain, coded;
    } cases[] = {
        {{0x55}, {0x44, 0x68}},
        {{0x53, 0x02}, {0xE6, 0xC5, 0xA0}},
        {{0x5B, 0x0C, 0x1E, 0x05}, {0x8E, 0x67, 0x64, 0x68, 0xD0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HuffmanEncode(c.plain), c.coded);
        EXPECT_EQ(DecodeInPieces(c.coded, {}), c.plain);
    }
}

TEST(HuffmanDecoder, RandomPacketsCutAnywhereDecodeEqual) {
    std::mt19937 random(17);
    for (int round = 0; round < 200; ++round) {
        std::vector<u8> plain, stream;
        const int packets = 1 + int(random() % 6);
        for (int p = 0; p < packets; ++p) {
            std::vector<u8> packet(1 + random() % 300);
            for (u8& b : packet)
                b = u8(random());
            plain.insert(plain.end(), packet.begin(), packet.end());
            HuffmanEncodeAppend(packet.data(), packet.size(), stream);
        }
        std::vector<size_t> cuts;
        for (int i = 0, n = int(random() % 8); i < n; ++i)
            cuts.push_back(random() % stream.size());
        std::sort(cuts.begin(), cuts.end());
        ASSERT_EQ(DecodeInPieces(stream, cuts), plain) << "round " << round;
    }
}

TEST(HuffmanDecoder, EveryByteCutOfOnePacket) {
    std::vector<u8> plain(64);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = u8(i * 37 + 5);
    const std::vector<u8> stream = HuffmanEncode(plain);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        ASSERT_EQ(DecodeInPieces(stream, {cut}), plain) << "cut at " << cut;
    }
}

TEST(HuffmanDecoder, FillerAfterEndMarkIsSkipped) {
    // 0x55 ends at bit 13 of 16: the three bits after the end mark are filler, set to ones
    // here; the next packet starts on the byte boundary.
    std::vector<u8> stream = {0x44, 0x68 | 0x07};
    const std::vector<u8> second = HuffmanEncode({0x53, 0x02});
    stream.insert(stream.end(), second.begin(), second.end());
    EXPECT_EQ(DecodeInPieces(stream, {1, 2}), (std::vector<u8>{0x55, 0x53, 0x02}));
}

TEST(HuffmanDecoder, StopsAtAFullOutputAndKeepsTheRest) {
    std::vector<u8> plain(70000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = u8(i);
    std::vector<u8> stream = HuffmanEncode(plain);
    stream.resize(stream.size() + HuffmanDecoder::kInputSlack);
    const size_t streamBytes = stream.size() - HuffmanDecoder::kInputSlack;
    HuffmanDecoder decoder;
    std::vector<u8> out(65536);
    size_t count = 0;
    const size_t used = decoder.Decode(stream.data(), streamBytes, out.data(), count, 65536);
    EXPECT_EQ(count, 65536u);
    EXPECT_LT(used, streamBytes);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), plain.begin()));
    // The rest comes out on the next pass, from where it stopped.
    std::vector<u8> rest(stream.begin() + used, stream.end());
    count = 0;
    decoder.Decode(rest.data(), streamBytes - used, out.data(), count, 65536);
    ASSERT_EQ(count, plain.size() - 65536);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + count, plain.begin() + 65536));
}

}  // namespace
