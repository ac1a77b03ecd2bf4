#pragma once
// A player's life cycle and per-pulse state: regeneration, the poison and curse check, the
// light, music and ambience of its place, entering the world, the delayed and the immediate
// log-out, the action delay, the lists of watchers, resurrection and the load governor's
// storm. The CPlayer operations are declared in server/world/player.h (the storm is
// CPlayerRegistry::StrikeRandomPlayers); this file holds what they ask of parts of the server
// that are not built yet, behind one interface.
#include "platform/types.h"

class CPlayer;

// How long a log-out outside a safe place waits (pulses): five minutes.
constexpr int kDelayedLogOutPulses = 1200;
// A camp counts as a safe place once the player has sat by it longer than this (ms).
constexpr u32 kCampSafeMs = 15;
// The timed-callback action of the delayed log-out.
constexpr int kDelayedLogOutAction = 3;
// The timed-callback action that marks a player struck by the load governor's storm
// (CPlayerRegistry::StrikeRandomPlayers), and how long it lasts.
constexpr int kStruckAction = 10;
constexpr int kStrikeCooldownPulses = 8;

// What the player's life cycle asks of the parts of the server that are not built yet. The
// class's own answers are the stated defaults (each says once in the log that its part is not
// built): no login scripts, no starting kit, no game-master list or counselor queue, no own
// house, global light 0, no lightning.
class PlayerLifeServices {
public:
    virtual ~PlayerLifeServices() = default;
    // The script classes of the login script list, attached to the player in file order.
    virtual void AttachLoginScripts(CPlayer& player);
    // Applies an object template to the player (the starting kit, `BecomeTemplate`); 1 when
    // the player is still the result, 0 when nothing was made.
    virtual int ApplyTemplate(CPlayer& player, int templateId);
    // The counselor queue: a counselor comes online or leaves, gives up the player it helps;
    // a player's help request leaves the queue.
    virtual void CounselorEntered(CPlayer& player);
    virtual void CounselorLeft(CPlayer& player);
    virtual void RelinquishCurrent(CPlayer& counselor);
    virtual void WithdrawHelpRequest(CPlayer& player);
    // Whether the player stands in a house it holds the key of.
    virtual bool IsInOwnHouse(const CPlayer& player);
    // The light level of the whole world (0 is daylight).
    virtual int GlobalLightLevel();
    // The lightning strike of the script library, on the player.
    virtual void StrikeWithLightning(CPlayer& player);
};

// The implementation in force (never null).
PlayerLifeServices& GetPlayerLifeServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
PlayerLifeServices* SetPlayerLifeServices(PlayerLifeServices* services);
