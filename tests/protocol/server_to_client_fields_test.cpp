// Server packets read back the way the client reads them: each builder is given distinctive
// values, the client frames the packet and reads its fields in the client's order and widths
// with its bounded reader, and every value comes back with nothing left over. Packets whose
// client handlers are built (the login road) go through those handlers instead.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "client/net/login_front_end.h"
#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "server/net/login_packets.h"
#include "server/server_config.h"
#include "tests/server/net/server_packet_samples.h"

namespace {

// Reads a packet as `format` says, one token per field:
//   B u8, S u16, L u32 (decimal); T<n> a text of n bytes; Z a terminated text;
//   b / s a text counted by a u8 / u16; w a u16 count of 16-bit characters (shown as 8-bit);
//   R the rest of the packet as text; x<n> n bytes skipped.
// Answers the values joined by spaces, or what failed.
std::string ReadFields(const std::vector<u8>& packet, bool variable, const std::string& format) {
    PacketReader r(packet.data(), packet.size(), variable ? 3 : 1);
    std::istringstream tokens(format);
    std::string token, out;
    auto put = [&](const std::string& value) { out += (out.empty() ? "" : " ") + value; };
    while (tokens >> token) {
        const char kind = token[0];
        const size_t n = token.size() > 1 ? std::stoul(token.substr(1)) : 0;
        if (kind == 'B') {
            u8 v = 0;
            r.ReadByte(v);
            put(std::to_string(v));
        } else if (kind == 'S') {
            u16 v = 0;
            r.ReadShort(v);
            put(std::to_string(v));
        } else if (kind == 'L') {
            u32 v = 0;
            r.ReadLong(v);
            put(std::to_string(v));
        } else if (kind == 'T') {
            std::vector<char> text(n + 1);
            r.ReadFixedText(text.data(), text.size(), n);
            put(text.data());
        } else if (kind == 'Z') {
            const char* text = "";
            r.ReadCText(text);
            put(r.Ok() ? text : "");
        } else if (kind == 'b' || kind == 's' || kind == 'R') {
            size_t count = r.Remaining();
            if (kind == 'b') {
                u8 c = 0;
                r.ReadByte(c);
                count = c;
            } else if (kind == 's') {
                u16 c = 0;
                r.ReadShort(c);
                count = c;
            }
            const u8* bytes = nullptr;
            r.ReadFixedBytes(bytes, count);
            std::string text(r.Ok() ? reinterpret_cast<const char*>(bytes) : "",
                             r.Ok() ? count : 0);
            put(text.c_str());  // up to its terminator
        } else if (kind == 'w') {
            u16 c = 0;
            r.ReadShort(c);
            std::string text;
            for (u16 i = 0; i < c; ++i) {
                u16 unit = 0;
                r.ReadShort(unit);
                text += char(unit);
            }
            put(text);
        } else if (kind == 'x') {
            r.Skip(n);
        }
    }
    if (!r.Ok()) return "read past the packet at " + std::to_string(r.FailOffset());
    if (r.Remaining()) return out + " +" + std::to_string(r.Remaining()) + " bytes unread";
    return out;
}

std::string Repeat(const std::string& format, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += (out.empty() ? "" : " ") + format;
    return out;
}

// 0x1A as the client reads it: the flag bits of serial, graphic, x and y say which optional
// fields follow. Answers serial graphic increment amount x y direction z hue flags.
std::string ReadObjectInfo(const std::vector<u8>& packet) {
    PacketReader r(packet.data(), packet.size(), 3);
    u32 serial = 0;
    u16 graphic = 0, amount = 1, x = 0, y = 0, hue = 0;
    u8 increment = 0, direction = 0, z = 0, flags = 0;
    r.ReadLong(serial);
    r.ReadShort(graphic);
    if (graphic & 0x8000) r.ReadByte(increment);
    if (serial & 0x80000000u) r.ReadShort(amount);
    r.ReadShort(x);
    r.ReadShort(y);
    if (x & 0x8000) r.ReadByte(direction);
    r.ReadByte(z);
    if (y & 0x8000) r.ReadShort(hue);
    if (y & 0x4000) r.ReadByte(flags);
    if (!r.Ok() || r.Remaining()) return "malformed";
    std::ostringstream out;
    out << (serial & 0x7FFFFFFF) << ' ' << (graphic & 0x7FFF) << ' ' << int(increment) << ' '
        << amount << ' ' << (x & 0x7FFF) << ' ' << (y & 0x3FFF) << ' ' << int(direction) << ' '
        << int(z) << ' ' << hue << ' ' << int(flags);
    return out.str();
}

class ServerToClientFieldsTest : public ServerPacketSamplesTest {
protected:
    std::string S(u32 serial) { return std::to_string(serial); }
};

TEST_F(ServerToClientFieldsTest, EveryFieldReadsBackInTheClientsLayout) {
    player->SetHue(0x83EA);
    item->SetHue(0x0455);
    const std::string p = S(player->GetSerial());
    const std::string it = S(item->GetSerial());
    const CItem* first = bag->GetFirstChild();
    const CItem* second = first->GetNextSibling();
    CItem* worn = NewItem();
    worn->SetHue(0x0455);
    ASSERT_TRUE(worn->EquipOn(player, 5));
    auto at = [](const CItem* i) {
        return std::to_string(i->GetLocation().x) + " " + std::to_string(i->GetLocation().y);
    };
    DragEffect drag;
    drag.graphic = 0x0EED;
    drag.increment = 2;
    drag.hue = 0x21;
    drag.amount = 7;
    drag.sourceSerial = 0x40000010;
    drag.source = Location(100, 200, 5);
    drag.targetSerial = 0x40000011;
    drag.target = Location(300, 400, 250);
    GraphicEffect effect;
    effect.type = 2;
    effect.sourceSerial = 0x40000010;
    effect.targetSerial = 0x40000011;
    effect.graphic = 0x36D4;
    effect.source = Location(100, 200, 5);
    effect.target = Location(300, 400, 6);
    for (int i = 0; i < 6; ++i)
        effect.params[i] = u8(i + 1);
    MobileStatusValues full;
    full.vitals = {50, 60, 20, 30, 40, 45};
    full.stats[0] = 70;
    full.stats[1] = 80;
    full.stats[2] = 90;
    full.gold = 123456;
    full.armour = 12;
    const int course[6] = {1, 2, 3, 4, 5, 6};
    const int multiValues[4] = {0x13EC, 1, 2, 3};
    const std::vector<MenuEntry> menuEntries = {{0x0EED, 0x21, "gold"}, {0x0F0E, 0, nullptr}};
    const std::string tip = "first\r\nsecond\n\nthird\n";
    RegionFields region;
    region.firstName = "Vessholm";
    region.value = 7;
    for (int i = 0; i < 6; ++i)
        region.six[i] = u16(10 + i);
    region.secondName = "Harbour";
    region.three[0] = 1, region.three[1] = 2, region.three[2] = 3;
    region.byte = 4;
    region.last = 5;
    std::vector<GumpEntry> gump(2);
    gump[0] = {GumpEntry::Kind::kNarrow, "{page 0}", {}};
    gump[1] = {GumpEntry::Kind::kWide, "", u"Hi"};
    const std::string landRecord = "L S T20", staticRecord = "L B B L S S S B T20",
                      hueRecord = Repeat("S", 34) + " T20";

    struct Case {
        const char* name;
        std::function<bool(PacketWriter&)> build;
        std::string format;
        std::string expected;
    };
    const Case cases[] = {
        {"0x1D", [&](PacketWriter& w) { return BuildDeleteObjectPacket(w, 0x40000123); }, "L",
         "1073742115"},
        {"0x20", [&](PacketWriter& w) { return BuildPlayerUpdatePacket(w, *player, 3); },
         "L S B S B S S S B B", p + " 400 0 33770 0 8 8 0 3 0"},
        {"0x21", [&](PacketWriter& w) { return BuildMoveRejectPacket(w, 9, 1000, 2000, 4, 250); },
         "B S S B B", "9 1000 2000 4 250"},
        {"0x22", [&](PacketWriter& w) { return BuildMoveAckPacket(w, 7, 3); }, "B B", "7 3"},
        {"0x77", [&](PacketWriter& w) { return BuildMobileUpdatePacket(w, *player, 5, 2); },
         "L S S S B B S B B", p + " 400 8 8 0 5 33770 0 2"},
        {"0x78", [&](PacketWriter& w) { return BuildMobileIncomingPacket(w, *player, 5, 2); },
         "L S S S B B S B B L S B S L",
         p + " 400 8 8 0 5 33770 0 2 " + S(worn->GetSerial()) + " " +
             std::to_string(kPlainItem | 0x8000) + " 5 1109 0"},
        {"0x2E", [&](PacketWriter& w) { return BuildWornItemPacket(w, *item, *player, 5); },
         "L S B B L S", it + " 100 0 5 " + p + " 1109"},
        {"0x89", [&](PacketWriter& w) { return BuildCorpseEquipmentPacket(w, 0x40000050, slots); },
         "L B L B", "1073741904 4 " + it + " 0"},
        {"0xAF", [&](PacketWriter& w) { return BuildMobileDeathPacket(w, 1, 2, 3); }, "L L L",
         "1 2 3"},
        {"0x11 extended",
         [&](PacketWriter& w) { return BuildStatusPacket(w, *player, true, full); },
         "L T30 S S B B B S S S S S S S L S S",
         p + " " + player->GetName(0) + " 50 60 0 1 0 70 80 90 40 45 20 30 123456 12 " +
             std::to_string(player->GetWeight())},
        {"0x11 short", [&](PacketWriter& w) { return BuildStatusPacket(w, *player, false, full); },
         "L T30 S S B B", p + " " + player->GetName(0) + " 50 60 0 0"},
        {"0x2D", [&](PacketWriter& w) { return BuildFullStatsPacket(w, 9, full.vitals); },
         "L S S S S S S", "9 60 50 30 20 45 40"},
        {"0xA1", [&](PacketWriter& w) { return BuildHitsPacket(w, 9, 60, 50); }, "L S S",
         "9 60 50"},
        {"0xA2", [&](PacketWriter& w) { return BuildManaPacket(w, 9, 30, 20); }, "L S S",
         "9 30 20"},
        {"0xA3", [&](PacketWriter& w) { return BuildFatiguePacket(w, 9, 45, 40); }, "L S S",
         "9 45 40"},
        {"0x3A names", [&](PacketWriter& w) { return BuildSkillNamesPacket(w, 1, skills); },
         "B S B b", "254 1 1 Alchemy"},
        {"0x3A list",
         [&](PacketWriter& w) {
             return BuildSkillListPacket(w, 0, {55, 0, 700});
         },
         "B S S S S S S S", "0 1 55 2 0 3 700 0"},
        {"0x3A one", [&](PacketWriter& w) { return BuildSkillUpdatePacket(w, 4, 321); }, "B S S",
         "255 4 321"},
        {"0x88", [&](PacketWriter& w) { return BuildPaperdollPacket(w, 9, "Ann the Brave", 1); },
         "L T60 B", "9 Ann the Brave 1"},
        {"0x24", [&](PacketWriter& w) { return BuildOpenGumpPacket(w, 9, 0x3C); }, "L S", "9 60"},
        {"0x25", [&](PacketWriter& w) { return BuildContainerItemPacket(w, *first, *bag, values); },
         "L S B S S S L S",
         S(first->GetSerial()) + " 100 0 1 " + at(first) + " " + S(bag->GetSerial()) + " 0"},
        {"0x3C",
         [&](PacketWriter& w) {
             return BuildContainerContentsPacket(w, *bag, false, false, values);
         },
         "S L S B S S S L S L S B S S S L S",
         "2 " + S(second->GetSerial()) + " 100 0 1 " + at(second) + " " + S(bag->GetSerial()) +
             " 0 " + S(first->GetSerial()) + " 100 0 1 " + at(first) + " " + S(bag->GetSerial()) +
             " 0"},
        {"0x23", [&](PacketWriter& w) { return BuildDragEffectPacket(w, drag); },
         "S B S S L S S B L S S B", "3821 2 33 7 1073741840 100 200 5 1073741841 300 400 250"},
        {"0x27", [&](PacketWriter& w) { return BuildPickUpRejectPacket(w, 3); }, "B", "3"},
        {"0x28", [&](PacketWriter& w) { return BuildDropRejectPacket(w, 1, 2); }, "S S", "1 2"},
        {"0x6F", [&](PacketWriter& w) { return BuildSecureTradePacket(w, 0, 1, 2, 3, "Ayla"); },
         "B L L L B T30", "0 1 2 3 1 Ayla"},
        {"0x6F no name",
         [&](PacketWriter& w) { return BuildSecureTradePacket(w, 2, 1, 0, 1, nullptr); },
         "B L L L B", "2 1 0 1 0"},
        {"0x9E",
         [&](PacketWriter& w) {
             return BuildSellListPacket(w, 9, {{0x40000020, 0x19B9, 0x21, 4, 15, "ore"}});
         },
         "L S L S S S S s", "9 1 1073741856 6585 33 4 15 ore"},
        {"0x3B", [&](PacketWriter& w) { return BuildShopClosePacket(w, 9, 1); }, "L B", "9 1"},
        {"0x90", [&](PacketWriter& w) { return BuildMapDisplayPacket(w, 9, 5021, course); },
         "L S S S S S S S", "9 5021 1 2 3 4 5 6"},
        {"0x56", [&](PacketWriter& w) { return BuildMapPinPacket(w, 9, 2, 1, 76, 131); },
         "L B B S S", "9 2 1 76 131"},
        {"0x1C",
         [&](PacketWriter& w) {
             return BuildTextMessageFromPacket(w, 9, 0x190, "Ann", 0, "hello there", 0x3B2, 3);
         },
         "L S B S S T30 Z", "9 400 0 946 3 Ann hello there"},
        {"0xAB",
         [&](PacketWriter& w) { return BuildStringQueryPacket(w, 9, 4, "Name?", 1, 2, 30, "max"); },
         "L S s B B L s", "9 4 Name? 1 2 30 max"},
        {"0x9A", [&](PacketWriter& w) { return BuildTextEntryPacket(w, 9, 4, 1, "Answer"); },
         "L L L R", "9 4 1 Answer"},
        {"0xA5", [&](PacketWriter& w) { return BuildWebBrowsePacket(w, "http://x.test/"); }, "R",
         "http://x.test/"},
        {"0xA6", [&](PacketWriter& w) { return BuildNoticePacket(w, kNoticeTip, 5, &tip); },
         "B L s", "0 5 first second \rthird "},
        {"0x7C", [&](PacketWriter& w) { return BuildMenuPacket(w, 9, 3, "Pick", menuEntries); },
         "L S b B S S b S S B", "9 3 Pick 2 3821 33 gold 3854 0 0"},
        {"0x6C", [&](PacketWriter& w) { return BuildTargetCursorPacket(w, 1, 0x40000010, 2); },
         "B L B x12", "1 1073741840 2"},
        {"0x99", [&](PacketWriter& w) { return BuildMultiTargetPacket(w, 9, multiValues); },
         "B L L S S S S S S S S", "1 9 0 0 0 0 0 5100 1 2 3"},
        {"0xB4",
         [&](PacketWriter& w) {
             return BuildObjectListTargetPacket(w, 9, 1, 2, 3, {4, 5, 6, 7, 8});
         },
         "B L S S S S S S S S S", "1 9 1 2 3 1 4 5 6 7 8"},
        {"0xB4 two objects",
         [&](PacketWriter& w) {
             return BuildObjectListTargetPacket(w, 9, 1, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
         },
         "B L S S S S S S S S S S S S S S", "1 9 1 2 3 2 1 2 3 4 5 6 7 8 9 10"},
        {"0x95", [&](PacketWriter& w) { return BuildHuePickerPacket(w, 9, 2, 0x0FAB); }, "L S S",
         "9 2 4011"},
        {"0x98", [&](PacketWriter& w) { return BuildNameAnswerPacket(w, *player, 9); }, "L T30",
         "9 " + std::string(player->GetName(0))},
        {"0x8B", [&](PacketWriter& w) { return BuildSignGumpPacket(w, 9, 0x64, "Inn", "Rooms"); },
         "L S s s", "9 100 Inn Rooms"},
        {"0x7B", [&](PacketWriter& w) { return BuildSequencePacket(w, 5); }, "B", "5"},
        {"0x70", [&](PacketWriter& w) { return BuildGraphicEffectPacket(w, effect); },
         "B L L S S S B S S B B B B B B B",
         "2 1073741840 1073741841 14036 100 200 5 300 400 6 1 2 3 4 5 6"},
        {"0x6E", [&](PacketWriter& w) { return BuildAnimationPacket(w, 9, 12, 7, 1, 0, 1, 2); },
         "L S S S B B B", "9 12 7 1 0 1 2"},
        {"0x54",
         [&](PacketWriter& w) { return BuildSoundPacket(w, 1, 0x55, 0, Location(10, 20, 30)); },
         "B S S S S S", "1 85 0 10 20 30"},
        {"0x6D", [&](PacketWriter& w) { return BuildMusicPacket(w, 31); }, "S", "31"},
        {"0x4E", [&](PacketWriter& w) { return BuildPersonalLightPacket(w, 9, 4); }, "L B", "9 4"},
        {"0x4F", [&](PacketWriter& w) { return BuildGlobalLightPacket(w, 12); }, "B", "12"},
        {"0x65", [&](PacketWriter& w) { return BuildWeatherPacket(w, 1, 40, 20); }, "B B B",
         "1 40 20"},
        {"0x5B", [&](PacketWriter& w) { return BuildTimePacket(w, 13, 45, 7); }, "B B B",
         "13 45 7"},
        {"0x2F", [&](PacketWriter& w) { return BuildSwingPacket(w, 0, 9, 10); }, "B L L", "0 9 10"},
        {"0x30", [&](PacketWriter& w) { return BuildAttackOkPacket(w, 9); }, "L", "9"},
        {"0xAA", [&](PacketWriter& w) { return BuildCombatTargetPacket(w, 9); }, "L", "9"},
        {"0x72", [&](PacketWriter& w) { return BuildWarModePacket(w, 1, 0, 0x32, 0); }, "B B B B",
         "1 0 50 0"},
        {"0x2C", [&](PacketWriter& w) { return BuildDeathStatusPacket(w, 1); }, "B", "1"},
        {"0x73", [&](PacketWriter& w) { return BuildPingPacket(w, 1); }, "B", "1"},
        {"0x39", [&](PacketWriter& w) { return BuildGroupNoticePacket(w, 9, 10); }, "L L", "9 10"},
        {"0x6A", [&](PacketWriter& w) { return BuildFriendStatusPacket(w, 3, true); }, "B B",
         "3 1"},
        {"0x69",
         [&](PacketWriter& w) {
             return BuildFriendListPacket(w, 2, {{true, "Bo", 0x40000020, true}});
         },
         "B B Z L", "2 1 Bo 1073741856"},
        {"0x15", [&](PacketWriter& w) { return BuildTwoValuesPacket(w, 9, 10); }, "L L", "9 10"},
        {"0x38", [&](PacketWriter& w) { return BuildThreeWordsPacket(w, 1, 2, 3); }, "S S S",
         "1 2 3"},
        {"0x3E", [&](PacketWriter& w) { return BuildNineValuesPacket(w, nine); },
         "L L L L L L L L L", "0 0 0 0 0 0 0 0 0"},
        {"0x45", [&](PacketWriter& w) { return BuildWeaponSignalPacket(w, 77); }, "L", "77"},
        {"0x42", [&](PacketWriter& w) { return BuildRawDataPacket(w, 0x1234, 2, block, 10); },
         "L L L x10", "4660 2 10"},
        {"0x92",
         [&](PacketWriter& w) { return BuildMultiDataPacket(w, 7, multi.data(), multi.size()); },
         "L L x24", "7 " + std::to_string(0)},
        {"0x82", [&](PacketWriter& w) { return BuildAccountRefusedPacket(w, 3); }, "B", "3"},
        {"0x85", [&](PacketWriter& w) { return BuildDeleteResultPacket(w, 2); }, "B", "2"},
        {"0x86",
         [&](PacketWriter& w) {
             return BuildAccountCharactersPacket(w, {{"Ann", "pw"}});
         },
         "B T30 T30 T30 T30 T30 T30 T30 T30 T30 T30", "1 Ann pw        "},
        {"0x86 past five",
         [&](PacketWriter& w) {
             return BuildAccountCharactersPacket(
                 w, {{"A", ""}, {"B", ""}, {"C", ""}, {"D", ""}, {"E", ""}, {"F", ""}});
         },
         "B T30 T30 T30 T30 T30 T30 T30 T30 T30 T30", "5 A  B  C  D  E "},
        // The account server's relay carries no address: to the client, every server is full.
        {"0x8C", [&](PacketWriter& w) { return BuildServerAddressPacket(w, 2593, 7); }, "L S L",
         "0 2593 7"},
        {"0x53",
         [&](PacketWriter& w) {
             BuildLoginRejectPacket(w, kLoginRejectNameInUse);
             return w.Ok();
         },
         "B", "2"},
    };
    for (const Case& c : cases) {
        BuiltPacket built;
        ASSERT_TRUE(c.build(built.w)) << c.name;
        const std::vector<u8> bytes = built.Bytes();
        const std::string read = ReadFields(bytes, ClientPacketIsVariable(bytes[0]), c.format);
        if (c.expected.empty()) {
            // Whole records from the data files: every byte read, nothing past the end.
            EXPECT_EQ(read.find("read past"), std::string::npos) << c.name << ": " << read;
            EXPECT_EQ(read.find("unread"), std::string::npos) << c.name << ": " << read;
        } else {
            EXPECT_EQ(read, c.expected) << c.name;
        }
    }
}

TEST_F(ServerToClientFieldsTest, ObjectInformationCarriesItsOptionalFieldsByTheirFlagBits) {
    CItem* plain = PlacedItem(20, 30, 4);
    CItem* hued = PlacedItem(21, 31, 5);
    hued->SetHue(0x0455);
    values.multis[hued->GetSerial()] = 5;  // a multi: bit 14 of the graphic stays
    const struct {
        CItem* item;
        std::string expected;
    } cases[] = {
        {plain, std::to_string(plain->GetSerial()) + " 100 0 1 20 30 0 4 0 0"},
        {hued, std::to_string(hued->GetSerial()) + " 16389 0 1 21 31 0 5 1109 0"},
    };
    for (const auto& c : cases) {
        BuiltPacket built;
        ASSERT_TRUE(BuildObjectInfoPacket(built.w, *c.item, values));
        EXPECT_EQ(ReadObjectInfo(built.Bytes()), c.expected);
    }
}

// Keeps what the world entry hands to the client world.
struct EnterWorldHooks : ClientLoginHooks {
    void EnterWorld(const EnterWorldInfo& info) override {
        entered = info;
        ClientLoginHooks::EnterWorld(info);
    }
    EnterWorldInfo entered;
};

TEST_F(ServerToClientFieldsTest, TheClientsLoginHandlersReadTheServersPackets) {
    LinkReportCapture reports;
    EnterWorldHooks hooks;
    LoginFrontEnd screens;
    ClientLink link(&screens, &hooks);
    auto deliver = [&](const std::function<bool(PacketWriter&)>& build) {
        BuiltPacket built;
        ASSERT_TRUE(build(built.w));
        const std::vector<u8> bytes = built.Bytes();
        link.Dispatcher().Dispatch(bytes.data(), bytes.size());
    };

    CPlayer* entering = new CPlayer;
    entering->SetBodyType(400);
    entering->PlaceInWorld(Location(30, 40, 7));
    deliver([&](PacketWriter& w) { return BuildLoginConfirmPacket(w, *entering, 3); });
    EXPECT_EQ(hooks.entered.serial, entering->GetSerial());
    EXPECT_EQ(hooks.entered.body, 400);
    EXPECT_EQ(hooks.entered.x, 30);
    EXPECT_EQ(hooks.entered.y, 40);
    EXPECT_EQ(hooks.entered.z, 7);
    EXPECT_EQ(hooks.entered.direction, 3);
    EXPECT_EQ(hooks.entered.map, u8(g_serverConfig.id));
    EXPECT_EQ(hooks.entered.bounds[0], u16(g_serverConfig.x));
    EXPECT_EQ(hooks.entered.bounds[1], u16(g_serverConfig.y));
    EXPECT_EQ(hooks.entered.bounds[2], u16(g_serverConfig.width));
    EXPECT_EQ(hooks.entered.bounds[3], u16(g_serverConfig.height));
    EXPECT_TRUE(hooks.inWorld);

    deliver([&](PacketWriter& w) { return BuildLoginCompletePacket(w); });
    EXPECT_TRUE(hooks.inGame);

    deliver([&](PacketWriter& w) { return BuildSignal97Packet(w, 5); });
    EXPECT_EQ(hooks.calls.back(), "ServerStep 5");
    deliver([&](PacketWriter& w) { return BuildWebBrowsePacket(w, "http://x.test/"); });
    EXPECT_EQ(hooks.calls.back(), "OpenUrl http://x.test/");
    const std::string tip = "first\nsecond\n";
    deliver([&](PacketWriter& w) { return BuildNoticePacket(w, kNoticeTip, 5, &tip); });
    EXPECT_EQ(hooks.calls.back(), "ShowTip 0 5 first second ");
    EXPECT_EQ(link.state.lastTip, 5);

    struct Refusal {
        std::function<bool(PacketWriter&)> build;
        const char* text;
    };
    const Refusal refusals[] = {
        {[](PacketWriter& w) {
             BuildLoginRejectPacket(w, kLoginRejectNameInUse);
             return w.Ok();
         },
         "This character already exists.\nPlaying..."},
        {[](PacketWriter& w) { return BuildAccountRefusedPacket(w, 1); },
         "Someone is already using this account."},
    };
    for (const Refusal& r : refusals) {
        deliver(r.build);
        ASSERT_FALSE(screens.notices.empty());
        EXPECT_EQ(screens.notices.back().text, r.text);
    }
    for (const std::string& line : reports.Lines())
        EXPECT_EQ(line.find("Closing the connection"), std::string::npos) << line;
}

}  // namespace
