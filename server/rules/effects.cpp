#include "server/rules/effects.h"

#include <vector>

#include "core/byte_order.h"
#include "server/rules/effect_sequence.h"
#include "server/world/effect_reports.h"
#include "server/world/mobile.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"

namespace {

constexpr int kMaxAnimationFrames = 20;
constexpr long long kMaxAnimationLength = 1000;  // 5 x frames + repeats
constexpr int kSoundLimit = 588;

// Graphic effect types.
constexpr int kEffectMissile = 0;
constexpr int kEffectLightningType = 1;
constexpr int kEffectAtPlace = 2;
constexpr int kEffectOnMobile = 3;

// A record's bytes: integers as four bytes, places as x, y, z of two bytes each.
class RecordWriter {
public:
    RecordWriter& Int(int v) {
        AppendLe32(bytes, static_cast<u32>(v));
        return *this;
    }
    RecordWriter& Place(const Location& at) {
        AppendLe16(bytes, static_cast<u16>(at.x));
        AppendLe16(bytes, static_cast<u16>(at.y));
        AppendLe16(bytes, static_cast<u16>(at.z));
        return *this;
    }
    std::vector<u8> bytes;
};

class RecordReader {
public:
    RecordReader(const u8* data, size_t n) : data_(data), n_(n) {}
    int Int() {
        if (!Take(4)) return 0;
        return static_cast<int>(LoadLe32(data_ + pos_ - 4));
    }
    Location Place() {
        if (!Take(6)) return Location();
        const u8* p = data_ + pos_ - 6;
        return Location(static_cast<s16>(LoadLe16(p)), static_cast<s16>(LoadLe16(p + 2)),
                        static_cast<s16>(LoadLe16(p + 4)));
    }
    // Every byte read and none missing.
    bool Complete() const { return ok_ && pos_ == n_; }

private:
    bool Take(size_t k) {
        if (!ok_ || n_ - pos_ < k) {
            ok_ = false;
            return false;
        }
        pos_ += k;
        return true;
    }
    const u8* data_;
    size_t n_;
    size_t pos_ = 0;
    bool ok_ = true;
};

bool Recording() {
    return g_effectSequence.IsOpen();
}

// The immediate forms.

GraphicEffect Effect(int type, u32 source, u32 target, int graphic, const Location& from,
                     const Location& to) {
    GraphicEffect e;
    e.type = type;
    e.sourceSerial = source;
    e.targetSerial = target;
    e.graphic = graphic;
    e.source = from;
    e.target = to;
    return e;
}

void SendStanding(int type, u32 serial, int graphic, const Location& at, int p1, int p2, int p3,
                  int p4) {
    GraphicEffect e = Effect(type, serial, 0, graphic, at, at);
    const int params[6] = {p1, p2, p3, p4, 1, 0};
    for (int i = 0; i < 6; ++i)
        e.params[i] = static_cast<u8>(params[i]);
    GetPacketServices().SendGraphicEffect(e, {at});
}

void SendLightning(u32 serial, const Location& at) {
    GetPacketServices().SendGraphicEffect(Effect(kEffectLightningType, serial, 0, 0, at, at), {at});
}

void SendMissile(u32 source, u32 target, int graphic, const Location& from, const Location& to,
                 int p1, int p2, int p3) {
    GraphicEffect e = Effect(kEffectMissile, source, target, graphic, from, to);
    e.params[0] = static_cast<u8>(p1);
    e.params[4] = static_cast<u8>(p2);
    e.params[5] = static_cast<u8>(p3);
    GetPacketServices().SendGraphicEffect(e, {from, to});
}

void SendAction(u32 serial, const Location& at, int action, int frames, int repeats, int direction,
                int repeatFlag) {
    MobileAnimation a;
    a.serial = serial;
    a.action = action;
    a.frames = frames;
    a.repeats = repeats;
    a.direction = direction;
    a.repeatFlag = repeatFlag;
    a.delay = 0;
    GetPacketServices().SendAnimation(a, {at});
}

void SendSoundToPlayer(u32 serial, int sound, int value) {
    CPlayer* player = FindLivePlayerBySerial(serial);
    if (player) GetPacketServices().SendSoundToPlayer(player, sound, value);
}

// Records or sends a missile between two ends.
void Missile(int kind, u32 source, u32 target, int graphic, const Location& from,
             const Location& to, int p1, int p2, int p3) {
    if (!Recording()) {
        SendMissile(source, target, graphic, from, to, p1, p2, p3);
        return;
    }
    RecordWriter r;
    switch (kind) {
        case kEffectMissileLocToLoc:
            r.Place(from).Place(to).Int(graphic);
            break;
        case kEffectMissileLocToMob:
            r.Int(static_cast<int>(target)).Int(graphic).Place(from).Place(to);
            break;
        case kEffectMissileMobToLoc:
            r.Int(static_cast<int>(source)).Int(graphic).Place(from).Place(to);
            break;
        default:
            r.Int(static_cast<int>(source)).Int(static_cast<int>(target)).Int(graphic);
            r.Place(from).Place(to);
            break;
    }
    r.Int(p1).Int(p2).Int(p3);
    g_effectSequence.Append(kind, r.bytes, from, &to);
}

}  // namespace

