#pragma once
// One packet from every client builder, for tests that check them all at once.
#include <vector>

#include "client/net/client_packets.h"
#include "core/packet_writer.h"
#include "platform/types.h"

template <class Build>
std::vector<u8> BuiltClientPacket(Build build, size_t capacity = 512) {
    std::vector<u8> buffer(capacity, 0xCC);
    PacketWriter w(buffer.data(), buffer.size());
    build(w);
    if (!w.Ok()) return {};
    return std::vector<u8>(buffer.begin(), buffer.begin() + w.Length());
}

inline std::vector<std::vector<u8>> AllClientPacketSamples() {
    using W = PacketWriter;
    const u8 echo[3] = {1, 2, 3};
    u8 profile[149] = {};
    CreateCharacterRequest create;
    create.name = "Tester";
    return {
        BuiltClientPacket([](W& w) { BuildAccountLoginPacket(w, "acct", "pw", 7); }),
        BuiltClientPacket([](W& w) { BuildSelectServerPacket(w, 0); }),
        BuiltClientPacket([](W& w) { BuildGameLoginPacket(w, 1, "acct", "pw"); }),
        BuiltClientPacket([&](W& w) { BuildHardwareProfilePacket(w, profile); }),
        BuiltClientPacket([&](W& w) { BuildCreateCharacterPacket(w, create); }),
        BuiltClientPacket([](W& w) { BuildPlayCharacterPacket(w, "Tester", "", 0); }),
        BuiltClientPacket([](W& w) { BuildDeleteCharacterPacket(w, "pw", 1); }),
        BuiltClientPacket([](W& w) { BuildChangePasswordPacket(w, "a", "b", 1); }),
        BuiltClientPacket([](W& w) { BuildDisconnectPacket(w); }),
        BuiltClientPacket([](W& w) { BuildTipRequestPacket(w, 1, 1); }),
        BuiltClientPacket([](W& w) { BuildWalkRequestPacket(w, 0x83, 1); }),
        BuiltClientPacket([](W& w) { BuildResyncRequestPacket(w); }),
        BuiltClientPacket([&](W& w) { BuildWarModeRequestPacket(w, 1, echo); }),
        BuiltClientPacket([](W& w) { BuildDeathMenuChoicePacket(w, 2); }),
        BuiltClientPacket([](W& w) { BuildPingPacket(w); }),
        BuiltClientPacket([](W& w) { BuildUseObjectPacket(w, 1); }),
        BuiltClientPacket([](W& w) { BuildLookAtPacket(w, 1); }),
        BuiltClientPacket([](W& w) { BuildAttackRequestPacket(w, 1); }),
        BuiltClientPacket([](W& w) { BuildPickUpItemPacket(w, 1, 2); }),
        BuiltClientPacket([](W& w) { BuildDropItemPacket(w, 1, 2, 3, 4, 5); }),
        BuiltClientPacket([](W& w) { BuildWearItemPacket(w, 1, 2, 3); }),
        BuiltClientPacket([](W& w) { BuildStatusRequestPacket(w, 4, 1); }),
        BuiltClientPacket([](W& w) { BuildTargetResponsePacket(w, CancelTarget(1, 0)); }),
        BuiltClientPacket([](W& w) { BuildRenamePacket(w, 1, "name"); }),
        BuiltClientPacket([](W& w) { BuildNameRequestPacket(w, 1); }),
        BuiltClientPacket([](W& w) { BuildHueChoicePacket(w, 1, 2, 3); }),
        BuiltClientPacket([](W& w) { BuildSpeechPacket(w, 0, 0x3B2, 3, "hello"); }),
        BuiltClientPacket([](W& w) { BuildUnicodeSpeechPacket(w, 2, 0x225, 3, 0, u"h\u00e9"); }),
        BuiltClientPacket([](W& w) { BuildTextCommandPacket(w, 0x43, ""); }),
        BuiltClientPacket([](W& w) { BuildHelpRequestPacket(w, "help"); }),
        BuiltClientPacket([](W& w) { BuildPromptAnswerPacket(w, 1, 2, 1, "yes"); }),
        BuiltClientPacket([](W& w) { BuildTextEntryReplyPacket(w, 1, 2, 1, "42"); }),
        BuiltClientPacket([](W& w) {
            BuildBuyItemsPacket(w, 1, {{26, 2, 3}, {27, 4, 5}});
        }),
        BuiltClientPacket([](W& w) {
            BuildSellItemsPacket(w, 1, {{2, 3}});
        }),
        BuiltClientPacket([](W& w) { BuildTradeActionPacket(w, 2, 1, 1); }),
        BuiltClientPacket([](W& w) { BuildMenuChoicePacket(w, 1, 2, 3, 4, 5); }),
        BuiltClientPacket([](W& w) {
            BuildOptionListsPacket(w, 1, {{"friend", 7}});
        }),
        BuiltClientPacket([](W& w) { BuildOptionListsPacket(w, 0, {}); }),
        BuiltClientPacket([](W& w) { BuildBookHeaderPacket(w, 1, "title", "author"); }),
        BuiltClientPacket([](W& w) { BuildBookPageRequestPacket(w, 1, 2); }),
        BuiltClientPacket([](W& w) {
            BuildBookPagePacket(w, 1, 2, {"line one", "two"});
        }),
        BuiltClientPacket([](W& w) { BuildBulletinBoardPacket(w, 3, 1, 2); }),
        BuiltClientPacket([](W& w) {
            BuildBulletinPostPacket(w, 1, 0, "subject", {"a", "b"});
        }),
        BuiltClientPacket([](W& w) { BuildCoursePinPacket(w, 1, 1, 0, 30, 40); }),
    };
}
