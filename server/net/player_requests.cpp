#include "server/net/player_requests.h"

#include <vector>

#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"
#include "script/runtime/trigger_services.h"
#include "server/net/effect_packets.h"
#include "server/net/object_checks.h"
#include "server/net/object_packets.h"
#include "server/net/packet_senders.h"
#include "server/net/player_senders.h"
#include "server/net/protocol_world_services.h"
#include "server/net/world_packet_values.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"

void SendAllSkills(CPlayer& player) {
    const std::vector<int> values = EffectiveSkillValues(player);
    std::vector<u8> buffer(kMaxSkillPacketLength);
    PacketWriter w(buffer.data(), buffer.size());
    BuildSkillListPacket(w, 0, values);
    SendPacketToPlayer(&player, w);
}

namespace {

void SendOneSkill(CPlayer& player, u32 skill) {
    const std::vector<int> values = EffectiveSkillValues(player);
    if (skill >= values.size()) return;
    BuildAndSendToPlayer<kSkillUpdateLength>(player, [&](PacketWriter& w) {
        BuildSkillUpdatePacket(w, static_cast<int>(skill), values[skill]);
    });
}

void SendStatusOf(CPlayer& player, u32 serial) {
    if (serial != player.GetSerial()) player.WatchStatusOf(serial);
    CItem* found = g_objectManager.FindNear(player, serial, kRequestRadius);
    CMobile* mobile = found ? found->AsMobile() : nullptr;
    if (!mobile) return;
    SendMobileStatus(*mobile, player, player.IsEditing() || mobile == &player);
}

}  // namespace

void SendMobileStatus(CMobile& mobile, CPlayer& viewer, bool full) {
    if (g_objectManager.IsOn(ObjectSwitch::kLoading)) return;
    const MobileStatusValues values = StatusValuesOf(mobile, viewer);
    BuildAndSendToPlayer<kMaxStatusLength>(
        viewer, [&](PacketWriter& w) { BuildStatusPacket(w, mobile, full, values); });
}

void HandleWalkRequest(CPlayer& player, PacketReader& packet) {
    u8 direction = 0;
    u8 sequence = 0;
    if (!packet.ReadByte(direction) || !packet.ReadByte(sequence)) return;
    player.WalkRequest(direction, sequence);
}

void HandleGodModeRequest(CPlayer& player, PacketReader& packet) {
    u8 request = 0;
    if (!packet.ReadByte(request)) return;
    if (request != 0 && player.HasGodRights()) {
        player.SetEditing();
    } else {
        player.ClearEditing();
    }
    BuildAndSendToPlayer<kGodModeLength>(
        player, [&](PacketWriter& w) { BuildGodModePacket(w, player.IsEditing()); });
}

void HandleAttackRequest(CPlayer& player, PacketReader& packet) {
    u32 serial = 0;
    if (!packet.ReadLong(serial)) return;
    if (player.IsGhost()) return;
    CItem* found = g_objectManager.FindNear(player, serial, kRequestRadius);
    CMobile* target = found ? found->AsMobile() : nullptr;
    if (target) GetProtocolWorldServices().StartAttack(player, *target, 1);
}

void HandleUseRequest(CPlayer& player, PacketReader& packet) {
    u32 word = 0;
    if (!packet.ReadLong(word)) return;
    // Bit 31 is a flag the use routine takes; the other bits are the serial.
    const int flag = (word >> 31) & 1;
    u32 serial = word & 0x7FFFFFFF;
    CItem* object = g_objectManager.FindNear(player, serial, kReachTiles);
    if (!object) return;
    CheckReach(player, serial, true);
    if (serial == 0 || !IsObjectAlive(serial, object)) return;
    player.UseObjectRequest(object, flag);
}

void HandleLookAt(CPlayer& player, PacketReader& packet) {
    u32 serial = 0;
    if (!packet.ReadLong(serial)) return;
    player.LookAtObject(serial);
}