void DoLocAnimation(const Location& spot, int graphic, int p1, int p2, int p3, int p4) {
    if (!Recording()) {
        SendStanding(kEffectAtPlace, 0, graphic, spot, p1, p2, p3, p4);
        return;
    }
    RecordWriter r;
    r.Int(graphic).Place(spot).Int(p1).Int(p2).Int(p3).Int(p4);
    g_effectSequence.Append(kEffectLocAnimation, r.bytes, spot);
}

void DoMobAnimation(const CMobile& mobile, int graphic, int p1, int p2, int p3, int p4) {
    const Location at = mobile.GetWorldLocation();
    if (!Recording()) {
        SendStanding(kEffectOnMobile, mobile.GetSerial(), graphic, at, p1, p2, p3, p4);
        return;
    }
    RecordWriter r;
    r.Int(static_cast<int>(mobile.GetSerial())).Int(graphic).Place(at);
    r.Int(p1).Int(p2).Int(p3).Int(p4);
    g_effectSequence.Append(kEffectMobAnimation, r.bytes, at);
}

void DoLightning(const CMobile& mobile) {
    const Location at = mobile.GetWorldLocation();
    if (!Recording()) {
        SendLightning(mobile.GetSerial(), at);
        return;
    }
    RecordWriter r;
    r.Int(static_cast<int>(mobile.GetSerial())).Place(at);
    g_effectSequence.Append(kEffectLightning, r.bytes, at);
}

void DoMissileLocToLoc(const Location& from, const Location& to, int graphic, int p1, int p2,
                       int p3) {
    Missile(kEffectMissileLocToLoc, 0, 0, graphic, from, to, p1, p2, p3);
}

void DoMissileLocToMob(const Location& from, const CMobile& target, int graphic, int p1, int p2,
                       int p3) {
    Missile(kEffectMissileLocToMob, 0, target.GetSerial(), graphic, from,
            target.GetWorldLocation(), p1, p2, p3);
}

void DoMissileMobToLoc(const CMobile& source, const Location& to, int graphic, int p1, int p2,
                       int p3) {
    Missile(kEffectMissileMobToLoc, source.GetSerial(), 0, graphic, source.GetWorldLocation(), to,
            p1, p2, p3);
}

void DoMissileMobToMob(const CMobile& source, const CMobile& target, int graphic, int p1, int p2,
                       int p3) {
    Missile(kEffectMissileMobToMob, source.GetSerial(), target.GetSerial(), graphic,
            source.GetWorldLocation(), target.GetWorldLocation(), p1, p2, p3);
}

void AnimateMobile(const CMobile& mobile, int action, int frames, int repeats, int direction,
                   int repeatFlag) {
    if (frames > kMaxAnimationFrames) return;
    if (5LL * frames + repeats > kMaxAnimationLength) return;
    const Location at = mobile.GetWorldLocation();
    if (!Recording()) {
        SendAction(mobile.GetSerial(), at, action, frames, repeats, direction, repeatFlag);
        return;
    }
    RecordWriter r;
    r.Int(static_cast<int>(mobile.GetSerial())).Place(at);
    r.Int(action).Int(frames).Int(repeats).Int(direction).Int(repeatFlag);
    g_effectSequence.Append(kEffectMobileAction, r.bytes, at);
}

