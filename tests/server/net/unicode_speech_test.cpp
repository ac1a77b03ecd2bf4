#include "server/net/unicode_speech.h"

#include <gtest/gtest.h>

#include <string>

#include "packet_test_support.h"

namespace {

TEST(UnicodeSpeech, FiveCharactersMakeSixtyBytes) {
    BuiltPacket p;
    ASSERT_TRUE(BuildUnicodeSpeechPacket(p.w, nullptr, 0, u"hello", 0x34, 3, 0x454E5500, false));
    const std::vector<u8> b = p.Bytes();
    ASSERT_EQ(b.size(), 60u);
    EXPECT_EQ(std::vector<u8>(b.begin(), b.begin() + 18),
              Hex("AE 00 3C FF FF FF FF FF FF 00 00 34 00 03 45 4E 55 00"));
    EXPECT_EQ(std::vector<u8>(b.begin() + 18, b.begin() + 48), std::vector<u8>(30, 0));
    EXPECT_EQ(std::vector<u8>(b.end() - 12, b.end()), Hex("00 68 00 65 00 6C 00 6C 00 6F 00 00"));
}

TEST(UnicodeSpeech, ALongTextIsCutSoThePacketStaysWithin65535Bytes) {
    struct Case {
        size_t chars;
        size_t length;
    };
    const Case cases[] = {
        {100, 48 + 202},
        {static_cast<size_t>(kMaxUnicodeSpeechChars), kMaxUnicodeSpeechLength},
        {40000, kMaxUnicodeSpeechLength},
    };
    for (const Case& c : cases) {
        const std::u16string text(c.chars, u'\x263A');
        BuiltPacket p;
        ASSERT_TRUE(BuildUnicodeSpeechPacket(p.w, nullptr, 0, text.c_str(), 0, 3, 0, false))
            << c.chars;
        const std::vector<u8> b = p.Bytes();
        ASSERT_EQ(b.size(), c.length) << c.chars;
        EXPECT_LE(b.size(), 65535u);
        EXPECT_EQ(Be16(b, 1), b.size());
        EXPECT_EQ(Be16(b, b.size() - 4), 0x263A);
        EXPECT_EQ(Be16(b, b.size() - 2), 0);
    }
}

}  // namespace
