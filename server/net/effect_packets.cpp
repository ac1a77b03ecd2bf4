#include "server/net/effect_packets.h"

#include "server/net/packet_build.h"

bool BuildGraphicEffectPacket(PacketWriter& w, const GraphicEffect& e) {
    w.Begin(0x70, false);
    w.AppendByte(FieldByte(e.type));
    w.AppendLong(e.sourceSerial);
    w.AppendLong(e.targetSerial);
    w.AppendShort(FieldWord(e.graphic));
    w.AppendShort(e.source.x);
    w.AppendShort(e.source.y);
    w.AppendByte(FieldByte(e.source.z));
    w.AppendShort(e.target.x);
    w.AppendShort(e.target.y);
    w.AppendByte(FieldByte(e.target.z));
    w.AppendBytes(e.params, sizeof e.params);
    return FinishPacket(w, 0x70);
}

bool BuildAnimationPacket(PacketWriter& w, u32 serial, int action, int p1, int p2, int p3, int p4,
                          int p5) {
    w.Begin(0x6E, false);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(action));
    w.AppendShort(FieldWord(p1));
    w.AppendShort(FieldWord(p2));
    w.AppendByte(FieldByte(p3));
    w.AppendByte(FieldByte(p4));
    w.AppendByte(FieldByte(p5));
    return FinishPacket(w, 0x6E);
}

bool BuildSoundPacket(PacketWriter& w, int mode, int sound, int extra, const Location& at) {
    w.Begin(0x54, false);
    w.AppendByte(FieldByte(mode));
    w.AppendShort(FieldWord(sound));
    w.AppendShort(FieldWord(extra));
    w.AppendShort(at.x);
    w.AppendShort(at.y);
    w.AppendShort(ZWord(at.z));
    return FinishPacket(w, 0x54);
}

bool BuildMusicPacket(PacketWriter& w, int music) {
    w.Begin(0x6D, false);
    w.AppendShort(FieldWord(music));
    return FinishPacket(w, 0x6D);
}

bool BuildPersonalLightPacket(PacketWriter& w, u32 serial, int level) {
    w.Begin(0x4E, false);
    w.AppendLong(serial);
    w.AppendByte(FieldByte(level));
    return FinishPacket(w, 0x4E);
}

bool BuildGlobalLightPacket(PacketWriter& w, int level) {
    return BuildOneBytePacket(w, 0x4F, level);
}

bool BuildWeatherPacket(PacketWriter& w, int type, int particles, int temperature) {
    w.Begin(0x65, false);
    w.AppendByte(FieldByte(type));
    w.AppendByte(FieldByte(particles));
    w.AppendByte(FieldByte(temperature));
    return FinishPacket(w, 0x65);
}

bool BuildTimePacket(PacketWriter& w, int hour, int minute, int pulseInMinute) {
    w.Begin(0x5B, false);
    w.AppendByte(FieldByte(hour));
    w.AppendByte(FieldByte(minute));
    w.AppendByte(FieldByte(pulseInMinute));
    return FinishPacket(w, 0x5B);
}

bool BuildServerStatusPacket(PacketWriter& w, int playersOnline, int playersInGrid, int liveNpcs,
                             int memoryValue) {
    w.Begin(0x63, false);
    w.AppendShort(FieldWord(playersOnline));
    w.AppendShort(FieldWord(playersInGrid));
    w.AppendShort(0);
    w.AppendShort(FieldWord(liveNpcs));
    w.AppendShort(FieldWord(memoryValue));
    w.AppendShort(0);
    return FinishPacket(w, 0x63);
}

bool BuildSwingPacket(PacketWriter& w, int flag, u32 attacker, u32 defender) {
    w.Begin(0x2F, false);
    w.AppendByte(FieldByte(flag));
    w.AppendLong(attacker);
    w.AppendLong(defender);
    return FinishPacket(w, 0x2F);
}

bool BuildAttackOkPacket(PacketWriter& w, u32 serial) {
    return BuildOneLongPacket(w, 0x30, serial);
}
bool BuildAttackEndedPacket(PacketWriter& w) {
    return BuildIdOnlyPacket(w, 0x31);
}
bool BuildCombatTargetPacket(PacketWriter& w, u32 serial) {
    return BuildOneLongPacket(w, 0xAA, serial);
}

bool BuildWarModePacket(PacketWriter& w, int flag, int b2, int b3, int b4) {
    w.Begin(0x72, false);
    w.AppendByte(FieldByte(flag));
    w.AppendByte(FieldByte(b2));
    w.AppendByte(FieldByte(b3));
    w.AppendByte(FieldByte(b4));
    return FinishPacket(w, 0x72);
}

bool BuildDeathStatusPacket(PacketWriter& w, int status) {
    return BuildOneBytePacket(w, 0x2C, status);
}
bool BuildGodModePacket(PacketWriter& w, bool on) {
    return BuildOneBytePacket(w, 0x2B, on ? 1 : 0);
}
bool BuildLoginCompletePacket(PacketWriter& w) {
    return BuildIdOnlyPacket(w, 0x55);
}
bool BuildPausePacket(PacketWriter& w, int value) {
    return BuildOneBytePacket(w, 0x33, value);
}
bool BuildPingPacket(PacketWriter& w, int value) {
    return BuildOneBytePacket(w, 0x73, value);
}
bool BuildSignal97Packet(PacketWriter& w, int value) {
    return BuildOneBytePacket(w, 0x97, value);
}
bool BuildPlayerSignalPacket(PacketWriter& w, int value) {
    return BuildOneBytePacket(w, 0x32, value);
}
bool BuildWeaponSignalPacket(PacketWriter& w, u32 value) {
    return BuildOneLongPacket(w, 0x45, value);
}
bool BuildEditRefreshPacket(PacketWriter& w) {
    return BuildOneBytePacket(w, 0x5C, 0);
}

bool BuildGroupNoticePacket(PacketWriter& w, u32 a, u32 b) {
    w.Begin(0x39, false);
    w.AppendLong(a);
    w.AppendLong(b);
    return FinishPacket(w, 0x39);
}

bool BuildFriendStatusPacket(PacketWriter& w, int index, bool online) {
    w.Begin(0x6A, false);
    w.AppendByte(FieldByte(index));
    w.AppendByte(online ? 1 : 0);
    return FinishPacket(w, 0x6A);
}

bool BuildFriendListPacket(PacketWriter& w, int kind, const std::vector<FriendEntry>& entries) {
    const size_t count = entries.size() > 255 ? 255 : entries.size();
    w.Begin(0x69, true);
    w.AppendByte(FieldByte(kind));
    if (kind == 1 || kind == 2) {
        w.AppendByte(FieldByte(static_cast<int>(count)));
        for (size_t i = 0; i < count; ++i) {
            w.AppendCText(entries[i].found ? entries[i].name.c_str() : "");
            w.AppendLong(entries[i].serial);
        }
    } else if (kind == 3) {
        w.AppendByte(FieldByte(static_cast<int>(count)));
        for (size_t i = 0; i < count; ++i)
            w.AppendByte(entries[i].found && entries[i].letsSee ? 1 : 0);
    } else {
        w.AppendByte(0);
    }
    return FinishPacket(w, 0x69);
}