void PlaySfx(const Location& at, int sound, int value) {
    if (!g_sectorGrid.Contains(at.x, at.y) || sound >= kSoundLimit) return;
    if (!Recording()) {
        GetPacketServices().SendSoundToNearest(sound, value, at);
        return;
    }
    RecordWriter r;
    r.Place(at).Int(sound).Int(value);
    g_effectSequence.Append(kEffectSound, r.bytes, at);
}

void PlaySfxTo(CPlayer& player, int sound, int value) {
    if (sound >= kSoundLimit) return;
    if (!Recording()) {
        GetPacketServices().SendSoundToPlayer(&player, sound, value);
        return;
    }
    // The record names the player by serial: one gone by the time the sequence is sent
    // hears nothing.
    RecordWriter r;
    r.Int(static_cast<int>(player.GetSerial())).Int(sound).Int(value);
    g_effectSequence.Append(kEffectSoundToPlayer, r.bytes, player.GetWorldLocation());
}

void BeginSequence() {
    g_effectSequence.Open();
}

void EndSequence(int endValue) {
    if (!g_effectSequence.IsOpen()) return;
    g_effectSequence.Send(endValue);
    g_effectSequence.Clear();
}

void SendEffectRecord(int kind, const u8* data, size_t n) {
    RecordReader r(data, n);
    switch (kind) {
        case kEffectLocAnimation: {
            const int graphic = r.Int();
            const Location spot = r.Place();
            const int p1 = r.Int(), p2 = r.Int(), p3 = r.Int(), p4 = r.Int();
            if (r.Complete()) SendStanding(kEffectAtPlace, 0, graphic, spot, p1, p2, p3, p4);
            return;
        }
        case kEffectMobAnimation: {
            const u32 serial = static_cast<u32>(r.Int());
            const int graphic = r.Int();
            const Location at = r.Place();
            const int p1 = r.Int(), p2 = r.Int(), p3 = r.Int(), p4 = r.Int();
            if (r.Complete()) SendStanding(kEffectOnMobile, serial, graphic, at, p1, p2, p3, p4);
            return;
        }
        case kEffectLightning: {
            const u32 serial = static_cast<u32>(r.Int());
            const Location at = r.Place();
            if (r.Complete()) SendLightning(serial, at);
            return;
        }
        case kEffectMissileLocToLoc:
        case kEffectMissileLocToMob:
        case kEffectMissileMobToLoc:
        case kEffectMissileMobToMob: {
            u32 source = 0, target = 0;
            int graphic = 0;
            if (kind == kEffectMissileMobToLoc || kind == kEffectMissileMobToMob)
                source = static_cast<u32>(r.Int());
            if (kind == kEffectMissileLocToMob || kind == kEffectMissileMobToMob)
                target = static_cast<u32>(r.Int());
            if (kind != kEffectMissileLocToLoc) graphic = r.Int();
            const Location from = r.Place();
            const Location to = r.Place();
            if (kind == kEffectMissileLocToLoc) graphic = r.Int();
            const int p1 = r.Int(), p2 = r.Int(), p3 = r.Int();
            if (r.Complete()) SendMissile(source, target, graphic, from, to, p1, p2, p3);
            return;
        }
        case kEffectMobileAction: {
            const u32 serial = static_cast<u32>(r.Int());
            const Location at = r.Place();
            const int action = r.Int(), frames = r.Int(), repeats = r.Int();
            const int direction = r.Int(), repeatFlag = r.Int();
            if (r.Complete()) SendAction(serial, at, action, frames, repeats, direction, repeatFlag);
            return;
        }
        case kEffectSound: {
            const Location at = r.Place();
            const int sound = r.Int(), value = r.Int();
            if (r.Complete()) GetPacketServices().SendSoundToNearest(sound, value, at);
            return;
        }
        case kEffectSoundToPlayer: {
            const u32 serial = static_cast<u32>(r.Int());
            const int sound = r.Int(), value = r.Int();
            if (r.Complete()) SendSoundToPlayer(serial, sound, value);
            return;
        }
        default:
            return;
    }
}
