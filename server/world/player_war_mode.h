#pragma once
// War mode and the manifesting ghost: a ghost that enters war mode shows itself to the living
// (it is placed again so that they are sent it) and hides again when it leaves. The CPlayer
// members are declared in player.h; this header holds what lies around them.

class CPlayer;

// The timed-callback action of a ghost's war-mode timeout.
constexpr int kGhostWarModeTimeoutAction = 12;

// The effect of that action: a ghost still in war mode leaves it (and is told with 0x72).
void GhostWarModeTimeout(CPlayer& player);
