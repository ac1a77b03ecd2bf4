#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "core/packet_writer.h"

namespace {

std::vector<u8> Bytes(const PacketWriter& w) {
    return std::vector<u8>(w.Data(), w.Data() + w.Length());
}

}  // namespace

TEST(PacketWriter, HeadersFieldsAndTheLengthInBytesOneAndTwo) {
    u8 buffer[64];
    PacketWriter fixed(buffer, sizeof buffer);
    fixed.Begin(0x22, false);
    EXPECT_EQ(fixed.Length(), 1u);
    fixed.AppendByte(7);
    fixed.AppendShort(0x1234);
    EXPECT_EQ(Bytes(fixed), (std::vector<u8>{0x22, 7, 0x12, 0x34}));

    PacketWriter var(buffer, sizeof buffer);
    var.Begin(0x1C, true);
    EXPECT_EQ(Bytes(var), (std::vector<u8>{0x1C, 0, 3}));
    var.AppendLong(0x40000001);
    var.AppendFixedText("Hi", 4);
    var.AppendCText("ok");
    EXPECT_EQ(Bytes(var),
              (std::vector<u8>{0x1C, 0, 14, 0x40, 0, 0, 1, 'H', 'i', 0, 0, 'o', 'k', 0}));
    EXPECT_TRUE(var.Ok());
}

TEST(PacketWriter, FixedTextsAreCutToTheFieldAndZeroFilled) {
    u8 buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    PacketWriter w(buffer, sizeof buffer);
    w.Begin(0x01, false);
    w.AppendFixedText("abcdef", 4);
    w.AppendFixedText(nullptr, 2);
    EXPECT_EQ(Bytes(w), (std::vector<u8>{0x01, 'a', 'b', 'c', 'd', 0, 0}));
}

TEST(PacketWriter, AFieldPastTheCapacityOrTheProtocolLimitFailsTheWholePacket) {
    struct Case {
        size_t capacity;
        size_t appended;  // zero bytes appended after a variable header
        bool ok;
        size_t length;
    };
    const Case cases[] = {
        {10, 7, true, 10},
        {10, 8, false, 3},  // one byte too many: the field is not written
        {70000, 65532, true, 65535},
        {70000, 65533, false, 3},  // the length would not fit in 16 bits
        {2, 0, false, 0},          // not even the header fits
    };
    for (const auto& c : cases) {
        std::vector<u8> buffer(c.capacity);
        PacketWriter w(buffer.data(), buffer.size());
        w.Begin(0xAE, true);
        w.AppendZeros(c.appended);
        EXPECT_EQ(w.Ok(), c.ok) << c.capacity << " " << c.appended;
        EXPECT_EQ(w.Length(), c.length) << c.capacity << " " << c.appended;
        w.AppendByte(1);  // a failed writer stays failed
        if (!c.ok) {
            EXPECT_EQ(w.Length(), c.length);
        }
    }
}

TEST(PacketReader, FieldsAfterTheHeaderInNetworkOrder) {
    const u8 var[] = {0x03, 0x00, 0x0C, 0x01, 0x12, 0x34, 0x00, 0x03, 'h', 'e', 'y', 0};
    PacketReader r(var, sizeof var, 3);
    u8 type = 0;
    u16 hue = 0, font = 0;
    const char* text = nullptr;
    EXPECT_TRUE(r.ReadByte(type) && r.ReadShort(hue) && r.ReadShort(font) && r.ReadCText(text));
    EXPECT_EQ(type, 1);
    EXPECT_EQ(hue, 0x1234);
    EXPECT_EQ(font, 3);
    EXPECT_STREQ(text, "hey");
    EXPECT_EQ(r.Remaining(), 0u);

    const u8 fixed[] = {0x05, 0x40, 0x00, 0x00, 0x01};
    PacketReader f(fixed, sizeof fixed, 1);
    u32 serial = 0;
    EXPECT_TRUE(f.ReadLong(serial));
    EXPECT_EQ(serial, 0x40000001u);
}

TEST(PacketReader, ReadsPastTheEndFailAndNameTheirOffset) {
    const u8 packet[] = {0x9A, 0x00, 0x09, 0, 0, 0, 1, 'a', 'b'};  // text without its zero
    {
        PacketReader r(packet, sizeof packet, 3);
        u32 serial;
        const char* text = nullptr;
        EXPECT_TRUE(r.ReadLong(serial));
        EXPECT_FALSE(r.ReadCText(text));
        EXPECT_EQ(text, nullptr);
        EXPECT_EQ(r.FailOffset(), 7u);
        u8 later;
        EXPECT_FALSE(r.ReadByte(later));  // once failed, always failed
        EXPECT_EQ(r.FailOffset(), 7u);
    }
    {
        PacketReader r(packet, sizeof packet, 3);
        u32 a, b;
        EXPECT_TRUE(r.ReadLong(a));
        EXPECT_FALSE(r.ReadLong(b));  // two bytes left
        EXPECT_EQ(r.FailOffset(), 7u);
    }
    {
        PacketReader r(packet, 2, 3);  // shorter than its own header
        EXPECT_FALSE(r.Ok());
        u8 b;
        EXPECT_FALSE(r.ReadByte(b));
    }
    {
        PacketReader r(packet, sizeof packet, 3);
        char name[3];
        EXPECT_TRUE(r.Skip(4));
        EXPECT_TRUE(r.ReadFixedText(name, sizeof name, 2));  // "ab", no zero in the field
        EXPECT_STREQ(name, "ab");
        EXPECT_FALSE(r.Skip(1));
    }
}
