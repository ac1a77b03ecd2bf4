#pragma once
// Visual effects and sounds as scripts and the rules show them: graphic effects at a place or
// on a mobile, lightning, missiles, mobile animations and sounds. Each sends its packet at
// once to the players near it, or, while the effect sequence is open (effect_sequence.h),
// appends its record there instead (the integers as given, in four bytes each).
#include <cstddef>

#include "core/location.h"
#include "platform/types.h"

class CMobile;
class CPlayer;

// The record kinds of the effect sequence.
enum EffectRecordKind : int {
    kEffectLocAnimation = 0,
    kEffectMobAnimation = 1,
    kEffectLightning = 2,
    kEffectMissileLocToLoc = 3,
    kEffectMissileLocToMob = 4,
    kEffectMissileMobToLoc = 5,
    kEffectMissileMobToMob = 6,
    kEffectMobileAction = 7,
    kEffectSound = 8,
    kEffectSoundToPlayer = 9,
};

// An animation standing at a place (graphic effect type 2).
void DoLocAnimation(const Location& spot, int graphic, int p1, int p2, int p3, int p4);
// An animation on a mobile (type 3), at its world location.
void DoMobAnimation(const CMobile& mobile, int graphic, int p1, int p2, int p3, int p4);
// Lightning on a mobile (type 1).
void DoLightning(const CMobile& mobile);
// Missiles (type 0) between places and mobiles; p1 is the speed. They reach the players near
// either end.
void DoMissileLocToLoc(const Location& from, const Location& to, int graphic, int p1, int p2,
                       int p3);
void DoMissileLocToMob(const Location& from, const CMobile& target, int graphic, int p1, int p2,
                       int p3);
void DoMissileMobToLoc(const CMobile& source, const Location& to, int graphic, int p1, int p2,
                       int p3);
void DoMissileMobToMob(const CMobile& source, const CMobile& target, int graphic, int p1, int p2,
                       int p3);
// A mobile's action (frames, repeats, direction, repeat flag), to the players within 18 tiles
// of it; nothing for more than 20 frames or when 5 x frames + repeats exceeds 1000.
void AnimateMobile(const CMobile& mobile, int action, int frames, int repeats, int direction,
                   int repeatFlag);
// A sound at a place for the 40 nearest players within 12 tiles; nothing outside the sector
// grid or for a sound of 588 or above.
void PlaySfx(const Location& at, int sound, int value);
// A sound for one player alone; nothing for a sound of 588 or above.
void PlaySfxTo(CPlayer& player, int sound, int value);

// Opens the effect sequence (an open one stays as it is).
void BeginSequence();
// Sends the open sequence with the end value and clears it; nothing when it is not open.
void EndSequence(int endValue);

// The packet of one sequence record, sent as its immediate form would be. A record whose
// length does not fit its kind is skipped; a sound for a player who is gone reaches nobody.
void SendEffectRecord(int kind, const u8* data, size_t n);
