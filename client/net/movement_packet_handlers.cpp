#include "client/net/movement_packet_handlers.h"

#include "client/net/client_link.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_world.h"
#include "client/world/path_search.h"
#include "client/world/walk_queue.h"
#include "core/packet_reader.h"

namespace {

// A known mobile's serial, else 0 (effects then start or end at the location).
u32 MobileSerial(u32 serial) {
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    return o && o->IsMobile() ? serial : 0;
}

void PutShort(std::vector<u8>& out, u16 v) {
    out.push_back(u8(v >> 8));
    out.push_back(u8(v));
}

}  // namespace

void MovementPacketHandlers::Install(ServerPacketDispatcher& d) {
    static const HandlerRow<MovementPacketHandlers> kRows[] = {
        {0x21, &MovementPacketHandlers::OnMoveReject},
        {0x22, &MovementPacketHandlers::OnMoveAck},
        {0x38, &MovementPacketHandlers::OnPathfind},
        {0x15, &MovementPacketHandlers::OnFollow},
        {0x4E, &MovementPacketHandlers::OnPersonalLight},
        {0x4F, &MovementPacketHandlers::OnGlobalLight},
        {0x5B, &MovementPacketHandlers::OnGameTime},
        {0x65, &MovementPacketHandlers::OnWeather},
        {0x54, &MovementPacketHandlers::OnSound},
        {0x6D, &MovementPacketHandlers::OnMusic},
        {0x6E, &MovementPacketHandlers::OnAnimation},
        {0x70, &MovementPacketHandlers::OnGraphicEffect},
        {0x23, &MovementPacketHandlers::OnDragEffect},
        {0x7B, &MovementPacketHandlers::OnSequence},
        {0x73, &MovementPacketHandlers::OnPing},
    };
    InstallHandlerRows(d, *this, kRows);
}

bool MovementPacketHandlers::ReadOneByte(const u8* packet, size_t length, u8& value) {
    PacketReader r(packet, length, 1);
    r.ReadByte(value);
    if (r.Ok()) return true;
    link_.RefusePacket(r);
    return false;
}

void MovementPacketHandlers::OnMoveReject(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 sequence = 0, dir = 0, z = 0;
    u16 x = 0, y = 0;
    r.ReadByte(sequence);
    r.ReadShort(x);
    r.ReadShort(y);
    r.ReadByte(dir);
    r.ReadByte(z);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheWalkQueue().Reset(sequence, x, y, s8(z));
    if (CClientPlayer* p = ThePlayer()) p->direction = dir;
}

void MovementPacketHandlers::OnMoveAck(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 sequence = 0, notoriety = 0;
    r.ReadByte(sequence);
    r.ReadByte(notoriety);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (CClientPlayer* p = ThePlayer()) p->SetNotoriety(notoriety);
    TheWalkQueue().Acknowledge(sequence);
}

void MovementPacketHandlers::OnPathfind(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u16 x = 0, y = 0, z = 0;
    r.ReadShort(x);
    r.ReadShort(y);
    r.ReadShort(z);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheClientPath().PathfindTo(s16(x), s16(y), s16(z));
}

void MovementPacketHandlers::OnFollow(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 follower = 0, followed = 0;
    r.ReadLong(follower);
    r.ReadLong(followed);
    if (!r.Ok()) return link_.RefusePacket(r);
    CWalkQueue& q = TheWalkQueue();
    if (follower == 0 || followed == 0) {
        if (CClientPlayer* p = ThePlayer()) {
            p->AddBark("No longer following.", 0, 3, 0);
        }
        q.following = 0;
    }
    if (CClientObject* o = TheClientWorld().FindBySerial(followed)) {
        o->AddBark("Now following.", 0, 3, 0);
        q.following = 1;
    }
}

void MovementPacketHandlers::OnPersonalLight(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u8 level = 0;
    r.ReadLong(serial);
    r.ReadByte(level);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (CClientObject* o = TheClientWorld().FindBySerial(serial)) o->SetLightLevel(level);
}

void MovementPacketHandlers::OnGlobalLight(const u8* packet, size_t length) {
    u8 level = 0;
    if (!ReadOneByte(packet, length, level)) return;
    CClientWorld& w = TheClientWorld();
    if (w.globalLight == level) return;
    w.globalLight = level;
    TheWorldHooks().RedrawRadar();
    TheWorldHooks().InvalidateWorldView();
}

void MovementPacketHandlers::OnGameTime(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 h = 0, m = 0, s = 0;
    r.ReadByte(h);
    r.ReadByte(m);
    r.ReadByte(s);
    if (!r.Ok()) return link_.RefusePacket(r);
    gameHour = h;
    gameMinute = m;
    gameSecond = s;
}

void MovementPacketHandlers::OnWeather(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 type = 0, count = 0, temperature = 0;
    r.ReadByte(type);
    r.ReadByte(count);
    r.ReadByte(temperature);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheWorldEffects().SetWeather(type, count, temperature);
}