void HandleResyncRequest(CPlayer& player, PacketReader& packet) {
    u8 ignored = 0;
    if (!packet.ReadByte(ignored) || !packet.ReadByte(ignored)) return;
    const u32 serial = player.GetSerial();
    player.SendSurroundings();
    if (!IsObjectAlive(serial, &player)) return;
    BuildAndSendToPlayer<kPlayerUpdateLength>(player, [&](PacketWriter& w) {
        BuildPlayerUpdatePacket(w, player, GetProtocolWorldServices().Facing(player));
    });
}

void HandleDeathChoice(CPlayer& player, PacketReader& packet) {
    u8 choice = 0;
    if (!packet.ReadByte(choice)) return;
    // Only the death screen's own answer counts: a walking ghost has chosen already.
    if (!player.IsGhost() || !player.IsFrozen()) return;
    player.UnfreezeGhost();
    if (choice == 1) player.ResurrectFromMenu();  // any other choice: a walking ghost
}

void HandleStatusRequest(CPlayer& player, PacketReader& packet) {
    u32 marker = 0;
    u8 type = 0;
    u32 serial = 0;
    if (!packet.ReadLong(marker) || !packet.ReadByte(type) || !packet.ReadLong(serial)) return;
    if (marker != kStatusRequestMarker) return;
    switch (type) {
        case kStatusMobile:
            SendStatusOf(player, serial);
            break;
        case kStatusAllSkills:
            SendAllSkills(player);
            break;
        case kStatusOneSkill:
            SendOneSkill(player, serial);
            break;
        case kStatusGraphicResources:
        case kStatusResourceTypes:
        case kStatusResourceEntries: {
            if (!player.HasGodRights()) break;
            static bool logged = false;
            LogProtocolNotBuilt(logged, "status requests about resources are not built yet");
            break;
        }
        default:
            break;
    }
}

void HandleTargetResponse(CPlayer& player, PacketReader& packet) {
    u8 cursorType = 0;
    u32 requesterSerial = 0;
    u8 ignored = 0;
    u32 targetSent = 0;
    u16 x = 0;
    u16 y = 0;
    u16 z = 0;
    u16 graphic = 0;
    if (!packet.ReadByte(cursorType) || !packet.ReadLong(requesterSerial) ||
        !packet.ReadByte(ignored) || !packet.ReadLong(targetSent) || !packet.ReadShort(x) ||
        !packet.ReadShort(y) || !packet.ReadShort(z) || !packet.ReadShort(graphic)) {
        return;
    }
    const u32 playerSerial = player.GetSerial();
    u32 target = targetSent;
    CheckReach(player, requesterSerial, false);
    CheckReach(player, target, false);
    const int tz = static_cast<s16>(z);

    if (PlayerTargetCallback callback = player.GetTargetCallback()) {
        callback(player, cursorType, target, x, y, tz);
        if (!IsObjectAlive(playerSerial, &player)) return;
    }
    if (requesterSerial == 0) return;
    CItem* requester = g_objectManager.FindBySerial(requesterSerial);
    if (!requester) return;

    TriggerServices& triggers = GetTriggerServices();
    TriggerArgs args;
    args.serial = playerSerial;
    if (cursorType == 0) {
        args.other = targetSent;
        if (triggers.SendTrigger(requester, kTriggerOorTargetObj, args) == 0) return;
        requester = g_objectManager.FindBySerial(requesterSerial);
        if (!requester) return;
        args.other = target;
        if (triggers.SendTrigger(requester, kTriggerTargetObj, args) == 0) return;
        requester = g_objectManager.FindBySerial(requesterSerial);
        if (!requester) return;
    }
    TriggerArgs place;
    place.serial = playerSerial;
    place.a = Location(x, y, tz);
    place.value = graphic;
    triggers.SendTrigger(requester, kTriggerTargetLoc, place);
}

void HandleWarModeRequest(CPlayer& player, PacketReader& packet) {
    u8 bytes[CPlayer::kWarModeByteCount] = {};
    for (u8& b : bytes) {
        if (!packet.ReadByte(b)) return;
    }
    player.SetWarModeFull(bytes[0], bytes[1], bytes[2], bytes[3]);
}

void HandleKeepAlive(CPlayer&, PacketReader& packet) {
    u8 ignored = 0;
    packet.ReadByte(ignored);
}
