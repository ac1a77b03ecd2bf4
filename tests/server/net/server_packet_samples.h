#pragma once
// One packet from every server builder, with typical values, for the tests that check them all
// at once (the server's own table, and the client's). The builders take world objects, so the
// samples live in a fixture with a small world.
#include <functional>
#include <string>
#include <vector>

#include "core/packet_writer.h"
#include "platform/types.h"
#include "server/net/board_packets.h"
#include "server/net/container_packets.h"
#include "server/net/data_packets.h"
#include "server/net/effect_packets.h"
#include "server/net/object_packets.h"
#include "server/net/text_packets.h"
#include "server/net/unicode_speech.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/world/world_test_support.h"

struct ServerPacketSample {
    u8 id;
    std::function<bool(PacketWriter&)> build;
    size_t stated;  // the builder's length constant; 0 when it has only a maximum
};

class ServerPacketSamplesTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        item = PlacedItem(5, 6, 0);
        item->SetHue(0x21);
        bag = g_objectManager.CreateContainer(kBag)->AsContainer();
        NewItem()->AddToContainer(bag, Location(1, 1, 0));
        NewItem()->AddToContainer(bag, Location(2, 2, 0));
        player = new CPlayer;
        player->SetBodyType(400);
        player->PlaceInWorld(Location(8, 8, 0));
        item->EquipOn(player, 5);
        slots[3] = item;
        layout[0] = {GumpEntry::Kind::kNarrow, "{page 0}", {}};
    }
    void TearDown() override {
        item->SetStatus(item->GetStatus() | kStatusNoTriggers);
        WorldTest::TearDown();
    }

    // Every builder once (a few twice, in their other forms).
    std::vector<ServerPacketSample> Samples() {
        return {
            // Objects and mobiles.
            {0x1A, [&](PacketWriter& w) { return BuildObjectInfoPacket(w, *item, values); }, 0},
            {0x1B, [&](PacketWriter& w) { return BuildLoginConfirmPacket(w, *player, 2); },
             kLoginConfirmLength},
            {0x1D, [&](PacketWriter& w) { return BuildDeleteObjectPacket(w, 1); },
             kDeleteObjectLength},
            {0x20, [&](PacketWriter& w) { return BuildPlayerUpdatePacket(w, *player, 2); },
             kPlayerUpdateLength},
            {0x21, [&](PacketWriter& w) { return BuildMoveRejectPacket(w, 1, 2, 3, 4, 5); },
             kMoveRejectLength},
            {0x22, [&](PacketWriter& w) { return BuildMoveAckPacket(w, 1, 1); }, kMoveAckLength},
            {0x77, [&](PacketWriter& w) { return BuildMobileUpdatePacket(w, *player, 2, 1); },
             kMobileUpdateLength},
            {0x78, [&](PacketWriter& w) { return BuildMobileIncomingPacket(w, *player, 2, 1); }, 0},
            {0x2E, [&](PacketWriter& w) { return BuildWornItemPacket(w, *item, *player, 5); },
             kWornItemLength},
            {0x89, [&](PacketWriter& w) { return BuildCorpseEquipmentPacket(w, 9, slots); }, 0},
            {0xAF, [&](PacketWriter& w) { return BuildMobileDeathPacket(w, 1, 2, 0); },
             kMobileDeathLength},
            {0x11, [&](PacketWriter& w) { return BuildStatusPacket(w, *player, true, status); },
             kMaxStatusLength},
            {0x11, [&](PacketWriter& w) { return BuildStatusPacket(w, *player, false, status); },
             0},
            {0x2D, [&](PacketWriter& w) { return BuildFullStatsPacket(w, 1, status.vitals); },
             kFullStatsLength},
            {0xA1, [&](PacketWriter& w) { return BuildHitsPacket(w, 1, 2, 3); }, kStatBarLength},
            {0xA2, [&](PacketWriter& w) { return BuildManaPacket(w, 1, 2, 3); }, kStatBarLength},
            {0xA3, [&](PacketWriter& w) { return BuildFatiguePacket(w, 1, 2, 3); }, kStatBarLength},
            {0x3A, [&](PacketWriter& w) { return BuildSkillNamesPacket(w, 1, skills); }, 0},
            {0x3A,
             [&](PacketWriter& w) {
                 return BuildSkillListPacket(w, 0, {1, 2});
             },
             0},
            {0x3A, [&](PacketWriter& w) { return BuildSkillUpdatePacket(w, 1, 2); },
             kSkillUpdateLength},
            {0x88, [&](PacketWriter& w) { return BuildPaperdollPacket(w, 1, "the Brave", 0); },
             kPaperdollLength},
            // Containers, items, trade, shops, maps.
            {0x24, [&](PacketWriter& w) { return BuildOpenGumpPacket(w, 1, 0x3C); },
             kOpenGumpLength},
            {0x25,
             [&](PacketWriter& w) {
                 return BuildContainerItemPacket(w, *bag->GetFirstChild(), *bag, values);
             },
             kContainerItemLength},
            {0x3C,
             [&](PacketWriter& w) {
                 return BuildContainerContentsPacket(w, *bag, false, false, values);
             },
             0},
            {0x23, [&](PacketWriter& w) { return BuildDragEffectPacket(w, DragEffect{}); },
             kDragEffectLength},
            {0x27, [&](PacketWriter& w) { return BuildPickUpRejectPacket(w, 1); },
             kPickUpRejectLength},
            {0x28, [&](PacketWriter& w) { return BuildDropRejectPacket(w, 1, 2); },
             kDropRejectLength},
            {0x29, [&](PacketWriter& w) { return BuildDropAcceptPacket(w); }, kDropAcceptLength},
            {0x2A, [&](PacketWriter& w) { return BuildObjectSignalPacket(w, 1); },
             kObjectSignalLength},
            {0x6F, [&](PacketWriter& w) { return BuildSecureTradePacket(w, 0, 1, 2, 3, "Ayla"); },
             kMaxSecureTradeLength},
            {0x74,
             [&](PacketWriter& w) {
                 return BuildShopListPacket(
                     w, *bag, 100, false, [](const CItem&) { return 5; }, values);
             },
             0},
            {0x9E,
             [&](PacketWriter& w) {
                 return BuildSellListPacket(w, 1, {{2, 3, 4, 5, 6, "ore"}});
             },
             0},
            {0x3B, [&](PacketWriter& w) { return BuildShopClosePacket(w, 1, 0); },
             kShopCloseLength},
            {0x90, [&](PacketWriter& w) { return BuildMapDisplayPacket(w, 1, 5021, six); },
             kMapDisplayLength},
            {0x56, [&](PacketWriter& w) { return BuildMapPinPacket(w, 1, 5, 0, 0, 0); },
             kMapPinLength},
            // Bulletin boards.
            {0x71, [&](PacketWriter& w) { return BuildBoardOpenPacket(w, *bag); },
             kBoardOpenLength},
            {0x71,
             [&](PacketWriter& w) {
                 return BuildBoardMessagePacket(w, *item, BoardMessageForm::kSummary);
             },
             0},
            {0x71,
             [&](PacketWriter& w) {
                 return BuildBoardMessagePacket(w, *item, BoardMessageForm::kFull);
             },
             0},
            // Text, dialogs, menus, targets, gumps.
            {0x1C,
             [&](PacketWriter& w) {
                 return BuildTextMessagePacket(w, player, 0, "hi", 0, 3, false);
             },
             0},
            {0x1C,
             [&](PacketWriter& w) {
                 return BuildTextMessageFromPacket(w, 1, 2, "n", 0, "hi", 0, 3);
             },
             0},
            {0xAB,
             [&](PacketWriter& w) { return BuildStringQueryPacket(w, 1, 2, "p", 0, 0, 9, "d"); },
             0},
            {0x9A, [&](PacketWriter& w) { return BuildTextEntryPacket(w, 1, 2, 3, "p"); }, 0},
            {0xA5, [&](PacketWriter& w) { return BuildWebBrowsePacket(w, "http://x"); }, 0},
            {0xA6, [&](PacketWriter& w) { return BuildNoticePacket(w, kNoticeUpdate, 0, &update); },
             0},
            {0x7C, [&](PacketWriter& w) { return BuildMenuPacket(w, 1, 2, "t", menu); }, 0},
            {0x6C, [&](PacketWriter& w) { return BuildTargetCursorPacket(w, 1, 2, 0); },
             kTargetCursorLength},
            {0x99, [&](PacketWriter& w) { return BuildMultiTargetPacket(w, 1, four); },
             kMultiTargetLength},
            {0xB4,
             [&](PacketWriter& w) {
                 return BuildObjectListTargetPacket(w, 1, 2, 3, 4, {5, 6});
             },
             0},
            {0x95, [&](PacketWriter& w) { return BuildHuePickerPacket(w, 1, 2, 3); },
             kHuePickerLength},
            {0xB0,
             [&](PacketWriter& w) { return BuildGenericGumpPacket(w, 1, 2, 3, 4, layout, layout); },
             0},
            {0x98, [&](PacketWriter& w) { return BuildNameAnswerPacket(w, *player, 1); },
             kNameAnswerLength},
            {0x8B, [&](PacketWriter& w) { return BuildSignGumpPacket(w, 1, 2, "a", "b"); }, 0},
            {0x7B, [&](PacketWriter& w) { return BuildSequencePacket(w, 1); }, kSequenceLength},
            {0x9C, [&](PacketWriter& w) { return BuildGmRequestPacket(w, 1, 2, 3, "n", "f", "t"); },
             kGmRequestLength},
            // Effects, sound, light, weather, combat, connection.
            {0x70, [&](PacketWriter& w) { return BuildGraphicEffectPacket(w, GraphicEffect{}); },
             kGraphicEffectLength},
            {0x6E, [&](PacketWriter& w) { return BuildAnimationPacket(w, 1, 2, 3, 4, 5, 6, 7); },
             kAnimationLength},
            {0x54, [&](PacketWriter& w) { return BuildSoundPacket(w, 1, 2, 0, Location(1, 2, 3)); },
             kSoundLength},
            {0x6D, [&](PacketWriter& w) { return BuildMusicPacket(w, 3); }, kMusicLength},
            {0x4E, [&](PacketWriter& w) { return BuildPersonalLightPacket(w, 1, 2); },
             kPersonalLightLength},
            {0x4F, [&](PacketWriter& w) { return BuildGlobalLightPacket(w, 2); },
             kGlobalLightLength},
            {0x65, [&](PacketWriter& w) { return BuildWeatherPacket(w, 254, 0, 20); },
             kWeatherLength},
            {0x5B, [&](PacketWriter& w) { return BuildTimePacket(w, 1, 2, 3); }, kTimeLength},
            {0x63, [&](PacketWriter& w) { return BuildServerStatusPacket(w, 1, 1, 5, 0); },
             kServerStatusLength},
            {0x2F, [&](PacketWriter& w) { return BuildSwingPacket(w, 0, 1, 2); }, kSwingLength},
            {0x30, [&](PacketWriter& w) { return BuildAttackOkPacket(w, 1); }, kAttackOkLength},
            {0x31, [&](PacketWriter& w) { return BuildAttackEndedPacket(w); }, kAttackEndedLength},
            {0xAA, [&](PacketWriter& w) { return BuildCombatTargetPacket(w, 1); },
             kCombatTargetLength},
            {0x72, [&](PacketWriter& w) { return BuildWarModePacket(w, 1, 0, 0x32, 0); },
             kWarModeLength},
            {0x2C, [&](PacketWriter& w) { return BuildDeathStatusPacket(w, 0); },
             kDeathStatusLength},
            {0x2B, [&](PacketWriter& w) { return BuildGodModePacket(w, true); }, kGodModeLength},
            {0x55, [&](PacketWriter& w) { return BuildLoginCompletePacket(w); },
             kLoginCompleteLength},
            {0x33, [&](PacketWriter& w) { return BuildPausePacket(w, 1); }, kOneByteSignalLength},
            {0x73, [&](PacketWriter& w) { return BuildPingPacket(w, 1); }, kOneByteSignalLength},
            {0x97, [&](PacketWriter& w) { return BuildSignal97Packet(w, 1); },
             kOneByteSignalLength},
            {0x32, [&](PacketWriter& w) { return BuildPlayerSignalPacket(w, 1); },
             kOneByteSignalLength},
            {0x45, [&](PacketWriter& w) { return BuildWeaponSignalPacket(w, 1); },
             kWeaponSignalLength},
            {0x5C, [&](PacketWriter& w) { return BuildEditRefreshPacket(w); }, kEditRefreshLength},
            {0x39, [&](PacketWriter& w) { return BuildGroupNoticePacket(w, 1, 2); },
             kGroupNoticeLength},
            {0x6A, [&](PacketWriter& w) { return BuildFriendStatusPacket(w, 1, false); },
             kFriendStatusLength},
            {0x69,
             [&](PacketWriter& w) {
                 return BuildFriendListPacket(w, 2, {{true, "a", 1, true}});
             },
             0},
            // Data updates, resources, account answers.
            {0x3F, [&](PacketWriter& w) { return BuildStaticsBlockPacket(w, 0); }, 0},
            {0x40, [&](PacketWriter& w) { return BuildTerrainBlockPacket(w, 0); },
             kTerrainBlockLength},
            {0x41, [&](PacketWriter& w) { return BuildTileDataPacket(w, 600); },
             kMaxTileDataLength},
            {0x42, [&](PacketWriter& w) { return BuildRawDataPacket(w, 1, 2, block, 10); }, 0},
            {0x43, [&](PacketWriter& w) { return BuildAnimDataPacket(w, 1, 0, 1); },
             kAnimDataLength},
            {0x44, [&](PacketWriter& w) { return BuildHueBlockPacket(w, 1); }, kHueBlockLength},
            {0x57, [&](PacketWriter& w) { return BuildRegionPacket(w, RegionFields{}); },
             kRegionLength},
            {0x92,
             [&](PacketWriter& w) {
                 return BuildMultiDataPacket(w, 1, multi.data(), multi.size());
             },
             0},
            {0x14, [&](PacketWriter& w) { return BuildTerrainCellPacket(w, 1, 2, 3); },
             kTerrainCellLength},
            {0x35, [&](PacketWriter& w) { return BuildResourceTypePacket(w, &resourceType); },
             kResourceTypeLength},
            {0x36, [&](PacketWriter& w) { return BuildResourceEntryPacket(w, 1, true, 1, entry); },
             kResourceEntryLength},
            {0x36, [&](PacketWriter& w) { return BuildGraphicResourcePacket(w, 1, 0, nullptr); },
             kGraphicResourceHeaderLength},
            {0x36, [&](PacketWriter& w) { return BuildGraphicResourcePacket(w, 1, 1, &entry); },
             kGraphicResourceEntryLength},
            {0x3E, [&](PacketWriter& w) { return BuildNineValuesPacket(w, nine); },
             kNineValuesLength},
            {0x50, [&](PacketWriter& w) { return BuildValueBlockPacket(w, 1, block); },
             kValueBlockLength},
            {0x51, [&](PacketWriter& w) { return BuildTextPacket51(w, "t"); }, 0},
            {0x94, [&](PacketWriter& w) { return BuildRecordTextPacket(w, 1, true, "t"); }, 0},
            {0x15, [&](PacketWriter& w) { return BuildTwoValuesPacket(w, 1, 2); },
             kTwoValuesLength},
            {0x38, [&](PacketWriter& w) { return BuildThreeWordsPacket(w, 1, 2, 3); },
             kThreeWordsLength},
            {0x1E, [&](PacketWriter& w) { return BuildWordAndBytePacket(w, 1, 2); },
             kWordAndByteLength},
            {0x3D, [&](PacketWriter& w) { return BuildOneByte3DPacket(w, 1); }, kOneByte3DLength},
            {0x82, [&](PacketWriter& w) { return BuildAccountRefusedPacket(w, 1); },
             kAccountRefusedLength},
            {0x85, [&](PacketWriter& w) { return BuildDeleteResultPacket(w, 1); },
             kDeleteResultLength},
            {0x86,
             [&](PacketWriter& w) {
                 return BuildAccountCharactersPacket(w, {{"a", "b"}});
             },
             kAccountCharactersLength},
            {0x8C, [&](PacketWriter& w) { return BuildServerAddressPacket(w, 2593, 7); },
             kServerAddressLength},
            // Unicode speech.
            {0xAE,
             [&](PacketWriter& w) {
                 return BuildUnicodeSpeechPacket(w, player, 0, u"hi", 0, 3, 0, false);
             },
             0},
        };
    }

    CItem* item = nullptr;
    CContainer* bag = nullptr;
    CPlayer* player = nullptr;
    FakeItemValues values;
    MobileStatusValues status;
    CItem* slots[kCorpseSlotCount] = {};
    const std::vector<SkillNameEntry> skills = {{true, true, "Alchemy"}};
    const std::vector<MenuEntry> menu = {{1, 2, "a"}, {3, 4, nullptr}};
    std::vector<GumpEntry> layout = std::vector<GumpEntry>(1);
    const std::string update = "3\nnews\n";
    const std::vector<u8> multi = std::vector<u8>(24, 1);
    const ResourceTypeFields resourceType{};
    const ResourceEntryFields entry{};
    const u32 nine[9] = {};
    const u8 block[76] = {};
    const int six[6] = {};
    const int four[4] = {};
};
