#pragma once
// War mode and the manifesting ghost: a ghost that enters war mode shows itself to the living
// (it is placed again so that they are sent it) and hides again when it leaves. The CPlayer
// members are declared in server/world/player.h; this header holds what lies around them.

// The timed-callback action of a ghost's war-mode timeout (CPlayer::GhostWarModeTimeout).
constexpr int kGhostWarModeTimeoutAction = 12;
