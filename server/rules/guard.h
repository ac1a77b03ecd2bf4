#pragma once
// The guards' answer to a crime: the guards near the offender are sent after it, and in a
// justice or city region one appears beside the offender in a flash when none is near. A
// guard made on the spot leaves again a while after its last fight, and a guard chasing an
// offender leaps ahead when its way is blocked (CNPC::TryGuardLeap).
#include "core/location.h"

class CGuard;
class CItem;
class CMobile;

// Guard templates, drawn at even chance for a guard that appears.
constexpr int kGuardTemplates[2] = {6, 1006};
// How far guards answer a call (tiles).
constexpr int kGuardCallRange = 20;
// Pulses a guard made on the spot stays after its last fight (three minutes).
constexpr int kGuardLeavePulses = 720;
// The flash and the sound of a guard appearing, leaping or leaving.
constexpr int kGuardFlashGraphic = 0x3728;
constexpr int kGuardSound = 510;
inline constexpr const char* kGuardThreat = "Thou wilt regret thine actions, swine!";

// Calls a guard on the offender of a crime at `at` (against `victim`, may be null): the
// nearest free guard is sent and, when none answers and the offender or the place lies in a
// justice or city region, one is made beside the offender. `guards` only gates the call (below
// 1 nothing happens): one guard answers however many are asked for. 1 when a guard answered or
// was made. Nothing for a ghost offender or victim, a place off the map, or when both the
// offender and the place lie in "no_guard" regions.
int CallGuards(CMobile* offender, const Location& at, CItem* victim, int guards);
// Sends up to `want` guards within 20 tiles of the offender after it, nearest first: one
// already fighting the offender counts, a free one threatens and attacks, one fighting
// someone else is passed over. The number that answered.
int DispatchGuards(CMobile* offender, int want);
// Makes up to `count` guards 3 to 6 tiles from the place (in a flash with its sound when
// `withEffect`), each leaving 720 pulses after its last fight, threatening and attacking the
// offender. Stops at the first spot or creation that fails; the number made.
int SpawnGuards(const Location& at, int count, CMobile* offender, bool withEffect);
