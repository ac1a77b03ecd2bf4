#include "server/net/effect_packets.h"

#include "server/net/packet_build.h"

namespace {

u16 Word(int value) {
    return static_cast<u16>(value);
}
u8 Byte(int value) {
    return static_cast<u8>(value);
}

bool BuildOneByte(PacketWriter& w, u8 id, int value) {
    w.Begin(id, false);
    w.AppendByte(Byte(value));
    return FinishPacket(w, id);
}
bool BuildOneLong(PacketWriter& w, u8 id, u32 value) {
    w.Begin(id, false);
    w.AppendLong(value);
    return FinishPacket(w, id);
}
bool BuildIdOnly(PacketWriter& w, u8 id) {
    w.Begin(id, false);
    return FinishPacket(w, id);
}

}  // namespace

bool BuildGraphicEffectPacket(PacketWriter& w, const GraphicEffect& e) {
    w.Begin(0x70, false);
    w.AppendByte(Byte(e.type));
    w.AppendLong(e.sourceSerial);
    w.AppendLong(e.targetSerial);
    w.AppendShort(Word(e.graphic));
    w.AppendShort(e.source.x);
    w.AppendShort(e.source.y);
    w.AppendByte(Byte(e.source.z));
    w.AppendShort(e.target.x);
    w.AppendShort(e.target.y);
    w.AppendByte(Byte(e.target.z));
    w.AppendBytes(e.params, sizeof e.params);
    return FinishPacket(w, 0x70);
}

bool BuildAnimationPacket(PacketWriter& w, u32 serial, int action, int p1, int p2, int p3, int p4,
                          int p5) {
    w.Begin(0x6E, false);
    w.AppendLong(serial);
    w.AppendShort(Word(action));
    w.AppendShort(Word(p1));
    w.AppendShort(Word(p2));
    w.AppendByte(Byte(p3));
    w.AppendByte(Byte(p4));
    w.AppendByte(Byte(p5));
    return FinishPacket(w, 0x6E);
}

bool BuildSoundPacket(PacketWriter& w, int mode, int sound, int extra, const Location& at) {
    w.Begin(0x54, false);
    w.AppendByte(Byte(mode));
    w.AppendShort(Word(sound));
    w.AppendShort(Word(extra));
    w.AppendShort(at.x);
    w.AppendShort(at.y);
    w.AppendShort(ZWord(at.z));
    return FinishPacket(w, 0x54);
}

bool BuildMusicPacket(PacketWriter& w, int music) {
    w.Begin(0x6D, false);
    w.AppendShort(Word(music));
    return FinishPacket(w, 0x6D);
}

bool BuildPersonalLightPacket(PacketWriter& w, u32 serial, int level) {
    w.Begin(0x4E, false);
    w.AppendLong(serial);
    w.AppendByte(Byte(level));
    return FinishPacket(w, 0x4E);
}

bool BuildGlobalLightPacket(PacketWriter& w, int level) {
    return BuildOneByte(w, 0x4F, level);
}

bool BuildWeatherPacket(PacketWriter& w, int type, int particles, int temperature) {
    w.Begin(0x65, false);
    w.AppendByte(Byte(type));
    w.AppendByte(Byte(particles));
    w.AppendByte(Byte(temperature));
    return FinishPacket(w, 0x65);
}

bool BuildTimePacket(PacketWriter& w, int hour, int minute, int pulseInMinute) {
    w.Begin(0x5B, false);
    w.AppendByte(Byte(hour));
    w.AppendByte(Byte(minute));
    w.AppendByte(Byte(pulseInMinute));
    return FinishPacket(w, 0x5B);
}

bool BuildServerStatusPacket(PacketWriter& w, int playersOnline, int playersInGrid, int liveNpcs,
                             int memoryValue) {
    w.Begin(0x63, false);
    w.AppendShort(Word(playersOnline));
    w.AppendShort(Word(playersInGrid));
    w.AppendShort(0);
    w.AppendShort(Word(liveNpcs));
    w.AppendShort(Word(memoryValue));
    w.AppendShort(0);
    return FinishPacket(w, 0x63);
}

bool BuildSwingPacket(PacketWriter& w, int flag, u32 attacker, u32 defender) {
    w.Begin(0x2F, false);
    w.AppendByte(Byte(flag));
    w.AppendLong(attacker);
    w.AppendLong(defender);
    return FinishPacket(w, 0x2F);
}

bool BuildAttackOkPacket(PacketWriter& w, u32 serial) {
    return BuildOneLong(w, 0x30, serial);
}
bool BuildAttackEndedPacket(PacketWriter& w) {
    return BuildIdOnly(w, 0x31);
}
bool BuildCombatTargetPacket(PacketWriter& w, u32 serial) {
    return BuildOneLong(w, 0xAA, serial);
}

bool BuildWarModePacket(PacketWriter& w, int flag, int b2, int b3, int b4) {
    w.Begin(0x72, false);
    w.AppendByte(Byte(flag));
    w.AppendByte(Byte(b2));
    w.AppendByte(Byte(b3));
    w.AppendByte(Byte(b4));
    return FinishPacket(w, 0x72);
}

bool BuildDeathStatusPacket(PacketWriter& w, int status) {
    return BuildOneByte(w, 0x2C, status);
}
bool BuildGodModePacket(PacketWriter& w, bool on) {
    return BuildOneByte(w, 0x2B, on ? 1 : 0);
}
bool BuildLoginCompletePacket(PacketWriter& w) {
    return BuildIdOnly(w, 0x55);
}
bool BuildPausePacket(PacketWriter& w, int value) {
    return BuildOneByte(w, 0x33, value);
}
bool BuildPingPacket(PacketWriter& w, int value) {
    return BuildOneByte(w, 0x73, value);
}
bool BuildSignal97Packet(PacketWriter& w, int value) {
    return BuildOneByte(w, 0x97, value);
}
bool BuildPlayerSignalPacket(PacketWriter& w, int value) {
    return BuildOneByte(w, 0x32, value);
}
bool BuildWeaponSignalPacket(PacketWriter& w, u32 value) {
    return BuildOneLong(w, 0x45, value);
}
bool BuildEditRefreshPacket(PacketWriter& w) {
    return BuildOneByte(w, 0x5C, 0);
}

bool BuildGroupNoticePacket(PacketWriter& w, u32 a, u32 b) {
    w.Begin(0x39, false);
    w.AppendLong(a);
    w.AppendLong(b);
    return FinishPacket(w, 0x39);
}

bool BuildFriendStatusPacket(PacketWriter& w, int index, bool online) {
    w.Begin(0x6A, false);
    w.AppendByte(Byte(index));
    w.AppendByte(online ? 1 : 0);
    return FinishPacket(w, 0x6A);
}

bool BuildFriendListPacket(PacketWriter& w, int kind, const std::vector<FriendEntry>& entries) {
    const size_t count = entries.size() > 255 ? 255 : entries.size();
    w.Begin(0x69, true);
    w.AppendByte(Byte(kind));
    if (kind == 1 || kind == 2) {
        w.AppendByte(Byte(static_cast<int>(count)));
        for (size_t i = 0; i < count; ++i) {
            w.AppendCText(entries[i].found ? entries[i].name.c_str() : "");
            w.AppendLong(entries[i].serial);
        }
    } else if (kind == 3) {
        w.AppendByte(Byte(static_cast<int>(count)));
        for (size_t i = 0; i < count; ++i)
            w.AppendByte(entries[i].found && entries[i].letsSee ? 1 : 0);
    } else {
        w.AppendByte(0);
    }
    return FinishPacket(w, 0x69);
}
