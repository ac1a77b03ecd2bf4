#include "client/net/target_cursor.h"

#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/object_window_hooks.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_world.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"

namespace {

constexpr u8 kObjectAnswer = 0;
constexpr u8 kLocationAnswer = 1;
constexpr size_t kNameWidth = 30;

void ShowCursor(bool on) {
    TheClientWorld().targeting = on;
    TheObjectWindowHooks().ShowTargetCursor(on);
}

}  // namespace

void TargetCursor::Install(ServerPacketDispatcher& d) {
    d.SetSlot(0x6C, [this](const u8* packet, size_t length) { OnTargetCursor(packet, length); });
    d.SetSlot(0x98, [this](const u8* packet, size_t length) { OnNameResponse(packet, length); });
}

bool TargetCursor::Up() const {
    return TheClientWorld().targeting;
}

void TargetCursor::OnTargetCursor(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 type = 0, flag = 0;
    u32 id = 0;
    r.ReadByte(type);
    r.ReadLong(id);
    r.ReadByte(flag);
    if (!r.Ok()) return link_.RefusePacket(r);
    ShowCursor(true);
    cursorType = type;
    cursorId = id;
    cursorFlag = flag;
}

void TargetCursor::OnNameResponse(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0;
    char name[kNameWidth + 1] = {};
    r.ReadLong(serial);
    r.ReadFixedText(name, sizeof name, kNameWidth);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (!nameRequested) return;
    nameRequested = false;
    TheObjectWindowHooks().FillNameField(name);
}

void TargetCursor::TargetPicked(const CDisplayObject* object) {
    if (object == nullptr || !Up()) return;
    const ClientLocation& at = object->loc;
    if (object->IsLand()) {
        Answer(kLocationAnswer, 0, at.x, at.y, at.z, 0);
    } else if (object->IsWorldObject() && object->IsServerObject()) {
        const auto* item = static_cast<const CClientItem*>(object);
        Answer(kObjectAnswer, item->serial, at.x, at.y, at.z, item->graphic);
    } else if (object->IsWorldObject()) {
        const auto* tile = static_cast<const CClientObject*>(object);
        Answer(kLocationAnswer, 0, at.x, at.y, at.z, tile->graphic);
    }
}

void TargetCursor::CancelTarget() {
    if (!Up()) return;
    Finish(::CancelTarget(cursorId, cursorFlag));
    nameRequested = false;
}

void TargetCursor::Answer(u8 kind, u32 serial, int x, int y, int z, u16 graphic) {
    TargetResponse r;
    r.kind = kind;
    r.cursorId = cursorId;
    r.cursorFlag = cursorFlag;
    r.serial = serial;
    r.x = u16(x);
    r.y = u16(y);
    r.z = u16(z);
    r.graphic = graphic;
    Finish(r);
}

void TargetCursor::Finish(const TargetResponse& r) {
    u8 buffer[32];
    PacketWriter w(buffer, sizeof buffer);
    BuildTargetResponsePacket(w, r);
    link_.Send(w);
    ShowCursor(false);
    cursorFlag = 0;
}
