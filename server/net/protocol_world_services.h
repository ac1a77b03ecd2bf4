#pragma once
// What the player requests and the world entry need of world rules that are not built yet:
// the game clock (kept by the server frame), the weather at a place, combat, and the entry's
// steps for secure trades, a held object and the guard zone.
//
// This is an interface. The clock is installed by the server's start-up; the other answers
// stay the interface's own until their rules land (StartAttack hands the request to the
// combat rules): the value queries say once in the log that they are not built yet, and the
// entry steps do nothing, because without their rules there are no trades, no held objects
// and no guard zones to restore.
#include "core/location.h"
#include "platform/types.h"

class CMobile;
class CPlayer;

class ProtocolWorldServices {
public:
    virtual ~ProtocolWorldServices() = default;

    // The game clock: hour, minute and the pulse within the minute (0-19).
    virtual void GameClock(int& hour, int& minute, int& pulseInMinute);
    // The direction a mobile faces (0-7).
    virtual int Facing(const CMobile& mobile);
    // The season and temperature of the weather region at a place.
    virtual void SeasonAndTemperature(const Location& at, int& season, int& temperature);
    // The player starts attacking a mobile.
    virtual void StartAttack(CPlayer& player, CMobile& target, int flag);

    // World-entry steps: the player's open secure trades re-sent, an object still held from
    // the last time put back, the guard-zone state and the combat target re-sent.
    virtual void RestoreTrades(CPlayer& player) { (void)player; }
    virtual void RestoreHeldObject(CPlayer& player) { (void)player; }
    virtual void UpdateGuardZone(CPlayer& player) { (void)player; }
    virtual void ResendCombatTarget(CPlayer& player) { (void)player; }
};

// Logs `what` once under "protocol" (the flag is the caller's static), for a part of the
// protocol whose owner is not built yet.
void LogProtocolNotBuilt(bool& logged, const char* what);

// The implementation in force (never null).
ProtocolWorldServices& GetProtocolWorldServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
ProtocolWorldServices* SetProtocolWorldServices(ProtocolWorldServices* services);
