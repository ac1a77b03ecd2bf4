// The login answers, byte for byte.
#include "server/net/login_packets.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/packet_writer.h"
#include "tests/server/net/net_test_support.h"

namespace {

std::vector<u8> Text(const char* text, size_t width) {
    std::vector<u8> field(width, 0);
    std::memcpy(field.data(), text, std::strlen(text));
    return field;
}

TEST(LoginPackets, RejectIsTwoBytes) {
    u8 bytes[2];
    PacketWriter w(bytes, sizeof bytes);
    BuildLoginRejectPacket(w, kLoginRejectNameInUse);
    ASSERT_TRUE(w.Ok());
    EXPECT_EQ(ToHex({bytes, bytes + w.Length()}), "53 02");
}

TEST(LoginPackets, AnEmptyListWithTheStartBlockIs387Bytes) {
    u8 bytes[kCharacterListMaxLength];
    PacketWriter w(bytes, sizeof bytes);
    BuildCharacterListPacket(w, 0, kCharacterListWithStart, nullptr, nullptr);
    ASSERT_TRUE(w.Ok());
    std::vector<u8> expected = FromHex("81 01 83 00 CD");
    expected.resize(expected.size() + 300, 0);
    for (const auto& part : {FromHex("01 00"), Text("Sorvenmar", 16), FromHex("01 00"),
                             Text("Vessholm", 31), Text("Copper Kettle", 31)})
        expected.insert(expected.end(), part.begin(), part.end());
    ASSERT_EQ(expected.size(), 387u);
    EXPECT_EQ(std::vector<u8>(bytes, bytes + w.Length()), expected);
}

TEST(LoginPackets, NamesFillTheirSlotsAndOtherModesEndAfterTheSlots) {
    u8 bytes[kCharacterListMaxLength];
    PacketWriter w(bytes, sizeof bytes);
    const std::string thirtyTwo(32, 'N');
    const char* names[] = {"Ann", thirtyTwo.c_str(), "ignored"};
    BuildCharacterListPacket(w, 2, 0, names, nullptr);
    ASSERT_EQ(w.Length(), 305u);
    EXPECT_EQ(ToHex({bytes, bytes + 5}), "81 01 31 02 00");
    EXPECT_EQ(std::vector<u8>(bytes + 5, bytes + 35), Text("Ann", 30));
    EXPECT_EQ(std::vector<u8>(bytes + 65, bytes + 95), std::vector<u8>(30, 'N'));
    EXPECT_EQ(std::vector<u8>(bytes + 125, bytes + 305), std::vector<u8>(180, 0));
}

}  // namespace