void MovementPacketHandlers::OnSound(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 mode = 0;
    u16 sound = 0, unused = 0, x = 0, y = 0, z = 0;
    r.ReadByte(mode);
    r.ReadShort(sound);
    r.ReadShort(unused);
    r.ReadShort(x);
    r.ReadShort(y);
    r.ReadShort(z);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (mode == 0) return TheWorldEffects().SetLoopedSound(sound);
    if (sound >= 612) return;
    if (recordingSequence) {
        EffectRecord rec;
        rec.kind = 8;
        for (u16 v : {sound, x, y, z})
            PutShort(rec.data, v);
        sequence.push_back(rec);
        return;
    }
    TheWorldHooks().PlaySound(sound, true, s16(x), s16(y), s16(z));
}

void MovementPacketHandlers::OnMusic(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u16 piece = 0;
    r.ReadShort(piece);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheWorldHooks().PlayMusic(piece, true, false);
}

void MovementPacketHandlers::OnAnimation(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u16 action = 0, frames = 0, repeat = 0;
    u8 backward = 0, repeatFlag = 0, delay = 0;
    r.ReadLong(serial);
    r.ReadShort(action);
    r.ReadShort(frames);
    r.ReadShort(repeat);
    r.ReadByte(backward);
    r.ReadByte(repeatFlag);
    r.ReadByte(delay);
    if (!r.Ok()) return link_.RefusePacket(r);
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    if (!o || !o->IsMobile()) return;
    static_cast<CClientMobile*>(o)->StartAction(action, frames, delay, repeat, backward != 0,
                                                repeatFlag != 0);
}

void MovementPacketHandlers::OnGraphicEffect(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 type = 0, sz = 0, tz = 0;
    u32 source = 0, target = 0;
    u16 graphic = 0, sx = 0, sy = 0, tx = 0, ty = 0;
    GraphicEffectRequest e;
    r.ReadByte(type);
    r.ReadLong(source);
    r.ReadLong(target);
    r.ReadShort(graphic);
    r.ReadShort(sx);
    r.ReadShort(sy);
    r.ReadByte(sz);
    r.ReadShort(tx);
    r.ReadShort(ty);
    r.ReadByte(tz);
    for (u8& b : e.parameters)
        r.ReadByte(b);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (recordingSequence) {
        EffectRecord rec;
        rec.kind = 0x70;
        rec.data.assign(packet + 1, packet + length);
        sequence.push_back(rec);
        return;
    }
    e.type = type;
    e.source = MobileSerial(source);
    e.target = MobileSerial(target);
    e.graphic = graphic;
    e.from.Set(s16(sx), s16(sy), s8(sz));
    e.to.Set(s16(tx), s16(ty), s8(tz));
    TheWorldEffects().StartGraphicEffect(e);
}

void MovementPacketHandlers::OnDragEffect(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u16 graphic = 0, unused = 0, amount = 0, sx = 0, sy = 0, tx = 0, ty = 0;
    u8 increment = 0, sz = 0, tz = 0;
    u32 source = 0, target = 0;
    r.ReadShort(graphic);
    r.ReadByte(increment);
    r.ReadShort(unused);
    r.ReadShort(amount);
    r.ReadLong(source);
    r.ReadShort(sx);
    r.ReadShort(sy);
    r.ReadByte(sz);
    r.ReadLong(target);
    r.ReadShort(tx);
    r.ReadShort(ty);
    r.ReadByte(tz);
    if (!r.Ok()) return link_.RefusePacket(r);
    MissileRequest m;
    m.graphic = graphic + increment;
    m.source = MobileSerial(source);
    m.target = MobileSerial(target);
    m.from.Set(s16(sx), s16(sy), s8(sz));
    m.to.Set(s16(tx), s16(ty), s8(tz));
    if (m.source && m.target)
        m.ends = MissileEnds::kMobileToMobile;
    else if (m.source)
        m.ends = MissileEnds::kMobileToLoc;
    else if (m.target)
        m.ends = MissileEnds::kLocToMobile;
    else
        m.ends = MissileEnds::kLocToLoc;
    TheWorldEffects().StartMissile(m);
}

void MovementPacketHandlers::OnSequence(const u8* packet, size_t length) {
    u8 value = 0;
    if (!ReadOneByte(packet, length, value)) return;
    if (value != 0) {
        if (!recordingSequence) return TheWorldEffects().ShowWaitingGump("not sequencing!");
        recordingSequence = false;
        if (!sequence.empty()) TheWorldEffects().PlaySequence(sequence, value);
        sequence.clear();
        return;
    }
    if (recordingSequence) return TheWorldEffects().ShowWaitingGump("already sequencing!");
    recordingSequence = true;
    sequence.clear();
}

void MovementPacketHandlers::OnPing(const u8* packet, size_t length) {
    u8 value = 0;
    ReadOneByte(packet, length, value);
}
